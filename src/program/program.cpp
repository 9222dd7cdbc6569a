// The program's creation and start, the polar form, the main window's painting
// and its close.

#include "program/program.h"

#include <algorithm>

#include "files/config_check.h"
#include "files/paths.h"
#include "files/polar_file.h"

namespace ventrel {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMsgPolaireParDefaut =
    "Aucune polaire n'a été retenue dans le dossier des polaires de HOULMAR : la polaire par défaut est chargée.";

}  // namespace

VentrelProgram::VentrelProgram(NmeaPort& port, LocalClock clock, ProgramDialogs& dialogs)
    : dialogs_(dialogs),
      transmission_(nmea_, NmeaSources{model_.state(), model_.waypoint(), model_.params()},
                    model_.timers().TimerNMEA, model_.panel(), port, std::move(clock)) {
  const auto report = [this](const std::string& text) { Report(text); };
  model_.SetMessageSink(report);
  transmission_.SetMessageSink(report);
  model_.SetNmeaListSink([this](const std::string& line) { transmission_.log().visible.Add(line); });
  model_.SetNmeaHooks({[this] { transmission_.Suspend(); }, [this] { transmission_.Resume(); }});

  ModelTimer& watch = model_.timers().TimerLoadCFG;
  watch.setEnabled(false);
  watch.setInterval(kLoadCfgIntervalMs);
  watch.setHandler([this] { TimerLoadCFGTimer(); });

  Panel& pn = model_.panel();
  pn[Field::MainWindow].setText(std::string(kTitreFenetre));
  // Menu "Configuration".
  pn[Field::OpenConfigurationItem].setText("Ouvrir");
  pn[Field::SaveConfigurationItem].setText("Enregistrer");
  pn[Field::AutomaticReloadItem].setText("Automatique");

  // The parameters dialog, hidden, with its design texts.
  PanelField& dialog = pn[Field::ParametersDialog];
  dialog.setText("Paramètres");
  dialog.setVisible(false);
  const struct {
    Field name;
    const char* label;
    std::string_view text;
  } fields[] = {
      {Field::PolarFolder, "Dossier des fichiers de polaires :", ""},
      {Field::SelectedPolar, "Polaire sélectionnée :", ""},
      {Field::SurfaceSensorOffset, "Capteur surface :     +", kDesignCS},
      {Field::KeelSensorOffset, "Capteur quille  :       -", kDesignCQ},
      {Field::Draft, "Tirant d'eau              ", kDesignTirando},
      {Field::SensorDepth, "Profondeur du capteur", kDesignProfCapt},
      {Field::UtcOffset, "Heure TU = heure locale", kDesignTU},
  };
  for (const auto& f : fields) {
    PanelField& field = pn[f.name];
    field.setLabel(f.label);
    field.setText(std::string(f.text));
  }
  pn[Field::SelectedPolar].setAlign(Align::Centre);
  pn[Field::VariesHeading].setText("Cap vrai");
  pn[Field::VariesWindSpeed].setText("Force du vent réel");
  pn[Field::VariesWindDirection].setText("Direction du vent réel ");

  // The sentence dialog, hidden.
  PanelField& nmeaDialog = pn[Field::SentenceDialog];
  nmeaDialog.setText(std::string(kNmeaDialogCaption));
  nmeaDialog.setVisible(false);
}

void VentrelProgram::Report(const std::string& text) const {
  if (!text.empty()) dialogs_.Message(text);
}

std::map<std::string, std::string> VentrelProgram::PortOverrides() const {
  std::map<std::string, std::string> out;
  for (std::size_t i = 0; i < COM_.size(); ++i) {
    if (!COM_[i].empty()) out["COM" + std::to_string(i + 1)] = COM_[i];
  }
  return out;
}

void VentrelProgram::Start(const fs::path& AppliDir, const std::string& RepMesDoc, const fs::path& iniPath) {
  // 1. Folders, version, polar, the sibling polars.
  AppliDir_ = AppliDir;
  DefaultIni_ = iniPath.empty() ? DefaultConfigPath(AppliDir) : iniPath;
  const StartupResult r = RunStartSequence(AppliDir, DefaultIni_, RepMesDoc, dialogs_);
  Version_ = r.Version;
  polar_ = r.polar;
  RepMesDoc_ = r.RepMesDoc;
  ModHoulmar_ = r.ModHoulmar;
  Report(r.polarWarning);  // the configured polar is not there: the default one is read
  configuredPolarUnused_ = !r.polarWarning.empty();
  model_.state().PremPasse = true;

  // 2. The main window was created with the program; its title takes the version.
  PanelField& title = panel()[Field::MainWindow];
  title.setText(std::string(kTitreFenetre) + Version_);

  // 3. The parameters dialog.
  FParamFormCreate();

  // 4. The polar form loads and parses the polar.
  FPolaireFormCreate();

  // 5. The sentence dialog: every sentence selected, then the default configuration.
  selection_.BtSelAllClick();
  IniFile ini;
  const IniLoad load = IniFile::Load(DefaultIni_, &ini);
  if (!load.readable) Report(load.message);  // read as a missing file: every key its default
  const std::string text = load.found && load.readable ? ConfigTextProblem(ini.Text()) : std::string();
  LoadConfig(ini);

  // 6. A configuration that would send nothing is told (its reading is kept).
  const std::string name = DefaultIni_.string();
  const bool anySelected = [this] {
    const Configuration c = Settings(nullptr);
    return std::find(c.sentences.begin(), c.sentences.end(), true) != c.sentences.end();
  }();
  if (!load.found) {
    configProblem_ = "La configuration « " + name + " » est introuvable : aucune phrase n'est choisie, rien ne serait transmis.";
  } else if (!load.readable) {
    configProblem_ = load.message;
  } else if (!text.empty()) {
    configProblem_ = "Le fichier de configuration « " + name + " » ne peut pas servir : " + text + ".";
  } else if (const std::string why = NoSentenceProblem(ini, anySelected); !why.empty()) {
    configProblem_ = "La configuration « " + name + " » ne choisit aucune phrase NMEA : " + why + ", rien ne serait transmis.";
  }
  if (load.found && load.readable) Report(configProblem_);
}

std::optional<std::string> VentrelProgram::InputFileAt(const fs::path& file, bool configuration) const {
  if (std::optional<std::string> m = CheckNotSameFile(file, polar_.NomFiPol, "la polaire en cours")) return m;
  if (configuration) return std::nullopt;
  if (std::optional<std::string> m = CheckNotSameFile(file, DefaultIni_, "la configuration lue au démarrage")) {
    return m;
  }
  return CheckNotSameFile(file, CFGFile_, "la configuration ouverte");
}

// ---- Polar form

std::string VentrelProgram::TakePolar(PolarParse parse) {
  model_.SetPolar(std::move(parse.table));
  std::string odd;
  for (const std::string& w : parse.warnings) {
    if (!odd.empty()) odd += '\n';
    odd += w;
  }
  Report(odd);
  return odd;
}

void VentrelProgram::SetUserFolders(fs::path userDir, fs::path userPolars) {
  userDir_ = std::move(userDir);
  userPolars_ = std::move(userPolars);
}

bool VentrelProgram::BtSelPolClick(const fs::path& folder) {
  FileDialog d;
  d.defaultExt = "pol";
  d.folder = folder;
  if (!userPolars_.empty()) {
    d.places = {fs::path(DefaultPolarPaths(AppliDir_).RepPol), userPolars_};
  }
  const std::optional<fs::path> chosen = dialogs_.OpenFile(d);
  if (!chosen) return false;
  return UsePolarFile(*chosen);
}

bool VentrelProgram::UsePolarFile(const fs::path& file, std::string* told) {
  const auto keep = [told](const std::string& text) {
    if (!told || text.empty()) return;
    if (!told->empty()) *told += '\n';
    *told += text;
  };
  const std::string path = file.generic_string();
  PolarParse parse = LoadPolarFile(path);
  if (!parse.ok) {
    Report(parse.message);
    keep(parse.message);
    return false;
  }
  keep(TakePolar(std::move(parse)));
  configuredPolarUnused_ = false;
  polar_.NomFiPol = path;
  polar_.NomPol = NomPolaire(path);
  // The folder goes with the file, so that a saved configuration names it again.
  polar_.RepPol = FolderOf(path);
  return true;
}

void VentrelProgram::FPolaireFormCreate() {
  if (ModHoulmar_) {
    if (BtSelPolClick(polar_.RepPol)) return;
    // Nothing taken in the sibling folder: the boat still needs a polar.
    polar_ = DefaultPolarPaths(AppliDir_);
    Report(kMsgPolaireParDefaut);
  }
  std::string refused;
  PolarParse parse = LoadStartPolar(polar_, AppliDir_, refused);
  Report(refused);  // the configured polar is refused: the default one is read
  if (!refused.empty()) configuredPolarUnused_ = true;
  if (parse.ok) {
    TakePolar(std::move(parse));
  } else {
    Report(parse.message);  // the table stays empty, the program goes on
  }
}

// ---- Main window

void VentrelProgram::FormPaint() {
  model_.FormPaint();
  panel()[Field::PolarName].setText(polar_.NomPol);
  panel()[Field::PolarNameOnDial].setText(polar_.NomPol);
  LbEdTUChange();
}

void VentrelProgram::Paramtres1Click() {
  FParamFormPaint();
  panel()[Field::ParametersDialog].setVisible(true);
}

void VentrelProgram::BtParNMEAClick() { panel()[Field::SentenceDialog].setVisible(true); }

void VentrelProgram::FormClose() {
  AutomatiqueOff();
  if (DefaultIni_.empty()) return;  // never started: no default configuration to write
  // The default polar stood in for a configured one that could not be used (a
  // drive not plugged in, a file renamed): the configuration keeps its name.
  if (configuredPolarUnused_) return;
  const WriteOutcome out = WriteBackPolarKeys(DefaultIni_, polar_, AppliDir_, &polar_.RepPol);
  if (!out.ok) Report(out.message);
}

}  // namespace ventrel
