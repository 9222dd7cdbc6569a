#!/usr/bin/env bash
# Builds the benchmarks in build/bench (optimised, no sanitizer) and runs them all.
# Arguments are passed to every benchmark program (e.g. --benchmark_filter=BoatSpeed).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ventrel_install "${VENTREL_PACKAGES[@]}" >&2
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVENTREL_TESTS=OFF -DVENTREL_BENCH=ON >/dev/null
cmake --build build/bench -j"$(nproc)" >/dev/null
for b in build/bench/bench/*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
