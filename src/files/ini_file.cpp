#include "files/ini_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <system_error>
#include <utility>

#include "files/paths.h"
#include "files/value_ranges.h"
#include "nav/number_forms.h"
#include "nav/number_read.h"

namespace ventrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  const std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

enum class Kind { other, section, key };

// What a line holds: a section header (name), a setting (key, value) or nothing read.
struct Parsed {
  Kind kind = Kind::other;
  std::string_view name;   // section name or key
  std::string_view value;  // setting's value
  std::size_t valueAt = 0; // where the value part starts in the line (after "=")
};

Parsed Classify(std::string_view line) {
  Parsed p;
  const std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '#') return p;
  if (t.front() == '[') {
    const std::size_t close = t.find(']');
    p.kind = Kind::section;
    p.name = Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return p;
  }
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return p;
  p.kind = Kind::key;
  p.name = Trim(line.substr(0, eq));
  p.value = Trim(line.substr(eq + 1));
  p.valueAt = eq + 1;
  return p;
}

}  // namespace

IniFile::IniFile(std::string_view text) {
  if (text.substr(0, kBom.size()) == kBom) {
    bom_ = std::string(kBom);
    text.remove_prefix(kBom.size());
  }
  bool eolSeen = false;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t brk = text.find_first_of("\r\n", at);
    Line line;
    if (brk == std::string_view::npos) {
      line.text = std::string(text.substr(at));
      at = text.size();
    } else {
      line.text = std::string(text.substr(at, brk - at));
      const bool crlf = text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n';
      line.eol = crlf ? "\r\n" : std::string(1, text[brk]);
      at = brk + line.eol.size();
      if (!eolSeen) {
        eol_ = line.eol;
        eolSeen = true;
      }
    }
    lines_.push_back(std::move(line));
  }
}

IniLoad IniFile::Load(const fs::path& path, IniFile* ini) {
  *ini = IniFile();
  IniLoad r;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) {
    r.found = false;
    return r;
  }
  r.found = true;
  const std::string name = path.filename().string();
  const auto refuse = [&r](std::string message) {
    r.readable = false;
    r.message = std::move(message);
    return r;
  };
  const std::string cannot = "Le fichier « " + name + " » ne peut pas être lu.";
  if (fs::is_directory(status)) return refuse(cannot);
  // A named pipe or a device would never end (or never start): not opened.
  if (!fs::is_regular_file(status)) {
    return refuse("Le fichier « " + name + " » ne peut pas être lu : ce n'est pas un fichier ordinaire.");
  }
  const std::string tooLarge = "Le fichier « " + name + " » est trop grand pour une configuration (plus de " +
                               std::to_string(kMaxIniBytes / (1024 * 1024)) + " Mio) : il n'est pas lu.";
  const std::uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > kMaxIniBytes) return refuse(tooLarge);
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return refuse(cannot);
  // Read by blocks up to one byte beyond the limit: a file that grows meanwhile
  // costs no more.
  std::string text;
  char block[1 << 16];
  while (text.size() <= kMaxIniBytes) {
    const std::size_t room = std::min(sizeof block, kMaxIniBytes + 1 - text.size());
    in.read(block, static_cast<std::streamsize>(room));
    text.append(block, static_cast<std::size_t>(in.gcount()));
    if (in.gcount() == 0 || !in) break;
  }
  if (in.bad()) return refuse(cannot);
  if (text.size() > kMaxIniBytes) return refuse(tooLarge);
  *ini = IniFile(text);
  return r;
}

std::optional<std::size_t> IniFile::FindLine(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Parsed p = Classify(lines_[i].text);
    if (p.kind == Kind::section) {
      inSection = EqualsNoCase(p.name, section);
    } else if (inSection && p.kind == Kind::key && EqualsNoCase(p.name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

bool IniFile::HasSection(std::string_view section) const {
  for (const Line& l : lines_) {
    const Parsed p = Classify(l.text);
    if (p.kind == Kind::section && EqualsNoCase(p.name, section)) return true;
  }
  return false;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
  return FindLine(section, key).has_value();
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  const std::optional<std::size_t> i = FindLine(section, key);
  if (!i) return std::nullopt;
  return std::string(Classify(lines_[*i].text).value);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view ifMissing) const {
  std::optional<std::string> v = Find(section, key);
  return v ? *v : std::string(ifMissing);
}

long double IniFile::ReadReal(std::string_view section, std::string_view key, long double ifMissing,
                              long double ifInvalid, BadKeys* bad) const {
  const std::optional<std::string> v = Find(section, key);
  if (!v) return ifMissing;
  const NumberRead n = Val_Str_Flott(*v);
  if (n.ok && std::isfinite(n.value)) return n.value;
  if (bad != nullptr) bad->push_back({std::string(section), std::string(key), *v, "n'est pas un nombre"});
  return ifInvalid;
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t ifMissing,
                                  std::int32_t ifInvalid, BadKeys* bad) const {
  const std::optional<std::string> v = Find(section, key);
  if (!v) return ifMissing;
  if (const std::optional<std::int32_t> n = ParseInteger(*v)) return *n;
  if (bad != nullptr) bad->push_back({std::string(section), std::string(key), *v, "n'est pas un nombre entier"});
  return ifInvalid;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool ifMissing, bool ifInvalid,
                       BadKeys* bad) const {
  const std::optional<std::string> v = Find(section, key);
  if (!v) return ifMissing;
  if (const std::optional<bool> b = ParseBool(*v)) return *b;
  if (bad != nullptr) bad->push_back({std::string(section), std::string(key), *v, "n'est ni 0, ni 1, ni true, ni false"});
  return ifInvalid;
}

void IniFile::InsertLine(std::size_t at, std::string text) {
  // The line before the new one must end with a break.
  if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol_;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), eol_});
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value0) {
  std::string value(value0);
  for (char& c : value) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  if (const std::optional<std::size_t> i = FindLine(section, key)) {
    std::string& text = lines_[*i].text;
    std::size_t keep = Classify(text).valueAt;
    while (keep < text.size() && (text[keep] == ' ' || text[keep] == '\t')) ++keep;
    text = text.substr(0, keep) + value;
    return;
  }
  const std::string setting = std::string(key) + "=" + value;
  // After the last non-blank line of the first section of that name.
  std::optional<std::size_t> after;
  bool inSection = false;
  bool found = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Parsed p = Classify(lines_[i].text);
    if (p.kind == Kind::section) {
      if (found) break;
      inSection = EqualsNoCase(p.name, section);
      if (inSection) {
        found = true;
        after = i;
      }
    } else if (inSection && !Trim(lines_[i].text).empty()) {
      after = i;
    }
  }
  if (found) {
    InsertLine(*after + 1, setting);
    return;
  }
  // Built by appending: GCC 12 reports a false overlap (-Wrestrict) in the optimised
  // build for "[" + std::string(section) + "]".
  std::string header;
  header.reserve(section.size() + 2);
  header.append("[").append(section).append("]");
  InsertLine(lines_.size(), header);
  InsertLine(lines_.size(), setting);
}

void IniFile::WriteReal(std::string_view section, std::string_view key, long double value) {
  WriteString(section, key, RealText(value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
  std::string out = bom_;
  for (const Line& l : lines_) {
    out += l.text;
    out += l.eol;
  }
  return out;
}

WriteOutcome IniFile::Save(const fs::path& path, const ChunkWriter& writer) const {
  return WriteFileWhole(path, Text(), writer);
}

std::string RealText(long double x) {
  if (!std::isfinite(x) || x == 0.0L) return "0";
  return generalForm(x);
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') {
    t.remove_prefix(1);
    if (!t.empty() && t.front() == '-') return std::nullopt;
  }
  if (t.empty()) return std::nullopt;
  std::int64_t v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(v);
}

std::optional<bool> ParseBool(std::string_view text) {
  if (const std::optional<std::int32_t> n = ParseInteger(text)) return *n != 0;
  const std::string_view t = Trim(text);
  if (EqualsNoCase(t, "true")) return true;
  if (EqualsNoCase(t, "false")) return false;
  return std::nullopt;
}

bool IsBadKey(const BadKeys& bad, std::string_view section, std::string_view key) {
  for (const BadKey& b : bad) {
    if (EqualsNoCase(b.section, section) && EqualsNoCase(b.key, key)) return true;
  }
  return false;
}

std::string BadKeysMessage(const BadKeys& bad) {
  std::string text;
  for (const BadKey& b : bad) {
    if (!text.empty()) text += '\n';
    text += "Configuration : [" + ShownValue(b.section) + "] " + ShownValue(b.key) + " = « " + ShownValue(b.value) +
            " » " + b.problem + ", la valeur précédente est conservée.";
  }
  return text;
}

}  // namespace ventrel
