#include "nav/number_read.h"

#include <charconv>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace ventrel {

void ResetDefDecSep(DecimalSeparator& ds) { ds.sep = '.'; }

std::from_chars_result ReadLongDouble(const char* first, const char* last, long double& value) {
  long double v = 0.0L;
  std::from_chars_result r = std::from_chars(first, last, v, std::chars_format::general);
#ifdef __MINGW32__
  if (r.ec == std::errc::invalid_argument) return r;
  // The text from_chars took, read by the C library's reader of long doubles, which
  // may want the decimal point of the locale in force. As from_chars does on Linux:
  // out of range when the value overflows or underflows (a subnormal one included).
  std::string text(first, r.ptr);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt == 1) {
      const char* point = std::localeconv()->decimal_point;
      if (point == nullptr || point[0] == '\0' || point[0] == '.' || point[1] != '\0') break;
      for (char& c : text) c = c == '.' ? point[0] : c;
    }
    char* end = nullptr;
    errno = 0;
    const long double w = __mingw_strtold(text.c_str(), &end);
    if (end != text.c_str() + text.size()) continue;
    if (errno == ERANGE || std::isinf(w) || (w != 0.0L && std::fabs(w) < std::numeric_limits<long double>::min())) {
      r.ec = std::errc::result_out_of_range;
    } else {
      r.ec = std::errc();
      value = w;
    }
    return r;
  }
#endif
  if (r.ec == std::errc()) value = v;
  return r;
}

namespace {

constexpr long double kInvalid = -65535.0L;
constexpr std::size_t kMaxChars = 255;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whole text as one decimal real whose decimal point is `sep`: optional sign,
// digits with at most one `sep`, optional exponent; blanks around are allowed.
// Independent of the process locale.
bool convert(std::string text, char sep, long double& out) {
  std::size_t b = 0;
  std::size_t e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  text = text.substr(b, e - b);
  if (text.empty()) return false;
  if (sep != '.') {
    if (text.find('.') != std::string::npos) return false;  // not a decimal point here
    for (char& c : text) {
      if (c == sep) c = '.';
    }
  }
  std::size_t start = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    start = 1;
  }
  // Only digits, the point and an exponent: no "inf", "nan" nor a second sign.
  if (start >= text.size()) return false;
  const char first = text[start];
  if (!(first >= '0' && first <= '9') && first != '.') return false;
  long double v = 0.0L;
  const char* p = text.data() + start;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = ReadLongDouble(p, end, v);
  if (ptr != end) return false;
  if (ec == std::errc::result_out_of_range) {
    // Out of range either way. With at most kMaxChars characters the digits move the
    // value by less than 10^kMaxChars, far less than the range of a long double: a
    // negative exponent makes it too small (it reads as 0), a positive one too large.
    const std::size_t ex = text.find_first_of("eE", start);
    if (ex == std::string::npos || ex + 1 >= text.size() || text[ex + 1] != '-') return false;
    v = 0.0L;
  } else if (ec != std::errc() || !std::isfinite(v)) {
    return false;
  }
  if (std::fabs(v) < kTinyMagnitude) v = 0.0L;
  out = negative ? -v : v;
  return true;
}

}  // namespace

NumberRead Val_Str_Flott(std::string_view text, const DecimalSeparator& ds,
                         const std::function<void(const std::string&)>& report) {
  if (text.empty()) return {true, 0.0L};
  // A longer text is refused whole rather than read from its first characters
  // ("1" and 300 zeros is not 1E+254).
  if (text.size() > kMaxChars) {
    if (report) report(kMsgSeparateur);
    return {false, kInvalid};
  }
  std::string s(text);
  long double v = 0.0L;
  if (convert(s, ds.sep, v)) return {true, v};
  // The other separator: the first "." becomes ",", or else the first "," becomes ".".
  const std::size_t dot = s.find('.');
  if (dot != std::string::npos) {
    s[dot] = ',';
  } else if (const std::size_t comma = s.find(','); comma != std::string::npos) {
    s[comma] = '.';
  }
  // So "12,5" is read while "." is in force and "12.5" while "," is. One try only.
  if (convert(s, ds.sep, v)) return {true, v};
  if (report) report(kMsgSeparateur);
  return {false, kInvalid};
}

long double ValOr(std::string_view text, long double previous,
                  const std::function<void(const std::string&)>& report) {
  const NumberRead r = Val_Str_Flott(text, DecimalSeparator{}, report);
  return r.ok ? r.value : previous;
}

}  // namespace ventrel
