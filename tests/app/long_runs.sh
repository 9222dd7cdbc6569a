#!/usr/bin/env bash
# Long fast runs on the default configuration and on three hostile but valid ones
# (long_runs/*.ini: calm, storm at the range limits, near the pole across 180°):
# every sentence stays a sentence a receiver can trust (long_runs/check_sentences.js)
# and the memory of the program stays flat. A quarter of a simulated day each here,
# under the sanitizers (their quarantine off, so that freed memory does not count);
# VENTREL_LONG_RUN_DAYS=10 for ten-day runs.
set -euo pipefail
source "$(dirname "$0")/lib.bash"
need node
days=${VENTREL_LONG_RUN_DAYS:-0.25}
duration=$(awk -v d="$days" 'BEGIN { printf "%d", d * 86400 }')
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:quarantine_size_mb=0"

# Nothing once the process has ended (it may end between the check and the read).
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || true; }

for cfg in default calm storm polar; do
  args=(--headless --fast --stdout --duration "$duration" --start-time "2026-12-06 10:00:00")
  [ "$cfg" = default ] || args+=(--config "$src/tests/app/long_runs/$cfg.ini")
  mkfifo "$tmp/pipe.$cfg"
  node "$src/tests/app/long_runs/check_sentences.js" <"$tmp/pipe.$cfg" >"$tmp/check.$cfg" 2>&1 &
  checker=$!
  "$prog" "${args[@]}" >"$tmp/pipe.$cfg" 2>"$tmp/err.$cfg" &
  run=$!
  pids+=("$run" "$checker")
  # Resident size sampled every 0.1 s.
  samples=()
  while kill -0 "$run" 2>/dev/null; do
    r=$(rss_kib "$run")
    [ -n "$r" ] && samples+=("$r")
    sleep 0.1
  done
  wait "$run" || fail "$cfg: exit status $?: $(head -c 300 "$tmp/err.$cfg")"
  wait "$checker" || fail "$cfg: $(cat "$tmp/check.$cfg")"
  [ ! -s "$tmp/err.$cfg" ] || fail "$cfg: standard error: $(head -c 300 "$tmp/err.$cfg")"
  # The first quarter of the samples is the start (the allocator warming up); the
  # peak of the second half may not exceed the peak of the second quarter by more
  # than 4 MiB.
  n=${#samples[@]}
  if [ "$n" -ge 8 ]; then
    early=$(printf '%s\n' "${samples[@]:$((n / 4)):$((n / 2 - n / 4))}" | sort -n | tail -1)
    peak=$(printf '%s\n' "${samples[@]:$((n / 2))}" | sort -n | tail -1)
    [ $((peak - early)) -le 4096 ] || fail "$cfg: resident size grew from $early KiB to $peak KiB"
    echo "$cfg: $(cat "$tmp/check.$cfg"); resident $early KiB -> peak $peak KiB over $n samples"
  else
    fail "$cfg: run too short to sample its memory ($n samples)"
  fi
done
finish "$days simulated day(s) on 4 configurations"
