#pragma once
// The NAV pilot's decision for one second: how the boat follows a heading asked
// from outside (a chart plotter's heading to steer or bearing to its waypoint)
// within what a sailing boat can do.
//
// - The heading turns toward the one asked, the shorter way, by at most the turn
//   rate in a second.
// - A heading asked closer to the wind than the best upwind angle cannot be
//   sailed: the boat sails close-hauled on the tack it is on, and tacks when the
//   cross-track error goes beyond the corridor on the side it is heading to (the
//   plotter's course line is then behind the other tack).
// - A turn whose shorter way carries the bow through the wind is a tack, one that
//   carries the stern through it is a gybe: the manoeuvres of the boat, with their
//   own turn and speed loss, not a turn at the rate. A heading asked within a few
//   degrees past dead downwind is held at dead downwind rather than gybing back
//   and forth.
//
// Angles in degrees, clockwise from north, true; wind directions are where the
// wind blows from.

namespace ventrel {

// The NAV pilot's settings, as the configuration gives them.
struct NavPilotSettings {
  long double turnRate = 3.0L;     // degrees per second, 0.5 to 20
  long double corridorNm = 0.5L;   // nautical miles, 0 to 10; 0: no corridor
  long double lossSeconds = 10.0L; // seconds without a usable order before AUTO, 2 to 600
};

struct NavSituation {
  long double heading = 0;          // the heading now, 0 to 360
  long double windFrom = 0;         // the wind the polar sails in (over the water), 0 to 360
  long double bestUpwindAngle = 45; // off the wind, 0 to 180 (the polar's best VMG angle)
  long double headingAsked = 0;     // 0 to 360
  // Cross-track error from the plotter, nautical miles: positive when the boat is
  // left of the course (steer right), negative when right of it; none when unknown.
  bool crossTrackKnown = false;
  long double crossTrackNm = 0;
};

enum class NavAction { turn, tack, gybe };

struct NavDecision {
  NavAction action = NavAction::turn;
  long double heading = 0;  // with turn: the heading for this second, 0 to 360
  long double aim = 0;      // the heading the pilot is going for (the asked one, or close-hauled), 0 to 360
};

// a - b brought into (-180, 180]: positive when a lies clockwise of b.
long double AngleFrom(long double a, long double b);

NavDecision DecideNavStep(const NavSituation& situation, const NavPilotSettings& settings);

}  // namespace ventrel
