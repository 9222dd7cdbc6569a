#pragma once
// The simulated state of the boat and its surroundings, and the waypoint.
// Owned by the window model; read by the sentence builders between two ticks.
// Angles in degrees, speeds in knots, distances in nautical miles, depths in metres.

#include <cstdint>

#include "nav/geodesy.h"
#include "sim/vect.h"

namespace ventrel {

enum class TModPil { AUTO = 0, STDBY = 1 };
enum class SailingTack { babord = 0, tribord = 1 };   // port / starboard tack
enum class TurnSide { ababord = 0, atribord = 1 };  // turn to port (heading decreases) / starboard

// A point on the screen, pixels, Y downwards.
struct t_pCan {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const t_pCan&, const t_pCan&) = default;
};

struct SimState {
  // Vectors: mdl knots, argt degrees clockwise from north (see vect.h for the sense).
  t_vect BS;   // boat through the water: speed, heading true
  t_vect TW;   // true wind: speed, direction from (after the variations)
  t_vect CUR;  // current: speed, direction towards
  t_vect SW;   // wind over the water TW ⊕ CUR: speed, direction from
  t_vect AW;   // apparent wind BS ⊕ SW: speed, direction from
  t_vect OG;   // over ground CUR ⊕ BS: speed, course

  long double HDG = 0.0L;       // commanded true heading
  long double TWS = 0.0L;       // base true wind speed
  long double TWD = 0.0L;       // base true wind direction (from)
  long double TWA = 0.0L;       // true wind angle off the bow, 0..180
  long double SWA = 0.0L;       // surface wind angle off the bow, 0..180 (the polar's angle)
  long double AWA = 0.0L;       // apparent wind angle off the bow, 0..180
  long double AWS = 0.0L;       // apparent wind speed
  long double AWD = 0.0L;       // apparent wind direction (from)
  long double SOG = 0.0L;       // copy of OG.mdl
  long double COG = 0.0L;       // copy of OG.argt
  long double H180 = 0.0L;      // reciprocal of the heading, 0..360
  long double Declin = 0.0L;    // magnetic variation, east positive
  char DeclinD = 'E';           // side of the variation, 'E' or 'W'
  long double hdm = 0.0L;       // magnetic heading BS.argt - Declin (not wrapped)
  long double Deriv = 0.0L;     // drift angle between heading and COG, 0..180
  long double RelWA = 0.0L;     // apparent wind angle clockwise from the bow, 0..360
  long double dbs = 0.0L;       // depth below the surface
  // Depth below the transducer, dbs - offset_surf (may read negative before the
  // first start); kept with dbs and offset_surf by UpdateDepthBelowTransducer.
  long double depthBelowTransducer = 0.0L;
  long double WatrTemp = 13.0L; // water temperature, degrees Celsius
  bool AuPres = false;          // close-hauled just below the optimum
  long double HDGt_1 = 0.0L;    // heading at start
  std::int32_t t = 0;           // tick counter since the last start
  long double tdiv = 1.0L;      // ticks per second of simulated time; always 1
  std::int32_t tc = 0, tv = 0, te = 0;  // step counters: current rotation, tack/best haul, gybe
  long double COUR = 0.0L;      // current speed at the start of a rotation
  bool HDGvar = false, TWSvar = false, TWDvar = false;  // variation check boxes, read each tick
  TModPil ModPil = TModPil::AUTO;
  bool VireEncour = false, EmpEncour = false, RecENCour = false;  // tack, gybe, best haul running
  bool StPause = false;
  bool PremPasse = true;        // no start yet
  long double offset_surf = 0.0L, offset_keel = 0.0L;  // depth offsets of the depth sentences
  TPos_elem Pact;               // current position (graphic longitude)
  TPos_elem Memo_Pos;           // position at the previous position step

  // Shared by the tack, the gybe and the best-haul search.
  TurnSide cvir = TurnSide::ababord;  // direction of the heading steps
  long double Da = 0.0L;        // heading change per step, degrees
  long double Dapp = 0.0L;      // fine step of the best-haul search after its reversal, degrees
  bool switched_dir = false;    // the best-haul search has reversed
  long double SpMax = 0.0L;     // boat speed at the best upwind angle
  long double SpDep = 0.0L;     // boat speed when the manoeuvre started
  long double SpMin = 0.0L;     // boat speed at the dead point of a tack
  long double VMGauPres = 0.0L; // best upwind VMG, SpMax x cos(best angle)
  std::int32_t Ptb = 15;        // helm bar position read at the last helm step, 0..30
  // Rudder angle shown by the helm bar, degrees, -15..15: 0 at the centre,
  // positive to starboard (bar left of the centre), negative to port. Set with
  // the bar's position wherever the model moves the bar or reads it.
  long double helm = 0.0L;
  // Heading at the end of the previous tick, degrees true, and the rate of turn
  // over the last tick, degrees per minute, negative when the bow turned to port.
  long double prevTickHeading = 0.0L;
  long double turnRate = 0.0L;
  // Distance sailed through the water, nautical miles: since the program
  // started (never reset) and since the last start of the run (Démarrer).
  long double logTotal = 0.0L;
  long double logTrip = 0.0L;
  // Side shown by the drift label: true for "° TRIBORD" (set with Deriv while
  // there is a current).
  bool DerivTribord = false;

  // The rudder angle of the helm bar at `position` (0..30, centre 15).
  void SetHelmFromBar(std::int32_t position) {
    helm = 15 - (position < 0 ? 0 : position > 30 ? 30 : position);
  }
  // At each start of the run (Démarrer): the trip log from 0, no turn yet.
  void RestartTrip() {
    logTrip = 0;
    prevTickHeading = BS.argt;
    turnRate = 0;
  }

  // Works the depth below the transducer out again: after dbs or offset_surf changed.
  void UpdateDepthBelowTransducer() { depthBelowTransducer = dbs - offset_surf; }

  bool ModNorm() const {
    return ModPil == TModPil::AUTO && !VireEncour && !EmpEncour && !RecENCour;
  }
};

// A waypoint: position (graphic longitude), great-circle distance and bearing.
struct t_wpt {
  TPos_elem P;
  long double dist = 0.0L;   // nautical miles
  long double relev = 0.0L;  // initial great-circle bearing, degrees true
  long double WCV = 0.0L;    // carried, never maintained
};

// The waypoint navigation values that the sentences report.
struct WaypointState {
  t_wpt Wp;                          // the active waypoint
  t_wpt Wp1;                         // second record: empty name, never changed
  bool WpUsed = false;
  long double BearOrToDest = 65535;  // bearing origin -> destination; 65535: not known yet
  long double WCV = 0.0L;            // closing speed, knots (may be negative)
  long double ETE = 0.0L;            // time en route, packed DMS hours
  long double cap_ortho = 0.0L;      // last great-circle course
  bool BearOrKnown() const { return BearOrToDest != 65535; }
};

}  // namespace ventrel
