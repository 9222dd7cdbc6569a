#pragma once
// Plays events on the boat: the one place where a BoatEvent becomes calls on
// BoatCommands (or on the outputs' faults), and where ramps move a value one
// step a simulated second. The scenario runner, the control port and the
// window's scenario menu all play their events through it.
//
// Heading, wind and current changed during a run are taken up at once without
// a new start (the run's time, its trip log and its variations go on), as the
// weather changes; before the start they are typed values the start reads.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/output_faults.h"
#include "program/boat_commands.h"
#include "scenario/boat_event.h"
#include "scenario/expectations.h"
#include "scenario/scenario_file.h"
#include "sim/timers.h"

namespace ventrel {

class EventPlayer {
 public:
  // None owned; all must outlive the player.
  EventPlayer(BoatCommands& commands, VentrelProgram& program, OutputFaults& faults);

  // Plays `e` now; `nowMs` is the run time (for ramps and the end of faults).
  // A ramp replaces a ramp of the same value in progress; a change at once of
  // that value ends it. A ramp that could not be taken now (a heading during a
  // manoeuvre) is refused at once; a step refused later ends the ramp.
  CommandResult Play(const BoatEvent& e, std::int64_t nowMs);
  // A ramp ended early because one of its steps was refused.
  struct RampStopped {
    std::string event;  // "heading", "wind", "current"
    std::string why;    // French
  };
  // One simulated second has passed: the ramps take their next step, the faults
  // whose time is over end. Returns the ramps a refused step ended.
  std::vector<RampStopped> Second(std::int64_t nowMs);
  bool Ramping() const;

 private:
  // The values a ramp moves; a new ramp of one replaces the ramp in progress.
  enum class Ramped { heading, windSpeed, windFrom, currentSpeed, currentToward };
  struct Ramp;
  CommandResult PlayHeading(const HeadingEvent& e);
  CommandResult PlayWind(const TrueWindEvent& e);
  CommandResult PlayCurrent(const CurrentEvent& e);
  CommandResult PlaySentences(const SentencesEvent& e);
  CommandResult PlayFault(const FaultEvent& e, std::int64_t nowMs);
  CommandResult PlayClearFault(const ClearFaultEvent& e);
  // A ramp of `what` from `from` to `to` over `overSeconds` (directions: the
  // shorter way round); without a length, only the ramp in progress is dropped.
  void BeginRamp(Ramped what, long double from, long double to, long double overSeconds);
  void DropRamps(std::initializer_list<Ramped> what);
  BoatCommands& commands_;
  VentrelProgram& program_;
  OutputFaults& faults_;
  std::vector<std::shared_ptr<Ramp>> ramps_;
};

// A scenario played on a program: its events at their times, on the model timer
// `timer` (TimerScenario: 1000 ms, enabled at the start so that at a second it
// fires after the tick and before the group), its expectations checked at their
// times and at the end.
class ScenarioRun {
 public:
  // `tell` receives the French lines for the user ("[00:10:00] wind : accepté",
  // refusals with their reason). None owned.
  ScenarioRun(const Scenario& scenario, EventPlayer& player, BoatCommands& commands, SentenceCycle& cycle,
              ModelTimer& timer, std::function<void(const std::string&)> tell);
  ~ScenarioRun();
  ScenarioRun(const ScenarioRun&) = delete;
  ScenarioRun& operator=(const ScenarioRun&) = delete;

  // Before the start: the events at 0 that are typed or chosen before
  // "Démarrer" (heading, wind, current, waypoint, sentences, polar, percentage,
  // faults).
  void BeforeStart();
  // Right after the start: the other events at 0 (pilot, helm, manoeuvres,
  // pause), in their order; the timer on; second 0's expectations.
  void AfterStart();
  // The run ends (duration reached or stopped): the expectations at the end.
  void Finish();

  std::int64_t Now() const { return nowSeconds_; }       // run time, s
  std::int64_t Duration() const { return scenario_.durationSeconds; }
  bool Finished() const { return finished_; }
  const std::vector<ExpectationOutcome>& Outcomes() const { return outcomes_; }
  bool Passed() const;  // every expectation checked held (true when none)
  // Events played so far (accepted or refused), and of those the refused ones.
  int Played() const { return played_; }
  int Refused() const { return refused_; }

 private:
  void OnSecond();
  void PlayDue();
  void PlayOne(const BoatEvent& e);
  void CheckDue(bool atEnd);
  void Tell(std::string_view event, const CommandResult& r);

  const Scenario& scenario_;
  EventPlayer& player_;
  BoatCommands& commands_;
  SentenceCycle& cycle_;
  ModelTimer& timer_;
  std::function<void(const std::string&)> tell_;
  SentenceWatch watch_;
  std::size_t nextEvent_ = 0;
  std::vector<std::size_t> afterStart_;  // events at 0 played once the run has started
  std::vector<bool> checked_;
  std::vector<ExpectationOutcome> outcomes_;
  std::int64_t nowSeconds_ = 0;
  int tacksBefore_ = 0, gybesBefore_ = 0;  // begun before second 0 (the read-out counts since the program started)
  bool finished_ = false;
  int played_ = 0, refused_ = 0;
};

}  // namespace ventrel
