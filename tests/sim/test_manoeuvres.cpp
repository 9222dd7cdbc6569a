// Tack and gybe on the virtual clock, one manoeuvre at a time, and an hour of
// sailing through every manoeuvre.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "nav/manoeuvres.h"
#include "sim/wind.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::Rig;

double D(long double x) { return static_cast<double>(x); }

// h brought into [0, 360).
double Compass(double h) {
  double r = std::fmod(h, 360.0);
  return r < 0 ? r + 360 : r;
}

struct TurnCase {
  const char* name;
  const char* hdg;
  const char* twd;
  double sign;  // +1: to starboard (heading grows), -1: to port
};
void PrintTo(const TurnCase& c, std::ostream* os) { *os << c.name; }

// Wind 10 kn; SWA 45 in every case.
const TurnCase kTacks[] = {
    {"port_tack_turns_to_port", "265", "220", -1},
    {"starboard_tack_turns_to_starboard", "175", "220", +1},
    {"across_north_to_port", "45", "0", -1},       // 45 -> 315
    {"across_north_to_starboard", "315", "0", +1},  // 315 -> 45
};

class Tack : public ::testing::TestWithParam<TurnCase> {};

TEST_P(Tack, TurnsThirteenSecondsAndEndsAtTheTwentyFifthStep) {
  const TurnCase& c = GetParam();
  Rig r;
  r.start(c.hdg, "10", c.twd);
  ASSERT_NEAR(D(r.s().SWA), 45.0, 1e-9);
  const double h0 = std::stod(c.hdg);
  const double da = 90.0 / 13;  // 6.923 degrees a second
  const double final = Compass(h0 + c.sign * 90);
  r.model.params().ChkB_HDG = true;
  r.model.SBtVireClick();
  EXPECT_TRUE(r.s().VireEncour);
  EXPECT_TRUE(r.model.timers().TimerV.enabled());
  EXPECT_FALSE(r.model.timers().TimerAT.enabled());
  EXPECT_FALSE(r.model.params().ChkB_HDG);
  EXPECT_NEAR(D(r.s().Da), da, 1e-9);
  EXPECT_EQ(r.s().cvir, c.sign > 0 ? TCvir::atribord : TCvir::ababord);
  EXPECT_EQ(r.f("BtBestHaul").picture(), "JEVIRE.bmp");

  for (int k = 1; k <= 25; ++k) {
    SCOPED_TRACE(k);
    r.seconds(1);
    const double expected = k <= 13 ? Compass(h0 + c.sign * k * da) : final;
    EXPECT_NEAR(D(r.s().BS.argt), expected, 1e-9);
    EXPECT_GE(r.s().BS.argt, 0);
    EXPECT_LE(r.s().BS.argt, 360);
    // No tick at the dead point (step 8) nor at the end (step 25).
    EXPECT_EQ(r.s().t, k < 8 ? k : std::min(k - 1, 23));
    EXPECT_EQ(r.s().VireEncour, k < 25);
  }
  EXPECT_NEAR(D(r.s().HDG), final, 1e-9);
  EXPECT_FALSE(r.model.timers().TimerV.enabled());
  EXPECT_TRUE(r.model.timers().TimerAT.enabled());
  EXPECT_TRUE(r.model.params().ChkB_HDG);
  EXPECT_EQ(r.f("BtBestHaul").picture(), "vamp.bmp");
  // On the new tack the wind angle is 45 again.
  EXPECT_NEAR(D(r.s().SWA), 45.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, Tack, ::testing::ValuesIn(kTacks),
                         [](const ::testing::TestParamInfo<TurnCase>& i) { return std::string(i.param.name); });

// The speed through a tack at SWA 45 in 10 kn on the test polar, from the
// rounded factors of the tack table. By hand: the speed at 45 degrees is
// 4.3 + 1.3 x 5/12 = 4.841667 kn; the best upwind angle is 49 1/3 degrees
// (sampled by thirds), at 4.3 + 1.3 x 28/36 = 5.311111 kn.
TEST(TackSpeed, FollowsTheSpeedLossTable) {
  const double sp45 = 4.3 + 1.3 * 5 / 12;
  const double spMax = 4.3 + 1.3 * 28 / 36;
  const double spMin = 0.3377 * sp45;
  struct Step {
    int tv;
    double base;
    double factor;
  };
  const Step steps[] = {
      {1, spMax, 1.0013},  {2, spMax, 0.9837},  {3, spMax, 0.9473},  {4, spMax, 0.8783},  {5, spMax, 0.7629},
      {6, spMax, 0.5873},  {7, spMax, 0.3377},  {8, spMin, 1.0},     {9, spMin, 1.1314},  {10, spMin, 1.2327},
      {11, spMin, 1.3542}, {12, spMin, 1.4959}, {13, spMin, 1.6578}, {14, sp45, 0.6647},  {15, sp45, 0.7467},
      {16, sp45, 0.8181},  {17, sp45, 0.8789},  {18, sp45, 0.9291},  {19, sp45, 0.9687},  {20, sp45, 0.9977},
      {21, sp45, 1.0161},  {22, sp45, 1.0239},  {23, sp45, 1.0211},  {24, sp45, 1.0077},
  };
  Rig r;
  r.start("265", "10", "220");
  r.seconds(1);
  ASSERT_NEAR(D(r.s().BS.mdl), sp45, 1e-12);
  r.model.SBtVireClick();
  EXPECT_NEAR(D(r.s().SpMax), spMax, 1e-12);
  EXPECT_NEAR(D(r.s().SpDep), sp45, 1e-12);
  EXPECT_NEAR(D(r.s().SpMin), spMin, 1e-12);
  for (const Step& st : steps) {
    SCOPED_TRACE(st.tv);
    r.seconds(1);
    ASSERT_EQ(r.s().tv, st.tv);
    // The factors are rounded to four places.
    EXPECT_NEAR(D(r.s().BS.mdl), st.base * st.factor, 5.1e-5 * st.base);
  }
}

// Wider than the polar's first angle the speed is the polar's during the first
// steps: at SWA 60 the first two steps leave 50.8 and 41.5 degrees.
TEST(TackSpeed, WiderThanThePolarTheFirstStepsTakeThePolarSpeed) {
  Rig r;
  r.start("280", "10", "220");
  r.seconds(1);
  r.model.SBtVireClick();
  const double da = 120.0 / 13;
  const double sp40 = 4.3, sp52 = 5.6;
  for (int k = 1; k <= 2; ++k) {
    r.seconds(1);
    const double swa = 60 - k * da;
    ASSERT_NEAR(D(r.s().SWA), swa, 1e-9);
    EXPECT_NEAR(D(r.s().BS.mdl), sp40 + (sp52 - sp40) * (swa - 40) / 12, 1e-9) << k;
  }
  r.seconds(1);  // 32.3 degrees: pinching
  EXPECT_NEAR(D(r.s().BS.mdl), D(r.s().SpMax) * 0.9473, 5.1e-5 * D(r.s().SpMax));
}

TEST(Tack, AtTheDeadPointTheBoatTurnsButTheRunDoesNotAdvance) {
  Rig r;
  r.start("265", "10", "220");
  r.seconds(1);
  r.model.SBtVireClick();
  r.seconds(7);
  const SimState before = r.s();
  const std::string shown = r.f("EdHDG").text();
  r.seconds(1);
  EXPECT_EQ(r.s().tv, 8);
  EXPECT_NEAR(D(r.s().BS.argt), D(before.BS.argt) - 90.0 / 13, 1e-9);
  EXPECT_EQ(r.s().BS.mdl, r.s().SpMin);
  EXPECT_EQ(r.s().t, before.t);
  EXPECT_EQ(r.s().Pact.lat, before.Pact.lat);
  EXPECT_EQ(r.s().Pact.long_, before.Pact.long_);
  EXPECT_EQ(r.f("EdHDG").text(), shown);
  r.seconds(1);
  EXPECT_EQ(r.s().t, before.t + 1);
  EXPECT_NE(r.s().Pact.lat, before.Pact.lat);
}

// Wind 10 kn; SWA 150 in every case: 60 degrees in 65 steps.
const TurnCase kGybes[] = {
    {"port_tack_turns_to_starboard", "10", "220", +1},
    {"starboard_tack_turns_to_port", "70", "220", -1},
    {"across_north_to_starboard", "350", "200", +1},  // 350 -> 50
    {"across_north_to_port", "50", "200", -1},        // 50 -> 350
};

class Gybe : public ::testing::TestWithParam<TurnCase> {};

TEST_P(Gybe, TurnsSixtyFiveStepsOf200msAndEndsAtTheSixtySixth) {
  const TurnCase& c = GetParam();
  Rig r;
  r.start(c.hdg, "10", c.twd);
  ASSERT_NEAR(D(r.s().SWA), 150.0, 1e-9);
  const double h0 = std::stod(c.hdg);
  const double da = 60.0 / 65;  // 0.923 degree a step
  r.model.SBtEmpClick();
  EXPECT_TRUE(r.s().EmpEncour);
  EXPECT_TRUE(r.model.timers().TimerE.enabled());
  EXPECT_FALSE(r.model.timers().TimerAT.enabled());
  EXPECT_NEAR(D(r.s().Da), da, 1e-9);
  EXPECT_EQ(r.f("BtBestHaul").picture(), "JEMPANNE.bmp");
  for (int k = 1; k <= 65; ++k) {
    SCOPED_TRACE(k);
    r.clock.advance(200);
    EXPECT_NEAR(D(r.s().BS.argt), Compass(h0 + c.sign * k * da), 1e-9);
    EXPECT_EQ(r.s().t, k);
    EXPECT_TRUE(r.s().EmpEncour);
  }
  r.clock.advance(200);
  EXPECT_FALSE(r.s().EmpEncour);
  EXPECT_EQ(r.s().t, 65);
  EXPECT_NEAR(D(r.s().HDG), Compass(h0 + c.sign * 60), 1e-9);
  EXPECT_NEAR(D(r.s().SWA), 150.0, 1e-9);
  EXPECT_FALSE(r.model.timers().TimerE.enabled());
  EXPECT_TRUE(r.model.timers().TimerAT.enabled());
  EXPECT_EQ(r.f("BtBestHaul").picture(), "vamp.bmp");
}

INSTANTIATE_TEST_SUITE_P(Cases, Gybe, ::testing::ValuesIn(kGybes),
                         [](const ::testing::TestParamInfo<TurnCase>& i) { return std::string(i.param.name); });

// A gybe step moves the boat a fifth of a second's run: on a rhumb line the
// latitude changes by d cos(course) minutes of arc, d in nautical miles.
TEST(Gybe, EachStepMovesTheBoatAFifthOfASecond) {
  Rig r;
  r.start("10", "10", "220");
  r.seconds(1);
  r.model.SBtEmpClick();
  for (int k = 0; k < 3; ++k) {
    const t_vect og = r.s().OG;
    const long double lat = r.s().Pact.lat;
    r.clock.advance(200);
    const double d = D(og.mdl) / 18000;
    EXPECT_NEAR(D(r.s().Pact.lat - lat) * 60, d * std::cos(D(og.argt) * std::numbers::pi / 180), 1e-12) << k;
  }
}

// ---- One manoeuvre at a time.

enum class Cmd { Tack, Gybe, BestHaul };

void Click(Rig& r, Cmd c) {
  switch (c) {
    case Cmd::Tack:
      r.model.SBtVireClick();
      break;
    case Cmd::Gybe:
      r.model.SBtEmpClick();
      break;
    case Cmd::BestHaul:
      r.model.BtBestHaulClick();
      break;
  }
}

bool Running(Rig& r, Cmd c) {
  switch (c) {
    case Cmd::Tack:
      return r.s().VireEncour;
    case Cmd::Gybe:
      return r.s().EmpEncour;
    case Cmd::BestHaul:
      return r.s().RecENCour;
  }
  return false;
}

const char* ButtonOf(Cmd c) {
  switch (c) {
    case Cmd::Tack:
      return "SBtVire";
    case Cmd::Gybe:
      return "SBtEmp";
    case Cmd::BestHaul:
      return "BtBestHaul";
  }
  return "";
}

int StepTimersOn(Rig& r) {
  const ModelTimers& t = r.model.timers();
  return t.TimerV.enabled() + t.TimerE.enabled() + t.TimerPres.enabled();
}

struct Sailed {
  std::int64_t endMs = -1;
  long double heading = 0;
  std::int32_t ticks = 0;
};

// Starts `first` at SWA 45 with two of the three variations on, clicks `second`
// (and the pilot buttons) 3 s later when given, and sails until the manoeuvre ends.
Sailed Sail(Rig& r, Cmd first, const Cmd* second) {
  r.start("265", "10", "220");
  r.seconds(1);
  Params& p = r.model.params();
  p.ChkB_HDG = true;
  p.ChkB_TWS = false;
  p.ChkB_TWD = true;
  Click(r, first);
  EXPECT_TRUE(Running(r, first));
  r.seconds(3);
  if (second) {
    Click(r, *second);
    r.model.SpBtStdBYClick();
    r.model.SpBtAUTOClick();
    EXPECT_EQ(r.s().ModPil, TModPil::AUTO);
    EXPECT_FALSE(r.model.timers().TimerB.enabled());
  }
  Sailed out;
  for (int ms = 0; ms < 600000 && Running(r, first); ms += 100) {
    EXPECT_EQ(StepTimersOn(r), 1);
    EXPECT_FALSE(r.model.timers().TimerAT.enabled());
    for (Cmd other : {Cmd::Tack, Cmd::Gybe, Cmd::BestHaul}) {
      if (other == first) continue;
      EXPECT_FALSE(Running(r, other));
      EXPECT_FALSE(r.f(ButtonOf(other)).enabled()) << ButtonOf(other);
    }
    for (const char* n : {"SpBtAUTO", "SpBtStdBY", "SpBtPauseRes"}) EXPECT_FALSE(r.f(n).enabled()) << n;
    r.clock.advance(100);
  }
  EXPECT_FALSE(Running(r, first));
  out.endMs = r.clock.now();
  out.heading = r.s().HDG;
  out.ticks = r.s().t;
  // The variations as they were before the manoeuvre.
  EXPECT_TRUE(p.ChkB_HDG);
  EXPECT_FALSE(p.ChkB_TWS);
  EXPECT_TRUE(p.ChkB_TWD);
  EXPECT_TRUE(r.model.timers().TimerAT.enabled());
  EXPECT_EQ(StepTimersOn(r), 0);
  return out;
}

struct GuardCase {
  const char* name;
  Cmd running;
  Cmd second;
};
void PrintTo(const GuardCase& c, std::ostream* os) { *os << c.name; }

const GuardCase kGuards[] = {
    {"tack_then_tack", Cmd::Tack, Cmd::Tack},
    {"tack_then_gybe", Cmd::Tack, Cmd::Gybe},
    {"tack_then_best_haul", Cmd::Tack, Cmd::BestHaul},
    {"gybe_then_tack", Cmd::Gybe, Cmd::Tack},
    {"gybe_then_gybe", Cmd::Gybe, Cmd::Gybe},
    {"gybe_then_best_haul", Cmd::Gybe, Cmd::BestHaul},
    {"best_haul_then_tack", Cmd::BestHaul, Cmd::Tack},
    {"best_haul_then_gybe", Cmd::BestHaul, Cmd::Gybe},
    {"best_haul_then_best_haul", Cmd::BestHaul, Cmd::BestHaul},
};

class OneAtATime : public ::testing::TestWithParam<GuardCase> {};

// A second click, on any manoeuvre or pilot button, changes nothing: the
// manoeuvre ends as it would have without it.
TEST_P(OneAtATime, ASecondClickIsIgnored) {
  const GuardCase& c = GetParam();
  Rig plain;
  const Sailed expected = Sail(plain, c.running, nullptr);
  Rig r;
  const Sailed got = Sail(r, c.running, &c.second);
  EXPECT_EQ(got.endMs, expected.endMs);
  EXPECT_EQ(got.heading, expected.heading);
  EXPECT_EQ(got.ticks, expected.ticks);
}

INSTANTIATE_TEST_SUITE_P(Cases, OneAtATime, ::testing::ValuesIn(kGuards),
                         [](const ::testing::TestParamInfo<GuardCase>& i) { return std::string(i.param.name); });

struct HeldCase {
  const char* name;
  std::function<void(Rig&)> setUp;
};

// While another activity holds the tick, or no run goes on, the manoeuvre
// commands do nothing.
TEST(OneAtATime, NoManoeuvreWhileTheTickIsHeldElsewhere) {
  const HeldCase cases[] = {
      {"before_the_first_start", [](Rig&) {}},
      {"while_paused",
       [](Rig& r) {
         r.start("265");
         r.model.SpBtPauseResClick();
       }},
      {"in_standby",
       [](Rig& r) {
         r.start("265");
         r.model.SpBtStdBYClick();
       }},
      {"while_the_current_turns",
       [](Rig& r) {
         r.f("RadioGTypC").setItemIndex(1);
         r.start("265", "10", "220", "1.5");
         ASSERT_TRUE(r.model.timers().TimerC.enabled());
       }},
  };
  for (const HeldCase& c : cases) {
    for (Cmd cmd : {Cmd::Tack, Cmd::Gybe, Cmd::BestHaul}) {
      SCOPED_TRACE(c.name);
      Rig r;
      c.setUp(r);
      r.model.params().ChkB_HDG = true;
      Click(r, cmd);
      EXPECT_FALSE(Running(r, cmd));
      EXPECT_EQ(StepTimersOn(r), 0);
      EXPECT_TRUE(r.model.params().ChkB_HDG);
    }
  }
}

// ---- An hour at sea.

bool Finite(const t_vect& v) { return std::isfinite(v.mdl) && std::isfinite(v.argt); }

// In turn, every 30 s: the manoeuvre the wind angle offers (a tack, upwind),
// bearing away by hand in STDBY, the manoeuvre offered (now a gybe), a best-haul
// search back upwind; with the three variations on and the current turning by
// half a turn every minute.
TEST(LongSail, AnHourOfManoeuvresEndsEveryOneAndKeepsTheState) {
  Rig r;
  Params& p = r.model.params();
  p.ChkB_HDG = p.ChkB_TWS = p.ChkB_TWD = true;
  r.f("RadioGTypC").setItemIndex(1);
  r.start("335", "14", "220", "1.2", "70");
  const ModelTimers& tm = r.model.timers();

  int started[3] = {0, 0, 0}, ended[3] = {0, 0, 0};
  int steered = 0, closeHauled = 0;
  int action = 0;
  std::int64_t nextAction = 10000, backToAuto = -1, startedAt = 0;
  int running = -1;  // index of the manoeuvre in progress
  const std::int64_t limits[3] = {25000, 13200, (kBestHaulMaxApproach + kBestHaulMaxFine + 2) * 1000LL};

  while (r.clock.now() < 3600000) {
    r.clock.advance(1000);
    const std::int64_t now = r.clock.now();
    r.canvas.clear();
    r.depth.clear();
    r.boat.angles.clear();
    r.nmeaLines.clear();
    const SimState& s = r.s();

    for (const t_vect* v : {&s.BS, &s.TW, &s.CUR, &s.SW, &s.AW, &s.OG}) ASSERT_TRUE(Finite(*v)) << now;
    for (long double x : {s.HDG, s.SWA, s.AWA, s.TWA, s.Pact.lat, s.Pact.long_, s.dbs}) {
      ASSERT_TRUE(std::isfinite(x)) << now;
    }
    ASSERT_GE(s.BS.argt, 0) << now;
    ASSERT_LT(s.BS.argt, 363) << now;  // above 360 only by the heading variation
    // Exactly one timer runs the tick.
    ASSERT_EQ(tm.TimerAT.enabled() + tm.TimerB.enabled() + tm.TimerC.enabled() + tm.TimerV.enabled() +
                  tm.TimerE.enabled() + tm.TimerPres.enabled(),
              1)
        << now;

    const bool flags[3] = {s.VireEncour, s.EmpEncour, s.RecENCour};
    if (running >= 0) {
      if (!flags[running]) {
        // The wind is frozen during a search: each one finds the optimum.
        if (running == 2 && s.AuPres) ++closeHauled;
        ++ended[running];
        running = -1;
      } else {
        ASSERT_LE(now - startedAt, limits[running]) << "manoeuvre " << running;
      }
    }
    if (running < 0) {
      // Between manoeuvres the variations are as they were set.
      ASSERT_TRUE(p.ChkB_HDG && p.ChkB_TWS && p.ChkB_TWD) << now;
    }

    if (backToAuto >= 0 && now >= backToAuto) {
      r.model.SpBtAUTOClick();
      ASSERT_EQ(s.ModPil, TModPil::AUTO);
      backToAuto = -1;
    }
    if (running >= 0 || backToAuto >= 0 || now < nextAction) continue;
    const int kind = action % 4;
    if (kind == 0 || kind == 2) {
      // The manoeuvre the wind angle offers; none while the current turns.
      if (r.f("SBtVire").enabled()) {
        r.model.SBtVireClick();
      } else if (r.f("SBtEmp").enabled()) {
        r.model.SBtEmpClick();
      }
    } else if (kind == 1) {
      // Bear away by 108 degrees (12 a second): to starboard on port tack.
      r.model.SpBtStdBYClick();
      r.f("TrackBarre").setPosition(AmureOf(s) == TAmure::babord ? 3 : 27);
      backToAuto = now + 9000;
      ++steered;
    } else {
      r.model.BtBestHaulClick();
    }
    const bool nowFlags[3] = {s.VireEncour, s.EmpEncour, s.RecENCour};
    for (int i = 0; i < 3; ++i) {
      if (nowFlags[i]) {
        running = i;
        startedAt = now;
        ++started[i];
      }
    }
    if (running >= 0 || kind == 1) {
      ++action;
      nextAction = now + 30000;
    }
  }
  // The last manoeuvre, if one runs still.
  const auto busy = [&r] { return r.s().VireEncour || r.s().EmpEncour || r.s().RecENCour; };
  for (std::int64_t k = 0; k < limits[2] / 1000 && busy(); ++k) r.seconds(1);
  if (running >= 0 && !busy()) {
    ++ended[running];
    if (running == 2 && r.s().AuPres) ++closeHauled;
  }

  for (int i = 0; i < 3; ++i) EXPECT_EQ(started[i], ended[i]) << i;
  EXPECT_GE(started[0], 10);
  EXPECT_GE(started[1], 10);
  EXPECT_GE(started[2], 10);
  EXPECT_EQ(closeHauled, started[2]);
  EXPECT_GE(steered, 10);
  EXPECT_TRUE(p.ChkB_HDG && p.ChkB_TWS && p.ChkB_TWD);
}

}  // namespace
}  // namespace ventrel
