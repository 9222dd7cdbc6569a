#pragma once
// Sine and cosine of an extended real in radians, for the geodesy, the wind
// triangle and the sea-state variations.
//
// The C library's extended sinl and cosl reduce every argument beyond pi/4 by
// their general method (pi/2 to hundreds of bits, for arguments up to 2^16384),
// which costs more than the sine itself; nearly every angle here is a bearing
// between 0 and 2 pi. Arguments below 2^20 radians are brought into
// [-pi/4, pi/4] here with pi/2 in three pieces: n x P1 and n x P2 are exact, so
// the remainder and its rounding tail are known to about 2^-115. The sine or the
// cosine of the remainder comes from its series, and the tail is added to first
// order. The results lie within about one unit of the last place of the library's.
// Larger arguments, infinities and NaN go to the library as they are.

#include <cmath>
#include <limits>

namespace ventrel {

namespace trig_detail {

// pi/2 = P1 + P2 + P3 + O(2^-135): P1 and P2 with 32 significant bits each.
inline constexpr long double kP1 = 0x1.921fb544p+0L;
inline constexpr long double kP2 = 0x1.0b4611a6p-34L;
inline constexpr long double kP3 = 0x1.3198a2e03707344ap-69L;
inline constexpr long double kTwoOverPi = 0x1.45f306dc9c882a54p-1L;
// Adding and taking away 1.5 x 2^(digits - 1) rounds to the nearest integer
// (without a conversion to an integer type, which makes the x87 unit change its
// rounding mode twice).
constexpr long double RoundingConstant() {
  long double r = 1.5L;
  for (int i = 1; i < std::numeric_limits<long double>::digits; ++i) r *= 2.0L;
  return r;
}
inline constexpr long double kRoundToInteger = RoundingConstant();
inline constexpr long double kLargest = 0x1p20L;

// x = n pi/2 + hi + lo, |hi| <= about pi/4, quadrant = n mod 4.
struct Reduced {
  long double hi;
  long double lo;
  unsigned quadrant;
};

// Sum and exact rounding error of a + b.
inline void TwoSum(long double a, long double b, long double& s, long double& e) {
  s = a + b;
  const long double bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

// The pieces of pi/2 and the series are sized for extended reals of 64 bits of
// mantissa at most; a wider format (a quadruple long double) keeps the library's.
inline constexpr bool kOwnKernels = std::numeric_limits<long double>::digits <= 64;

inline bool Reduce(long double x, Reduced& r) {
  if (!kOwnKernels || !(std::fabs(x) < kLargest)) return false;
  const long double n = (x * kTwoOverPi + kRoundToInteger) - kRoundToInteger;
  // |n| < 2^20: n P1 and n P2 fit in the mantissa, and x - n P1 is exact
  // (the two are within a factor of two of each other, or n is 0).
  const long double t = x - n * kP1;
  long double s1, e1, s2, e2;
  TwoSum(t, -(n * kP2), s1, e1);
  TwoSum(s1, -(n * kP3), s2, e2);
  const long double lo = e1 + e2;
  r.hi = s2 + lo;
  r.lo = lo - (r.hi - s2);
  // n - 4 round(n / 4) is one of -2 ... 2.
  const long double q = n - 4.0L * ((n * 0.25L + kRoundToInteger) - kRoundToInteger);
  r.quadrant = q == 0.0L ? 0 : q == 1.0L ? 1 : q == -1.0L ? 3 : 2;
  return true;
}

// sin x and cos x for |x| <= about pi/4 from their series, cut where the next term
// is below 2^-70 of the result (the terms to x^19 and x^20; the coefficients are
// 1/n! to the last bit). The cosine takes 1 - x^2/2 in two parts, so that the
// rounding of the large subtraction is not lost.
inline long double SinKernel(long double x) {
  const long double z = x * x;
  const long double p =
      -0x1.5555555555555556p-3L +
      z * (0x1.1111111111111112p-7L +
           z * (-0x1.a01a01a01a01a01ap-13L +
                z * (0x1.71de3a556c7338fap-19L +
                     z * (-0x1.ae64567f544e38fep-26L +
                          z * (0x1.6124613a86d097cap-33L +
                               z * (-0x1.ae7f3e733b81f11ep-41L +
                                    z * (0x1.952c77030ad4a6b2p-49L + z * -0x1.2f49b4681415724cp-57L)))))));
  return x + x * z * p;
}

inline long double CosKernel(long double x) {
  const long double z = x * x;
  const long double q =
      0x1.5555555555555556p-5L +
      z * (-0x1.6c16c16c16c16c16p-10L +
           z * (0x1.a01a01a01a01a01ap-16L +
                z * (-0x1.27e4fb7789f5c72ep-22L +
                     z * (0x1.1eed8eff8d897b54p-29L +
                          z * (-0x1.93974a8c07c9d20cp-37L +
                               z * (0x1.ae7f3e733b81f11ep-45L +
                                    z * (-0x1.6827863b97d977bcp-53L + z * 0x1.e542ba402022507ap-62L)))))));
  const long double hz = 0.5L * z;
  const long double w = 1.0L - hz;
  return w + (((1.0L - w) - hz) + z * z * q);
}

// sin(hi + lo) and cos(hi + lo) for |hi| <= about pi/4, |lo| within half a unit of hi.
inline long double SinNear(long double hi, long double lo) { return SinKernel(hi) + lo * (1.0L - hi * hi * 0.5L); }
inline long double CosNear(long double hi, long double lo) { return CosKernel(hi) - lo * hi; }

// sin(n pi/2 + hi + lo) for n = quadrant (mod 4); the cosine is the sine a
// quadrant further on.
inline long double SineInQuadrant(const Reduced& r, unsigned quadrant) {
  switch (quadrant & 3) {
    case 0: return SinNear(r.hi, r.lo);
    case 1: return CosNear(r.hi, r.lo);
    case 2: return -SinNear(r.hi, r.lo);
    default: return -CosNear(r.hi, r.lo);
  }
}

}  // namespace trig_detail

inline long double SinL(long double x) {
  trig_detail::Reduced r;
  return trig_detail::Reduce(x, r) ? trig_detail::SineInQuadrant(r, r.quadrant) : std::sin(x);
}

inline long double CosL(long double x) {
  trig_detail::Reduced r;
  return trig_detail::Reduce(x, r) ? trig_detail::SineInQuadrant(r, r.quadrant + 1) : std::cos(x);
}

// Both with one reduction.
inline void SinCosL(long double x, long double& sinx, long double& cosx) {
  using namespace trig_detail;
  Reduced r;
  if (!Reduce(x, r)) {
    sinx = std::sin(x);
    cosx = std::cos(x);
    return;
  }
  const long double s = SinNear(r.hi, r.lo), c = CosNear(r.hi, r.lo);
  switch (r.quadrant) {
    case 0: sinx = s; cosx = c; break;
    case 1: sinx = c; cosx = -s; break;
    case 2: sinx = -s; cosx = -c; break;
    default: sinx = -c; cosx = s; break;
  }
}

}  // namespace ventrel
