// The waypoint handlers of the window model: reading the waypoint and the
// variation from the panel, and the distance, bearing and time en route shown.

#include <cmath>

#include "model/window_model.h"
#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "sim/physics_step.h"
#include "sim/waypoint.h"

namespace ventrel {

void VentrelModel::ReadWaypoint() {
  if (panel_[Field::WaypointLatitudeDegrees].text().empty() || panel_[Field::WaypointLongitudeDegrees].text().empty()) return;
  bool ok = true;
  const long double latDeg = ReadField(Field::WaypointLatitudeDegrees, 0, &ok);
  const long double latMin = ReadField(Field::WaypointLatitudeMinutes, 0, &ok);
  const long double lgDeg = ReadField(Field::WaypointLongitudeDegrees, 0, &ok);
  const long double lgMin = ReadField(Field::WaypointLongitudeMinutes, 0, &ok);
  if (ok && latDeg + latMin / 60 > 90) {
    ok = false;
    Report("Waypoint : une latitude de " + generalForm(latDeg) + "° " + generalForm(latMin) +
           "' dépasse 90°, le waypoint précédent est conservé.");
  }
  if (!ok) return;  // the waypoint in force stays
  w_.WpUsed = true;
  const long double lat = WpCoordinate(latDeg, latMin, panel_[Field::WaypointLatitudeHemisphere].itemIndex() == 1);
  const long double lg = LongGraph(WpCoordinate(lgDeg, lgMin, panel_[Field::WaypointLongitudeHemisphere].itemIndex() == 1));
  w_.Wp.P.Init(panel_[Field::WaypointName].text().substr(0, 255), "", "", lat, lg);
  w_.BearOrToDest = 65535;
}

void VentrelModel::ReadMagneticVariation() {
  s_.Declin = std::fabs(ReadField(Field::VariationInput, std::fabs(s_.Declin)));
  if (panel_[Field::VariationSide].itemIndex() == 1) {
    s_.Declin = -s_.Declin;
    s_.DeclinD = 'W';
  } else {
    s_.DeclinD = 'E';
  }
}

void VentrelModel::RefreshWaypointLeg() {
  UpdateWaypointLeg(w_, s_, plan_);
  ShowWaypointLeg();
}

void VentrelModel::ShowWaypointLeg() {
  const TPos_elem& P = s_.Pact;
  const TPos_elem& D = w_.Wp.P;
  Show(Field::WaypointDistance, w_.Wp.dist, 5, 2);
  panel_[Field::GreatCircleDistance].setTextFrom([dist = w_.Wp.dist] { return "    " + fixedForm(dist, 8, 4); });
  // The rhumb-line distance is only shown: worked out when the window reads it.
  panel_[Field::RhumbLineDistance].setTextFrom([lat1 = P.lat, long1 = P.long_, lat2 = D.lat, long2 = D.long_] {
    Mercator rhumb;
    rhumb.calcul_loxodromie(lat1, long1, lat2, long2);
    return "    " + fixedForm(rhumb.dist_loxo, 8, 4);
  });

  dial_.canvas().SetPenColour(colours::kBlack);
  dial_.DessRelWp(450 - w_.Wp.relev);
  Show(Field::WaypointBearing, w_.Wp.relev, 4, 1);
  Show(Field::WaypointClosingSpeed, w_.WCV, 3, 1);
  if (w_.WCV > 0) {
    panel_[Field::TimeEnRoute].setTextFrom([ete = w_.ETE] { return EteText(ete); });
  } else {
    panel_[Field::TimeEnRoute].setText(" ");
  }
}

long double VentrelModel::HdGMagToDest() const { return ventrel::HdGMagToDest(w_, s_, s_.CUR); }

}  // namespace ventrel
