// The manoeuvre buttons, the pilot buttons and the helm bar, as other handlers
// switch them.

#include "model/window_model.h"

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

}  // namespace ventrel
