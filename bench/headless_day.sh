#!/usr/bin/env bash
# A simulated day of ventrel --headless --fast --stdout, timed: simulated seconds
# per real second (goal: over 100 000), and what came out (groups, bytes).
# Usage: bash bench/headless_day.sh [--short] [<build-dir>]   (default build/bench, optimised)
#   --short: ten simulated minutes instead of a day, with the program already built
#   in <build-dir> (a check that the run still works; its timing means nothing).
# The exit status is not zero when the run fails or does not send one group a second.
set -euo pipefail
cd "$(dirname "$0")/.."
duration=86400
short=0
if [ "${1:-}" = "--short" ]; then
  short=1
  duration=600
  shift
fi
build=${1:-build/bench}
if [ ! -x "$build/bin/ventrel" ]; then
  if [ "$short" -eq 1 ]; then
    echo "Programme introuvable : $build/bin/ventrel (compilez d'abord ce dossier)." >&2
    exit 1
  fi
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVENTREL_TESTS=OFF -DVENTREL_BENCH=ON >/dev/null
  cmake --build "$build" --target ventrel ventrel_data -j"$(nproc)" >/dev/null
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
t0=$(date +%s%N)
if ! "$build/bin/ventrel" --headless --fast --duration "$duration" --stdout \
    --start-time "2026-12-06 12:00:00" >"$out"; then
  echo "La marche simulée de $duration s a échoué." >&2
  exit 1
fi
t1=$(date +%s%N)
ms=$(((t1 - t0) / 1000000))
groups=$(tr -d '\r' <"$out" | grep -c -E '^\$..(DPT|VHW),|^\$..GSV,3,1,' || true)
echo "simulated run: $duration s in $ms ms of real time"
echo "simulated seconds per real second: $((duration * 1000 / (ms > 0 ? ms : 1)))"
echo "groups sent: $groups (expected $((duration + 1))), bytes: $(wc -c <"$out")"
if [ "$groups" -ne $((duration + 1)) ]; then
  echo "Nombre de groupes envoyés inattendu : $groups au lieu de $((duration + 1))." >&2
  exit 1
fi
