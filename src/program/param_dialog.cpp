// The parameters dialog: depth sensor offsets and draft, the variation check boxes,
// the UTC offset, the polar folder and the choice of polar.
//
// Draft = surface offset + keel offset; the sensor lies at the surface offset below
// the surface; the keel offset is the draft less the sensor depth. Metres.

#include "files/paths.h"
#include "files/value_ranges.h"
#include "program/program.h"
#include "nav/conversions.h"
#include "nav/number_forms.h"

namespace ventrel {

void VentrelProgram::ShowChecks() {
  const Params& p = model_.params();
  panel()[Field::VariesHeading].setChecked(p.varyHeading);
  panel()[Field::VariesWindSpeed].setChecked(p.varyWindSpeed);
  panel()[Field::VariesWindDirection].setChecked(p.varyWindDirection);
}

void VentrelProgram::ShowOffsets() {
  Params& p = model_.params();
  p.Teau = p.CS + p.CQ;
  p.PC = p.CS;
  panel()[Field::SurfaceSensorOffset].setText(generalForm(p.CS));
  panel()[Field::KeelSensorOffset].setText(generalForm(p.CQ));
  panel()[Field::Draft].setText(generalForm(p.Teau));
  panel()[Field::SensorDepth].setText(generalForm(p.PC));
}

void VentrelProgram::FParamFormCreate() {
  Params& p = model_.params();
  p.CS = FieldValue(Field::SurfaceSensorOffset, "Capteur surface", true).value_or(p.CS);
  p.CQ = FieldValue(Field::KeelSensorOffset, "Capteur quille", true).value_or(p.CQ);
  p.Teau = p.CS + p.CQ;
  p.PC = p.Teau - p.CQ;
  panel()[Field::Draft].setText(generalForm(p.Teau));
  panel()[Field::SensorDepth].setText(generalForm(p.PC));
  SimState& s = model_.state();
  s.offset_surf = p.CS;
  s.offset_keel = p.CQ;
  s.UpdateDepthBelowTransducer();
  panel()[Field::SelectedPolar].setAlign(Align::Centre);
}

void VentrelProgram::FParamFormPaint() {
  panel()[Field::PolarFolder].setText(polar_.RepPol);
  panel()[Field::SelectedPolar].setText(polar_.NomPol);
  ShowChecks();
}

void VentrelProgram::BtValidCSCQClick() {
  const std::optional<long double> teau = FieldValue(Field::Draft, "Tirant d'eau", true);
  const std::optional<long double> pc = FieldValue(Field::SensorDepth, "Profondeur du capteur", true);
  if (!teau || !pc) return;  // the offsets in force stay
  // The keel lies below the sensor: the keel offset (draft less sensor depth) is
  // never negative.
  if (*teau < *pc) {
    Report("Le tirant d'eau (" + generalForm(*teau) + " m) est plus petit que la profondeur du capteur (" +
           generalForm(*pc) + " m) : les réglages précédents sont conservés.");
    return;
  }
  if (const std::optional<std::string> problem = RangeProblem(*RangeOfField(FieldRange::keelOffset), *teau - *pc)) {
    Report("Le tirant d'eau moins la profondeur du capteur (" + generalForm(*teau - *pc) + " m) est " + *problem +
           " : les réglages précédents sont conservés.");
    return;
  }
  Params& p = model_.params();
  p.Teau = *teau;
  p.PC = *pc;
  p.CQ = p.Teau - p.PC;
  p.CS = p.PC;
  // The state's offsets follow at the next start.
  panel()[Field::KeelSensorOffset].setText(generalForm(p.CQ));
  panel()[Field::SurfaceSensorOffset].setText(generalForm(p.PC));
}

void VentrelProgram::LbEdTUChange(bool report) {
  // h.mm: "5.30" is 5 h 30 min, "-2" is -2 h; nothing: the machine's offset.
  Params& p = model_.params();
  const std::string& text = panel()[Field::UtcOffset].text();
  if (text.find_first_not_of(" \t") == std::string::npos || IsAutoOffset(text)) {
    p.dTUAuto = true;
  } else if (const std::optional<long double> v = FieldValue(Field::UtcOffset, "Heure TU = heure locale", report)) {
    p.dTU = dms_dec(*v);
    p.dTUAuto = false;
  }
}

void VentrelProgram::SpeedBtModPolClick() {
  const std::string& shown = panel()[Field::PolarFolder].text();
  if (BtSelPolClick(shown.empty() ? polar_.RepPol : shown)) panel()[Field::SelectedPolar].setText(polar_.NomPol);
  // The best upwind angle is to be searched again.
  model_.speed().AlphaOptWndWrd = kAlphaOptNewPolar;
}

bool VentrelProgram::ModifyPolar(const std::filesystem::path& file, std::string* told) {
  const bool taken = UsePolarFile(file, told);
  if (taken) panel()[Field::SelectedPolar].setText(polar_.NomPol);
  model_.speed().AlphaOptWndWrd = kAlphaOptNewPolar;
  return taken;
}

void VentrelProgram::BtDirSelClick() {
  if (const std::optional<std::filesystem::path> dir =
          dialogs_.SelectFolder(std::string(kTitreRepertoire), panel()[Field::PolarFolder].text())) {
    panel()[Field::PolarFolder].setText(AbsoluteFolder(dir->generic_string(), AppliDir_));
  }
}

void VentrelProgram::BtOKClick() {
  LbEdTUChange(true);
  FormPaint();  // the polar name fields and the rest of the main window
  panel()[Field::ParametersDialog].setVisible(false);
}

void VentrelProgram::ChkBClick() {
  Params& p = model_.params();
  p.varyHeading = panel()[Field::VariesHeading].checked();
  p.varyWindSpeed = panel()[Field::VariesWindSpeed].checked();
  p.varyWindDirection = panel()[Field::VariesWindDirection].checked();
}

}  // namespace ventrel
