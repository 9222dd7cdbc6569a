// The dial drawing against a recording canvas: the points drawn follow the
// formulas (values worked out by hand below each case).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sim/dial.h"
#include "sim/recording_canvas.h"

namespace ventrel {
namespace {

using Pts = std::vector<t_pCan>;

struct DialRig {
  Dial dial;
  RecordingCanvas canvas;
  RecordingCanvas depth;
  DialRig() { dial.SetCanvases(&canvas, &depth); }
};

TEST(Dial, GeometryOfTheTwoLayouts) {
  struct Case {
    ShapeRect visu, visuBk;
    int rayon, rayonBk;
    t_pCan centre;
  };
  const Case cases[] = {{kVisuNormal, kVisuBkNormal, 215, 228, {864, 239}},
                        {kVisuFull, kVisuBkFull, 349, 362, {972, 373}}};
  for (const Case& c : cases) {
    Dial d;
    d.SetShapes(c.visu, c.visuBk);
    EXPECT_EQ(d.Rayon, c.rayon);
    EXPECT_EQ(d.RayonBk, c.rayonBk);
    EXPECT_EQ(d.Centre, c.centre);
  }
}

TEST(Dial, RoundingIsHalfToEven) {
  const std::pair<long double, int> rows[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {2.4999L, 2}};
  for (const auto& [x, r] : rows) EXPECT_EQ(RoundEven(x), r) << static_cast<double>(x);
}

TEST(Dial, ScaleChangesAtFiveKnotSteps) {
  const std::pair<long double, int> rows[] = {{0, 5},   {5, 5},   {5.01L, 10}, {10, 10}, {10.5L, 15},
                                              {15, 15}, {20, 20}, {25, 25},    {25.01L, 30}, {40, 30}};
  for (const auto& [etalon, k] : rows) EXPECT_EQ(ScaleFor(etalon), k) << static_cast<double>(etalon);
}

TEST(Dial, PointsAroundTheCentre) {
  Dial d;  // normal layout, centre (864, 239)
  struct Row {
    long double lgr, angl;
    t_pCan p;
  };
  const Row rows[] = {
      {100, 0, {964, 239}},   {100, 90, {864, 139}}, {100, 180, {764, 239}}, {100, 270, {864, 339}},
      {10, 45, {871, 232}},   // 7.07 both ways
      {2.5L, 0, {866, 239}},  // 2.5 rounds to 2
      {100, 420, {914, 152}}, // 420 is 60: 50, 86.6
  };
  for (const Row& r : rows) {
    EXPECT_EQ(d.CoordORIgW(r.lgr, r.angl), r.p) << static_cast<double>(r.angl);
  }
}

TEST(Dial, ArrowShaftAndHead) {
  // Head corners: tip, tip + (-round(12 cos(a-23)), round(12 sin(a-23))), the notch
  // tip + (-round(6 cos a), round(6 sin a)), tip + (-round(12 cos(a+23)), round(12 sin(a+23))).
  // 12 cos 23 = 11.05, 12 sin 23 = 4.69.
  struct Case {
    t_pCan org;
    long double lgr, angl;
    Pts shaft, head;
  };
  const Case cases[] = {
      {{100, 100}, 50, 0, {{100, 100}, {150, 100}}, {{150, 100}, {139, 95}, {144, 100}, {139, 105}}},
      {{300, 300}, 50, 90, {{300, 300}, {300, 250}}, {{300, 250}, {295, 261}, {300, 256}, {305, 261}}},
      {{300, 300}, 50, -90, {{300, 300}, {300, 350}}, {{300, 350}, {305, 339}, {300, 344}, {295, 339}}},
  };
  for (const Case& c : cases) {
    DialRig r;
    r.canvas.SetPenColour(colours::kRed);
    r.dial.DessFlech(c.org, c.lgr, c.angl);
    ASSERT_EQ(r.canvas.ops.size(), 2u);
    const DrawOp& shaft = r.canvas.ops[0];
    EXPECT_EQ(shaft.kind, DrawKind::Line);
    EXPECT_EQ(shaft.points, c.shaft);
    EXPECT_EQ(shaft.pen, (Pen{colours::kRed, 2, PenStyle::Solid, PenMode::Copy}));
    const DrawOp& head = r.canvas.ops[1];
    EXPECT_EQ(head.kind, DrawKind::Polygon);
    EXPECT_EQ(head.points, c.head);
    EXPECT_EQ(head.brush, colours::kRed);
  }
}

TEST(Dial, ArrowTipNearTheCentreStopsOnTheSquareAroundIt) {
  // Arrows aimed down at the centre (864, 239) from 100 pixels above it.
  struct Case {
    long double lgr;
    int tipY;  // where the shaft ends
  };
  const Case cases[] = {
      {100, 239 - 20 + 0},  // tip on the centre: shortened by 20
      {82, 201},            // tip 18 pixels above: shortened by 20
      {81, 220},            // tip 19 pixels above: full length
      {60, 199},            // tip 40 pixels above: full length
  };
  for (const Case& c : cases) {
    DialRig r;
    r.dial.DessFlech({864, 139}, c.lgr, 270);
    const t_pCan tip = r.canvas.ops[0].points[1];
    EXPECT_EQ(tip, (t_pCan{864, c.tipY})) << static_cast<double>(c.lgr);
  }
}

TEST(Dial, ArrowShorteningByQuadrant) {
  // A diagonal arrow onto the centre stops 20 / cos 45 = 28.28 short of it.
  DialRig r;
  r.dial.DessFlech({864 - 100, 239 + 100}, 141.42L, 45);
  EXPECT_EQ(r.canvas.ops[0].points[1], (t_pCan{844, 259}));  // 113.14 along 45 degrees: 80, 80
}

TEST(Dial, ArrowAboveThreeSixtyUsesItsTrueQuadrant) {
  // Regression: 420 degrees (the boat arrow of a heading of 30) fell in the last
  // quadrant and was shortened by 20 / cos 60 = 40 instead of 20 / sin 60 = 23.09.
  DialRig r;
  r.dial.DessFlech({864, 239}, 10, 420);
  // Length 10 - 23.09 = -13.09 along 60 degrees: (-6.55, 11.34) on screen.
  EXPECT_EQ(r.canvas.ops[0].points[1], (t_pCan{857, 250}));
}

TEST(Dial, DashedVerticalLinesPointTheWayTheyGo) {
  struct Case {
    t_pCan dst;
    Pts head;
  };
  const Case cases[] = {
      {{500, 300}, {{500, 300}, {495, 311}, {500, 306}, {505, 311}}},  // up
      {{500, 500}, {{500, 500}, {505, 489}, {500, 494}, {495, 489}}},  // down
  };
  for (const Case& c : cases) {
    DialRig r;
    r.canvas.SetPenColour(colours::kBlue);
    r.dial.DessFlechODDash({500, 400}, c.dst);
    ASSERT_EQ(r.canvas.ops.size(), 3u);
    EXPECT_EQ(r.canvas.ops[0].points, (Pts{{500, 400}, c.dst}));
    EXPECT_EQ(r.canvas.ops[1].points, (Pts{{501, 400}, {c.dst.X + 1, c.dst.Y}}));
    EXPECT_EQ(r.canvas.ops[0].pen, (Pen{colours::kBlue, 1, PenStyle::Dash, PenMode::Copy}));
    EXPECT_EQ(r.canvas.ops[2].points, c.head);
    EXPECT_EQ(r.canvas.ops[2].pen.style, PenStyle::Dash);
  }
}

TEST(Dial, DashedLineIntoTheCentreIsShortenedSafelyInEveryDirection) {
  // Regression: a horizontal line ending on the centre was shortened by
  // 20 / cos 90 and ended far behind its origin.
  const t_pCan C{864, 239};
  for (int deg = 0; deg < 360; deg += 5) {
    DialRig r;
    const t_pCan org = Dial::PointAt(C, 100, deg);
    const t_pCan dst{C.X + 3, C.Y - 2};
    r.dial.DessFlechODDash(org, dst);
    const t_pCan end = r.canvas.ops[0].points[1];
    const long double ux = dst.X - org.X, uy = dst.Y - org.Y;
    const long double vx = end.X - org.X, vy = end.Y - org.Y;
    EXPECT_GE(ux * vx + uy * vy, 0) << deg << " degrees: behind the origin";
    EXPECT_LE(std::hypot(vx, vy), std::hypot(ux, uy)) << deg;
    // It stops about on the square of 20 pixels around the centre.
    const long double off = std::max(std::fabs(end.X - C.X), std::fabs(end.Y - C.Y));
    EXPECT_NEAR(static_cast<double>(off), 20, 4) << deg;
  }
  DialRig r;
  r.dial.DessFlechODDash({C.X - 100, C.Y}, C);
  EXPECT_EQ(r.canvas.ops[0].points[1], (t_pCan{C.X - 20, C.Y}));
  // A line shorter than the half-square collapses on its origin.
  DialRig s;
  s.dial.DessFlechODDash({C.X - 10, C.Y}, C);
  EXPECT_EQ(s.canvas.ops[0].points[1], (t_pCan{C.X - 10, C.Y}));
}

TEST(Dial, CompassCard) {
  DialRig r;  // RayonBk 228: marks start 216 pixels from the centre
  r.dial.GradueCompas();
  ASSERT_EQ(r.canvas.count(DrawKind::Line), 360u + 72u + 12u);
  int thin = 0, thick = 0;
  for (const DrawOp& o : r.canvas.ops) {
    EXPECT_EQ(o.pen.colour, colours::kBlack);
    (o.pen.width == 1 ? thin : thick)++;
  }
  EXPECT_EQ(thin, 432);
  EXPECT_EQ(thick, 12);
  EXPECT_EQ(r.canvas.ops[0].points, (Pts{{1080, 239}, {1086, 239}}));   // 0 degrees, 6 long
  EXPECT_EQ(r.canvas.ops[90].points, (Pts{{864, 455}, {864, 461}}));   // 90: the sine is added
  EXPECT_EQ(r.canvas.ops[360].points, (Pts{{1080, 239}, {1090, 239}})); // first 10-pixel mark
  EXPECT_EQ(r.canvas.ops[432 + 6].points, (Pts{{648, 239}, {638, 239}}));  // 180, width 3
}

TEST(Dial, ScaleRingsAndLabels) {
  struct Case {
    long double etalon;
    bool draw;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {10, true, {"5 nds", "10 nds", "15 nds", "20 nds", "25 nds"}},
      {4, true, {"1 nd", "2 nds", "3 nds", "4 nds", "5 nds"}},
      {26, false, {"5 nds", "10 nds", "15 nds", "20 nds", "25 nds"}},
  };
  for (const Case& c : cases) {
    DialRig r;
    r.dial.mem.etalon = c.etalon;
    r.dial.trace_ech(c.draw, 8);
    const Rgb colour = c.draw ? colours::kGrey : colours::kCream;
    std::vector<std::string> labels;
    for (const DrawOp& o : r.canvas.ops) {
      EXPECT_EQ(o.colour, colour);
      if (o.kind == DrawKind::Text) labels.push_back(o.text);
    }
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(r.canvas.count(DrawKind::Pixel), 180u + 4u * 361u);
  }
  // 8 pixels per knot: the 5-knot ring has radius 40, its label at (854, 239 - 40 - 12);
  // the 10-knot ring radius 80, its two-digit label 15 pixels left of the centre.
  DialRig r;
  r.dial.trace_ech(true, 8);
  EXPECT_EQ(r.canvas.ops[0].points[0], (t_pCan{854, 187}));
  EXPECT_EQ(r.canvas.ops[1].points[0], (t_pCan{904, 239}));  // first pixel, 0 degrees
  EXPECT_EQ(r.canvas.ops[2].points[0], (t_pCan{904, 240}));  // 2 degrees: 39.98, 1.40
  EXPECT_EQ(r.canvas.ops[181].points[0], (t_pCan{849, 147}));
}

TEST(Dial, DepthHistoryKeepsTheNewestInBarZero) {
  DialRig r;
  for (int t = 1; t <= 20; ++t) r.dial.MajProf(t, t, 13);  // depth t metres: bar 4t
  // Ticks 1..14 filled bars 13..0; ticks 15..20 pushed them right by six.
  std::array<std::int32_t, 30> expected{};
  for (int i = 0; i < 6; ++i) expected[i] = 4 * (20 - i);
  for (int i = 6; i < 20; ++i) expected[i] = 4 * (20 - i);
  for (int i = 20; i < 30; ++i) expected[i] = 100;
  EXPECT_EQ(r.dial.tabProf, expected);
}

TEST(Dial, DepthBox) {
  DialRig r;
  r.dial.tabProf.fill(40);
  r.dial.DptOn = [] { return false; };
  r.dial.PaintBxProfPaint(12.34L, 13);
  ASSERT_EQ(r.depth.ops.size(), 2u);
  EXPECT_EQ(r.depth.ops[0].kind, DrawKind::FillRect);
  EXPECT_EQ(r.depth.ops[0].colour, colours::kBlue);
  EXPECT_EQ(r.depth.ops[1].text, "13.0 °C");
  EXPECT_EQ(r.depth.ops[1].points[0], (t_pCan{110, 5}));

  r.depth.clear();
  r.dial.DptOn = [] { return true; };
  r.dial.PaintBxProfPaint(12.34L, 13);
  ASSERT_EQ(r.depth.ops.size(), 3u + 30u);
  EXPECT_EQ(r.depth.ops[2].text, "12.3 m");
  EXPECT_EQ(r.depth.ops[2].colour, colours::kYellow);
  const DrawOp& bar7 = r.depth.ops[3 + 7];
  EXPECT_EQ(bar7.points[0], (t_pCan{35, r.dial.boxHeight - 40}));
  EXPECT_EQ(bar7.width, 5);
  EXPECT_EQ(bar7.height, 40);
  EXPECT_EQ(bar7.colour, colours::kOlive);
}

TEST(Dial, WaypointLineIsDotted) {
  DialRig r;
  r.canvas.SetPenColour(colours::kBlack);
  r.dial.DessRelWp(450 - 90);  // bearing east
  ASSERT_EQ(r.canvas.ops.size(), 1u);
  EXPECT_EQ(r.canvas.ops[0].points, (Pts{{864, 239}, {864 + 216, 239}}));
  EXPECT_EQ(r.canvas.ops[0].pen.style, PenStyle::Dot);
}

}  // namespace
}  // namespace ventrel
