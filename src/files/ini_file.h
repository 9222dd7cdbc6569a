#pragma once
// INI files: the default configuration "Ventrel.ini" and the configurations the
// user saves under names of his own.
//
// Syntax: text lines; "[Name]" starts a section; "key=value" is a setting; lines
// starting with ";" or "#" are comments. Section and key names are matched without
// regard to case ("REPERTOIRES" and "Repertoires" are one section); spaces around
// names and values are ignored. When a key appears more than once, the first wins.
//
// Value forms:
//   real     written in the general form (15 significant digits, ".", no exponent
//            for ordinary magnitudes); read with Val_Str_Flott ("." or ",", empty = 0)
//   integer  decimal digits, optional sign, 32 bits
//   boolean  written "1" or "0"; read as an integer, non-zero meaning true; the words
//            "true" and "false" (any case) are accepted too
//   string   as is, on one line
//
// The file is kept as its lines: writing a key changes only that key's line (or adds
// one), so every other line, comments and unknown keys included, stays as it was.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_write.h"

namespace ventrel {

// A key whose value could not be taken: not a number, not an integer, not a
// boolean, or out of its range. The value is the raw text of the file.
struct BadKey {
  std::string section;
  std::string key;
  std::string value;
  std::string problem;  // French: "n'est pas un nombre", "hors limites (0 à 100 nœuds)"
  friend bool operator==(const BadKey&, const BadKey&) = default;
};
// The keys refused, in reading order, for one message to the user.
using BadKeys = std::vector<BadKey>;

// True when `bad` holds that key of that section (names without regard to case).
bool IsBadKey(const BadKeys& bad, std::string_view section, std::string_view key);

class IniFile;

// Largest configuration read, in bytes (1 MiB): a real one holds a few hundred lines.
inline constexpr std::size_t kMaxIniBytes = 1024 * 1024;

// Outcome of reading a file. A missing file is not an error: it reads as an empty
// file whose every key takes its default.
struct IniLoad {
  bool found = false;     // the file exists
  bool readable = true;   // false: it exists but cannot be read (message says why)
  std::string message;    // French, when !readable
};

class IniFile {
 public:
  IniFile() = default;
  // Parses the text of a file (lines end with CR LF, LF or CR; a UTF-8 mark at the
  // start is kept aside and written back).
  explicit IniFile(std::string_view text);

  // Reads `path`; on a missing or unreadable file `*ini` is left empty. A folder, a
  // device, a named pipe or a file over kMaxIniBytes is refused unread.
  static IniLoad Load(const std::filesystem::path& path, IniFile* ini);

  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  // The value of the key, spaces around it removed; nullopt when the key is missing.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key, std::string_view ifMissing) const;
  // A value that is not a number gives `ifInvalid` and its key is added to `bad`.
  long double ReadReal(std::string_view section, std::string_view key, long double ifMissing,
                       long double ifInvalid, BadKeys* bad = nullptr) const;
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t ifMissing,
                           std::int32_t ifInvalid, BadKeys* bad = nullptr) const;
  bool ReadBool(std::string_view section, std::string_view key, bool ifMissing, bool ifInvalid,
                BadKeys* bad = nullptr) const;

  // Sets the value of a key: its line is rewritten in place (the key keeps its spelling);
  // a missing key is added at the end of its section; a missing section is added at the
  // end of the file. Line breaks inside `value` become spaces.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteReal(std::string_view section, std::string_view key, long double value);
  void WriteInteger(std::string_view section, std::string_view key, std::int64_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The whole text, as it would be written.
  std::string Text() const;
  // Writes the text to `path` whole or not at all.
  WriteOutcome Save(const std::filesystem::path& path, const ChunkWriter& writer = {}) const;

 private:
  struct Line {
    std::string text;
    std::string eol;  // "\r\n", "\n", "\r" or "" for a last line without a break
  };
  // Index of the line holding the key, if any.
  std::optional<std::size_t> FindLine(std::string_view section, std::string_view key) const;
  void InsertLine(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string bom_;
  std::string eol_ = "\n";  // break of new lines: the file's first one, "\n" for a new file
};

// The text of a real as written into a file: the general form with "."; a value that
// is not finite is written "0".
std::string RealText(long double x);
// An integer in decimal digits with an optional sign, spaces around allowed, 32 bits.
std::optional<std::int32_t> ParseInteger(std::string_view text);
// A boolean: an integer (non-zero is true), or "true"/"false" in any case.
std::optional<bool> ParseBool(std::string_view text);

// One message for the keys that could not be taken ("" when there are none): one
// line per key naming its section, the key, its value (control characters and
// bytes that are not UTF-8 escaped, long values cut) and why it was refused.
std::string BadKeysMessage(const BadKeys& bad);

}  // namespace ventrel
