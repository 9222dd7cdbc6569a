#include "nav/number_read.h"

#include <charconv>
#include <cmath>
#include <string>

namespace ventrel {

void ResetDefDecSep(DecimalSeparator& ds) { ds.sep = '.'; }

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
  const auto [ptr, ec] = std::from_chars(p, end, v, std::chars_format::general);
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
