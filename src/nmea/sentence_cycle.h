#pragma once
// The sentence cycle: every second one group of sentences is built from the
// simulated state and written, each followed by CR LF, to each output of the
// cycle's list (nmea/output.h: the serial port, standard output, TCP servers,
// UDP senders), each on its own (nmea/fan_out.h). Every sentence that at least
// one output took is recorded in the sentence log (with one output, as with the
// serial port alone, exactly what it took); the visible list says when an output
// refused a sentence of group 1. When the outputs disagree, the log records what
// went out somewhere: with the serial port and standard output, what standard
// output received.
//
// The cycle runs on the thread that owns the simulated state, paced by the model
// timer TimerNMEA (1000 ms): Activate() runs phase 1 at once, then each period of
// the timer runs the next phase, 1, 2, 3, 1, ... A phase due at the same instant
// as a tick runs after it (TimerNMEA fires last), so that a run started and
// activated at second 0 ticks at seconds 1, 2, 3, ... and sends group 1 at 0,
// group 2 at 1, group 3 at 2, group 1 at 3, ... whatever drives the timers: the
// virtual clock of the tests and fast runs, or the real-time driver.
//
// Pausing the run suspends the cycle and resuming it starts a new period: the next
// phase comes one second after the resume, after the tick of that second. A single
// step while paused runs one phase at once (after the tick of the step).

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "nmea/fan_out.h"
#include "nmea/line_load.h"
#include "nmea/local_time.h"
#include "nmea/output.h"
#include "nmea/output_faults.h"
#include "nmea/records.h"
#include "nmea/sentence_log.h"
#include "sim/params.h"
#include "sim/sim_state.h"
#include "sim/timers.h"

namespace ventrel {

// Added to the visible list when a write of phase 1 fails.
inline constexpr std::string_view kMsgErreurTransmission = " *** erreur de transmission : écriture incomplète ***";

// What a sentence build reads.
struct NmeaSources {
  const SimState& s;
  const WaypointState& w;
  const Params& params;  // the UTC offset dTU, or dTUAuto
};

// What became of one group: the types of the sentences built for it and of
// those that went out (taken by at least one output), in order ("RMC").
struct GroupOutcome {
  int group = 1;  // 1, 2 or 3
  std::vector<std::string> built;
  std::vector<std::string> sent;
};

class SentenceCycle {
 public:
  // Binds the cycle to `timer` (TimerNMEA: its handler becomes the next phase).
  // None of the arguments is owned; all must outlive this object.
  SentenceCycle(NmeaModule& m, NmeaSources src, ModelTimer& timer, SentenceLog& log, LocalClock clock);
  ~SentenceCycle();
  SentenceCycle(const SentenceCycle&) = delete;
  SentenceCycle& operator=(const SentenceCycle&) = delete;

  // Adds an output at the end of the list the cycle writes to (not owned; it must
  // outlive this object). A sentence goes to the outputs in the order they were
  // added; an output that refuses it receives nothing more of that group (the
  // rest waits for the next cycle), the others go on. With no output, every
  // sentence counts as sent.
  void AddOutput(NmeaOutput& out) { outputs_.Add(out); }
  // Told of each group after it was written (a scenario's watch of missing sentences).
  void SetGroupListener(std::function<void(const GroupOutcome&)> listener) { groupListener_ = std::move(listener); }

  // The faults put into the sentences as they go out (none at first). With a
  // fault on, the cycle sends the lines OutputFaults::Apply gives for each
  // sentence and records them: the sentences as altered in the three lists, a
  // garbage line in the raw and time-stamped lists, and the fault's note in the
  // visible and time-stamped lists (SentenceLog::Note). A dropped sentence is not among the
  // group's sent ones; the line-load meter counts the bytes that went out.
  OutputFaults& faults() { return faults_; }

  // Starts the cycle ("Activer" accepted), once: phase 1 at once unless the run is
  // paused (then at the resume).
  void Activate();
  // Pause and resume of the simulation.
  void Suspend();
  void Resume();
  // The cycle ends for good (the quit).
  void Stop();
  // While the run is paused, a single step: the phase the next period would have
  // run is built and written now, and the one after waits as before. False (and
  // nothing sent) when the cycle is not started or not suspended.
  bool StepPhase();

  // Builds group k (1, 2 or 3) and writes it (run by the timer; public for tests).
  void RunPhase(int k);

  // Activated and not stopped.
  bool Started() const { return started_ && !terminated_; }
  // The cycle runs: started and not suspended.
  bool Transmitting() const { return Started() && !suspended_; }
  // The phase the next period of the timer runs (1, 2 or 3).
  int NextPhase() const { return next_; }

  // The load of the line at `baud` (> 0) for the types `selected` says are chosen
  // (the module's selection when it is empty): each type with the bytes it took in
  // the last group sent, otherwise with those of the same sentence built now.
  LineLoad MeasureLoad(std::int64_t baud, const std::function<bool(const SentenceEntry&)>& selected = {}) const;

 private:
  // The clock of a build at local time `now`: the configuration's offset, or the
  // machine's own at that instant.
  NmeaClock BuildClock(const LocalTime& now) const;
  void OnTimer();
  // Runs phase 1 now and starts the timer.
  void Begin();
  // Writes one line (and CR LF) to the outputs: true when one took it. The error
  // line of a refusal in group k is told once a group (`told`).
  bool WriteLine(std::string_view text, int k, bool& told);
  // Writes the lines the faults make of `sentence`; true when the sentence went
  // out (in some form: a dropped one did not).
  bool WriteFaulted(const std::string& sentence, int k, bool& told);

  NmeaModule& m_;
  NmeaSources src_;
  ModelTimer& timer_;
  SentenceLog& log_;
  OutputFanOut outputs_;
  LocalClock clock_;

  bool started_ = false;     // activated
  bool begun_ = false;       // phase 1 has run once
  bool suspended_ = false;   // the run is paused
  bool terminated_ = false;  // stopped for good
  int next_ = 1;
  // The bytes of the sentences sent, type by type, for the line-load meter.
  SentBytes sent_;
  // The sentences each group last left out and why (told once until it changes).
  std::array<std::string, 4> toldFaults_{};
  std::function<void(const GroupOutcome&)> groupListener_;
  OutputFaults faults_;
  std::string line_;  // the line being written, its room kept
};

}  // namespace ventrel
