#!/usr/bin/env bash
# The network outputs of a headless run, on loopback only: the options refused
# with their French messages (a TCP port taken among them, exit status 2, nothing
# sent); gpsd reading a run over tcp:// and over udp:// reports the run's position,
# speed and course; the Signal K parser reads an hour of a fast run over TCP, every
# sentence whole with its checksum and every type it supports accepted, while
# standard output of the same run receives the same bytes.
set -u
source "$(dirname "$0")/lib.bash"
need python3 gpsd gpspipe node

# ---- Refusals: status | message | options after --headless.
cases=(
  "2|Point d'écoute TCP invalide : « 70000 »|--tcp 70000"
  "2|Point d'écoute TCP invalide : « ::1:10110 »|--tcp ::1:10110"
  "2|Destination UDP invalide : « 127.0.0.1 »|--udp 127.0.0.1"
  "2|Destination UDP invalide : « 127.0.0.1:0 »|--udp 127.0.0.1:0"
  "2|--udp ne s'emploie pas avec --fast|--fast --stdout --udp 127.0.0.1:10110"
  "2|--wait-clients ne s'emploie qu'avec --tcp|--stdout --wait-clients 2"
  "2|Nombre de clients invalide : « 0 »|--tcp 127.0.0.1:0 --wait-clients 0"
  "2|Nombre de clients invalide : « 1001 »|--tcp 127.0.0.1:0 --wait-clients 1001"
  "2|le port 5000 est demandé deux fois|--tcp 5000 --tcp 127.0.0.1:5000"
  "2|Option répétée : --wait-clients|--tcp 0 --wait-clients 1 --wait-clients 1"
  "2|Indiquez --port NOM, --stdout, --tcp|--fast"
)
for c in "${cases[@]}"; do
  IFS='|' read -r status message opts <<<"$c"
  # shellcheck disable=SC2086
  refuses "$status" "$message" --headless $opts --duration 2 --log "$tmp/raw.txt"
done

# ---- A port taken: the French message, status 2, nothing on standard output.
python3 -c '
import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(1)
print(s.getsockname()[1], flush=True); time.sleep(30)' >"$tmp/taken" &
pids+=($!)
for _ in $(seq 50); do [ -s "$tmp/taken" ] && break; sleep 0.1; done
taken=$(head -1 "$tmp/taken")
refuses 2 "^Le port TCP $taken est déjà utilisé : choisissez-en un autre$" \
  --headless --stdout --fast --duration 10 --tcp "127.0.0.1:$taken" --log "$tmp/raw.txt"

# ---- The section [RESEAU] of a configuration, used when no --tcp nor --udp is given.
cp "$src/data/Ventrel.ini" "$tmp/taken.ini"
printf '[RESEAU]\niTCP=1\niTCPPort=%s\niTCPAdresse=127.0.0.1\n' "$taken" >>"$tmp/taken.ini"
refuses 2 "^Le port TCP $taken est déjà utilisé : choisissez-en un autre$" \
  --headless --stdout --fast --duration 10 --config "$tmp/taken.ini" --log "$tmp/raw.txt"
cp "$src/data/Ventrel.ini" "$tmp/udp.ini"
printf '[RESEAU]\niUDP=1\niUDPDest=127.0.0.1:9\n' >>"$tmp/udp.ini"
refuses 2 "L'envoi UDP de la configuration (\[RESEAU\] iUDP=1) ne s'emploie pas avec --fast" \
  --headless --stdout --fast --duration 10 --config "$tmp/udp.ini" --log "$tmp/raw.txt"
# The command line takes the place of the section: the port taken is not opened.
"$prog" --headless --stdout --fast --duration 10 --config "$tmp/taken.ini" --tcp 127.0.0.1:0 >"$tmp/out" 2>"$tmp/err" ||
  fail "--tcp beside a configuration with [RESEAU]: exit status $? ($(head -c 300 "$tmp/err"))"

# ---- gpsd over tcp:// and udp://, at the same time (15 s of real time each).
gpsd_over() {  # <tcp|udp>
  local kind=$1 dir=$tmp/$1
  mkdir -p "$dir"
  if [ "$kind" = tcp ]; then
    start_tcp_run "$dir/err" --duration 15 --wait-clients 1 --log "$dir/raw.txt" ||
      { fail "tcp: the run does not listen ($(head -c 300 "$dir/err"))"; return; }
    start_gpsd "tcp://127.0.0.1:$run_port" "$dir/gpsd.log" ||
      { fail "gpsd did not start on tcp://: $(head -c 500 "$dir/gpsd.log")"; return; }
  else
    local udp_port=$((20000 + RANDOM % 30000))
    start_gpsd "udp://127.0.0.1:$udp_port" "$dir/gpsd.log" ||
      { fail "gpsd did not start on udp://: $(head -c 500 "$dir/gpsd.log")"; return; }
  fi
  gpspipe -w "localhost:$gpsd_port" >"$dir/reports" 2>/dev/null &
  local pipe=$!
  pids+=("$pipe")
  sleep 0.5
  if [ "$kind" = tcp ]; then
    wait "$run_pid" || fail "tcp: exit status $? ($(head -c 300 "$dir/err"))"
  else
    "$prog" --headless --udp "127.0.0.1:$udp_port" --duration 15 --log "$dir/raw.txt" 2>"$dir/err" ||
      fail "udp: exit status $? ($(head -c 300 "$dir/err"))"
  fi
  sleep 1
  kill "$pipe"
  tr -d '\r' <"$dir/raw.txt" >"$dir/sent"
  gpsd_problems "$dir/sent" "$dir/reports" >"$dir/problems"
  [ ! -s "$dir/problems" ] || fail "$kind: $(head -5 "$dir/problems")"
  [ "$failures" -eq 0 ]
}
gpsd_over tcp &
tcp_check=$!
gpsd_over udp
wait "$tcp_check" || fail "the gpsd check over tcp:// failed"

# ---- The Signal K parser reads an hour of a fast run over TCP; standard output of
# the same run receives the same bytes.
install_nmea_parsers
work=$nmea_parsers
start_tcp_run "$tmp/sk_err" --fast --duration 3600 --stdout --wait-clients 1 --start-time "2026-12-06 10:00:00" ||
  fail "Signal K: the run does not listen ($(head -c 300 "$tmp/sk_err"))"
NODE_PATH=$work/node_modules timeout 300 node "$src/tests/nmea_consumers/signalk_tcp.js" "$run_port" "$tmp/sk_copy" \
  >"$tmp/sk_out" 2>&1 || fail "Signal K over TCP: $(head -c 800 "$tmp/sk_out")"
wait "$run_pid" || fail "Signal K run: exit status $? ($(head -c 300 "$tmp/sk_err"))"
cmp -s "$tmp/sk_copy" "$tmp/run.out" || fail "the TCP client and standard output received different bytes"
[ "$(groups_in "$tmp/run.out")" -eq 3601 ] || fail "$(groups_in "$tmp/run.out") groups in an hour (seconds 0 to 3600), 3601 expected"

finish "options, port taken, gpsd over tcp:// and udp://, Signal K over TCP ($(head -1 "$tmp/sk_out" | cut -d';' -f1))"
