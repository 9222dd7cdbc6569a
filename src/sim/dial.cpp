#include "sim/dial.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "nav/conversions.h"
#include "nav/number_forms.h"

namespace ventrel {

std::int32_t RoundEven(long double x) { return static_cast<std::int32_t>(std::nearbyint(x)); }

int ScaleFor(long double etalon) {
  if (etalon <= 5) return Conv1N_05;
  if (etalon <= 10) return Conv1N_10;
  if (etalon <= 15) return Conv1N_15;
  if (etalon <= 20) return Conv1N_20;
  if (etalon <= 25) return Conv1N_25;
  return Conv1N_30;
}

namespace {

long double CosDeg(long double a) { return std::cos(DEC_RAD(a)); }
long double SinDeg(long double a) { return std::sin(DEC_RAD(a)); }

// Within 18 pixels of the centre on both axes.
bool NearCentre(t_pCan p, t_pCan c) { return std::abs(p.X - c.X) < 19 && std::abs(p.Y - c.Y) < 19; }

}  // namespace

Dial::Dial() : window_(&nullCanvas_), depth_(&nullCanvas_) {
  tabProf.fill(100);
  SetShapes(kVisuNormal, kVisuBkNormal);
}

void Dial::SetCanvases(Canvas* window, Canvas* depthBox) {
  window_ = window ? window : &nullCanvas_;
  depth_ = depthBox ? depthBox : &nullCanvas_;
}

void Dial::SetShapes(ShapeRect visu, ShapeRect visuBk) {
  visu_ = visu;
  Rayon = RoundEven(visu.height / 2.0L) - 1;
  RayonBk = RoundEven(visuBk.height / 2.0L);
  Centre = {visu.left + RoundEven(visu.width / 2.0L), visu.top + Rayon};
}

void Dial::RepaintVisu() {
  Canvas& c = canvas();
  c.SetPenColour(colours::kCream);
  c.SetPenWidth(1);
  c.SetPenStyle(PenStyle::Solid);
  c.SetBrush(colours::kCream);
  const int d = visu_.height;
  c.Ellipse({visu_.left + (visu_.width - d) / 2, visu_.top}, d, d);
}

void Dial::GradueCompas() {
  Canvas& c = canvas();
  c.SetPenColour(colours::kBlack);
  c.SetPenStyle(PenStyle::Solid);
  const long double r = RayonBk - 12;
  auto mark = [&](int i, long double length) {
    const long double ca = CosDeg(i), sa = SinDeg(i);
    const t_pCan from{Centre.X + RoundEven(ca * r), Centre.Y + RoundEven(sa * r)};
    const t_pCan to{from.X + RoundEven(ca * length), from.Y + RoundEven(sa * length)};
    c.Line(from, to);
  };
  c.SetPenWidth(1);
  for (int i = 0; i <= 359; ++i) mark(i, 6);
  for (int i = 0; i <= 355; i += 5) mark(i, 10);
  c.SetPenWidth(3);
  for (int i = 0; i <= 330; i += 30) mark(i, 10);
}

t_pCan Dial::PointAt(t_pCan org, long double lgr, long double angl) {
  return {org.X + RoundEven(lgr * CosDeg(angl)), org.Y - RoundEven(lgr * SinDeg(angl))};
}

t_pCan Dial::CoordORIgW(long double lgr, long double angl) const { return PointAt(Centre, lgr, angl); }

void Dial::Head(t_pCan tip, long double a) {
  Canvas& c = canvas();
  c.SetBrush(c.pen().colour);
  const t_pCan pts[4] = {
      tip,
      {tip.X - RoundEven(CosDeg(a - beta) * lf), tip.Y + RoundEven(SinDeg(a - beta) * lf)},
      {tip.X - RoundEven(CosDeg(a) * lf1), tip.Y + RoundEven(SinDeg(a) * lf1)},
      {tip.X - RoundEven(CosDeg(a + beta) * lf), tip.Y + RoundEven(SinDeg(a + beta) * lf)},
  };
  c.Polygon(pts);
}

void Dial::DessFlech(t_pCan org, long double lgr, long double angl) {
  Canvas& c = canvas();
  // The quadrant below is chosen on the angle brought into [0, 360): an angle
  // such as 450 - 30 = 420 is the direction of 60 degrees.
  long double a = std::fmod(angl, 360.0L);
  if (a < 0) a += 360;
  c.SetPenWidth(2);
  c.SetPenStyle(PenStyle::Solid);
  t_pCan tip = PointAt(org, lgr, a);
  if (NearCentre(tip, Centre)) {
    long double d;
    if (a >= 45 && a < 135) {
      d = std::fabs(20 / CosDeg(90 - a));
    } else if (a >= 135 && a < 225) {
      d = std::fabs(20 / CosDeg(180 - a));
    } else if (a >= 225 && a < 315) {
      d = std::fabs(20 / CosDeg(270 - a));
    } else {
      d = std::fabs(20 / CosDeg(-a));
    }
    tip = PointAt(org, lgr - d, a);
  }
  c.Line(org, tip);
  Head(tip, a);
}

void Dial::DessFlechODDash(t_pCan org, t_pCan dst) {
  Canvas& c = canvas();
  c.SetBrush(colours::kCream);
  c.SetPenWidth(1);
  c.SetPenStyle(PenStyle::Dash);
  const long double dx = dst.X - org.X;
  const long double dy = dst.Y - org.Y;
  long double phi;
  if (std::fabs(dx) > epsilonn) {
    phi = RAD_DEC(ATAN(dx, dy));
  } else {
    phi = dy > 0 ? 270.0L : 90.0L;
  }
  const long double length = std::sqrt(dx * dx + dy * dy);
  if (NearCentre(dst, Centre)) {
    // Stop on the edge of the 40-pixel square around the centre, measured along
    // the line (for a near-vertical line this is 20 / |sin phi|), and never
    // before the origin.
    const long double edge =
        20 / std::max(std::fabs(CosDeg(phi)), std::fabs(SinDeg(phi)));
    dst = PointAt(org, std::max(length - edge, 0.0L), phi);
  }
  c.Line(org, dst);
  c.Line({org.X + 1, org.Y}, {dst.X + 1, dst.Y});
  Head(dst, phi);
}

void Dial::DessRelWp(long double angl) {
  Canvas& c = canvas();
  c.SetPenWidth(1);
  c.SetPenStyle(PenStyle::Dot);
  c.Line(Centre, CoordORIgW(RayonBk - 12, angl));
  c.SetPenStyle(PenStyle::Solid);
}

void Dial::trace_ech(bool trON, long double fconv) {
  Canvas& c = canvas();
  const Rgb colour = trON ? colours::kGrey : colours::kCream;
  c.SetPenColour(colour);
  const bool small = mem.etalon <= 5;
  static const char* const kSmall[5] = {"1 nd", "2 nds", "3 nds", "4 nds", "5 nds"};
  static const char* const kLarge[5] = {"5 nds", "10 nds", "15 nds", "20 nds", "25 nds"};
  for (int k = 0; k < 5; ++k) {
    const int knots = small ? k + 1 : 5 * (k + 1);
    const std::string label = small ? kSmall[k] : kLarge[k];
    const std::int32_t r = RoundEven(knots * fconv);
    const int shift = knots >= 10 ? 15 : 10;
    c.Text({Centre.X - shift, Centre.Y - r - 12}, label, colour);
    const int stepDeg = k == 0 ? 2 : 1;
    const int last = k == 0 ? 358 : 360;
    for (int a = 0; a <= last; a += stepDeg) {
      c.Pixel({RoundEven(Centre.X + CosDeg(a) * r), RoundEven(Centre.Y + SinDeg(a) * r)}, colour);
    }
  }
}

void Dial::MajProf(std::int32_t t, long double dbs, long double WatrTemp) {
  const std::int32_t v = RoundEven(dbs * 4);
  if (t <= 14) {
    const std::int32_t i = 14 - t;
    if (i >= 0 && i < kDepthBars) tabProf[i] = v;
  } else {
    std::copy_backward(tabProf.begin(), tabProf.end() - 1, tabProf.end());
    tabProf[0] = v;
  }
  PaintBxProfPaint(dbs, WatrTemp);
}

void Dial::PaintBxProfPaint(long double dbs, long double WatrTemp) {
  Canvas& c = depthCanvas();
  c.FillRect({0, 0}, boxWidth, boxHeight, colours::kBlue);
  c.Text({110, 5}, fixedForm(WatrTemp, 15, 1) + " °C", colours::kYellow);
  if (DptOn && !DptOn()) return;
  c.Text({10, 5}, fixedForm(dbs, 15, 1) + " m", colours::kYellow);
  for (int i = 0; i < kDepthBars; ++i) {
    const int h = std::max(tabProf[i], 0);
    c.FillRect({5 * i, boxHeight - h}, 5, h, colours::kOlive);
  }
}

}  // namespace ventrel
