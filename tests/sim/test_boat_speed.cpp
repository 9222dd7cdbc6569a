// The boat-speed model on a small table whose values are worked out by hand.
//
//            wind  6   10   14 kn
//   angle  40      3    5    6
//          60      4    6    7
//          90      5    7    8
//         180      2    4    5
//
// Expected speeds are computed from this table with the interpolation formulas, to 1e-12 kn.

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>
#include <vector>

#include "sim/boat_speed.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::D;
using testing::MakePolar;

constexpr double kTol = 1e-12;
PolarTable HandTable() { return MakePolar({40, 60, 90, 180}, {6, 10, 14}, {{3, 5, 6}, {4, 6, 7}, {5, 7, 8}, {2, 4, 5}}); }

TEST(BoatSpeed, MatchesHandComputedSpeed) {
  struct Case { int polPerc; long double Wa, Ws, speed; };
  const Case cases[] = {
      {100, 60, 10, 6},   // on a node
      {100, 90, 6, 5},    // the lowest wind speed itself is read from the table
      {100, 50, 8, 4.5L}, // rows 40 and 60 at 8 kn: 4 and 5, halfway
      {100, 75, 12, 7},   // rows 60 and 90 at 12 kn: 6.5 and 7.5, halfway
      {100, 90, 10, 7},   // an inner column uses the interval below it
      {100, 90, 14, 8},
      {100, 90, 30, 8},   // above the last column: its speeds
      {100, 135, 20, 6.5L},
      {100, 200, 10, 4},  // beyond the last row: its speeds
      {100, 250, 30, 5},
      // Below the lowest wind, r = Ws / 6, factor (-5 r^2 + 15 r - 7.25) / 2.75, never negative:
      {100, 60, 3, 0},                         // r = 0.5
      {100, 60, 4.8L, 2.2545454545454545L},    // r = 0.8: 4 x 1.55 / 2.75
      {100, 60, 3.6L, 0},                      // r = 0.6, just below the root 0.6056
      {100, 60, 3.66L, 0.057454545454545454L}, // r = 0.61: 4 x 0.0395 / 2.75
      // Below the smallest angle: (A / 40)^2 of the speed at 40 for that wind.
      {100, 20, 10, 1.25L},
      {100, 10, 10, 0},
      {100, 10.4L, 10, 0.338L},                // 0.0676 x 5
      {100, 30, 8, 2.25L},                     // (3/4)^2 x 4
      {100, 20, 4.8L, 0.42272727272727273L},   // both: (1/2)^2 x 3, then x 1.55 / 2.75
      // The percentage scales the interpolated speed, not the speed below the smallest angle.
      {90, 50, 8, 4.05L},
      {0, 75, 12, 0},
      {90, 60, 4.8L, 2.0290909090909091L},
      {90, 20, 10, 1.25L},
  };
  const PolarTable t = HandTable();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.polPerc << "% " << D(c.Wa) << " deg " << D(c.Ws) << " kn");
    BoatSpeedModel m(t);
    m.polPerc = c.polPerc;
    EXPECT_NEAR(D(m.BoatSpeed(c.Wa, c.Ws)), D(c.speed), kTol);
  }
}

TEST(BoatSpeed, NothingOutsideTheTableIsReadAndUnusableInputGivesZero) {
  // Entries past NLIG and NCOL as an earlier, larger polar would leave them.
  PolarTable t = HandTable();
  t.idx_dv[4] = 270;
  t.idx_fv[3] = 40;
  for (auto& row : t.TabPol) row.push_back(99);
  t.TabPol.push_back({99, 99, 99, 99});
  BoatSpeedModel m(t);
  EXPECT_NEAR(D(m.BoatSpeed(200, 10)), 4.0, kTol);
  EXPECT_NEAR(D(m.BoatSpeed(90, 30)), 8.0, kTol);

  const PolarTable none;
  EXPECT_EQ(BoatSpeedModel(none).BoatSpeed(60, 10), 0.0L);
  PolarTable oneColumn = HandTable();
  oneColumn.NCOL = 1;
  EXPECT_EQ(BoatSpeedModel(oneColumn).BoatSpeed(60, 10), 0.0L);
  PolarTable shortTable = HandTable();
  shortTable.TabPol.pop_back();  // NLIG says 4, 3 rows held
  EXPECT_EQ(BoatSpeedModel(shortTable).BoatSpeed(60, 10), 0.0L);
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  EXPECT_EQ(m.BoatSpeed(nan, 10), 0.0L);
  EXPECT_EQ(m.BoatSpeed(60, nan), 0.0L);
  EXPECT_EQ(m.BoatSpeed(60, std::numeric_limits<long double>::infinity()), 0.0L);

  PolarTable zeroFirst = HandTable();
  zeroFirst.idx_fv[0] = 0;
  BoatSpeedModel z(zeroFirst);
  EXPECT_EQ(z.BoatSpeed(60, -1), 0.0L);
  EXPECT_NEAR(D(z.BoatSpeed(60, 5)), 5.0, kTol);  // row 60 between 0 kn (4) and 10 kn (6)
}

TEST(SpeedUnderAmin, WritesFourDiagnosticLinesAtEachCall) {
  const PolarTable t = HandTable();
  BoatSpeedModel m(t);
  std::vector<std::string> lines;
  m.setDiagnostics([&](const std::string& s) { lines.push_back(s); });
  m.BoatSpeed(60, 12);  // inside the table: no line
  EXPECT_TRUE(lines.empty());
  m.BoatSpeed(20, 12);  // speed at 40 for 12 kn: 5 + (6 - 5) / 4 x 2
  EXPECT_EQ(lines, (std::vector<std::string>{" A =20", " Amin =40", " Wsi =10", " VAmin =5.5"}));
  lines.clear();
  m.BoatSpeed(12.5L, 3);  // below the lowest wind the inner call at 6 kn writes them
  EXPECT_EQ(lines, (std::vector<std::string>{" A =12.5", " Amin =40", " Wsi =6", " VAmin =3"}));
}

TEST(InterpoLin, StraightLineThroughTwoPoints) {
  const long double rows[][6] = {{0, 0, 10, 5, 4, 2},
                                 {6, 3, 10, 5, 8, 4},
                                 {0, 0, 10, 5, 12, 6},     // beyond: extends
                                 {10, 5, 6, 3, 8, 4},      // reversed ends
                                 {7, 2.5L, 7, 9, 7, 2.5L}};  // no width: Y0
  for (const auto& r : rows) {
    EXPECT_NEAR(D(BoatSpeedModel::InterpoLin(r[0], r[1], r[2], r[3], r[4])), D(r[5]), kTol) << D(r[4]);
  }
}

// At 10 kn rows 40, 45 and 60 give 3, 5 and 5.2 kn: speeds made good cos(a) x speed
// of 2.298, 3.5355 and 2.6, so the best sample is 45 exactly.
PolarTable KinkTable() { return MakePolar({40, 45, 60, 180}, {6, 14}, {{3, 3}, {5, 5}, {5.2L, 5.2L}, {4, 4}}); }

TEST(SpMaxWndWrd, FindsTheBestUpwindSampleAndStoresIt) {
  const PolarTable t = KinkTable();
  BoatSpeedModel m(t);
  EXPECT_EQ(m.AlphaOptWndWrd, 10000.0L);  // no search yet
  t_vect best = m.SpMaxWndWrd(10);
  EXPECT_NEAR(D(best.argt), 45.0, kTol);
  EXPECT_NEAR(D(best.mdl), 5.0, kTol);
  EXPECT_EQ(m.AlphaOptWndWrd, best.argt);
  // First sample cos(40) x 3; the 150th is at 90 degrees, VMG 0.
  EXPECT_NEAR(D(m.spmes[0]), 2.2981333293569342, 1e-12);
  EXPECT_NEAR(D(m.spmes[150]), 0.0, 1e-9);
  // At 4.8 kn (r = 0.8) every angle is scaled by 1.55 / 2.75: the same angle.
  best = m.SpMaxWndWrd(4.8L);
  EXPECT_NEAR(D(best.argt), 45.0, kTol);
  EXPECT_NEAR(D(best.mdl), 5.0 * 1.55 / 2.75, kTol);
}

TEST(SpMaxWndWrd, EqualSamplesKeepTheSmallestAngleAndAnEmptyTableTheLastAngle) {
  const PolarTable t = KinkTable();
  BoatSpeedModel m(t);
  m.polPerc = 0;  // every sample 0
  const t_vect best = m.SpMaxWndWrd(10);
  EXPECT_EQ(best.argt, 40.0L);
  EXPECT_EQ(best.mdl, 0.0L);
  EXPECT_EQ(m.spmes[75], 0.0L);

  const PolarTable none;
  BoatSpeedModel e(none);
  EXPECT_EQ(e.SpMaxWndWrd(10).mdl, 0.0L);
  EXPECT_EQ(e.AlphaOptWndWrd, 10000.0L);
}

TEST(UpDownPol, StepsWithin0To100) {
  struct Step { int from; bool up; int to; };
  // The last four were set out of range elsewhere: brought back first.
  const Step steps[] = {{50, true, 51}, {50, false, 49},  {100, true, 100}, {0, false, 0},        {1, false, 0},
                        {99, true, 100}, {150, false, 99}, {-5, true, 1},    {INT_MAX, true, 100}, {INT_MIN, false, 0}};
  const PolarTable t = HandTable();
  for (const Step& s : steps) {
    BoatSpeedModel m(t);
    m.polPerc = s.from;
    m.UpDownPolClick(s.up);
    EXPECT_EQ(m.polPerc, s.to) << s.from << (s.up ? " up" : " down");
  }
}

}  // namespace
}  // namespace ventrel
