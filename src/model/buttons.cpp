// The manoeuvre buttons, the pilot buttons and the helm bar, as other handlers
// switch them.

#include "model/window_model.h"

namespace ventrel {

void VentrelModel::InhibVire() { panel_[Field::TackButton].setEnabled(false); }
void VentrelModel::EnabVire() { panel_[Field::TackButton].setEnabled(true); }
void VentrelModel::InhibEmp() { panel_[Field::GybeButton].setEnabled(false); }
void VentrelModel::EnabEmp() { panel_[Field::GybeButton].setEnabled(true); }

void VentrelModel::InhibCmdPilot() {
  panel_[Field::AutoButton].setEnabled(false);
  panel_[Field::StandbyButton].setEnabled(false);
}

void VentrelModel::EnabCmdPilot() {
  panel_[Field::AutoButton].setEnabled(true);
  panel_[Field::StandbyButton].setEnabled(true);
}

}  // namespace ventrel
