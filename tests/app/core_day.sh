#!/usr/bin/env bash
# ventrel_core_day, the core alone on the virtual clock: the same sentences as
# `ventrel --headless --fast --stdout` on the same data, a start time and length
# that count, its folder left as it was, and its refusals.
set -u
source "$(dirname "$0")/lib.bash"
day="$(dirname "$prog")/ventrel_core_day"
[ -x "$day" ] || { echo "missing: $day" >&2; exit 1; }

# A copy of the program's folder (its data and the two programs), a fixed UTC offset.
cp -r "$(dirname "$prog")" "$tmp/bin"
sed -i 's/^idTU=.*/idTU=-2/I' "$tmp/bin/Ventrel.ini"
(cd "$tmp/bin" && find . -type f -exec sha256sum {} + | sort) >"$tmp/before"

# Two starts, one across midnight and the end of a month, and lengths of a few minutes.
while read -r day_ time_ seconds; do
  start="$day_ $time_"
  "$tmp/bin/ventrel_core_day" "$tmp/bin" "$start" "$seconds" >"$tmp/day" 2>"$tmp/day.err" ||
    fail "$start $seconds: exit status $? ($(head -c 300 "$tmp/day.err"))"
  "$tmp/bin/ventrel" --headless --fast --stdout --duration "$seconds" --start-time "$start" >"$tmp/headless" 2>/dev/null ||
    fail "$start $seconds: the headless run failed"
  [ -s "$tmp/day" ] || fail "$start $seconds: nothing written"
  cmp -s "$tmp/day" "$tmp/headless" || fail "$start $seconds: not the headless run's sentences"
  # Second 0 and each second after it.
  [ "$(groups_in "$tmp/day")" -eq $((seconds + 1)) ] || fail "$start $seconds: $(groups_in "$tmp/day") groups"
  [ "$(grep -c $'\r$' "$tmp/day")" -eq "$(wc -l <"$tmp/day")" ] || fail "$start $seconds: a line without CR LF"
done <<'RUNS'
2026-12-06 10:00:00 300
2026-01-31 23:58:30 180
RUNS
# The time given is the time of the sentences: the two starts differ.
"$tmp/bin/ventrel_core_day" "$tmp/bin" "2026-06-01 12:00:00" 5 >"$tmp/june" 2>/dev/null
tr -d '\r' <"$tmp/june" | grep -q '^\$..RMC,10000[0-4]\.00,.*,010626,' || fail "the start time does not reach RMC"

(cd "$tmp/bin" && find . -type f -exec sha256sum {} + | sort) >"$tmp/after"
cmp -s "$tmp/before" "$tmp/after" || fail "the data folder was changed by the runs"

prog="$tmp/bin/ventrel_core_day"
while IFS='|' read -r status pattern args; do
  eval "refuses $status \"$pattern\" $args"
done <<'REFUSED'
2|Usage : ventrel_core_day|
2|Usage : ventrel_core_day|"$tmp/bin" "2026-12-06 10:00:00"
2|Dossier des données introuvable|"$tmp/none" "2026-12-06 10:00:00" 10
2|Heure de départ invalide|"$tmp/bin" "2026-02-30 10:00:00" 10
2|Durée invalide|"$tmp/bin" "2026-12-06 10:00:00" 0
2|Durée invalide|"$tmp/bin" "2026-12-06 10:00:00" 10s
2|Durée invalide|"$tmp/bin" "2026-12-06 10:00:00" 99999999999
REFUSED
finish "the core run equals the headless run and refuses bad arguments"
