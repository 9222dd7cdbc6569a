// Apparent wind, surface wind angle, tack side and drift, with their fields.

#include "sim/physics_step.h"
#include "sim/wind.h"
#include "model/window_model.h"

namespace ventrel {

SailingTack VentrelModel::UpdateTackSide() { return ventrel::UpdateTackSide(s_); }

void VentrelModel::RefreshApparentWind() {
  UpdateApparentWind(s_);
  ShowApparentWind();
}

void VentrelModel::ShowApparentWind() {
  const SimState& s = s_;
  Show(Field::ApparentWindSpeed, s.AWS, 3, 1);
  Show(Field::ApparentWindDirection, s.AWD, 3, 1);
  Show(Field::ApparentWindAngle, s.AWA, 3, 1);

  // In the normal mode the wind angle offers the one manoeuvre that makes sense;
  // neither while the current rotates.
  if (s.ModNorm() && !CurrentRotating()) {
    if (s.AWA > 90) {
      DisableTack();
      EnableGybe();
    } else {
      DisableGybe();
      EnableTack();
    }
  }

  const bool noCurrent = s.CUR.mdl == 0;
  const Rgb font = noCurrent ? colours::kGrey : colours::kBlack;
  for (Field n : {Field::ReferenceWindSpeed, Field::ReferenceWindDirection}) {
    panel_[n].setFontColour(font);
    panel_[n].setItalic(noCurrent);
  }
  panel_[Field::ReferenceWindAngle].setFontColour(font);
  Show(Field::ReferenceWindSpeed, s.SW.mdl, 3, 1);
  Show(Field::ReferenceWindDirection, s.SW.argt, 3, 1);
  Show(Field::ReferenceWindAngle, s.SWA, 3, 1);
}

void VentrelModel::ShowReferenceWindKind() {
  if (s_.CUR.mdl != 0) {
    panel_[Field::WindKindCaption].setText(" Vent surface SW");
    panel_[Field::BestUpwindAngle].setLabel("Meilleur SWA");
  } else {
    panel_[Field::WindKindCaption].setText(" Vent réel TW");
    panel_[Field::BestUpwindAngle].setLabel("Meilleur TWA");
  }
}

void VentrelModel::RefreshDrift() {
  UpdateDrift(s_);
  ShowDrift();
}

void VentrelModel::ShowDrift() {
  Show(Field::DriftAngle, s_.Deriv, 3, 1);
  panel_[Field::DriftSide].setText(s_.DerivTribord ? "° TRIBORD" : "° BABORD");
}

}  // namespace ventrel
