#include "nmea/frame.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

#include "nav/conversions.h"
#include "nav/geodesy.h"
#include "nav/number_forms.h"

namespace ventrel {

std::string hexa(std::uint8_t b) {
  return {hex_v[b / 16], hex_v[b % 16]};
}

std::uint8_t Check_XOR(std::string_view s, char start, char end) {
  const auto p1 = s.find(start);
  if (p1 == std::string_view::npos) return 0;
  const auto p2 = s.find(end, p1 + 1);
  const auto stop = p2 == std::string_view::npos ? s.size() : p2;
  std::uint8_t x = 0;
  for (auto i = p1 + 1; i < stop; ++i) x ^= static_cast<std::uint8_t>(s[i]);
  return x;
}

std::string Chksum_Add(std::string_view sentence) { return hexa(Check_XOR(sentence, '$', '*')); }

bool PlainDecimalOrText(std::string_view f) {
  if (f.empty()) return true;
  const char c0 = f.front();
  if (!(c0 == '+' || c0 == '-' || c0 == '.' || (c0 >= '0' && c0 <= '9'))) return true;
  std::size_t i = c0 == '+' || c0 == '-' ? 1 : 0;
  bool digit = false;
  bool point = false;
  for (; i < f.size(); ++i) {
    if (f[i] >= '0' && f[i] <= '9') {
      digit = true;
    } else if (f[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

bool FrameSentenceInto(std::string& out, std::string_view talker, std::string_view type,
                       std::span<const std::string> fields, int fit, std::uint64_t names, std::string* fault) {
  // "$" + body + "*" + 2 checksum digits + CR LF: the body may take 76 characters.
  constexpr std::size_t kMaxBody = kMaxSentence - 6;
  std::size_t body = talker.size() + type.size();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string& f = fields[i];
    body += 1 + f.size();
    const bool name = static_cast<int>(i) == fit || (i < 64 && ((names >> i) & 1U) != 0);
    if (!name && !PlainDecimalOrText(f)) {
      if (fault != nullptr) {
        *fault = std::string(type) + " : le champ " + std::to_string(i + 1) + " « " + f.substr(0, 24) +
                 " » n'est pas un nombre décimal simple";
      }
      out.clear();
      return false;
    }
  }
  std::size_t cut = 0;
  if (body > kMaxBody) {
    cut = body - kMaxBody;
    if (fit < 0 || static_cast<std::size_t>(fit) >= fields.size() || fields[fit].size() < cut) {
      if (fault != nullptr) *fault = std::string(type) + " : la phrase dépasse 82 caractères";
      out.clear();
      return false;
    }
  }
  // "$", the body, "*" and the two checksum characters, written in place over
  // what out held (its room is kept from one group to the next). The checksum is
  // the XOR of the characters between the "$" and the "*", taken as they are copied.
  out.resize(1 + body - cut + 3);
  char* p = out.data();
  std::uint8_t x = 0;
  const auto put = [&p, &x](const char* from, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) {
      x ^= static_cast<std::uint8_t>(from[k]);
      p[k] = from[k];
    }
    p += n;
  };
  *p++ = '$';
  put(talker.data(), talker.size());
  put(type.data(), type.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    put(",", 1);
    put(fields[i].data(), fields[i].size() - (static_cast<int>(i) == fit ? cut : 0));
  }
  p[0] = '*';
  p[1] = hex_v[x / 16];
  p[2] = hex_v[x % 16];
  return true;
}

std::optional<std::string> FrameSentence(std::string_view talker, std::string_view type,
                                         std::span<const std::string> fields, int fit, std::uint64_t names) {
  std::string s;
  if (!FrameSentenceInto(s, talker, type, fields, fit, names)) return std::nullopt;
  return s;
}

std::string AngleField(long double x, int P, int D) {
  if (!std::isfinite(x)) return {};
  long double a = x >= 0.0L && x < 360.0L ? x : std::fmod(x, 360.0L);
  if (a < 0) a += 360.0L;
  if (a >= 360.0L) a = 0.0L;
  std::string s = fixedForm(a, P, D);
  // Only an angle near 360 can take its text (with P = 1, anything from 350 is "4E+2").
  if (a >= 340.0L && s == fixedForm(360.0L, P, D)) s = fixedForm(0.0L, P, D);
  return s;
}

std::string DmdField(long double dmd, int P, int D) {
  if (!std::isfinite(dmd)) return {};
  const long double v = std::fabs(dmd) * 100.0L;  // dddmm.mmm
  std::string s = fixedForm(v, P, D);
  const std::string_view whole = std::string_view(s).substr(0, s.find('.'));
  if (whole.empty() || whole.find_first_not_of("0123456789") != std::string_view::npos) return s;
  // Minutes that rounded up to 60 carry into the degrees: 60 minutes are 1 degree,
  // that is +100 - 60 in the dddmm form.
  const std::string_view mm = whole.substr(whole.size() > 2 ? whole.size() - 2 : 0);
  int minutes = 0;
  std::from_chars(mm.data(), mm.data() + mm.size(), minutes);
  if (minutes >= 60) s = fixedForm(v + 40.0L, P, D);
  return s;
}

PosField LatField(long double lat) {
  if (!std::isfinite(lat)) return {};
  return {DmdField(dec_dmd(lat), 9, 4), std::string(1, LatLetter(lat))};
}

PosField LonField(long double lon, int P, int D) {
  if (!std::isfinite(lon)) return {};
  const long double g = LongGeo(lon);
  return {DmdField(dec_dmd(g), P, D), std::string(1, LonLetter(lon))};
}

char LatLetter(long double lat) {
  if (!std::isfinite(lat)) return ' ';
  return lat > 0 ? 'N' : 'S';
}

char LonLetter(long double lon) {
  if (!std::isfinite(lon)) return ' ';
  return LongGeo(lon) < 0 ? 'W' : 'E';
}

namespace {

// n with at least two digits, as printf's "%02d" writes it.
void AppendTwoDigits(std::string& s, long long n) {
  if (n >= 0 && n < 10) s += '0';
  char buf[24];
  s.append(buf, std::to_chars(buf, buf + sizeof buf, n).ptr);
}

}  // namespace

std::string TimeText(int hours, int minutes, int seconds) {
  std::string s;
  AppendTwoDigits(s, hours);
  AppendTwoDigits(s, minutes);
  AppendTwoDigits(s, seconds);
  return s + ".00";
}

std::string DateText(int day, int month, int year) {
  std::string s;
  AppendTwoDigits(s, day);
  AppendTwoDigits(s, month);
  AppendTwoDigits(s, ((year % 100) + 100) % 100);
  return s;
}

std::string DurationText(long double packedHours) {
  if (!std::isfinite(packedHours) || packedHours < 0 || packedHours >= kMaxDurationHours + 1) return {};
  // Whole seconds from the packed form HHH.MMSS.
  const long long packed = std::llround(packedHours * 10000.0L);
  long long secs = packed / 10000 * 3600 + packed / 100 % 100 * 60 + packed % 100;
  // At most two digits of hours: from 100 hours on the field is left empty.
  if (secs >= kMaxDurationHours * 3600) return {};
  std::string s;
  AppendTwoDigits(s, secs / 3600);
  AppendTwoDigits(s, secs / 60 % 60);
  AppendTwoDigits(s, secs % 60);
  return s + ".00";
}

namespace {

// Latin-1 Supplement letters U+00C0 ... U+00FF without their accent; "_" for the
// two signs of the block (multiplication and division).
constexpr std::array<const char*, 64> kLatin1 = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "_", "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "_", "o", "u", "u", "u", "u", "y", "th", "y"};

// Latin Extended-A, U+0100 ... U+017F, without their accent.
constexpr std::array<const char*, 128> kLatinExtA = {
    "A", "a", "A",  "a",  "A", "a", "C", "c", "C", "c", "C", "c", "C", "c", "D", "d",
    "D", "d", "E",  "e",  "E", "e", "E", "e", "E", "e", "E", "e", "G", "g", "G", "g",
    "G", "g", "G",  "g",  "H", "h", "H", "h", "I", "i", "I", "i", "I", "i", "I", "i",
    "I", "i", "IJ", "ij", "J", "j", "K", "k", "k", "L", "l", "L", "l", "L", "l", "L",
    "l", "L", "l",  "N",  "n", "N", "n", "N", "n", "n", "N", "n", "O", "o", "O", "o",
    "O", "o", "OE", "oe", "R", "r", "R", "r", "R", "r", "S", "s", "S", "s", "S", "s",
    "S", "s", "T",  "t",  "T", "t", "T", "t", "U", "u", "U", "u", "U", "u", "U", "u",
    "U", "u", "U",  "u",  "W", "w", "Y", "y", "Y", "Z", "z", "Z", "z", "Z", "z", "s"};

bool Reserved(char c) {
  constexpr std::string_view kReserved = "$!*,\\^~";
  return kReserved.find(c) != std::string_view::npos;
}

// Decodes one UTF-8 character at s[i]; returns its length (0 when the bytes are
// not a well-formed character).
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  std::size_t len = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms and values beyond Unicode are not characters.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
  return len;
}

}  // namespace

std::string SanitizeName(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char c = utf8[i];
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) {
      out += (u < 0x20 || u == 0x7F || Reserved(c)) ? '_' : c;
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {  // a stray byte
      out += '_';
      ++i;
      continue;
    }
    i += len;
    if (cp >= 0xC0 && cp <= 0xFF) {
      out += kLatin1[cp - 0xC0];
    } else if (cp >= 0x100 && cp <= 0x17F) {
      out += kLatinExtA[cp - 0x100];
    } else if (cp >= 0x300 && cp <= 0x36F) {
      // A combining accent written after its letter: dropped.
    } else {
      out += '_';
    }
  }
  return out;
}

std::string SentenceType(std::string_view sentence) {
  if (sentence.size() < 6 || sentence[0] != '$') return {};
  if (sentence.size() > 6 && sentence[6] != ',' && sentence[6] != '*') return {};
  return std::string(sentence.substr(3, 3));
}

}  // namespace ventrel
