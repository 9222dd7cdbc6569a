// One simulated hour on the design values with every variation on: everything
// stays finite and the distance to the waypoint follows the speed made good.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

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
  r.model.SetDrawing(nullptr, nullptr, nullptr);  // an hour of drawing records would only cost memory
  Params& p = r.model.params();
  p.ChkB_HDG = p.ChkB_TWS = p.ChkB_TWD = true;
  // The design fields: heading 335, 10 knots from 220, 51°04.14' N 2°23.08' E, "Att_Dover".
  r.model.BtCALCClick();
  ASSERT_EQ(r.w().Wp.P.nom, "Att_Dover");

  const long double dist0 = r.w().Wp.dist;
  long double dist = dist0;
  long double made = 0;     // distance closed by the speed made good
  long double worst = 0;    // largest gap between a tick's closing and its speed made good
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
  EXPECT_GT(dist0 - dist, 2);                          // the waypoint lies to windward, ahead on the beam
  EXPECT_EQ(r.s().HDG, 335);
  EXPECT_NEAR(static_cast<double>(r.s().BS.argt), 335, 3);
  EXPECT_TRUE(r.messages.empty());
}

}  // namespace
}  // namespace ventrel
