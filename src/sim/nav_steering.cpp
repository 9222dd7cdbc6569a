#include "sim/nav_steering.h"

#include <algorithm>
#include <cmath>

#include "sim/wind.h"

namespace ventrel {

namespace {

// How far past dead downwind a heading asked may lie on the other gybe and still
// be steered on this one (no gybing back and forth on a run), degrees.
constexpr long double kGybeDeadBand = 5.0L;
// Off the wind at which the pilot gybes, after bearing away to it at the rate.
constexpr long double kGybeFrom = 170.0L;

// From `from`, toward `to` the shorter way, by at most `rate`.
long double TurnToward(long double from, long double to, long double rate) {
  const long double d = std::clamp(AngleFrom(to, from), -rate, rate);
  return Wrap360(from + d);
}

NavDecision Turn(const NavSituation& s, long double aim, long double rate) {
  return {NavAction::turn, TurnToward(s.heading, aim, rate), Wrap360(aim)};
}

}  // namespace

long double AngleFrom(long double a, long double b) {
  long double d = std::fmod(a - b, 360.0L);
  if (d <= -180) d += 360;
  if (d > 180) d -= 360;
  return d;
}

NavDecision DecideNavStep(const NavSituation& s, const NavPilotSettings& settings) {
  const long double rate = std::max(settings.turnRate, 0.0L);
  const long double best = std::clamp(s.bestUpwindAngle, 1.0L, 179.0L);
  // Off the wind, signed: negative when the wind is on the starboard bow.
  const long double rel = AngleFrom(s.heading, s.windFrom);
  const long double side = rel < 0 ? -1.0L : 1.0L;
  const long double closeHauled = s.windFrom + side * best;
  long double askedRel = AngleFrom(s.headingAsked, s.windFrom);

  if (std::fabs(askedRel) < best) {
    // Not sailable: close-hauled on this tack, until the course line is beyond
    // the corridor on the side the boat sails to.
    const bool headingLeft = AngleFrom(closeHauled, s.headingAsked) < 0;
    const long double corridor = settings.corridorNm;
    const bool outside = s.crossTrackKnown && corridor > 0 &&
                         (headingLeft ? s.crossTrackNm > corridor : s.crossTrackNm < -corridor);
    if (outside && std::fabs(rel) <= best + rate) return {NavAction::tack, s.heading, Wrap360(s.windFrom - side * best)};
    return Turn(s, closeHauled, rate);
  }

  // Just past dead downwind on the other gybe: steered on this one.
  if (std::fabs(askedRel) > 180 - kGybeDeadBand && askedRel * side < 0) askedRel = side * std::fabs(askedRel);
  const long double asked = s.windFrom + askedRel;
  const long double end = rel + AngleFrom(asked, s.heading);  // the turn, off the wind, not brought back
  const bool bowThrough = std::min(rel, end) < 0 && std::max(rel, end) > 0;
  const bool sternThrough = std::max(rel, end) > 180 || std::min(rel, end) < -180;
  if (bowThrough) {
    // Up to close-hauled at the rate, then the tack.
    if (std::fabs(rel) <= best + rate) return {NavAction::tack, s.heading, Wrap360(asked)};
    return Turn(s, closeHauled, rate);
  }
  if (sternThrough) {
    // Down to a run at the rate, then the gybe.
    if (std::fabs(rel) >= kGybeFrom - rate) return {NavAction::gybe, s.heading, Wrap360(asked)};
    return Turn(s, s.windFrom + side * kGybeFrom, rate);
  }
  return Turn(s, asked, rate);
}

}  // namespace ventrel
