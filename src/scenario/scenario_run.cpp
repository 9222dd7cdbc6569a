// A scenario played on a running program: its events at their seconds, its
// expectations checked at theirs and at the end.

#include <utility>

#include "scenario/event_player.h"

namespace ventrel {

namespace {

// "[01:02:03]": run time for the lines told to the user.
std::string Stamp(std::int64_t seconds) { return "[" + RunClockText(seconds) + "]"; }

}  // namespace

ScenarioRun::ScenarioRun(const Scenario& scenario, EventPlayer& player, BoatCommands& commands, SentenceCycle& cycle,
                         ModelTimer& timer, std::function<void(const std::string&)> tell)
    : scenario_(scenario),
      player_(player),
      commands_(commands),
      cycle_(cycle),
      timer_(timer),
      tell_(std::move(tell)),
      checked_(scenario.expectations.size(), false) {}

ScenarioRun::~ScenarioRun() {
  timer_.setEnabled(false);
  timer_.setHandler({});
  cycle_.SetGroupListener({});
}

bool ScenarioRun::Passed() const {
  for (const ExpectationOutcome& o : outcomes_) {
    if (!o.passed) return false;
  }
  return true;
}

void ScenarioRun::Tell(std::string_view event, const CommandResult& r) {
  if (!tell_) return;
  if (!r.accepted) {
    tell_(Stamp(nowSeconds_) + " " + std::string(event) + " : refusé : " + r.why);
  } else if (!r.why.empty()) {
    tell_(Stamp(nowSeconds_) + " " + std::string(event) + " : " + r.why);
  }
}

void ScenarioRun::PlayOne(const BoatEvent& e) {
  const CommandResult r = player_.Play(e, nowSeconds_ * 1000);
  ++played_;
  if (!r.accepted) ++refused_;
  Tell(EventName(e), r);
}

void ScenarioRun::PlayDue() {
  const std::vector<TimedEvent>& events = scenario_.events;
  while (nextEvent_ < events.size() && events[nextEvent_].atSeconds <= nowSeconds_) {
    PlayOne(events[nextEvent_++].event);
  }
}

namespace {

// What is typed or chosen before "Démarrer" (values the start reads, the
// sentences, the polar, the faults of the outputs), as opposed to the buttons
// of a run (pilot, helm, manoeuvres, pause), which the window offers only once
// the run has started.
bool TypedBeforeStart(const BoatEvent& e) {
  return std::holds_alternative<HeadingEvent>(e) || std::holds_alternative<TrueWindEvent>(e) ||
         std::holds_alternative<CurrentEvent>(e) || std::holds_alternative<WaypointEvent>(e) ||
         std::holds_alternative<SentencesEvent>(e) || std::holds_alternative<PolarEvent>(e) ||
         std::holds_alternative<PolarPercentEvent>(e) || std::holds_alternative<FaultEvent>(e) ||
         std::holds_alternative<ClearFaultEvent>(e);
}

}  // namespace

// Due: at or before this second; at the end, all that are left. One whose time
// the run never reached fails: its moment was not seen.
void ScenarioRun::CheckDue(bool atEnd) {
  BoatReadout readout = commands_.Readout();
  readout.tacksBegun -= tacksBefore_;  // the scenario's own
  readout.gybesBegun -= gybesBefore_;
  for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
    const Expectation& e = scenario_.expectations[i];
    if (checked_[i]) continue;
    const bool due = e.atSeconds ? *e.atSeconds <= nowSeconds_ : atEnd;
    if (!due && !atEnd) continue;
    checked_[i] = true;
    if (due) {
      outcomes_.push_back(Evaluate(e, nowSeconds_, readout, watch_));
    } else {
      ExpectationOutcome o;
      o.expectation = e;
      o.checkedAtSeconds = nowSeconds_;
      o.observed = "non vérifiée : le parcours s'est arrêté à " + Stamp(nowSeconds_) + ", avant son heure";
      outcomes_.push_back(std::move(o));
    }
  }
}

void ScenarioRun::BeforeStart() {
  const std::vector<TimedEvent>& events = scenario_.events;
  for (; nextEvent_ < events.size() && events[nextEvent_].atSeconds <= 0; ++nextEvent_) {
    if (TypedBeforeStart(events[nextEvent_].event)) {
      PlayOne(events[nextEvent_].event);
    } else {
      afterStart_.push_back(nextEvent_);
    }
  }
}

void ScenarioRun::AfterStart() {
  const BoatReadout before = commands_.Readout();
  tacksBefore_ = before.tacksBegun;
  gybesBefore_ = before.gybesBegun;
  cycle_.SetGroupListener([this](const GroupOutcome& g) { watch_.OnGroup(g, nowSeconds_ * 1000); });
  timer_.setHandler([this] { OnSecond(); });
  timer_.setEnabled(true);
  // The buttons of second 0, in their order, once the run has started.
  for (std::size_t i : afterStart_) PlayOne(scenario_.events[i].event);
  afterStart_.clear();
  PlayDue();  // nothing when BeforeStart went through the events at 0
  CheckDue(false);
}

void ScenarioRun::OnSecond() {
  if (finished_) return;
  ++nowSeconds_;
  for (const EventPlayer::RampStopped& s : player_.Second(nowSeconds_ * 1000)) {
    Tell(s.event, CommandResult{false, s.why});
  }
  PlayDue();
  CheckDue(false);
}

void ScenarioRun::Finish() {
  if (finished_) return;
  CheckDue(true);
  timer_.setEnabled(false);
  cycle_.SetGroupListener({});
  finished_ = true;
}

}  // namespace ventrel
