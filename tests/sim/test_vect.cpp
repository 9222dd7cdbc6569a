// The vector sum and its complex-number helpers. Expected values are worked out by
// hand from the components (x = m cos a, y = m sin a with the compass angle used
// as argument), to 1e-4 unless stated.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sim/vect.h"

namespace ventrel {
namespace {

constexpr double kPiD = std::numbers::pi;

struct MagCase {
  const char* name;
  double ree, ima;
  double modu, arg;
};

class MagTest : public ::testing::TestWithParam<MagCase> {};

TEST_P(MagTest, FillsModulusAndArgument) {
  const MagCase& c = GetParam();
  complex x;
  x.ree = c.ree;
  x.ima = c.ima;
  MAG(x);
  EXPECT_NEAR(x.modu, c.modu, 1e-12);
  EXPECT_NEAR(x.arg, c.arg, 1e-12);
  EXPECT_EQ(x.ree, c.ree);  // the rectangular pair is left alone
  EXPECT_EQ(x.ima, c.ima);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MagTest,
    ::testing::Values(
        // The origin gets the downward direction.
        MagCase{"origin", 0, 0, 0, -kPiD / 2},
        MagCase{"negative_real", -1, 0, 1, kPiD},
        MagCase{"up", 0, 2, 2, kPiD / 2},
        MagCase{"down", 0, -2, 2, -kPiD / 2},
        // 3-4-5 triangle: atan(4/3) = 0.927295218 rad.
        MagCase{"first_quadrant", 3, 4, 5, 0.9272952180016122},
        MagCase{"fourth_quadrant", 3, -4, 5, -0.9272952180016122},
        // Left half-plane: atan(y/x) + pi, so the argument runs up to 3 pi / 2.
        MagCase{"second_quadrant", -3, 4, 5, kPiD - 0.9272952180016122},
        MagCase{"third_quadrant", -3, -4, 5, kPiD + 0.9272952180016122}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(Pri, FillsRectangularPair) {
  complex x;
  x.modu = 2.0;
  x.arg = kPiD / 3.0;  // cos = 0.5, sin = 0.8660254
  PRI(x);
  EXPECT_NEAR(x.ree, 1.0, 1e-12);
  EXPECT_NEAR(x.ima, 1.7320508075688772, 1e-12);
}

TEST(SigmaMa, SumsTwoPolarNumbersAndFillsAllFields) {
  complex x;
  x.modu = 3.0;
  x.arg = 0.0;
  complex y;
  y.modu = 4.0;
  y.arg = kPiD / 2.0;
  const complex s = Sigma_ma(x, y);
  EXPECT_NEAR(s.ree, 3.0, 1e-12);
  EXPECT_NEAR(s.ima, 4.0, 1e-12);
  EXPECT_NEAR(s.modu, 5.0, 1e-12);
  EXPECT_NEAR(s.arg, 0.9272952180016122, 1e-12);
}

struct SumCase {
  const char* name;
  long double m1, a1, m2, a2;
  long double mdl, argt;
};

class SigmaVectTest : public ::testing::TestWithParam<SumCase> {};

TEST_P(SigmaVectTest, AddsVectorsInCompassForm) {
  const SumCase& c = GetParam();
  const t_vect s = Sigma_vect({c.m1, c.a1}, {c.m2, c.a2});
  EXPECT_NEAR(static_cast<double>(s.mdl), static_cast<double>(c.mdl), 1e-4);
  EXPECT_NEAR(static_cast<double>(s.argt), static_cast<double>(c.argt), 1e-4);
  EXPECT_GE(s.argt, 0.0L);
  EXPECT_LT(s.argt, 360.0L);
  EXPECT_FALSE(std::signbit(s.argt));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SigmaVectTest,
    ::testing::Values(
        // sqrt(50) = 7.0710678 at 45.
        SumCase{"right_angle", 5, 0, 5, 90, 7.0710678L, 45},
        // Two zero vectors: modulus 0, the origin's direction -90 + 360.
        SumCase{"zeros", 0, 0, 0, 0, 0, 270},
        // (0 + -4, 3 + 0): atan(3 / -4) + 180 = 143.1301.
        SumCase{"three_four_five", 3, 90, 4, 180, 5, 143.1301024L},
        // A negative argument (-10) is brought into [0, 360).
        SumCase{"negative_argument", 5, 350, 0, 0, 5, 350},
        // (-10 + 2) straight down: 8 at 270.
        SumCase{"opposite_on_one_axis", 10, 270, 2, 90, 8, 270},
        // A 10-knot wind from north and a 2-knot current towards east:
        // sqrt(104) = 10.1980390 at atan(2/10) = 11.3099325.
        SumCase{"wind_and_current", 10, 0, 2, 90, 10.1980390L, 11.3099325L},
        // The same pair in the other order.
        SumCase{"commuted", 2, 90, 10, 0, 10.1980390L, 11.3099325L},
        // Equal vectors at 200: 12 at 200 (the sum lies in the left half-plane).
        SumCase{"left_half_plane", 6, 200, 6, 200, 12, 200}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

// Regression: a sum whose argument is a hair below zero once shifted by 360 came
// out as exactly 360, outside [0, 360).
TEST(SigmaVect, HairBelowNorthStaysBelow360) {
  // Imaginary part -1e-18, real part 5: the argument is -2e-19 rad, -1.1e-17
  // degrees, which rounds to 360 when 360 is added.
  const t_vect s = Sigma_vect({5.0L, 0.0L}, {1e-18L, 270.0L});
  EXPECT_LT(s.argt, 360.0L);
  EXPECT_GE(s.argt, 0.0L);
  EXPECT_NEAR(static_cast<double>(s.mdl), 5.0, 1e-12);
}

}  // namespace
}  // namespace ventrel
