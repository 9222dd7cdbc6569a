#include "nav/conversions.h"

#include <cmath>

namespace ventrel {

namespace {

// Whole part toward zero, as std::trunc gives it: the nearest whole number, one
// step back toward zero when it lies beyond x. std::trunc switches the x87
// rounding mode to truncation and back around each rounding, which stalls the
// floating-point unit; rint rounds in the mode in force (to nearest), exactly.
long double Int(long double x) {
  long double r = std::rint(x);
  if (x >= 0 ? r > x : r < x) r += x >= 0 ? -1 : 1;
  return std::copysign(r, x);  // -0.5 gives -0, as std::trunc
}

}  // namespace

std::int8_t signe(long double x) { return x == std::fabs(x) ? 1 : -1; }

long double dms_dec(long double x) {
  const int s = signe(x);
  x = std::fabs(x);
  const long double deg = Int(x);
  const long double f = x - deg;
  // The 1e-9 lets 45.29999999999999 count as 30 whole minutes.
  const long double minu = Int(f * 100.0L + 1e-9L);
  const long double sec = f * 10000.0L - minu * 100.0L;  // a fraction of a second stays in it
  return s * (deg + minu / 60.0L + sec / 3600.0L);
}

long double dec_dms(long double x) {
  const long double ax = std::fabs(x);
  long double deg = Int(ax);
  const long double f = (ax - deg) * 60.0L;
  long double mnt = Int(f);
  // Seconds to the nearest whole second, ties to even (the default rounding mode;
  // rint rather than nearbyint, which saves and restores the floating-point
  // environment around the same rounding).
  long double scd = std::rint((f - mnt) * 60.0L);
  if (scd == 60.0L) {
    scd = 0.0L;
    mnt += 1.0L;
    if (mnt == 60.0L) {
      mnt = 0.0L;
      deg += 1.0L;
      if (deg == 360.0L) deg = 0.0L;  // applies to hours as well: 359.99999 h gives 0
    }
  }
  return signe(x) * (mnt / 100.0L + deg + scd / 10000.0L);
}

long double dec_dmd(long double x) {
  const int s = signe(x);
  x = std::fabs(x);
  // 44.99999999999999 counts as 45 with a tiny negative remainder.
  const long double deg = Int(x + 1e-12L);
  return s * ((x - deg) * 3.0L / 5.0L + deg);
}

long double dmd_dec(long double x) {
  const int s = signe(x);
  x = std::fabs(x);
  const long double deg = Int(x + 1e-12L);
  return s * ((x - deg) * 5.0L / 3.0L + deg);
}

long double ArcCos(long double x) {
  // A cosine built from rounded products can leave [-1, 1] by a rounding step;
  // it is held at the bound so that the square root below stays real.
  if (x > 1.0L) x = 1.0L;
  if (x < -1.0L) x = -1.0L;
  if (x == 0.0L) return kPi / 2.0L;
  const long double r = std::atan(std::sqrt(1.0L / (x * x) - 1.0L));
  return x < 0.0L ? kPi - r : r;
}

long double Tan(long double radians) {
  long double s, c;
  SinCosL(radians, s, c);
  return TanOf(s, c);
}

SineCosine SinCosRad(long double radians) {
  SineCosine r;
  SinCosL(radians, r.sin, r.cos);
  return r;
}

long double TanOf(long double sinx, long double cosx) {
  if (std::fabs(cosx) < 1e-7L) return signe(cosx) * sinx / 1e-7L;
  return sinx / cosx;
}

long double ATAN(long double a, long double b) {
  const long double eps = epsilonn;
  if (std::fabs(b) < eps) return a < 0.0L ? kPi : 0.0L;
  // a = 0 is taken on the side of a > 0: straight up is pi/2, straight down -pi/2.
  const long double r = std::atan(std::fabs(b) / std::fabs(a));
  long double res;
  if (a >= 0.0L) {
    res = b < 0.0L ? r : -r;
  } else {
    res = b < 0.0L ? kPi - r : kPi + r;
  }
  return std::fabs(res) < eps ? 0.0L : res;
}

bool isMultiple(std::int32_t a, std::int32_t b) {
  if (b == 0) return false;  // a caller error; never a division by zero
  if (b == -1) return true;  // avoids the overflow of INT32_MIN % -1
  return a % b == 0;
}

}  // namespace ventrel
