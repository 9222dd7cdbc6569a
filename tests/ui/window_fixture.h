#pragma once
// A main window on a program folder of its own: a copy of data/ in a temporary
// folder (the window writes its default configuration back there when it closes),
// no message box shown (the messages are recorded), no browser started, the model
// timers driven by a virtual clock unless a test asks for real time.

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/timers.h"
#include "ui/main_window.h"

namespace ventrel::testing {

// Copies the folder `from` into `to`, recursively.
inline bool CopyTree(const QString& from, const QString& to) {
  QDir().mkpath(to);
  QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString src = it.next();
    const QString rel = QDir(from).relativeFilePath(src);
    const QString dst = to + "/" + rel;
    if (it.fileInfo().isDir()) {
      QDir().mkpath(dst);
    } else {
      QFile::remove(dst);
      if (!QFile::copy(src, dst)) return false;
    }
  }
  return true;
}

// Replaces (or adds) "key=value" lines of an INI text, keys matched exactly.
inline void SetIniKeys(const QString& file, const std::map<QString, QString>& keys) {
  QFile f(file);
  QVERIFY(f.open(QIODevice::ReadOnly));
  QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
  f.close();
  for (const auto& [k, v] : keys) {
    bool found = false;
    for (QString& l : lines) {
      if (l.startsWith(k + "=")) {
        l = k + "=" + v;
        found = true;
      }
    }
    QVERIFY2(found, qPrintable("missing key " + k));
  }
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(lines.join('\n').toUtf8());
}

struct WindowFixture {
  QTemporaryDir dir;
  std::vector<QUrl> opened;  // pages handed to the browser
  std::unique_ptr<TFVentrel> w;
  std::unique_ptr<VirtualClock> clock;

  QString folder() const { return dir.path(); }
  QString file(const QString& name) const { return dir.path() + "/" + name; }

  // Copies data/ into the folder; `constantInputs` turns the variations off.
  bool Prepare(bool constantInputs = true) {
    if (!dir.isValid() || !CopyTree(QStringLiteral(VENTREL_DATA_DIR), dir.path())) return false;
    if (constantInputs) {
      SetIniKeys(file("Ventrel.ini"), {{"iHDGvar", "0"}, {"iTWSvar", "0"}, {"iTWDvar", "0"}});
    }
    return true;
  }

  // The window on the folder; timers on the virtual clock.
  TFVentrel& Open(WindowSetup setup = {}) {
    setup.AppliDir = std::filesystem::path(dir.path().toStdString());
    setup.realTimeTimers = false;
    setup.showMessageBoxes = false;
    setup.helpOpener = [this](const QUrl& u) {
      opened.push_back(u);
      return true;
    };
    w = std::make_unique<TFVentrel>(std::move(setup));
    w->show();
    clock = std::make_unique<VirtualClock>(w->model().timers());
    return *w;
  }

  template <class T>
  T* Find(const char* name) const {
    return w->findChild<T*>(QString::fromUtf8(name));
  }

  void Advance(std::int64_t ms) { clock->advance(ms); }
};

// The Fusion style everywhere, as the program has it.
inline void UseProgramStyle() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

}  // namespace ventrel::testing
