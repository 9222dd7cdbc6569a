#include "files/paths.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace ventrel {

namespace fs = std::filesystem;

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// The entry of `dir` whose name equals `name` ignoring case; the first in byte order
// when several do.
std::optional<fs::path> MatchInFolder(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
  if (ec) return std::nullopt;
  std::vector<std::string> found;
  for (const fs::directory_entry& e : it) {
    std::string entry = e.path().filename().string();
    if (EqualsNoCase(entry, name)) found.push_back(std::move(entry));
  }
  if (found.empty()) return std::nullopt;
  std::sort(found.begin(), found.end());
  return dir / found.front();
}

std::string WithTrailingSlash(std::string s) {
  if (!s.empty() && s.back() != '/') s.push_back('/');
  return s;
}

// "/a/b/" -> "/a/b": a path whose last component is a name, for lexical comparisons.
fs::path WithoutTrailingSlash(const std::string& s) {
  std::string t = s;
  while (t.size() > 1 && t.back() == '/') t.pop_back();
  return fs::path(t);
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::optional<fs::path> ResolveNoCase(const fs::path& p) {
  if (p.empty()) return std::nullopt;
#ifdef _WIN32
  // The file system ignores case: any spelling exists, and each name is looked up in
  // its folder so that the one on disk is given (a folder that cannot be listed
  // keeps the spelling asked).
  constexpr bool kCaseBlind = true;
#else
  constexpr bool kCaseBlind = false;
  if (Exists(p)) return p;
#endif
  fs::path cur = p.root_path();
  for (const fs::path& part : p.relative_path()) {
    const std::string name = part.string();
    if (name.empty()) continue;  // the trailing separator of a folder
    fs::path next = cur / part;
    if (name == "." || name == ".." || (!kCaseBlind && Exists(next))) {
      cur = std::move(next);
      continue;
    }
    std::optional<fs::path> match = MatchInFolder(cur, name);
    if (!match && kCaseBlind && Exists(next)) match = std::move(next);
    if (!match) return std::nullopt;
    cur = std::move(*match);
  }
  return cur;
}

std::optional<fs::path> FindFileNoCase(const fs::path& p) {
  std::optional<fs::path> r = ResolveNoCase(p);
  std::error_code ec;
  if (r && fs::is_regular_file(*r, ec)) return r;
  return std::nullopt;
}

std::optional<fs::path> FindDirNoCase(const fs::path& p) {
  std::optional<fs::path> r = ResolveNoCase(p);
  std::error_code ec;
  if (r && fs::is_directory(*r, ec)) return r;
  return std::nullopt;
}

std::string NormaliseSeparators(std::string_view text) {
  std::string s(text);
#ifndef _WIN32
  std::replace(s.begin(), s.end(), '\\', '/');
#endif
  return s;
}

std::string AbsoluteFolder(std::string_view folder, const fs::path& base) {
  if (folder.empty()) return {};
  fs::path f(NormaliseSeparators(folder));
  if (f.is_relative()) f = base / f;
  return WithTrailingSlash(f.lexically_normal().generic_string());
}

std::string PortableFolder(std::string_view folder, const fs::path& base) {
  const std::string abs = AbsoluteFolder(folder, base);
  if (abs.empty()) return {};
  const fs::path b = WithoutTrailingSlash(AbsoluteFolder(base.generic_string(), fs::current_path()));
  const fs::path rel = WithoutTrailingSlash(abs).lexically_relative(b);
  if (rel.empty() || *rel.begin() == "..") return abs;
  return WithTrailingSlash(rel.generic_string());
}

std::string FolderOf(std::string_view filePath) {
  const std::size_t pos = filePath.find_last_of("/\\");
  if (pos == std::string_view::npos) return {};
  return std::string(filePath.substr(0, pos + 1));
}

}  // namespace ventrel
