#pragma once
// Message boxes for the user, one at a time and never inside a handler.
//
// A handler of the model (a tick, a button) may have something to say; it must
// not wait in a message box of its own, since the timers would run the model again
// underneath it. Messages are queued and shown after the handler returns, each
// box without blocking the window; the next one comes when it is closed.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QStringList>

namespace ventrel {

class MessageQueue : public QObject {
  Q_OBJECT

 public:
  explicit MessageQueue(QWidget* parentWindow);

  // Queues a message; `error` gives the error icon, otherwise the information icon.
  void Post(const QString& text, bool error = false);
  // Every message posted, oldest first (what a test reads).
  const QStringList& History() const { return history_; }
  // Tests can keep the boxes from appearing; the messages are still recorded.
  void SetShowBoxes(bool on) { show_ = on; }
  // The box on screen, if any.
  QMessageBox* Current() const { return current_.data(); }

 private:
  void ShowNext();

  QWidget* window_;
  QQueue<QPair<QString, bool>> pending_;
  QStringList history_;
  QPointer<QMessageBox> current_;
  bool show_ = true;
};

}  // namespace ventrel
