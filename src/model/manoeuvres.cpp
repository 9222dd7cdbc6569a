// Tack and gybe. A step timer turns the heading by Da per step, sets the boat
// speed (the speed-loss curve of a tack, the polar during a gybe) and runs one
// tick per step while the tick timer waits; at the end the autopilot holds the
// new heading. The variations are frozen meanwhile.
//
// One manoeuvre at a time: while a tack, a gybe or a best-haul search runs, the
// other two commands are disabled and a click on any of the three is ignored, so
// that one step timer only drives the boat and the variations are frozen once.

#include <cmath>

#include "model/window_model.h"

namespace ventrel {

namespace {

// A boat speed the polar could not give (a malformed table) leaves the speed as
// it was rather than carrying a NaN into the position.
void SetBoatSpeed(SimState& s, long double v) {
  if (std::isfinite(v)) s.BS.mdl = v;
}

}  // namespace

void VentrelModel::WireManoeuvres() {
  timers_.TimerV.setHandler([this] { TimerVTimer(); });
  timers_.TimerE.setHandler([this] { TimerETimer(); });
  timers_.TimerPres.setHandler([this] { TimerPresTimer(); });
  timers_.TimerB.setHandler([this] { TimerBTimer(); });
  timers_.TimerZero.setHandler([this] { TimerZeroTimer(); });
}

bool VentrelModel::ManoeuvreAllowed() const {
  return !ManoeuvreRunning() && !s_.PremPasse && !s_.StPause && s_.ModPil == TModPil::AUTO &&
         !TickDrivenElsewhere();
}

void VentrelModel::BeginManoeuvre(ModelTimer& stepTimer) {
  params_.FigeData();
  // The other commands wait for the end: the manoeuvre buttons but the running
  // one, the pilot buttons and the pause (a resume would restart the run).
  if (&stepTimer != &timers_.TimerV) DisableTack();
  if (&stepTimer != &timers_.TimerE) DisableGybe();
  if (&stepTimer != &timers_.TimerPres) panel_[Field::BestHaulButton].setEnabled(false);
  DisablePilotButtons();
  panel_[Field::PauseResumeButton].setEnabled(false);
  stepTimer.setEnabled(true);
  timers_.TimerAT.setEnabled(false);
}

void VentrelModel::EndManoeuvre(ModelTimer& stepTimer) {
  stepTimer.setEnabled(false);
  params_.RestStData();
  EnablePilotButtons();
  panel_[Field::PauseResumeButton].setEnabled(true);
  EnableTickTimer();
  OfferManoeuvres();
}

void VentrelModel::OfferManoeuvres() {
  if (!s_.ModNorm() || CurrentRotating()) return;
  panel_[Field::BestHaulButton].setEnabled(true);
  if (s_.AWA > 90) {
    DisableTack();
    EnableGybe();
  } else {
    DisableGybe();
    EnableTack();
  }
}

void VentrelModel::TurnOneStep() { s_.BS.argt = TurnHeading(s_.BS.argt, s_.Da, s_.cvir); }

void VentrelModel::SBtVireClick() {
  if (!ManoeuvreAllowed()) return;
  SimState& s = s_;
  s.VireEncour = true;
  ++tacksBegun_;
  s.tv = 0;
  // Thirteen steps carry the boat from SWA on one side to SWA on the other.
  s.Da = 2 * s.SWA / kTackTurnSteps;
  s.SpMax = speed_.SpMaxWndWrd(s.SW.mdl).mdl;
  s.SpDep = s.BS.mdl;
  s.SpMin = s.SpDep * kTackDeadPointSpeed;
  BeginManoeuvre(timers_.TimerV);
  // Toward the wind.
  s.cvir = UpdateTackSide() == SailingTack::tribord ? TurnSide::atribord : TurnSide::ababord;
  panel_[Field::BestHaulButton].setPicture("JEVIRE.bmp");
}

void VentrelModel::TimerVTimer() {
  SimState& s = s_;
  ++s.tv;
  if (s.tv >= kTackEndStep) {
    s.HDG = s.BS.argt;
    s.VireEncour = false;
    EndManoeuvre(timers_.TimerV);
    panel_[Field::BestHaulButton].setPicture("vamp.bmp");
    return;
  }
  if (s.tv <= kTackTurnSteps) {
    TurnOneStep();
    RefreshApparentWind();
  }
  if (s.tv < kTackDeadPoint) {
    // Closer to the wind than the polar's first angle the speed follows the
    // fitted loss from the best upwind speed.
    if (s.SWA < speed_.polar().idx_dv[0]) {
      SetBoatSpeed(s, s.SpMax * TackFactorPinching(s.tv));
    } else {
      SetBoatSpeed(s, speed_.BoatSpeed(s.SWA, s.SW.mdl));
    }
  } else if (s.tv == kTackDeadPoint) {
    s.BS.mdl = s.SpMin;
  } else if (s.tv <= kTackTurnSteps) {
    SetBoatSpeed(s, s.SpMin * TackFactorOutOfDeadPoint(s.tv));
  } else {
    SetBoatSpeed(s, speed_.BoatSpeed(s.SWA, s.SW.mdl) * TackFactorRecovery(s.tv));
  }
  // At the dead point the boat turns but the run does not advance.
  if (s.tv != kTackDeadPoint) TimerATTimer();
}

void VentrelModel::SBtEmpClick() {
  if (!ManoeuvreAllowed()) return;
  SimState& s = s_;
  s.EmpEncour = true;
  ++gybesBegun_;
  s.te = 0;
  s.Da = (360 - 2 * s.SWA) / kGybeTurnSteps;
  s.SpDep = s.BS.mdl;
  BeginManoeuvre(timers_.TimerE);
  // Away from the wind.
  s.cvir = UpdateTackSide() == SailingTack::tribord ? TurnSide::ababord : TurnSide::atribord;
  panel_[Field::BestHaulButton].setPicture("JEMPANNE.bmp");
}

void VentrelModel::TimerETimer() {
  SimState& s = s_;
  ++s.te;
  if (s.te >= kGybeEndStep) {
    s.HDG = s.BS.argt;
    s.EmpEncour = false;
    EndManoeuvre(timers_.TimerE);
    panel_[Field::BestHaulButton].setPicture("vamp.bmp");
    return;
  }
  TurnOneStep();
  RefreshApparentWind();
  SetBoatSpeed(s, speed_.BoatSpeed(s.SWA, s.SW.mdl));
  // The tick moves the boat a fifth of a second per step while EmpEncour is set.
  TimerATTimer();
}

}  // namespace ventrel
