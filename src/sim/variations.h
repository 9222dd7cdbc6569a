#pragma once
// The slow, deterministic variations of the wind, the heading and the depth.
// s: seconds since the start of the run (the tick counter over the time divisor).
// Arguments of the sines are radians; the periods are 30, 10 and 6 s for the wind
// speed, 90, 30 and 18 s for the wind direction and the depth, about 50, 16.7 and
// 10 s for the heading.

namespace ventrel {

// The three sines that the wind direction and the depth share at the time s
// (periods 90, 30 and 18 s), worked out once for both.
struct SlowSines {
  long double p90 = 0.0L;
  long double p30 = 0.0L;
  long double p18 = 0.0L;
};
SlowSines SlowSinesAt(long double s);

// Relative change of the true wind speed: TW.mdl = TWS x (1 + WindSpeedTerms(s)).
long double WindSpeedTerms(long double s);
// Added to the true wind direction, degrees, from the sines at the time s.
long double WindDirTerms(const SlowSines& w);
// Added to the heading, degrees.
long double HeadingTerms(long double s);
// Depth below the surface, metres: 13 m and its variation (always on), from the
// sines at the time s.
long double Depth(const SlowSines& w);

}  // namespace ventrel
