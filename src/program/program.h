#pragma once
// The whole program's model: the main window's model, the sentence module, the
// sentence-selection dialog, the NMEA output, the parameters dialog, the polar in
// force, the program's folders and names, and the configuration menu with its
// watched file. The Qt window owns one VentrelProgram, binds its widgets to the
// panel by component name and answers the dialogs; tests answer them directly.
//
// Handlers carry the names of the window's events: the configuration menu
// ("Ouvrir2Click", "Enregistrer2Click", "Automatique1Click", "TimerLoadCFGTimer"),
// the parameters dialog ("BtValidCSCQClick", "LbEdTUChange", ...), the polar form
// ("BtSelPolClick"). They live in one file per concern: program.cpp (start, polar
// form, painting, close), load_config.cpp (reading and saving configurations, the
// watch), param_dialog.cpp (the parameters dialog).
//
// Folders are absolute with "/" separators and a trailing "/" (see startup.h).
// No current folder is changed: names relative to the program folder are resolved
// against AppliDir by whoever opens them.

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/config_values.h"
#include "files/ini_file.h"
#include "files/polar_file.h"
#include "files/startup.h"
#include "nmea/records.h"
#include "nmea/selection.h"
#include "model/transmission.h"
#include "model/window_model.h"

namespace ventrel {

// The window title before the version is appended.
inline constexpr std::string_view kTitreFenetre = "SIMULATEUR DE NAVIGATION et TRANSMETTEUR NMEA 0183  V ";
// Appended to the title, with the file's name, at each opening of a configuration.
inline constexpr std::string_view kTitreConfiguration = "      Configuration : ";

// The file dialogs' settings.
inline constexpr std::string_view kFiltreOuvrir = "Fichier ini|*.ini";
inline constexpr std::string_view kFiltreEnregistrer = "Fichier INI|*.ini";
inline constexpr std::string_view kTitreEnregistrer = "Sauvegarder la configuration";
inline constexpr std::string_view kTitreRepertoire = "Sélectionner le répertoire";

// The watch of the configuration file checks it every 10 s.
inline constexpr int kLoadCfgIntervalMs = 10000;

// The design texts of the parameters dialog.
inline constexpr std::string_view kDesignCS = "0.30";
inline constexpr std::string_view kDesignCQ = "1.60";
inline constexpr std::string_view kDesignTirando = "1.90";
inline constexpr std::string_view kDesignProfCapt = "0.30";
inline constexpr std::string_view kDesignTU = "-2";

// The best upwind angle marked "not computed" after a new polar is chosen.
inline constexpr long double kAlphaOptNewPolar = 100000.0L;

// A file dialog as the program asks for it.
struct FileDialog {
  std::string title;          // "" for the toolkit's own
  std::string filter;         // "Fichier ini|*.ini": description, "|", pattern; "" for every file
  std::string defaultExt;     // added to a name typed without one ("ini", "pol")
  std::filesystem::path folder;  // where the dialog starts
  // Other folders offered beside it (the shipped polars and the user's own).
  std::vector<std::filesystem::path> places;
};

// The dialogs the program opens: the window shows boxes, tests answer. Every
// method blocks until the user answers.
class ProgramDialogs : public StartupQuestions {
 public:
  // The chosen file, or nothing when the user cancels.
  virtual std::optional<std::filesystem::path> OpenFile(const FileDialog& d) = 0;
  virtual std::optional<std::filesystem::path> SaveFile(const FileDialog& d) = 0;
  // The chosen folder, or nothing when the user cancels.
  virtual std::optional<std::filesystem::path> SelectFolder(const std::string& title,
                                                           const std::filesystem::path& start) = 0;
  // A French message in a box with an OK button.
  virtual void Message(const std::string& text) = 0;
};

class VentrelProgram {
 public:
  // Builds every part in its creation state; nothing is read from disk before
  // Start. `port` and `dialogs` are not owned and must outlive the program.
  VentrelProgram(NmeaPort& port, LocalClock clock, ProgramDialogs& dialogs);
  VentrelProgram(const VentrelProgram&) = delete;
  VentrelProgram& operator=(const VentrelProgram&) = delete;

  // ---- What the program owns.
  VentrelModel& model() { return model_; }
  const VentrelModel& model() const { return model_; }
  Panel& panel() { return model_.panel(); }
  const Panel& panel() const { return model_.panel(); }
  NmeaModule& nmea() { return nmea_; }
  const NmeaModule& nmea() const { return nmea_; }
  NmeaSelection& selection() { return selection_; }
  const NmeaSelection& selection() const { return selection_; }
  NmeaTransmission& transmission() { return transmission_; }

  // ---- The line-load meter at the speed chosen in the speed list (line_meter.cpp).
  // The figures of each group and the warning, for a selection as the sentence
  // dialog holds it (not yet applied).
  std::string LineLoadReport(const NmeaSelection& pending) const;
  // For the port panel: the warning when a group of the selection in force does not
  // fit in its second (`*warning` then true), otherwise the load of each group.
  std::string LineLoadLine(bool* warning = nullptr) const;
  // The warning alone, "" when every group fits (or no speed is chosen).
  std::string LineLoadWarningNow() const;
  // Why a run `times` (1 to 100) as fast as real time cannot go on the serial line
  // at the speed chosen, with the selection in force: "" when every group fits in
  // its 1/times of a second (or no speed is chosen), otherwise the French refusal
  // (SpeedLoadRefusal of nmea/line_load.h). The window asks it before changing the
  // speed of a run whose serial port is active, the headless runner with --port.
  std::string RunSpeedRefusal(int times) const;
  Params& params() { return model_.params(); }
  const Params& params() const { return model_.params(); }

  // ---- Folders and names.
  const std::filesystem::path& AppliDir() const { return AppliDir_; }
  const std::string& Version() const { return Version_; }
  const std::string& RepPol() const { return polar_.RepPol; }
  const std::string& NomFiPol() const { return polar_.NomFiPol; }
  const std::string& NomPol() const { return polar_.NomPol; }
  const PolarPaths& polarPaths() const { return polar_; }
  const std::string& RepMesDoc() const { return RepMesDoc_; }
  bool ModHoulmar() const { return ModHoulmar_; }
  // The window title (Field::MainWindow of the panel).
  const std::string& Caption() const { return model_.panel()[Field::MainWindow].text(); }
  // The devices that stand for COM1 ... COM10 on this machine, keyed "COM1" ...
  // "COM10" (the port names' overrides), from the last configuration read.
  std::map<std::string, std::string> PortOverrides() const;
  // The network outputs of the configuration ([RESEAU]); a change is saved with it.
  const NetworkSettings& Network() const { return network_; }
  void SetNetwork(NetworkSettings n) { network_ = std::move(n); }
  // The steering input and the NAV pilot's settings of the configuration ([NAV]);
  // a change is saved with it, and the pilot takes its settings at once.
  const NavSettings& Nav() const { return nav_; }
  void SetNav(NavSettings n);
  // The control port of the configuration ([CONTROLE]); a change is saved with it.
  const ControlSettings& Control() const { return control_; }
  void SetControl(ControlSettings c) { control_ = std::move(c); }

  // ---- The watched configuration.
  const std::filesystem::path& CFGFile() const { return CFGFile_; }
  // Modification time of CFGFile as last seen; nothing when it could not be read.
  const std::optional<std::filesystem::file_time_type>& CFGFileDate() const { return CFGFileDate_; }

  // ---- Start: the start sequence, then the creation of the main window, the
  // parameters dialog, the polar form (which loads and parses the polar) and the
  // sentence dialog (which selects every sentence, then reads the default
  // configuration with LoadConfig). `RepMesDoc` is the user's documents folder
  // ("" when unknown). `iniPath` names another file in the default configuration's
  // place (read at start, written back at close); empty: "Ventrel.ini" in AppliDir.
  void Start(const std::filesystem::path& AppliDir, const std::string& RepMesDoc,
             const std::filesystem::path& iniPath = {});
  // The folders of an installed program, given before Start: `userDir`, where the
  // configuration dialogs start (empty: AppliDir), and `userPolars`, the user's polar
  // folder offered beside the shipped polars in the polar dialog (empty: none).
  void SetUserFolders(std::filesystem::path userDir, std::filesystem::path userPolars);
  // Where the configuration dialogs start.
  const std::filesystem::path& UserDir() const { return userDir_.empty() ? AppliDir_ : userDir_; }
  // The default configuration: read at start, its polar keys written at close.
  const std::filesystem::path& DefaultIni() const { return DefaultIni_; }
  // Why the configuration read at start would send nothing ("" when it selects a
  // sentence): missing, unreadable, not a text file, empty, no [NMEA] section or no
  // sentence selected in it. The start tells the user when the file exists (and
  // reads it all the same, as before).
  const std::string& ConfigProblem() const { return configProblem_; }

  // A French message when a file about to be written is one the program reads:
  // the polar in force and, unless `configuration` (a configuration saved over a
  // configuration), the default configuration and the one opened.
  std::optional<std::string> InputFileAt(const std::filesystem::path& file, bool configuration) const;

  // ---- The configuration.
  // Reads every key but the version and the polar keys into the program, in the
  // order of its 14 steps (see load_config.cpp). A value that is not a number
  // keeps the field's previous value and the user is told the key.
  void LoadConfig(const IniFile& ini);
  // The settings as a save writes them; false (and the user told why) when a
  // field read by the save is not a number.
  bool CurrentConfiguration(Configuration* c) const;
  // Menu "Configuration". "Ouvrir": a file chosen is read (its polar keys, then
  // LoadConfig), watched, and its name appended to the title at each opening.
  // "Enregistrer": every key in its order into the chosen file, its other lines
  // kept; nothing is written when the speed box or a position field cannot be read.
  // "Automatique": "Ouvrir", then the watch on (when a file is watched); checked,
  // it turns the watch off. "Ouvrir" and "Enregistrer" turn the watch off too.
  void Ouvrir2Click();
  void Enregistrer2Click();
  void Automatique1Click();
  // The watch, every 10 s: a changed file is read again with LoadConfig, between
  // two pause/resume toggles of the run (none while a current rotation or a
  // manoeuvre drives the tick). A missing or unreadable file keeps the settings in
  // force; the user is told once, and again only after it could be read.
  void TimerLoadCFGTimer();
  // Closing the main window: the polar keys are written back into the default
  // configuration; every other line of it is kept.
  void FormClose();

  // ---- Main window painting: the model's part, the polar name fields and the
  // UTC offset read again from the parameters dialog's field.
  void FormPaint();
  // Menu "Paramètres": shows the parameters dialog.
  void Paramtres1Click();

  // ---- Polar form.
  // Creation: loads and parses NomFiPol, or, with the sibling polars, lets the user
  // pick one there (the default polar when he picks none or one that is refused).
  void FPolaireFormCreate();
  // The polar file dialog, starting in `folder`: a file chosen, read and parsed
  // replaces the polar in force and becomes NomFiPol (and its folder RepPol).
  // A refused file keeps the polar in force; the user gets the French reason.
  // True when a new polar is in force.
  bool BtSelPolClick(const std::filesystem::path& folder);
  // The polar file chosen in that dialog: read and parsed, it replaces the polar
  // in force. The French messages the user is told (the refusal, the odd cells)
  // are also appended to `told` when given. True when the new polar is in force.
  bool UsePolarFile(const std::filesystem::path& file, std::string* told = nullptr);

  // ---- Parameters dialog (panel fields: the sensor offsets, draft, sensor depth,
  // UTC offset, the three variation boxes, the polar folder and name;
  // Field::ParametersDialog is visible while the dialog is shown).
  void FParamFormCreate();
  // When the dialog is shown: the polar folder and name, and the check boxes.
  void FParamFormPaint();
  void BtValidCSCQClick();
  // dTU := dms_dec of the field; an empty field (or "auto"): the machine's own
  // offset at each instant (dTUAuto); a text that is not a number keeps both (told
  // to the user only when `report`).
  void LbEdTUChange(bool report = false);
  void SpeedBtModPolClick();
  // "Modifier" of the polar with `file` chosen: UsePolarFile, the name shown in
  // the dialog; the best upwind angle is to be searched again.
  bool ModifyPolar(const std::filesystem::path& file, std::string* told = nullptr);
  void BtDirSelClick();
  void BtOKClick();
  // A click on one of the three check boxes: the variations follow them.
  void ChkBClick();

  // ---- Sentence dialog: shown from the parameters dialog (Field::SentenceDialog visible).
  void BtParNMEAClick();

  // Opens a configuration file, as "Ouvrir" does once the file is chosen (a
  // scenario's configuration): LoadPOlaire, LoadConfig, title, date. False when
  // the file cannot be read (the user is told).
  bool OpenConfiguration(const std::filesystem::path& file);

 private:
  void Report(const std::string& text) const;
  // The automatic reload off: item unchecked, timer stopped.
  void AutomatiqueOff();
  // The variation check boxes shown from Params.
  void ShowChecks();
  // The four fields of the depth offsets from Params.
  void ShowOffsets();
  // The number typed in a field of the panel, or nothing (the user is told which
  // field when `report`).
  std::optional<long double> FieldValue(Field field, std::string_view caption, bool report) const;
  // The settings as the program holds them, positions and speed as their fields
  // show them; the fields that cannot be read are described in `problems` (when
  // given) and their keys keep the fixed defaults.
  Configuration Settings(std::string* problems) const;
  // Replaces the polar in force by a parsed one and tells the user of its odd
  // cells; returns what was told ("" for none).
  std::string TakePolar(PolarParse parse);

  ProgramDialogs& dialogs_;
  VentrelModel model_;
  NmeaModule nmea_;
  NmeaSelection selection_;
  NmeaTransmission transmission_;

  std::filesystem::path AppliDir_;
  std::filesystem::path DefaultIni_;
  std::filesystem::path userDir_;
  std::filesystem::path userPolars_;
  std::string Version_ = kVersion;
  PolarPaths polar_;
  std::string RepMesDoc_;
  bool ModHoulmar_ = false;
  // The polar named by the configuration could not be used and no other was chosen
  // since: its name is not written back at close.
  bool configuredPolarUnused_ = false;
  std::array<std::string, kNbPorts> COM_{};
  NetworkSettings network_;
  NavSettings nav_;
  ControlSettings control_;

  std::filesystem::path CFGFile_;
  std::optional<std::filesystem::file_time_type> CFGFileDate_;
  // The watch has told the user that the watched file cannot be read; said again
  // only after it could be read once more.
  bool watchToldMissing_ = false;
  std::string configProblem_;
};

}  // namespace ventrel
