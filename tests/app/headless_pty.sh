#!/usr/bin/env bash
# ventrel --headless in real time on a pseudo-terminal made by socat: the bytes
# read on the far end are exactly the sentences with CR LF (the raw list and
# standard output hold the same), at the speed asked; a run keeps to its duration;
# SIGTERM and SIGINT end it cleanly with the lists saved; a far end that vanishes
# gives the error line, no crash, and the run goes on to its end.
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

for sig in TERM INT; do
  far_end
  "$prog" --headless --port "$tmp/port" --log "$tmp/raw_$sig.txt" --log-stamped "$tmp/hms_$sig.txt" \
    >/dev/null 2>"$tmp/err" &
  run=$!
  sleep 2.5
  kill -s "$sig" "$run"
  wait "$run"
  rc=$?
  far_end_done
  [ "$rc" -eq 0 ] || fail "SIG$sig: exit status $rc ($(head -c 300 "$tmp/err"))"
  cmp -s "$tmp/far" "$tmp/raw_$sig.txt" || fail "SIG$sig: the far end differs from the raw list"
  n=$(groups_in "$tmp/far")
  [ "$n" -ge 3 ] && [ "$n" -le 4 ] || fail "SIG$sig: $n groups after 2.5 s, 3 expected"
  [ "$(($(wc -l <"$tmp/hms_$sig.txt") - 1))" -eq "$(wc -l <"$tmp/raw_$sig.txt")" ] ||
    fail "SIG$sig: the time-stamped list does not hold one line per sentence after its empty line"
done

far_end
"$prog" --headless --port "$tmp/port" --duration 6 >/dev/null 2>"$tmp/err" &
run=$!
sleep 1.5
kill "$socat_pid"
wait "$run"
rc=$?
[ "$rc" -eq 0 ] || fail "far end gone: exit status $rc"
grep -q "erreur de transmission : écriture incomplète" "$tmp/err" ||
  fail "far end gone: no error line on stderr ($(head -c 300 "$tmp/err"))"
! grep -q -i "sanitizer\|segmentation" "$tmp/err" || fail "far end gone: $(head -c 300 "$tmp/err")"
finish "all checks passed"
