// The waypoint pieces that are free of the panel: the magnetic heading to steer,
// a typed coordinate, the closing speed and the time en route as shown.

#include "sim/waypoint.h"

#include <cmath>

#include "nav/conversions.h"
#include "nav/number_forms.h"

namespace ventrel {

long double HdGMagToDest(const WaypointState& w, const SimState& s, const t_vect& current) {
  long double h;
  if (current.mdl == 0) {
    h = w.Wp.relev - s.Declin;
  } else {
    h = s.DerivTribord ? w.Wp.relev + s.Deriv : w.Wp.relev - s.Deriv;
    h -= s.Declin;
  }
  if (h >= 360) h -= 360;
  if (h < 0) h += 360;
  return h;
}

long double WpCoordinate(long double deg, long double min, bool negative) {
  const long double packed = deg + min / 100;
  return dmd_dec(negative ? -packed : packed);
}

long double ClosingSpeed(long double SOG, long double COG, long double cap) {
  long double a = COG - cap;
  if (a < 0) a += 360;
  return SOG * CosL(DEC_RAD(a));
}

std::string EteText(long double ETE) {
  const long double hours = std::trunc(ETE);
  return generalForm(hours) + " h " + fixedForm((ETE - hours) * 100, 15, 0);
}

}  // namespace ventrel
