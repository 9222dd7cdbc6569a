#pragma once
// The polar the benchmarks sail with: the default one beside the program.

#include <benchmark/benchmark.h>

#include "files/polar_file.h"

namespace ventrel::bench {

// The default polar, read once; nullptr, and the benchmark skipped with the
// reason, when it cannot be read.
inline const PolarTable* DefaultPolarOrSkip(benchmark::State& state) {
  static const PolarParse parsed = LoadPolarFile(VENTREL_DATA_DIR "/DefPolars/First31_7.pol");
  if (!parsed.ok) {
    state.SkipWithError(parsed.message.c_str());
    return nullptr;
  }
  return &parsed.table;
}

}  // namespace ventrel::bench
