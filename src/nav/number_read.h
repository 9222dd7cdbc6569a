#pragma once
// The reader of every number typed by the user or read from a file.
// It accepts "." or "," as decimal point, whatever the separator in force.

#include <charconv>
#include <functional>
#include <string>
#include <string_view>

namespace ventrel {

// The decimal separator that number reading and formatting assume. The system
// forces "." before it builds sentences and reads or writes files, and never
// sets it back (ResetDefDecSep).
struct DecimalSeparator {
  char sep = '.';
};
void ResetDefDecSep(DecimalSeparator& ds);

// std::from_chars for a long double (chars_format::general: digits, point,
// exponent, no sign handling beyond from_chars' own), with every digit of the
// extended real on every system. MinGW-w64's library reads a long double through a
// double (53 bits, and nothing below 1e-308); there the value is read again with
// the C library's own reader of long doubles, in the "C" form of the text.
std::from_chars_result ReadLongDouble(const char* first, const char* last, long double& value);

// Result of reading a number. `ok` is false when the text is not a number with
// either separator: `value` then holds -65535 and the caller keeps its previous value.
struct NumberRead {
  bool ok = true;
  long double value = 0.0L;
};

// The message shown once when a text cannot be read as a number.
inline constexpr const char* kMsgSeparateur =
    "Corriger en utilisant le séparateur ( . ou ,) défini dans vos paramètres régionaux";

// Magnitudes below this read as 0, those too small for a long double included:
// written back with 15 significant digits, a value just above the smallest normal
// long double would give a text below it, which could not be read again.
inline constexpr long double kTinyMagnitude = 1e-4900L;

// Reads `text`, at most 255 characters (a longer text is not a number): empty -> 0; otherwise a
// decimal real with `ds.sep`, then, if that fails, with the other separator. Never
// loops. On failure `report` (when given) receives kMsgSeparateur once. A value
// whose magnitude is below kTinyMagnitude reads as 0; one too large for a long
// double is not a number.
NumberRead Val_Str_Flott(std::string_view text, const DecimalSeparator& ds = {},
                         const std::function<void(const std::string&)>& report = {});

// Convenience: the value read, or `previous` when the text is not a number.
long double ValOr(std::string_view text, long double previous,
                  const std::function<void(const std::string&)>& report = {});

}  // namespace ventrel
