// The boat-speed model on the polar table.
//
// Inside the table the speed is interpolated linearly in wind speed on the two rows
// that bracket the angle, then linearly in angle, and scaled by polPerc. Below the
// lowest wind speed a parabola in Ws / idx_fv[0] brings the speed down to 0 at about
// 0.61 of it; below the smallest angle the speed falls with the square of the angle
// down to a quarter of that angle. Wind speeds above the last column and angles
// beyond the last row take the last column's and the last row's speeds.

#include "sim/boat_speed.h"

#include <algorithm>
#include <cmath>

#include "nav/conversions.h"
#include "nav/number_forms.h"

namespace ventrel {

namespace {

// The model needs two columns and two rows to bracket anything, and reads only
// the first NCOL columns of the first NLIG rows.
bool Usable(const PolarTable& p) {
  if (p.NCOL < 2 || p.NCOL > PolarTable::kMaxCol) return false;
  if (p.NLIG < 2 || p.NLIG > PolarTable::kMaxLig) return false;
  if (p.TabPol.size() < static_cast<std::size_t>(p.NLIG)) return false;
  for (int i = 0; i < p.NLIG; ++i) {
    if (p.TabPol[i].size() < static_cast<std::size_t>(p.NCOL)) return false;
  }
  return true;
}

// Index of the lower end of the first interval [axis[k], axis[k + 1]] that holds x,
// for x >= axis[0]. Such an interval always exists (take the last k with
// axis[k] <= x); the bound only keeps the search inside the n entries. Beyond the
// last entry x is brought back to it: the last interval, at its upper end.
int Bracket(const long double* axis, int n, long double& x) {
  if (x > axis[n - 1]) {
    x = axis[n - 1];
    return n - 2;
  }
  int k = 0;
  while (k < n - 2 && (axis[k] > x || axis[k + 1] < x)) ++k;
  return k;
}

// y0 + (y1 - y0) / (x1 - x0) * (x - x0); an interval of zero width (a table built
// by hand with two equal neighbours) gives y0 instead of a division by zero.
long double Along(long double x0, long double y0, long double x1, long double y1, long double x) {
  if (x1 == x0) return y0;
  return y0 + (y1 - y0) / (x1 - x0) * (x - x0);
}

// Between two speeds of the table, neither below 0, the exact interpolation is not
// below 0 either; rounding alone can bring it a few units of the last place below 0
// next to a speed of 0 (y0 + (0 - y0) / 6 x 6). Such a value is 0.
long double NotBelowZero(long double v) { return v < 0.0L ? 0.0L : v; }

}  // namespace

long double BoatSpeedModel::BoatSpeed(long double Wa, long double Ws) {
  const PolarTable& p = *polar_;
  if (!Usable(p) || !std::isfinite(Wa) || !std::isfinite(Ws)) return 0.0L;

  // 1. Below the lowest wind speed: the full model at that speed, then scaled down.
  if (Ws < p.idx_fv[0]) {
    MemWs = Ws;
    const long double Sref = BoatSpeed(Wa, p.idx_fv[0]);
    Ws = MemWs;
    return BoatSpeedUnderWmin(Sref, Wa, Ws);
  }

  // 2. Wind-speed bracket; above the last column the last column's speeds.
  const int ixiWs = Bracket(p.idx_fv.data(), p.NCOL, Ws);
  const int ixsWs = ixiWs + 1;
  const long double Wsi = p.idx_fv[ixiWs];
  const long double Wss = p.idx_fv[ixsWs];

  // 3. Below the smallest angle; the percentage is not applied here.
  if (Wa < p.idx_dv[0]) {
    const long double v = NotBelowZero(InterpoLin(Wsi, p.TabPol[0][ixiWs], Wss, p.TabPol[0][ixsWs], Ws));
    return SpeedUnderAmin(Wa, p.idx_dv[0], v, Wsi);
  }

  // 4. Angle bracket; beyond the last row the last row's speeds.
  const int ixiWa = Bracket(p.idx_dv.data(), p.NLIG, Wa);
  const int ixsWa = ixiWa + 1;
  const long double Wai = p.idx_dv[ixiWa];
  const long double Was = p.idx_dv[ixsWa];

  // 5. In wind speed on both rows, then in angle.
  const std::vector<long double>& lo = p.TabPol[ixiWa];
  const std::vector<long double>& hi = p.TabPol[ixsWa];
  const long double s1 = Along(Wsi, lo[ixiWs], Wss, lo[ixsWs], Ws);
  const long double s2 = Along(Wsi, hi[ixiWs], Wss, hi[ixsWs], Ws);
  const long double s = NotBelowZero(Along(Wai, s1, Was, s2, Wa));

  // 6. The polar percentage.
  return s * polPerc / 100.0L;
}

long double BoatSpeedModel::BoatSpeedUnderWmin(long double Sref, long double /*Wa*/,
                                               long double Ws) const {
  const long double wmin = polar_->idx_fv[0];
  if (!(wmin > 0.0L)) return 0.0L;  // only a negative wind lies below a first column of 0
  const long double r = Ws / wmin;
  // (-5 r^2 + 15 r - 7.25) / 2.75: 1 at r = 1, 0 at r = (15 - sqrt 80) / 10 = 0.6056.
  const long double v = (-5.0L * r * r + 15.0L * r - 7.25L) * Sref / 2.75L;
  return v > 0.0L ? v : 0.0L;
}

long double BoatSpeedModel::SpeedUnderAmin(long double A, long double Amin, long double VAmin,
                                           long double Wsi) {
  if (diagnostics_) {
    diagnostics_(" A =" + generalForm(A));
    diagnostics_(" Amin =" + generalForm(Amin));
    diagnostics_(" Wsi =" + generalForm(Wsi));
    diagnostics_(" VAmin =" + generalForm(VAmin));
  }
  // A > Amin / 4 with A < Amin implies Amin > 0: the division is safe.
  if (A > Amin / 4.0L) {
    const long double q = A / Amin;
    return q * q * VAmin;
  }
  return 0.0L;
}

long double BoatSpeedModel::InterpoLin(long double X0, long double Y0, long double X1,
                                       long double Y1, long double XM) {
  if (X1 == X0) return Y0;  // no division by zero on a table built with equal neighbours
  return Y0 + (Y1 - Y0) * (XM - X0) / (X1 - X0);
}

t_vect BoatSpeedModel::SpMaxWndWrd(long double wsref) {
  const PolarTable& p = *polar_;
  if (!Usable(p)) {
    spmes.fill(0.0L);
    return {0.0L, 0.0L};
  }
  // 151 samples from the smallest angle, a third of a degree apart: 50 degrees.
  const long double a0 = p.idx_dv[0];
  long double a = a0;
  for (std::size_t k = 0; k < spmes.size(); ++k) {
    spmes[k] = CosL(DEC_RAD(a)) * BoatSpeed(a, wsref);
    a += 1.0L / 3.0L;
  }
  // Strictly greater: equal values keep the earlier, smaller angle.
  long double best = spmes[0];
  long double aBest = a0;
  for (std::size_t k = 1; k < spmes.size(); ++k) {
    if (spmes[k] > best) {
      best = spmes[k];
      aBest = a0 + static_cast<long double>(k) / 3.0L;
    }
  }
  const long double s = BoatSpeed(aBest, wsref);
  AlphaOptWndWrd = aBest;
  return {s, aBest};
}

void BoatSpeedModel::UpDownPolClick(bool up) {
  // Clamped before the step too, so that a value set out of range elsewhere cannot overflow.
  polPerc = std::clamp(std::clamp(polPerc, 0, 100) + (up ? 1 : -1), 0, 100);
}

}  // namespace ventrel
