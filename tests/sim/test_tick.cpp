// The one-second tick: dead reckoning, variations, display forms, scale and
// rings, erase-by-redraw, and its failure handling.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
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
  EXPECT_EQ(r.f("EdDeriv").text() + r.f("LDeriv").text(), "0°");
  EXPECT_EQ(r.f("EdSOG").text(), r.f("EdBSP").text());
  EXPECT_GT(r.s().BS.mdl, 3);
  // No green current, black surface wind nor fuchsia ground arrow.
  for (const DrawOp& o : r.canvas.ops) {
    if (o.kind == DrawKind::Polygon) {
      EXPECT_TRUE(o.brush != colours::kGreen && o.brush != colours::kBlack && o.brush != colours::kFuchsia);
    }
  }
}

TEST(Tick, OneTickMovesTheBoatOneSecondOfItsRun) {
  struct Case {
    bool gybing;
    long double lat0, course, dLat, dLong;  // degrees
  };
  const long double run = 6.0L / 3600 / 60;  // one second at 6 knots, in degrees of a great circle
  const Case cases[] = {
      {false, 50, 0, run, 0},     {false, 50, 180, -run, 0}, {false, 0, 90, 0, run},
      {false, 60, 90, 0, 2 * run},  // a minute of longitude is half a mile at 60 N
      {true, 50, 0, run / 5, 0},    // a gybe step moves a fifth of a second
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << D(c.lat0) << " N, course " << D(c.course) << (c.gybing ? ", gybing" : ""));
    Rig r;
    r.start();
    r.s().EmpEncour = c.gybing;
    TickFrom(r, c.lat0, 10, {6, c.course});
    EXPECT_NEAR(D(r.s().Pact.lat - c.lat0), D(c.dLat), 1e-12);
    EXPECT_NEAR(D(r.s().Pact.long_ - 10), D(c.dLong), 1e-12);
    EXPECT_EQ(r.s().Memo_Pos.lat, r.s().Pact.lat);
  }
}

TEST(Tick, HeadingBoxIsPaddedToThreeDigits) {
  const std::pair<long double, const char*> rows[] = {
      {0.4L, " 000"}, {359.7L, " 360"}, {45, " 045"}, {2.5L, " 002"}, {99.5L, " 100"}};
  for (const auto& [hdg, text] : rows) {
    Rig r;
    r.start();
    r.s().HDG = hdg;
    r.model.TimerATTimer();
    EXPECT_EQ(r.f("EdCAP").text(), text) << D(hdg);
  }
}

TEST(Tick, CrossingTheEquatorOrGreenwichFlipsTheRadioItems) {
  struct Case {
    long double lat, lg, course;
    int ns, ew;
    const char* shown;  // degrees of latitude and longitude
  };
  const Case cases[] = {
      {0.00001L, 10, 180, 1, 0, "0 10"},   // southward over the equator
      {-0.00001L, 10, 0, 0, 0, "0 10"},    // northward
      {10, 0.00001L, 270, 0, 1, "10 0"},   // westward over Greenwich
      {10, 359.99999L, 90, 0, 0, "10 0"},  // eastward
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(D(c.course));
    Rig r;
    r.start();
    TickFrom(r, c.lat, c.lg, {10, c.course});
    EXPECT_EQ(std::pair(r.f("RadioGLAT").itemIndex(), r.f("RadioGrLG").itemIndex()), std::pair(c.ns, c.ew));
    EXPECT_EQ(r.f("EdLATdeg").text() + " " + r.f("EdLGDEG").text(), c.shown);
  }
}

TEST(Tick, PositionFieldsReadBackToThePosition) {
  Rig r;
  r.start();
  r.seconds(5);
  const long double lat = Num(r.f("EdLATdeg").text()) + Num(r.f("EdLATmin").text()) / 60;
  const long double lg = Num(r.f("EdLGDEG").text()) + Num(r.f("EdLGmin").text()) / 60;
  EXPECT_NEAR(D(lat), D(r.s().Pact.lat), 1e-9);
  EXPECT_NEAR(D(lg), D(r.s().Pact.long_), 1e-9);
  // Regression: a latitude a hair below 45 degrees showed 44 and 60.00000000.
  TickFrom(r, 45 - 1e-13L, 10, {0, 0});
  EXPECT_EQ(r.f("EdLATdeg").text() + " " + r.f("EdLATmin").text(), "45 0.00000000");
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
    r.model.params().ChkB_TWS = r.model.params().ChkB_TWD = r.model.params().ChkB_HDG = c.on;
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
  r.model.params().ChkB_HDG = true;
  r.start("359", "10", "1", "1", "90");
  bool over = false;
  for (int i = 0; i < 60; ++i) {
    r.seconds(1);
    const SimState& s = r.s();
    SCOPED_TRACE(s.t);
    if (s.BS.argt > 360) {
      over = true;
      EXPECT_GT(Num(r.f("EdHDG").text()), 360);  // shown as such
    }
    for (long double a : {s.TWA, s.AWA, s.SWA, s.Deriv}) {
      EXPECT_GE(a, 0);
      EXPECT_LE(a, 180);
    }
    EXPECT_EQ(s.RelWA, AmureOf(s) == TAmure::tribord ? s.AWA : 360 - s.AWA);
  }
  EXPECT_TRUE(over);
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
  r.canvas.clear();
  r.seconds(21);
  EXPECT_EQ(r.canvas.count(DrawKind::Ellipse), 2u);  // the dial wiped every ten seconds: ticks 11 and 21
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

TEST(Tick, TackIndicatorAndBoatPicture) {
  struct Case { const char* hdg; const char* text; Rgb background; };
  const Case cases[] = {{"335", "    BABORD AMURE", MonRouge}, {"100", "    TRIBORD AMURE", MonVert}};
  for (const Case& c : cases) {
    Rig r;
    r.start(c.hdg);
    r.seconds(1);
    EXPECT_EQ(std::pair(r.f("Edam").text(), r.f("Edam").background()), std::pair(std::string(c.text), c.background));
    if (c.background == MonRouge) {  // on starboard tack the font is left as it is
      EXPECT_EQ(r.f("Edam").fontColour(), colours::kCream);
    }
    EXPECT_EQ(r.boat.angles.back(), -r.s().BS.argt);
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
  r.f("EdBSP").setText("");
  faulty.failing = false;
  r.seconds(1);  // the next tick goes through
  EXPECT_EQ(r.messages.size(), 1u);
  EXPECT_FALSE(r.f("EdBSP").text().empty());
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

}  // namespace
}  // namespace ventrel
