#include "app/user_files.h"

#ifdef VENTREL_HAS_GUI

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

#include "qt/file_names.h"
#include "version.h"

namespace ventrel::app {

namespace fs = std::filesystem;

FileLayout CurrentLayout() {
  LayoutFacts f;
  const QString dir = QCoreApplication::applicationDirPath();
  f.programDir = PathOf(dir);
  f.programDirWritable = QFileInfo(dir).isWritable();
  f.configHome = PathOf(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
  f.dataHome = PathOf(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
  return ChooseLayout(f);
}

int PrintVersionVerbose(int argc, char** argv, std::ostream& out) {
  QCoreApplication app(argc, argv);
  const FileLayout layout = CurrentLayout();
  out << "ventrel " << Version() << "\n" << LayoutReport(layout);
  std::error_code ec;
  if (layout.installed && !fs::exists(layout.configPath, ec)) {
    out << "(la configuration n'existe pas encore : elle sera copiée de la configuration fournie au premier "
           "démarrage)\n";
  }
  return 0;
}

}  // namespace ventrel::app

#endif
