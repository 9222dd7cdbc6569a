// The dial drawing against a recording canvas: the points drawn follow the
// formulas (values worked out by hand beside each case).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/dial.h"
#include "model/recording_canvas.h"

namespace ventrel {
namespace {

using Pts = std::vector<t_pCan>;

struct DialRig {
  Dial dial;  // normal layout: centre (864, 239), Rayon 215, RayonBk 228
  RecordingCanvas canvas;
  RecordingCanvas depth;
  DialRig() { dial.SetCanvases(&canvas, &depth); }
};

TEST(Dial, GeometryOfTheTwoLayouts) {
  struct Case { ShapeRect visu, visuBk; int rayon, rayonBk; t_pCan centre; };
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

TEST(Dial, RoundingIsHalfToEvenAndPointsTurnCounterClockwise) {
  const std::pair<long double, int> halves[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {2.4999L, 2}};
  for (const auto& [x, r] : halves) EXPECT_EQ(RoundEven(x), r) << static_cast<double>(x);
  struct Row { long double lgr, angl; t_pCan p; };
  const Row rows[] = {
      {100, 0, {964, 239}}, {100, 90, {864, 139}}, {100, 180, {764, 239}}, {100, 270, {864, 339}},
      {10, 45, {871, 232}},    // 7.07 both ways
      {2.5L, 0, {866, 239}},   // 2.5 rounds to 2
      {100, 420, {914, 152}},  // 420 is 60: 50, 86.6
  };
  const Dial d;
  for (const Row& r : rows) EXPECT_EQ(d.CoordORIgW(r.lgr, r.angl), r.p) << static_cast<double>(r.angl);
}

TEST(Dial, ArrowShaftAndHead) {
  // Head: tip, tip + (-round(12 cos(a-23)), round(12 sin(a-23))), the notch
  // tip + (-round(6 cos a), round(6 sin a)), tip + (-round(12 cos(a+23)), round(12 sin(a+23))).
  // 12 cos 23 = 11.05, 12 sin 23 = 4.69.
  struct Case { t_pCan org; long double angl; Pts shaft, head; };
  const Case cases[] = {
      {{100, 100}, 0, {{100, 100}, {150, 100}}, {{150, 100}, {139, 95}, {144, 100}, {139, 105}}},
      {{300, 300}, 90, {{300, 300}, {300, 250}}, {{300, 250}, {295, 261}, {300, 256}, {305, 261}}},
      {{300, 300}, -90, {{300, 300}, {300, 350}}, {{300, 350}, {305, 339}, {300, 344}, {295, 339}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.angl));
    DialRig r;
    r.canvas.SetPenColour(colours::kRed);
    r.dial.DessFlech(c.org, 50, c.angl);
    ASSERT_EQ(r.canvas.ops.size(), 2u);
    EXPECT_EQ(r.canvas.ops[0].kind, DrawKind::Line);
    EXPECT_EQ(r.canvas.ops[0].points, c.shaft);
    EXPECT_EQ(r.canvas.ops[0].pen, (Pen{colours::kRed, 2, PenStyle::Solid, PenMode::Copy}));
    EXPECT_EQ(r.canvas.ops[1].kind, DrawKind::Polygon);
    EXPECT_EQ(r.canvas.ops[1].points, c.head);
    EXPECT_EQ(r.canvas.ops[1].brush, colours::kRed);
  }
}

TEST(Dial, ArrowTipNearTheCentreStopsOnTheSquareAroundIt) {
  struct Case { t_pCan org; long double lgr, angl; t_pCan tip; };
  const Case cases[] = {
      // Aimed down at the centre from 100 pixels above it.
      {{864, 139}, 100, 270, {864, 219}},  // tip on the centre: shortened by 20
      {{864, 139}, 82, 270, {864, 201}},   // tip 18 pixels above: shortened by 20
      {{864, 139}, 81, 270, {864, 220}},   // tip 19 pixels above: full length
      {{864, 139}, 60, 270, {864, 199}},
      // Diagonal onto the centre: 20 / cos 45 = 28.28 short, 113.14 along 45 degrees.
      {{764, 339}, 141.42L, 45, {844, 259}},
      // Regression: 420 degrees fell in the last quadrant and was shortened by
      // 20 / cos 60 = 40 instead of 20 / sin 60 = 23.09: 10 - 23.09 along 60 degrees.
      {{864, 239}, 10, 420, {857, 250}},
  };
  for (const Case& c : cases) {
    DialRig r;
    r.dial.DessFlech(c.org, c.lgr, c.angl);
    EXPECT_EQ(r.canvas.ops[0].points[1], c.tip) << static_cast<double>(c.lgr) << " at " << static_cast<double>(c.angl);
  }
}

TEST(Dial, DashedVerticalLinesPointTheWayTheyGo) {
  const std::pair<t_pCan, Pts> cases[] = {
      {{500, 300}, {{500, 300}, {495, 311}, {500, 306}, {505, 311}}},  // up
      {{500, 500}, {{500, 500}, {505, 489}, {500, 494}, {495, 489}}},  // down
  };
  for (const auto& [dst, head] : cases) {
    DialRig r;
    r.canvas.SetPenColour(colours::kBlue);
    r.dial.DessFlechODDash({500, 400}, dst);
    ASSERT_EQ(r.canvas.ops.size(), 3u);
    EXPECT_EQ(r.canvas.ops[0].points, (Pts{{500, 400}, dst}));
    EXPECT_EQ(r.canvas.ops[1].points, (Pts{{501, 400}, {dst.X + 1, dst.Y}}));
    EXPECT_EQ(r.canvas.ops[0].pen, (Pen{colours::kBlue, 1, PenStyle::Dash, PenMode::Copy}));
    EXPECT_EQ(r.canvas.ops[2].points, head);
    EXPECT_EQ(r.canvas.ops[2].pen.style, PenStyle::Dash);
  }
}

TEST(Dial, DashedLineIntoTheCentreIsShortenedSafelyInEveryDirection) {
  // Regression: a horizontal line ending on the centre was shortened by
  // 20 / cos 90 and ended far behind its origin.
  const t_pCan C{864, 239};
  for (int deg = 0; deg < 360; deg += 5) {
    SCOPED_TRACE(deg);
    DialRig r;
    const t_pCan org = Dial::PointAt(C, 100, deg);
    const t_pCan dst{C.X + 3, C.Y - 2};
    r.dial.DessFlechODDash(org, dst);
    const t_pCan end = r.canvas.ops[0].points[1];
    const long double ux = dst.X - org.X, uy = dst.Y - org.Y;
    const long double vx = end.X - org.X, vy = end.Y - org.Y;
    EXPECT_GE(ux * vx + uy * vy, 0);  // not behind the origin
    EXPECT_LE(std::hypot(vx, vy), std::hypot(ux, uy));
    // It stops about on the square of 20 pixels around the centre.
    EXPECT_NEAR(static_cast<double>(std::max(std::fabs(end.X - C.X), std::fabs(end.Y - C.Y))), 20, 4);
  }
  DialRig r;
  r.dial.DessFlechODDash({C.X - 100, C.Y}, C);
  EXPECT_EQ(r.canvas.ops[0].points[1], (t_pCan{C.X - 20, C.Y}));
  DialRig s;  // shorter than the half-square: collapses on its origin
  s.dial.DessFlechODDash({C.X - 10, C.Y}, C);
  EXPECT_EQ(s.canvas.ops[0].points[1], (t_pCan{C.X - 10, C.Y}));
}

TEST(Dial, CompassCard) {
  DialRig r;  // marks start RayonBk - 12 = 216 pixels from the centre
  r.dial.GradueCompas();
  ASSERT_EQ(r.canvas.count(DrawKind::Line), 360u + 72u + 12u);
  int thin = 0, thick = 0;
  for (const DrawOp& o : r.canvas.ops) {
    EXPECT_EQ(o.pen.colour, colours::kBlack);
    (o.pen.width == 1 ? thin : thick)++;
  }
  EXPECT_EQ(thin, 432);
  EXPECT_EQ(thick, 12);
  EXPECT_EQ(r.canvas.ops[0].points, (Pts{{1080, 239}, {1086, 239}}));      // 0 degrees, 6 long
  EXPECT_EQ(r.canvas.ops[90].points, (Pts{{864, 455}, {864, 461}}));       // 90: the sine is added
  EXPECT_EQ(r.canvas.ops[360].points, (Pts{{1080, 239}, {1090, 239}}));    // first 10-pixel mark
  EXPECT_EQ(r.canvas.ops[432 + 6].points, (Pts{{648, 239}, {638, 239}}));  // 180, width 3
}

TEST(Dial, ScaleRingsAndLabels) {
  struct Case { long double etalon; bool draw; std::vector<std::string> labels; };
  const Case cases[] = {
      {10, true, {"5 nds", "10 nds", "15 nds", "20 nds", "25 nds"}},
      {4, true, {"1 nd", "2 nds", "3 nds", "4 nds", "5 nds"}},
      {26, false, {"5 nds", "10 nds", "15 nds", "20 nds", "25 nds"}},
  };
  for (const Case& c : cases) {
    DialRig r;
    r.dial.mem.etalon = c.etalon;
    r.dial.trace_ech(c.draw, 8);
    std::vector<std::string> labels;
    for (const DrawOp& o : r.canvas.ops) {
      EXPECT_EQ(o.colour, c.draw ? colours::kGrey : colours::kCream);
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

TEST(Dial, DepthHistoryAndBox) {
  DialRig r;
  r.dial.DptOn = [] { return false; };
  // Depth t metres (bar 4t): ticks 1..14 fill bars 13..0, ticks 15..20 push them right by six.
  for (int t = 1; t <= 20; ++t) r.dial.MajProf(t, t, 13);
  std::array<std::int32_t, 30> expected{};
  for (int i = 0; i < 30; ++i) expected[i] = i < 20 ? 4 * (20 - i) : 100;
  EXPECT_EQ(r.dial.tabProf, expected);

  r.dial.tabProf.fill(40);
  r.depth.clear();
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

}  // namespace
}  // namespace ventrel
