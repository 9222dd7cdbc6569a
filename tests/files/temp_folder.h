#pragma once
// A fresh folder under the system's temporary folder, removed with its content at
// the end of the test, and small file helpers for the configuration tests.

#include <filesystem>
#include <random>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace ventrel::testing {

class TempFolder {
 public:
  // A name not taken yet, made by this process (create_directory is false for a
  // folder that exists), on every system.
  TempFolder() {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    std::random_device seed;
    std::mt19937_64 pick(seed());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path p = base / ("ventrel_cfg_" + std::to_string(pick() % 1000000000000ULL));
      if (std::filesystem::create_directory(p, ec)) path_ = p;
    }
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // A folder made read-only by a test must be writable again to be removed.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
      if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteText(const std::filesystem::path& p, const std::string& text) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

inline std::string ReadText(const std::filesystem::path& p) {
  std::ostringstream s;
  s << std::ifstream(p, std::ios::binary).rdbuf();
  return s.str();
}

}  // namespace ventrel::testing
