// ventrel_core_day: the core alone (no Qt), a run on the virtual clock with its
// sentences on standard output. It is built on every system the core builds on,
// Windows included (MinGW-w64), so that the same configuration can be run there
// and here and the outputs compared to the byte (scripts/windows_check.sh).
//
//   ventrel_core_day DOSSIER "AAAA-MM-JJ hh:mm:ss" SECONDES
//
// DOSSIER holds the data as the program's folder does (Ventrel.ini, DefPolars);
// the run is that of `ventrel --headless --fast --stdout` on it: the start button,
// "Activer" on the port "stdout", then one simulated second after another. Each
// sentence is written with its CR LF, with no translation of line ends (binary
// mode on Windows). What is not a sentence goes to standard error. Nothing is
// written into DOSSIER.

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "nmea/local_time.h"
#include "nmea/output.h"
#include "program/boat_commands.h"
#include "program/program.h"
#include "program/unattended.h"
#include "sim/timers.h"

namespace {

namespace fs = std::filesystem;
using namespace ventrel;

// Longest run: a year of simulated seconds.
constexpr std::int64_t kMaxSeconds = 366LL * 24 * 3600;

// Standard output as an output of the cycle, through the C library's buffer.
class StdoutOutput final : public NmeaOutput {
 public:
  StdoutOutput() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
  }
  bool write(std::string_view bytes) override {
    if (failed_) return false;
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size();
    return !failed_;
  }
  std::string name() const override { return "sortie standard"; }
  // Hands on what the buffer holds; false when a write failed.
  bool Finish() {
    failed_ = std::fflush(stdout) != 0 || failed_;
    return !failed_;
  }
  bool failed() const { return failed_; }

 private:
  bool failed_ = false;
};

constexpr std::string_view kUsage =
    "Usage : ventrel_core_day DOSSIER \"AAAA-MM-JJ hh:mm:ss\" SECONDES\n"
    "  DOSSIER   le dossier des données (Ventrel.ini, DefPolars), lu seulement\n"
    "  SECONDES  la durée simulée, de 1 à 31622400\n";

std::optional<std::int64_t> ReadSeconds(const std::string& text) {
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || n < 1 || n > kMaxSeconds) {
    return std::nullopt;
  }
  return n;
}

int Run(const std::vector<std::string>& args) {
  if (args.size() != 3) {
    std::cerr << kUsage;
    return 2;
  }
  std::error_code ec;
  const fs::path folder = fs::absolute(args[0], ec);
  if (ec || !fs::is_directory(folder, ec)) {
    std::cerr << "Dossier des données introuvable : " << args[0] << "\n" << kUsage;
    return 2;
  }
  const std::optional<LocalTime> origin = ParseLocalTime(args[1]);
  if (!origin) {
    std::cerr << "Heure de départ invalide : « " << args[1] << " » (forme attendue « AAAA-MM-JJ hh:mm:ss »)\n";
    return 2;
  }
  const std::optional<std::int64_t> seconds = ReadSeconds(args[2]);
  if (!seconds) {
    std::cerr << "Durée invalide : « " << args[2] << " » (un nombre entier de secondes, de 1 à " << kMaxSeconds
              << ")\n";
    return 2;
  }

  StdoutOutput out;
  PortOpenAtOnce port;
  UnattendedDialogs dialogs(std::cerr);
  ModelTimers* timers = nullptr;
  std::optional<VirtualClock> clock;
  const LocalClock localClock = [&] { return AddMilliseconds(*origin, clock ? clock->now() : 0); };
  VentrelProgram program(port, localClock, dialogs);
  program.Start(folder, "", {});
  program.FormPaint();
  if (!program.ConfigProblem().empty()) {
    std::cerr << program.ConfigProblem() << "\n";
    return 2;
  }
  if (program.model().polar().empty()) {
    std::cerr << "Aucune polaire utilisable : " << program.NomFiPol() << "\n";
    return 2;
  }
  NmeaTransmission& tx = program.transmission();
  tx.AddOutput(out);
  tx.log().visible.SetKept(false);
  tx.log().raw.SetKept(false);
  tx.log().stamped.SetKept(false);
  tx.log().visible.SetListener([](std::string_view line) {
    if (!line.starts_with("$")) std::cerr << line << "\n";
  });
  Panel& panel = program.panel();
  if (panel[Field::SpeedList].itemIndex() < 0) {
    std::cerr << "Vitesse invalide dans la configuration : « iVit=" << panel[Field::SpeedList].text() << " »\n";
    return 2;
  }
  panel[Field::PortList].setItemIndex(tx.AddPortName("stdout"));
  tx.CBComSelect();
  if (!tx.ComValid()) {
    std::cerr << "La sortie standard n'a pas pu être choisie comme port.\n";
    return 2;
  }

  timers = &program.model().timers();
  clock.emplace(*timers);
  BoatCommands commands(program);
  commands.Start();
  tx.BtActivNMEAClick();
  for (std::int64_t s = 0; s < *seconds && !out.failed(); ++s) clock->advance(1000);
  timers->TimerAT.setEnabled(false);
  timers->TimerB.setEnabled(false);
  tx.Quit();
  if (!out.Finish()) {
    std::cerr << "Écriture impossible sur la sortie standard (" << std::strerror(errno) << ").\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
