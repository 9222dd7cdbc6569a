#include "files/layout.h"

#include <optional>
#include <system_error>

#include "files/paths.h"
#include "files/startup.h"

namespace ventrel {

namespace fs = std::filesystem;

bool HoldsData(const fs::path& dir) {
  if (dir.empty()) return false;
  return FindFileNoCase(dir / kDefaultConfigName).has_value() && FindDirNoCase(dir / kDefPolarsFolder).has_value();
}

FileLayout ChooseLayout(const LayoutFacts& facts) {
  FileLayout l;
  const fs::path programDir = facts.programDir.lexically_normal();
  const bool portableData = HoldsData(programDir);
  // The portable layout, as a build folder has it; also the last resort.
  const auto portable = [&] {
    l.installed = false;
    l.dataDir = programDir;
    l.shippedConfig = DefaultConfigPath(programDir);
    l.configPath = l.shippedConfig;
    l.userPolars.clear();
    l.userDir = programDir;
    return l;
  };
  if (portableData && facts.programDirWritable) return portable();
  if (facts.configHome.empty()) return portable();
  fs::path data;
  if (portableData) {
    data = programDir;
  } else {
    const fs::path shared = (programDir / kInstalledDataFolder).lexically_normal();
    if (!HoldsData(shared)) return portable();
    data = shared;
  }
  l.installed = true;
  l.dataDir = data;
  l.shippedConfig = DefaultConfigPath(data);
  l.configPath = facts.configHome.lexically_normal() / kDefaultConfigName;
  if (!facts.dataHome.empty()) l.userPolars = facts.dataHome.lexically_normal() / kUserPolarsFolder;
  l.userDir = facts.configHome.lexically_normal();
  return l;
}

std::string PrepareUserFiles(const FileLayout& layout, bool* copied) {
  if (copied) *copied = false;
  if (!layout.installed) return {};
  std::error_code ec;
  const fs::path configDir = layout.configPath.parent_path();
  fs::create_directories(configDir, ec);
  if (ec) return "Le dossier de configuration « " + configDir.string() + " » ne peut pas être créé : " + ec.message() + ".";
  if (!layout.userPolars.empty()) {
    fs::create_directories(layout.userPolars, ec);
    if (ec) {
      return "Le dossier des polaires « " + layout.userPolars.string() + " » ne peut pas être créé : " + ec.message() +
             ".";
    }
  }
  if (fs::exists(fs::symlink_status(layout.configPath, ec))) return {};
  fs::copy_file(layout.shippedConfig, layout.configPath, ec);
  if (ec) {
    return "La configuration par défaut « " + layout.shippedConfig.string() + " » ne peut pas être copiée dans « " +
           layout.configPath.string() + " » : " + ec.message() + ".";
  }
  // The copy is the user's: he writes it even when the shipped file is read only.
  fs::permissions(layout.configPath, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
  if (ec) {
    return "La configuration « " + layout.configPath.string() + " » ne peut pas être rendue modifiable : " +
           ec.message() + ".";
  }
  if (copied) *copied = true;
  return {};
}

std::string LayoutReport(const FileLayout& layout) {
  std::string r;
  r += std::string("Installation : ") + (layout.installed ? "installée" : "portable (dossier du programme)") + "\n";
  r += "Données du programme : " + layout.dataDir.string() + "\n";
  r += "Configuration lue et enregistrée : " + layout.configPath.string() + "\n";
  if (layout.installed) r += "Configuration fournie : " + layout.shippedConfig.string() + "\n";
  if (!layout.userPolars.empty()) r += "Polaires de l'utilisateur : " + layout.userPolars.string() + "\n";
  return r;
}

}  // namespace ventrel
