// The vector sum and its complex-number helpers. Expected values are worked out by
// hand from the components (x = m cos a, y = m sin a, the compass angle used as
// the argument).

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sim/vect.h"

namespace ventrel {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kAtan43 = 0.9272952180016122;  // atan(4/3), the 3-4-5 triangle

TEST(Mag, FillsModulusAndArgument) {
  struct Case { double ree, ima, modu, arg; };
  // The origin gets the downward direction; the left half-plane atan(y/x) + pi (up to 3 pi / 2).
  const Case cases[] = {{0, 0, 0, -kPi / 2}, {-1, 0, 1, kPi},     {0, 2, 2, kPi / 2},        {0, -2, 2, -kPi / 2},
                        {3, 4, 5, kAtan43},  {3, -4, 5, -kAtan43}, {-3, 4, 5, kPi - kAtan43}, {-3, -4, 5, kPi + kAtan43}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.ree << ", " << c.ima);
    complex x;
    x.ree = c.ree;
    x.ima = c.ima;
    MAG(x);
    EXPECT_NEAR(x.modu, c.modu, 1e-12);
    EXPECT_NEAR(x.arg, c.arg, 1e-12);
    EXPECT_EQ(x.ree, c.ree);  // the rectangular pair is left alone
    EXPECT_EQ(x.ima, c.ima);
  }
}

TEST(Pri, FillsTheRectangularPairAndSigmaMaAllFields) {
  complex x;
  x.modu = 2.0;
  x.arg = kPi / 3.0;  // cos 0.5, sin 0.8660254
  PRI(x);
  EXPECT_NEAR(x.ree, 1.0, 1e-12);
  EXPECT_NEAR(x.ima, 1.7320508075688772, 1e-12);

  complex a, b;
  a.modu = 3.0;
  a.arg = 0.0;
  b.modu = 4.0;
  b.arg = kPi / 2.0;
  const complex s = Sigma_ma(a, b);
  EXPECT_NEAR(s.ree, 3.0, 1e-12);
  EXPECT_NEAR(s.ima, 4.0, 1e-12);
  EXPECT_NEAR(s.modu, 5.0, 1e-12);
  EXPECT_NEAR(s.arg, kAtan43, 1e-12);
}

TEST(SigmaVect, AddsVectorsInCompassForm) {
  struct Case { long double m1, a1, m2, a2, mdl, argt; };
  const Case cases[] = {
      {5, 0, 5, 90, 7.0710678L, 45},                     // sqrt(50) at 45
      {0, 0, 0, 0, 0, 270},                              // the origin's direction -90 + 360
      {3, 90, 4, 180, 5, 143.1301024L},                  // (-4, 3): atan(3 / -4) + 180
      {5, 350, 0, 0, 5, 350},                            // -10 brought into [0, 360)
      {10, 270, 2, 90, 8, 270},                          // opposite on one axis
      {10, 0, 2, 90, 10.1980390L, 11.3099325L},          // sqrt(104) at atan(2/10)
      {2, 90, 10, 0, 10.1980390L, 11.3099325L},          // the same pair in the other order
      {6, 200, 6, 200, 12, 200},                         // the sum in the left half-plane
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << static_cast<double>(c.m1) << "@" << static_cast<double>(c.a1) << " + "
                                      << static_cast<double>(c.m2) << "@" << static_cast<double>(c.a2));
    const t_vect s = Sigma_vect({c.m1, c.a1}, {c.m2, c.a2});
    EXPECT_NEAR(static_cast<double>(s.mdl), static_cast<double>(c.mdl), 1e-4);
    EXPECT_NEAR(static_cast<double>(s.argt), static_cast<double>(c.argt), 1e-4);
    EXPECT_GE(s.argt, 0.0L);
    EXPECT_LT(s.argt, 360.0L);
    EXPECT_FALSE(std::signbit(s.argt));
  }
}

TEST(SigmaVect, HairBelowNorthStaysBelow360) {
  // Regression: an argument of -1.1e-17 degrees came out as exactly 360 once shifted.
  const t_vect s = Sigma_vect({5.0L, 0.0L}, {1e-18L, 270.0L});
  EXPECT_LT(s.argt, 360.0L);
  EXPECT_GE(s.argt, 0.0L);
  EXPECT_NEAR(static_cast<double>(s.mdl), 5.0, 1e-12);
}

}  // namespace
}  // namespace ventrel
