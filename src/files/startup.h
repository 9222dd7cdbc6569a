#pragma once
// Where the program finds its files at start, which polar it takes, and the polar
// keys of a configuration: read when one is opened, written back at close.
//
// Folders are held absolute, with "/" separators and a trailing "/". In a file they
// are written relative to the program folder when they lie inside it ("DefPolars/"),
// so that the program folder can be moved; a relative folder read from a file is
// taken inside the program folder.

#include <filesystem>
#include <string>

#include "files/file_write.h"
#include "files/ini_file.h"
#include "files/polar_file.h"

namespace ventrel {

// The default configuration, in the program folder.
inline constexpr const char* kDefaultConfigName = "Ventrel.ini";
// The polar taken when the configured one is missing: "First31_7.pol" in "DefPolars".
inline constexpr const char* kDefPolarsFolder = "DefPolars";
inline constexpr const char* kDefPolarFile = "First31_7.pol";
// The polar folder of the sibling application, under the user's documents, and the
// polar named there until the user picks one.
inline constexpr const char* kSiblingPolarsFolder = "Houlmar/Polars";
inline constexpr const char* kSiblingPolarFile = "First 31.7.pol";
inline constexpr const char* kMsgPolairesHoulmar =
    "Les polaires de HOULMAR sont disponibles sur votre machine - Voulez-vous les utiliser maintenant ? ";

// The question asked at start; the window answers it with a Yes/No box, tests answer
// it themselves.
class StartupQuestions {
 public:
  virtual ~StartupQuestions() = default;
  // True for Yes.
  virtual bool AskYesNo(const std::string& question) = 0;
};

// The polar in force: folder, full path and display name.
struct PolarPaths {
  std::string RepPol;    // folder of the polar files, absolute, ending with "/"
  std::string NomFiPol;  // full path of the current polar file
  std::string NomPol;    // display name: NomPolaire(NomFiPol)
};

struct StartupResult {
  std::filesystem::path AppliDir;  // program folder
  std::filesystem::path iniPath;   // the default configuration (as found on disk, or its usual name)
  IniLoad ini;                     // how it was read
  std::string Version;             // "Version"/"Version" of the default configuration ("2.3")
  PolarPaths polar;
  std::string RepMesDoc;           // the user's documents folder ("" when unknown)
  std::string RepPolCons;          // the sibling polar folder, "" when there is none
  bool asked = false;              // the question was put to the user
  bool RepChoice = false;          // the answer
  bool ModHoulmar = false;         // the user took the sibling polars
  // Why the configured polar was not taken, in French, naming it and the default
  // polar taken instead; "" when it was taken, none was configured or the user took
  // the sibling polars.
  std::string polarWarning;
};

// The default configuration's path in `AppliDir`, whatever the case of its name on disk.
std::filesystem::path DefaultConfigPath(const std::filesystem::path& AppliDir);

// The start sequence: program folder and version, polar folder and current polar (the
// configured one, else DefPolars/First31_7.pol), then the offer of the sibling polars
// found under `RepMesDoc`. Changes no current folder. A configured polar ("PolaireAct"
// not empty) that is no regular file (missing, misspelt, a folder, a FIFO: none is
// opened) leaves its warning in polarWarning.
StartupResult RunStartSequence(const std::filesystem::path& AppliDir, const std::string& RepMesDoc,
                               StartupQuestions& questions);
// The same with another file in the default configuration's place (a configuration
// named on the command line).
StartupResult RunStartSequence(const std::filesystem::path& AppliDir, const std::filesystem::path& iniPath,
                               const std::string& RepMesDoc, StartupQuestions& questions);

// The default polar of the program folder, spelled as on disk when it is there.
PolarPaths DefaultPolarPaths(const std::filesystem::path& AppliDir);

// The warning given when the configured polar `configured` cannot be used for the
// reason `why` (a French sentence) and `fallback` is taken instead.
std::string PolarFallbackWarning(const std::string& configured, const std::string& why,
                                 const std::string& fallback);

// The polar read at start. `p` is read and parsed; when the parser refuses it and it
// is not the default polar, its warning goes to `warning` and the default polar is
// read instead (`p` then names it). Returns the parse of the polar `p` names, which
// is refused only when the default polar is refused too.
PolarParse LoadStartPolar(PolarPaths& p, const std::filesystem::path& AppliDir, std::string& warning);

// The polar keys of a configuration being opened: the folder from "Polars" (current
// one when missing), the file from "PolaireAct" inside it. Without "PolaireAct" the
// current polar file and name are kept. Names only: no polar is read.
PolarPaths LoadPOlaire(const IniFile& ini, const PolarPaths& current, const std::filesystem::path& AppliDir);

// The write-back at close: "Parametres"/"PolaireAct" := NomPol + ".pol" and
// "Repertoires"/"Polars" := the folder of NomFiPol, written into the file at `iniPath`;
// every other line of it is kept. A file that exists but cannot be read is not
// rewritten. On success `*RepPol` (when given) takes the folder.
WriteOutcome WriteBackPolarKeys(const std::filesystem::path& iniPath, const PolarPaths& polar,
                                const std::filesystem::path& AppliDir, std::string* RepPol = nullptr,
                                const ChunkWriter& writer = {});

}  // namespace ventrel
