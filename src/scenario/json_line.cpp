#include "scenario/json_line.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "nav/number_forms.h"

namespace ventrel {

namespace {

const char* const kValueKinds =
    "les valeurs sont des textes, des nombres, true, false, null ou des tableaux de textes et de nombres";

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// The length of the UTF-8 sequence at `s[i]` (well formed: no overlong form, no
// surrogate, at most U+10FFFF), or 0.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const auto cont = [&](std::size_t k) { return i + k < s.size() && (b(k) & 0xC0U) == 0x80U; };
  const unsigned char c = b(0);
  if (c < 0x80U) return 1;
  if (c >= 0xC2U && c <= 0xDFU) return cont(1) ? 2 : 0;
  if (c >= 0xE0U && c <= 0xEFU) {
    if (!cont(1) || !cont(2)) return 0;
    if (c == 0xE0U && b(1) < 0xA0U) return 0;   // overlong
    if (c == 0xEDU && b(1) >= 0xA0U) return 0;  // surrogate
    return 3;
  }
  if (c >= 0xF0U && c <= 0xF4U) {
    if (!cont(1) || !cont(2) || !cont(3)) return 0;
    if (c == 0xF0U && b(1) < 0x90U) return 0;   // overlong
    if (c == 0xF4U && b(1) >= 0x90U) return 0;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80U) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800U) {
    out += static_cast<char>(0xC0U | (cp >> 6U));
    out += static_cast<char>(0x80U | (cp & 0x3FU));
  } else if (cp < 0x10000U) {
    out += static_cast<char>(0xE0U | (cp >> 12U));
    out += static_cast<char>(0x80U | ((cp >> 6U) & 0x3FU));
    out += static_cast<char>(0x80U | (cp & 0x3FU));
  } else {
    out += static_cast<char>(0xF0U | (cp >> 18U));
    out += static_cast<char>(0x80U | ((cp >> 12U) & 0x3FU));
    out += static_cast<char>(0x80U | ((cp >> 6U) & 0x3FU));
    out += static_cast<char>(0x80U | (cp & 0x3FU));
  }
}

// A byte named for a message: itself when printable ASCII, else its code.
std::string Shown(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u > 0x20U && u < 0x7FU) return std::string("« ") + c + " »";
  static const char* const hex = "0123456789ABCDEF";
  return std::string("l'octet 0x") + hex[u >> 4U] + hex[u & 0xFU];
}

class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}

  std::variant<JsonObject, JsonError> Object() {
    SkipBlanks();
    if (i_ == s_.size()) return Fail("ligne vide : un objet JSON est attendu");
    if (s_[i_] != '{') return Fail("un objet JSON est attendu (« { »), pas " + Shown(s_[i_]));
    ++i_;
    JsonObject o;
    SkipBlanks();
    if (More() && s_[i_] == '}') {
      ++i_;
      return End(std::move(o));
    }
    while (true) {
      SkipBlanks();
      if (!More()) return Fail("fin de ligne inattendue : l'objet n'est pas fermé (« } »)");
      if (s_[i_] != '"') return Fail("une clé entre guillemets est attendue, pas " + Shown(s_[i_]));
      JsonMember m;
      m.column = i_ + 1;
      if (!String(m.key)) return error_;
      for (const JsonMember& other : o.members) {
        if (other.key == m.key) {
          i_ = m.column - 1;
          return Fail("la clé " + JsonQuoted(m.key) + " est donnée deux fois");
        }
      }
      if (o.members.size() == kMaxJsonMembers) {
        i_ = m.column - 1;
        return Fail("trop de clés (au plus " + std::to_string(kMaxJsonMembers) + ")");
      }
      SkipBlanks();
      if (!More() || s_[i_] != ':') return Fail("« : » est attendu après la clé " + JsonQuoted(m.key));
      ++i_;
      if (!Value(m.value)) return error_;
      o.members.push_back(std::move(m));
      SkipBlanks();
      if (!More()) return Fail("fin de ligne inattendue : l'objet n'est pas fermé (« } »)");
      if (s_[i_] == ',') {
        ++i_;
        continue;
      }
      if (s_[i_] == '}') {
        ++i_;
        return End(std::move(o));
      }
      return Fail("« , » ou « } » est attendu, pas " + Shown(s_[i_]));
    }
  }

 private:
  bool More() const { return i_ < s_.size(); }
  void SkipBlanks() {
    while (More() && Blank(s_[i_])) ++i_;
  }
  JsonError Fail(std::string message) { return error_ = JsonError{std::move(message), i_ + 1}; }

  std::variant<JsonObject, JsonError> End(JsonObject o) {
    SkipBlanks();
    if (More()) return Fail("texte en trop après l'objet : une ligne ne porte qu'un objet");
    return o;
  }

  bool Value(JsonValue& v) {
    SkipBlanks();
    if (!More()) {
      Fail("fin de ligne inattendue : une valeur est attendue");
      return false;
    }
    v.column = i_ + 1;
    const char c = s_[i_];
    if (c == '[') return Array(v);
    if (c == '{') {
      Fail(std::string("un objet n'est pas accepté comme valeur : ") + kValueKinds);
      return false;
    }
    if (c == '"') {
      v.kind = JsonKind::string;
      return String(v.text);
    }
    if (c == '-' || Digit(c)) {
      v.kind = JsonKind::number;
      return Number(v.text);
    }
    for (const char* word : {"true", "false", "null"}) {
      const std::string_view w(word);
      if (s_.substr(i_, w.size()) == w) {
        i_ += w.size();
        v.kind = w == "null" ? JsonKind::null : JsonKind::boolean;
        if (v.kind == JsonKind::boolean) v.text = w;
        return true;
      }
    }
    Fail("valeur inconnue à partir de " + Shown(c) + " : " + kValueKinds);
    return false;
  }

  bool Array(JsonValue& v) {
    v.kind = JsonKind::array;
    ++i_;  // '['
    SkipBlanks();
    if (More() && s_[i_] == ']') {
      ++i_;
      return true;
    }
    while (true) {
      SkipBlanks();
      if (!More()) {
        Fail("fin de ligne inattendue : le tableau n'est pas fermé (« ] »)");
        return false;
      }
      if (v.items.size() == kMaxJsonArrayItems) {
        Fail("trop d'éléments dans un tableau (au plus " + std::to_string(kMaxJsonArrayItems) + ")");
        return false;
      }
      JsonScalar item;
      const char c = s_[i_];
      if (c == '"') {
        item.kind = JsonKind::string;
        if (!String(item.text)) return false;
      } else if (c == '-' || Digit(c)) {
        item.kind = JsonKind::number;
        if (!Number(item.text)) return false;
      } else {
        Fail("un tableau ne contient que des textes et des nombres, pas " + Shown(c));
        return false;
      }
      v.items.push_back(std::move(item));
      SkipBlanks();
      if (!More()) {
        Fail("fin de ligne inattendue : le tableau n'est pas fermé (« ] »)");
        return false;
      }
      if (s_[i_] == ',') {
        ++i_;
        continue;
      }
      if (s_[i_] == ']') {
        ++i_;
        return true;
      }
      Fail("« , » ou « ] » est attendu dans le tableau, pas " + Shown(s_[i_]));
      return false;
    }
  }

  // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?, kept as written.
  bool Number(std::string& out) {
    const std::size_t start = i_;
    const auto digits = [&] {
      const std::size_t from = i_;
      while (More() && Digit(s_[i_])) ++i_;
      return i_ > from;
    };
    if (s_[i_] == '-') ++i_;
    if (More() && s_[i_] == '0') {
      ++i_;
      if (More() && Digit(s_[i_])) {
        Fail("nombre mal écrit : pas de zéro en tête");
        return false;
      }
    } else if (!digits()) {
      Fail("nombre mal écrit : un chiffre est attendu");
      return false;
    }
    if (More() && s_[i_] == '.') {
      ++i_;
      if (!digits()) {
        Fail("nombre mal écrit : un chiffre est attendu après « . »");
        return false;
      }
    }
    if (More() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      ++i_;
      if (More() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (!digits()) {
        Fail("nombre mal écrit : un chiffre est attendu dans l'exposant");
        return false;
      }
    }
    out.assign(s_.substr(start, i_ - start));
    return true;
  }

  std::optional<std::uint32_t> Hex4() {
    if (s_.size() - i_ < 4) return std::nullopt;
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char c = s_[i_ + k];
      std::uint32_t d = 0;
      if (Digit(c)) {
        d = static_cast<std::uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        d = static_cast<std::uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        d = static_cast<std::uint32_t>(c - 'A' + 10);
      } else {
        return std::nullopt;
      }
      v = v * 16U + d;
    }
    i_ += 4;
    return v;
  }

  // At the opening quote; decodes into `out`.
  bool String(std::string& out) {
    ++i_;
    while (true) {
      if (!More()) {
        Fail("fin de ligne inattendue : le texte n'est pas fermé (« \" »)");
        return false;
      }
      const char c = s_[i_];
      if (c == '"') {
        ++i_;
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20U) {
        Fail("caractère de contrôle dans un texte : écrivez-le \\n, \\t ou \\u00XX");
        return false;
      }
      if (c != '\\') {
        const std::size_t n = Utf8Length(s_, i_);
        if (n == 0) {
          Fail("texte en UTF-8 invalide (" + Shown(c) + ")");
          return false;
        }
        out.append(s_.substr(i_, n));
        i_ += n;
        continue;
      }
      const std::size_t escape = i_;
      ++i_;
      if (!More()) {
        Fail("fin de ligne inattendue après « \\ »");
        return false;
      }
      const char e = s_[i_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          auto cp = Hex4();
          if (!cp) {
            i_ = escape;
            Fail("échappement \\u mal écrit : quatre chiffres hexadécimaux sont attendus");
            return false;
          }
          if (*cp >= 0xDC00U && *cp <= 0xDFFFU) {
            i_ = escape;
            Fail("échappement \\u : seconde moitié d'une paire UTF-16 sans la première");
            return false;
          }
          if (*cp >= 0xD800U && *cp <= 0xDBFFU) {
            std::optional<std::uint32_t> low;
            if (s_.substr(i_, 2) == "\\u") {
              i_ += 2;
              low = Hex4();
            }
            if (!low || *low < 0xDC00U || *low > 0xDFFFU) {
              i_ = escape;
              Fail("échappement \\u : première moitié d'une paire UTF-16 sans la seconde");
              return false;
            }
            *cp = 0x10000U + ((*cp - 0xD800U) << 10U) + (*low - 0xDC00U);
          }
          AppendUtf8(out, *cp);
          break;
        }
        default:
          i_ = escape;
          Fail("échappement inconnu « \\" + (Utf8Length(s_, escape + 1) == 1 && static_cast<unsigned char>(e) >= 0x20U
                                                    ? std::string(1, e)
                                                    : std::string("?")) +
               " »");
          return false;
      }
    }
  }

  std::string_view s_;
  std::size_t i_ = 0;
  JsonError error_;
};

}  // namespace

const JsonMember* JsonObject::Find(std::string_view key) const {
  for (const JsonMember& m : members) {
    if (m.key == key) return &m;
  }
  return nullptr;
}

std::variant<JsonObject, JsonError> ReadJsonObjectLine(std::string_view line) { return Reader(line).Object(); }

std::string JsonQuoted(std::string_view text) {
  static const char* const hex = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80U) {
      // UTF-8 kept; a byte that is not part of a well-formed sequence becomes U+FFFD,
      // so that the answer stays valid UTF-8 whatever it quotes.
      const std::size_t n = Utf8Length(text, i);
      if (n == 0) {
        out += "\\ufffd";
      } else {
        out.append(text.substr(i, n));
        i += n - 1;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (u < 0x20U || u == 0x7FU) {
          out += "\\u00";
          out += hex[u >> 4U];
          out += hex[u & 0xFU];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

void JsonObjectWriter::Key(std::string_view key) {
  if (text_.size() > 1) text_ += ',';
  text_ += JsonQuoted(key);
  text_ += ':';
}

JsonObjectWriter& JsonObjectWriter::String(std::string_view key, std::string_view value) {
  Key(key);
  text_ += JsonQuoted(value);
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Bool(std::string_view key, bool value) {
  Key(key);
  text_ += value ? "true" : "false";
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Int(std::string_view key, long long value) {
  Key(key);
  text_ += std::to_string(value);
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Number(std::string_view key, long double value, int decimals) {
  Key(key);
  const std::string t = std::isfinite(value) ? fixedForm(value, 18, decimals) : std::string();
  text_ += t.empty() ? "null" : t;
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Null(std::string_view key) {
  Key(key);
  text_ += "null";
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Raw(std::string_view key, std::string_view json) {
  Key(key);
  text_ += json;
  return *this;
}

}  // namespace ventrel
