// The program: the window by default, or one of the command-line modes.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli.h"
#include "version.h"
#ifdef VENTREL_HAS_GUI
#include <QCoreApplication>

#include "app/headless.h"
#include "app/user_files.h"
#endif

int main(int argc, char** argv) {
#ifdef VENTREL_HAS_GUI
  // The user's folders are named after the program, whatever the executable's name.
  QCoreApplication::setApplicationName(QString::fromLatin1(ventrel::app::kApplicationName));
#endif
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty()) {
    const std::string& a = args.front();
    if (a == "--help" || a == "-h") {
      std::cout << ventrel::app::UsageText();
      return 0;
    }
    if (a == "--version") {
#ifdef VENTREL_HAS_GUI
      if (args.size() > 1 && args[1] == "--verbose") return ventrel::app::PrintVersionVerbose(argc, argv, std::cout);
#endif
      std::cout << "ventrel " << ventrel::Version() << "\n";
      return 0;
    }
    if (a == "--polar-info") return ventrel::app::RunPolarInfo(args, std::cout, std::cerr);
#ifdef VENTREL_HAS_GUI
    if (a == "--check-scenario") {
      return ventrel::app::CheckScenario(std::vector<std::string>(args.begin() + 1, args.end()), std::cout, std::cerr);
    }
    if (a == "--headless") {
      return ventrel::app::RunHeadless(argc, argv, std::vector<std::string>(args.begin() + 1, args.end()), std::cerr);
    }
#endif
    std::cerr << "Option inconnue : " << a << "\n" << ventrel::app::UsageText();
    return 2;
  }
  return ventrel::app::RunWindow(argc, argv);
}
