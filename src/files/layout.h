#pragma once
// Where the program finds its read-only files and where it reads and writes the
// user's own, decided from facts the window or the headless runner gathers (the
// program's folder, whether it can be written, the user's folders).
//
// Portable layout: the program's folder holds the data (the default configuration
// and DefPolars/) and can be written; everything is read and written there (a build
// folder, an unpacked archive). Installed layout: the data is read where it lies,
// read only (<prefix>/share/ventrel beside <prefix>/bin, or a program folder that
// cannot be written); the user's configuration lives in his configuration folder
// (copied there from the shipped one at first start) and his polars in his data
// folder. Nothing is written where the data lies.

#include <filesystem>
#include <string>

namespace ventrel {

// The data of an installed program, relative to the folder of its executable.
inline constexpr const char* kInstalledDataFolder = "../share/ventrel";
// The user's polars, inside his data folder.
inline constexpr const char* kUserPolarsFolder = "Polars";

struct LayoutFacts {
  std::filesystem::path programDir;    // the executable's folder, absolute
  bool programDirWritable = false;     // a file can be created in it
  std::filesystem::path configHome;    // the user's configuration folder of the program ("" unknown)
  std::filesystem::path dataHome;      // the user's data folder of the program ("" unknown)
};

struct FileLayout {
  bool installed = false;
  std::filesystem::path dataDir;        // pictures, Help, DefPolars, scenarios: the program's AppliDir
  std::filesystem::path shippedConfig;  // the default configuration that comes with the program
  std::filesystem::path configPath;     // the configuration read at start and written back at close
  std::filesystem::path userPolars;     // the user's polar folder ("" in the portable layout)
  std::filesystem::path userDir;        // where the file dialogs start: the user's configuration folder
                                        // (installed), the program's folder (portable)
};

// True when `dir` holds the program's data: the default configuration (whatever the
// case of its name) and the DefPolars folder.
bool HoldsData(const std::filesystem::path& dir);

// The layout for these facts. Portable when the program's folder holds the data and
// can be written; installed when the data is found read only (in the program's
// folder or in kInstalledDataFolder) and the user's configuration folder is known;
// otherwise portable, the program's folder as it is (missing files are told later).
FileLayout ChooseLayout(const LayoutFacts& facts);

// The installed layout's user folders made, and the shipped configuration copied to
// configPath when no file is there (`*copied` then true). Nothing to do in the
// portable layout. Returns "" or why it failed, in French; the shipped data is never
// written.
std::string PrepareUserFiles(const FileLayout& layout, bool* copied = nullptr);

// Where the configuration is read and written and where the data lies, one French
// line each ("--version --verbose", the "À propos" box).
std::string LayoutReport(const FileLayout& layout);

}  // namespace ventrel
