#include "model/dial.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "nav/conversions.h"
#include "nav/number_forms.h"

namespace ventrel {

// llrint rounds in the mode in force, to nearest with halves to even, which the
// program never changes (and is far cheaper than nearbyint, which saves the
// floating-point environment).
std::int32_t RoundEven(long double x) { return static_cast<std::int32_t>(std::llrint(x)); }

int ScaleFor(long double etalon) {
  if (etalon <= 5) return Conv1N_05;
  if (etalon <= 10) return Conv1N_10;
  if (etalon <= 15) return Conv1N_15;
  if (etalon <= 20) return Conv1N_20;
  if (etalon <= 25) return Conv1N_25;
  return Conv1N_30;
}

namespace {

struct SinCos {
  long double sin;
  long double cos;
};

// Sine and cosine of an angle in degrees, reduced in degrees to the nearest
// quarter turn first, so that the quarter turns come out exact (cos 90 is 0, not
// 1e-20). The drawing needs pixels, not extended precision: the remaining
// |x| <= pi/4 goes through the double functions, ten times faster.
SinCos SinCosDeg(long double a) {
  long double r = a;
  if (r < 0 || r >= 360) {
    r = std::fmod(r, 360.0L);
    if (r < 0) r += 360;
  }
  const int q = r < 45 ? 0 : r < 135 ? 1 : r < 225 ? 2 : r < 315 ? 3 : 4;
  const double x = static_cast<double>(DEC_RAD(r - 90 * q));
  const long double s = std::sin(x), c = std::cos(x);
  switch (q & 3) {
    case 0: return {s, c};
    case 1: return {c, -s};
    case 2: return {-s, -c};
    default: return {-c, s};
  }
}

long double CosDeg(long double a) { return SinCosDeg(a).cos; }
long double SinDeg(long double a) { return SinCosDeg(a).sin; }

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
  windowDraws_ = dynamic_cast<NullCanvas*>(window_) == nullptr;
  depthDraws_ = dynamic_cast<NullCanvas*>(depth_) == nullptr;
}

void Dial::SetShapes(ShapeRect visu, ShapeRect visuBk) {
  visu_ = visu;
  Rayon = RoundEven(visu.height / 2.0L) - 1;
  RayonBk = RoundEven(visuBk.height / 2.0L);
  Centre = {visu.left + RoundEven(visu.width / 2.0L), visu.top + Rayon};

  // A graduation at angle i runs from Centre + round((cos i, sin i) x (RayonBk - 12))
  // outward by round((cos i, sin i) x length).
  card_.clear();
  const long double r = RayonBk - 12;
  auto mark = [&](int i, long double length) {
    const SinCos sc = SinCosDeg(i);
    const long double ca = sc.cos, sa = sc.sin;
    const t_pCan from{Centre.X + RoundEven(ca * r), Centre.Y + RoundEven(sa * r)};
    card_.emplace_back(from, t_pCan{from.X + RoundEven(ca * length), from.Y + RoundEven(sa * length)});
  };
  for (int i = 0; i <= 359; ++i) mark(i, 6);
  for (int i = 0; i <= 355; i += 5) mark(i, 10);
  for (int i = 0; i <= 330; i += 30) mark(i, 10);
  rings_.clear();
}

const std::vector<t_pCan>& Dial::RingPixels(std::int32_t r, int step) {
  const auto key = std::make_pair(r, step);
  auto it = rings_.find(key);
  if (it != rings_.end()) return it->second;
  if (rings_.size() > 64) rings_.clear();  // scales typed by hand: keep the cache small
  std::vector<t_pCan> px;
  const int last = step == 2 ? 358 : 360;
  for (int a = 0; a <= last; a += step) {
    const SinCos sc = SinCosDeg(a);
    px.push_back({RoundEven(Centre.X + sc.cos * r), RoundEven(Centre.Y + sc.sin * r)});
  }
  return rings_.emplace(key, std::move(px)).first->second;
}

void Dial::RepaintVisu() {
  if (!windowDraws_) return;
  Canvas& c = canvas();
  c.SetPenColour(colours::kCream);
  c.SetPenWidth(1);
  c.SetPenStyle(PenStyle::Solid);
  c.SetBrush(colours::kCream);
  const int d = visu_.height;
  c.Ellipse({visu_.left + (visu_.width - d) / 2, visu_.top}, d, d);
}

void Dial::GradueCompas() {
  if (!windowDraws_) return;
  Canvas& c = canvas();
  c.SetPenColour(colours::kBlack);
  c.SetPenStyle(PenStyle::Solid);
  c.SetPenWidth(1);
  for (std::size_t k = 0; k < card_.size(); ++k) {
    if (k == 432) c.SetPenWidth(3);
    c.Line(card_[k].first, card_[k].second);
  }
}

t_pCan Dial::PointAt(t_pCan org, long double lgr, long double angl) {
  const SinCos sc = SinCosDeg(angl);
  return {org.X + RoundEven(lgr * sc.cos), org.Y - RoundEven(lgr * sc.sin)};
}

t_pCan Dial::CoordORIgW(long double lgr, long double angl) const { return PointAt(Centre, lgr, angl); }

t_pCan Dial::DessFlechVent(long double lgr, long double angl) {
  const t_pCan tail = CoordORIgW(lgr, angl);
  DessFlech(tail, lgr, angl - 180);
  return tail;
}

void Dial::Head(t_pCan tip, long double a) {
  Canvas& c = canvas();
  c.SetBrush(c.pen().colour);
  const SinCos before = SinCosDeg(a - beta), along = SinCosDeg(a), after = SinCosDeg(a + beta);
  const t_pCan pts[4] = {
      tip,
      {tip.X - RoundEven(before.cos * lf), tip.Y + RoundEven(before.sin * lf)},
      {tip.X - RoundEven(along.cos * lf1), tip.Y + RoundEven(along.sin * lf1)},
      {tip.X - RoundEven(after.cos * lf), tip.Y + RoundEven(after.sin * lf)},
  };
  c.Polygon(pts);
}

void Dial::DessFlech(t_pCan org, long double lgr, long double angl) {
  if (!windowDraws_) return;
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
  if (!windowDraws_) return;
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
  if (!windowDraws_) return;
  Canvas& c = canvas();
  c.SetPenWidth(1);
  c.SetPenStyle(PenStyle::Dot);
  c.Line(Centre, CoordORIgW(RayonBk - 12, angl));
  c.SetPenStyle(PenStyle::Solid);
}

void Dial::trace_ech(bool trON, long double fconv) {
  if (!windowDraws_) return;
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
    // The first ring one pixel every 2 degrees from 0 to 358, the others every
    // degree from 0 to 360 inclusive.
    for (const t_pCan& p : RingPixels(r, k == 0 ? 2 : 1)) c.Pixel(p, colour);
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
  if (!depthDraws_) return;
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
