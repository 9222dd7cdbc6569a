// Speed of the boat-speed model and of the vector sum on the default polar.
// BoatSpeed runs at every tick, SpMaxWndWrd (152 evaluations) on user actions, and
// Sigma_vect three times per tick.

#include <benchmark/benchmark.h>

#include "default_polar.h"
#include "sim/boat_speed.h"
#include "sim/vect.h"

namespace {

// Inside the table: angles and winds that walk over all its cells.
void BM_BoatSpeed(benchmark::State& state) {
  const ventrel::PolarTable* polar = ventrel::bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  ventrel::BoatSpeedModel model(*polar);
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
  const ventrel::PolarTable* polar = ventrel::bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  ventrel::BoatSpeedModel model(*polar);
  long double wa = 40.0L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.BoatSpeed(wa, 3.0L));
    wa += 7.3L;
    if (wa > 180.0L) wa -= 140.0L;
  }
}
BENCHMARK(BM_BoatSpeedLightAir);

void BM_SpMaxWndWrd(benchmark::State& state) {
  const ventrel::PolarTable* polar = ventrel::bench::DefaultPolarOrSkip(state);
  if (polar == nullptr) return;
  ventrel::BoatSpeedModel model(*polar);
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
