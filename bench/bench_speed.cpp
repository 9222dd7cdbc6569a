// Speed of the boat-speed model and of the vector sum on the default polar.
// BoatSpeed runs at every tick, SpMaxWndWrd (152 evaluations) on user actions, and
// Sigma_vect three times per tick.

#include <benchmark/benchmark.h>

#include <string>

#include "config/polar_table.h"
#include "sim/boat_speed.h"
#include "sim/vect.h"

namespace {

const ventrel::PolarParse& DefaultPolar() {
  static const ventrel::PolarParse parsed =
      ventrel::LoadPolarFile(std::string(VENTREL_DATA_DIR) + "/DefPolars/First31_7.pol");
  return parsed;
}

// Inside the table: angles and winds that walk over all its cells.
void BM_BoatSpeed(benchmark::State& state) {
  const auto& p = DefaultPolar();
  if (!p.ok) {
    state.SkipWithError(p.message.c_str());
    return;
  }
  ventrel::BoatSpeedModel model(p.table);
  long double wa = 40.0L;
  long double ws = 4.0L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.BoatSpeed(wa, ws));
    wa += 7.3L;
    if (wa > 180.0L) wa -= 140.0L;
    ws += 1.7L;
    if (ws > 25.0L) ws -= 21.0L;
  }
}
BENCHMARK(BM_BoatSpeed);

// Below the lowest wind speed: the model runs twice.
void BM_BoatSpeedLightAir(benchmark::State& state) {
  const auto& p = DefaultPolar();
  if (!p.ok) {
    state.SkipWithError(p.message.c_str());
    return;
  }
  ventrel::BoatSpeedModel model(p.table);
  long double wa = 40.0L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.BoatSpeed(wa, 3.0L));
    wa += 7.3L;
    if (wa > 180.0L) wa -= 140.0L;
  }
}
BENCHMARK(BM_BoatSpeedLightAir);

void BM_SpMaxWndWrd(benchmark::State& state) {
  const auto& p = DefaultPolar();
  if (!p.ok) {
    state.SkipWithError(p.message.c_str());
    return;
  }
  ventrel::BoatSpeedModel model(p.table);
  for (auto _ : state) benchmark::DoNotOptimize(model.SpMaxWndWrd(12.0L));
}
BENCHMARK(BM_SpMaxWndWrd);

void BM_Sigma_vect(benchmark::State& state) {
  ventrel::t_vect a{10.0L, 220.0L};
  const ventrel::t_vect b{1.5L, 70.0L};
  for (auto _ : state) {
    const ventrel::t_vect s = ventrel::Sigma_vect(a, b);
    benchmark::DoNotOptimize(s);
    a.argt = a.argt >= 359.0L ? 0.0L : a.argt + 1.0L;
  }
}
BENCHMARK(BM_Sigma_vect);

}  // namespace
