// The one-second tick: dead reckoning, variations, display forms, scale and
// rings, erase-by-redraw, and its failure handling.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "nav/number_read.h"
#include "sim/wind.h"
#include "sim_fixtures.h"

namespace ventrel {
namespace {

using testing::Rig;

double D(long double x) { return static_cast<double>(x); }
long double Num(const std::string& text) { return Val_Str_Flott(text).value; }

TEST(Tick, WithoutCurrentTheSurfaceWindIsTheTrueWind) {
  Rig r;
  r.start();
  r.seconds(3);
  EXPECT_EQ(r.s().SW.mdl, r.s().TW.mdl);
  EXPECT_EQ(r.s().SW.argt, r.s().TW.argt);
  EXPECT_EQ(r.s().SWA, r.s().TWA);
  EXPECT_EQ(r.f("EdDeriv").text(), "0");
  EXPECT_EQ(r.f("LDeriv").text(), "°");
  EXPECT_EQ(r.f("EdSOG").text(), r.f("EdBSP").text());
  EXPECT_GT(r.s().BS.mdl, 3);
  // No green current, black surface wind nor fuchsia ground arrow.
  for (const DrawOp& o : r.canvas.ops) {
    if (o.kind != DrawKind::Polygon) continue;
    EXPECT_NE(o.brush, colours::kGreen);
    EXPECT_NE(o.brush, colours::kBlack);
    EXPECT_NE(o.brush, colours::kFuchsia);
  }
}

TEST(Tick, OneTickMovesTheBoatOneSecondOfItsRun) {
  struct Case {
    const char* what;
    bool gybing;
    long double lat0, course;
    long double dLat, dLong;  // degrees
  };
  const long double run = 6.0L / 3600 / 60;  // one second at 6 knots, in degrees of a great circle
  const Case cases[] = {
      {"north", false, 50, 0, run, 0},
      {"south", false, 50, 180, -run, 0},
      {"east on the equator", false, 0, 90, 0, run},
      {"east at 60 N", false, 60, 90, 0, 2 * run},  // a minute of longitude is half a mile there
      {"north while gybing", true, 50, 0, run / 5, 0},
  };
  for (const Case& c : cases) {
    Rig r;
    r.start();
    r.s().EmpEncour = c.gybing;
    r.s().OG = {6, c.course};
    r.s().Pact.lat = c.lat0;
    r.s().Pact.long_ = 10;
    r.s().Memo_Pos = r.s().Pact;
    r.model.TimerATTimer();
    EXPECT_NEAR(D(r.s().Pact.lat - c.lat0), D(c.dLat), 1e-12) << c.what;
    EXPECT_NEAR(D(r.s().Pact.long_ - 10), D(c.dLong), 1e-12) << c.what;
    EXPECT_EQ(r.s().Memo_Pos.lat, r.s().Pact.lat);
  }
}

TEST(Tick, HeadingBoxIsPaddedToThreeDigits) {
  const std::pair<long double, const char*> rows[] = {
      {0.4L, " 000"}, {359.7L, " 360"}, {5, " 005"}, {45, " 045"}, {2.5L, " 002"}, {335, " 335"}, {99.5L, " 100"}};
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
    const char* latDeg;
    const char* lgDeg;
  };
  const Case cases[] = {
      {0.00001L, 10, 180, 1, 0, "0", "10"},        // southward over the equator
      {-0.00001L, 10, 0, 0, 0, "0", "10"},         // northward
      {10, 0.00001L, 270, 0, 1, "10", "0"},        // westward over Greenwich
      {10, 359.99999L, 90, 0, 0, "10", "0"},       // eastward
  };
  for (const Case& c : cases) {
    Rig r;
    r.start();
    r.s().OG = {10, c.course};
    r.s().Pact.lat = c.lat;
    r.s().Pact.long_ = c.lg;
    r.s().Memo_Pos = r.s().Pact;
    r.model.TimerATTimer();
    EXPECT_EQ(r.f("RadioGLAT").itemIndex(), c.ns) << D(c.course);
    EXPECT_EQ(r.f("RadioGrLG").itemIndex(), c.ew) << D(c.course);
    EXPECT_EQ(r.f("EdLATdeg").text(), c.latDeg);
    EXPECT_EQ(r.f("EdLGDEG").text(), c.lgDeg);
  }
}

TEST(Tick, PositionFieldsCarryRoundedMinutesIntoDegrees) {
  // Regression: a latitude a hair below 45 degrees showed 44 and 60.00000000.
  Rig r;
  r.start();
  r.s().OG = {0, 0};
  r.s().Pact.lat = 45 - 1e-13L;
  r.s().Memo_Pos = r.s().Pact;
  r.model.TimerATTimer();
  EXPECT_EQ(r.f("EdLATdeg").text(), "45");
  EXPECT_EQ(r.f("EdLATmin").text(), "0.00000000");
}

TEST(Tick, PositionFieldsReadBackToThePosition) {
  Rig r;
  r.start();
  r.seconds(5);
  const long double lat = Num(r.f("EdLATdeg").text()) + Num(r.f("EdLATmin").text()) / 60;
  const long double lg = Num(r.f("EdLGDEG").text()) + Num(r.f("EdLGmin").text()) / 60;
  EXPECT_NEAR(D(lat), D(r.s().Pact.lat), 1e-9);
  EXPECT_NEAR(D(lg), D(r.s().Pact.long_), 1e-9);
  EXPECT_LT(r.s().Pact.lat, 51.069L + 0.01L);
  EXPECT_GT(r.s().Pact.lat, 51.069L);  // heading 335: northward
}

TEST(Tick, VariationTerms) {
  // Values worked out from the three terms of each quantity, at s = 1 and s = 15.
  struct Case {
    int ticks;
    bool on;
    double tws, twd, hdg, dbs;
  };
  const Case cases[] = {
      {1, true, 12.126759140412538, 228.0151530448022, 337.33604447743596, 16.897114132224047},
      {15, true, 8.507156365541329, 219.31164491172177, 333.29757188374697, 15.768767442793806},
      {15, false, 10, 220, 335, 15.768767442793806},  // the depth always varies
  };
  for (const Case& c : cases) {
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
    if (s.BS.argt > 360) {
      over = true;
      EXPECT_GT(Num(r.f("EdHDG").text()), 360);  // shown as such
    }
    for (long double a : {s.TWA, s.AWA, s.SWA, s.Deriv}) {
      EXPECT_GE(a, 0) << "tick " << s.t;
      EXPECT_LE(a, 180) << "tick " << s.t;
    }
    EXPECT_GE(s.RelWA, 0);
    EXPECT_LE(s.RelWA, 360);
    EXPECT_EQ(s.RelWA, AmureOf(s) == TAmure::tribord ? s.AWA : 360 - s.AWA);
  }
  EXPECT_TRUE(over);
}

TEST(Tick, ScaleFollowsTheStrongerWind) {
  // Without a polar the boat does not move: the apparent wind is the true wind.
  // A wind from north keeps the vector sums exact.
  struct Case {
    const char* tws;
    int scale;
    const char* firstLabel;
  };
  const Case cases[] = {{"3", 5, "1 nd"},      {"5", 5, "1 nd"},     {"5.01", 10, "5 nds"}, {"10", 10, "5 nds"},
                        {"15", 15, "5 nds"},   {"20", 20, "5 nds"},  {"25", 25, "5 nds"},   {"25.01", 30, "5 nds"},
                        {"40", 30, "5 nds"}};
  for (const Case& c : cases) {
    Rig r(false);
    r.start("335", c.tws, "0");
    r.canvas.clear();
    r.seconds(1);
    EXPECT_EQ(r.model.dial().mem.factConv, 203.0L / c.scale) << c.tws;
    std::string first;
    for (const DrawOp& o : r.canvas.ops) {
      if (o.kind == DrawKind::Text) {
        first = o.text;
        break;
      }
    }
    EXPECT_EQ(first, c.firstLabel) << c.tws;
  }
}

TEST(Tick, RingsRedrawnOnAChangeOfScaleOrEveryThirdSecond) {
  Rig r(false);
  r.start("335", "10", "0");
  const std::size_t ring = 180 + 4 * 361;  // pixels of one drawing of the five rings
  struct Step {
    const char* tws;  // base wind typed before the tick
    std::size_t pixels;
  };
  const Step steps[] = {{"10", ring},     {"10", 0},    {"10", 2 * ring}, {"10", 0}, {"10", 0},
                        {"10", 2 * ring}, {"12", 2 * ring}, {"12", 0}, {"12", 2 * ring}};
  int t = 0;
  for (const Step& s : steps) {
    r.s().TWS = Num(s.tws);
    r.canvas.clear();
    r.seconds(1);
    ++t;
    EXPECT_EQ(r.canvas.count(DrawKind::Pixel), s.pixels) << "tick " << t;
  }
}

TEST(Tick, DialWipedEveryTenSeconds) {
  Rig r;
  r.start();
  r.canvas.clear();
  r.seconds(21);
  EXPECT_EQ(r.canvas.count(DrawKind::Ellipse), 3u);  // before ticks 1, 11 and 21
}

TEST(Tick, EachArrowIsErasedByRedrawingItInCream) {
  Rig r;
  r.start("335", "10", "220", "1.5", "70");
  // Shafts of the arrows of one tick, by colour.
  auto shafts = [&](Rgb colour) {
    std::vector<std::vector<t_pCan>> out;
    for (const DrawOp& o : r.canvas.ops) {
      if (o.kind == DrawKind::Line && o.pen.width == 2 && o.pen.colour == colour) out.push_back(o.points);
    }
    return out;
  };
  r.seconds(1);
  const auto drawn = [&] {
    std::vector<std::vector<t_pCan>> all;
    for (Rgb c : {colours::kGrey, colours::kGreen, colours::kBlack, colours::kBlue, colours::kRed, colours::kFuchsia}) {
      for (auto& s : shafts(c)) all.push_back(s);
    }
    return all;
  }();
  ASSERT_EQ(drawn.size(), 6u);  // TW, CUR, SW, BS, AW, OG
  r.canvas.clear();
  r.seconds(1);
  const auto erased = shafts(colours::kCream);
  for (const auto& s : drawn) {
    EXPECT_NE(std::find(erased.begin(), erased.end(), s), erased.end())
        << "shaft (" << s[0].X << "," << s[0].Y << ")-(" << s[1].X << "," << s[1].Y << ") not erased";
  }
}

TEST(Tick, TackIndicatorAndBoatPicture) {
  struct Case {
    const char* hdg;
    const char* text;
    Rgb background;
  };
  const Case cases[] = {{"335", "    BABORD AMURE", MonRouge}, {"100", "    TRIBORD AMURE", MonVert}};
  for (const Case& c : cases) {
    Rig r;
    r.start(c.hdg);
    r.seconds(1);
    EXPECT_EQ(r.f("Edam").text(), c.text);
    EXPECT_EQ(r.f("Edam").background(), c.background);
    EXPECT_EQ(r.boat.angles.back(), -r.s().BS.argt);
  }
  Rig r;
  r.start("335");
  r.seconds(1);
  EXPECT_EQ(r.f("Edam").fontColour(), colours::kCream);
}

// A window surface that fails while it is told to.
class FaultyCanvas final : public Canvas {
 public:
  bool failing = false;
  void Line(t_pCan, t_pCan) override {}
  void Polygon(std::span<const t_pCan>) override {
    if (failing) throw std::runtime_error("surface de dessin perdue");
  }
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
