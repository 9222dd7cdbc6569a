// The manoeuvre buttons, the pilot buttons and the helm bar, as other handlers
// switch them.

#include "sim/window_model.h"

namespace ventrel {

void VentrelModel::InhibVire() { panel_["SBtVire"].setEnabled(false); }
void VentrelModel::EnabVire() { panel_["SBtVire"].setEnabled(true); }
void VentrelModel::InhibEmp() { panel_["SBtEmp"].setEnabled(false); }
void VentrelModel::EnabEmp() { panel_["SBtEmp"].setEnabled(true); }

void VentrelModel::InhibCmdPilot() {
  panel_["SpBtAUTO"].setEnabled(false);
  panel_["SpBtStdBY"].setEnabled(false);
}

void VentrelModel::EnabCmdPilot() {
  panel_["SpBtAUTO"].setEnabled(true);
  panel_["SpBtStdBY"].setEnabled(true);
}

// The window animates the bar back one position per 100 ms; the model takes it
// to the centre at once and never waits. The helm timer runs again only in
// STDBY: in AUTO the tick timer drives the boat and a second driver would run
// two ticks a second.
void VentrelModel::ZeroTrackBarre() {
  timers_.TimerB.setEnabled(false);
  s_.Ptb = 15;
  panel_["TrackBarre"].setPosition(15);
  if (!s_.StPause && s_.ModPil == TModPil::STDBY && !TickDrivenElsewhere()) {
    timers_.TimerB.setEnabled(true);
  }
}

}  // namespace ventrel
