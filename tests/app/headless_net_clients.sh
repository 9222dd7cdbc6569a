#!/usr/bin/env bash
# A real-time minute with a TCP server and 50 clients coming and going at random
# moments (close, reset, half-close; see net_clients.js): every line every client
# received is a whole sentence with its checksum, each client starting with a
# group. The serial port of the same run, on a socat pseudo-terminal, receives the
# same bytes as the serial port of a run without network output, started beside it.
set -u
source "$(dirname "$0")/lib.bash"
need socat node

# A pseudo-terminal at $tmp/<name>.port whose far end socat copies into $tmp/<name>.far.
far_end() {
  socat -u "pty,raw,echo=0,link=$tmp/$1.port,wait-slave" "OPEN:$tmp/$1.far,creat,trunc" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$tmp/$1.port" ] && return 0; sleep 0.1; done
  fail "socat made no pseudo-terminal"
}
far_end net
far_end plain
start=(--baud 4800 --duration 60 --start-time "2026-12-06 10:00:00")

"$prog" --headless --port "$tmp/plain.port" "${start[@]}" 2>"$tmp/plain.err" &
plain=$!
pids+=("$plain")
start_tcp_run "$tmp/net.err" --port "$tmp/net.port" "${start[@]}" ||
  fail "the run does not listen ($(head -c 300 "$tmp/net.err"))"
timeout 90 node "$src/tests/app/net_clients.js" "$run_port" 50 60 >"$tmp/clients" 2>&1 ||
  fail "clients: $(head -c 1500 "$tmp/clients")"
wait "$run_pid" || fail "run with the TCP server: exit status $? ($(head -c 300 "$tmp/net.err"))"
wait "$plain" || fail "run without: exit status $? ($(head -c 300 "$tmp/plain.err"))"
sleep 1  # socat copies the last bytes

[ "$(groups_in "$tmp/net.far")" -ge 55 ] || fail "$(groups_in "$tmp/net.far") groups on the serial line in a minute"
cmp -s "$tmp/net.far" "$tmp/plain.far" ||
  fail "the serial line received other bytes beside the TCP server ($(cmp "$tmp/net.far" "$tmp/plain.far" 2>&1))"
if grep -v -e "^Serveur TCP à l'écoute" -e "^Le groupe 3 dure" "$tmp/net.err" | grep -q .; then
  fail "messages of the run: $(head -c 500 "$tmp/net.err")"
fi
finish "50 clients in a minute: $(head -1 "$tmp/clients"); the serial line unchanged"
