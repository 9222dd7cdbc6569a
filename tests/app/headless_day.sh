#!/usr/bin/env bash
# ventrel --headless --fast --duration 86400 --stdout: a simulated day in one run,
# 86 401 groups (seconds 0 to 86 400) in the order 1, 2, 3, with the clock of the
# last group 3 a day after the first, nothing on stderr, every line with CR LF.
# Usage: bash headless_day.sh <path-to-ventrel> <source-dir>
set -u

prog=$1
src=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Local 12:00:00 on 6 December 2026, UTC = local + 1 h (the configuration's idTU).
"$prog" --headless --fast --duration 86400 --stdout --config "$src/tests/app/runs/headless.ini" \
  --start-time "2026-12-06 12:00:00" >"$tmp/day" 2>"$tmp/err"
rc=$?
[ "$rc" -eq 0 ] || fail "exit status $rc ($(head -c 300 "$tmp/err"))"
[ ! -s "$tmp/err" ] || fail "stderr: $(head -c 300 "$tmp/err")"
[ "$(grep -c $'\r$' "$tmp/day")" -eq "$(wc -l <"$tmp/day")" ] || fail "a line lacks its CR LF"

tr -d '\r' <"$tmp/day" | awk -F, '
  /^\$..DPT,/ { g = 1 } /^\$..VHW,/ { g = 2 } /^\$..GSV,3,1,/ { g = 3 }
  /^\$..(DPT|VHW),/ || /^\$..GSV,3,1,/ {
    if (n > 0 && g != prev % 3 + 1) { printf "group %d follows group %d at group %d\n", g, prev, n; exit }
    prev = g; n++
  }
  /^\$..ZDA,/ { if (!first) first = $2 "," $3 "," $4 "," $5; last = $2 "," $3 "," $4 "," $5 }
  END {
    if (n != 86401) printf "%d groups, 86401 expected\n", n
    if (first != "130002.00,06,12,2026") printf "first ZDA %s, second 2 expected\n", first
    if (last != "125959.00,07,12,2026") printf "last ZDA %s, second 86399 expected\n", last
  }' >"$tmp/problems"
[ ! -s "$tmp/problems" ] || fail "$(head -3 "$tmp/problems")"
echo "headless_day: a simulated day, $(wc -c <"$tmp/day") bytes"
