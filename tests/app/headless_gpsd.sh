#!/usr/bin/env bash
# End to end: ventrel --headless writes its sentences on one end of a pair of
# pseudo-terminals made by socat; gpsd, started here in the foreground and
# listening on loopback only, reads the other end; gpspipe takes gpsd's reports.
# Every position fix gpsd reports must be the boat's position of the run's own RMC
# sentence of that second, and its speed and course those of an RMC or VTG sentence
# of the same cycle.
set -u
source "$(dirname "$0")/lib.bash"
need socat gpsd gpspipe

# ventrel opens $tmp/ventrel, gpsd $tmp/gps (readable by the user gpsd may become
# when it drops its privileges).
socat "pty,raw,echo=0,perm=0666,link=$tmp/ventrel" "pty,raw,echo=0,perm=0666,link=$tmp/gps" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -e "$tmp/ventrel" ] && [ -e "$tmp/gps" ] && break; sleep 0.1; done

# gpsd on the other end (see start_gpsd in lib.bash).
start_gpsd "$tmp/gps" "$tmp/gpsd.log" || { fail "gpsd did not start: $(head -c 500 "$tmp/gpsd.log")"; finish; }
port=$gpsd_port

gpspipe -w "localhost:$port" >"$tmp/reports" 2>/dev/null &
pids+=($!)
sleep 0.5
"$prog" --headless --port "$tmp/ventrel" --baud 4800 --duration 15 --log "$tmp/raw.txt" 2>"$tmp/err" ||
  fail "ventrel: exit status $? ($(head -c 300 "$tmp/err"))"
sleep 1
kill "${pids[-1]}"

tr -d '\r' <"$tmp/raw.txt" >"$tmp/sent"
gpsd_problems "$tmp/sent" "$tmp/reports" >"$tmp/problems"
[ ! -s "$tmp/problems" ] || fail "$(head -5 "$tmp/problems")"
finish "gpsd reports the run's position, speed and course"
