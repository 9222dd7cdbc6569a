#pragma once
// Number forms shared by the panel, the sentences and the INI files.
// The decimal separator is always "." whatever the machine's locale.

#include <string>

namespace ventrel {

// fixed(x, P, D): the decimal digits of |x| rounded half away from zero at the
// position that keeps at most P significant digits and at most D decimals,
// whichever comes first; "-" only when the rounded value is not zero; exactly D
// decimals (no "." when D is 0); scientific form ("1.23E+5" style) when the
// integer part has more than P digits. A value that is not finite gives "" (never
// "nan" or "inf").
std::string fixedForm(long double x, int P, int D);

// The general form: rounded to 15 significant digits, no trailing zeros, no "."
// when no decimals remain, no exponent from 1e-4 up to 1e15 ("2.5", "0", "12").
std::string generalForm(long double x);

// "Show x in F (p, d)": the display fields use the fixed form.
inline std::string displayForm(long double x, int p, int d) { return fixedForm(x, p, d); }

}  // namespace ventrel
