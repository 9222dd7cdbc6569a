#include "ui/help_pages.h"

#include <QDesktopServices>

#include <system_error>

#include "qt/file_names.h"

namespace ventrel {

std::filesystem::path HelpFile(const std::filesystem::path& AppliDir, HelpPage page) {
  return AppliDir / "Help" /
         (page == HelpPage::Generalites ? "VNT_generalites.html" : "VNT_Aide par rubrique.html");
}

QString HelpFailureText(int code) {
  switch (code) {
    case 0: return QStringLiteral("The operating system is out of memory or resources.");
    case 2: return QStringLiteral("The specified file was not found");
    case 3: return QStringLiteral("The specified path was not found.");
    case 10: return QStringLiteral("Wrong Windows version");
    case 11: return QStringLiteral("The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)");
    case 15: return QStringLiteral("Attempt to load a real-mode program");
    case 16:
      return QStringLiteral(
          "Attempt to load a second instance of an application with non-readonly data segments.");
    case 19: return QStringLiteral("Attempt to load a compressed application file.");
    case 20: return QStringLiteral("Dynamic-link library (DLL) file failure.");
    case 26: return QStringLiteral("A sharing violation occurred.");
    case 27: return QStringLiteral("The filename association is incomplete or invalid.");
    case 31: return QStringLiteral("There is no application associated with the given extension.");
    default: break;
  }
  return {};
}

namespace {

// What the user can do, in French, after the text of the code.
QString Advice(int code, const std::filesystem::path& file) {
  const QString name = NameOf(file);
  switch (code) {
    case kHelpFileNotFound:
      return QStringLiteral("La page d'aide « %1 » est introuvable : réinstallez le dossier « Help » "
                            "à côté du programme.")
          .arg(name);
    case kHelpPathNotFound:
      return QStringLiteral("Le dossier de la page d'aide « %1 » est introuvable : réinstallez le "
                            "dossier « Help » à côté du programme.")
          .arg(name);
    case kHelpNoAssociation:
      return QStringLiteral("Aucun navigateur n'a pu ouvrir la page d'aide « %1 » : installez un "
                            "navigateur ou ouvrez ce fichier vous-même.")
          .arg(name);
    default: break;
  }
  return QStringLiteral("La page d'aide « %1 » n'a pas pu être ouverte.").arg(name);
}

}  // namespace

QString OpenHelpPage(const std::filesystem::path& AppliDir, HelpPage page, const HelpOpener& opener) {
  const std::filesystem::path file = HelpFile(AppliDir, page);
  std::error_code ec;
  int code = -1;
  if (!std::filesystem::is_directory(file.parent_path(), ec)) {
    code = kHelpPathNotFound;
  } else if (!std::filesystem::is_regular_file(file, ec)) {
    code = kHelpFileNotFound;
  } else {
    const QUrl url = QUrl::fromLocalFile(NameOf(file));
    if (opener ? opener(url) : OpenInBrowser(url)) return {};
    code = kHelpNoAssociation;
  }
  if (page == HelpPage::ParRubrique && code != kHelpOutOfMemory && code != kHelpFileNotFound &&
      code != kHelpPathNotFound) {
    return {};
  }
  return HelpFailureText(code) + QStringLiteral("\n\n") + Advice(code, file);
}

bool OpenInBrowser(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace ventrel
