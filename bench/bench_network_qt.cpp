// The network outputs on loopback.
//
// BM_PhaseTcp100Clients: how long the thread that owns the simulation is busy in
// one phase of the sentence cycle with a TCP server and 100 connected clients
// (goal: the longest phase under 2 ms). The clients read in this thread's event
// loop between the phases, which are not timed.
//
// BM_FastRunTcp and BM_FastRunStdoutLike: simulated seconds per real second of a
// fast run (all 26 sentences) to one TCP client reading in another thread, with
// the back-pressure of a headless fast run, against the same run written by
// buffers of 64 KiB to /dev/null as standard output is (goal: TCP over 50 % of it).

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "default_polar.h"
#include "model/transmission.h"
#include "model/window_model.h"
#include "nmea/registry.h"
#include "qt/tcp_server_output.h"
#include "sim/timers.h"

namespace {

using namespace ventrel;
using Clock = std::chrono::steady_clock;

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "bench_network_qt";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

class AlwaysOpenPort final : public NmeaPort {
 public:
  bool OpenPort(const std::string&, std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return true; }
  void ClosePort(const std::string&) override {}
};

// Standard output as a fast run writes it: 64 KiB buffers, here to /dev/null.
class BufferedNull final : public NmeaOutput {
 public:
  BufferedNull() : fd_(::open("/dev/null", O_WRONLY)) {}
  ~BufferedNull() override {
    Flush();
    ::close(fd_);
  }
  bool write(std::string_view bytes) override {
    buf_.append(bytes);
    if (buf_.size() > (std::size_t{1} << 16)) Flush();
    return true;
  }
  std::string name() const override { return "sortie standard"; }
  void Flush() {
    if (!buf_.empty() && ::write(fd_, buf_.data(), buf_.size()) < 0) buf_.clear();
    buf_.clear();
  }

 private:
  int fd_;
  std::string buf_;
};

// The model, the sentence cycle with all 26 sentences, on a virtual clock.
struct Run {
  VentrelModel model;
  VirtualClock clock{model.timers()};
  NmeaModule m;
  AlwaysOpenPort port;
  NmeaTransmission tx;
  explicit Run(const PolarTable& polar)
      : tx(m, {model.state(), model.waypoint(), model.params()}, model.timers().TimerNMEA, model.panel(), port,
           [this] { return AddMilliseconds(LocalTime{2026, 12, 6, 12, 15, 30, 0}, clock.now()); }) {
    model.SetPolar(polar);
    for (const SentenceEntry* s : kSentencesByType) s->flag(m) = t_switch::ON;
    tx.log().visible.SetKept(false);
    tx.log().raw.SetKept(false);
    tx.log().stamped.SetKept(false);
    model.panel()[Field::PortList].setItemIndex(0);
    tx.CBComSelect();
  }
  void Start() {
    model.BtCALCClick();
    tx.BtActivNMEAClick();
  }
};

void BM_PhaseTcp100Clients(benchmark::State& state) {
  App();
  const PolarTable* polar = bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  Run run(*polar);
  TcpServerOutput server(QHostAddress::LocalHost, 0, {});
  if (!server.Listen()) {
    state.SkipWithError(server.ErrorText().c_str());
    return;
  }
  run.tx.AddOutput(server);
  std::vector<std::unique_ptr<QTcpSocket>> clients;
  std::size_t received = 0;
  for (int i = 0; i < 100; ++i) {
    auto c = std::make_unique<QTcpSocket>();
    QTcpSocket* raw = c.get();
    QObject::connect(raw, &QTcpSocket::readyRead, [raw, &received] { received += static_cast<std::size_t>(raw->readAll().size()); });
    raw->connectToHost(QHostAddress::LocalHost, server.Port());
    clients.push_back(std::move(c));
  }
  QElapsedTimer wait;
  wait.start();
  while (server.ClientCount() < 100 && wait.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  if (server.ClientCount() < 100) {
    state.SkipWithError("the 100 clients did not connect");
    return;
  }
  run.Start();
  double maxMs = 0;
  for (auto _ : state) {
    run.model.timers().TimerAT.fire();  // the tick, not timed
    const auto t0 = Clock::now();
    run.model.timers().TimerNMEA.fire();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    state.SetIterationTime(s);
    maxMs = std::max(maxMs, s * 1000);
    wait.restart();
    while (wait.elapsed() < 20) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  state.counters["max_ms"] = maxMs;
  state.counters["clients"] = server.ClientCount();
  state.counters["bytes_received"] = static_cast<double>(received);
}
BENCHMARK(BM_PhaseTcp100Clients)->UseManualTime()->Iterations(150)->Unit(benchmark::kMicrosecond);

// A client in its own thread that reads everything until the server closes.
class ThreadReader {
 public:
  explicit ThreadReader(quint16 port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ok_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (ok_) {
      thread_ = std::thread([this] {
        char buf[65536];
        for (;;) {
          const ssize_t n = ::read(fd_, buf, sizeof buf);
          if (n <= 0) break;
          bytes_ += static_cast<std::size_t>(n);
        }
      });
    }
  }
  ~ThreadReader() {
    ::shutdown(fd_, SHUT_RDWR);
    if (thread_.joinable()) thread_.join();
    ::close(fd_);
  }
  bool ok() const { return ok_; }
  std::size_t bytes() const { return bytes_; }

 private:
  int fd_ = -1;
  bool ok_ = false;
  std::thread thread_;
  std::atomic<std::size_t> bytes_{0};
};

void BM_FastRunTcp(benchmark::State& state) {
  App();
  const PolarTable* polar = bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  Run run(*polar);
  TcpServerOutput server(QHostAddress::LocalHost, 0, {});
  server.SetSlowClient(TcpServerOutput::SlowClient::Wait);
  if (!server.Listen()) {
    state.SkipWithError(server.ErrorText().c_str());
    return;
  }
  run.tx.AddOutput(server);
  ThreadReader reader(server.Port());
  QElapsedTimer wait;
  wait.start();
  while (server.ClientCount() < 1 && wait.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  if (!reader.ok() || server.ClientCount() < 1) {
    state.SkipWithError("the reader did not connect");
    return;
  }
  run.Start();
  QElapsedTimer events;
  events.start();
  for (auto _ : state) {
    run.clock.advance(1000);
    // The pacing of a headless fast run (app/headless.cpp).
    if (server.Backlog() > 32 * 1024 || events.elapsed() >= 20) {
      server.Flush();
      QCoreApplication::processEvents();
      while (server.Backlog() > 32 * 1024) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
      events.restart();
    }
  }
  state.counters["simulated_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bytes_read"] = static_cast<double>(reader.bytes());
}
BENCHMARK(BM_FastRunTcp);

void BM_FastRunStdoutLike(benchmark::State& state) {
  const PolarTable* polar = bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  Run run(*polar);
  BufferedNull out;
  run.tx.AddOutput(out);
  run.Start();
  for (auto _ : state) run.clock.advance(1000);
  state.counters["simulated_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FastRunStdoutLike);

}  // namespace
