// ventrel --headless: the run without a window, on the virtual clock (--fast) or
// in real time on the event loop. Built with the Qt layers only.

#ifdef VENTREL_HAS_GUI

#include "app/headless.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "program/program.h"
#include "serial/port_names.h"
#include "serial/serial_nmea_port.h"
#include "serial/serial_port.h"
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

// The port of the headless run: the serial port when one is named, then standard
// output when asked; standard output receives what the port has taken.
class HeadlessPort final : public NmeaPort {
 public:
  HeadlessPort(NmeaPort* serial, std::FILE* out, bool flushEach) : serial_(serial), out_(out), flushEach_(flushEach) {}

  bool InitCom(const std::string& name, std::uint32_t speed, std::uint8_t parity, std::uint8_t dataBits,
               std::uint8_t stopBits) override {
    return serial_ ? serial_->InitCom(name, speed, parity, dataBits, stopBits) : true;
  }
  void ResetCom(const std::string& name) override {
    if (serial_) serial_->ResetCom(name);
  }
  bool Write_Com(const std::string& text) override {
    if (serial_ && !serial_->Write_Com(text)) return false;
    if (out_) {
      if (std::fwrite(text.data(), 1, text.size(), out_) != text.size() || (flushEach_ && std::fflush(out_) != 0)) {
        outClosed_ = true;
        return false;
      }
    }
    return true;
  }
  // Standard output no longer takes bytes (the reader has gone).
  bool outClosed() const { return outClosed_; }

 private:
  NmeaPort* serial_;
  std::FILE* out_;
  bool flushEach_;
  bool outClosed_ = false;
};

// A list written to its file line by line, each line followed by CR LF, into a
// temporary file that replaces the file only when the run ends well: the file is
// written whole or not at all, as the saves of the window write it.
class ListFile {
 public:
  // Starts the file with what the list holds already (the time-stamped list's
  // empty first line) and follows the list from now on.
  bool Open(const std::string& path, NmeaList& list, std::ostream& err) {
    file_ = std::make_unique<QSaveFile>(QString::fromStdString(path));
    if (!file_->open(QIODevice::WriteOnly)) {
      err << "Impossible d'écrire le fichier « " << path << " » : " << file_->errorString().toStdString() << "\n";
      return false;
    }
    path_ = path;
    Write(list.Text());
    list.SetListener([this](std::string_view line) {
      Write(line);
      Write("\r\n");
    });
    return true;
  }
  // Replaces the file; true when there is none to write or it was written whole.
  bool Commit(std::ostream& err) {
    if (!file_) return true;
    if (!failed_ && file_->commit()) return true;
    err << "Le fichier « " << path_ << " » n'a pas été écrit : " << file_->errorString().toStdString() << "\n";
    file_->cancelWriting();
    return false;
  }

 private:
  void Write(std::string_view bytes) {
    if (failed_ || bytes.empty()) return;
    if (file_->write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
      failed_ = true;
    }
  }

  std::unique_ptr<QSaveFile> file_;
  std::string path_;
  bool failed_ = false;
};

// The dialogs of a run without a user: no question is asked (the sibling polars
// are not offered), no file is chosen, messages go to standard error.
class HeadlessDialogs final : public ProgramDialogs {
 public:
  explicit HeadlessDialogs(std::ostream& err) : err_(err) {}
  bool AskYesNo(const std::string&) override { return false; }
  std::optional<fs::path> OpenFile(const FileDialog&) override { return std::nullopt; }
  std::optional<fs::path> SaveFile(const FileDialog&) override { return std::nullopt; }
  std::optional<fs::path> SelectFolder(const std::string&, const fs::path&) override { return std::nullopt; }
  void Message(const std::string& text) override { err_ << text << "\n"; }

 private:
  std::ostream& err_;
};

}  // namespace

std::optional<HeadlessOptions> ParseHeadlessOptions(const std::vector<std::string>& args, std::string& error) {
  HeadlessOptions o;
  std::vector<std::string> seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (std::find(seen.begin(), seen.end(), a) != seen.end()) {
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
    static const char* const kWithValue[] = {"--config",     "--port", "--baud", "--duration",
                                             "--start-time", "--log",  "--log-stamped"};
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
      if (!ParseWhole(v, d)) {
        error = "Durée invalide : « " + v + " » (un nombre entier de secondes simulées)";
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
      (a == "--log" ? o.log : o.logStamped) = v;
    }
  }
  if (o.port.empty() && !o.toStdout) {
    error = "Indiquez --port NOM ou --stdout (ou les deux)";
    return std::nullopt;
  }
  if (o.fast && !o.port.empty()) {
    error = "--fast ne s'emploie pas avec --port : une ligne série ne suit pas le temps accéléré";
    return std::nullopt;
  }
  if (!o.log.empty() && o.log == o.logStamped) {
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
  const HeadlessOptions& o = *opt;

  QCoreApplication app(argc, argv);
  const fs::path AppliDir = fs::path(QCoreApplication::applicationDirPath().toStdString());
  fs::path iniPath;
  if (!o.config.empty()) {
    std::error_code ec;
    if (!fs::is_regular_file(o.config, ec)) {
      err << "Fichier de configuration introuvable : " << o.config << "\n";
      return 2;
    }
    iniPath = fs::absolute(o.config, ec);
  }

  // The port: the serial port when one is named, standard output when asked.
  auto say = [&err](const std::string& m) { err << m << "\n"; };
  std::unique_ptr<CommUnitA> com;
  std::unique_ptr<SerialNmeaPort> serial;
  if (!o.port.empty()) {
    com = std::make_unique<CommUnitA>(say);
    serial = std::make_unique<SerialNmeaPort>(*com);
  }
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
  if (o.toStdout) std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  HeadlessPort port(serial.get(), o.toStdout ? stdout : nullptr, !o.fast);

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

  // The program as the window starts it: the start sequence, the polar, the
  // configuration (FILE of --config in the default one's place).
  HeadlessDialogs dialogs(err);
  VentrelProgram program(port, localClock, dialogs);
  program.Start(AppliDir, "", iniPath);
  program.FormPaint();
  if (program.model().polar().empty()) {
    err << "Aucune polaire utilisable : " << program.NomFiPol() << "\n";
    return 2;
  }
  if (com) com->set_overrides(program.PortOverrides());
  NmeaTransmission& tx = program.transmission();
  Panel& panel = program.panel();
  // The visible list is not kept; what is not a sentence (error lines, the model's
  // diagnostics) goes to standard error.
  tx.MemoNMEA.SetKept(false);
  tx.MemoNMEA.SetListener([&err](std::string_view line) {
    if (!line.starts_with("$")) err << line << "\n";
  });
  // The lists asked for go to their files as the run goes (a long run keeps
  // nothing in memory); each file replaces the old one only at the end.
  ListFile rawFile, stampedFile;
  tx.MemoNMEAbrut.SetKept(false);
  tx.MemoNMEAHMS.SetKept(false);
  if (!o.log.empty() && !rawFile.Open(o.log, tx.MemoNMEAbrut, err)) return 2;
  if (!o.logStamped.empty() && !stampedFile.Open(o.logStamped, tx.MemoNMEAHMS, err)) return 2;

  // The port first: when it cannot be opened nothing starts.
  if (o.baud) tx.SetSpeedText(std::to_string(*o.baud));
  if (panel["CBbauds"].itemIndex() < 0) {
    err << "Vitesse invalide dans la configuration : « iVit=" << panel["CBbauds"].text()
        << " » (vitesses possibles : " << BaudList() << ")\n";
    return 2;
  }
  const std::string portName = o.port.empty() ? std::string("stdout") : canonical_port_name(o.port);
  panel["CBcom"].setItemIndex(tx.AddPortName(portName));
  tx.CBComSelect();
  if (!tx.ComValid()) {
    err << "Le port " << o.port << " ne peut pas être ouvert.\n";
    return 2;
  }

  // Second 0: the start button, then "Activer".
  VentrelModel& model = program.model();
  if (o.fast) {
    vclock = std::make_unique<VirtualClock>(model.timers());
  } else {
    driver = std::make_unique<TimerDriver>(model.timers());
  }
  gStopRequested = 0;
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  const auto startAndActivate = [&] {
    if (driver) second0 = driver->instant();
    model.BtCALCClick();
    tx.BtActivNMEAClick();
  };
  if (o.fast) {
    startAndActivate();
  } else {
    driver->runEvent(startAndActivate);
  }

  if (o.fast) {
    for (std::int64_t sec = 0; !o.duration || sec < *o.duration; ++sec) {
      if (gStopRequested || port.outClosed()) break;
      vclock->advance(1000);
    }
  } else {
    if (o.duration) {
      driver->setEnd(second0 + *o.duration * 1000);
      QObject::connect(driver.get(), &TimerDriver::finished, &app, &QCoreApplication::quit);
    }
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
      if (gStopRequested || port.outClosed()) app.quit();
    });
    watch.start(50);
    app.exec();
    // The bytes already handed to the port leave before it is closed.
    if (com) {
      QElapsedTimer wait;
      wait.start();
      while (com->pending_bytes() > 0 && wait.elapsed() < kDrainMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
      }
    }
  }

  // The quit sequence: the tick timers, the cycle, the port.
  model.timers().TimerAT.setEnabled(false);
  model.timers().TimerB.setEnabled(false);
  tx.Quit();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  if (o.toStdout) std::fflush(stdout);

  int status = 0;
  if (!rawFile.Commit(err)) status = 1;
  if (!stampedFile.Commit(err)) status = 1;
  return status;
}

}  // namespace ventrel::app

#endif  // VENTREL_HAS_GUI
