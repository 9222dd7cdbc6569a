// The NAV pilot: the heading follows the orders of a chart plotter (APB, RMB,
// XTE, HSC read from outside), turning at a bounded rate and within what the boat
// can sail (sim/nav_steering), tacking and gybing with the boat's own manoeuvres.
//
// NAV is AUTO whose heading the plotter moves: the pilot mode of the state stays
// AUTO (the tick holds HDG, the manoeuvres are allowed), and each second of the
// tick timer first moves HDG. The helm bar shows the turn of that second. When no
// order has come for the loss delay, the pilot stays in AUTO on its heading and
// tells the user; it comes back to NAV only when the user selects it again.
//
// The pilot's clock counts the simulated time of the ticks (a gybe step is a
// fifth of a second), so the loss delay and the freshness of the orders follow
// simulated time at any speed of the run.

#include <algorithm>
#include <cmath>

#include "nav/number_forms.h"
#include "sim/wind.h"
#include "model/window_model.h"

namespace ventrel {

namespace {

constexpr std::int32_t kBarCentre = 15;

std::string WholeDegrees(long double d) {
  long double r = std::round(d);
  if (r >= 360) r -= 360;
  return fixedForm(r, 3, 0);
}

}  // namespace

void VentrelModel::ShowNavPilot() {
  const bool on = nav_.engaged;
  panel_[Field::NavButton].setChecked(on);
  if (!nav_.order) {
    panel_[Field::NavOrder].setText(on ? "Consigne : aucune" : "");
    panel_[Field::NavArrival].setText("");
    return;
  }
  panel_[Field::NavOrder].setText("Consigne : " + WholeDegrees(nav_.order->headingTrue) + "° (" +
                                  nav_.order->headingSource + ")");
  panel_[Field::NavArrival].setText(nav_.order->arrived ? "Arrivée" : "");
}

void VentrelModel::SpBtNAVClick() {
  if (ManoeuvreRunning()) return;
  // From STDBY the boat goes through AUTO: the helm bar is recentred and the
  // tick timer takes over, as the AUTO button does.
  if (s_.ModPil != TModPil::AUTO) SpBtAUTOClick();
  if (s_.ModPil != TModPil::AUTO) return;
  nav_.engaged = true;
  nav_.lastUsableMs = nav_.clockMs;
  nav_.order = nav_.orders.Current(nav_.clockMs, NavLossMs());
  panel_[Field::PilotMode].setText("NAV");
  panel_[Field::AutoButton].setChecked(false);
  panel_[Field::StandbyButton].setChecked(false);
  // The bar shows the pilot's turns; the user does not hold it.
  panel_[Field::HelmBar].setSliderVisible(true);
  panel_[Field::HelmBar].setEnabled(false);
  ShowNavPilot();
}

void VentrelModel::ReleaseNav() {
  if (!nav_.engaged) return;
  nav_.engaged = false;
  s_.Ptb = kBarCentre;
  panel_[Field::HelmBar].setPosition(kBarCentre);
  s_.SetHelmFromBar(kBarCentre);
  panel_[Field::HelmBar].setSliderVisible(false);
  ShowNavPilot();
}

std::int64_t VentrelModel::NavLossMs() const {
  return static_cast<std::int64_t>(std::llround(nav_.settings.lossSeconds * 1000));
}

NavTaken VentrelModel::NavTake(const SteeringSentence& sentence) {
  NavTaken r;
  r.usable = nav_.orders.Take(sentence, nav_.clockMs, s_.Declin);
  if (r.usable) nav_.lastUsableMs = nav_.clockMs;
  nav_.order = nav_.orders.Current(nav_.clockMs, NavLossMs());
  ShowNavPilot();
  return r;
}

void VentrelModel::NavStep() {
  if (!nav_.engaged || !s_.ModNorm() || s_.StPause || s_.PremPasse) return;
  if (nav_.clockMs - nav_.lastUsableMs >= NavLossMs()) {
    ReleaseNav();
    s_.HDG = s_.BS.argt;
    panel_[Field::PilotMode].setText("AUTO");
    panel_[Field::AutoButton].setChecked(true);
    Report("Pilote NAV : plus de consigne depuis " + generalForm(nav_.settings.lossSeconds) +
           " s, retour en AUTO");
    return;
  }
  nav_.order = nav_.orders.Current(nav_.clockMs, NavLossMs());
  ShowNavPilot();
  if (!nav_.order) return;  // no order yet: the heading holds

  speed_.SpMaxWndWrd(s_.SW.mdl);  // the best upwind angle at this wind
  NavSituation situation;
  situation.heading = HeadingForAngles(s_);
  situation.windFrom = Wrap360(s_.SW.argt);
  situation.bestUpwindAngle = speed_.AlphaOptWndWrd;
  situation.headingAsked = nav_.order->headingTrue;
  situation.crossTrackKnown = nav_.order->crossTrackNm.has_value();
  situation.crossTrackNm = nav_.order->crossTrackNm.value_or(0);
  const NavDecision d = DecideNavStep(situation, nav_.settings);
  nav_.aim = d.aim;
  switch (d.action) {
    case NavAction::tack:
      SBtVireClick();
      return;
    case NavAction::gybe:
      SBtEmpClick();
      return;
    case NavAction::turn:
      break;
  }
  const long double turn = AngleFrom(d.heading, situation.heading);
  s_.HDG = d.heading;
  // The bar left of the centre turns the boat to starboard.
  s_.Ptb = std::clamp(kBarCentre - static_cast<std::int32_t>(std::lround(turn)), 0, 2 * kBarCentre);
  panel_[Field::HelmBar].setPosition(s_.Ptb);
  s_.SetHelmFromBar(s_.Ptb);
}

}  // namespace ventrel
