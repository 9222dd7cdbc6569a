#pragma once
// The two help pages, HTML files of the "Help" folder beside the program, opened
// with the system's browser.
//
// A page that cannot be opened is reported with the text of the failure code the
// shell of the first systems gave ("The specified file was not found" for a page
// that does not exist), followed by what the user can do, in French.

#include <QString>
#include <QUrl>

#include <filesystem>
#include <functional>

namespace ventrel {

enum class HelpPage { Generalites, ParRubrique };

// Opens a URL in the system's browser; false when nothing could open it.
using HelpOpener = std::function<bool(const QUrl&)>;

// The page's file: AppliDir/Help/VNT_generalites.html or AppliDir/Help/VNT_Aide par rubrique.html.
std::filesystem::path HelpFile(const std::filesystem::path& AppliDir, HelpPage page);

// Failure codes of the shell's "open" action and their texts.
inline constexpr int kHelpOutOfMemory = 0;
inline constexpr int kHelpFileNotFound = 2;
inline constexpr int kHelpPathNotFound = 3;
inline constexpr int kHelpNoAssociation = 31;
QString HelpFailureText(int code);

// Opens the page. Returns the text of the error box, or an empty text when the
// page was opened or when the failure is one the page does not report ("par
// rubrique" reports only the codes 0, 2 and 3).
QString OpenHelpPage(const std::filesystem::path& AppliDir, HelpPage page, const HelpOpener& opener);

// The system's browser (QDesktopServices).
bool OpenInBrowser(const QUrl& url);

}  // namespace ventrel
