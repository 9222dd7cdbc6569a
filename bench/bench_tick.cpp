// Cost of one tick of the simulation, drawing on a recording canvas or on none,
// and of a whole simulated hour.

#include <benchmark/benchmark.h>

#include "default_polar.h"
#include "model/recording_canvas.h"
#include "sim/timers.h"
#include "model/window_model.h"

namespace {

using namespace ventrel;

// The default polar, the three variations on and a current of 1.5 knots, so
// that every arrow of the dial is drawn.
bool Prepare(VentrelModel& m, benchmark::State& state) {
  const PolarTable* polar = bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return false;
  m.SetPolar(*polar);
  m.params().varyHeading = m.params().varyWindSpeed = m.params().varyWindDirection = true;
  m.panel()[Field::CurrentSpeedInput].setText("1.5");
  m.BtCALCClick();
  return true;
}

void BM_TickNullCanvas(benchmark::State& state) {
  VentrelModel m;
  if (!Prepare(m, state)) return;
  for (auto _ : state) m.TimerATTimer();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TickNullCanvas);

void BM_TickRecordingCanvas(benchmark::State& state) {
  VentrelModel m;
  RecordingCanvas canvas, depth;
  m.SetDrawing(&canvas, &depth, nullptr);
  if (!Prepare(m, state)) return;
  std::size_t ops = 0;
  for (auto _ : state) {
    canvas.clear();
    depth.clear();
    m.TimerATTimer();
    ops += canvas.ops.size() + depth.ops.size();
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["ops_per_tick"] =
      benchmark::Counter(static_cast<double>(ops) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_TickRecordingCanvas);

void BM_OneHourOnTheVirtualClock(benchmark::State& state) {
  for (auto _ : state) {
    VentrelModel m;
    if (!Prepare(m, state)) return;
    VirtualClock clock(m.timers());
    clock.runFor(3600 * 1000);
    benchmark::DoNotOptimize(m.state().Pact.lat);
  }
}
BENCHMARK(BM_OneHourOnTheVirtualClock)->Unit(benchmark::kMillisecond);

}  // namespace
