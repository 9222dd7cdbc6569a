// Speed of the navigation core on the paths run every tick and every sentence:
// the dead-reckoning step, the great-circle distance and the fixed number form.
#include <benchmark/benchmark.h>

#include "nav/geodesy.h"
#include "nav/number_forms.h"

namespace {

using ventrel::Mercator;
using ventrel::TPos_elem;

// One simulation tick's step: 6.5 kn for one second on a slowly turning course.
void BM_Calcul_Pos_DIST_RELEVE(benchmark::State& state) {
  Mercator m;
  TPos_elem pos{"boat", 47.25L, 356.5L};
  long double course = 37.0L;
  for (auto _ : state) {
    TPos_elem next;
    m.Calcul_Pos_DIST_RELEVE(pos, next, course, 6.5L / 3600.0L);
    benchmark::DoNotOptimize(next.lat);
    benchmark::DoNotOptimize(next.long_);
    pos.lat = next.lat;
    pos.long_ = next.long_;
    course += 0.01L;
    if (course >= 360.0L) course -= 360.0L;
  }
}
BENCHMARK(BM_Calcul_Pos_DIST_RELEVE);

// The waypoint distance, from a moving boat.
void BM_dist_ortho(benchmark::State& state) {
  Mercator m;
  long double lat = 47.25L;
  for (auto _ : state) {
    benchmark::DoNotOptimize(m.dist_ortho(lat, 356.5L, 48.5L, 355.75L));
    lat += 1e-6L;
  }
}
BENCHMARK(BM_dist_ortho);

// A latitude field of a sentence: fixed(x, 9, 4).
void BM_fixedForm(benchmark::State& state) {
  long double x = 4715.1234567L;
  for (auto _ : state) {
    std::string s = ventrel::fixedForm(x, 9, 4);
    benchmark::DoNotOptimize(s);
    x += 0.0001L;
  }
}
BENCHMARK(BM_fixedForm);

}  // namespace
