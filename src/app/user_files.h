#pragma once
// The layout of the program's files on this machine (files/layout.h), from what Qt
// knows: the executable's folder and the user's configuration and data folders.

#include <ostream>

#include "files/layout.h"

namespace ventrel::app {

// The name under which the user's folders are made (~/.config/ventrel, ...); set
// before any QCoreApplication.
inline constexpr const char* kApplicationName = "ventrel";

// Needs a QCoreApplication (or QApplication).
FileLayout CurrentLayout();

// "--version --verbose": the version and where the files are read and written.
int PrintVersionVerbose(int argc, char** argv, std::ostream& out);

}  // namespace ventrel::app
