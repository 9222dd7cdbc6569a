#include "files/startup.h"

#include <optional>

#include "files/config_values.h"
#include "files/paths.h"
#include "files/polar_file.h"
#include "version.h"

namespace ventrel {

namespace fs = std::filesystem;

namespace {

// A folder as held by the program, spelled as on disk when it exists.
std::string HeldFolder(std::string_view folder, const fs::path& AppliDir) {
  const std::string abs = AbsoluteFolder(folder, AppliDir);
  if (abs.empty()) return abs;
  if (const std::optional<fs::path> dir = FindDirNoCase(abs)) return AbsoluteFolder(dir->generic_string(), AppliDir);
  return abs;
}

// A file path spelled as on disk when the file exists, else as given.
std::string HeldFile(const std::string& path) {
  if (const std::optional<fs::path> f = FindFileNoCase(path)) return f->generic_string();
  return path;
}

}  // namespace

fs::path DefaultConfigPath(const fs::path& AppliDir) {
  const fs::path usual = AppliDir / kDefaultConfigName;
  if (const std::optional<fs::path> found = FindFileNoCase(usual)) return *found;
  return usual;
}

StartupResult RunStartSequence(const fs::path& AppliDir, const std::string& RepMesDoc,
                               StartupQuestions& questions) {
  return RunStartSequence(AppliDir, DefaultConfigPath(AppliDir), RepMesDoc, questions);
}

StartupResult RunStartSequence(const fs::path& AppliDir, const fs::path& iniPath, const std::string& RepMesDoc,
                               StartupQuestions& questions) {
  StartupResult r;
  r.AppliDir = AppliDir;
  r.iniPath = iniPath;
  IniFile ini;
  r.ini = IniFile::Load(r.iniPath, &ini);
  r.Version = ini.ReadString(kSecVersion, "Version", kVersion);

  // The configured polar, when its folder and its file exist.
  PolarPaths& p = r.polar;
  const std::string configured = ini.ReadString(kSecRepertoires, "Polars", "");
  if (!configured.empty() && FindDirNoCase(AbsoluteFolder(configured, AppliDir))) {
    p.RepPol = HeldFolder(configured, AppliDir);
    p.NomFiPol = p.RepPol + ini.ReadString(kSecParametres, "PolaireAct", "");
  }
  if (const std::optional<fs::path> f = p.NomFiPol.empty() ? std::nullopt : FindFileNoCase(p.NomFiPol)) {
    p.NomFiPol = f->generic_string();
  } else {
    p.RepPol = HeldFolder(kDefPolarsFolder, AppliDir);
    p.NomFiPol = HeldFile(p.RepPol + kDefPolarFile);
  }

  // The sibling application's polars, offered when they are not already in use.
  r.RepMesDoc = RepMesDoc;
  if (!RepMesDoc.empty()) {
    if (const std::optional<fs::path> sib = FindDirNoCase(fs::path(RepMesDoc) / kSiblingPolarsFolder)) {
      r.RepPolCons = AbsoluteFolder(sib->generic_string(), AppliDir);
      if (r.RepPolCons != p.RepPol) {
        r.asked = true;
        r.RepChoice = questions.AskYesNo(kMsgPolairesHoulmar);
        if (r.RepChoice) {
          p.RepPol = r.RepPolCons;
          p.NomFiPol = HeldFile(p.RepPol + kSiblingPolarFile);
          r.ModHoulmar = true;
        }
      }
    }
  }
  p.NomPol = NomPolaire(p.NomFiPol);
  return r;
}

PolarPaths LoadPOlaire(const IniFile& ini, const PolarPaths& current, const fs::path& AppliDir) {
  PolarPaths p = current;
  if (const std::optional<std::string> folder = ini.Find(kSecRepertoires, "Polars")) {
    // An empty folder is the program folder, as any relative one is taken inside it.
    p.RepPol = HeldFolder(folder->empty() ? "." : *folder, AppliDir);
  }
  const std::optional<std::string> file = ini.Find(kSecParametres, "PolaireAct");
  if (file && !file->empty()) {
    p.NomFiPol = HeldFile(p.RepPol + *file);
    p.NomPol = NomPolaire(p.NomFiPol);
  }
  return p;
}

WriteOutcome WriteBackPolarKeys(const fs::path& iniPath, const PolarPaths& polar, const fs::path& AppliDir,
                                std::string* RepPol, const ChunkWriter& writer) {
  IniFile ini;
  const IniLoad load = IniFile::Load(iniPath, &ini);
  if (!load.readable) {
    return {false, load.message + " La polaire en cours n'y est pas enregistrée."};
  }
  const std::string folder = FolderOf(polar.NomFiPol);
  ini.WriteString(kSecParametres, "PolaireAct", polar.NomPol + ".pol");
  ini.WriteString("Repertoires", "Polars", PortableFolder(folder, AppliDir));
  WriteOutcome out = ini.Save(iniPath, writer);
  if (out.ok && RepPol != nullptr) *RepPol = AbsoluteFolder(folder, AppliDir);
  return out;
}

}  // namespace ventrel
