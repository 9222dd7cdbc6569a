// Apparent wind, surface wind angle, tack side and drift, with their fields.

#include "sim/physics_step.h"
#include "sim/wind.h"
#include "model/window_model.h"

namespace ventrel {

TAmure VentrelModel::F_amure() { return ventrel::F_amure(s_); }

void VentrelModel::MajAW_SWA() {
  UpdateApparentWind(s_);
  ShowApparentWind();
}

void VentrelModel::ShowApparentWind() {
  const SimState& s = s_;
  Show("EdAWS", s.AWS, 3, 1);
  Show("EdAWD", s.AWD, 3, 1);
  Show("EdAWA", s.AWA, 3, 1);

  // In the normal mode the wind angle offers the one manoeuvre that makes sense;
  // neither while the current rotates.
  if (s.ModNorm() && !CurrentRotating()) {
    if (s.AWA > 90) {
      InhibVire();
      EnabEmp();
    } else {
      InhibEmp();
      EnabVire();
    }
  }

  const bool noCurrent = s.CUR.mdl == 0;
  const Rgb font = noCurrent ? colours::kGrey : colours::kBlack;
  for (const char* n : {"EdVRS_S", "EdVRS_D"}) {
    panel_[n].setFontColour(font);
    panel_[n].setItalic(noCurrent);
  }
  panel_["EdVRS_A"].setFontColour(font);
  Show("EdVRS_S", s.SW.mdl, 3, 1);
  Show("EdVRS_D", s.SW.argt, 3, 1);
  Show("EdVRS_A", s.SWA, 3, 1);
}

void VentrelModel::MajLabTWSW() {
  if (s_.CUR.mdl != 0) {
    panel_["LabTypVent"].setText(" Vent surface SW");
    panel_["LbEdBestHaul"].setLabel("Meilleur SWA");
  } else {
    panel_["LabTypVent"].setText(" Vent réel TW");
    panel_["LbEdBestHaul"].setLabel("Meilleur TWA");
  }
}

void VentrelModel::Affiche_derive() {
  UpdateDrift(s_);
  ShowDrift();
}

void VentrelModel::ShowDrift() {
  Show("EdDeriv", s_.Deriv, 3, 1);
  panel_["LDeriv"].setText(s_.DerivTribord ? "° TRIBORD" : "° BABORD");
}

}  // namespace ventrel
