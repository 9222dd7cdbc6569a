#pragma once
// Waypoint navigation: reading the waypoint and the variation, distance, bearing,
// closing speed and time en route, and the magnetic heading to steer.
// The handlers that read the panel (ReadWaypoint, ReadMagneticVariation, RefreshWaypointLeg) are
// members of the window model; the pieces below are free of the panel.

#include <string>

#include "sim/sim_state.h"

namespace ventrel {

// Magnetic heading to steer to the destination, degrees [0, 360): the bearing to
// the waypoint, corrected by the drift to the side given by the drift label
// (s.DerivTribord, "° TRIBORD", adds it) when there is a current, minus the variation.
long double HdGMagToDest(const WaypointState& w, const SimState& s, const t_vect& current);

// A waypoint coordinate typed as whole degrees and decimal minutes: deg + min/100
// read as packed DMD (so "06.18" is 6.18 minutes), negated for S or W. Degrees out.
long double WpCoordinate(long double deg, long double min, bool negative);

// Speed at which the boat closes the waypoint, knots (negative when it moves away):
// SOG x cos(COG - course to the waypoint), angles in degrees.
long double ClosingSpeed(long double SOG, long double COG, long double cap);

// The time en route as shown: whole hours, " h ", then the minutes of the packed
// hours rounded by the seconds (3.2540 gives "3 h 25", 3.5955 gives "3 h 60").
std::string EteText(long double ETE);

}  // namespace ventrel
