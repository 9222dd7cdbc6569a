// A scenario in the window: "Fichier > Ouvrir un scénario...", its events played
// at their seconds as if typed (each one in the NMEA list with its time), its
// progress under the depth box, the report of its expectations at the end; the
// seconds of the control port's commands when no scenario runs.

#include <QComboBox>
#include <QLabel>
#include <QTimer>

#include <system_error>
#include <variant>

#include "ui/main_window.h"
#include "ui/message_queue.h"
#include "ui/timer_driver.h"

namespace ventrel {

namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void TFVentrel::OpenScenario() {
  FileDialog d;
  d.title = "Ouvrir un scénario";
  d.filter = "Scénarios|*.yaml *.yml";
  d.defaultExt = "yaml";
  std::error_code ec;
  d.folder = fs::is_directory(setup_.AppliDir / "scenarios", ec) ? setup_.AppliDir / "scenarios" : setup_.AppliDir;
  std::optional<fs::path> file;
  Run([this, &d, &file] { file = Dialogs().OpenFile(d); });
  if (file) RunScenario(*file);
}

bool TFVentrel::RunScenario(const fs::path& file) {
  const SimState& s = model().state();
  if (scenarioRun_ && !scenarioRun_->Finished()) {
    Post("Un scénario est déjà en cours (" + scenarioFile_.filename().string() +
             ") : attendez sa fin avant d'en ouvrir un autre.",
         true);
    return false;
  }
  if (!s.PremPasse && !s.StPause) {
    Post("Mettez d'abord la simulation en pause : un scénario la démarre avec ses propres valeurs.", true);
    return false;
  }
  std::variant<Scenario, ScenarioError> read = ReadScenarioFile(file);
  if (const auto* e = std::get_if<ScenarioError>(&read)) {
    Post("Scénario refusé, rien n'est lancé : " + ScenarioErrorText(file, *e), true);
    return false;
  }
  scenarioRun_.reset();
  scenario_ = std::make_unique<Scenario>(std::move(std::get<Scenario>(read)));
  scenarioFile_ = file;
  scenarioReport_.clear();
  shownEvents_ = 0;
  told_.clear();

  // Its configuration, as "Configuration > Ouvrir" opens one.
  if (scenario_->config) {
    bool opened = false;
    Run([this, &opened] { opened = program_->OpenConfiguration(*scenario_->config); });
    if (!opened) {
      Post("Scénario « " + file.filename().string() + " » : sa configuration « " + scenario_->config->string() +
               " » n'a pas pu être ouverte, rien n'est lancé.",
           true);
      scenario_.reset();
      return false;
    }
    if (const std::string e = network_->ApplyIfChanged(program_->Network()); !e.empty()) Post(e, true);
    ApplyInput();
    ApplyControl();
    FormPaint();
  }

  ModelTimer& timer = model().timers().TimerScenario;
  timer.setEnabled(false);  // the control port's seconds, if any: the scenario counts them now
  scenarioRun_ = std::make_unique<ScenarioRun>(*scenario_, *player_, *commands_, program_->transmission().cycle(), timer,
                                               [this](const std::string& line) { told_.push_back(line); });
  // The sentences' clock at the scenario's start time, when it gives one.
  if (scenario_->start && driver_) runClock_.emplace(*scenario_->start, driver_->now());
  // Second 0: the events at 0 as typed values, "Démarrer" (or the resume of a
  // paused run), then the scenario's seconds on TimerScenario.
  const auto start = [this, &timer] {
    scenarioRun_->BeforeStart();
    if (model().state().StPause) {
      commands_->Resume();
    } else {
      commands_->Start();
    }
    scenarioRun_->AfterStart();
    // Each second of the scenario is a handler of the window.
    std::function<void()> second = timer.handler();
    timer.setHandler([this, second] {
      Run([this, &second] {
        if (second) second();
        AfterScenarioSecond();
      });
    });
  };
  Run([this, &start] {
    if (driver_) {
      driver_->runEvent(start);
    } else {
      start();
    }
    AfterScenarioSecond();
  });
  return true;
}

void TFVentrel::AfterScenarioSecond() {
  if (!scenarioRun_ || !scenario_) return;
  // Each event played this second, with its time; those that were refused or
  // said something come with their line.
  NmeaList& visible = program_->transmission().log().visible;
  const std::vector<TimedEvent>& events = scenario_->events;
  while (shownEvents_ < events.size() && events[shownEvents_].atSeconds <= scenarioRun_->Now()) {
    const TimedEvent& e = events[shownEvents_++];
    const std::string line = "[" + RunClockText(e.atSeconds) + "] " + std::string(EventName(e.event));
    bool toldAlready = false;
    for (const std::string& t : told_) toldAlready = toldAlready || t.rfind(line + " ", 0) == 0;
    if (!toldAlready) visible.Add(line);
  }
  for (const std::string& t : told_) visible.Add(t);
  told_.clear();
  if (!scenarioRun_->Finished() && scenarioRun_->Now() >= scenarioRun_->Duration()) EndScenario();
  ShowScenarioProgress();
}

void TFVentrel::EndScenario() {
  scenarioRun_->Finish();
  // The run ends with its scenario: it stays paused where the scenario left it.
  if (!model().state().PremPasse && !model().state().StPause) commands_->Pause();
  const std::string name = scenarioFile_.filename().string();
  scenarioReport_ = ReportText(name, scenarioRun_->Outcomes());
  program_->transmission().log().visible.Add(" *** scénario « " + name + " » terminé : " +
                                             (scenarioRun_->Passed() ? "réussi" : "échoué") + " ***");
  messages_->Post(Q(scenarioReport_), !scenarioRun_->Passed());
  // The control port's seconds again, once this handler of the scenario's timer is over.
  QTimer::singleShot(0, this, [this] { ControlSeconds(); });
}

std::int64_t TFVentrel::PlayerNowMs() const {
  if (scenarioRun_ && !scenarioRun_->Finished()) return scenarioRun_->Now() * 1000;
  return controlSeconds_ * 1000;
}

void TFVentrel::ControlSeconds() {
  if (scenarioRun_ && !scenarioRun_->Finished()) return;  // the scenario counts them
  ModelTimer& timer = model().timers().TimerScenario;
  if (!control_) {
    timer.setEnabled(false);
    return;
  }
  timer.setHandler([this] {
    Run([this] {
      ++controlSeconds_;
      for (const EventPlayer::RampStopped& s : player_->Second(controlSeconds_ * 1000)) {
        program_->transmission().log().visible.Add(" *** port de contrôle : " + s.event + " : refusé : " + s.why +
                                                   " ***");
      }
    });
  });
  timer.setEnabled(true);
}

void TFVentrel::ShowScenarioProgress() {
  if (!scenarioLabel_) return;
  if (!scenarioRun_ || !scenario_) {
    scenarioLabel_->clear();
    return;
  }
  std::string text = "Scénario « " + scenarioFile_.filename().string() + " » : " + RunClockText(scenarioRun_->Now()) +
                     " / " + RunClockText(scenarioRun_->Duration());
  if (scenarioRun_->Finished()) text += scenarioRun_->Passed() ? " — terminé, réussi" : " — terminé, échoué";
  if (scenarioRun_->Refused() > 0) text += " (" + std::to_string(scenarioRun_->Refused()) + " refusé(s))";
  scenarioLabel_->setText(Q(text));
}

}  // namespace ventrel
