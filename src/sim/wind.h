#pragma once
// Wind angles, tack side and drift of the simulated boat, from its state.

#include "sim/sim_state.h"

namespace ventrel {

// a brought into [0, 360).
long double Wrap360(long double a);

// The heading from which every angle off the bow is measured: BS.argt brought
// into [0, 360). The heading itself may read above 360 (the heading variation over
// north), as it is shown; the wind angles, the tack side and the drift never do.
long double HeadingForAngles(const SimState& s);

// True when the direction `dir` (degrees) lies in the port sector of the heading
// `heading` (in [0, 360)) whose reciprocal is H180: from H180 up to the heading when
// the heading is the larger, otherwise below the heading or from H180 up.
bool InPortSector(long double heading, long double H180, long double dir);

// Tack side for the current heading and true wind; also sets s.TWA. A wind from
// dead ahead gives tribord, from dead astern babord. Uses s.H180 as left by the
// last tick or start.
SailingTack UpdateTackSide(SimState& s);
// The same tack side without touching the state (for the sentence builders).
SailingTack TackSideOf(const SimState& s);

// Apparent wind angle clockwise from the bow, 0..360, from the angle off the bow
// (0..180) and the tack: the wind over the port bow reads from 180 up.
long double ApparentWindAngleAround(long double AWA, SailingTack side);

// True when the course over ground lies in the port sector of the heading (the
// drift label then reads "° BABORD"), tested as UpdateTackSide tests the wind.
bool CogInPortSector(const SimState& s);

}  // namespace ventrel
