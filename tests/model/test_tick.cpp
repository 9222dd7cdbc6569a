// The one-second tick: dead reckoning, variations, display forms, scale and
// rings, erase-by-redraw, its failure handling; and simulated hours with every
// variation on, on the design values and through the manoeuvres.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <tuple>

#include "nav/number_read.h"
#include "sim/wind.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::D;
using testing::Rig;

long double Num(const std::string& text) { return Val_Str_Flott(text).value; }

// Places the boat and runs one tick over ground at `og`.
void TickFrom(Rig& r, long double lat, long double lg, t_vect og) {
  r.s().OG = og;
  r.s().Pact.lat = lat;
  r.s().Pact.long_ = lg;
  r.s().Memo_Pos = r.s().Pact;
  r.model.TimerATTimer();
}

TEST(Tick, WithoutCurrentTheSurfaceWindIsTheTrueWind) {
  Rig r;
  r.start();
  r.seconds(3);
  EXPECT_EQ(std::tuple(r.s().SW.mdl, r.s().SW.argt, r.s().SWA), std::tuple(r.s().TW.mdl, r.s().TW.argt, r.s().TWA));
  EXPECT_EQ(r.f(Field::DriftAngle).text() + r.f(Field::DriftSide).text(), "0°");
  EXPECT_EQ(r.f(Field::SpeedOverGround).text(), r.f(Field::BoatSpeed).text());
  EXPECT_GT(r.s().BS.mdl, 3);
  EXPECT_EQ(r.boat.angles.back(), -r.s().BS.argt);
  EXPECT_EQ(r.f(Field::TackIndicator).fontColour(), colours::kCream);  // on port tack (on starboard tack it is left as it is)
  // No green current, black surface wind nor fuchsia ground arrow.
  for (const DrawOp& o : r.canvas.ops) {
    if (o.kind == DrawKind::Polygon) {
      EXPECT_TRUE(o.brush != colours::kGreen && o.brush != colours::kBlack && o.brush != colours::kFuchsia);
    }
  }
}

TEST(Tick, OneTickMovesTheBoatAndShowsThePositionAndHeading) {
  // One second's run, in degrees of a great circle; along a parallel the longitude
  // changes by the run over the cosine of the latitude (twice the run at 60 N).
  const long double run6 = 6.0L / 3600 / 60, run10 = 10.0L / 3600 / 60;
  const long double east10 = run10 / std::cos(10 * std::numbers::pi_v<long double> / 180);
  struct Case {
    bool gybing;
    long double lat0, lg0, speed, course, hdg, dLat, dLong;
    int ns, ew;
    const char* degrees;  // of latitude and longitude
    const char* cap;
  };
  const Case cases[] = {
      {false, 50, 10, 6, 0, 0.4L, run6, 0, 0, 0, "50 10", " 000"},
      {false, 50, 10, 6, 180, 359.7L, -run6, 0, 0, 0, "49 10", " 360"},
      {false, 0, 10, 6, 90, 45, 0, run6, 0, 0, "0 10", " 045"},
      {false, 60, 10, 6, 90, 2.5L, 0, 2 * run6, 0, 0, "60 10", " 002"},
      {true, 50, 10, 6, 0, 335, run6 / 5, 0, 0, 0, "50 10", " 335"},  // a gybe step moves a fifth of a second
      // Over the equator and Greenwich the radio items flip.
      {false, 0.00001L, 10, 10, 180, 99.5L, -run10, 0, 1, 0, "0 10", " 100"},
      {false, -0.00001L, 10, 10, 0, 335, run10, 0, 0, 0, "0 10", " 335"},
      {false, 10, 0.00001L, 10, 270, 335, 0, -east10, 0, 1, "10 0", " 335"},
      {false, 10, 359.99999L, 10, 90, 335, 0, east10, 0, 0, "10 0", " 335"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << D(c.lat0) << ", " << D(c.lg0) << ", course " << D(c.course));
    Rig r;
    r.start();
    r.s().EmpEncour = c.gybing;
    r.s().HDG = c.hdg;
    TickFrom(r, c.lat0, c.lg0, {c.speed, c.course});
    const SimState& s = r.s();
    EXPECT_NEAR(D(s.Pact.lat - c.lat0), D(c.dLat), 1e-12);
    EXPECT_NEAR(std::remainder(D(s.Pact.long_ - c.lg0), 360.0), D(c.dLong), 1e-12);
    EXPECT_EQ(s.Memo_Pos.lat, s.Pact.lat);
    EXPECT_EQ(std::pair(r.f(Field::LatitudeHemisphere).itemIndex(), r.f(Field::LongitudeHemisphere).itemIndex()), std::pair(c.ns, c.ew));
    EXPECT_EQ(r.f(Field::LatitudeDegrees).text() + " " + r.f(Field::LongitudeDegrees).text(), c.degrees);
    EXPECT_EQ(r.f(Field::HeadingBox).text(), c.cap);
    // The fields read back to the position (graphic longitude: west is 360 minus the reading).
    const long double lat = Num(r.f(Field::LatitudeDegrees).text()) + Num(r.f(Field::LatitudeMinutes).text()) / 60;
    const long double lg = Num(r.f(Field::LongitudeDegrees).text()) + Num(r.f(Field::LongitudeMinutes).text()) / 60;
    EXPECT_NEAR(D(c.ns ? -lat : lat), D(s.Pact.lat), 1e-9);
    EXPECT_NEAR(std::remainder(D((c.ew ? 360 - lg : lg) - s.Pact.long_), 360.0), 0, 1e-9);
  }
  // Regression: a latitude a hair below 45 degrees showed 44 and 60.00000000.
  Rig r;
  r.start();
  TickFrom(r, 45 - 1e-13L, 10, {0, 0});
  EXPECT_EQ(r.f(Field::LatitudeDegrees).text() + " " + r.f(Field::LatitudeMinutes).text(), "45 0.00000000");
}

TEST(Tick, VariationTerms) {
  // Values worked out from the three terms of each quantity, at s = 1 and s = 15.
  struct Case { int ticks; bool on; double tws, twd, hdg, dbs; };
  const Case cases[] = {
      {1, true, 12.126759140412538, 228.0151530448022, 337.33604447743596, 16.897114132224047},
      {15, true, 8.507156365541329, 219.31164491172177, 333.29757188374697, 15.768767442793806},
      {15, false, 10, 220, 335, 15.768767442793806},  // the depth always varies
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.ticks << (c.on ? " on" : " off"));
    Rig r;
    r.model.params().varyWindSpeed = r.model.params().varyWindDirection = r.model.params().varyHeading = c.on;
    r.start();
    r.seconds(c.ticks);
    ASSERT_EQ(r.s().t, c.ticks);
    EXPECT_NEAR(D(r.s().TW.mdl), c.tws, 1e-9);
    EXPECT_NEAR(D(r.s().TW.argt), c.twd, 1e-9);
    EXPECT_NEAR(D(r.s().BS.argt), c.hdg, 1e-9);
    EXPECT_NEAR(D(r.s().dbs), c.dbs, 1e-9);
    EXPECT_EQ(r.s().TWSvar, c.on);
    EXPECT_EQ(r.s().HDG, 335);  // the base heading is not touched
  }
}

TEST(Tick, HeadingOverNorthNeverGivesAnAngleOutOfRange) {
  // Regression: with the heading variation over north the heading reads up to
  // about 361.3 and the wind angles were taken from it unwrapped (a true wind
  // angle of -0.3 for a wind from 1).
  Rig r;
  r.model.params().varyHeading = true;
  r.start("359", "10", "1", "1", "90");
  bool over = false;
  int sides = 0;
  for (int i = 0; i < 60; ++i) {
    r.seconds(1);
    const SimState& s = r.s();
    SCOPED_TRACE(s.t);
    if (s.BS.argt > 360) {
      over = true;
      EXPECT_GT(Num(r.f(Field::HeadingInput).text()), 360);  // shown as such
    }
    for (long double a : {s.TWA, s.AWA, s.SWA, s.Deriv}) {
      EXPECT_GE(a, 0);
      EXPECT_LE(a, 180);
    }
    const bool tribord = TackSideOf(s) == SailingTack::tribord;
    EXPECT_EQ(s.RelWA, tribord ? s.AWA : 360 - s.AWA);
    EXPECT_EQ(r.f(Field::TackIndicator).text(), tribord ? "    TRIBORD AMURE" : "    BABORD AMURE");
    EXPECT_EQ(r.f(Field::TackIndicator).background(), tribord ? MonVert : MonRouge);
    sides |= tribord ? 1 : 2;
  }
  EXPECT_TRUE(over);
  EXPECT_EQ(sides, 3);  // both tacks seen
}

TEST(Tick, ScaleFollowsTheStrongerWind) {
  // Without a polar the boat does not move: the apparent wind is the true wind,
  // from north so that the vector sums are exact.
  struct Case { const char* tws; int scale; const char* firstLabel; };
  const Case cases[] = {{"3", 5, "1 nd"},     {"5", 5, "1 nd"},    {"5.01", 10, "5 nds"}, {"10", 10, "5 nds"},
                        {"10.5", 15, "5 nds"}, {"15", 15, "5 nds"}, {"20", 20, "5 nds"},   {"25", 25, "5 nds"},
                        {"25.01", 30, "5 nds"}, {"40", 30, "5 nds"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tws);
    Rig r(false);
    r.start("335", c.tws, "0");
    r.canvas.clear();
    r.seconds(1);
    EXPECT_EQ(r.model.dial().mem.factConv, 203.0L / c.scale);
    const auto text = std::find_if(r.canvas.ops.begin(), r.canvas.ops.end(),
                                   [](const DrawOp& o) { return o.kind == DrawKind::Text; });
    ASSERT_NE(text, r.canvas.ops.end());
    EXPECT_EQ(text->text, c.firstLabel);
  }
}

TEST(Tick, RingsRedrawnOnAChangeOfScaleOrEveryThirdSecond) {
  Rig r(false);
  r.start("335", "10", "0");
  const std::size_t ring = 180 + 4 * 361;  // pixels of one drawing of the five rings
  // Base wind before each tick, and the ring pixels (erased and drawn) it gives.
  const std::pair<long double, std::size_t> steps[] = {{10, ring}, {10, 0},        {10, 2 * ring},
                                                       {10, 0},    {10, 0},        {10, 2 * ring},
                                                       {12, 2 * ring}, {12, 0},    {12, 2 * ring}};
  int t = 0;
  for (const auto& [tws, pixels] : steps) {
    r.s().TWS = tws;
    r.canvas.clear();
    r.seconds(1);
    EXPECT_EQ(r.canvas.count(DrawKind::Pixel), pixels) << "tick " << ++t;
  }
  Rig w;  // the dial wiped every ten seconds: before ticks 1, 11 and 21
  w.start();
  w.canvas.clear();
  w.seconds(21);
  EXPECT_EQ(w.canvas.count(DrawKind::Ellipse), 3u);
}

TEST(Tick, EachArrowIsErasedByRedrawingItInCream) {
  Rig r;
  r.start("335", "10", "220", "1.5", "70");
  const auto shafts = [&r](bool cream) {
    std::vector<std::vector<t_pCan>> out;
    for (const DrawOp& o : r.canvas.ops) {
      if (o.kind == DrawKind::Line && o.pen.width == 2 && (o.pen.colour == colours::kCream) == cream) {
        out.push_back(o.points);
      }
    }
    return out;
  };
  r.seconds(1);
  const auto drawn = shafts(false);
  ASSERT_EQ(drawn.size(), 6u);  // TW, CUR, SW, BS, AW, OG
  r.canvas.clear();
  r.seconds(1);
  const auto erased = shafts(true);
  for (const auto& s : drawn) {
    EXPECT_NE(std::find(erased.begin(), erased.end(), s), erased.end())
        << "shaft (" << s[0].X << "," << s[0].Y << ")-(" << s[1].X << "," << s[1].Y << ") not erased";
  }
}

// A window surface that fails while it is told to.
struct FaultyCanvas final : Canvas {
  bool failing = false;
  void Polygon(std::span<const t_pCan>) override {
    if (failing) throw std::runtime_error("surface de dessin perdue");
  }
  void Line(t_pCan, t_pCan) override {}
  void Pixel(t_pCan, Rgb) override {}
  void Text(t_pCan, std::string_view, Rgb) override {}
  void FillRect(t_pCan, int, int, Rgb) override {}
  void Ellipse(t_pCan, int, int) override {}
};

TEST(Tick, AnErrorAbandonsThatTickOnlyAndIsReportedOnce) {
  Rig r;
  FaultyCanvas faulty;
  r.model.SetDrawing(&faulty, &r.depth, &r.boat);
  r.start();
  faulty.failing = true;
  r.seconds(3);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_NE(r.messages[0].find("surface de dessin perdue"), std::string::npos);
  EXPECT_TRUE(r.model.timers().TimerAT.enabled());
  r.f(Field::BoatSpeed).setText("");
  faulty.failing = false;
  r.seconds(1);  // the next tick goes through
  EXPECT_EQ(r.messages.size(), 1u);
  EXPECT_FALSE(r.f(Field::BoatSpeed).text().empty());
  faulty.failing = true;
  r.seconds(1);
  EXPECT_EQ(r.messages.size(), 2u);
}

TEST(Tick, AnUndefinedBoatSpeedAbandonsTheTick) {
  Rig r;
  PolarTable bad = testing::MakeTestPolar();
  for (auto& row : bad.TabPol) row.assign(row.size(), std::numeric_limits<long double>::infinity());
  r.model.SetPolar(bad);
  r.start();
  ASSERT_EQ(r.messages.size(), 1u);  // the start keeps the speed typed
  EXPECT_EQ(r.s().BS.mdl, 6.2L);
  r.seconds(2);
  ASSERT_EQ(r.messages.size(), 2u);  // reported once for both ticks
  EXPECT_NE(r.messages[1].find("vitesse du bateau"), std::string::npos);
  EXPECT_EQ(r.s().BS.mdl, 6.2L);
  EXPECT_TRUE(std::isfinite(r.s().OG.mdl));
}

// ---- Hours at sea.

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
  p.varyHeading = p.varyWindSpeed = p.varyWindDirection = true;
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
      for (const PanelField& f : r.model.panel().fields()) {
        const std::string& text = f.text();
        EXPECT_EQ(text.find("nan"), std::string::npos) << IdentifierOf(f.id());
        EXPECT_EQ(text.find("inf"), std::string::npos) << IdentifierOf(f.id());
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

// In turn, 30 s apart: the manoeuvre the wind angle offers (a tack, upwind), bearing
// away by hand in STDBY, the manoeuvre offered (now a gybe), a best-haul search back
// upwind; with the three variations on and the current turning by half a turn every
// minute (no manoeuvre starts while it turns: the click is tried again each second).
TEST(SailHour, ManoeuvresEndEveryOneAndKeepTheState) {
  Rig r;
  r.unrecorded();
  Params& p = r.model.params();
  p.varyHeading = p.varyWindSpeed = p.varyWindDirection = true;
  r.f(Field::CurrentKind).setItemIndex(1);
  r.start("335", "14", "220", "1.2", "70");
  const SimState& s = r.s();
  const auto second = [&] {  // one second, and what holds after each
    r.seconds(1);
    EXPECT_TRUE(AllFinite(s, r.w())) << r.clock.now();
    EXPECT_GE(s.BS.argt, 0) << r.clock.now();
    EXPECT_LT(s.BS.argt, 363) << r.clock.now();  // above 360 only by the heading variation
    const std::string driving = r.driving();     // exactly one timer runs the tick
    EXPECT_TRUE(!driving.empty() && driving.find(' ') == std::string::npos) << r.clock.now() << ": " << driving;
  };
  const auto running = [&s] { return s.VireEncour ? 0 : s.EmpEncour ? 1 : s.RecENCour ? 2 : -1; };
  int done[3] = {0, 0, 0}, closeHauled = 0, steered = 0;
  for (int action = 0; r.clock.now() < 3600000 && !HasFailure(); ++action) {
    for (int k = 0; k < 30; ++k) second();
    if (action % 4 == 1) {  // bear away by 108 degrees (12 a second): to starboard on port tack
      r.model.SpBtStdBYClick();
      r.f(Field::HelmBar).setPosition(TackSideOf(s) == SailingTack::babord ? 3 : 27);
      for (int k = 0; k < 9; ++k) second();
      r.model.SpBtAUTOClick();
      ASSERT_EQ(s.ModPil, TModPil::AUTO);
      ++steered;
      continue;
    }
    for (int wait = 0; running() < 0 && wait < 60; ++wait) {
      if (action % 4 == 3) {
        r.model.BtBestHaulClick();
      } else if (r.f(Field::TackButton).enabled()) {
        r.model.SBtVireClick();
      } else if (r.f(Field::GybeButton).enabled()) {
        r.model.SBtEmpClick();
      }
      if (running() < 0) second();
    }
    const int m = running();
    ASSERT_GE(m, 0) << "no manoeuvre started at " << r.clock.now();
    // A tack ends at its 25th second, a gybe in its 14th; a search within its step limits.
    int k = 0;
    while (running() == m && k <= kBestHaulMaxApproach + kBestHaulMaxFine + 2) {
      second();
      ++k;
    }
    ASSERT_NE(running(), m) << "manoeuvre " << m << " still running";
    if (m < 2) {
      ASSERT_EQ(k, m == 0 ? 25 : 14);
    }
    ++done[m];
    if (m == 2 && s.AuPres) ++closeHauled;  // the wind frozen, each search finds the optimum
    ASSERT_TRUE(p.varyHeading && p.varyWindSpeed && p.varyWindDirection);  // as they were set
  }
  for (int m = 0; m < 3; ++m) EXPECT_GE(done[m], 10) << "manoeuvre " << m;
  EXPECT_EQ(closeHauled, done[2]);
  EXPECT_GE(steered, 10);
}

}  // namespace
}  // namespace ventrel
