#pragma once
// Waiting on the Qt event loop in tests of the network outputs and their dialog.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

namespace ventrel::testing {

// Runs the event loop until `done` or `ms` have passed; true when done.
template <class F>
bool Until(F done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

}  // namespace ventrel::testing
