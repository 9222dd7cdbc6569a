// Reading a configuration into the program, saving one, and the watch that reads
// the last one opened again when it changes on disk.

#include <algorithm>
#include <cmath>
#include <system_error>

#include "files/config_check.h"
#include "files/paths.h"
#include "files/value_ranges.h"
#include "program/program.h"
#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "nmea/registry.h"

namespace ventrel {

namespace fs = std::filesystem;

namespace {

// Fields of a coordinate: hemisphere group, degrees, minutes.
struct CoordPanel {
  Field radio;
  Field deg;
  Field min;
};
constexpr CoordPanel kPosLat{Field::LatitudeHemisphere, Field::LatitudeDegrees, Field::LatitudeMinutes};
constexpr CoordPanel kPosLong{Field::LongitudeHemisphere, Field::LongitudeDegrees, Field::LongitudeMinutes};
constexpr CoordPanel kWpLat{Field::WaypointLatitudeHemisphere, Field::WaypointLatitudeDegrees, Field::WaypointLatitudeMinutes};
constexpr CoordPanel kWpLong{Field::WaypointLongitudeHemisphere, Field::WaypointLongitudeDegrees, Field::WaypointLongitudeMinutes};

void ShowCoord(Panel& pn, const CoordPanel& f, long double packed) {
  const CoordFields c = SplitPackedCoord(packed);
  pn[f.radio].setItemIndex(c.item);
  pn[f.deg].setText(c.deg);
  pn[f.min].setText(c.min);
}

std::optional<fs::file_time_type> ModificationTime(const fs::path& file) {
  std::error_code ec;
  const fs::file_time_type t = fs::last_write_time(file, ec);
  if (ec) return std::nullopt;
  return t;
}

}  // namespace

std::optional<long double> VentrelProgram::FieldValue(Field field, std::string_view caption,
                                                      bool report) const {
  const std::string& text = panel()[field].text();
  const NumberRead r = Val_Str_Flott(text);
  if (!r.ok) {
    if (report) {
      Report("Champ « " + std::string(caption) + " » : « " + ShownValue(text) +
             " » n'est pas un nombre, la valeur précédente est conservée. " + kMsgSeparateur);
    }
    return std::nullopt;
  }
  if (const ValueRange* range = RangeOfField(DesignOf(field).range)) {
    if (const std::optional<std::string> problem = RangeProblem(*range, r.value)) {
      if (report) {
        Report("Champ « " + std::string(caption) + " » : « " + ShownValue(text) + " » " + *problem +
               ", la valeur précédente est conservée.");
      }
      return std::nullopt;
    }
  }
  return r.value;
}

void VentrelProgram::SetNav(NavSettings n) {
  nav_ = std::move(n);
  NavPilotSettings pilot;
  pilot.turnRate = nav_.turnRate;
  pilot.corridorNm = nav_.corridorNm;
  pilot.lossSeconds = nav_.lossDelay;
  model_.SetNavSettings(pilot);
}

Configuration VentrelProgram::Settings(std::string* problems) const {
  const SimState& s = model_.state();
  const Params& p = model_.params();
  const Panel& pn = panel();
  const auto problem = [problems](const std::string& text) {
    if (problems == nullptr) return;
    if (!problems->empty()) *problems += '\n';
    *problems += text;
  };

  Configuration c;
  c.Version = Version_;
  c.Polars = PortableFolder(polar_.RepPol, AppliDir_);
  c.PolaireAct = polar_.NomPol.empty() ? std::string() : polar_.NomPol + ".pol";
  c.iOFFS_Keel = s.offset_keel;
  c.iOFFS_Surf = s.offset_surf;
  c.iPolPerc = model_.speed().polPerc;
  c.iModPil = s.ModPil;
  c.iTWS = s.TW.mdl;
  c.iTWD = s.TW.argt;
  c.iHDG = s.BS.argt;
  c.iCUR = s.CUR.mdl;
  c.iCURDir = s.CUR.argt;
  // Positions as the fields show them: degrees x 100 + minutes, negative S or W.
  const struct {
    const CoordPanel* f;
    long double Configuration::*key;
  } coords[] = {{&kPosLat, &Configuration::iPOSLat},
                {&kPosLong, &Configuration::iPOSLong},
                {&kWpLat, &Configuration::iWpLat},
                {&kWpLong, &Configuration::iWpLong}};
  for (const auto& k : coords) {
    bool ok = true;
    long double part[2] = {0.0L, 0.0L};
    const Field fields[2] = {k.f->deg, k.f->min};
    for (int i = 0; i < 2; ++i) {
      const NumberRead r = Val_Str_Flott(pn[fields[i]].text());
      if (r.ok) {
        part[i] = r.value;
      } else {
        ok = false;
        problem("Champ « " + FieldCaption(fields[i]) + " » : « " + pn[fields[i]].text() +
                " » n'est pas un nombre.");
      }
    }
    if (ok) c.*k.key = PackCoord(part[0], part[1], pn[k.f->radio].itemIndex() == 1 ? 1 : 0);
  }
  c.iWpID = model_.waypoint().Wp.P.nom;
  c.iDeclMag = s.Declin;
  c.idTU = dec_dms(p.dTU);
  c.idTUAuto = p.dTUAuto;
  // The check boxes as the user left them (the tick copies them into the state).
  c.iHDGvar = p.varyHeading;
  c.iTWSvar = p.varyWindSpeed;
  c.iTWDvar = p.varyWindDirection;
  const std::string& speed = pn[Field::SpeedList].text();
  if (const std::optional<std::int32_t> baud = ParseInteger(speed)) {
    c.iVit = *baud;
  } else {
    problem("Vitesse « " + speed + " » : ce n'est pas un nombre entier.");
  }
  c.COM = COM_;
  c.network = network_;
  c.nav = nav_;
  c.control = control_;
  for (std::size_t i = 0; i < kSentencesByType.size(); ++i) c.sentences[i] = Selected(nmea_, *kSentencesByType[i]);
  const std::array<int, 4> radios = {selection_.RdGDevPos, selection_.RdGDevSond, selection_.RdGInst,
                                     selection_.RdGWI};
  for (std::size_t g = 0; g < radios.size(); ++g) c.talkerItems[g] = radios[g] == 0 ? 0 : 1;
  return c;
}

bool VentrelProgram::CurrentConfiguration(Configuration* c) const {
  std::string problems;
  *c = Settings(&problems);
  if (problems.empty()) return true;
  Report(problems + "\nLa configuration n'est pas enregistrée.");
  return false;
}

void VentrelProgram::LoadConfig(const IniFile& ini) {
  SimState& s = model_.state();
  Params& p = model_.params();
  Panel& pn = panel();

  // The current settings give the defaults that keep them; a field whose key is not
  // a number keeps what it shows.
  const Configuration current = Settings(nullptr);
  BadKeys bad;
  const Configuration c = ReadConfiguration(ini, current, &bad);
  // A key of [Parametres] or [NavDATA] that was refused leaves its field alone.
  const auto read = [&bad](std::string_view key) {
    return !IsBadKey(bad, kSecParametres, key) && !IsBadKey(bad, kSecNavData, key);
  };
  const auto show = [&pn](Field field, long double x, int P, int D) { pn[field].setText(fixedForm(x, P, D)); };

  // 1. Depth offsets, into the state and the parameters dialog.
  if (read("iOFFS_Keel")) s.offset_keel = p.CQ = c.iOFFS_Keel;
  if (read("iOFFS_Surf")) s.offset_surf = p.CS = c.iOFFS_Surf;
  s.UpdateDepthBelowTransducer();
  ShowOffsets();

  // 2. Polar percentage.
  if (read("iPolPerc")) {
    model_.speed().polPerc = c.iPolPerc;
    pn[Field::PolarPercentInput].setText(std::to_string(c.iPolPerc));
    pn[Field::PolarPercentUpDown].setPosition(std::clamp(c.iPolPerc, 0, 100));
  }

  // 3. Autopilot mode.
  s.ModPil = c.iModPil;

  // 4. Wind, heading, current: speeds with 3 significant digits, the heading and
  // the directions with 4, one decimal each (335.7 stays 335.7).
  if (read("iTWS")) show(Field::TrueWindSpeedInput, s.TW.mdl = c.iTWS, 3, 1);
  if (read("iTWD")) show(Field::TrueWindDirectionInput, s.TW.argt = c.iTWD, 4, 1);
  if (read("iHDG")) show(Field::HeadingInput, s.BS.argt = c.iHDG, 4, 1);
  if (read("iCUR")) show(Field::CurrentSpeedInput, s.CUR.mdl = c.iCUR, 3, 1);
  if (read("iCURDir")) show(Field::CurrentDirectionInput, s.CUR.argt = c.iCURDir, 4, 1);

  // 5. Start position.
  if (read("iPOSLat")) ShowCoord(pn, kPosLat, c.iPOSLat);
  if (read("iPOSLong")) ShowCoord(pn, kPosLong, c.iPOSLong);

  // 6. Waypoint, then rebuilt from its fields.
  model_.waypoint().Wp.P.nom = c.iWpID;
  pn[Field::WaypointName].setText(c.iWpID);
  if (read("iWpLat")) ShowCoord(pn, kWpLat, c.iWpLat);
  if (read("iWpLong")) ShowCoord(pn, kWpLong, c.iWpLong);
  model_.ReadWaypoint();

  // 7. Magnetic variation, then applied.
  if (read("iDeclMag")) {
    pn[Field::VariationInput].setText(fixedForm(std::fabs(c.iDeclMag), 15, 2));
    pn[Field::VariationSide].setItemIndex(c.iDeclMag >= 0 ? 0 : 1);
  }
  model_.ReadMagneticVariation();

  // 8. UTC offset, shown in h.mm with two decimals (5 h 45 is "5.45"); "auto"
  // (the machine's offset) leaves the field empty.
  if (read("idTU")) {
    p.dTUAuto = c.idTUAuto;
    if (c.idTUAuto) {
      pn[Field::UtcOffset].setText("");
    } else {
      p.dTU = dms_dec(c.idTU);
      pn[Field::UtcOffset].setText(fixedForm(dec_dms(p.dTU), 15, 2));
    }
  }

  // 9. The variations and their check boxes.
  s.HDGvar = p.varyHeading = c.iHDGvar;
  s.TWSvar = p.varyWindSpeed = c.iTWSvar;
  s.TWDvar = p.varyWindDirection = c.iTWDvar;
  ShowChecks();

  // 10. Serial speed; the devices of the ports.
  if (!IsBadKey(bad, kSecCom, "iVit")) transmission_.SetSpeedText(std::to_string(c.iVit));
  COM_ = c.COM;
  network_ = c.network;
  SetNav(c.nav);
  control_ = c.control;

  // 11. Sentence switches (the keys are in the list's order).
  for (std::size_t i = 0; i < kSentencesByType.size(); ++i) {
    kSentencesByType[i]->flag(nmea_) = c.sentences[i] ? t_switch::ON : t_switch::OFF;
  }

  // 12. Talkers: the dialog's radio groups, and the sentences at once, as the
  // dialog's OK would.
  selection_.RdGDevPos = c.talkerItems[kTalkerDevPos];
  selection_.RdGDevSond = c.talkerItems[kTalkerSounder];
  selection_.RdGInst = c.talkerItems[kTalkerSpeedo];
  selection_.RdGWI = c.talkerItems[kTalkerWinst];
  nmea_.DevPos = TalkerOfItem(kTalkerDevPos, c.talkerItems[kTalkerDevPos]);
  nmea_.Sounder = TalkerOfItem(kTalkerSounder, c.talkerItems[kTalkerSounder]);
  nmea_.Speedo = TalkerOfItem(kTalkerSpeedo, c.talkerItems[kTalkerSpeedo]);
  nmea_.Winst = TalkerOfItem(kTalkerWinst, c.talkerItems[kTalkerWinst]);

  // 13. The fixed identifiers.
  nmea_.InstID = c.iInst;
  nmea_.PilotID = c.iPilot;
  nmea_.CompasID = c.iCompas;

  // 14. The sentence dialog's list.
  selection_.RefreshNMEAParam(nmea_);

  Report(BadKeysMessage(bad));
}

// ---- Menu "Configuration"

void VentrelProgram::AutomatiqueOff() {
  panel()[Field::AutomaticReloadItem].setChecked(false);
  model_.timers().TimerLoadCFG.setEnabled(false);
}

bool VentrelProgram::OpenConfiguration(const fs::path& file) {
  IniFile ini;
  const IniLoad load = IniFile::Load(file, &ini);
  if (!load.found) {
    Report("Le fichier « " + file.filename().string() + " » est introuvable.");
    return false;
  }
  if (!load.readable) {
    Report(load.message);
    return false;
  }
  CFGFile_ = file;
  watchToldMissing_ = false;
  polar_ = LoadPOlaire(ini, polar_, AppliDir_);
  configuredPolarUnused_ = false;  // the polar keys now come from this file
  LoadConfig(ini);
  if (const std::string why = ConfigTextProblem(ini.Text()); !why.empty()) {
    Report("Le fichier « " + file.filename().string() + " » n'est pas une configuration : " + why + ".");
  }
  PanelField& title = panel()[Field::MainWindow];
  title.setText(title.text() + std::string(kTitreConfiguration) + file.filename().string());
  CFGFileDate_ = ModificationTime(file);
  return true;
}

void VentrelProgram::Ouvrir2Click() {
  AutomatiqueOff();
  FileDialog d;
  d.filter = kFiltreOuvrir;
  d.defaultExt = "ini";
  d.folder = UserDir();
  if (const std::optional<fs::path> file = dialogs_.OpenFile(d)) OpenConfiguration(*file);
  ResetDefDecSep(model_.decSep());
  model_.dial().RepaintVisu();
  FormPaint();
}

void VentrelProgram::Enregistrer2Click() {
  AutomatiqueOff();
  FileDialog d;
  d.title = kTitreEnregistrer;
  d.filter = kFiltreEnregistrer;
  d.defaultExt = "ini";
  d.folder = UserDir();
  const std::optional<fs::path> file = dialogs_.SaveFile(d);
  Configuration c;
  const std::optional<std::string> input = file ? InputFileAt(*file, true) : std::nullopt;
  if (input) {
    Report(*input + " La configuration n'est pas enregistrée.");
  } else if (file && CurrentConfiguration(&c)) {
    // Saving over a file keeps its other lines (comments, keys of other programs).
    IniFile ini;
    const IniLoad load = IniFile::Load(*file, &ini);
    if (!load.readable) {
      Report(load.message + " La configuration n'est pas enregistrée.");
    } else {
      WriteConfiguration(ini, c);
      const WriteOutcome out = ini.Save(*file);
      if (!out.ok) Report(out.message);
    }
  }
  ResetDefDecSep(model_.decSep());
}

void VentrelProgram::Automatique1Click() {
  if (panel()[Field::AutomaticReloadItem].checked()) {
    AutomatiqueOff();
    return;
  }
  Ouvrir2Click();
  if (CFGFile_.empty()) return;  // nothing to watch
  panel()[Field::AutomaticReloadItem].setChecked(true);
  model_.timers().TimerLoadCFG.setEnabled(true);
}

void VentrelProgram::TimerLoadCFGTimer() {
  ModelTimer& watch = model_.timers().TimerLoadCFG;
  watch.setEnabled(false);
  // The pause/resume toggle around the check: a running simulation pauses and
  // resumes with what was read. Not while a current rotation or a manoeuvre drives
  // the tick: the toggle would restart them.
  const bool toggle = !model_.CurrentRotating() && !model_.ManoeuvreRunning();
  if (toggle) model_.SpBtPauseResClick();

  const std::string name = CFGFile_.filename().string();
  const std::optional<fs::file_time_type> date = ModificationTime(CFGFile_);
  std::string problem;
  if (!date) {
    problem = "Le fichier de configuration « " + name + " » est introuvable.";
  } else if (date != CFGFileDate_) {
    IniFile ini;
    const IniLoad load = IniFile::Load(CFGFile_, &ini);
    if (load.found && load.readable) {
      LoadConfig(ini);
      CFGFileDate_ = date;
    } else {
      problem = load.readable ? "Le fichier de configuration « " + name + " » est introuvable." : load.message;
    }
  }
  // A file that cannot be read gives no defaults: the settings in force stay, and
  // the user hears of it once, until the file can be read again.
  if (problem.empty()) {
    watchToldMissing_ = false;
  } else if (!watchToldMissing_) {
    watchToldMissing_ = true;
    Report(problem + " Les réglages en cours sont conservés.");
  }

  if (toggle) model_.SpBtPauseResClick();
  watch.setEnabled(true);
}

}  // namespace ventrel
