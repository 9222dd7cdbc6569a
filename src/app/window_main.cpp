#include "app/window_main.h"

#ifdef VENTREL_HAS_GUI

#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <filesystem>

#include "app/user_files.h"
#include "ui/look.h"
#include "ui/main_window.h"

namespace ventrel::app {

namespace {

// The hook of the screenshots: sail, wait, photograph, close.
void ScreenshotHook(TFVentrel& w, int* status) {
  const QString file = qEnvironmentVariable("VENTREL_SCREENSHOT");
  if (qEnvironmentVariableIntValue("VENTREL_FULL_SCREEN") == 1) w.PleinEcran();
  if (qEnvironmentVariableIntValue("VENTREL_SAIL") == 1) {
    QTimer::singleShot(0, &w, [&w] {
      if (auto* start = qobject_cast<QPushButton*>(w.widgetOf(Field::StartButton))) start->click();
    });
  }
  // The sentences sent to a device (a pseudo-terminal of the screenshot script).
  const QString device = qEnvironmentVariable("VENTREL_NMEA_PORT");
  if (!device.isEmpty()) {
    QTimer::singleShot(100, &w, [&w, device] {
      w.Run([&w, device] {
        NmeaTransmission& tr = w.program().transmission();
        const int idx = tr.AddPortName(device.toStdString());
        w.panel()[Field::PortList].setItemIndex(idx);
        w.panel()[Field::PortList].setText(device.toStdString());
        tr.CBComSelect();
        tr.BtActivNMEAClick();
      });
    });
  }
  if (file.isEmpty()) return;
  bool ok = false;
  int after = qEnvironmentVariableIntValue("VENTREL_SCREENSHOT_AFTER", &ok);
  if (!ok || after < 0) after = 30;
  QTimer::singleShot(after * 1000, &w, [&w, file, status] {
    // What the window told the user (a picture or a help page missing...).
    for (const QString& m : w.Messages()) std::fprintf(stderr, "%s\n", m.toLocal8Bit().constData());
    if (!w.grab().save(file, "PNG")) {
      std::fprintf(stderr, "La capture n'a pas pu être écrite dans %s\n", file.toLocal8Bit().constData());
      *status = 1;
    }
    w.close();
  });
}

}  // namespace

int RunWindowApp(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(look::WindowFont());
  // Qt's own texts (file dialogs) in French when the translations are installed.
  QTranslator qtFrench;
  if (qtFrench.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&qtFrench);
  }

  // The data beside the program (portable) or in the installed data folder, the
  // user's configuration and polars in his own folders.
  const FileLayout layout = CurrentLayout();
  WindowSetup setup;
  setup.AppliDir = layout.dataDir;
  if (layout.installed) {
    if (const std::string e = PrepareUserFiles(layout); !e.empty()) {
      std::fprintf(stderr, "%s\n", e.c_str());
      QMessageBox::warning(nullptr, QStringLiteral("Ventrel"), QString::fromStdString(e));
    }
    setup.iniPath = layout.configPath;
    setup.userDir = layout.userDir;
    setup.userPolars = layout.userPolars;
  }
  setup.aboutFiles = LayoutReport(layout);
  setup.RepMesDoc = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
  TFVentrel w(std::move(setup));
  w.show();
  int status = 0;
  ScreenshotHook(w, &status);
  const int rc = QApplication::exec();
  return status != 0 ? status : rc;
}

}  // namespace ventrel::app

#else

#include <iostream>

namespace ventrel::app {

int RunWindowApp(int, char**) {
  std::cerr << "Ce programme a été construit sans fenêtre (VENTREL_GUI=OFF) : utilisez --headless.\n";
  return 1;
}

}  // namespace ventrel::app

#endif
