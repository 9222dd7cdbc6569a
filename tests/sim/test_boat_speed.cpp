// The boat-speed model on a small table whose values are worked out by hand.
//
//            wind  6   10   14 kn
//   angle  40      3    5    6
//          60      4    6    7
//          90      5    7    8
//         180      2    4    5
//
// Expected speeds below are computed from this table with the interpolation
// formulas, to 1e-12 kn.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "config/polar_table.h"
#include "sim/boat_speed.h"

namespace ventrel {
namespace {

PolarTable HandTable() {
  PolarTable t;
  t.NCOL = 3;
  t.NLIG = 4;
  t.idx_fv[0] = 6;
  t.idx_fv[1] = 10;
  t.idx_fv[2] = 14;
  t.idx_dv[0] = 40;
  t.idx_dv[1] = 60;
  t.idx_dv[2] = 90;
  t.idx_dv[3] = 180;
  t.TabPol = {{3, 5, 6}, {4, 6, 7}, {5, 7, 8}, {2, 4, 5}};
  return t;
}

constexpr double kTol = 1e-12;

struct SpeedCase {
  const char* name;
  int polPerc;
  long double Wa, Ws;
  long double speed;
};

class BoatSpeedTest : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(BoatSpeedTest, MatchesHandComputedSpeed) {
  const SpeedCase& c = GetParam();
  const PolarTable t = HandTable();
  BoatSpeedModel m(t);
  m.polPerc = c.polPerc;
  EXPECT_NEAR(static_cast<double>(m.BoatSpeed(c.Wa, c.Ws)), static_cast<double>(c.speed), kTol);
}

INSTANTIATE_TEST_SUITE_P(
    HandTable, BoatSpeedTest,
    ::testing::Values(
        SpeedCase{"on_a_node", 100, 60, 10, 6},
        // The lowest wind speed itself is read from the table.
        SpeedCase{"lowest_wind_speed", 100, 90, 6, 5},
        // Rows 40 and 60 at 8 kn: 4 and 5; halfway in angle: 4.5.
        SpeedCase{"bilinear", 100, 50, 8, 4.5L},
        // Rows 60 and 90 at 12 kn: 6.5 and 7.5; a half of the way: 7.
        SpeedCase{"bilinear_upper_cells", 100, 75, 12, 7},
        // A wind speed equal to an inner column uses the interval below it: 7.
        SpeedCase{"inner_column", 100, 90, 10, 7},
        SpeedCase{"inner_row", 100, 90, 14, 8},
        // Above the last column: the last column's speeds.
        SpeedCase{"above_last_column", 100, 90, 30, 8},
        SpeedCase{"above_last_column_between_rows", 100, 135, 20, 6.5L},
        // Beyond the last row: the last row's speeds (4 at 10 kn, 5 at 14 kn and above).
        SpeedCase{"beyond_last_row", 100, 200, 10, 4},
        SpeedCase{"beyond_last_row_and_column", 100, 250, 30, 5},
        // Below the lowest wind speed, r = Ws / 6, factor (-5 r^2 + 15 r - 7.25) / 2.75:
        // r = 0.5 gives a negative factor, so 0.
        SpeedCase{"half_lowest_wind", 100, 60, 3, 0},
        // r = 0.8: 4 x (-3.2 + 12 - 7.25) / 2.75 = 4 x 1.55 / 2.75.
        SpeedCase{"below_lowest_wind", 100, 60, 4.8L, 2.2545454545454545L},
        // r = 0.6 is just below the root 0.6056: 0.
        SpeedCase{"below_root", 100, 60, 3.6L, 0},
        // r = 0.61: 4 x (-1.8605 + 9.15 - 7.25) / 2.75 = 4 x 0.0395 / 2.75.
        SpeedCase{"above_root", 100, 60, 3.66L, 0.057454545454545454L},
        // Below the smallest angle: (A / 40)^2 of the speed at 40 for that wind (5 at 10 kn).
        SpeedCase{"half_smallest_angle", 100, 20, 10, 1.25L},
        SpeedCase{"quarter_smallest_angle", 100, 10, 10, 0},
        // (10.4 / 40)^2 x 5 = 0.0676 x 5.
        SpeedCase{"just_above_quarter", 100, 10.4L, 10, 0.338L},
        // At 8 kn the speed at 40 is 4: (30 / 40)^2 x 4.
        SpeedCase{"three_quarters_angle", 100, 30, 8, 2.25L},
        // Both rules: Sref = (20/40)^2 x 3 = 0.75 at 6 kn, then x 1.55 / 2.75.
        SpeedCase{"below_angle_and_wind", 100, 20, 4.8L, 0.42272727272727273L},
        // The percentage scales the interpolated speed ...
        SpeedCase{"percent_90", 90, 50, 8, 4.05L},
        SpeedCase{"percent_0", 0, 75, 12, 0},
        SpeedCase{"percent_90_below_lowest_wind", 90, 60, 4.8L, 2.0290909090909091L},
        // ... but not the speed below the smallest angle.
        SpeedCase{"percent_90_below_smallest_angle", 90, 20, 10, 1.25L}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(BoatSpeed, NothingPastTheLastRowOrColumnIsRead) {
  // Entries past NLIG and NCOL as an earlier, larger polar would leave them.
  PolarTable t = HandTable();
  t.idx_dv[4] = 270;
  t.idx_fv[3] = 40;
  for (auto& row : t.TabPol) row.push_back(99);
  t.TabPol.push_back({99, 99, 99, 99});
  BoatSpeedModel m(t);
  EXPECT_NEAR(static_cast<double>(m.BoatSpeed(200, 10)), 4.0, kTol);
  EXPECT_NEAR(static_cast<double>(m.BoatSpeed(90, 30)), 8.0, kTol);
}

TEST(BoatSpeed, TablesTooSmallOrNotFiniteInputGiveZero) {
  const PolarTable none;
  BoatSpeedModel empty(none);
  EXPECT_EQ(empty.BoatSpeed(60, 10), 0.0L);

  PolarTable oneColumn = HandTable();
  oneColumn.NCOL = 1;
  EXPECT_EQ(BoatSpeedModel(oneColumn).BoatSpeed(60, 10), 0.0L);

  PolarTable shortTable = HandTable();
  shortTable.TabPol.pop_back();  // NLIG says 4, 3 rows held
  EXPECT_EQ(BoatSpeedModel(shortTable).BoatSpeed(60, 10), 0.0L);

  const PolarTable t = HandTable();
  BoatSpeedModel m(t);
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  EXPECT_EQ(m.BoatSpeed(nan, 10), 0.0L);
  EXPECT_EQ(m.BoatSpeed(60, nan), 0.0L);
  EXPECT_EQ(m.BoatSpeed(60, std::numeric_limits<long double>::infinity()), 0.0L);
}

TEST(BoatSpeed, ZeroFirstColumnAndNegativeWindGiveZero) {
  PolarTable t = HandTable();
  t.idx_fv[0] = 0;
  BoatSpeedModel m(t);
  EXPECT_EQ(m.BoatSpeed(60, -1), 0.0L);
  // Row 60 between 0 kn (4) and 10 kn (6) at 5 kn: 5.
  EXPECT_NEAR(static_cast<double>(m.BoatSpeed(60, 5)), 5.0, kTol);
}

TEST(SpeedUnderAmin, WritesFourDiagnosticLinesAtEachCall) {
  const PolarTable t = HandTable();
  BoatSpeedModel m(t);
  std::vector<std::string> lines;
  m.setDiagnostics([&](const std::string& s) { lines.push_back(s); });

  m.BoatSpeed(60, 12);  // inside the table: no line
  EXPECT_TRUE(lines.empty());

  // Speed at 40 for 12 kn: 5 + (6 - 5) / 4 x 2 = 5.5.
  m.BoatSpeed(20, 12);
  EXPECT_EQ(lines, (std::vector<std::string>{" A =20", " Amin =40", " Wsi =10", " VAmin =5.5"}));

  // Below the lowest wind the inner call at 6 kn writes them.
  lines.clear();
  m.BoatSpeed(12.5L, 3);
  EXPECT_EQ(lines, (std::vector<std::string>{" A =12.5", " Amin =40", " Wsi =6", " VAmin =3"}));
}

struct InterpoCase {
  long double X0, Y0, X1, Y1, XM, Y;
};

class InterpoLinTest : public ::testing::TestWithParam<InterpoCase> {};

TEST_P(InterpoLinTest, StraightLineThroughTwoPoints) {
  const InterpoCase& c = GetParam();
  EXPECT_NEAR(static_cast<double>(BoatSpeedModel::InterpoLin(c.X0, c.Y0, c.X1, c.Y1, c.XM)),
              static_cast<double>(c.Y), kTol);
}

INSTANTIATE_TEST_SUITE_P(Points, InterpoLinTest,
                         ::testing::Values(InterpoCase{0, 0, 10, 5, 4, 2},
                                           InterpoCase{6, 3, 10, 5, 8, 4},
                                           InterpoCase{0, 0, 10, 5, 12, 6},    // beyond: extends
                                           InterpoCase{10, 5, 6, 3, 8, 4},     // reversed ends
                                           InterpoCase{7, 2.5L, 7, 9, 7, 2.5L}));  // no width: Y0

// The wind-speed column picked at 10 kn: rows 40, 45 and 60 of 3, 5 and 5.2 kn.
// Speed made good cos(a) x speed is 2.298 at 40, 3.5355 at 45 and 2.6 at 60; it
// rises up to the 45 row and falls after it (the rise of speed between 45 and 60
// is too slow to beat the cosine), so the best sample is 45 exactly.
PolarTable KinkTable() {
  PolarTable t;
  t.NCOL = 2;
  t.NLIG = 4;
  t.idx_fv[0] = 6;
  t.idx_fv[1] = 14;
  t.idx_dv[0] = 40;
  t.idx_dv[1] = 45;
  t.idx_dv[2] = 60;
  t.idx_dv[3] = 180;
  t.TabPol = {{3, 3}, {5, 5}, {5.2L, 5.2L}, {4, 4}};
  return t;
}

TEST(SpMaxWndWrd, FindsTheBestUpwindSampleAndStoresIt) {
  const PolarTable t = KinkTable();
  BoatSpeedModel m(t);
  EXPECT_EQ(m.AlphaOptWndWrd, 10000.0L);  // no search yet
  const t_vect best = m.SpMaxWndWrd(10);
  EXPECT_NEAR(static_cast<double>(best.argt), 45.0, kTol);
  EXPECT_NEAR(static_cast<double>(best.mdl), 5.0, kTol);
  EXPECT_EQ(m.AlphaOptWndWrd, best.argt);
  // First sample cos(40) x 3 = 0.76604444 x 3; the 150th is at 90 degrees, VMG 0.
  EXPECT_NEAR(static_cast<double>(m.spmes[0]), 2.2981333293569342, 1e-12);
  EXPECT_NEAR(static_cast<double>(m.spmes[150]), 0.0, 1e-9);
}

TEST(SpMaxWndWrd, BelowTheLowestWindKeepsTheAngleAndScalesTheSpeed) {
  const PolarTable t = KinkTable();
  BoatSpeedModel m(t);
  // 4.8 kn: r = 0.8, factor 1.55 / 2.75 on every angle of the table.
  const t_vect best = m.SpMaxWndWrd(4.8L);
  EXPECT_NEAR(static_cast<double>(best.argt), 45.0, kTol);
  EXPECT_NEAR(static_cast<double>(best.mdl), 5.0 * 1.55 / 2.75, kTol);
}

TEST(SpMaxWndWrd, EqualSamplesKeepTheSmallestAngle) {
  // With a percentage of 0 every sample is 0: the search must stay on the first.
  const PolarTable t = KinkTable();
  BoatSpeedModel m(t);
  m.polPerc = 0;
  const t_vect best = m.SpMaxWndWrd(10);
  EXPECT_EQ(best.argt, 40.0L);
  EXPECT_EQ(best.mdl, 0.0L);
  EXPECT_EQ(m.spmes[75], 0.0L);
}

TEST(SpMaxWndWrd, EmptyTableGivesZeroAndKeepsTheLastAngle) {
  const PolarTable none;
  BoatSpeedModel m(none);
  const t_vect best = m.SpMaxWndWrd(10);
  EXPECT_EQ(best.mdl, 0.0L);
  EXPECT_EQ(m.AlphaOptWndWrd, 10000.0L);
}

TEST(SpMaxWndWrd, DefaultPolarBeatsBetween40And50Degrees) {
  const PolarParse r = LoadPolarFile(std::string(VENTREL_DATA_DIR) + "/DefPolars/First31_7.pol");
  ASSERT_TRUE(r.ok) << r.message;
  BoatSpeedModel m(r.table);
  for (int j = 0; j < r.table.NCOL; ++j) {
    const t_vect best = m.SpMaxWndWrd(r.table.idx_fv[j]);
    EXPECT_GE(best.argt, 40.0L) << "wind " << static_cast<double>(r.table.idx_fv[j]);
    EXPECT_LE(best.argt, 50.0L) << "wind " << static_cast<double>(r.table.idx_fv[j]);
    EXPECT_GT(best.mdl, 2.0L);
  }
}

struct StepCase {
  int from;
  bool up;
  int to;
};

class UpDownPolTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(UpDownPolTest, StepsWithin0To100) {
  const PolarTable t = HandTable();
  BoatSpeedModel m(t);
  m.polPerc = GetParam().from;
  m.UpDownPolClick(GetParam().up);
  EXPECT_EQ(m.polPerc, GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Steps, UpDownPolTest,
                         ::testing::Values(StepCase{50, true, 51}, StepCase{50, false, 49},
                                           StepCase{100, true, 100}, StepCase{0, false, 0},
                                           StepCase{1, false, 0}, StepCase{99, true, 100},
                                           // Set out of range elsewhere: brought back first.
                                           StepCase{150, false, 99}, StepCase{-5, true, 1},
                                           StepCase{INT_MAX, true, 100},
                                           StepCase{INT_MIN, false, 0}));

TEST(UpDownPol, NextSpeedUsesTheNewPercentage) {
  const PolarTable t = HandTable();
  BoatSpeedModel m(t);
  for (int k = 0; k < 10; ++k) m.UpDownPolClick(false);
  EXPECT_NEAR(static_cast<double>(m.BoatSpeed(50, 8)), 4.05, kTol);
}

}  // namespace
}  // namespace ventrel
