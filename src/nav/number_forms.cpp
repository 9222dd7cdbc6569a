#include "nav/number_forms.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace ventrel {

namespace {

// Significant digits taken from a long double before any rounding of a form.
constexpr int kDigits = 18;

// |x| written as kDigits decimal digits d0 d1 ... and a decimal exponent E, the value
// being d0.d1d2... x 10^E. x must be finite and not zero. std::to_chars never reads
// the locale.
struct Decimal {
  std::string digits;
  int exp = 0;
};

// 10^0 ... 10^18.
constexpr std::array<unsigned long long, 19> kPow10 = [] {
  std::array<unsigned long long, 19> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 Uint128;

// The 18 digits of the common values without the general conversion, whose
// arithmetic on long digits is slow: the same digits, rounded the same way (to
// nearest, half to even), as the integer v (10^17 <= v < 10^18) with the decimal
// exponent e10 of its first digit (ax is about v x 10^(e10 - 17)). With ax = M x
// 2^E (M the 64-bit significand) and q = 17 - e10, ax x 10^q = M x 5^q x 2^(q + E);
// for q in [0, 23], M x 5^q holds in 128 bits, the integer part of the product has
// the 18 digits and the bits shifted out decide the rounding. False outside
// 1e-6 <= ax < 1e18.
constexpr std::array<unsigned long long, 24> kPow5 = [] {
  std::array<unsigned long long, 24> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 5;
  return p;
}();

// ax = M x 2^E, M the 64 bits of the significand with its leading bit set (ax
// finite and above 0).
#if LDBL_MANT_DIG == 64 && (defined(__x86_64__) || defined(__i386__))
// The x87 extended real holds them as they are: the significand in its first 8
// bytes, the exponent biased by 16383 in the next 15 bits.
void splitBinary(long double ax, unsigned long long& M, int& E) {
  unsigned char bytes[10];
  std::memcpy(bytes, &ax, sizeof bytes);
  std::memcpy(&M, bytes, sizeof M);
  E = ((bytes[9] & 0x7F) << 8 | bytes[8]) - 16383 - 63;
}
#else
void splitBinary(long double ax, unsigned long long& M, int& E) {
  int e2 = 0;
  const long double frac = std::frexp(ax, &e2);  // ax = frac x 2^e2, frac in [0.5, 1)
  M = static_cast<unsigned long long>(frac * 18446744073709551616.0L);  // x 2^64
  E = e2 - 64;
}
#endif

bool digits18(long double ax, unsigned long long& v, int& e10) {
  if (!(ax >= 1e-6L && ax < 1e18L)) return false;
  unsigned long long M = 0;
  int E = 0;
  splitBinary(ax, M, E);
  constexpr unsigned long long kLow = kPow10[17];
  // From 2^(E + 63) <= ax < 2^(E + 64): floor((E + 63) log10 2) is e10 or one below
  // it (78913 / 2^18 is log10 2 to 6 digits); the range check corrects it.
  e10 = ((E + 63) * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int q = 17 - e10;
    if (q < 0 || q > 23) return false;
    const Uint128 N = static_cast<Uint128>(M) * kPow5[q];
    // In the range above, 4 <= shift <= 83.
    const int shift = -(q + E);
    if (shift < 1 || shift > 126) return false;
    const Uint128 ip = N >> shift;
    if (ip < kLow) {
      --e10;
      continue;
    }
    if (ip >= kLow * 10) {
      ++e10;
      continue;
    }
    const Uint128 rem = N - (ip << shift);
    const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
    const bool up = rem > half || (rem == half && (ip & 1) != 0);
    v = static_cast<unsigned long long>(ip) + (up ? 1 : 0);
    if (v == kLow * 10) {  // 999...9.5 rounds up to the next power of ten
      v = kLow;
      ++e10;
    }
    return true;
  }
  return false;
}
#else
bool digits18(long double, unsigned long long&, int&) { return false; }
#endif

bool toDecimalFast(long double ax, Decimal& d) {
  unsigned long long v = 0;
  if (!digits18(ax, v, d.exp)) return false;
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  d.digits.assign(buf, res.ptr);
  return true;
}

Decimal toDecimal(long double ax) {
  if (Decimal fast; toDecimalFast(ax, fast)) return fast;
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, ax, std::chars_format::scientific, kDigits - 1);
  const std::string s(buf, res.ptr);
  Decimal d;
  const std::size_t epos = s.find('e');
  for (std::size_t i = 0; i < epos; ++i) {
    if (s[i] >= '0' && s[i] <= '9') d.digits += s[i];
  }
  d.exp = std::stoi(s.substr(epos + 1));
  return d;
}

// Keeps the first n digits, rounding half away from zero on the digit that follows;
// a carry out of the first digit raises the exponent. n < 0 or a result that rounds
// to nothing gives empty digits (a zero).
void roundTo(Decimal& d, int n) {
  if (n >= static_cast<int>(d.digits.size())) return;
  if (n < 0) {
    d.digits.clear();
    return;
  }
  const bool up = d.digits[static_cast<std::size_t>(n)] >= '5';
  d.digits.resize(static_cast<std::size_t>(n));
  if (!up) return;
  int i = n - 1;
  while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
    d.digits[static_cast<std::size_t>(i)] = '0';
    --i;
  }
  if (i >= 0) {
    ++d.digits[static_cast<std::size_t>(i)];
  } else {
    // All nines: 99.96 rounded to 3 digits is 100, one more integer digit.
    d.digits.assign(static_cast<std::size_t>(std::max(n, 1)), '0');
    d.digits[0] = '1';
    ++d.exp;
  }
}

bool allZero(const std::string& digits) {
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

// Digit i of the rounded value counted from the first one; zero past the end.
char digitAt(const Decimal& d, int i) {
  return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
}

// "1.23E+5": the digits without trailing zeros, one before the point.
std::string scientific(bool negative, const Decimal& d) {
  std::string m = d.digits;
  while (m.size() > 1 && m.back() == '0') m.pop_back();
  std::string out = negative ? "-" : "";
  out += m[0];
  if (m.size() > 1) {
    out += '.';
    out.append(m, 1, std::string::npos);
  }
  out += d.exp < 0 ? "E-" : "E+";
  out += std::to_string(std::abs(d.exp));
  return out;
}

// Integer digits then `decimals` digits after the point (none and no point when 0).
std::string positional(bool negative, const Decimal& d, int decimals) {
  std::string out = negative ? "-" : "";
  const int intDigits = d.exp + 1;  // digits before the point; <= 0 below 1
  if (intDigits <= 0) {
    out += '0';
  } else {
    for (int i = 0; i < intDigits; ++i) out += digitAt(d, i);
  }
  if (decimals > 0) {
    out += '.';
    for (int j = 0; j < decimals; ++j) out += digitAt(d, intDigits + j);
  }
  return out;
}

#ifdef __SIZEOF_INT128__
// The fixed form of the values whose integer part leaves room for all D
// decimals (its digits dI, dI + D <= P), without the 18 digits and without
// divisions: the value rounded at the decimals is u = ax x 10^D rounded half away
// from zero, taken exactly from M x 5^D x 2^(E + D). Rounding the 18 digits
// first gives the same u unless ax x 10^D lies within half a unit of the 18th
// digit from a half (2.675L: the 18 digits make it one), or ax lies that close
// below a power of ten (its 18 digits would gain a digit before the point).
// Those values, and those out of range, take the quick path below: returns 0.
std::size_t fixedFormDirect(long double x, int P, int D, char* buf) {
  const long double ax = std::fabs(x);
  if (D > 8 || !(ax >= 1e-6L && ax < 1e18L)) return 0;
  unsigned long long M = 0;
  int E = 0;
  splitBinary(ax, M, E);
  const int fractionBits = -E;  // ax < 2^63: at least 1
  const unsigned long long wholeAx = fractionBits >= 64 ? 0 : M >> fractionBits;
  int dI = 0;
  while (dI < kDigits && wholeAx >= kPow10[static_cast<std::size_t>(dI)]) ++dI;
  const long double nextPow = static_cast<long double>(kPow10[static_cast<std::size_t>(dI)]);
  if (dI + D > P || (wholeAx + 1 == kPow10[static_cast<std::size_t>(dI)] && ax > nextPow * (1 - 0x1p-50L))) {
    return 0;
  }
  // At least one digit beyond the kept ones among the 18 (drop >= 1), whose
  // half unit, 10^-drop / 2, is at most 2^-(k + 1) with k = floor(drop log2 10).
  const int drop = kDigits - (dI + D);
  const int s = fractionBits - D;  // fraction bits of ax x 10^D
  if (drop < 1 || s < 1 || s > 120) return 0;
  const Uint128 N = static_cast<Uint128>(M) * kPow5[static_cast<std::size_t>(D)];
  const auto wholeY = static_cast<unsigned long long>(N >> s);
  const Uint128 fraction = N - (static_cast<Uint128>(wholeY) << s);
  const Uint128 half = static_cast<Uint128>(1) << (s - 1);
  const Uint128 window = half >> std::min(drop * 33219 / 10000, s - 1);
  if ((fraction > half ? fraction - half : half - fraction) <= window) return 0;
  const unsigned long long u = wholeY + (fraction > half ? 1 : 0);
  // The integer part is that of ax, or one more when the decimals carry.
  unsigned long long whole = wholeAx;
  unsigned long long decimals = u - wholeAx * kPow10[static_cast<std::size_t>(D)];
  if (decimals >= kPow10[static_cast<std::size_t>(D)]) {
    ++whole;
    decimals -= kPow10[static_cast<std::size_t>(D)];
  }
  if (whole >= kPow10[static_cast<std::size_t>(P)]) return 0;
  char* p = buf;
  if (x < 0.0L && u != 0) *p++ = '-';
  p = std::to_chars(p, buf + 64, whole).ptr;
  if (D > 0) {
    *p++ = '.';
    for (int i = D - 1; i >= 0; --i) {
      p[i] = static_cast<char>('0' + decimals % 10);
      decimals /= 10;
    }
    p += D;
  }
  return static_cast<std::size_t>(p - buf);
}
#else
std::size_t fixedFormDirect(long double, int, int, char*) { return 0; }
#endif

// The fixed form of zero and of the common values, P and D taken in their
// ranges: the 18 digits as one integer rounded at the decimals kept by an integer
// division, without digit strings. The same text as the general way below, written
// into buf (64 characters); returns its length, or 0 (take that way) outside the
// range of digits18, for the scientific form, and for more than 18 decimals.
std::size_t fixedFormQuick(long double x, int P, int D, char* buf) {
  unsigned long long v = 0;  // zero: no digits
  int e10 = 0;
  if (D > kDigits || (x != 0.0L && !digits18(std::fabs(x), v, e10))) return 0;
  const int intDigits = e10 + 1;  // <= 0 below 1
  if (intDigits > P) return 0;
  // Decimals kept, and the digits of v below the last one kept: intDigits + keep
  // <= P <= 18 digits are kept, so drop >= 0.
  const int keep = std::min(D, P - intDigits);
  const int drop = kDigits - (intDigits + keep);
  // u: the value rounded half away from zero, in units of 10^-keep.
  unsigned long long u = v;
  if (drop > kDigits) {
    u = 0;
  } else if (drop > 0) {
    const unsigned long long unit = kPow10[static_cast<std::size_t>(drop)];
    u = v / unit + (v % unit >= unit / 2 ? 1 : 0);
  }
  const unsigned long long whole = u / kPow10[static_cast<std::size_t>(keep)];
  if (whole >= kPow10[static_cast<std::size_t>(P)]) return 0;  // 9999.6 with P = 4 rounds to 10000
  char* p = buf;
  if (x < 0.0L && u != 0) *p++ = '-';
  p = std::to_chars(p, buf + 64, whole).ptr;
  if (D > 0) {
    *p++ = '.';
    unsigned long long fraction = u % kPow10[static_cast<std::size_t>(keep)];
    for (int i = keep - 1; i >= 0; --i) {
      p[i] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    std::fill(p + keep, p + D, '0');
    p += D;
  }
  return static_cast<std::size_t>(p - buf);
}

}  // namespace

std::string fixedForm(long double x, int P, int D) {
  if (!std::isfinite(x)) return "";
  P = std::clamp(P, 1, kDigits);
  D = std::max(D, 0);
  char quick[64];
  if (const std::size_t n = fixedFormDirect(x, P, D, quick)) return std::string(quick, n);
  if (const std::size_t n = fixedFormQuick(x, P, D, quick)) return std::string(quick, n);
  const bool negative = x < 0.0L;
  if (x == 0.0L) return positional(false, Decimal{"", 0}, D);
  Decimal d = toDecimal(std::fabs(x));
  if (d.exp + 1 > P) {
    roundTo(d, P);
    return scientific(negative, d);
  }
  // Decimals kept: at most D, and at most what P significant digits leave.
  const int keep = std::min(D, P - (d.exp + 1));
  roundTo(d, d.exp + 1 + keep);
  if (d.digits.empty() || allZero(d.digits)) return positional(false, Decimal{"", 0}, D);
  if (d.exp + 1 > P) {  // 9999.6 with P = 4 rounds to 10000
    roundTo(d, P);
    return scientific(negative, d);
  }
  return positional(negative, d, D);
}

std::string generalForm(long double x) {
  if (!std::isfinite(x)) return "";
  if (x == 0.0L) return "0";
  const bool negative = x < 0.0L;
  Decimal d = toDecimal(std::fabs(x));
  roundTo(d, 15);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  if (d.exp < -4 || d.exp >= 15) return scientific(negative, d);
  const int decimals = std::max(0, static_cast<int>(d.digits.size()) - (d.exp + 1));
  return positional(negative, d, decimals);
}

}  // namespace ventrel
