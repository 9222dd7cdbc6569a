// The manoeuvre buttons, the pilot buttons and the helm bar, as other handlers
// switch them.

#include "model/window_model.h"

namespace ventrel {

void VentrelModel::DisableTack() { panel_[Field::TackButton].setEnabled(false); }
void VentrelModel::EnableTack() { panel_[Field::TackButton].setEnabled(true); }
void VentrelModel::DisableGybe() { panel_[Field::GybeButton].setEnabled(false); }
void VentrelModel::EnableGybe() { panel_[Field::GybeButton].setEnabled(true); }

void VentrelModel::DisablePilotButtons() {
  panel_[Field::AutoButton].setEnabled(false);
  panel_[Field::StandbyButton].setEnabled(false);
  panel_[Field::NavButton].setEnabled(false);
}

void VentrelModel::EnablePilotButtons() {
  panel_[Field::AutoButton].setEnabled(true);
  panel_[Field::StandbyButton].setEnabled(true);
  panel_[Field::NavButton].setEnabled(true);
}

}  // namespace ventrel
