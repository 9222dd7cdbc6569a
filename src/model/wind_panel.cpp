// Apparent wind, surface wind angle, tack side and drift, with their fields.

#include <cmath>

#include "sim/vect.h"
#include "sim/wind.h"
#include "model/window_model.h"

namespace ventrel {

TAmure VentrelModel::F_amure() { return ventrel::F_amure(s_); }

void VentrelModel::MajAW_SWA() {
  SimState& s = s_;
  const long double heading = HeadingForAngles(s);

  s.AW = Sigma_vect(s.BS, s.SW);
  s.AWS = s.AW.mdl;
  s.AWD = s.AW.argt;
  Show("EdAWS", s.AWS, 3, 1);
  Show("EdAWD", s.AWD, 3, 1);
  s.AWA = std::fabs(s.AWD - heading);
  if (s.AWA > 180) s.AWA = 360 - s.AWA;
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

  s.SWA = heading - s.SW.argt;
  if (s.SWA < -180) s.SWA += 360;
  if (s.SWA > 180) s.SWA = 360 - s.SWA;
  s.SWA = std::fabs(s.SWA);

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
  SimState& s = s_;
  s.Deriv = s.COG - HeadingForAngles(s);
  if (s.Deriv < 0) s.Deriv += 360;
  if (s.Deriv > 180) s.Deriv = 360 - s.Deriv;
  Show("EdDeriv", s.Deriv, 3, 1);
  s.DerivTribord = !CogInPortSector(s);
  panel_["LDeriv"].setText(s.DerivTribord ? "° TRIBORD" : "° BABORD");
}

}  // namespace ventrel
