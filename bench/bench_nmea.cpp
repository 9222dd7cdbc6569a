// Cost of building each group of sentences (all 26 selected), and of framing one
// sentence. A group is built once a second, so anything under a millisecond is
// far from mattering; the figures show where the time goes.

#include <benchmark/benchmark.h>

#include "nmea/frame.h"
#include "nmea/records.h"
#include "nmea/scene.h"

namespace {

using namespace ventrel;

template <int Group>
void BM_Group(benchmark::State& state) {
  test::Scene scene;  // the state behind the example sentences of the tests
  int n = 0;
  for (auto _ : state) {
    n = scene.Build(Group);
    benchmark::DoNotOptimize(scene.m.sentenceSlots.data());
  }
  state.counters["sentences"] = n;
}
BENCHMARK(BM_Group<1>)->Name("Group1_9_sentences");
BENCHMARK(BM_Group<2>)->Name("Group2_7_sentences");
BENCHMARK(BM_Group<3>)->Name("Group3_12_sentences");

void BM_FrameSentence(benchmark::State& state) {
  const std::vector<std::string> f = {"101530.00", "5106.1800", "N", "119.88000", "E", "52.70", "T",
                                      "51.70", "M", "36.40", "N", "Att_Dover", "A"};
  for (auto _ : state) benchmark::DoNotOptimize(FrameSentence("GP", "BWC", f, 11));
}
BENCHMARK(BM_FrameSentence);

}  // namespace
