#include "sim/wind.h"

#include <cmath>

namespace ventrel {

long double Wrap360(long double a) {
  long double r = std::fmod(a, 360.0L);
  if (r < 0) r += 360.0L;
  if (r >= 360.0L) r = 0.0L;  // -1e-20 + 360 rounds to 360
  return r;
}

long double HeadingForAngles(const SimState& s) { return Wrap360(s.BS.argt); }

bool InPortSector(long double heading, long double H180, long double dir) {
  if (heading > H180) return H180 <= dir && dir < heading;
  return dir < heading || dir >= H180;
}

namespace {

long double TrueWindAngle(const SimState& s) {
  long double twa = s.TW.argt - HeadingForAngles(s);
  if (twa < 0) twa += 360;
  if (twa > 180) twa = 360 - twa;
  return twa;
}

}  // namespace

SailingTack UpdateTackSide(SimState& s) {
  s.TWA = TrueWindAngle(s);
  return TackSideOf(s);
}

SailingTack TackSideOf(const SimState& s) {
  return InPortSector(HeadingForAngles(s), s.H180, s.TW.argt) ? SailingTack::babord : SailingTack::tribord;
}

long double ApparentWindAngleAround(long double AWA, SailingTack side) { return side == SailingTack::tribord ? AWA : 360 - AWA; }

bool CogInPortSector(const SimState& s) { return InPortSector(HeadingForAngles(s), s.H180, s.COG); }

}  // namespace ventrel
