#pragma once
// The sentence cycle and the NMEA lists: every second one group of sentences is
// built from the simulated state and written, each followed by CR LF, to each
// output of the cycle's list (nmea/output.h: the serial port of the NMEA panel,
// standard output, TCP servers, UDP senders), each on its own (nmea/fan_out.h).
// Every sentence that at least one output took is recorded in the visible list,
// the raw list and the time-stamped list (with one output, as with the serial
// port alone, exactly what it took); the visible list says when an output
// refused a sentence of group 1. When the outputs disagree, the lists record
// what went out somewhere: with the serial port and standard output, what
// standard output received.
//
// The cycle runs on the thread that owns the simulated state, paced by the model
// timer TimerNMEA (1000 ms): "Activer" runs phase 1 at once, then each period of
// the timer runs the next phase, 1, 2, 3, 1, ... A phase due at the same instant
// as a tick runs after it (TimerNMEA fires last), so that a run started and
// activated at second 0 ticks at seconds 1, 2, 3, ... and sends group 1 at 0,
// group 2 at 1, group 3 at 2, group 1 at 3, ... whatever drives the timers: the
// virtual clock of the tests and fast runs, or the real-time driver.
//
// Pausing the run suspends the cycle and resuming it starts a new period: the next
// phase comes one second after the resume, after the tick of that second.
//
// The panel part: the port list "CBcom", the speed list "CBbauds", the buttons
// "Activer" ("BtActivNMEA") and "Raz" ("RazCom"), kept in the model's panel.
//
// It lives with the window model, above the sentences (nmea/) and the file
// formats (files/), because it reads and writes panel fields and saves its lists
// through files/file_write.h. Once the cycle, the lists and the port choice are
// split apart, the cycle moves down beside the sentences.

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_write.h"
#include "sim/params.h"
#include "nmea/fan_out.h"
#include "nmea/local_time.h"
#include "nmea/output.h"
#include "nmea/records.h"
#include "model/panel.h"
#include "sim/sim_state.h"
#include "sim/timers.h"

namespace ventrel {

// Added to the visible list when a write of phase 1 fails.
inline constexpr std::string_view kMsgErreurTransmission = " *** erreur de transmission : écriture incomplète ***";
// Shown when the chosen port cannot be opened.
inline constexpr std::string_view kMsgComIndisponible =
    "Ce port n'est pas disponible sur la machine : il n'existe pas, un autre programme l'occupe ou le droit "
    "d'y écrire manque. Choisir un port présent (Windows : gestionnaire de périphériques ; Linux : "
    "/dev/ttyS*, /dev/ttyUSB* ou /dev/ttyACM*, en étant membre du groupe dialout).";
// Shown when a port is chosen while the speed list has no selected entry.
inline constexpr std::string_view kMsgVitesseAbsente = "Choisir une vitesse dans la liste « Vit ».";

// The entries of the speed list, bits per second; "4800" is selected at start.
inline constexpr std::array<std::string_view, 12> kBauds = {
    "150", "300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400"};
inline constexpr int kDefaultBaudIndex = 5;

// The ten entries of the port list at start; index k names COM(k + 1).
std::vector<std::string> DefaultPortNames();

// The port chosen in the NMEA panel: opened by name with its line settings,
// closed. The window and the headless runner give the serial ports (which are
// also outputs of the cycle); tests give a fake.
class NmeaPort {
 public:
  virtual ~NmeaPort() = default;
  // Opens the port with speed (bits per second), parity code (0: none), data bits
  // and stop-bit code (0: one); true when it is ready.
  virtual bool InitCom(const std::string& name, std::uint32_t speed, std::uint8_t parity,
                       std::uint8_t dataBits, std::uint8_t stopBits) = 0;
  virtual void ResetCom(const std::string& name) = 0;
};

// A list of text lines that only grows or is emptied. The lines are kept as the
// text of a saved file (each followed by CR LF), so saving copies nothing line by
// line. A list that is not kept drops its lines but still tells its listener.
class NmeaList {
 public:
  void Add(std::string_view line);
  void Clear();
  std::size_t Count() const { return starts_.size(); }
  // Line i, 0 <= i < Count(), without its CR LF.
  std::string_view Line(std::size_t i) const;
  // The lines, each followed by CR LF: the content of a saved file.
  const std::string& Text() const { return text_; }

  void SetKept(bool on) { kept_ = on; }
  bool Kept() const { return kept_; }
  // Someone takes the lines: the list keeps them or has a listener.
  bool Wanted() const { return kept_ || static_cast<bool>(onAdd_); }
  // Told of every line added and of every emptying (the window's list control).
  void SetListener(std::function<void(std::string_view)> onAdd, std::function<void()> onClear = {});

 private:
  std::string text_;
  std::vector<std::size_t> starts_;
  bool kept_ = true;
  std::function<void(std::string_view)> onAdd_;
  std::function<void()> onClear_;
};

// What a sentence build reads.
struct NmeaSources {
  const SimState& s;
  const WaypointState& w;
  const Params& params;  // the UTC offset dTU
};

class NmeaTransmission {
 public:
  // Binds the cycle to TimerNMEA (its handler becomes the next phase) and adds the
  // NMEA panel's fields to `panel` in their start state. None of the arguments is
  // owned; all must outlive this object.
  NmeaTransmission(NmeaModule& m, NmeaSources src, ModelTimer& timer, Panel& panel, NmeaPort& port,
                   LocalClock clock);
  ~NmeaTransmission();
  NmeaTransmission(const NmeaTransmission&) = delete;
  NmeaTransmission& operator=(const NmeaTransmission&) = delete;

  // Adds an output at the end of the list the cycle writes to (not owned; it must
  // outlive this object). A sentence goes to the outputs in the order they were
  // added; an output that refuses it receives nothing more of that group (the
  // rest waits for the next cycle), the others go on. With no output, every
  // sentence counts as sent.
  void AddOutput(NmeaOutput& out) { outputs_.Add(out); }

  // French messages for the user (message boxes of the window, standard error).
  void SetMessageSink(std::function<void(const std::string&)> sink) { messages_ = std::move(sink); }

  // ---- Lists: visible (with the error lines and the model's diagnostics), raw,
  // and time-stamped ("NMEA183:" + date + "Z" + time + ":" + sentence), the last
  // one beginning with an empty line.
  NmeaList MemoNMEA;
  NmeaList MemoNMEAbrut;
  NmeaList MemoNMEAHMS;
  // Date and time of the last time-stamped line (lines that nobody takes are not
  // stamped: a run that keeps no time-stamped list spends nothing on them).
  std::string formattedDate;
  std::string formattedTime;

  // ---- Panel.
  bool ComValid() const { return ComValid_; }
  // Index in the port list of the last port opened successfully.
  int SelectedComIDX() const { return SelectedComIDX_; }
  // Replaces the entries of the port list (the ten names, then the ports the
  // system detects); nothing is selected afterwards.
  void SetPortNames(std::vector<std::string> names);
  // The index of a port name typed by hand, added at the end when it is new.
  int AddPortName(const std::string& name);
  // Sets the text of the speed list as typed or read from a configuration: its
  // entry is selected when the text is one of kBauds, otherwise none is.
  void SetSpeedText(const std::string& text);

  // A port picked in the port list (the panel's "CBcom" selection): opened at the
  // selected speed, 8 data bits, no parity, one stop bit.
  void CBComSelect();
  // "Activer" enabled exactly when a port is open, a speed and a port are selected.
  void BtActivNMEAEnable();
  // Starts the cycle when a port is open and the cycle has not been started.
  void BtActivNMEAClick();
  // "Raz": closes the port last opened successfully and empties the visible and
  // raw lists; the cycle goes on and its writes fail until a port is opened again.
  void RazComClick();
  // The two saves: the raw list, the time-stamped list; written whole or not at
  // all. A failure is also told to the message sink.
  WriteOutcome SaveNMEAbrut(const std::filesystem::path& file, const ChunkWriter& writer = {});
  WriteOutcome SaveNMEAHMS(const std::filesystem::path& file, const ChunkWriter& writer = {});

  // ---- Run control.
  // Pause and resume of the simulation.
  void Suspend();
  void Resume();
  // The quit sequence's part: the cycle ends for good, the chosen port is closed
  // when it is open, the visible list is emptied.
  void Quit();

  // ---- The phases (run by the timer; public for the owner's tests).
  void ProcSentence1() { Phase(1); }
  void ProcSentence2() { Phase(2); }
  void ProcSentence3() { Phase(3); }
  // Records slot i of the slot table in the three lists.
  void Log_NMEA(int i);

  // "Activer" was accepted and the quit has not come.
  bool Started() const { return started_ && !terminated_; }
  // The cycle runs: started and not suspended.
  bool Transmitting() const { return Started() && !suspended_; }
  // The phase the next period of the timer runs (1, 2 or 3).
  int NextPhase() const { return next_; }

 private:
  void Phase(int k);
  void OnTimer();
  // Runs phase 1 now and starts the timer.
  void Begin();
  void Message(std::string_view text) const;
  WriteOutcome Save(const NmeaList& list, const std::filesystem::path& file, const ChunkWriter& writer);

  NmeaModule& m_;
  NmeaSources src_;
  ModelTimer& timer_;
  Panel& panel_;
  NmeaPort& port_;
  OutputFanOut outputs_;
  LocalClock clock_;
  std::function<void(const std::string&)> messages_;

  bool ComValid_ = false;
  int SelectedComIDX_ = 0;
  bool started_ = false;     // "Activer" accepted
  bool begun_ = false;       // phase 1 has run once
  bool suspended_ = false;   // the run is paused
  bool terminated_ = false;  // the quit has come
  int next_ = 1;
  // The sentences each group last left out and why (told once until it changes).
  std::array<std::string, 4> toldFaults_{};
};

}  // namespace ventrel
