// The autopilot on the virtual clock: hand steering with the helm bar in STDBY,
// the bar sliding back to the centre, AUTO and the first start.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::D;
using testing::Rig;

TEST(Steering, TheHeadingTurnsByFifteenMinusTheBarEverySecond) {
  struct Case {
    const char* hdg;
    int bar;
    std::vector<double> headings;  // after each second
  };
  const Case cases[] = {
      {"335", 10, {340, 345, 350}}, {"335", 15, {335, 335, 335}}, {"335", 30, {320, 305, 290}},
      {"100", 0, {115, 130}},       {"2", 20, {357, 352}},         {"358", 10, {3, 8}},  // across north both ways
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.hdg) + ", bar " + std::to_string(c.bar));
    Rig r;
    r.start(c.hdg);
    r.model.SpBtStdBYClick();
    EXPECT_EQ(r.driving(), "TimerB");
    r.f("TrackBarre").setPosition(c.bar);
    for (std::size_t k = 0; k < c.headings.size(); ++k) {
      r.seconds(1);
      EXPECT_EQ(r.s().t, static_cast<int>(k) + 1);  // one tick a second: the helm timer alone drives
      EXPECT_EQ(r.s().Ptb, c.bar);
      EXPECT_NEAR(D(r.s().HDG), c.headings[k], 1e-12) << "second " << k + 1;
      EXPECT_EQ(r.s().BS.argt, r.s().HDG);
    }
  }
}

TEST(Autopilot, StandbyAndAutoShowTheModeAndSwitchTheCommands) {
  struct Mode {
    void (VentrelModel::*click)();
    TModPil mode;
    const char* label;  // before and after the window is painted
    const char* painted;
    Rgb heading;
    const char* enabled;  // among the commands below
  };
  const Mode modes[] = {{&VentrelModel::SpBtStdBYClick, TModPil::STDBY, "STDBY", " STDBY", {0, 0, 255}, "TrackBarre"},
                        {&VentrelModel::SpBtAUTOClick, TModPil::AUTO, "AUTO", " AUTO", {128, 128, 128},
                         "SBtVire SBtEmp BtBestHaul"}};
  Rig r;
  r.start();
  r.seconds(1);
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.label);
    (r.model.*m.click)();
    EXPECT_EQ(r.s().ModPil, m.mode);
    EXPECT_EQ(r.f("LbModPil").text(), m.label);
    EXPECT_EQ(r.f("EdCAP").fontColour(), m.heading);
    EXPECT_EQ(r.f("SpBtStdBY").checked(), m.mode == TModPil::STDBY);
    EXPECT_EQ(r.f("SpBtAUTO").checked(), m.mode == TModPil::AUTO);
    EXPECT_EQ(r.f("TrackBarre").sliderVisible(), m.mode == TModPil::STDBY);
    EXPECT_EQ(r.enabled({"TrackBarre", "SBtVire", "SBtEmp", "BtBestHaul"}), m.enabled);
    EXPECT_EQ(r.driving(), m.mode == TModPil::AUTO ? "TimerAT" : "TimerB");
    r.model.FormPaint();
    EXPECT_EQ(r.f("LbModPil").text(), m.painted);
  }
}

TEST(Autopilot, AutoHoldsTheLastHeadingSetByHandOnANewLegToTheWaypoint) {
  Rig r;
  r.start("335");
  r.model.SpBtStdBYClick();
  r.f("TrackBarre").setPosition(10);
  r.seconds(2);
  ASSERT_EQ(r.s().HDG, 345);
  r.w().Wp.relev = 123.25L;
  r.w().BearOrToDest = 10;
  r.model.SpBtAUTOClick();
  EXPECT_EQ(r.w().BearOrToDest, 123.25L);
  const std::int32_t t = r.s().t;
  r.seconds(4);
  EXPECT_EQ(r.s().t, t + 4);  // the run goes on while the bar slides back; the helm timer stays off
  EXPECT_EQ(r.driving(), "TimerAT");
  EXPECT_EQ(r.s().BS.argt, 345);
  EXPECT_EQ(r.f("EdCAP").text(), " 345");
}

TEST(Autopilot, BeforeTheFirstStartAutoStartsTheRunAndStandbyWaitsForTheStart) {
  Rig r;
  ASSERT_TRUE(r.s().PremPasse);
  r.model.SpBtAUTOClick();
  EXPECT_FALSE(r.s().PremPasse);
  EXPECT_EQ(r.driving(), "TimerAT");
  EXPECT_EQ(r.s().HDG, 335);  // the typed heading
  EXPECT_TRUE(r.f("SpBtPauseRes").enabled());
  r.seconds(2);
  EXPECT_EQ(r.s().t, 2);

  // Regression: standby before any start switched the helm timer on, which ran
  // ticks on a state never filled from the fields and wrote zeros into them.
  Rig s;
  s.model.SpBtStdBYClick();
  EXPECT_EQ(s.driving(), "");
  s.seconds(3);
  EXPECT_EQ(s.s().t, 0);
  EXPECT_EQ(s.f("EdHDG").text(), "335");
  s.model.BtCALCClick();
  EXPECT_EQ(s.driving(), "TimerB");
  s.seconds(1);
  EXPECT_EQ(s.s().t, 1);
}

TEST(Recentring, TheBarSlidesBackOnePositionEvery100msFromPtb) {
  const std::pair<int, std::vector<int>> cases[] = {  // Ptb, then the positions at once and every 100 ms
      {15, {16, 15}},
      {20, {19, 18, 17, 16, 15}},
      {10, {11, 12, 13, 14, 15}},
      {30, {29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15}},
  };
  for (const auto& [ptb, positions] : cases) {
    SCOPED_TRACE(ptb);
    Rig r;
    r.start();
    r.model.SpBtStdBYClick();
    r.s().Ptb = ptb;
    r.f("TrackBarre").setPosition(25);  // moved since: the slide starts from Ptb
    const std::int64_t t0 = r.clock.now();
    r.model.ZeroTrackBarre();
    EXPECT_EQ(r.clock.now(), t0);  // nothing waits
    for (std::size_t k = 0; k < positions.size(); ++k) {
      EXPECT_EQ(r.f("TrackBarre").position(), positions[k]) << k;
      EXPECT_FALSE(r.model.timers().TimerB.enabled()) << k;
      r.clock.advance(100);
    }
    // 100 ms after the bar reached the centre the helm drives again.
    EXPECT_EQ(r.clock.now(), t0 + 100 * static_cast<std::int64_t>(positions.size()));
    EXPECT_EQ(r.f("TrackBarre").position(), 15);
    EXPECT_EQ(r.s().Ptb, 15);
    EXPECT_TRUE(r.model.timers().TimerB.enabled());
    EXPECT_FALSE(r.model.timers().TimerZero.enabled());
  }
}

}  // namespace
}  // namespace ventrel
