#pragma once
// The main window TFVentrel: every panel and control of the simulator bound to
// the program's panel by component name, the instrument dial, the menus, the NMEA
// output panel, the dialogs, the quit sequence, the help pages and the two layouts.
//
// The window holds no behaviour of the simulator: each event calls a handler of
// the program (VentrelProgram and the models it owns), then the changed fields
// are copied into the widgets and the dial is repainted.

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "program/boat_commands.h"
#include "program/program.h"
#include "qt/control_port.h"
#include "qt/network_outputs.h"
#include "qt/nmea_inputs.h"
#include "qt/serial_nmea_port.h"
#include "qt/serial_port.h"
#include "raster/rotated_boat.h"
#include "scenario/event_player.h"
#include "scenario/scenario_file.h"
#include "ui/help_pages.h"
#include "ui/image_canvas.h"
#include "ui/network_dialog.h"
#include "ui/nmea_dialog.h"
#include "ui/param_dialog.h"
#include "ui/panel_binder.h"

class QAction;
class QGroupBox;
class QLabel;
class QListWidget;

namespace ventrel {

class DepthBox;
class InstrumentSurface;
class MessageQueue;
class TimerDriver;

// The speeds offered beside the run controls: times real time.
inline constexpr std::array<int, 4> kRunSpeeds = {1, 2, 5, 10};

// Design size of the window, pixels.
inline constexpr int kDesignWidth = 1322;
inline constexpr int kDesignHeight = 810;

// The dialogs the program asks for, as Qt shows them. Each can be replaced (tests
// answer them); messages go to the window's message boxes.
struct WindowDialogs {
  std::function<std::optional<std::filesystem::path>(const FileDialog&)> openFile;
  std::function<std::optional<std::filesystem::path>(const FileDialog&)> saveFile;
  std::function<std::optional<std::filesystem::path>(const std::string& title, const std::filesystem::path&)>
      selectFolder;
  std::function<bool(const std::string& question)> askYesNo;
};

struct WindowSetup {
  std::filesystem::path AppliDir;  // the program folder: pictures, help pages, configuration
  std::string RepMesDoc;           // the user's documents folder ("" when unknown)
  // The configuration read at start and written back at close (empty: the one of AppliDir).
  std::filesystem::path iniPath;
  // Where the save dialogs start (empty: AppliDir) and the user's polar folder offered
  // beside the shipped ones (empty: none): an installed program's user folders.
  std::filesystem::path userDir;
  std::filesystem::path userPolars;
  // The lines of the "À propos" box on the files (LayoutReport); empty: the program folder.
  std::string aboutFiles;
  // The model's timers run on real-time Qt timers; tests turn this off and drive
  // them with a virtual clock.
  bool realTimeTimers = true;
  // Message boxes appear (tests keep them hidden; the messages are still recorded).
  bool showMessageBoxes = true;
  // Opens a help page in the system's browser.
  HelpOpener helpOpener = OpenInBrowser;
  // Replacements of the Qt dialogs (empty members keep Qt's).
  WindowDialogs dialogs;
  // Local time of the NMEA time stamps (empty: the system's).
  LocalClock clock;
};

class TFVentrel : public QMainWindow {
  Q_OBJECT

 public:
  // Creates the window and runs the program's start: the start sequence, the
  // parameters dialog, the polar, the sentence dialog and the default configuration.
  explicit TFVentrel(WindowSetup setup, QWidget* parent = nullptr);
  ~TFVentrel() override;

  // ---- What the window shows.
  VentrelProgram& program() { return *program_; }
  VentrelModel& model() { return program_->model(); }
  Panel& panel() { return program_->panel(); }
  SerialPorts& com() { return *com_; }
  PanelBinder& binder() { return *binder_; }
  RotatedBoat& boat() { return boat_; }
  ImageCanvas& canvas() { return canvas_; }
  ImageCanvas& depthCanvas() { return depthCanvas_; }
  InstrumentSurface* surface() const { return surface_; }
  MessageQueue& messages() { return *messages_; }
  TFParam* paramDialog() const { return param_; }
  TFParNMEA* nmeaDialog() const { return parNmea_; }
  // The "Réseau" dialog, made at its first opening (menu "Configuration", "Réseau").
  NetworkDialog* networkDialog() const { return network_dialog_; }
  void OpenNetworkDialog();
  // The steering input as the configuration's [NAV] sets it, reading the TCP
  // server and the serial ports in force: "" or the French message of a source
  // that cannot start (then told to the user too).
  std::string ApplyInput();
  NmeaInputs* inputs() const { return inputs_.get(); }
  // The control port as the configuration's [CONTROLE] sets it (started, moved or
  // stopped; left alone when it already listens as set): "" or the French message
  // of a port that cannot start (then told to the user too). Its commands are
  // played as a scenario's events, with the run's time; refusals are answered to
  // the client, the clients refused or dropped go to the NMEA list.
  std::string ApplyControl();
  // What the control port does now, for the "Réseau" dialog.
  std::string ControlState() const;
  ControlPort* controlPort() const { return control_.get(); }
  QListWidget* nmeaList() const { return memoNMEA_; }
  QGroupBox* nmeaPanel() const { return gbNmea_; }
  TimerDriver* timerDriver() const { return driver_.get(); }
  const std::filesystem::path& AppliDir() const { return setup_.AppliDir; }
  bool FullScreenLayout() const { return fullScreen_; }
  // The widget or menu item that shows a field, or nullptr.
  QObject* widgetOf(Field f) const { return binder_->Find(f); }
  // An action of the menus by object name ("Pleincran1", "Paramtres1", ...).
  QAction* Action(const QString& name) const;
  // Every message told to the user, oldest first.
  QStringList Messages() const;
  // The text of the "À propos" box.
  QString AboutText() const;

  // ---- Running the program.
  // Runs `f` as an event handler: an error it throws is told to the user (the
  // handler is abandoned, the window goes on), then the window shows the panel
  // as the handler left it.
  void Run(const std::function<void()>& f);
  // Copies the changed fields into the widgets, shows or hides the dialogs as the
  // panel says, and repaints the dial.
  void RefreshFromModel();
  // FormPaint of the program, then the window repainted.
  void FormPaint();

  // ---- Commands.
  void PleinEcran();
  void Normal();
  void Quitter();
  void OpenHelp(HelpPage page);
  // Menu "Aide" / "À propos": the version, where the data lies and where the
  // configuration is read and written.
  void About();
  void SpBtZoomNMEAClick();
  // The speed of the run, ×1 (real time) to ×10, as the selector beside the run
  // controls sets it: the timers and the clock of the sentences go that many times
  // as fast. Refused with a French message (and the selector put back) when a
  // group of sentences would no longer fit on the serial port in use.
  bool SetRunSpeed(int times);
  int RunSpeed() const { return runSpeed_; }
  // The local time of the sentences: the system's (or the setup's clock) until a
  // speed other than ×1 is chosen; from then on it goes with the time of the run.
  LocalTime Now() const;
  // "Sauvegarder NMEA brut" / "Sauvegarder NMEA horodaté": asks for the file, then saves.
  void SaveNmeaList(bool stamped);
  // "Fichier > Ouvrir un scénario...": asks for the file, then RunScenario.
  void OpenScenario();
  // Runs a scenario file in the window, the run stopped or paused: its
  // configuration opened, its start time as the sentences' clock, its events at 0
  // typed before "Démarrer", the later ones at their seconds (each in the NMEA list
  // with its time), the progress under the depth box, the report of its
  // expectations in a message box at its end, where the run pauses. False, with
  // the French message told (a malformed file: its line and column), when it
  // cannot start; nothing is run then.
  bool RunScenario(const std::filesystem::path& file);
  // The scenario run (the last one, finished or not), or nullptr.
  const ScenarioRun* scenarioRun() const { return scenarioRun_.get(); }
  // The report of the last scenario that ended ("" before).
  const std::string& ScenarioReport() const { return scenarioReport_; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void BuildMenus();
  void BuildPanels(QWidget* ground);
  void BuildNmeaPanel(QWidget* ground);
  void BuildDialogs();
  void ConnectHandlers();
  void WrapTimers();
  void FormCreate();
  void ApplyShapes();
  void SetLayout(bool full);
  void SyncDialogs();
  void ParamClosedByFrame();
  void QuitSequence();
  void Post(const std::string& text, bool error);
  void KeepRunSpeedOnLine();
  void AfterScenarioSecond();
  void EndScenario();
  void ShowScenarioProgress();
  // Without a scenario running, TimerScenario counts the seconds of the control
  // port's ramps and faults (while the port is open).
  void ControlSeconds();
  std::int64_t PlayerNowMs() const;
  ProgramDialogs& Dialogs();

  WindowSetup setup_;
  MessageQueue* messages_ = nullptr;
  std::unique_ptr<ProgramDialogs> dialogs_;
  std::unique_ptr<SerialPorts> com_;
  std::unique_ptr<SerialNmeaPort> port_;
  std::unique_ptr<NetworkOutputs> network_;  // an output of the cycle: outlives the program
  std::unique_ptr<VentrelProgram> program_;
  // The buttons that drive the boat go through the same commands as the headless
  // run and every other driver.
  std::unique_ptr<BoatCommands> commands_;
  // Scenario events and the control port's commands are played through it.
  std::unique_ptr<EventPlayer> player_;
  std::unique_ptr<Scenario> scenario_;
  std::unique_ptr<ScenarioRun> scenarioRun_;
  std::filesystem::path scenarioFile_;
  std::string scenarioReport_;
  std::size_t shownEvents_ = 0;     // events of the scenario shown in the NMEA list
  std::vector<std::string> told_;   // the scenario's lines of the second being played
  QLabel* scenarioLabel_ = nullptr;
  std::unique_ptr<ControlPort> control_;
  ControlSettings controlOpen_;      // the settings the port listens with
  std::int64_t controlSeconds_ = 0;  // seconds counted for the control port's commands
  // The steering input of the NAV pilot ([NAV]): each sentence goes to the commands.
  std::unique_ptr<NmeaInputs> inputs_;
  ImageCanvas canvas_;
  ImageCanvas depthCanvas_;
  RotatedBoat boat_;
  std::unique_ptr<PanelBinder> binder_;
  std::unique_ptr<TimerDriver> driver_;

  InstrumentSurface* surface_ = nullptr;
  DepthBox* depthBox_ = nullptr;
  QListWidget* memoNMEA_ = nullptr;
  QGroupBox* gbNmea_ = nullptr;
  QGroupBox* gbPilote_ = nullptr;
  QGroupBox* gbDecl_ = nullptr;
  QWidget* panel1_ = nullptr;
  QWidget* trackBarre_ = nullptr;
  QWidget* imgIndcBarre_ = nullptr;
  QWidget* labNomPol2_ = nullptr;
  QLabel* imgLegende_ = nullptr;
  QWidget* shapeCap_ = nullptr;
  QWidget* edCap_ = nullptr;
  QWidget* sBtEmp_ = nullptr;
  QPointer<TFParam> param_;
  QPointer<TFParNMEA> parNmea_;
  QPointer<NetworkDialog> network_dialog_;
  // The UTC offset field as the parameters dialog opened with it.
  std::string tuAtOpen_;
  bool fullScreen_ = false;
  bool quitDone_ = false;
  bool closed_ = false;
  bool portTyped_ = false;  // a port name typed and confirmed in this turn of the event loop
  int runSpeed_ = 1;        // ×1 to ×10
  LocalClock baseClock_;    // the system's or the setup's
  // Once a speed other than ×1 was chosen: the local time then and the driver's
  // instant then; the clock of the sentences goes on from there with the run.
  std::optional<std::pair<LocalTime, std::int64_t>> runClock_;
};

// The system's local time, for the time stamps of the NMEA lists.
LocalTime SystemLocalTime();

}  // namespace ventrel
