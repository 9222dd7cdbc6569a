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
// The decimal digits are those of |x| written with 18 significant digits (the
// precision of a long double); they are then rounded once, half away from zero.
// So 0.125 with (5, 2) gives "0.13" and 2.675L (2.67499999999999999991...) gives
// "2.68", while the double 2.675 (2.67499999999999982...) gives "2.67". P is
// taken within 1..18; D below 0 counts as 0. The scientific form keeps P
// significant digits without trailing zeros and writes the exponent without
// leading zeros: "1.23E+5", "-1E+4".
std::string fixedForm(long double x, int P, int D);

// The general form: rounded to 15 significant digits, no trailing zeros, no "."
// when no decimals remain, no exponent from 1e-4 up to 1e15 ("2.5", "0", "12");
// outside that range the form of fixedForm's scientific notation ("1E-5",
// "1.5E+15"). A value that is not finite gives "".
std::string generalForm(long double x);

// "Show x in F (p, d)": the display fields use the fixed form.
inline std::string displayForm(long double x, int p, int d) { return fixedForm(x, p, d); }

}  // namespace ventrel
