// The extended sine and cosine against the C library's: within two units of the
// last place everywhere, so a wrong quadrant, a sign, a piece of pi/2 or a term of
// the series shows at once.

#include "nav/trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "nav/conversions.h"

namespace ventrel {
namespace {

// |a - b| in units of the last place of b (of the smallest normal number for b = 0).
long double Ulps(long double a, long double b) {
  const long double mag = std::max(std::fabs(b), std::numeric_limits<long double>::min());
  const long double ulp = std::nextafter(mag, std::numeric_limits<long double>::infinity()) - mag;
  return std::fabs(a - b) / ulp;
}

struct Range {
  const char* what;
  long double from, to;
  friend void PrintTo(const Range& r, std::ostream* os) { *os << r.what; }
};

class TrigRange : public ::testing::TestWithParam<Range> {};

TEST_P(TrigRange, AgreesWithTheLibrary) {
#ifdef __MINGW32__
  GTEST_SKIP() << "MinGW-w64's sinl and cosl are the x87 instructions, whose reduction by a 66-bit pi "
                  "is no reference near the zeros";
#endif
  const Range r = GetParam();
  constexpr int kSteps = 20000;
  long double worstSin = 0, worstCos = 0;
  for (int i = 0; i <= kSteps; ++i) {
    // An irregular step, so that the points do not fall on a lattice of pi/2.
    const long double x = r.from + (r.to - r.from) * (i + 0.318309886L * (i % 7) / 7) / kSteps;
    long double s, c;
    SinCosL(x, s, c);
    ASSERT_EQ(s, SinL(x)) << x;
    ASSERT_EQ(c, CosL(x)) << x;
    worstSin = std::max(worstSin, Ulps(s, std::sin(x)));
    worstCos = std::max(worstCos, Ulps(c, std::cos(x)));
  }
  EXPECT_LE(worstSin, 2.0L) << r.what;
  EXPECT_LE(worstCos, 2.0L) << r.what;
}

INSTANTIATE_TEST_SUITE_P(Arguments, TrigRange,
                         ::testing::Values(Range{"within pi/4", -kPi / 4, kPi / 4},
                                           Range{"a turn either way", -2 * kPi, 2 * kPi},
                                           Range{"bearings of two turns", 0, DEC_RAD(720.0L)},
                                           Range{"a day of the sea-state sines", 1e3L, 2e4L},
                                           Range{"below the largest reduced", 0x1p20L - 100, 0x1p20L},
                                           Range{"beyond it, the library's", 0x1p20L, 0x1p20L + 100}));

TEST(Trig, NearTheZerosTheRemainderKeepsItsDigits) {
#ifdef __MINGW32__
  GTEST_SKIP() << "MinGW-w64's sinl and cosl are the x87 instructions, whose reduction by a 66-bit pi "
                  "is no reference near the zeros";
#endif
  // k pi/2 rounded to the format: the sine or cosine is the tiny rounding residue,
  // which only a reduction with pi/2 well beyond the format's digits gets right.
  for (int k = -16; k <= 16; ++k) {
    const long double x = k * (kPi / 2);
    EXPECT_LE(Ulps(SinL(x), std::sin(x)), 2.0L) << k;
    EXPECT_LE(Ulps(CosL(x), std::cos(x)), 2.0L) << k;
  }
}

TEST(Trig, NonFiniteArgumentsGiveNaN) {
  for (const long double x : {std::numeric_limits<long double>::infinity(), -std::numeric_limits<long double>::infinity(),
                              std::numeric_limits<long double>::quiet_NaN()}) {
    long double s, c;
    SinCosL(x, s, c);
    EXPECT_TRUE(std::isnan(SinL(x)) && std::isnan(CosL(x)) && std::isnan(s) && std::isnan(c)) << x;
  }
}

}  // namespace
}  // namespace ventrel
