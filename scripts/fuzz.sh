#!/usr/bin/env bash
# Builds the fuzz targets with clang in build/fuzz and runs them with ctest (label
# "fuzz"): every seed of tests/fuzz/corpus once, then each target for
# VENTREL_FUZZ_SECONDS seconds (30 by default) on a scratch copy of its seeds.
# Fails when an input breaks a target; prints the executions of each run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${VENTREL_FUZZ_SECONDS:-30}
if ! command -v clang++ >/dev/null 2>&1; then
  echo "clang++ est introuvable : installez les paquets clang et libclang-rt-14-dev (./test.sh le fait)." >&2
  exit 1
fi
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DVENTREL_FUZZ=ON -DVENTREL_WERROR=ON -DVENTREL_FUZZ_SECONDS="$seconds"
cmake --build build/fuzz -j"$(nproc)"
cd build/fuzz
rm -f fuzz-artifacts/*/last-run.txt
status=0
ctest -L fuzz --output-on-failure -j"$(nproc)" --timeout $((seconds + 300)) || status=$?
cat fuzz-artifacts/*/last-run.txt 2>/dev/null || true
exit "$status"
