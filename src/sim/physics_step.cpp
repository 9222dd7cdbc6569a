#include "sim/physics_step.h"

#include <algorithm>
#include <cmath>

#include "nav/conversions.h"
#include "sim/variations.h"
#include "sim/vect.h"
#include "sim/waypoint.h"
#include "sim/wind.h"

namespace ventrel {

void UpdateApparentWind(SimState& s) {
  const long double heading = HeadingForAngles(s);
  s.AW = Sigma_vect(s.BS, s.SW);
  s.AWS = s.AW.mdl;
  s.AWD = s.AW.argt;
  s.AWA = std::fabs(s.AWD - heading);
  if (s.AWA > 180) s.AWA = 360 - s.AWA;
  s.SWA = heading - s.SW.argt;
  if (s.SWA < -180) s.SWA += 360;
  if (s.SWA > 180) s.SWA = 360 - s.SWA;
  s.SWA = std::fabs(s.SWA);
}

void UpdateDrift(SimState& s) {
  s.Deriv = s.COG - HeadingForAngles(s);
  if (s.Deriv < 0) s.Deriv += 360;
  if (s.Deriv > 180) s.Deriv = 360 - s.Deriv;
  s.DerivTribord = !CogInPortSector(s);
}

void UpdateWaypointLeg(WaypointState& w, const SimState& s, Mercator& chart) {
  const TPos_elem& P = s.Pact;
  const TPos_elem& D = w.Wp.P;
  w.Wp.dist = chart.dist_ortho(P.lat, P.long_, D.lat, D.long_);
  w.cap_ortho = chart.cap_orthodromique(P.lat, P.long_, D.lat, D.long_);
  w.Wp.relev = w.cap_ortho;
  if (!w.BearOrKnown()) w.BearOrToDest = w.Wp.relev;
  w.WCV = ClosingSpeed(s.SOG, s.COG, w.cap_ortho);
  if (w.WCV > 0) w.ETE = dec_dms(w.Wp.dist / w.WCV);
}

long double TurnRate(long double before, long double after, long double minutes) {
  long double change = std::fmod(after - before, 360.0L);
  if (change > 180) change -= 360;
  if (change <= -180) change += 360;
  return minutes > 0 ? change / minutes : 0.0L;
}

PhysicsFrame AdvancePhysics(SimState& s, WaypointState& w, const PhysicsInputs& in) {
  PhysicsFrame f;
  f.tickBefore = s.t;
  f.ticksPerSecond = static_cast<std::int32_t>(std::lround(s.tdiv));
  f.current = s.CUR;
  const bool withCurrent = s.CUR.mdl != 0;

  // Without current the surface wind is the true wind.
  if (!withCurrent) {
    s.Deriv = 0;
    s.SWA = s.TWA;
    s.SW = s.TW;
  }

  // Close-hauled at the optimum, on the angle of the previous tick.
  const long double bestUpwindAngle = in.speed.AlphaOptWndWrd;
  s.AuPres = std::fabs(s.SWA - bestUpwindAngle) < 0.3L && s.SWA > bestUpwindAngle;
  f.closeHauled = s.AuPres;

  // Dead reckoning over the last second on the motion over ground of the previous
  // tick (a fifth of a second per step while gybing: the gybe timer runs every 200 ms).
  // The log counts the distance through the water over the same span, at the
  // boat speed of the previous tick.
  const long double stepHours = s.EmpEncour ? 1.0L / 18000 : 1.0L / 3600;
  if (isMultiple(s.t, f.ticksPerSecond)) {
    const long double distanceNm = s.OG.mdl * stepHours;
    in.chart.Calcul_Pos_DIST_RELEVE(s.Memo_Pos, s.Pact, s.OG.argt, distanceNm);
    const long double throughWaterNm = s.BS.mdl * stepHours;
    s.logTotal += throughWaterNm;
    s.logTrip += throughWaterNm;
    s.Memo_Pos = s.Pact;
    f.positionStepped = true;
    if (w.WpUsed) {
      UpdateWaypointLeg(w, s, in.chart);
      f.waypointUpdated = true;
    }
  }

  // The clock of the variations.
  ++s.t;
  f.tickAfter = s.t;
  const long double seconds = s.t / s.tdiv;
  const SlowSines slow = SlowSinesAt(seconds);

  // True wind.
  s.TWSvar = in.params.varyWindSpeed;
  s.TW.mdl = s.TWS;
  if (s.TWSvar) s.TW.mdl = s.TWS * (1 + WindSpeedTerms(seconds));
  s.TWDvar = in.params.varyWindDirection;
  s.TW.argt = s.TWD;
  if (s.TWDvar) s.TW.argt = s.TWD + WindDirTerms(slow);
  if (s.TW.argt < 0) s.TW.argt += 360;
  if (s.TW.argt > 360) s.TW.argt -= 360;
  f.trueWind = s.TW;

  // The wind over the water.
  s.SW = withCurrent ? Sigma_vect(s.TW, s.CUR) : s.TW;
  f.surfaceWind = s.SW;

  // Heading: held by the autopilot in the normal mode, varied in every mode.
  s.HDGvar = in.params.varyHeading;
  if (s.ModNorm()) s.BS.argt = s.HDG;
  if (s.HDGvar) s.BS.argt = s.HDG + HeadingTerms(seconds);
  if (s.BS.argt < 0) s.BS.argt += 360;
  s.hdm = s.BS.argt - s.Declin;
  f.boatBeforePolar = s.BS;
  s.turnRate = TurnRate(s.prevTickHeading, s.BS.argt, stepHours * 60);
  s.prevTickHeading = s.BS.argt;

  // Apparent wind, reciprocal heading, tack side.
  UpdateApparentWind(s);
  f.apparentWind = s.AW;
  s.H180 = s.BS.argt - 180;
  if (s.H180 < 0) s.H180 += 360;
  f.tackSide = UpdateTackSide(s);

  // Motion over ground with the boat speed as it stands, and the drift from it.
  s.OG = Sigma_vect(s.CUR, s.BS);
  s.SOG = s.OG.mdl;
  s.COG = s.OG.argt;
  f.groundBeforePolar = s.OG;
  if (withCurrent) UpdateDrift(s);

  // Boat speed from the polar (a manoeuvre sets it itself), then the motion over
  // ground again.
  if (s.ModNorm() || s.ModPil == TModPil::STDBY) {
    const long double boatSpeed = in.speed.BoatSpeed(s.SWA, s.SW.mdl);
    if (!std::isfinite(boatSpeed)) {
      f.boatSpeedUndefined = true;
      f.boatAfterPolar = s.BS;
      f.groundAfterPolar = s.OG;
      return f;
    }
    s.BS.mdl = boatSpeed;
  }
  f.boatAfterPolar = s.BS;
  s.OG = Sigma_vect(s.CUR, s.BS);
  s.SOG = s.OG.mdl;
  s.COG = s.OG.argt;
  f.groundAfterPolar = s.OG;

  // Apparent wind clockwise from the bow.
  s.RelWA = ApparentWindAngleAround(s.AWA, UpdateTackSide(s));

  f.scaleReference = std::max(s.AW.mdl, s.TW.mdl);

  s.dbs = Depth(slow);
  s.UpdateDepthBelowTransducer();
  f.depthBelowSurface = s.dbs;
  f.depthBelowTransducer = s.depthBelowTransducer;
  return f;
}

}  // namespace ventrel
