// The 18 significant digits behind the fixed form, against the standard library's
// exact conversion: fixedForm(x, 18, D) with D = 17 - floor(log10 x) keeps every
// digit, so it must equal std::to_chars(x, fixed, D), which rounds the exact binary
// value to nearest, half to even. Covers the quick path of the digit conversion
// (1e-6 <= x < 1e18) and its edges.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "nav/number_forms.h"

namespace ventrel {
namespace {

int Decimals18(long double x) {
  // The exponent of the leading digit, from the library's own scientific form.
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 17);
  const std::string s(buf, r.ptr);
  return 17 - std::stoi(s.substr(s.find('e') + 1));
}

std::string Reference(long double x, int decimals) {
  char buf[128];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

void ExpectSameDigits(long double x) {
  const int d = Decimals18(x);
  if (d < 0) return;  // 18 digits before the point: the scientific form
  ASSERT_EQ(fixedForm(x, 18, d), Reference(x, d)) << static_cast<double>(x);
  ASSERT_EQ(fixedForm(-x, 18, d), std::string("-").append(Reference(x, d))) << static_cast<double>(x);
}

TEST(FixedFormDigits, RandomValuesOverTheWholeQuickRange) {
  std::mt19937_64 gen(20261206);
  std::uniform_real_distribution<long double> exponent(-7.0L, 18.5L);
  std::uniform_int_distribution<unsigned long long> bits;
  for (int i = 0; i < 200000; ++i) {
    // A decade at random, then every bit of the significand at random.
    const long double scale = std::pow(10.0L, std::floor(exponent(gen)));
    const long double x = scale * (1.0L + std::ldexp(static_cast<long double>(bits(gen) >> 1), -63) * 9.0L);
    ExpectSameDigits(x);
  }
}

TEST(FixedFormDigits, PowersOfTenAndTheirNeighbours) {
  for (int k = -8; k <= 19; ++k) {
    const long double p = std::pow(10.0L, k);
    for (long double x : {p, std::nextafter(p, 0.0L), std::nextafter(p, 1e30L)}) ExpectSameDigits(x);
  }
}

TEST(FixedFormDigits, ExactHalvesOnTheNineteenthDigitGoToEven) {
  struct Row {
    long double x;
    const char* text;  // 18 significant digits
  };
  const Row rows[] = {
      {123456789012345678.5L, "123456789012345678"},    // even: kept
      {123456789012345677.5L, "123456789012345678"},    // odd: up to even
      {12345678901234567.25L, "12345678901234567.2"},   // tie on the 19th digit, 2 is even
      {12345678901234567.75L, "12345678901234567.8"},   // 7 odd: up
      {99999999999999999.5L, "99999999999999999.5"},    // exact: 18 digits
  };
  for (const auto& r : rows) {
    const int d = Decimals18(r.x);
    EXPECT_EQ(Reference(r.x, std::max(d, 0)), r.text) << "the reference itself";
    EXPECT_EQ(fixedForm(r.x, 18, std::max(d, 0)), r.text);
  }
}

// fixed(x, 18, D) for 1 <= |x| < 10^12, from the library's 18 digits rounded by
// hand, half away from zero, at D decimals.
std::string ReferenceFixed(long double x, int D) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 17);
  const std::string sci(buf, r.ptr);
  std::string digits = sci.substr(0, 1) + sci.substr(2, 17);
  int intDigits = std::stoi(sci.substr(sci.find('e') + 1)) + 1;
  const auto kept = static_cast<std::size_t>(intDigits + D);
  const bool up = digits[kept] >= '5';
  digits.resize(kept);
  for (std::size_t i = kept; up && i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
      if (i == 0) {
        digits.insert(digits.begin(), '1');
        ++intDigits;
      }
    } else {
      ++digits[i];
      break;
    }
  }
  std::string out = x < 0 ? "-" : "";
  out.append(digits, 0, static_cast<std::size_t>(intDigits));
  if (D > 0) out.append(".").append(digits, static_cast<std::size_t>(intDigits));
  return out;
}

TEST(FixedFormDigits, CommonFormsRoundTheEighteenDigitsHalfAwayFromZero) {
  // Decimals one to three places longer than the form, and their neighbours: ties
  // and near ties at the last decimal kept, where rounding the 18 digits first
  // matters (2.675L is 2.67499999999999999991, its 18 digits 2.67500000000000000).
  std::mt19937_64 gen(20261207);
  for (int i = 0; i < 300000; ++i) {
    const int D = static_cast<int>(gen() % 6);
    const int extra = 1 + static_cast<int>(gen() % 3);
    long double x = 1 + static_cast<long double>(gen() % 100000000000ULL) / std::pow(10.0L, D + extra);
    if (gen() % 3 == 0) x = std::nextafter(x, (gen() & 1) ? 0.0L : 1e30L);
    if (gen() & 1) x = -x;
    ASSERT_EQ(fixedForm(x, 18, D), ReferenceFixed(x, D)) << static_cast<double>(x) << " D=" << D;
  }
  // Just below powers of ten: the 18 digits may carry into a new integer digit.
  for (int k = 1; k <= 11; ++k) {
    const long double p = std::pow(10.0L, k);
    for (long double x : {std::nextafter(p, 0.0L), p - p * 1e-17L, p - p * 1e-16L, p - 0.005L}) {
      for (int D = 0; D <= 5; ++D) EXPECT_EQ(fixedForm(x, 18, D), ReferenceFixed(x, D)) << k << " D=" << D;
    }
  }
}

}  // namespace
}  // namespace ventrel
