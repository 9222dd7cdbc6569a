// Simulated seconds per real second of a fast run: each simulated second is one
// tick and one phase of the sentence cycle (all 26 sentences selected) on the
// virtual clock, written to a port that takes everything. Goal: over 100 000.
// Two cases: the lists not kept (a headless run to standard output) and the raw
// and time-stamped lists kept (a run with --log and --log-stamped).

#include <benchmark/benchmark.h>

#include "default_polar.h"
#include "model/transmission.h"
#include "sim/timers.h"
#include "model/window_model.h"

namespace {

using namespace ventrel;

class CountingPort final : public NmeaPort, public NmeaOutput {
 public:
  bool OpenPort(const std::string&, std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return true; }
  void ClosePort(const std::string&) override {}
  bool write(std::string_view text) override {
    bytes += text.size();
    return true;
  }
  std::string name() const override { return "compteur"; }
  std::size_t bytes = 0;
};

void FastRun(benchmark::State& state, bool keepLists) {
  const PolarTable* polar = bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  VentrelModel model;
  model.SetPolar(*polar);
  model.params().varyHeading = model.params().varyWindSpeed = model.params().varyWindDirection = true;
  VirtualClock clock(model.timers());
  NmeaModule m;
  CountingPort port;
  const LocalTime start{2026, 12, 6, 12, 15, 30, 0};
  NmeaTransmission tx(m, {model.state(), model.waypoint(), model.params()}, model.timers().TimerNMEA,
                      model.panel(), port, [&] { return AddMilliseconds(start, clock.now()); });
  tx.AddOutput(port);
  tx.log().visible.SetKept(false);
  tx.log().raw.SetKept(keepLists);
  tx.log().stamped.SetKept(keepLists);
  model.panel()[Field::PortList].setItemIndex(0);
  tx.CBComSelect();
  model.BtCALCClick();
  tx.BtActivNMEAClick();
  for (auto _ : state) clock.advance(1000);
  state.counters["simulated_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["bytes_per_simulated_s"] =
      benchmark::Counter(static_cast<double>(port.bytes) / static_cast<double>(state.iterations()));
}

void BM_FastRunListsNotKept(benchmark::State& state) { FastRun(state, false); }
BENCHMARK(BM_FastRunListsNotKept);

void BM_FastRunListsKept(benchmark::State& state) { FastRun(state, true); }
BENCHMARK(BM_FastRunListsKept);

}  // namespace
