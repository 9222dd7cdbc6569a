// Simulated hours with every variation on: the design values on a straight
// course, then an hour of manoeuvres in a turning current.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "sim/wind.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::Rig;

bool AllFinite(const SimState& s, const WaypointState& w) {
  for (const t_vect& v : {s.BS, s.TW, s.CUR, s.SW, s.AW, s.OG}) {
    if (!std::isfinite(v.mdl) || !std::isfinite(v.argt)) return false;
  }
  for (long double x : {s.HDG, s.TWS, s.TWD, s.TWA, s.SWA, s.AWA, s.AWS, s.AWD, s.SOG, s.COG, s.H180, s.hdm,
                        s.Deriv, s.RelWA, s.dbs, s.Pact.lat, s.Pact.long_, w.Wp.dist, w.Wp.relev, w.WCV, w.ETE}) {
    if (!std::isfinite(x)) return false;
  }
  return true;
}

TEST(SailHour, DesignValuesWithEveryVariation) {
  Rig r;
  r.unrecorded();
  Params& p = r.model.params();
  p.ChkB_HDG = p.ChkB_TWS = p.ChkB_TWD = true;
  // The design fields: heading 335, 10 knots from 220, 51°04.14' N 2°23.08' E, "Att_Dover".
  r.model.BtCALCClick();
  ASSERT_EQ(r.w().Wp.P.nom, "Att_Dover");
  const long double dist0 = r.w().Wp.dist;
  long double dist = dist0;
  long double made = 0;   // distance closed by the speed made good
  long double worst = 0;  // largest gap between a tick's closing and its speed made good
  int notFinite = 0;
  for (int k = 1; k <= 3600; ++k) {
    r.seconds(1);
    if (!AllFinite(r.s(), r.w())) ++notFinite;
    const long double d = r.w().Wp.dist;
    worst = std::max(worst, std::fabs((dist - d) - r.w().WCV / 3600));
    made += r.w().WCV / 3600;
    dist = d;
    if (k % 600 == 0) {
      for (const std::string& n : r.model.panel().names()) {
        const std::string& text = r.model.panel()[n].text();
        EXPECT_EQ(text.find("nan"), std::string::npos) << n;
        EXPECT_EQ(text.find("inf"), std::string::npos) << n;
      }
    }
  }
  EXPECT_EQ(r.s().t, 3600);
  EXPECT_EQ(notFinite, 0);
  EXPECT_LT(worst, 1e-6);  // nautical miles per tick
  // Over the hour the second-order terms (the bearing taken at the end of each
  // step, the sideways part of the run) add up to about a ten-thousandth of a mile.
  EXPECT_NEAR(static_cast<double>(dist0 - dist), static_cast<double>(made), 1e-3);
  EXPECT_GT(dist0 - dist, 2);  // the waypoint lies to windward, ahead on the beam
  EXPECT_EQ(r.s().HDG, 335);
  EXPECT_NEAR(static_cast<double>(r.s().BS.argt), 335, 3);
  EXPECT_TRUE(r.messages.empty());
}

// In turn, every 30 s: the manoeuvre the wind angle offers (a tack, upwind),
// bearing away by hand in STDBY, the manoeuvre offered (now a gybe), a best-haul
// search back upwind; with the three variations on and the current turning by
// half a turn every minute.
TEST(SailHour, ManoeuvresEndEveryOneAndKeepTheState) {
  Rig r;
  r.unrecorded();
  Params& p = r.model.params();
  p.ChkB_HDG = p.ChkB_TWS = p.ChkB_TWD = true;
  r.f("RadioGTypC").setItemIndex(1);
  r.start("335", "14", "220", "1.2", "70");
  const ModelTimers& tm = r.model.timers();
  const SimState& s = r.s();

  int started[3] = {0, 0, 0}, ended[3] = {0, 0, 0};
  int steered = 0, closeHauled = 0, action = 0;
  std::int64_t nextAction = 10000, backToAuto = -1, startedAt = 0;
  int running = -1;  // tack, gybe or best haul in progress
  const std::int64_t limits[3] = {25000, 13200, (kBestHaulMaxApproach + kBestHaulMaxFine + 2) * 1000LL};
  const auto flags = [&s] { return std::array<bool, 3>{s.VireEncour, s.EmpEncour, s.RecENCour}; };
  const auto ending = [&] {
    if (running < 0 || flags()[running]) return false;
    if (running == 2 && s.AuPres) ++closeHauled;  // the wind frozen, each search finds the optimum
    ++ended[running];
    running = -1;
    return true;
  };

  while (r.clock.now() < 3600000) {
    r.seconds(1);
    const std::int64_t now = r.clock.now();
    SCOPED_TRACE(now);
    for (const t_vect* v : {&s.BS, &s.TW, &s.CUR, &s.SW, &s.AW, &s.OG}) {
      ASSERT_TRUE(std::isfinite(v->mdl) && std::isfinite(v->argt));
    }
    for (long double x : {s.HDG, s.SWA, s.AWA, s.TWA, s.Pact.lat, s.Pact.long_, s.dbs}) ASSERT_TRUE(std::isfinite(x));
    ASSERT_GE(s.BS.argt, 0);
    ASSERT_LT(s.BS.argt, 363);  // above 360 only by the heading variation
    // Exactly one timer runs the tick.
    ASSERT_EQ(tm.TimerAT.enabled() + tm.TimerB.enabled() + tm.TimerC.enabled() + tm.TimerV.enabled() +
                  tm.TimerE.enabled() + tm.TimerPres.enabled(),
              1);
    if (!ending() && running >= 0) {
      ASSERT_LE(now - startedAt, limits[running]) << "manoeuvre " << running;
    }
    if (running < 0) {
      ASSERT_TRUE(p.ChkB_HDG && p.ChkB_TWS && p.ChkB_TWD);  // as they were set
    }

    if (backToAuto >= 0 && now >= backToAuto) {
      r.model.SpBtAUTOClick();
      ASSERT_EQ(s.ModPil, TModPil::AUTO);
      backToAuto = -1;
    }
    if (running >= 0 || backToAuto >= 0 || now < nextAction) continue;
    const int kind = action % 4;
    if (kind == 1) {
      // Bear away by 108 degrees (12 a second): to starboard on port tack.
      r.model.SpBtStdBYClick();
      r.f("TrackBarre").setPosition(AmureOf(s) == TAmure::babord ? 3 : 27);
      backToAuto = now + 9000;
      ++steered;
    } else if (kind == 3) {
      r.model.BtBestHaulClick();
    } else if (r.f("SBtVire").enabled()) {  // the manoeuvre offered; none while the current turns
      r.model.SBtVireClick();
    } else if (r.f("SBtEmp").enabled()) {
      r.model.SBtEmpClick();
    }
    for (int i = 0; i < 3; ++i) {
      if (flags()[i]) {
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
  for (std::int64_t k = 0; k < limits[2] / 1000 && (s.VireEncour || s.EmpEncour || s.RecENCour); ++k) r.seconds(1);
  ending();

  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(started[i], ended[i]) << i;
    EXPECT_GE(started[i], 10) << i;
  }
  EXPECT_EQ(closeHauled, started[2]);
  EXPECT_GE(steered, 10);
  EXPECT_TRUE(p.ChkB_HDG && p.ChkB_TWS && p.ChkB_TWD);
}

}  // namespace
}  // namespace ventrel
