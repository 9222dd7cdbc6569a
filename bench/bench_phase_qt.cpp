// How long the thread that owns the simulation is busy in one phase of the
// sentence cycle when the sentences go to a serial port at 4800 baud: the group is
// built, handed to the port and recorded in the lists; the port writes it while
// the event loop runs. Goal: the longest phase under 2 ms (a group takes up to a
// second on the line; the phase must not wait for it).
//
// The port is the slave of a pseudo-terminal set to 4800 baud; a thread reads the
// master side, either as fast as it comes or at the pace of a 4800-baud line (480
// characters a second), so that the bytes pile up behind the port. Only the phase
// itself is timed (manual time); "max_ms" is the longest one.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "default_polar.h"
#include "qt/serial_nmea_port.h"
#include "qt/serial_port.h"
#include "model/transmission.h"
#include "model/window_model.h"

namespace {

using namespace ventrel;
using Clock = std::chrono::steady_clock;

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "bench_phase_qt";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

// A pseudo-terminal whose master side is read by a thread, at most `bytesPerSecond`
// (0: as fast as it comes).
class Pty {
 public:
  explicit Pty(int bytesPerSecond) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
    slave_ = ptsname(master_);
    reader_ = std::thread([this, bytesPerSecond] {
      char buf[4096];
      while (!stop_) {
        const std::size_t want = bytesPerSecond > 0 ? static_cast<std::size_t>(bytesPerSecond / 10) : sizeof buf;
        const ssize_t n = ::read(master_, buf, std::min(want, sizeof buf));
        if (n > 0) read_ += static_cast<std::size_t>(n);
        if (n <= 0 || bytesPerSecond > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
  }
  ~Pty() {
    stop_ = true;
    if (master_ >= 0) close(master_);  // ends a blocked read
    if (reader_.joinable()) reader_.join();
  }
  bool ok() const { return !slave_.empty(); }
  const std::string& slave() const { return slave_; }
  std::size_t bytesRead() const { return read_; }

 private:
  int master_ = -1;
  std::string slave_;
  std::thread reader_;
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> read_{0};
};

void Phase(benchmark::State& state, int bytesPerSecond, int msBetweenPhases) {
  App();
  Pty pty(bytesPerSecond);
  if (!pty.ok()) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  const PolarTable* polar = bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  VentrelModel model;
  model.SetPolar(*polar);
  NmeaModule m;
  SerialPorts com([](const std::string&) {});
  SerialNmeaPort port(com);
  NmeaTransmission tx(m, {model.state(), model.waypoint(), model.params()}, model.timers().TimerNMEA,
                      model.panel(), port, [] { return LocalTime{2026, 12, 6, 12, 15, 30, 0}; });
  tx.AddOutput(port);
  model.panel()[Field::PortList].setItemIndex(tx.AddPortName(pty.slave()));
  tx.CBComSelect();  // 4800 baud, 8 bits, no parity, one stop bit
  if (!tx.ComValid()) {
    state.SkipWithError("the pseudo-terminal could not be opened");
    return;
  }
  model.BtCALCClick();
  tx.BtActivNMEAClick();  // phase 1, not timed

  double maxMs = 0;
  std::size_t failures = 0;
  for (auto _ : state) {
    model.timers().TimerAT.fire();  // the tick of the second, not timed
    const std::size_t before = tx.log().visible.Count();
    const auto t0 = Clock::now();
    model.timers().TimerNMEA.fire();  // the phase as the timer runs it
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    maxMs = std::max(maxMs, s * 1000);
    for (std::size_t i = before; i < tx.log().visible.Count(); ++i) failures += tx.log().visible.Line(i).starts_with(" ***");
    // The event loop hands the bytes to the line until the next phase.
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < msBetweenPhases) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, msBetweenPhases - static_cast<int>(wait.elapsed()));
    }
  }
  state.counters["max_ms"] = maxMs;
  state.counters["pending_bytes_at_end"] = static_cast<double>(com.pending_bytes());
  state.counters["failed_phases"] = static_cast<double>(failures);
  state.counters["bytes_read"] = static_cast<double>(pty.bytesRead());
}

// The far end reads at once; a phase every 20 ms.
void BM_PhaseOnPty_4800_Drained(benchmark::State& state) { Phase(state, 0, 20); }
BENCHMARK(BM_PhaseOnPty_4800_Drained)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

// The far end reads at the pace of the line; a phase a second, as in a run.
void BM_PhaseOnPty_4800_LinePace(benchmark::State& state) { Phase(state, 480, 1000); }
BENCHMARK(BM_PhaseOnPty_4800_LinePace)->UseManualTime()->Iterations(12)->Unit(benchmark::kMicrosecond);

}  // namespace
