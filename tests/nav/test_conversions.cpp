// Packed sexagesimal forms, degree/radian conversion, the guarded trigonometry
// and the divisibility test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "nav/conversions.h"

namespace ventrel {
namespace {

constexpr long double kTol = 1e-12L;

TEST(Signe, ZeroAndNegativeZeroArePositive) {
  EXPECT_EQ(signe(0.0L), 1);
  EXPECT_EQ(signe(-0.0L), 1);
  EXPECT_EQ(signe(-1e-300L), -1);
  EXPECT_EQ(signe(-5.0L), -1);
  EXPECT_EQ(signe(3.0L), 1);
}

struct Case {
  long double in;
  long double out;
  const char* what;
};

class DmsDec : public ::testing::TestWithParam<Case> {};
TEST_P(DmsDec, Converts) {
  EXPECT_NEAR(dms_dec(GetParam().in), GetParam().out, kTol) << GetParam().what;
}
INSTANTIATE_TEST_SUITE_P(
    Table, DmsDec,
    ::testing::Values(Case{45.3015L, 45.0L + 30.0L / 60 + 15.0L / 3600, "45°30'15\""},
                      Case{-0.3L, -0.5L, "negative, minutes only"},
                      Case{10.59599L, 10.0L + 59.0L / 60 + 59.9L / 3600, "fraction of a second kept"},
                      Case{45.29999999999999L, 45.5L, "a hair below 30 minutes is 30 minutes"},
                      Case{3.2540L, 3.0L + 25.0L / 60 + 40.0L / 3600, "hours"},
                      Case{0.0L, 0.0L, "zero"}));

class DecDms : public ::testing::TestWithParam<Case> {};
TEST_P(DecDms, Converts) {
  EXPECT_NEAR(dec_dms(GetParam().in), GetParam().out, kTol) << GetParam().what;
}
INSTANTIATE_TEST_SUITE_P(
    Table, DecDms,
    ::testing::Values(Case{45.0L + 30.0L / 60 + 15.0L / 3600, 45.3015L, "45°30'15\""},
                      Case{10.9999999L, 11.0L, "59.9996 s carry into minutes and degrees"},
                      Case{359.99999L, 0.0L, "a carry past 360 wraps to 0"},
                      Case{-1.5L, -1.3L, "negative"},
                      Case{2.0L + 1.4L / 3600, 2.0001L, "1.4 s rounds down"},
                      Case{2.0L + 1.6L / 3600, 2.0002L, "1.6 s rounds up"},
                      Case{0.0L, 0.0L, "zero"}));

TEST(DecDms, RoundTripsWholeSeconds) {
  for (int s = 0; s < 86400; s += 37) {
    const long double h = s / 3600.0L;
    const long double packed = dec_dms(h);
    EXPECT_NEAR(dms_dec(packed), h, 1e-12L) << s;
  }
}

class Dmd : public ::testing::TestWithParam<Case> {};
TEST_P(Dmd, DecToDmd) { EXPECT_NEAR(dec_dmd(GetParam().in), GetParam().out, kTol) << GetParam().what; }
INSTANTIATE_TEST_SUITE_P(Table, Dmd,
                         ::testing::Values(Case{51.103L, 51.0618L, "51°06.18'"},
                                           Case{-1.33L, -1.198L, "negative"},
                                           Case{44.99999999999999L, 45.0L, "just below a whole degree"}));

class DmdBack : public ::testing::TestWithParam<Case> {};
TEST_P(DmdBack, DmdToDec) { EXPECT_NEAR(dmd_dec(GetParam().in), GetParam().out, kTol) << GetParam().what; }
INSTANTIATE_TEST_SUITE_P(Table, DmdBack,
                         ::testing::Values(Case{51.0618L, 51.103L, "51°06.18'"},
                                           Case{-1.198L, -1.33L, "negative"}, Case{0.3L, 0.5L, "30'"}));

TEST(DegRad, Conversions) {
  EXPECT_NEAR(DEC_RAD(180.0L), 3.14159265358979323846L, 1e-18L);
  EXPECT_NEAR(RAD_DEC(kPi / 4), 45.0L, 1e-15L);
  EXPECT_NEAR(RAD_DEC(DEC_RAD(123.456L)), 123.456L, 1e-15L);
}

TEST(ArcCos, ValuesAndBounds) {
  EXPECT_EQ(ArcCos(1.0L), 0.0L);
  EXPECT_NEAR(ArcCos(-1.0L), kPi, 1e-18L);
  EXPECT_NEAR(ArcCos(0.0L), kPi / 2, 1e-18L);
  EXPECT_NEAR(ArcCos(0.5L), kPi / 3, 1e-17L);
  EXPECT_NEAR(ArcCos(-0.5L), 2 * kPi / 3, 1e-17L);
}

// Regression: a cosine a rounding step above 1 took the root of a negative number.
TEST(ArcCos, RoundingStepOutsideIsClamped) {
  const long double up = std::nextafter(1.0L, 2.0L);
  const long double down = std::nextafter(-1.0L, -2.0L);
  EXPECT_EQ(ArcCos(up), 0.0L);
  EXPECT_NEAR(ArcCos(down), kPi, 1e-18L);
  EXPECT_FALSE(std::isnan(ArcCos(1.0L + 1e-15L)));
}

TEST(Tan, FiniteAtItsPoles) {
  const long double t = Tan(kPi / 2);
  EXPECT_TRUE(std::isfinite(t));
  EXPECT_GT(std::fabs(t), 1e6L);
  EXPECT_LE(std::fabs(t), 1.0000001e7L);
  EXPECT_NEAR(Tan(kPi / 4), 1.0L, 1e-18L);
  EXPECT_NEAR(Tan(-kPi / 3), -std::sqrt(3.0L), 1e-17L);
  // Just past pi/2 the cosine is negative: the capped value keeps the sign of sin/cos.
  EXPECT_LT(Tan(kPi / 2 + 1e-9L), -1e6L);
}

struct AtanCase {
  long double a, b, expected;
};
class Atan : public ::testing::TestWithParam<AtanCase> {};
TEST_P(Atan, Quadrants) {
  EXPECT_NEAR(ATAN(GetParam().a, GetParam().b), GetParam().expected, 1e-17L)
      << GetParam().a << ", " << GetParam().b;
}
INSTANTIATE_TEST_SUITE_P(Table, Atan,
                         ::testing::Values(AtanCase{1, 0, 0}, AtanCase{-1, 0, kPi},
                                           AtanCase{1, 1, -kPi / 4}, AtanCase{1, -1, kPi / 4},
                                           AtanCase{-1, -1, 3 * kPi / 4}, AtanCase{-1, 1, 5 * kPi / 4},
                                           AtanCase{2, 1e-121L, 0}, AtanCase{-2, -1e-121L, kPi},
                                           AtanCase{0, -1, kPi / 2}, AtanCase{0, 1, -kPi / 2}));

TEST(IsMultiple, Table) {
  EXPECT_TRUE(isMultiple(7, 1));
  EXPECT_TRUE(isMultiple(-4, 2));
  EXPECT_FALSE(isMultiple(5, 2));
  EXPECT_TRUE(isMultiple(0, 5));
  EXPECT_FALSE(isMultiple(-7, 3));
  EXPECT_TRUE(isMultiple(std::numeric_limits<std::int32_t>::min(), -1));
  EXPECT_FALSE(isMultiple(3, 0));
}

}  // namespace
}  // namespace ventrel
