#!/usr/bin/env bash
# ventrel --headless in real time on a pseudo-terminal made by socat: the bytes
# read on the far end are exactly the sentences with CR LF (the raw list and
# standard output hold the same), at the speed asked; a run keeps to its duration;
# SIGTERM and SIGINT end it cleanly with the lists saved; a far end that vanishes
# is said, tried again every 2 s and resumes when it comes back, or ends the run
# with status 1 under --port-loss exit. A group longer than its second at the
# port's speed is said at start.
set -u
source "$(dirname "$0")/lib.bash"
need socat

# A pseudo-terminal at $tmp/port whose far end socat copies into $tmp/far; socat
# ends when the port is closed, and far_end_done waits for that.
far_end() {
  rm -f "$tmp/port" "$tmp/far"
  socat -u "pty,raw,echo=0,link=$tmp/port,wait-slave" "OPEN:$tmp/far,creat,trunc" 2>/dev/null &
  socat_pid=$!
  pids+=("$socat_pid")
  for _ in $(seq 50); do [ -e "$tmp/port" ] && return 0; sleep 0.1; done
  fail "socat made no pseudo-terminal"
}
far_end_done() {
  for _ in $(seq 50); do kill -0 "$socat_pid" 2>/dev/null || return 0; sleep 0.1; done
  kill "$socat_pid" 2>/dev/null
}

# Four seconds at 9600 baud: groups at seconds 0 to 4, then the drain of the port.
far_end
t0=$(date +%s%N)
"$prog" --headless --port "$tmp/port" --baud 9600 --duration 4 --stdout --log "$tmp/raw.txt" >"$tmp/out" 2>"$tmp/err" &
run=$!
sleep 1.5
speed=$(stty -F "$tmp/port" speed 2>/dev/null)
wait "$run"
rc=$?
elapsed_ms=$((($(date +%s%N) - t0) / 1000000))
far_end_done
[ "$rc" -eq 0 ] || fail "run: exit status $rc ($(head -c 300 "$tmp/err"))"
[ "$speed" = 9600 ] || fail "the port is at \"$speed\" baud, 9600 asked"
cmp -s "$tmp/far" "$tmp/raw.txt" || fail "the far end differs from the raw list"
cmp -s "$tmp/far" "$tmp/out" || fail "the far end differs from standard output"
[ "$(groups_in "$tmp/far")" -eq 5 ] || fail "$(groups_in "$tmp/far") groups on the far end, 5 expected"
[ "$(grep -c $'\r$' "$tmp/far")" -eq "$(wc -l <"$tmp/far")" ] || fail "a line of the far end lacks its CR LF"
[ "$elapsed_ms" -ge 3900 ] && [ "$elapsed_ms" -lt 7000 ] || fail "a run of 4 s took $elapsed_ms ms"
# At 9600 baud every group of the shipped selection fits in its second: no warning.
! grep -q "Le groupe" "$tmp/err" || fail "9600 baud: $(head -c 300 "$tmp/err")"

# At 4800 baud group 3 of the shipped selection spills into the next second: said
# once, at start, with the speed where it fits; the run goes on.
far_end
"$prog" --headless --port "$tmp/port" --baud 4800 --duration 1 >/dev/null 2>"$tmp/err"
rc=$?
far_end_done
[ "$rc" -eq 0 ] || fail "4800 baud: exit status $rc ($(head -c 300 "$tmp/err"))"
[ "$(grep -c "Le groupe" "$tmp/err")" -eq 1 ] &&
  grep -q "^Le groupe 3 dure 1,[0-9][0-9] s à 4800 bauds : choisissez 9600 bauds ou moins de phrases$" "$tmp/err" ||
  fail "4800 baud: no line-load warning ($(head -c 300 "$tmp/err"))"

for sig in TERM INT; do
  far_end
  "$prog" --headless --port "$tmp/port" --log "$tmp/raw_$sig.txt" --log-stamped "$tmp/hms_$sig.txt" \
    >/dev/null 2>"$tmp/err" &
  run=$!
  # The signal comes once three groups have reached the far end (at most 20 s: a
  # loaded machine may take more than the half second of a start).
  for _ in $(seq 200); do [ "$(groups_in "$tmp/far")" -ge 3 ] && break; sleep 0.1; done
  kill -s "$sig" "$run"
  wait "$run"
  rc=$?
  far_end_done
  [ "$rc" -eq 0 ] || fail "SIG$sig: exit status $rc ($(head -c 300 "$tmp/err"))"
  cmp -s "$tmp/far" "$tmp/raw_$sig.txt" || fail "SIG$sig: the far end differs from the raw list"
  n=$(groups_in "$tmp/far")
  [ "$n" -ge 3 ] && [ "$n" -le 4 ] || fail "SIG$sig: $n groups when the run ended, 3 or 4 expected"
  [ "$(($(wc -l <"$tmp/hms_$sig.txt") - 1))" -eq "$(wc -l <"$tmp/raw_$sig.txt")" ] ||
    fail "SIG$sig: the time-stamped list does not hold one line per sentence after its empty line"
done

# Waits up to $2 tenths of a second for process $1 to end; its status, or 124
# after killing it.
wait_bounded() {
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && { kill "$1"; wait "$1"; return 124; }
  wait "$1"
}
# Waits up to 5 s for standard error to say $1.
err_says() {
  for _ in $(seq 50); do grep -q "$1" "$tmp/err" && return 0; sleep 0.1; done
  return 1
}

# The far end vanishes, then comes back on the same link: said, tried again every
# 2 s, and the sentences go on; the run keeps to its duration and ends cleanly.
far_end
"$prog" --headless --port "$tmp/port" --duration 12 >/dev/null 2>"$tmp/err" &
run=$!
sleep 2.5
kill "$socat_pid"
far_end_done
err_says "Le port « $tmp/port » ne répond plus .*nouvel essai toutes les 2 s" ||
  fail "far end gone: nothing said ($(head -c 300 "$tmp/err"))"
far_end
err_says "répond de nouveau : les phrases reprennent" || fail "far end back: nothing said ($(head -c 300 "$tmp/err"))"
wait_bounded "$run" 150
rc=$?
far_end_done
[ "$rc" -eq 0 ] || fail "far end back: exit status $rc"
n=$(groups_in "$tmp/far")
[ "$n" -ge 4 ] || fail "far end back: $n groups after its return, 4 at least expected"
! grep -q "erreur de transmission" "$tmp/err" || fail "far end gone: the bare error line was printed too"
! grep -q -i "sanitizer\|segmentation" "$tmp/err" || fail "far end gone: $(head -c 300 "$tmp/err")"

# With --port-loss exit the run ends at once with status 1; the lists are saved.
far_end
"$prog" --headless --port "$tmp/port" --port-loss exit --duration 60 --log "$tmp/raw_exit.txt" \
  >/dev/null 2>"$tmp/err" &
run=$!
sleep 2.5
kill "$socat_pid"
wait_bounded "$run" 50
rc=$?
[ "$rc" -eq 1 ] || fail "--port-loss exit: exit status $rc, 1 expected"
grep -q "ne répond plus .*arrêt de la simulation (--port-loss exit)" "$tmp/err" ||
  fail "--port-loss exit: $(head -c 300 "$tmp/err")"
cmp -s "$tmp/far" "$tmp/raw_exit.txt" || fail "--port-loss exit: the raw list differs from the far end"
# Ten times real time at 4800 baud: the groups no longer fit in their tenth of a
# second; refused before anything is sent. At 115200 baud they fit.
far_end
rm -f "$tmp/raw.txt"
refuses 2 "la ligne série ne suit pas" --headless --port "$tmp/port" --baud 4800 --speed 10 --duration 5
"$prog" --headless --port "$tmp/port" --baud 115200 --speed 10 --duration 3 >/dev/null 2>"$tmp/err" ||
  fail "--speed 10 at 115200 baud: exit status $? ($(head -c 300 "$tmp/err"))"
far_end_done
finish "all checks passed"
