// ventrel --headless: the run without a window, on the virtual clock (--fast) or
// in real time on the event loop. Built with the Qt layers only.

#ifdef VENTREL_HAS_GUI

#include "app/headless.h"
#include "app/user_files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "files/config_values.h"
#include "files/file_write.h"
#include "files/value_ranges.h"
#include "nmea/output.h"
#include "nmea/sentence_log.h"
#include "program/boat_commands.h"
#include "program/program.h"
#include "program/unattended.h"
#include "qt/nmea_inputs.h"
#include "qt/control_port.h"
#include "qt/port_names.h"
#include "qt/serial_nmea_port.h"
#include "qt/serial_port.h"
#include "qt/tcp_server_output.h"
#include "qt/udp_output.h"
#include "scenario/event_player.h"
#include "scenario/scenario_file.h"
#include "ui/timer_driver.h"

namespace ventrel::app {

namespace fs = std::filesystem;

namespace {

// Set by SIGINT and SIGTERM; a signal handler can only reach a flag of static
// storage, so this is the one such variable of the program.
volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void OnStopSignal(int) { gStopRequested = 1; }

// Longest wait at the end for the bytes handed to the serial port to leave
// (at 4800 baud a whole group takes about a second).
constexpr int kDrainMs = 5000;
// Wait between two tries to open again a serial port that failed during the run.
constexpr int kReopenMs = 2000;
// Most clients --wait-clients may await.
constexpr int kMaxWaitClients = 1000;
// A fast run waits while a TCP client has more than this many bytes to read
// (back-pressure), and hands the bytes on to the system at least this often.
constexpr qint64 kFastBacklog = 32 * 1024;
constexpr qint64 kFastEventsMs = 20;
// A fault on a sentence type is told again only after this long without it
// (longer than the three seconds between two groups of one kind).
constexpr std::int64_t kFaultQuietMs = 3500;

template <class T>
bool ParseWhole(const std::string& text, T& out) {
  if (text.empty() || text.front() == '+' || text.front() == '-') return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string BaudList() {
  std::string s;
  for (std::string_view b : kBauds) s += (s.empty() ? "" : ", ") + std::string(b);
  return s;
}

// A folder that must hold a file written at the end of the run.
bool FolderExists(const std::string& file) {
  const fs::path parent = fs::path(file).parent_path();
  std::error_code ec;
  return parent.empty() || fs::is_directory(parent, ec);
}

LocalTime SystemLocalTime() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()};
}

// Standard output as an output of the sentence cycle, written in whole sentences,
// with no translation of line ends. In a fast run the sentences gather in a
// buffer and leave by whole buffers; in real time each leaves as it comes. A write
// the system refuses ends the output: a sentence the system took only part of is
// taken back when standard output is a regular file (elsewhere its head stays
// where it went: a pipe or a terminal).
class StdoutWriter final : public NmeaOutput {
 public:
  explicit StdoutWriter(bool buffered) : capacity_(buffered ? kCapacity : 0) {
#ifdef _WIN32
    _setmode(1, _O_BINARY);
#endif
  }
  // Adds one sentence with its CR LF; false once the output has failed.
  bool Add(std::string_view sentence) {
    if (error_ != 0) return false;
    buf_.append(sentence);
    ends_.push_back(buf_.size());
    return buf_.size() <= capacity_ || Flush();
  }
  bool write(std::string_view bytes) override { return Add(bytes); }
  std::string name() const override { return "sortie standard"; }
  // Writes what is held; false once the output has failed.
  bool Flush() {
    std::size_t done = 0;
    while (done < buf_.size() && error_ == 0) {
      const long long n = SystemWrite(buf_.data() + done, buf_.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        error_ = n < 0 && errno != 0 ? errno : EIO;
      }
    }
    std::size_t boundary = 0;
    for (std::size_t end : ends_) {
      if (end > done) break;
      boundary = end;
      ++delivered_;
    }
    if (done > boundary && !TakeBack(done - boundary)) cut_ = true;
    buf_.clear();
    ends_.clear();
    return error_ == 0;
  }
  // Sentences the system took whole.
  std::uint64_t delivered() const { return delivered_; }
  // The errno that ended the output; 0 while it goes on.
  int error() const { return error_; }
  // The reader of the pipe has gone: the usual end of `ventrel ... | head`.
  bool readerGone() const { return error_ == EPIPE; }
  // The head of a sentence stays in the output.
  bool cut() const { return cut_; }

 private:
  static constexpr std::size_t kCapacity = std::size_t{1} << 16;

  static long long SystemWrite(const char* data, std::size_t n) {
    errno = 0;
#ifdef _WIN32
    return _write(1, data, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
#else
    return ::write(1, data, n);
#endif
  }
  // Removes the last `bytes` written to a regular file.
  static bool TakeBack([[maybe_unused]] std::size_t bytes) {
#ifdef _WIN32
    return false;
#else
    struct stat st {};
    if (::fstat(1, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const off_t at = ::lseek(1, 0, SEEK_CUR);
    const off_t length = at - static_cast<off_t>(bytes);
    return at >= 0 && length >= 0 && ::ftruncate(1, length) == 0 && ::lseek(1, length, SEEK_SET) == length;
#endif
  }

  std::size_t capacity_;
  std::string buf_;
  std::vector<std::size_t> ends_;  // where each sentence of buf_ ends
  std::uint64_t delivered_ = 0;
  int error_ = 0;
  bool cut_ = false;
};

// What a failed write on standard output means, in French.
std::string WriteErrorText(int error) {
  switch (error) {
    case ENOSPC: return "plus de place sur le périphérique";
    case EIO: return "erreur d'entrée-sortie";
    case EFBIG: return "fichier trop grand pour le système ou la limite de taille";
    case EBADF: return "sortie standard fermée";
    case EPIPE: return "lecteur de la sortie disparu";
    case EAGAIN: return "sortie non bloquante pleine";
    default: return "erreur système " + std::to_string(error) + " (" + std::strerror(error) + ")";
  }
}

// The lines of a list held back until the sentences they record have left on
// standard output, so that a log never holds a sentence that did not go out. The
// n-th line added records the n-th sentence written; a line that records no
// sentence (the note of a fault put into the sentences) is passed on once every
// sentence before it has left. A sentence here is any line written (a fault's
// line of garbage is one).
class HeldLines {
 public:
  explicit HeldLines(NmeaList& to) : to_(to) {}
  void Add(std::string_view line, std::uint64_t delivered, bool recordsSentence = true) {
    if (recordsSentence) ++added_;
    held_.push_back({std::string(line), added_});
    Release(delivered);
  }
  // Passes on the lines of the first `delivered` lines written.
  void Release(std::uint64_t delivered) {
    while (!held_.empty() && held_.front().after <= delivered) {
      to_.Add(held_.front().line);
      held_.pop_front();
    }
  }

 private:
  struct Held {
    std::string line;
    std::uint64_t after;  // passed on once this many sentences have left
  };
  NmeaList& to_;
  std::deque<Held> held_;
  std::uint64_t added_ = 0;  // sentences recorded
};

// The four lines the boat-speed model writes at each speed worked out for a
// heading closer to the wind than the polar's first angle, one such computation a
// tick: in a run without a window the first four are printed, then the
// computations are counted while they go on, and one line gives the count when
// none has come for more than a tick and a half, or at the end of the run.
class DiagnosticFold {
 public:
  explicit DiagnosticFold(std::ostream& err) : err_(err) {}
  // True when `line` is one of the four; nowMs: simulated milliseconds since the start.
  bool Take(std::string_view line, std::int64_t nowMs) {
    if (line.starts_with(" A =")) {
      printing_ = !on_;
      if (!on_) {
        on_ = true;
        first_ = nowMs;
        count_ = 0;
      }
      ++count_;
      last_ = nowMs;
    } else if (!line.starts_with(" Amin =") && !line.starts_with(" Wsi =") && !line.starts_with(" VAmin =")) {
      return false;
    }
    if (printing_) err_ << line << "\n";
    return true;
  }
  void Poll(std::int64_t nowMs) {
    if (on_ && nowMs - last_ > kQuietMs) End("a duré");
  }
  // The end of the run.
  void Finish() {
    if (on_) End("dure encore à la fin, après");
  }

 private:
  static constexpr std::int64_t kQuietMs = 1500;

  void End(const char* how) {
    err_ << "Cap plus près du vent que le premier angle de la polaire : " << how << " " << (last_ - first_) / 1000
         << " s (de " << first_ / 1000 << " s à " << last_ / 1000 << " s), " << count_
         << " calcul(s) de vitesse ; les lignes « A = » ... « VAmin = » ne sont écrites que pour le premier.\n";
    on_ = false;
    printing_ = false;
  }

  std::ostream& err_;
  bool on_ = false;
  bool printing_ = false;
  std::int64_t first_ = 0;
  std::int64_t last_ = 0;
  std::uint64_t count_ = 0;
};

// A list written to its file line by line, each line followed by CR LF, into a
// temporary file that replaces the file only when the run ends well: the file is
// written whole or not at all, as the saves of the window write it.
class ListFile {
 public:
  // Starts the file with what the list holds already (the time-stamped list's
  // empty first line) and follows the list from now on.
  bool Open(const std::string& path, const char* option, NmeaList& list, std::ostream& err) {
    file_ = std::make_unique<WholeFileWriter>(fs::path(path));
    const WriteOutcome opened = file_->Open();
    if (!opened.ok) {
      err << opened.message << " (option " << option << ")\n";
      file_.reset();
      return false;
    }
    file_->Write(list.Text());
    list.SetListener([this](std::string_view line) {
      file_->Write(line);
      file_->Write("\r\n");
    });
    return true;
  }
  // Replaces the file; true when there is none to write or it was written whole.
  bool Commit(std::ostream& err) {
    if (!file_) return true;
    const WriteOutcome out = file_->Commit();
    if (!out.ok) err << out.message << "\n";
    return out.ok;
  }
  // A write into the file has failed: it will not be committed.
  bool Failed() const { return file_ && file_->failed(); }

 private:
  std::unique_ptr<WholeFileWriter> file_;
};

}  // namespace

std::optional<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args, std::string& error) {
  HeadlessOptions o;
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a != "--tcp" && a != "--udp" && a != "--nmea-in" && std::find(seen.begin(), seen.end(), a) != seen.end()) {
      error = "Option répétée : " + a;
      return std::nullopt;
    }
    seen.push_back(a);
    if (a == "--stdout") {
      o.toStdout = true;
      continue;
    }
    if (a == "--fast") {
      o.fast = true;
      continue;
    }
    static const char* const kWithValue[] = {"--config",     "--port", "--baud",        "--duration",
                                             "--start-time", "--log",  "--log-stamped", "--port-loss",
                                             "--tcp",        "--udp",  "--wait-clients", "--pilot",
                                             "--speed",      "--nmea-in", "--scenario",  "--junit",
                                             "--control"};
    if (std::find(std::begin(kWithValue), std::end(kWithValue), a) == std::end(kWithValue)) {
      error = "Option inconnue : " + a;
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = "Il manque la valeur de l'option " + a;
      return std::nullopt;
    }
    const std::string& v = args[++i];
    if (a == "--config") {
      o.config = v;
    } else if (a == "--port") {
      if (!is_port_name(v) || !device_for(v, {})) {
        error = "Port invalide : « " + v + " » (COM1 à COM10 ou le chemin d'un périphérique)";
        return std::nullopt;
      }
      o.port = v;
    } else if (a == "--baud") {
      std::uint32_t b = 0;
      if (!ParseWhole(v, b) || std::find(kBauds.begin(), kBauds.end(), v) == kBauds.end()) {
        error = "Vitesse invalide : « " + v + " » (vitesses possibles : " + BaudList() + ")";
        return std::nullopt;
      }
      o.baud = b;
    } else if (a == "--duration") {
      std::int64_t d = 0;
      const ValueRange& range = *RangeOfKey("", "--duration");
      if (!ParseWhole(v, d) || RangeProblem(range, static_cast<long double>(d))) {
        error = "Durée invalide : « " + ShownValue(v) + " » (" + RangeText(range) + ")";
        return std::nullopt;
      }
      o.duration = d;
    } else if (a == "--start-time") {
      o.startTime = ParseLocalTime(v);
      if (!o.startTime) {
        error = "Heure de départ invalide : « " + v + " » (forme attendue « AAAA-MM-JJ hh:mm:ss »)";
        return std::nullopt;
      }
    } else if (a == "--log" || a == "--log-stamped") {
      if (v.empty() || !FolderExists(v)) {
        error = "Dossier introuvable pour le fichier « " + v + " » de l'option " + a;
        return std::nullopt;
      }
      if (const std::optional<std::string> why = CheckWritableTarget(v)) {
        error = *why + " (option " + a + ")";
        return std::nullopt;
      }
      (a == "--log" ? o.log : o.logStamped) = v;
    } else if (a == "--port-loss") {
      if (v != "retry" && v != "exit") {
        error = "Valeur invalide pour --port-loss : « " + v + " » (retry ou exit)";
        return std::nullopt;
      }
      o.portLoss = v == "exit" ? PortLoss::Exit : PortLoss::Retry;
    } else if (a == "--tcp") {
      std::optional<NetEndpoint> e = ParseListenPoint(v, error);
      if (!e) return std::nullopt;
      o.tcp.push_back(std::move(*e));
    } else if (a == "--udp") {
      std::optional<NetEndpoint> e = ParseDestination(v, error);
      if (!e) return std::nullopt;
      o.udp.push_back(std::move(*e));
    } else if (a == "--nmea-in") {
      std::optional<NmeaSource> source = ParseNmeaSource(v, error);
      if (!source) {
        error += " (option --nmea-in)";
        return std::nullopt;
      }
      o.nmeaIn.push_back(std::move(*source));
    } else if (a == "--pilot") {
      if (v != "AUTO" && v != "STDBY" && v != "NAV") {
        error = "Valeur invalide pour --pilot : « " + ShownValue(v) + " » (AUTO, STDBY ou NAV)";
        return std::nullopt;
      }
      o.pilot = v;
    } else if (a == "--speed") {
      if (!ParseWhole(v, o.speed) || o.speed < 1 || o.speed > TimerDriver::kMaxSpeed) {
        error = "Vitesse de simulation invalide : « " + ShownValue(v) + " » (--speed, de 1 à " +
                std::to_string(TimerDriver::kMaxSpeed) + ")";
        return std::nullopt;
      }
    } else if (a == "--scenario") {
      o.scenario = v;
    } else if (a == "--junit") {
      if (v.empty() || !FolderExists(v)) {
        error = "Dossier introuvable pour le fichier « " + v + " » de l'option --junit";
        return std::nullopt;
      }
      if (const std::optional<std::string> why = CheckWritableTarget(v)) {
        error = *why + " (option --junit)";
        return std::nullopt;
      }
      o.junit = v;
    } else if (a == "--control") {
      std::optional<NetEndpoint> e = ParseListenPoint(v, error);
      if (!e) {
        error += " (option --control)";
        return std::nullopt;
      }
      if (e->host.empty()) e->host = "127.0.0.1";
      o.control = std::move(*e);
    } else if (a == "--wait-clients") {
      if (!ParseWhole(v, o.waitClients) || o.waitClients < 1 || o.waitClients > kMaxWaitClients) {
        error = "Nombre de clients invalide : « " + ShownValue(v) + " » (--wait-clients, de 1 à " +
                std::to_string(kMaxWaitClients) + ")";
        return std::nullopt;
      }
    }
  }
  // A scenario may be run for its verdict alone, its sentences going nowhere.
  if (o.port.empty() && !o.toStdout && o.tcp.empty() && o.udp.empty() && o.scenario.empty()) {
    error = "Indiquez --port NOM, --stdout, --tcp [ADRESSE:]PORT ou --udp HOTE:PORT (ou plusieurs)";
    return std::nullopt;
  }
  if (!o.junit.empty() && o.scenario.empty()) {
    error = "--junit ne s'emploie qu'avec --scenario";
    return std::nullopt;
  }
  if (o.fast && o.control) {
    error = "--control ne s'emploie pas avec --fast : un client de contrôle agit en temps réel ; employez "
            "--speed N pour aller plus vite";
    return std::nullopt;
  }
  if (o.waitClients > 0 && o.tcp.empty()) {
    error = "--wait-clients ne s'emploie qu'avec --tcp";
    return std::nullopt;
  }
  if (o.fast && !o.udp.empty()) {
    error = "--udp ne s'emploie pas avec --fast : UDP ne dit pas à l'émetteur si le lecteur suit, les "
            "phrases seraient perdues ; employez --tcp, dont les clients règlent le rythme de la simulation";
    return std::nullopt;
  }
  for (std::size_t i = 0; i < o.tcp.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (o.tcp[i].port != 0 && o.tcp[i].port == o.tcp[j].port) {
        error = "--tcp : le port " + std::to_string(o.tcp[i].port) + " est demandé deux fois";
        return std::nullopt;
      }
    }
  }
  if (std::optional<std::string> why = RepeatedNmeaSource(o.nmeaIn)) {
    error = *why + " (option --nmea-in)";
    return std::nullopt;
  }
  if (o.port.empty() && std::find(seen.begin(), seen.end(), "--port-loss") != seen.end()) {
    error = "--port-loss ne s'emploie qu'avec --port";
    return std::nullopt;
  }
  if (o.fast && !o.nmeaIn.empty()) {
    error = "--nmea-in ne s'emploie pas avec --fast : le traceur répond en temps réel ; employez --speed N "
            "pour aller plus vite";
    return std::nullopt;
  }
  if (o.fast && o.speed != 1) {
    error = "--speed ne s'emploie pas avec --fast, qui va déjà aussi vite que possible";
    return std::nullopt;
  }
  if (o.fast && !o.port.empty()) {
    error = "--fast ne s'emploie pas avec --port : une ligne série ne suit pas le temps accéléré";
    return std::nullopt;
  }
  if (!o.log.empty() && (o.log == o.logStamped || SameFile(o.log, o.logStamped))) {
    error = "--log et --log-stamped désignent le même fichier";
    return std::nullopt;
  }
  return o;
}

int RunHeadless(int argc, char** argv, const std::vector<std::string>& args, std::ostream& err) {
  std::string error;
  const std::optional<HeadlessOptions> opt = ParseHeadlessOptions(args, error);
  if (!opt) {
    err << error << "\nVoir : ventrel --help\n";
    return 2;
  }
  HeadlessOptions o = *opt;
  // A scenario: read whole before anything starts; its configuration, start time
  // and duration apply unless the command line gives them.
  std::optional<Scenario> scenario;
  if (!o.scenario.empty()) {
    std::variant<Scenario, ScenarioError> read = ReadScenarioFile(o.scenario);
    if (const ScenarioError* e = std::get_if<ScenarioError>(&read)) {
      err << ScenarioErrorText(o.scenario, *e) << "\n";
      return 2;
    }
    scenario = std::get<Scenario>(std::move(read));
    if (o.config.empty() && scenario->config) o.config = scenario->config->string();
    if (!o.startTime) o.startTime = scenario->start;
    if (!o.duration) o.duration = scenario->durationSeconds;
  }

  QCoreApplication app(argc, argv);
  // The data beside the program (portable) or in the installed data folder; an
  // installed program reads the user's configuration, copied there at first start.
  const FileLayout layout = CurrentLayout();
  const fs::path AppliDir = layout.dataDir;
  fs::path iniPath;
  if (o.config.empty() && layout.installed) {
    iniPath = layout.configPath;
    if (const std::string e = PrepareUserFiles(layout); !e.empty()) {
      err << e << " La configuration fournie est lue : " << layout.shippedConfig.string() << "\n";
      iniPath = layout.shippedConfig;
    }
  }
  if (!o.config.empty()) {
    std::error_code ec;
    if (!fs::is_regular_file(o.config, ec)) {
      err << "Fichier de configuration introuvable : " << o.config << "\n";
      return 2;
    }
    iniPath = fs::absolute(o.config, ec);
  }

  // The serial port when one is named, standard output when asked.
  auto say = [&err](const std::string& m) { err << m << "\n"; };
  std::unique_ptr<SerialPorts> com;
  std::unique_ptr<SerialNmeaPort> serial;
  if (!o.port.empty()) {
    com = std::make_unique<SerialPorts>(say);
    serial = std::make_unique<SerialNmeaPort>(*com);
  }
  // A write refused by a closed pipe or by the size limit of files is told and
  // ends the run; neither signal ends the program.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  std::unique_ptr<StdoutWriter> out;
  if (o.toStdout) out = std::make_unique<StdoutWriter>(o.fast);
  PortOpenAtOnce noSerial;
  NmeaPort& port = serial ? static_cast<NmeaPort&>(*serial) : noSerial;

  // The local clock: the start time given plus the time of the run (simulated on
  // the virtual clock), or the system's local time.
  std::unique_ptr<VirtualClock> vclock;
  std::unique_ptr<TimerDriver> driver;
  const LocalTime origin = o.startTime ? *o.startTime : SystemLocalTime();
  std::int64_t second0 = 0;  // the driver's instant of the start
  LocalClock localClock = SystemLocalTime;
  if (o.fast) {
    localClock = [&] { return AddMilliseconds(origin, vclock ? vclock->now() : 0); };
  } else if (o.startTime) {
    localClock = [&] { return AddMilliseconds(origin, driver ? driver->now() - second0 : 0); };
  }
  // Milliseconds of the run since second 0 (simulated on the virtual clock).
  const auto elapsed = [&]() -> std::int64_t {
    if (vclock) return vclock->now();
    return driver ? driver->instant() - second0 : 0;
  };

  // The program as the window starts it: the start sequence, the polar, the
  // configuration (FILE of --config in the default one's place).
  UnattendedDialogs dialogs(err);
  VentrelProgram program(port, localClock, dialogs);
  program.Start(AppliDir, "", iniPath);
  program.FormPaint();
  // A configuration that cannot be read as one, or that selects no sentence, would
  // send nothing: nothing starts. The start has told it, unless the file is missing.
  if (!program.ConfigProblem().empty()) {
    std::error_code ec;
    if (!fs::exists(program.DefaultIni(), ec)) err << program.ConfigProblem() << "\n";
    return 2;
  }
  if (program.model().polar().empty()) {
    err << "Aucune polaire utilisable : " << program.NomFiPol() << "\n";
    return 2;
  }
  // The network outputs: the TCP servers listen and the UDP destinations are
  // found before anything is sent; a port taken stops the run. In a fast run
  // the TCP clients set the pace (nothing is dropped); in real time a client
  // too far behind is disconnected.
  // Those of the command line, or else those of the configuration's [RESEAU].
  const NetworkSettings& net = program.Network();
  std::vector<NetEndpoint> tcpPoints = o.tcp, udpPoints = o.udp;
  if (o.tcp.empty() && o.udp.empty()) {
    if (net.tcp) tcpPoints.push_back({net.tcpAddress, net.tcpPort});
    if (net.udp) udpPoints = net.udpDestinations;
    if (o.fast && !udpPoints.empty()) {
      err << "L'envoi UDP de la configuration ([RESEAU] iUDP=1) ne s'emploie pas avec --fast : UDP ne dit pas à "
             "l'émetteur si le lecteur suit, les phrases seraient perdues\n";
      return 2;
    }
  }
  std::vector<std::unique_ptr<TcpServerOutput>> servers;
  for (const NetEndpoint& e : tcpPoints) {
    QHostAddress a(QHostAddress::Any);
    if (!e.host.empty()) {
      std::string why;
      const std::optional<UdpDestination> d = ResolveDestination(e, why);
      if (!d) {
        err << "Adresse d'écoute TCP inconnue : « " << e.host << " »\n";
        return 2;
      }
      a = d->address;
    }
    auto server = std::make_unique<TcpServerOutput>(a, e.port, say);
    server->SetSlowClient(o.fast ? TcpServerOutput::SlowClient::Wait : TcpServerOutput::SlowClient::Disconnect);
    server->SetMaxBehind(static_cast<std::size_t>(net.tcpMaxBehindKiB) * 1024);
    if (!server->Listen()) {
      err << server->ErrorText() << "\n";
      return 2;
    }
    err << "Serveur TCP à l'écoute sur " << server->Where() << "\n";
    servers.push_back(std::move(server));
  }
  std::unique_ptr<UdpOutput> udp;
  if (!udpPoints.empty()) {
    std::vector<UdpDestination> destinations;
    for (const NetEndpoint& e : udpPoints) {
      std::optional<UdpDestination> d = ResolveDestination(e, error);
      if (!d) {
        err << error << "\n";
        return 2;
      }
      destinations.push_back(std::move(*d));
    }
    udp = std::make_unique<UdpOutput>(std::move(destinations), net.udpTtl, say);
    if (!udp->Open()) {
      err << udp->ErrorText() << "\n";
      return 2;
    }
  }
  // The sources of steering sentences: those of --nmea-in, or else those of the
  // configuration's [NAV] when its input is on (the program has read and checked
  // the file already; its refused keys were told). Refused before anything is sent.
  const NavSettings& nav = program.Nav();
  std::vector<NmeaSource> sources = o.nmeaIn;
  const char* const sourcesFrom = o.nmeaIn.empty() ? "[NAV] sEntree" : "--nmea-in";
  if (o.nmeaIn.empty() && nav.input) {
    sources = nav.sources;
    if (sources.empty()) {
      err << "La section [NAV] demande la lecture des phrases de pilotage (iEntree=1) mais sEntree ne nomme "
             "aucune source\n";
      return 2;
    }
  }
  if (o.fast && !sources.empty()) {
    err << "La lecture des phrases de pilotage de la configuration ([NAV] iEntree=1) ne s'emploie pas avec "
           "--fast : le traceur répond en temps réel ; employez --speed N pour aller plus vite\n";
    return 2;
  }
  for (const NmeaSource& source : sources) {
    if (source.kind == NmeaSourceKind::Serial && o.port.empty()) {
      err << "La source NMEA « serial » (" << sourcesFrom
          << ") lit le port série des phrases envoyées : indiquez --port NOM\n";
      return 2;
    }
    if (source.kind == NmeaSourceKind::TcpServerClients && servers.empty()) {
      err << "La source NMEA « tcp » (" << sourcesFrom
          << ") lit les clients du serveur TCP : indiquez --tcp [ADRESSE:]PORT ou [RESEAU] iTCP=1\n";
      return 2;
    }
  }
  // The boat is driven through the typed commands: the start, the pilot, and each
  // steering sentence read (its lines for the user reach the NMEA list, and so
  // standard error).
  BoatCommands commands(program);
  // Events from a scenario go through the player (ramps, faults on the outputs).
  EventPlayer player(commands, program, program.transmission().faults());
  std::unique_ptr<ScenarioRun> run;
  if (scenario) {
    run = std::make_unique<ScenarioRun>(*scenario, player, commands, program.transmission().cycle(),
                                        program.model().timers().TimerScenario, say);
  }
  // The live control port: its commands go through the same player, its
  // read-out is the commands'. Without a scenario, the player's ramps and the
  // end of its faults follow the seconds of the same timer.
  std::unique_ptr<ControlPort> control;
  if (o.control) {
    const ControlTarget target{[&](const BoatEvent& e) { return player.Play(e, elapsed()); },
                               [&commands] { return commands.Readout(); }};
    control = std::make_unique<ControlPort>(ControlListenAddress(o.control->host), o.control->port, target);
    QObject::connect(control.get(), &ControlPort::told, &app, [&](const QString& line) { say(line.toStdString()); });
    if (!control->Listen()) {
      err << control->ErrorText() << "\n";
      return 2;
    }
    err << "Port de contrôle à l'écoute sur " << control->Where() << "\n";
    if (!run) {
      ModelTimer& seconds = program.model().timers().TimerScenario;
      seconds.setHandler([&player, &elapsed] { player.Second(elapsed()); });
    }
  }
  const auto onSteering = [&commands](const SteeringSentence& sentence) { commands.Steer(sentence); };
  std::unique_ptr<NmeaInputs> inputs;
  if (!sources.empty()) {
    inputs = std::make_unique<NmeaInputs>(onSteering, say);
    inputs->SetAllowMissingChecksum(nav.allowMissingChecksum);
    inputs->SetSerialPorts(com.get());
    std::vector<TcpServerOutput*> listening;
    for (const auto& server : servers) listening.push_back(server.get());
    inputs->SetTcpServers(listening);
    if (const std::string problem = inputs->Start(sources); !problem.empty()) {
      err << problem << "\n";
      return 2;
    }
    err << "Phrases de pilotage lues depuis : " << NmeaSourceListText(sources) << "\n";
  }
  const auto tcpClients = [&] {
    int n = 0;
    for (const auto& server : servers) n += server->ClientCount();
    return n;
  };
  const auto tcpBacklog = [&] {
    qint64 most = 0;
    for (const auto& server : servers) most = std::max(most, server->Backlog());
    return most;
  };

  if (com) com->set_overrides(program.PortOverrides());
  NmeaTransmission& tx = program.transmission();
  // The outputs: the serial port when one is named, then standard output when
  // asked; standard output receives what the port has taken.
  if (serial) tx.AddOutput(*serial);
  if (out) tx.AddOutput(*out);
  for (const auto& server : servers) tx.AddOutput(*server);
  if (udp) tx.AddOutput(*udp);
  Panel& panel = program.panel();
  // The visible list is not kept; what is not a sentence goes to standard error:
  // the model's diagnostics folded, the error line of a write only when its cause
  // is not told otherwise (standard output failed, the port lost).
  DiagnosticFold fold(err);
  tx.log().visible.SetKept(false);
  // A fault put into the sentences is told when it begins on a type, not at each
  // sentence it alters (the time-stamped list keeps every one).
  std::map<std::string, std::int64_t, std::less<>> faultSeen;
  const auto faultToldAlready = [&](std::string_view line) {
    if (!line.starts_with(kFaultNotePrefix)) return false;
    const std::int64_t now = elapsed();
    const auto [it, first] = faultSeen.try_emplace(std::string(line), now);
    const bool told = !first && now - it->second <= kFaultQuietMs;
    it->second = now;
    return told;
  };
  tx.log().visible.SetListener([&](std::string_view line) {
    if (line.starts_with("$") || fold.Take(line, elapsed()) || faultToldAlready(line)) return;
    if (line == kMsgErreurTransmission && ((out && out->error() != 0) || (com && com->lost()))) return;
    err << line << "\n";
  });
  // The lists asked for go to their files as the run goes (a long run keeps
  // nothing in memory), each line once its sentence has left on standard output;
  // each file replaces the old one only at the end.
  ListFile rawFile, stampedFile;
  NmeaList rawOut, stampedOut;
  stampedOut.Add("");  // the time-stamped list's empty first line
  rawOut.SetKept(false);
  stampedOut.SetKept(false);
  HeldLines rawHeld(rawOut), stampedHeld(stampedOut);
  const auto delivered = [&] { return out ? out->delivered() : std::numeric_limits<std::uint64_t>::max(); };
  tx.log().raw.SetKept(false);
  tx.log().stamped.SetKept(false);
  // A list never takes the place of a file the run reads.
  for (const auto& [option, file] : {std::pair{"--log", o.log}, std::pair{"--log-stamped", o.logStamped}}) {
    for (const auto& [input, what] : {std::pair{program.DefaultIni(), "la configuration lue"},
                                      std::pair{fs::path(program.NomFiPol()), "la polaire en cours"}}) {
      if (const std::optional<std::string> why = CheckNotSameFile(file, input, what)) {
        err << *why << " (option " << option << ")\n";
        return 2;
      }
    }
  }
  if (!o.log.empty()) {
    if (!rawFile.Open(o.log, "--log", rawOut, err)) return 2;
    tx.log().raw.SetListener([&](std::string_view line) { rawHeld.Add(line, delivered()); });
  }
  if (!o.logStamped.empty()) {
    if (!stampedFile.Open(o.logStamped, "--log-stamped", stampedOut, err)) return 2;
    tx.log().stamped.SetListener([&](std::string_view line) {
      stampedHeld.Add(line, delivered(), !line.starts_with(kFaultStampPrefix));
    });
  }

  // The port first: when it cannot be opened nothing starts.
  if (o.baud) tx.SetSpeedText(std::to_string(*o.baud));
  if (panel[Field::SpeedList].itemIndex() < 0) {
    err << "Vitesse invalide dans la configuration : « iVit=" << panel[Field::SpeedList].text()
        << " » (vitesses possibles : " << BaudList() << ")\n";
    return 2;
  }
  const std::string portName = o.port.empty() ? std::string("stdout") : canonical_port_name(o.port);
  panel[Field::PortList].setItemIndex(tx.AddPortName(portName));
  tx.CBComSelect();
  if (!tx.ComValid()) {
    err << "Le port « " << o.port << " » ne peut pas être ouvert";
    if (com && !com->open_failure().empty()) err << " : " << com->open_failure();
    err << ".\n";
    return 2;
  }
  // Faster than real time, each group must still fit in its share of a second on the line.
  if (serial && o.speed > 1) {
    if (const std::string why = program.RunSpeedRefusal(o.speed); !why.empty()) {
      err << why << " (--speed " << o.speed << ")\n";
      return 2;
    }
  }

  // A serial port that fails during the run: told, then opened again every
  // kReopenMs until it comes back, or the end of the run (--port-loss exit).
  int status = 0;
  bool stop = false;  // the run ends at the next look
  bool portLost = false;
  QTimer reopen;
  reopen.setInterval(kReopenMs);
  const auto checkPort = [&] {
    if (!com || portLost || !com->lost()) return;
    portLost = true;
    err << "Le port « " << o.port << " » ne répond plus (périphérique débranché ou extrémité de la ligne fermée)";
    if (o.portLoss == PortLoss::Exit) {
      err << " : arrêt de la simulation (--port-loss exit).\n";
      status = 1;
      stop = true;
      return;
    }
    err << " : nouvel essai toutes les " << kReopenMs / 1000 << " s, les phrases reprendront à son retour.\n";
    reopen.start();
  };
  if (com) {
    QObject::connect(com.get(), &SerialPorts::writeFailed, &app, checkPort);
    QObject::connect(&reopen, &QTimer::timeout, &app, [&] {
      if (!com->Reopen()) return;
      portLost = false;
      reopen.stop();
      err << "Le port « " << o.port << " » répond de nouveau : les phrases reprennent.\n";
    });
  }
  const auto logFailed = [&] { return rawFile.Failed() || stampedFile.Failed(); };
  const auto mustStop = [&] {
    return stop || gStopRequested != 0 || (out && out->error() != 0) || logFailed();
  };

  // Second 0: the start button, then "Activer".
  VentrelModel& model = program.model();
  if (o.fast) {
    vclock = std::make_unique<VirtualClock>(model.timers());
  } else {
    driver = std::make_unique<TimerDriver>(model.timers());
    driver->setSpeed(o.speed);
  }
  gStopRequested = 0;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  // The start goes through the typed commands (its messages reach the user as
  // the window's do); "Activer" belongs to the transmission.
  const auto startAndActivate = [&] {
    if (driver) second0 = driver->instant();
    if (run) run->BeforeStart();
    commands.Start();
    // The pilot asked for, as its button would be pressed after the start.
    CommandResult pilot{true, {}};
    if (o.pilot == "AUTO") pilot = commands.Auto();
    if (o.pilot == "STDBY") pilot = commands.Standby();
    if (o.pilot == "NAV") pilot = commands.Navigate();
    // (An accepted command's messages have reached standard error already.)
    if (!pilot.accepted) err << pilot.why << "\n";
    tx.BtActivNMEAClick();
    if (run) run->AfterStart();
    if (control && !run) program.model().timers().TimerScenario.setEnabled(true);
    // A group that does not fit in its second at the port's speed is told at start.
    if (serial) {
      if (const std::string warning = program.LineLoadWarningNow(); !warning.empty()) err << warning << "\n";
    }
  };
  if (o.waitClients > 0) {
    err << "En attente de " << o.waitClients << " client(s) TCP avant le départ\n";
    while (tcpClients() < o.waitClients && gStopRequested == 0) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    if (gStopRequested != 0) {
      err << "Arrêt demandé avant le départ : rien n'a été envoyé.\n";
      return 0;
    }
  }
  if (o.fast) {
    startAndActivate();
  } else {
    driver->runEvent(startAndActivate);
  }

  if (o.fast) {
    // The TCP clients set the pace: the run waits while one of them is behind.
    QElapsedTimer events;
    events.start();
    const auto pace = [&] {
      if (servers.empty() || (tcpBacklog() <= kFastBacklog && events.elapsed() < kFastEventsMs)) return;
      for (const auto& server : servers) server->Flush();
      QCoreApplication::processEvents();
      while (tcpBacklog() > kFastBacklog && gStopRequested == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
      }
      events.restart();
    };
    for (std::int64_t sec = 0; !o.duration || sec < *o.duration; ++sec) {
      if (mustStop()) break;
      vclock->advance(1000);
      fold.Poll(vclock->now());
      pace();
    }
  } else {
    if (o.duration) {
      driver->setEnd(second0 + *o.duration * 1000);
      QObject::connect(driver.get(), &TimerDriver::finished, &app, &QCoreApplication::quit);
    }
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
      checkPort();
      fold.Poll(driver->now() - second0);
      if (mustStop()) app.quit();
    });
    watch.start(50);
    app.exec();
    // The bytes already handed to the port leave before it is closed.
    if (com && !com->lost()) {
      QElapsedTimer wait;
      wait.start();
      while (com->pending_bytes() > 0 && wait.elapsed() < kDrainMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
      }
    }
  }

  // The scenario's expectations at the end, its report, its JUnit file.
  if (run) {
    run->Finish();
    err << ReportText(fs::path(o.scenario).filename().string(), run->Outcomes());
    if (!o.junit.empty()) {
      const long double seconds = static_cast<long double>(elapsed()) / 1000;
      const WriteOutcome written =
          WriteFileWhole(o.junit, JUnitXml(fs::path(o.scenario).stem().string(), run->Outcomes(), seconds));
      if (!written.ok) {
        err << written.message << " (option --junit)\n";
        status = 1;
      }
    }
    if (!run->Passed()) status = std::max(status, 1);
  }
  // The quit sequence: the tick timers, the cycle, the port.
  reopen.stop();
  model.timers().TimerAT.setEnabled(false);
  model.timers().TimerB.setEnabled(false);
  tx.Quit();
  // The sources are read no more; what they gave is told.
  if (inputs) {
    const InputCounts counts = inputs->Counts();
    inputs->Stop();
    err << InputCountsLine(counts) << "\n";
  }
  // What the TCP clients have not read yet: all of it after a fast run (until
  // Ctrl+C), what kDrainMs allows in real time; then each connection ends.
  if (!servers.empty()) {
    QElapsedTimer wait;
    wait.start();
    for (const auto& server : servers) server->Flush();
    while (tcpBacklog() > 0 && tcpClients() > 0 && gStopRequested == 0 && (o.fast || wait.elapsed() < kDrainMs)) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    for (const auto& server : servers) server->CloseClients();
    QCoreApplication::processEvents();
  }
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  fold.Finish();

  // What standard output still holds, then the lines of what went out.
  if (out) {
    if (out->error() == 0) out->Flush();
    rawHeld.Release(out->delivered());
    stampedHeld.Release(out->delivered());
  }
  const bool logs = !o.log.empty() || !o.logStamped.empty();
  if (out && out->error() != 0) {
    const std::uint64_t n = out->delivered();
    if (out->readerGone()) {
      // `ventrel ... | head`: the reader stopped on purpose, a normal end.
      if (logs) err << "La " << out->name() << " a été fermée par son lecteur : arrêt après " << n << " phrases, que les journaux gardent.\n";
    } else {
      err << "Écriture impossible sur la " << out->name() << " (" << WriteErrorText(out->error()) << ") : arrêt après " << n
          << " phrases écrites entières";
      if (out->cut()) err << ", suivies du début d'une phrase qui n'a pas pu être retiré";
      if (logs) err << " ; les journaux gardent ces " << n << " phrases";
      err << ".\n";
      status = 1;
    }
  }
  if (logFailed()) err << "Écriture impossible dans un journal : la simulation a été arrêtée.\n";
  if (!rawFile.Commit(err)) status = 1;
  if (!stampedFile.Commit(err)) status = 1;
  return status;
}

int CheckScenario(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "Usage : ventrel --check-scenario FICHIER.yaml\n";
    return 2;
  }
  const std::variant<Scenario, ScenarioError> read = ReadScenarioFile(args[0]);
  if (const ScenarioError* e = std::get_if<ScenarioError>(&read)) {
    err << ScenarioErrorText(args[0], *e) << "\n";
    return 2;
  }
  const Scenario& sc = std::get<Scenario>(read);
  out << "Scénario valide : " << sc.events.size() << " événement(s), " << sc.expectations.size()
      << " attente(s), durée " << sc.durationSeconds << " s\n";
  return 0;
}

}  // namespace ventrel::app

#endif  // VENTREL_HAS_GUI
