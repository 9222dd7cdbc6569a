#pragma once
// Waypoint navigation: reading the waypoint and the variation, distance, bearing,
// closing speed and time en route, and the magnetic heading to steer.

#include "sim/sim_state.h"

namespace ventrel {

// Magnetic heading to steer to the destination, degrees [0, 360): the bearing to
// the waypoint, corrected by the drift to the side given by the drift label
// ("° TRIBORD" adds it) when there is a current, minus the variation.
long double HdGMagToDest(const WaypointState& w, const SimState& s, const t_vect& current);

}  // namespace ventrel
