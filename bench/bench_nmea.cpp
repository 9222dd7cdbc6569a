// Cost of building each group of sentences (all 26 selected), and of framing one
// sentence. A group is built once a second, so anything under a millisecond is
// far from mattering; the figures show where the time goes.

#include <benchmark/benchmark.h>

#include "nmea/frame.h"
#include "nmea/records.h"

namespace {

using namespace ventrel;

struct Inputs {
  SimState s;
  WaypointState w;
  NmeaClock clock{2026, 12, 6, 12, 15, 30.25L, -2.0L};
  Inputs() {
    s.BS = {6.5L, 45.0L};
    s.H180 = 225.0L;
    s.TW = {15.0L, 270.0L};
    s.AW = {12.4L, 0.0L};
    s.AWA = 44.8L;
    s.RelWA = 315.2L;
    s.Declin = 1.0L;
    s.dbs = 13.0L;
    s.offset_surf = 0.5L;
    s.offset_keel = 1.2L;
    s.SOG = 6.8L;
    s.COG = 48.3L;
    s.CUR = {1.0L, 10.0L};
    s.Deriv = 2.6L;
    s.Memo_Pos.lat = 50.5L;
    s.Memo_Pos.long_ = 358.5L;
    s.Pact = s.Memo_Pos;
    w.Wp.P.nom = "Att_Dover";
    w.Wp.P.lat = 51.103L;
    w.Wp.P.long_ = 1.3313333L;
    w.Wp.dist = 36.4L;
    w.Wp.relev = 52.7L;
    w.BearOrToDest = 50.0L;
    w.WCV = 5.1L;
    w.ETE = 7.0825L;
  }
};

template <int Group>
void BM_Group(benchmark::State& state) {
  Inputs in;
  NmeaModule m;
  int n = 0;
  for (auto _ : state) {
    switch (Group) {
      case 1: n = m.NPhEnvoi1(in.s, in.w, in.clock); break;
      case 2: n = m.NPhEnvoi2(in.s, in.w, in.clock); break;
      default: n = m.NPhEnvoi3(in.s, in.w, in.clock); break;
    }
    benchmark::DoNotOptimize(m.tab_PhNMEA.data());
  }
  state.counters["sentences"] = n;
}
BENCHMARK(BM_Group<1>)->Name("NPhEnvoi1_9_sentences");
BENCHMARK(BM_Group<2>)->Name("NPhEnvoi2_7_sentences");
BENCHMARK(BM_Group<3>)->Name("NPhEnvoi3_12_sentences");

void BM_FrameSentence(benchmark::State& state) {
  const std::vector<std::string> f = {"101530.00", "5106.1800", "N", "119.88000", "E", "52.70", "T",
                                      "51.70", "M", "36.40", "N", "Att_Dover", "A"};
  for (auto _ : state) benchmark::DoNotOptimize(FrameSentence("GP", "BWC", f, 11));
}
BENCHMARK(BM_FrameSentence);

}  // namespace
