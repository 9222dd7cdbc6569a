#pragma once
// Command-line modes of the program.
#include <ostream>
#include <string>
#include <vector>

namespace ventrel::app {

std::string UsageText();

// ventrel --polar-info FILE.pol [--percent P]: the parsed table, then for each
// tabulated wind speed the best upwind angle, the boat speed there and the VMG.
// Exit status 0, or 1 with a message on `err` when the file is missing or refused.
int RunPolarInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The window (see window_main.h).
int RunWindow(int argc, char** argv);

}  // namespace ventrel::app
