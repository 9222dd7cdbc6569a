// Packed sexagesimal forms, degree/radian conversion, the guarded trigonometry
// and the divisibility test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "nav/conversions.h"

namespace ventrel {
namespace {

TEST(Signe, ZeroAndNegativeZeroArePositive) {
  for (const long double x : {0.0L, -0.0L, 3.0L}) EXPECT_EQ(signe(x), 1) << x;
  for (const long double x : {-1e-300L, -5.0L}) EXPECT_EQ(signe(x), -1) << x;
}

struct PackCase {
  long double (*fn)(long double);
  long double in, out;
  const char* what;
};
const PackCase kPacked[] = {
    {dms_dec, 45.3015L, 45.0L + 30.0L / 60 + 15.0L / 3600, "45°30'15\""}, {dms_dec, -0.3L, -0.5L, "minutes only"},
    {dms_dec, 10.59599L, 10.0L + 59.0L / 60 + 59.9L / 3600, "a fraction of a second kept"},
    {dms_dec, 45.29999999999999L, 45.5L, "a hair below 30 minutes is 30 minutes"},
    {dms_dec, 3.2540L, 3.0L + 25.0L / 60 + 40.0L / 3600, "hours"}, {dms_dec, 0.0L, 0.0L, "zero"},
    {dec_dms, 45.0L + 30.0L / 60 + 15.0L / 3600, 45.3015L, "45°30'15\""}, {dec_dms, -1.5L, -1.3L, "negative"},
    {dec_dms, 10.9999999L, 11.0L, "59.9996 s carry into minutes and degrees"},
    {dec_dms, 359.99999L, 0.0L, "a carry past 360 wraps to 0"}, {dec_dms, 0.0L, 0.0L, "zero"},
    {dec_dms, 2.0L + 1.4L / 3600, 2.0001L, "1.4 s rounds down"}, {dec_dms, 2.0L + 1.6L / 3600, 2.0002L, "1.6 s up"},
    {dec_dmd, 51.103L, 51.0618L, "51°06.18'"}, {dec_dmd, -1.33L, -1.198L, "negative"},
    {dec_dmd, 44.99999999999999L, 45.0L, "just below a whole degree"},
    {dmd_dec, 51.0618L, 51.103L, "51°06.18'"}, {dmd_dec, -1.198L, -1.33L, "negative"}, {dmd_dec, 0.3L, 0.5L, "30'"}};

TEST(PackedForms, TableAndWholeSecondsRoundTrip) {
  for (const PackCase& c : kPacked) EXPECT_NEAR(c.fn(c.in), c.out, 1e-12L) << c.in << ": " << c.what;
  for (int s = 0; s < 86400; s += 37) EXPECT_NEAR(dms_dec(dec_dms(s / 3600.0L)), s / 3600.0L, 1e-12L) << s;
}

TEST(DegRad, Conversions) {
  EXPECT_NEAR(DEC_RAD(180.0L), 3.14159265358979323846L, 1e-18L);
  EXPECT_NEAR(RAD_DEC(kPi / 4), 45.0L, 1e-15L);
  EXPECT_NEAR(RAD_DEC(DEC_RAD(123.456L)), 123.456L, 1e-15L);
}

TEST(ArcCos, ValuesAndBounds) {
  const struct {
    long double x, expected, tol;
  } cases[] = {{1.0L, 0.0L, 0.0L}, {-1.0L, kPi, 1e-18L}, {0.0L, kPi / 2, 1e-18L}, {0.5L, kPi / 3, 1e-17L},
               {-0.5L, 2 * kPi / 3, 1e-17L},
               // Regression: a cosine a rounding step outside [-1, 1] took the root of a negative number.
               {std::nextafter(1.0L, 2.0L), 0.0L, 0.0L}, {std::nextafter(-1.0L, -2.0L), kPi, 1e-18L},
               {1.0L + 1e-15L, 0.0L, 0.0L}};
  for (const auto& c : cases) EXPECT_NEAR(ArcCos(c.x), c.expected, c.tol) << c.x;
}

TEST(Tan, FiniteAtItsPoles) {
  const long double t = Tan(kPi / 2);
  EXPECT_GT(std::fabs(t), 1e6L);
  EXPECT_LE(std::fabs(t), 1.0000001e7L);
  EXPECT_NEAR(Tan(kPi / 4), 1.0L, 1e-18L);
  EXPECT_NEAR(Tan(-kPi / 3), -std::sqrt(3.0L), 1e-17L);
  EXPECT_LT(Tan(kPi / 2 + 1e-9L), -1e6L);  // the capped value keeps the sign of sin/cos
}

TEST(Atan, Quadrants) {
  const struct {
    long double a, b, expected;
  } cases[] = {{1, 0, 0},       {-1, 0, kPi},        {1, 1, -kPi / 4}, {1, -1, kPi / 4}, {-1, -1, 3 * kPi / 4},
               {-1, 1, 5 * kPi / 4}, {2, 1e-121L, 0}, {-2, -1e-121L, kPi}, {0, -1, kPi / 2}, {0, 1, -kPi / 2}};
  for (const auto& c : cases) EXPECT_NEAR(ATAN(c.a, c.b), c.expected, 1e-17L) << c.a << ", " << c.b;
}

TEST(IsMultiple, Table) {
  const struct {
    std::int32_t a, b;
    bool multiple;
  } cases[] = {{7, 1, true}, {-4, 2, true}, {5, 2, false}, {0, 5, true}, {-7, 3, false},
               {std::numeric_limits<std::int32_t>::min(), -1, true}, {3, 0, false}};
  for (const auto& c : cases) EXPECT_EQ(isMultiple(c.a, c.b), c.multiple) << c.a << " " << c.b;
}

}  // namespace
}  // namespace ventrel
