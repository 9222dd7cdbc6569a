#pragma once
// Angle and coordinate conversions, guarded trigonometry and the divisibility test.
//
// Packed forms of a sexagesimal quantity held in one real:
//   packed DMS: sign x (D + MM/100 + SS/10000), degrees (or hours), whole minutes,
//               seconds (a fraction of a second may follow); 45°30'15" is 45.3015.
//   packed DMD: sign x (D + M/100), degrees and decimal minutes; 51°06.18' is 51.0618.
// Every angle here is in degrees unless the name says radians.

#include <cstdint>

#include "nav/trig.h"

namespace ventrel {

inline constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Zero threshold of ATAN; the drawing code guards its own ATAN calls with it.
inline constexpr long double epsilonn = 1e-120L;

// 1 when x >= 0 (also for -0.0), otherwise -1.
std::int8_t signe(long double x);

// Packed DMS -> decimal degrees; a value a hair below a whole minute counts as that minute.
long double dms_dec(long double x);
// Decimal degrees (or hours) -> packed DMS, seconds rounded half to even, carried
// into minutes and degrees; a carry that reaches 360 gives 0.
long double dec_dms(long double x);
// Packed DMD <-> decimal degrees.
long double dmd_dec(long double x);
long double dec_dmd(long double x);

// Inline: called at every step of the geodesy and of the dial, where a call
// passes its extended real through memory.
inline long double DEC_RAD(long double degrees) { return degrees * kPi / 180.0L; }
inline long double RAD_DEC(long double radians) { return radians * 180.0L / kPi; }

// x in [-1, 1] -> radians in [0, pi]; a value outside (a rounding step, the only
// way callers produce one) is clamped to the bound, so the result is never NaN
// for a number.
long double ArcCos(long double x);
// tan x with cos x held at +-1e-7 near the poles of the function: always finite.
long double Tan(long double radians);
// The same from the sine and the cosine of x.
long double TanOf(long double sinx, long double cosx);
// sin x and cos x (radians) with one argument reduction for both: the values of
// SinL and CosL.
struct SineCosine {
  long double sin = 0.0L;
  long double cos = 0.0L;
};
SineCosine SinCosRad(long double radians);
// Direction of the screen vector (a, -b) in radians, in (-pi/2, 3pi/2). Callers
// keep |a| > epsilonn; a = 0 is taken as a > 0 (b < 0 gives pi/2, b > 0 -pi/2).
long double ATAN(long double a, long double b);

// True when a is divisible by b (truncating division); b must not be 0 (it then
// answers false rather than dividing by zero).
bool isMultiple(std::int32_t a, std::int32_t b);

}  // namespace ventrel
