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
  ASSERT_EQ(fixedForm(-x, 18, d), "-" + Reference(x, d)) << static_cast<double>(x);
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

}  // namespace
}  // namespace ventrel
