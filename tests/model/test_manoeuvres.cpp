// Manoeuvres on the virtual clock: tack, gybe, hand steering and AUTO, the
// best-haul search, and one manoeuvre at a time.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::Compass;
using testing::D;
using testing::Rig;

struct TurnCase { const char* name; const char* hdg; const char* twd; double sign; };  // sign +1: to starboard

// Wind 10 kn, SWA 45 on the test polar. By hand: the speed at 45 degrees is
// 4.3 + 1.3 x 5/12 = 4.841667 kn; the best upwind angle is 49 1/3 degrees (sampled
// by thirds), at 4.3 + 1.3 x 28/36 = 5.311111 kn. The factors of the tack table for
// steps 1 to 24 apply to SpMax (1-7), SpMin = 0.3377 x the starting speed (8-13) and
// the starting speed (14-24); they are rounded to four places.
TEST(Tack, TurnsThirteenSecondsAtTheSpeedsOfTheTableAndEndsAtTheTwentyFifthStep) {
  const double sp45 = 4.3 + 1.3 * 5 / 12, spMax = 4.3 + 1.3 * 28 / 36, spMin = 0.3377 * sp45;
  const double factors[] = {1.0013, 0.9837, 0.9473, 0.8783, 0.7629, 0.5873, 0.3377, 1.0,
                            1.1314, 1.2327, 1.3542, 1.4959, 1.6578, 0.6647, 0.7467, 0.8181,
                            0.8789, 0.9291, 0.9687, 0.9977, 1.0161, 1.0239, 1.0211, 1.0077};
  const TurnCase cases[] = {
      {"port tack to port", "265", "220", -1},
      {"starboard tack to starboard", "175", "220", +1},
      {"across north to port", "45", "0", -1},       // 45 -> 315
      {"across north to starboard", "315", "0", +1},  // 315 -> 45
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.unrecorded();
    r.start(c.hdg, "10", c.twd);
    ASSERT_NEAR(D(r.s().SWA), 45.0, 1e-9);
    ASSERT_NEAR(D(r.s().BS.mdl), sp45, 1e-12);
    const double h0 = std::stod(c.hdg);
    const double da = 90.0 / 13;  // 6.923 degrees a second
    const double final = Compass(h0 + c.sign * 90);
    r.model.params().varyHeading = true;
    r.model.SBtVireClick();
    EXPECT_TRUE(r.s().VireEncour);
    EXPECT_EQ(r.driving(), "TimerV");
    EXPECT_FALSE(r.model.params().varyHeading);
    EXPECT_NEAR(D(r.s().Da), da, 1e-9);
    EXPECT_EQ(r.s().cvir, c.sign > 0 ? TurnSide::atribord : TurnSide::ababord);
    EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "JEVIRE.bmp");
    EXPECT_NEAR(D(r.s().SpMax), spMax, 1e-12);
    EXPECT_NEAR(D(r.s().SpDep), sp45, 1e-12);
    EXPECT_NEAR(D(r.s().SpMin), spMin, 1e-12);
    for (int k = 1; k <= 25; ++k) {
      SCOPED_TRACE(k);
      const auto before = r.s().Pact;
      const std::string shown = r.f(Field::HeadingInput).text();
      r.seconds(1);
      EXPECT_NEAR(D(r.s().BS.argt), k <= 13 ? Compass(h0 + c.sign * k * da) : final, 1e-9);
      EXPECT_GE(r.s().BS.argt, 0);
      EXPECT_LE(r.s().BS.argt, 360);
      if (k <= 24) {
        ASSERT_EQ(r.s().tv, k);
        const double base = k <= 7 ? spMax : k <= 13 ? spMin : sp45;
        EXPECT_NEAR(D(r.s().BS.mdl), base * factors[k - 1], 5.1e-5 * base);
      }
      // No tick at the dead point (step 8) nor at the end (step 25): the boat turns, the run stands.
      EXPECT_EQ(r.s().t, k < 8 ? k : std::min(k - 1, 23));
      EXPECT_EQ(r.s().Pact.lat != before.lat || r.s().Pact.long_ != before.long_, k != 8 && k != 25);
      if (k == 8) {
        EXPECT_EQ(r.s().BS.mdl, r.s().SpMin);
        EXPECT_EQ(r.f(Field::HeadingInput).text(), shown);
      }
      EXPECT_EQ(r.s().VireEncour, k < 25);
    }
    EXPECT_NEAR(D(r.s().HDG), final, 1e-9);
    EXPECT_EQ(r.driving(), "TimerAT");
    EXPECT_TRUE(r.model.params().varyHeading);
    EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "vamp.bmp");
    EXPECT_NEAR(D(r.s().SWA), 45.0, 1e-9);  // on the new tack
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
    r.unrecorded();
    r.start(c.hdg, "10", c.twd);
    ASSERT_NEAR(D(r.s().SWA), 150.0, 1e-9);
    const double h0 = std::stod(c.hdg);
    const double da = 60.0 / 65;  // 0.923 degree a step
    r.model.SBtEmpClick();
    EXPECT_TRUE(r.s().EmpEncour);
    EXPECT_EQ(r.driving(), "TimerE");
    EXPECT_NEAR(D(r.s().Da), da, 1e-9);
    EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "JEMPANNE.bmp");
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
    EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "vamp.bmp");
  }
}

// ---- Hand steering and AUTO.

TEST(Steering, TheHeadingTurnsByFifteenMinusTheBarEverySecond) {
  struct Case { const char* hdg; int bar; std::vector<double> headings; };  // headings after each second
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
    r.f(Field::HelmBar).setPosition(c.bar);
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
  // The mode label before and after the window is painted, the heading's colour, the commands enabled.
  struct Mode { void (VentrelModel::*click)(); TModPil mode; const char* label; const char* painted; Rgb heading; };
  const Mode modes[] = {{&VentrelModel::SpBtStdBYClick, TModPil::STDBY, "STDBY", " STDBY", {0, 0, 255}},
                        {&VentrelModel::SpBtAUTOClick, TModPil::AUTO, "AUTO", " AUTO", {128, 128, 128}}};
  Rig r;
  r.start();
  r.seconds(1);
  for (const Mode& m : modes) {
    SCOPED_TRACE(m.label);
    (r.model.*m.click)();
    EXPECT_EQ(r.s().ModPil, m.mode);
    EXPECT_EQ(r.f(Field::PilotMode).text(), m.label);
    EXPECT_EQ(r.f(Field::HeadingBox).fontColour(), m.heading);
    EXPECT_EQ(r.f(Field::StandbyButton).checked(), m.mode == TModPil::STDBY);
    EXPECT_EQ(r.f(Field::AutoButton).checked(), m.mode == TModPil::AUTO);
    EXPECT_EQ(r.f(Field::HelmBar).sliderVisible(), m.mode == TModPil::STDBY);
    EXPECT_EQ(r.enabled({Field::HelmBar, Field::TackButton, Field::GybeButton, Field::BestHaulButton}),
              m.mode == TModPil::AUTO ? "TackButton GybeButton BestHaulButton" : "HelmBar");
    EXPECT_EQ(r.driving(), m.mode == TModPil::AUTO ? "TimerAT" : "TimerB");
    r.model.FormPaint();
    EXPECT_EQ(r.f(Field::PilotMode).text(), m.painted);
  }
}

TEST(Autopilot, AutoHoldsTheLastHeadingSetByHandOnANewLegToTheWaypoint) {
  Rig r;
  r.start("335");
  r.model.SpBtStdBYClick();
  r.f(Field::HelmBar).setPosition(10);
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
  EXPECT_EQ(r.f(Field::HeadingBox).text(), " 345");
}

TEST(Autopilot, BeforeTheFirstStartAutoStartsTheRunAndStandbyWaitsForTheStart) {
  Rig r;
  ASSERT_TRUE(r.s().PremPasse);
  r.model.SpBtAUTOClick();
  EXPECT_FALSE(r.s().PremPasse);
  EXPECT_EQ(r.driving(), "TimerAT");
  EXPECT_EQ(r.s().HDG, 335);  // the typed heading
  EXPECT_TRUE(r.f(Field::PauseResumeButton).enabled());
  r.seconds(2);
  EXPECT_EQ(r.s().t, 2);

  // Regression: standby before any start switched the helm timer on, which ran
  // ticks on a state never filled from the fields and wrote zeros into them.
  Rig s;
  s.model.SpBtStdBYClick();
  EXPECT_EQ(s.driving(), "");
  s.seconds(3);
  EXPECT_EQ(s.s().t, 0);
  EXPECT_EQ(s.f(Field::HeadingInput).text(), "335");
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
    r.f(Field::HelmBar).setPosition(25);  // moved since: the slide starts from Ptb
    const std::int64_t t0 = r.clock.now();
    r.model.CentreHelmBar();
    EXPECT_EQ(r.clock.now(), t0);  // nothing waits
    for (std::size_t k = 0; k < positions.size(); ++k) {
      EXPECT_EQ(r.f(Field::HelmBar).position(), positions[k]) << k;
      EXPECT_FALSE(r.model.timers().TimerB.enabled()) << k;
      r.clock.advance(100);
    }
    // 100 ms after the bar reached the centre the helm drives again.
    EXPECT_EQ(r.clock.now(), t0 + 100 * static_cast<std::int64_t>(positions.size()));
    EXPECT_EQ(r.f(Field::HelmBar).position(), 15);
    EXPECT_EQ(r.s().Ptb, 15);
    EXPECT_TRUE(r.model.timers().TimerB.enabled());
    EXPECT_FALSE(r.model.timers().TimerZero.enabled());
  }
}

// ---- Best haul.

// A polar whose best upwind angle is its first row, 40 degrees, at 10 knots of
// wind: 6.0 kn at 40 degrees makes good 6 cos 40 = 4.5963 kn, and every wider
// angle less (at 40 1/3 degrees: 6.0056 cos 40.33 = 4.5780).
PolarTable FortyDegreePolar() {
  const long double at10[] = {6.0, 6.2, 6.4, 6.6, 6.7, 6.6, 6.0, 5.4, 4.6};
  const long double scale[] = {0.7, 1.0, 1.15, 1.2};  // for 6, 10, 16 and 25 kn
  std::vector<std::vector<long double>> speeds;
  for (long double s : at10) speeds.push_back({s * scale[0], s * scale[1], s * scale[2], s * scale[3]});
  return testing::MakePolar({40, 52, 60, 75, 90, 110, 135, 150, 180}, {6, 10, 16, 25}, speeds);
}

// A run in a steady wind of 10 kn from 220, on the heading `hdg`, one tick old
// (so that the surface wind is the true wind exactly).
void StartSteady(Rig& r, const std::string& hdg) {
  r.model.SetPolar(FortyDegreePolar());
  r.start(hdg, "10", "220");
  r.seconds(1);
}

TEST(BestHaul, FromFiftyThreeDegreesItLuffsSevenTimesAndEndsAtTheTwentyFourthSecond) {
  Rig r;
  StartSteady(r, "273");  // port tack, SWA 53
  ASSERT_NEAR(D(r.s().SWA), 53.0, 1e-12);
  EXPECT_EQ(r.f(Field::BestUpwindAngle).text(), "40.0");  // the optimum and its VMG, shown
  EXPECT_EQ(r.f(Field::BestUpwindVmg).text(), "4.60");
  EXPECT_EQ(r.f(Field::BestUpwindAngle).label(), "Meilleur TWA");
  const std::int32_t t0 = r.s().t;
  r.model.BtBestHaulClick();
  EXPECT_TRUE(r.s().RecENCour);
  EXPECT_EQ(r.driving(), "TimerPres");
  EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "jecherchevert.bmp");
  EXPECT_EQ(r.f(Field::BestHaulButton).text(), "");
  EXPECT_EQ(r.model.speed().AlphaOptWndWrd, 40);
  EXPECT_NEAR(D(r.s().SpMax), 6.0, 1e-12);
  EXPECT_NEAR(D(r.s().VMGauPres), 4.5962667, 1e-6);
  EXPECT_NEAR(D(r.s().Da), 53.0 / 26, 1e-12);
  EXPECT_NEAR(D(r.s().Dapp), 53.0 / 676, 1e-12);
  EXPECT_EQ(r.s().cvir, TurnSide::ababord);  // toward the wind from 220

  const double coarse = 53.0 / 26, fine = 53.0 / 676;
  for (int k = 1; k <= 24; ++k) {
    SCOPED_TRACE(k);
    r.seconds(1);
    // Seven luffing steps to 38.73, then the fine steps bear away.
    const double swa = k <= 7 ? 53 - k * coarse : 53 - 7 * coarse + (k - 7) * fine;
    EXPECT_NEAR(D(r.s().SWA), swa, 1e-9);
    EXPECT_NEAR(D(r.s().BS.argt), 220 + swa, 1e-9);
    EXPECT_EQ(r.s().t, t0 + k);
    if (k >= 8) {
      EXPECT_TRUE(r.s().switched_dir);
      EXPECT_NEAR(D(r.s().BS.mdl), 0.8 * 6.0, 1e-12);  // 80 % of SpMax
    }
    if (k == 4 || k == 5) {  // at 44.85, then 42.81
      EXPECT_EQ(r.f(Field::BestHaulButton).picture(), k == 4 ? "jecherchevert.bmp" : "japproche.bmp");
    }
    EXPECT_EQ(r.s().RecENCour, k < 24);
  }
  // Close-hauled at 40.06: the autopilot holds the final heading.
  EXPECT_NEAR(D(r.s().SWA), 40.0636095, 1e-6);
  EXPECT_NEAR(D(r.s().HDG), 260.0636095, 1e-6);
  EXPECT_TRUE(r.s().AuPres);
  EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "jesuisaupres.bmp");
  EXPECT_EQ(r.driving(), "TimerAT");
  const long double hdg = r.s().HDG;
  r.seconds(5);
  EXPECT_EQ(r.s().BS.argt, hdg);
  EXPECT_TRUE(r.s().AuPres);
  EXPECT_EQ(r.f(Field::BestHaulButton).picture(), "jesuisaupres.bmp");
}

// Every search ends. From higher than the optimum it bears away in fine steps at
// once, even from head to wind (regression: the step was 0 there and the search
// never ended; the fine step is now at least 1/676 of the way to the middle of the
// window). A search that cannot end close-hauled stops by itself, the boat left on
// the heading whose wind angle came nearest the optimum when it was sailed. Either
// way the variations are given back and the autopilot holds the heading.
TEST(BestHaul, EverySearchEndsOnTheOptimumOrOnTheNearestHeading) {
  struct Case {
    const char* name;
    const char* hdg;
    // Called after the click (second 0) and after each second of the search: the
    // wind moved by the test; none for the searches that end close-hauled.
    void (*meddle)(Rig& r, int second);
    int endSecond;   // the second at which the search is over
    double heading;  // where the boat is left
  };
  const Case cases[] = {
      // SWA 38: 36 fine steps of 38/676 to 40.024.
      {"from 38 degrees", "258", nullptr, 36, 258 + 36 * 38.0 / 676},
      // SWA 0: fine steps of 40.15/676 (on starboard tack), 673.5 of them to 40, the 674th ends it.
      {"from head to wind", "220", nullptr, 674, 220 - 674 * 40.15 / 676},
      // The wind veers by 2 degrees after the reversal: the wind angle jumps from
      // 38.81 to 40.89, past the window, at the 9th second. Nearest so far: the 6th
      // step, 40.77 (0.77 off).
      {"wind jump after the reversal", "273", [](Rig& r, int second) { if (second == 8) r.s().TWD = 218; }, 9,
       273 - 6 * 53.0 / 26},
      // The wind follows the bow, the angle widening by 0.1 degree a step (53.1,
      // 53.2, ...): the luffing never reaches the optimum; 52 steps, then the stop
      // at the 53rd second, back on the starting heading (13 degrees off, the nearest).
      {"wind angle not answering", "273",
       [](Rig& r, int second) { r.s().TWD = r.s().BS.argt - r.s().Da - 53 - 0.1L * (second + 1); }, 53, 273},
      // Pinching at 38 degrees, the wind follows the bow so that the angle
      // narrows by 0.01 degree a fine step (37.99, 37.98, ...): 1352 fine steps,
      // then the stop at the 1353rd second, back on the starting heading (2 off).
      {"wind angle not answering the fine steps", "258",
       [](Rig& r, int second) { r.s().TWD = r.s().BS.argt + 38.0L / 676 - 38 + 0.01L * (second + 1); }, 1353, 258},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig r;
    r.unrecorded();
    StartSteady(r, c.hdg);
    const double swa0 = std::stod(c.hdg) - 220;
    ASSERT_NEAR(D(r.s().SWA), swa0, 1e-12);
    Params& p = r.model.params();
    p.varyHeading = p.varyWindSpeed = p.varyWindDirection = true;
    r.model.BtBestHaulClick();
    ASSERT_TRUE(r.s().RecENCour);
    EXPECT_FALSE(p.varyHeading || p.varyWindSpeed || p.varyWindDirection);  // the wind and heading frozen
    if (c.meddle) c.meddle(r, 0);
    for (int second = 1; second < c.endSecond; ++second) {
      r.seconds(1);
      ASSERT_TRUE(r.s().RecENCour) << second;
      if (c.meddle) {
        c.meddle(r, second);
      } else if (second == 1) {  // the first fine step, at 80 % of SpMax
        const double step = std::max(swa0, 40.15 - swa0) / 676;
        EXPECT_TRUE(r.s().switched_dir);
        EXPECT_NEAR(D(r.s().Dapp), step, 1e-12);
        EXPECT_NEAR(D(r.s().SWA), swa0 + step, 1e-12);
        EXPECT_NEAR(D(r.s().BS.mdl), 4.8, 1e-12);
        if (swa0 > 0) {
          EXPECT_EQ(r.s().cvir, TurnSide::atribord);  // reversed: away from the wind
        }
      }
    }
    r.seconds(1);
    EXPECT_FALSE(r.s().RecENCour);
    EXPECT_EQ(r.driving(), "TimerAT");
    EXPECT_NEAR(D(r.s().HDG), c.heading, 1e-9);
    EXPECT_EQ(r.s().BS.argt, r.s().HDG);
    EXPECT_EQ(r.s().AuPres, !c.meddle);
    if (!c.meddle) {
      EXPECT_NEAR(D(r.s().SWA), std::fabs(c.heading - 220), 1e-9);
    }
    EXPECT_EQ(r.f(Field::BestHaulButton).picture(), c.meddle ? "vamp.bmp" : "jesuisaupres.bmp");
    EXPECT_TRUE(p.varyHeading && p.varyWindSpeed && p.varyWindDirection);
    EXPECT_EQ(r.enabled({Field::BestHaulButton, Field::AutoButton}), "BestHaulButton AutoButton");
  }
}

// ---- One manoeuvre at a time.

struct Command { Field button; void (VentrelModel::*click)(); bool SimState::*running; const char* timer; };
const Command kCommands[] = {{Field::TackButton, &VentrelModel::SBtVireClick, &SimState::VireEncour, "TimerV"},
                             {Field::GybeButton, &VentrelModel::SBtEmpClick, &SimState::EmpEncour, "TimerE"},
                             {Field::BestHaulButton, &VentrelModel::BtBestHaulClick, &SimState::RecENCour, "TimerPres"}};

struct Sailed { std::int64_t endMs = -1; long double heading = 0; std::int32_t ticks = 0; };

// Starts `first` at SWA 45 with two of the three variations on, clicks `second`
// (and the pilot buttons) 3 s later when given, and sails until the manoeuvre ends.
Sailed Sail(Rig& r, const Command& first, const Command* second) {
  r.unrecorded();
  r.start("265", "10", "220");
  r.seconds(1);
  Params& p = r.model.params();
  p.varyHeading = true;
  p.varyWindSpeed = false;
  p.varyWindDirection = true;
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
      EXPECT_FALSE(r.f(other.button).enabled()) << IdentifierOf(other.button);
    }
    for (Field n : {Field::AutoButton, Field::StandbyButton, Field::PauseResumeButton}) EXPECT_FALSE(r.f(n).enabled()) << IdentifierOf(n);
    r.clock.advance(100);
  }
  EXPECT_FALSE(r.s().*first.running);
  // The variations as they were before the manoeuvre.
  EXPECT_TRUE(p.varyHeading);
  EXPECT_FALSE(p.varyWindSpeed);
  EXPECT_TRUE(p.varyWindDirection);
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
      SCOPED_TRACE(std::string(IdentifierOf(running.button)) + " then " + std::string(IdentifierOf(second.button)));
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
  struct Case { const char* what; void (*setUp)(Rig&); const char* driving; };
  const Case cases[] = {
      {"before the first start", [](Rig&) {}, ""},
      {"while paused", [](Rig& r) { r.start("265"); r.model.SpBtPauseResClick(); }, ""},
      {"in standby", [](Rig& r) { r.start("265"); r.model.SpBtStdBYClick(); }, "TimerB"},
      {"while the current turns", [](Rig& r) { r.f(Field::CurrentKind).setItemIndex(1); r.start("265", "10", "220", "1.5"); },
       "TimerC"},
  };
  for (const Case& c : cases) {
    for (const Command& cmd : kCommands) {
      SCOPED_TRACE(std::string(c.what) + ": " + std::string(IdentifierOf(cmd.button)));
      Rig r;
      c.setUp(r);
      ASSERT_EQ(r.driving(), c.driving);
      r.model.params().varyHeading = true;
      (r.model.*cmd.click)();
      EXPECT_FALSE(r.s().*cmd.running);
      EXPECT_EQ(r.driving(), c.driving);
      EXPECT_TRUE(r.model.params().varyHeading);
    }
  }
}

}  // namespace
}  // namespace ventrel
