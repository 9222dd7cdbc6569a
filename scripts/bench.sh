#!/usr/bin/env bash
# Runs the benchmarks.
#   scripts/bench.sh [<benchmark arguments>...]
#     builds them in build/bench (optimised, no sanitizer) and runs every benchmark
#     program, then a timed simulated day (bench/headless_day.sh); the arguments are
#     passed to every program (e.g. --benchmark_filter=BoatSpeed).
#   scripts/bench.sh --short <build-dir>
#     runs each benchmark program already built in <build-dir> once, with a tiny
#     minimum time, and a short simulated run: a check that every benchmark still
#     runs (ctest's bench_short, in a build configured with -DVENTREL_BENCH=ON and
#     -DVENTREL_TESTS=ON). The timings of this mode mean nothing.
# The exit status is not zero when a benchmark program fails, reports an error or
# is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

short=0
if [ "${1:-}" = "--short" ]; then
  short=1
  build=${2:?"usage : scripts/bench.sh --short <dossier de compilation>"}
  shift 2
else
  build=build/bench
  source scripts/deps.sh
  ventrel_install "${VENTREL_PACKAGES[@]}" >&2
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVENTREL_TESTS=OFF -DVENTREL_BENCH=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" >/dev/null
fi

# The Qt benchmarks open no window.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
args=("$@")
[ "$short" -eq 1 ] && args+=(--benchmark_min_time=0.000001)

programs=()
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] && programs+=("$b")
done
if [ "${#programs[@]}" -eq 0 ]; then
  echo "Aucun programme de mesure dans $build/bench : configurez avec -DVENTREL_BENCH=ON et compilez." >&2
  exit 1
fi

failed=()
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for b in "${programs[@]}"; do
  name=$(basename "$b")
  echo "== $name"
  if ! "$b" "${args[@]}" 2>&1 | tee "$out"; then
    failed+=("$name (code de sortie non nul)")
  elif grep -q "ERROR OCCURRED" "$out"; then
    failed+=("$name (erreur signalée par une mesure)")
  fi
done

echo "== headless_day"
day_args=()
[ "$short" -eq 1 ] && day_args+=(--short)
bash bench/headless_day.sh "${day_args[@]}" "$build" || failed+=("headless_day")

if [ "${#failed[@]}" -gt 0 ]; then
  printf 'Mesure en échec : %s\n' "${failed[@]}" >&2
  exit 1
fi
