// The autopilot on the virtual clock: hand steering with the helm bar in STDBY,
// the bar sliding back to the centre, AUTO and the first start.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::Rig;

double D(long double x) { return static_cast<double>(x); }

struct SteerCase {
  const char* name;
  const char* hdg;
  int bar;
  int seconds;
  std::vector<double> headings;  // after each second
};
void PrintTo(const SteerCase& c, std::ostream* os) { *os << c.name; }

// Every second the heading turns by 15 - bar degrees.
const SteerCase kSteer[] = {
    {"bar_10_turns_to_starboard", "335", 10, 3, {340, 345, 350}},
    {"bar_15_holds_the_course", "335", 15, 3, {335, 335, 335}},
    {"bar_30_turns_to_port", "335", 30, 3, {320, 305, 290}},
    {"bar_0_turns_fifteen_a_second", "100", 0, 2, {115, 130}},
    {"across_north_to_port", "2", 20, 2, {357, 352}},
    {"across_north_to_starboard", "358", 10, 2, {3, 8}},
};

class Steering : public ::testing::TestWithParam<SteerCase> {};

TEST_P(Steering, TheHeadingTurnsByTheBarOffsetEverySecond) {
  const SteerCase& c = GetParam();
  Rig r;
  r.start(c.hdg);
  r.model.SpBtStdBYClick();
  EXPECT_TRUE(r.model.timers().TimerB.enabled());
  EXPECT_FALSE(r.model.timers().TimerAT.enabled());
  r.f("TrackBarre").setPosition(c.bar);
  for (int k = 0; k < c.seconds; ++k) {
    SCOPED_TRACE(k + 1);
    r.seconds(1);
    EXPECT_EQ(r.s().t, k + 1);  // one tick a second: the helm timer alone drives
    EXPECT_EQ(r.s().Ptb, c.bar);
    EXPECT_NEAR(D(r.s().HDG), c.headings[k], 1e-12);
    EXPECT_EQ(r.s().BS.argt, r.s().HDG);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Steering, ::testing::ValuesIn(kSteer),
                         [](const ::testing::TestParamInfo<SteerCase>& i) { return std::string(i.param.name); });

TEST(Autopilot, StandbyAndAutoShowTheModeAndSwitchTheCommands) {
  Rig r;
  r.start();
  r.seconds(1);
  r.model.SpBtStdBYClick();
  EXPECT_EQ(r.s().ModPil, TModPil::STDBY);
  EXPECT_EQ(r.f("LbModPil").text(), "STDBY");
  EXPECT_EQ(r.f("EdCAP").fontColour(), (Rgb{0, 0, 255}));
  EXPECT_TRUE(r.f("SpBtStdBY").checked());
  EXPECT_FALSE(r.f("SpBtAUTO").checked());
  EXPECT_TRUE(r.f("TrackBarre").enabled());
  EXPECT_TRUE(r.f("TrackBarre").sliderVisible());
  for (const char* n : {"SBtVire", "SBtEmp", "BtBestHaul"}) EXPECT_FALSE(r.f(n).enabled()) << n;
  r.model.FormPaint();
  EXPECT_EQ(r.f("LbModPil").text(), " STDBY");

  r.model.SpBtAUTOClick();
  EXPECT_EQ(r.s().ModPil, TModPil::AUTO);
  EXPECT_EQ(r.f("LbModPil").text(), "AUTO");
  EXPECT_EQ(r.f("EdCAP").fontColour(), (Rgb{128, 128, 128}));
  EXPECT_TRUE(r.f("SpBtAUTO").checked());
  EXPECT_FALSE(r.f("SpBtStdBY").checked());
  EXPECT_FALSE(r.f("TrackBarre").enabled());
  EXPECT_FALSE(r.f("TrackBarre").sliderVisible());
  for (const char* n : {"SBtVire", "SBtEmp", "BtBestHaul"}) EXPECT_TRUE(r.f(n).enabled()) << n;
  EXPECT_FALSE(r.model.timers().TimerB.enabled());
  EXPECT_TRUE(r.model.timers().TimerAT.enabled());
  r.model.FormPaint();
  EXPECT_EQ(r.f("LbModPil").text(), " AUTO");
}

TEST(Autopilot, AutoHoldsTheLastHeadingSetByHand) {
  Rig r;
  r.start("335");
  r.model.SpBtStdBYClick();
  r.f("TrackBarre").setPosition(10);
  r.seconds(2);
  ASSERT_EQ(r.s().HDG, 345);
  r.model.SpBtAUTOClick();
  const std::int32_t t = r.s().t;
  r.seconds(4);
  EXPECT_EQ(r.s().t, t + 4);  // TimerAT alone: the helm timer stays off after the bar's slide
  EXPECT_FALSE(r.model.timers().TimerB.enabled());
  EXPECT_EQ(r.s().BS.argt, 345);
  EXPECT_EQ(r.f("EdCAP").text(), " 345");
}

TEST(Autopilot, AutoStartsANewLegToTheWaypoint) {
  Rig r;
  r.start();
  r.model.SpBtStdBYClick();
  r.w().Wp.relev = 123.25L;
  r.w().BearOrToDest = 10;
  r.model.SpBtAUTOClick();
  EXPECT_EQ(r.w().BearOrToDest, 123.25L);
}

TEST(Autopilot, AutoBeforeTheFirstStartStartsTheRun) {
  Rig r;
  ASSERT_TRUE(r.s().PremPasse);
  r.model.SpBtAUTOClick();
  EXPECT_FALSE(r.s().PremPasse);
  EXPECT_TRUE(r.model.timers().TimerAT.enabled());
  EXPECT_EQ(r.s().HDG, 335);  // the typed heading
  EXPECT_TRUE(r.f("SpBtPauseRes").enabled());
  r.seconds(2);
  EXPECT_EQ(r.s().t, 2);
}

// Regression: standby before any start switched the helm timer on, which ran
// ticks on a state never filled from the fields and wrote zeros into them.
TEST(Autopilot, StandbyBeforeTheFirstStartWaitsForTheStart) {
  Rig r;
  r.model.SpBtStdBYClick();
  EXPECT_FALSE(r.model.timers().TimerB.enabled());
  r.seconds(3);
  EXPECT_EQ(r.s().t, 0);
  EXPECT_EQ(r.f("EdHDG").text(), "335");
  r.model.BtCALCClick();
  EXPECT_TRUE(r.model.timers().TimerB.enabled());
  r.seconds(1);
  EXPECT_EQ(r.s().t, 1);
}

struct RecentreCase {
  const char* name;
  int ptb;                   // position read at the last helm step
  std::vector<int> positions;  // at once, then every 100 ms
};
void PrintTo(const RecentreCase& c, std::ostream* os) { *os << c.name; }

const RecentreCase kRecentre[] = {
    {"from_the_centre_two_steps", 15, {16, 15}},
    {"from_the_right", 20, {19, 18, 17, 16, 15}},
    {"from_the_left", 10, {11, 12, 13, 14, 15}},
    {"from_the_right_end", 30, {29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15}},
};

class Recentring : public ::testing::TestWithParam<RecentreCase> {};

TEST_P(Recentring, TheBarSlidesBackOnePositionEvery100ms) {
  const RecentreCase& c = GetParam();
  Rig r;
  r.start();
  r.model.SpBtStdBYClick();
  r.s().Ptb = c.ptb;
  r.f("TrackBarre").setPosition(25);  // moved since: the slide starts from Ptb
  const std::int64_t t0 = r.clock.now();
  r.model.ZeroTrackBarre();
  EXPECT_EQ(r.clock.now(), t0);  // nothing waits
  const std::int64_t n = static_cast<std::int64_t>(c.positions.size());
  for (std::int64_t k = 0; k < n; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(r.f("TrackBarre").position(), c.positions[k]);
    EXPECT_FALSE(r.model.timers().TimerB.enabled());
    r.clock.advance(100);
  }
  // 100 ms after the bar reached the centre the helm drives again.
  EXPECT_EQ(r.clock.now(), t0 + 100 * n);
  EXPECT_EQ(r.f("TrackBarre").position(), 15);
  EXPECT_EQ(r.s().Ptb, 15);
  EXPECT_TRUE(r.model.timers().TimerB.enabled());
  EXPECT_FALSE(r.model.timers().TimerZero.enabled());
}

INSTANTIATE_TEST_SUITE_P(Cases, Recentring, ::testing::ValuesIn(kRecentre),
                         [](const ::testing::TestParamInfo<RecentreCase>& i) { return std::string(i.param.name); });

TEST(Autopilot, TheRunGoesOnWhileTheBarSlidesBack) {
  Rig r;
  r.start();
  r.model.SpBtStdBYClick();
  r.f("TrackBarre").setPosition(30);
  r.seconds(1);
  ASSERT_EQ(r.s().Ptb, 30);
  const std::int32_t t = r.s().t;
  r.model.SpBtAUTOClick();  // 15 steps of 100 ms
  for (int k = 0; k < 30; ++k) {
    r.clock.advance(100);
    EXPECT_FALSE(r.model.timers().TimerB.enabled()) << k;
  }
  EXPECT_EQ(r.f("TrackBarre").position(), 15);
  EXPECT_EQ(r.s().t, t + 3);
}

}  // namespace
}  // namespace ventrel
