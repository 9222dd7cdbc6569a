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

// The configured polar as named: its folder (absolute) and its file; the file alone
// when no folder is configured.
std::string ConfiguredPolar(const std::string& folder, const std::string& file, const fs::path& AppliDir) {
  return folder.empty() ? file : AbsoluteFolder(folder, AppliDir) + file;
}

// Why the configured polar is not a file that can be read, as a French sentence.
std::string WhyNoPolarFile(const std::string& folder, const std::string& file, const fs::path& AppliDir) {
  if (folder.empty()) {
    return "aucun dossier de polaires n'est configuré (clé « Polars » de la section [Repertoires]).";
  }
  const std::string dir = AbsoluteFolder(folder, AppliDir);
  if (!FindDirNoCase(dir)) return "le dossier « " + dir + " » n'existe pas.";
  // The name as on disk whatever its case, to tell what it is without opening it.
  const std::optional<fs::path> found = ResolveNoCase(dir + file);
  if (!found) return "le fichier n'existe pas dans ce dossier.";
  return PolarFileProblem(found->generic_string());
}

}  // namespace

PolarPaths DefaultPolarPaths(const fs::path& AppliDir) {
  PolarPaths p;
  p.RepPol = HeldFolder(kDefPolarsFolder, AppliDir);
  p.NomFiPol = HeldFile(p.RepPol + kDefPolarFile);
  p.NomPol = NomPolaire(p.NomFiPol);
  return p;
}

std::string PolarFallbackWarning(const std::string& configured, const std::string& why, const std::string& fallback) {
  return "La polaire configurée « " + configured + " » ne peut pas servir, la polaire par défaut « " + fallback +
         " » est prise à sa place. Raison : " + why;
}

PolarParse LoadStartPolar(PolarPaths& p, const fs::path& AppliDir, std::string& warning) {
  PolarParse parse = LoadPolarFile(p.NomFiPol);
  if (parse.ok) return parse;
  const PolarPaths def = DefaultPolarPaths(AppliDir);
  if (def.NomFiPol == p.NomFiPol) return parse;
  warning = PolarFallbackWarning(p.NomFiPol, parse.reason, def.NomFiPol);
  p = def;
  return LoadPolarFile(p.NomFiPol);
}

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
  const std::string file = ini.ReadString(kSecParametres, "PolaireAct", "");
  if (!configured.empty() && FindDirNoCase(AbsoluteFolder(configured, AppliDir))) {
    p.RepPol = HeldFolder(configured, AppliDir);
    p.NomFiPol = p.RepPol + file;
  }
  if (const std::optional<fs::path> f = p.NomFiPol.empty() ? std::nullopt : FindFileNoCase(p.NomFiPol)) {
    p.NomFiPol = f->generic_string();
  } else {
    const PolarPaths def = DefaultPolarPaths(AppliDir);
    if (!file.empty()) r.polarWarning = PolarFallbackWarning(ConfiguredPolar(configured, file, AppliDir),
                                                             WhyNoPolarFile(configured, file, AppliDir), def.NomFiPol);
    p = def;
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
          r.polarWarning.clear();  // the user picks the polar himself: the default one is not taken
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
