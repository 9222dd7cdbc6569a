#pragma once
// One tick of the physical boat: the variations of wind and heading, the wind
// triangle, dead reckoning, the waypoint leg, the boat speed from the polar and the
// depth. It advances the simulated state and returns the frame of values that the
// panel and the dial present; it draws nothing and writes no text.
//
// Angles in degrees, speeds in knots, depths in metres, as in sim_state.h.

#include <cstdint>

#include "nav/geodesy.h"
#include "sim/boat_speed.h"
#include "sim/params.h"
#include "sim/sim_state.h"

namespace ventrel {

// What one tick computed, in the order the presentation needs it. Where a value
// changes within the tick (the boat speed from the polar, the motion over ground
// worked out with and without it), the frame keeps both.
struct PhysicsFrame {
  std::int32_t tickBefore = 0;      // tick counter at the start of the step
  std::int32_t tickAfter = 0;       // tick counter at its end (tickBefore + 1)
  std::int32_t ticksPerSecond = 1;  // the state's tdiv rounded (1 in every run)
  bool positionStepped = false;     // dead reckoning ran (once per simulated second)
  bool waypointUpdated = false;     // the waypoint leg was worked out again
  bool closeHauled = false;         // the surface wind angle just above the optimum (AuPres)

  t_vect trueWind;         // after the variations: speed, direction from
  t_vect current;          // speed, direction towards; mdl 0 without current
  t_vect surfaceWind;      // true wind over the water: speed, direction from
  t_vect boatBeforePolar;  // heading of the tick, speed of the previous tick
  t_vect apparentWind;     // from the boat as it was before the polar
  t_vect groundBeforePolar;  // current + boatBeforePolar: speed, course
  t_vect boatAfterPolar;     // heading of the tick, speed from the polar (or the manoeuvre)
  t_vect groundAfterPolar;   // current + boatAfterPolar: speed, course
  SailingTack tackSide = SailingTack::tribord;  // the tack side for the heading of the tick

  // The larger of the apparent and true wind speeds, knots: the dial's scale is
  // chosen to hold it.
  long double scaleReference = 0.0L;
  long double depthBelowSurface = 0.0L;     // metres
  long double depthBelowTransducer = 0.0L;  // metres, depthBelowSurface - surface offset

  // The polar gave no finite boat speed: the step stopped after the drift (the
  // boat speed, the second motion over ground, the relative wind, the scale and
  // the depth were not worked out; boatAfterPolar and groundAfterPolar then hold
  // the state as it stands, the counter was advanced). The presentation shows what
  // was reached and reports the error.
  bool boatSpeedUndefined = false;
};

// The inputs of one tick besides the state: the boat-speed model (its best upwind
// angle and polar), the check boxes of the variations and the chart of the dead
// reckoning. The model owns them all.
struct PhysicsInputs {
  BoatSpeedModel& speed;
  const Params& params;
  Mercator& chart;
};

// Advances the state and the waypoint by one tick and returns what it computed.
PhysicsFrame AdvancePhysics(SimState& s, WaypointState& w, const PhysicsInputs& in);

// The rate of turn, degrees per minute, from heading `before` to heading `after`
// (degrees true) in `minutes`: the change taken the short way round, in
// (-180, 180], negative when the bow turned to port; 0 when minutes is not above 0.
long double TurnRate(long double before, long double after, long double minutes);

// The apparent wind (boat + surface wind), its angle off the bow and the surface
// wind angle off the bow, from the state as it stands.
void UpdateApparentWind(SimState& s);

// The drift angle between the heading and the course over ground (0..180) and its
// side (true: starboard), from the state as it stands.
void UpdateDrift(SimState& s);

// The great-circle distance, bearing and closing speed to the waypoint from the
// current position, and the time en route when the boat closes it.
void UpdateWaypointLeg(WaypointState& w, const SimState& s, Mercator& chart);

}  // namespace ventrel
