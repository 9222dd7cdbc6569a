#pragma once
// The NMEA output panel and its transmission: the port list "COM", the speed list
// "Vit", the buttons "Activer" and "Raz" (Field::PortList, SpeedList,
// ActivateButton, ResetPortButton), the port they open and close, the sentence
// cycle (nmea/sentence_cycle.h) that "Activer" starts, the sentence log
// (nmea/sentence_log.h) and the saves of its lists (files/file_write.h).
//
// It lives with the window model, above the sentences (nmea/) and the file
// formats (files/), because it reads and writes panel fields and saves files.

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
#include "nmea/line_load.h"
#include "nmea/local_time.h"
#include "nmea/output.h"
#include "nmea/sentence_cycle.h"
#include "nmea/sentence_log.h"
#include "nmea/records.h"
#include "model/panel.h"
#include "sim/sim_state.h"
#include "sim/timers.h"

namespace ventrel {

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
  virtual bool OpenPort(const std::string& name, std::uint32_t speed, std::uint8_t parity,
                       std::uint8_t dataBits, std::uint8_t stopBits) = 0;
  virtual void ClosePort(const std::string& name) = 0;
};

class NmeaTransmission {
 public:
  // Binds the cycle to TimerNMEA (its handler becomes the next phase) and puts the
  // NMEA panel's fields of `panel` in their start state. None of the arguments is
  // owned; all must outlive this object.
  NmeaTransmission(NmeaModule& m, NmeaSources src, ModelTimer& timer, Panel& panel, NmeaPort& port,
                   LocalClock clock);
  ~NmeaTransmission();
  NmeaTransmission(const NmeaTransmission&) = delete;
  NmeaTransmission& operator=(const NmeaTransmission&) = delete;

  // Adds an output at the end of the list the cycle writes to (not owned; it must
  // outlive this object). A sentence goes to the outputs in the order they were
  // added; when one refuses it, the later ones do not receive it and the rest of
  // the group waits for the next cycle. With no output, every sentence counts as
  // sent.
  void AddOutput(NmeaOutput& out) { cycle_.AddOutput(out); }

  // French messages for the user (message boxes of the window, standard error).
  void SetMessageSink(std::function<void(const std::string&)> sink) { messages_ = std::move(sink); }

  // ---- The sentence log: the visible, raw and time-stamped lists.
  SentenceLog& log() { return log_; }
  const SentenceLog& log() const { return log_; }
  SentenceCycle& cycle() { return cycle_; }
  // The faults put into the sentences as they go out (a scenario's fault events).
  OutputFaults& faults() { return cycle_.faults(); }

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

  // A port picked in the port list (the panel's Field::PortList selection): opened at the
  // selected speed, 8 data bits, no parity, one stop bit.
  void CBComSelect();
  // "Activer" enabled exactly when a port is open, a speed and a port are selected,
  // or when a network output is on.
  void BtActivNMEAEnable();
  // Starts the cycle when a port is open or a network output is on, and the cycle
  // has not been started.
  void BtActivNMEAClick();
  // Whether a network output (TCP server, UDP destination) is on.
  void SetNetworkOn(bool on);
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
  // The single step while paused: the next group goes out now (false when the
  // transmission is not activated).
  bool StepPhase() { return cycle_.StepPhase(); }
  // The quit sequence's part: the cycle ends for good, the chosen port is closed
  // when it is open, the visible list is emptied.
  void Quit();

  // ---- The phases (run by the timer; public for the owner's tests).
  void ProcSentence1() { cycle_.RunPhase(1); }
  void ProcSentence2() { cycle_.RunPhase(2); }
  void ProcSentence3() { cycle_.RunPhase(3); }

  // ---- The line-load meter.
  // The speed of the entry selected in the speed list (bit/s); 0 when none is.
  std::int64_t ChosenSpeed() const;
  // The load of the line at `baud` (> 0) for the types `selected` says are chosen
  // (the module's selection when it is empty): each type with the bytes it took in
  // the last group sent, otherwise with those of the same sentence built now.
  LineLoad MeasureLoad(std::int64_t baud, const std::function<bool(const SentenceEntry&)>& selected = {}) const {
    return cycle_.MeasureLoad(baud, selected);
  }

  // "Activer" was accepted and the quit has not come.
  bool Started() const { return cycle_.Started(); }
  // The cycle runs: started and not suspended.
  bool Transmitting() const { return cycle_.Transmitting(); }
  // The phase the next period of the timer runs (1, 2 or 3).
  int NextPhase() const { return cycle_.NextPhase(); }

 private:
  void Message(std::string_view text) const;
  WriteOutcome Save(const NmeaList& list, const std::filesystem::path& file, const ChunkWriter& writer);

  Panel& panel_;
  NmeaPort& port_;
  std::function<void(const std::string&)> messages_;
  SentenceLog log_;
  SentenceCycle cycle_;

  bool ComValid_ = false;
  bool networkOn_ = false;
  int SelectedComIDX_ = 0;
};

}  // namespace ventrel
