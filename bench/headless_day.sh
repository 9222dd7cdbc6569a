#!/usr/bin/env bash
# A simulated day of ventrel --headless --fast --stdout, timed: simulated seconds
# per real second (goal: over 100 000), and what came out (groups, bytes).
# Usage: bash bench/headless_day.sh [<build-dir>]   (default build/bench, optimised)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
if [ ! -x "$build/bin/ventrel" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVENTREL_TESTS=OFF -DVENTREL_BENCH=ON >/dev/null
  cmake --build "$build" --target ventrel ventrel_data -j"$(nproc)" >/dev/null
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
day=86400
t0=$(date +%s%N)
"$build/bin/ventrel" --headless --fast --duration "$day" --stdout --start-time "2026-12-06 12:00:00" >"$out"
t1=$(date +%s%N)
ms=$(((t1 - t0) / 1000000))
groups=$(tr -d '\r' <"$out" | grep -c -E '^\$..(DPT|VHW),|^\$..GSV,3,1,')
echo "simulated day: $day s in $ms ms of real time"
echo "simulated seconds per real second: $((day * 1000 / (ms > 0 ? ms : 1)))"
echo "groups sent: $groups (expected $((day + 1))), bytes: $(wc -c <"$out")"
