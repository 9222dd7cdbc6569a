// Tack and gybe on the virtual clock, and one manoeuvre at a time.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::Compass;
using testing::D;
using testing::Rig;

struct TurnCase {
  const char* name;
  const char* hdg;
  const char* twd;
  double sign;  // +1: to starboard (heading grows), -1: to port
};

TEST(Tack, TurnsThirteenSecondsAndEndsAtTheTwentyFifthStep) {
  const TurnCase cases[] = {  // wind 10 kn, SWA 45
      {"port tack to port", "265", "220", -1},
      {"starboard tack to starboard", "175", "220", +1},
      {"across north to port", "45", "0", -1},       // 45 -> 315
      {"across north to starboard", "315", "0", +1},  // 315 -> 45
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.start(c.hdg, "10", c.twd);
    ASSERT_NEAR(D(r.s().SWA), 45.0, 1e-9);
    const double h0 = std::stod(c.hdg);
    const double da = 90.0 / 13;  // 6.923 degrees a second
    const double final = Compass(h0 + c.sign * 90);
    r.model.params().ChkB_HDG = true;
    r.model.SBtVireClick();
    EXPECT_TRUE(r.s().VireEncour);
    EXPECT_EQ(r.driving(), "TimerV");
    EXPECT_FALSE(r.model.params().ChkB_HDG);
    EXPECT_NEAR(D(r.s().Da), da, 1e-9);
    EXPECT_EQ(r.s().cvir, c.sign > 0 ? TCvir::atribord : TCvir::ababord);
    EXPECT_EQ(r.f("BtBestHaul").picture(), "JEVIRE.bmp");

    for (int k = 1; k <= 25; ++k) {
      SCOPED_TRACE(k);
      const auto before = r.s().Pact;
      const std::string shown = r.f("EdHDG").text();
      r.seconds(1);
      EXPECT_NEAR(D(r.s().BS.argt), k <= 13 ? Compass(h0 + c.sign * k * da) : final, 1e-9);
      EXPECT_GE(r.s().BS.argt, 0);
      EXPECT_LE(r.s().BS.argt, 360);
      // No tick at the dead point (step 8) nor at the end (step 25): the boat turns, the run stands.
      EXPECT_EQ(r.s().t, k < 8 ? k : std::min(k - 1, 23));
      EXPECT_EQ(r.s().Pact.lat != before.lat || r.s().Pact.long_ != before.long_, k != 8 && k != 25);
      if (k == 8) {
        EXPECT_EQ(r.s().BS.mdl, r.s().SpMin);
        EXPECT_EQ(r.f("EdHDG").text(), shown);
      }
      EXPECT_EQ(r.s().VireEncour, k < 25);
    }
    EXPECT_NEAR(D(r.s().HDG), final, 1e-9);
    EXPECT_EQ(r.driving(), "TimerAT");
    EXPECT_TRUE(r.model.params().ChkB_HDG);
    EXPECT_EQ(r.f("BtBestHaul").picture(), "vamp.bmp");
    EXPECT_NEAR(D(r.s().SWA), 45.0, 1e-9);  // on the new tack
  }
}

// The speed through a tack at SWA 45 in 10 kn on the test polar, from the
// rounded factors of the tack table. By hand: the speed at 45 degrees is
// 4.3 + 1.3 x 5/12 = 4.841667 kn; the best upwind angle is 49 1/3 degrees
// (sampled by thirds), at 4.3 + 1.3 x 28/36 = 5.311111 kn.
TEST(TackSpeed, FollowsTheSpeedLossTable) {
  const double sp45 = 4.3 + 1.3 * 5 / 12;
  const double spMax = 4.3 + 1.3 * 28 / 36;
  const double spMin = 0.3377 * sp45;
  // The factors of steps 1 to 24, on SpMax (1-7), SpMin (8-13) and the speed at the start (14-24).
  const double factors[] = {1.0013, 0.9837, 0.9473, 0.8783, 0.7629, 0.5873, 0.3377, 1.0,
                            1.1314, 1.2327, 1.3542, 1.4959, 1.6578, 0.6647, 0.7467, 0.8181,
                            0.8789, 0.9291, 0.9687, 0.9977, 1.0161, 1.0239, 1.0211, 1.0077};
  Rig r;
  r.start("265", "10", "220");
  r.seconds(1);
  ASSERT_NEAR(D(r.s().BS.mdl), sp45, 1e-12);
  r.model.SBtVireClick();
  EXPECT_NEAR(D(r.s().SpMax), spMax, 1e-12);
  EXPECT_NEAR(D(r.s().SpDep), sp45, 1e-12);
  EXPECT_NEAR(D(r.s().SpMin), spMin, 1e-12);
  for (int tv = 1; tv <= 24; ++tv) {
    SCOPED_TRACE(tv);
    r.seconds(1);
    ASSERT_EQ(r.s().tv, tv);
    const double base = tv <= 7 ? spMax : tv <= 13 ? spMin : sp45;
    EXPECT_NEAR(D(r.s().BS.mdl), base * factors[tv - 1], 5.1e-5 * base);  // factors rounded to four places
  }
}

// Wider than the polar's first angle the speed is the polar's during the first
// steps: at SWA 60 the first two steps leave 50.8 and 41.5 degrees.
TEST(TackSpeed, WiderThanThePolarTheFirstStepsTakeThePolarSpeed) {
  Rig r;
  r.start("280", "10", "220");
  r.seconds(1);
  r.model.SBtVireClick();
  for (int k = 1; k <= 2; ++k) {
    r.seconds(1);
    const double swa = 60 - k * 120.0 / 13;
    ASSERT_NEAR(D(r.s().SWA), swa, 1e-9);
    EXPECT_NEAR(D(r.s().BS.mdl), 4.3 + (5.6 - 4.3) * (swa - 40) / 12, 1e-9) << k;  // rows 40 and 52
  }
  r.seconds(1);  // 32.3 degrees: pinching
  EXPECT_NEAR(D(r.s().BS.mdl), D(r.s().SpMax) * 0.9473, 5.1e-5 * D(r.s().SpMax));
}

TEST(Gybe, TurnsSixtyFiveStepsOf200msAndEndsAtTheSixtySixth) {
  const TurnCase cases[] = {  // wind 10 kn, SWA 150: 60 degrees in 65 steps
      {"port tack to starboard", "10", "220", +1},
      {"starboard tack to port", "70", "220", -1},
      {"across north to starboard", "350", "200", +1},  // 350 -> 50
      {"across north to port", "50", "200", -1},        // 50 -> 350
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.start(c.hdg, "10", c.twd);
    ASSERT_NEAR(D(r.s().SWA), 150.0, 1e-9);
    const double h0 = std::stod(c.hdg);
    const double da = 60.0 / 65;  // 0.923 degree a step
    r.model.SBtEmpClick();
    EXPECT_TRUE(r.s().EmpEncour);
    EXPECT_EQ(r.driving(), "TimerE");
    EXPECT_NEAR(D(r.s().Da), da, 1e-9);
    EXPECT_EQ(r.f("BtBestHaul").picture(), "JEMPANNE.bmp");
    for (int k = 1; k <= 65; ++k) {
      SCOPED_TRACE(k);
      const t_vect og = r.s().OG;
      const long double lat = r.s().Pact.lat;
      r.clock.advance(200);
      EXPECT_NEAR(D(r.s().BS.argt), Compass(h0 + c.sign * k * da), 1e-9);
      EXPECT_EQ(r.s().t, k);
      EXPECT_TRUE(r.s().EmpEncour);
      // A fifth of a second's run: on a rhumb line d cos(course) minutes of latitude, d in miles.
      EXPECT_NEAR(D(r.s().Pact.lat - lat) * 60, D(og.mdl) / 18000 * std::cos(D(og.argt) * std::numbers::pi / 180),
                  1e-12);
    }
    r.clock.advance(200);
    EXPECT_FALSE(r.s().EmpEncour);
    EXPECT_EQ(r.s().t, 65);
    EXPECT_NEAR(D(r.s().HDG), Compass(h0 + c.sign * 60), 1e-9);
    EXPECT_NEAR(D(r.s().SWA), 150.0, 1e-9);
    EXPECT_EQ(r.driving(), "TimerAT");
    EXPECT_EQ(r.f("BtBestHaul").picture(), "vamp.bmp");
  }
}

// ---- One manoeuvre at a time.

struct Command {
  const char* button;
  void (VentrelModel::*click)();
  bool SimState::*running;
  const char* timer;
};
const Command kCommands[] = {{"SBtVire", &VentrelModel::SBtVireClick, &SimState::VireEncour, "TimerV"},
                             {"SBtEmp", &VentrelModel::SBtEmpClick, &SimState::EmpEncour, "TimerE"},
                             {"BtBestHaul", &VentrelModel::BtBestHaulClick, &SimState::RecENCour, "TimerPres"}};

struct Sailed { std::int64_t endMs = -1; long double heading = 0; std::int32_t ticks = 0; };

// Starts `first` at SWA 45 with two of the three variations on, clicks `second`
// (and the pilot buttons) 3 s later when given, and sails until the manoeuvre ends.
Sailed Sail(Rig& r, const Command& first, const Command* second) {
  r.unrecorded();
  r.start("265", "10", "220");
  r.seconds(1);
  Params& p = r.model.params();
  p.ChkB_HDG = true;
  p.ChkB_TWS = false;
  p.ChkB_TWD = true;
  (r.model.*first.click)();
  EXPECT_TRUE(r.s().*first.running);
  r.seconds(3);
  if (second) {
    (r.model.*second->click)();
    r.model.SpBtStdBYClick();
    r.model.SpBtAUTOClick();
    EXPECT_EQ(r.s().ModPil, TModPil::AUTO);
  }
  for (int ms = 0; ms < 600000 && r.s().*first.running; ms += 100) {
    EXPECT_EQ(r.driving(), first.timer);
    for (const Command& other : kCommands) {
      if (&other == &first) continue;
      EXPECT_FALSE(r.s().*other.running);
      EXPECT_FALSE(r.f(other.button).enabled()) << other.button;
    }
    for (const char* n : {"SpBtAUTO", "SpBtStdBY", "SpBtPauseRes"}) EXPECT_FALSE(r.f(n).enabled()) << n;
    r.clock.advance(100);
  }
  EXPECT_FALSE(r.s().*first.running);
  // The variations as they were before the manoeuvre.
  EXPECT_TRUE(p.ChkB_HDG);
  EXPECT_FALSE(p.ChkB_TWS);
  EXPECT_TRUE(p.ChkB_TWD);
  EXPECT_EQ(r.driving(), "TimerAT");
  return {r.clock.now(), r.s().HDG, r.s().t};
}

// A second click, on any manoeuvre or pilot button, changes nothing: the
// manoeuvre ends as it would have without it.
TEST(OneAtATime, ASecondClickIsIgnored) {
  for (const Command& running : kCommands) {
    Rig plain;
    const Sailed expected = Sail(plain, running, nullptr);
    for (const Command& second : kCommands) {
      SCOPED_TRACE(std::string(running.button) + " then " + second.button);
      Rig r;
      const Sailed got = Sail(r, running, &second);
      EXPECT_EQ(got.endMs, expected.endMs);
      EXPECT_EQ(got.heading, expected.heading);
      EXPECT_EQ(got.ticks, expected.ticks);
    }
  }
}

// While another activity holds the tick, or no run goes on, the manoeuvre
// commands do nothing.
TEST(OneAtATime, NoManoeuvreWhileTheTickIsHeldElsewhere) {
  const std::pair<const char*, void (*)(Rig&)> cases[] = {
      {"before the first start", [](Rig&) {}},
      {"while paused",
       [](Rig& r) {
         r.start("265");
         r.model.SpBtPauseResClick();
       }},
      {"in standby",
       [](Rig& r) {
         r.start("265");
         r.model.SpBtStdBYClick();
       }},
      {"while the current turns",
       [](Rig& r) {
         r.f("RadioGTypC").setItemIndex(1);
         r.start("265", "10", "220", "1.5");
         ASSERT_TRUE(r.model.timers().TimerC.enabled());
       }},
  };
  for (const auto& [what, setUp] : cases) {
    for (const Command& cmd : kCommands) {
      SCOPED_TRACE(std::string(what) + ": " + cmd.button);
      Rig r;
      setUp(r);
      r.model.params().ChkB_HDG = true;
      const std::string driving = r.driving();
      (r.model.*cmd.click)();
      EXPECT_FALSE(r.s().*cmd.running);
      EXPECT_EQ(r.driving(), driving);
      EXPECT_TRUE(r.model.params().ChkB_HDG);
    }
  }
}

}  // namespace
}  // namespace ventrel
