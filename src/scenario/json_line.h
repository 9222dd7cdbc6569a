#pragma once
// A small JSON reader and writer for the lines of the control port, standard
// library only. The reader takes exactly one flat object a line: its values are
// strings, numbers, true, false, null, or arrays of strings and numbers; nothing
// nests deeper (an object in an object, an array in an array is refused), a key
// given twice is refused, and the counts are bounded. Strings must be valid UTF-8
// and are kept as UTF-8 (escapes decoded, "\u00e9" and surrogate pairs included);
// numbers keep the text they were written with ("12.50" stays "12.50").
// Errors are French and give the column (1-based, in bytes) where the reading stopped.

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ventrel {

// Bounds of one object: members, items of one array.
inline constexpr std::size_t kMaxJsonMembers = 32;
inline constexpr std::size_t kMaxJsonArrayItems = 64;

enum class JsonKind { string, number, boolean, null, array };

struct JsonScalar {
  JsonKind kind = JsonKind::string;  // string or number
  std::string text;                  // a string's decoded UTF-8, a number as written
};

struct JsonValue {
  JsonKind kind = JsonKind::null;
  std::string text;               // string: decoded; number: as written; boolean: "true"/"false"
  std::vector<JsonScalar> items;  // kind == array
  std::size_t column = 0;         // 1-based byte column where the value begins
};

struct JsonMember {
  std::string key;
  JsonValue value;
  std::size_t column = 0;  // of the key
};

struct JsonObject {
  std::vector<JsonMember> members;  // in the order written, keys all different
  const JsonMember* Find(std::string_view key) const;
};

struct JsonError {
  std::string message;  // French, without the column
  std::size_t column = 0;
};

// One object, with nothing but blanks (space, tab, CR) around it.
std::variant<JsonObject, JsonError> ReadJsonObjectLine(std::string_view line);

// `text` as a JSON string with its quotes: '"' and '\' escaped, control characters
// as \n, \r, \t, \b, \f or \u00XX; other bytes kept (UTF-8 stays UTF-8).
std::string JsonQuoted(std::string_view text);

// Builds one object on one line, members in the order added.
class JsonObjectWriter {
 public:
  JsonObjectWriter& String(std::string_view key, std::string_view value);
  JsonObjectWriter& Bool(std::string_view key, bool value);
  JsonObjectWriter& Int(std::string_view key, long long value);
  // With `decimals` decimals and "." whatever the locale; null when not finite.
  JsonObjectWriter& Number(std::string_view key, long double value, int decimals);
  JsonObjectWriter& Null(std::string_view key);
  // `json` written as it is: a value already in JSON.
  JsonObjectWriter& Raw(std::string_view key, std::string_view json);
  std::string Text() const { return text_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string text_ = "{";
};

}  // namespace ventrel
