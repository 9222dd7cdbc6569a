#!/usr/bin/env bash
# The steering sentences a headless run reads (--nmea-in, or the section [NAV]), on
# loopback only: the sources refused with their French messages (exit status 2,
# nothing sent), then the end-of-run count of lines read, used and dropped, from a
# UDP port, from the clients of our TCP server and from a TCP connection we make;
# and an order read steers the boat in NAV.
set -u
source "$(dirname "$0")/lib.bash"
need python3

# ---- Refusals: status | message | options after --headless.
cp "$src/data/Ventrel.ini" "$tmp/none.ini"
printf '[NAV]\niEntree=1\nsEntree=\n' >>"$tmp/none.ini"
cp "$src/data/Ventrel.ini" "$tmp/tcp.ini"
printf '[NAV]\niEntree=1\nsEntree=udp:9 tcp\n' >>"$tmp/tcp.ini"
cases=(
  "2|Source NMEA invalide : « udp:0 » (forme udp:\[ADRESSE:\]PORT|--stdout --nmea-in udp:0"
  "2|Source NMEA invalide : « tcp:127.0.0.1:10110 »|--stdout --nmea-in tcp:127.0.0.1:10110"
  "2|Source NMEA invalide : « tcp://10110 »|--stdout --nmea-in tcp://10110"
  "2|Source NMEA nommée deux fois : « udp:10111 »|--stdout --nmea-in udp:10111 --nmea-in udp:10111"
  "2|La source NMEA « serial » (--nmea-in) lit le port série|--stdout --nmea-in serial"
  "2|La source NMEA « tcp » (--nmea-in) lit les clients du serveur TCP|--stdout --nmea-in tcp"
  "2|La source NMEA « tcp » (\[NAV\] sEntree) lit les clients|--stdout --config $tmp/tcp.ini"
  "2|iEntree=1) mais sEntree ne nomme aucune source|--stdout --config $tmp/none.ini"
  "2|--nmea-in ne s'emploie pas avec --fast|--stdout --fast --nmea-in udp:10111"
  "2|(\[NAV\] iEntree=1) ne s'emploie pas avec --fast|--stdout --fast --config $tmp/tcp.ini"
)
for c in "${cases[@]}"; do
  IFS='|' read -r status message opts <<<"$c"
  # shellcheck disable=SC2086
  refuses "$status" "$message" --headless $opts --duration 2 --log "$tmp/raw.txt"
done

# A UDP port taken by another program.
python3 -c '
import socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1], flush=True); time.sleep(30)' >"$tmp/taken" &
pids+=($!)
for _ in $(seq 50); do [ -s "$tmp/taken" ] && break; sleep 0.1; done
taken=$(head -1 "$tmp/taken")
refuses 2 "^Le port UDP $taken est déjà utilisé : choisissez-en un autre (source udp:127.0.0.1:$taken)$" \
  --headless --stdout --duration 2 --nmea-in "udp:127.0.0.1:$taken" --log "$tmp/raw.txt"

# ---- Counts. The sender: 3 steering sentences, 1 of another type, 1 with a wrong
# checksum and 1 line of noise, cut in pieces of 7 bytes: 6 lines, 3 used, 2 dropped.
cat >"$tmp/send.py" <<'PY'
import socket, sys, time
def framed(body):
    s = 0
    for c in body.encode():
        s ^= c
    return "$%s*%02X\r\n" % (body, s)
data = (framed("IIAPB,A,A,0.005,L,N,V,V,272,M,Att_Dover,272,M,272,M") + framed("GPGLL,5104.14,N,00119.88,E")
        + "$IIXTE,A,A,0.009,L,N*00\r\n" + framed("IIRMB,A,0.005,L,Att_Dover,VP,5106.1800,N,00119.8800,E,39.76,273,3.20,,A")
        + "garbage\n" + framed("GPXTE,A,A,0.009,L,N")).encode()
kind, port = sys.argv[1], int(sys.argv[2])
if kind == "udp":
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    send = lambda b: s.sendto(b, ("127.0.0.1", port))
elif kind == "client":
    s = socket.create_connection(("127.0.0.1", port), timeout=5)
    send = s.sendall
else:  # "server": the run connects to us
    l = socket.socket(); l.bind(("127.0.0.1", port)); l.listen(1); l.settimeout(10)
    print("ready", flush=True)
    s, _ = l.accept()
    send = s.sendall
for i in range(0, len(data), 7):
    send(data[i:i + 7])
    time.sleep(0.01)
time.sleep(1)
PY
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
# Waits until standard error of the run says $1.
wait_err() { for _ in $(seq 100); do grep -q -- "$1" "$tmp/err" && return 0; sleep 0.05; done; return 1; }
expected="^Entrée NMEA : 6 lignes lues, 3 phrases de pilotage utilisées, 2 rejetées$"

# --nmea-in udp:ADDR:PORT
port=$(free_port)
"$prog" --headless --stdout --duration 4 --nmea-in "udp:127.0.0.1:$port" >"$tmp/out" 2>"$tmp/err" &
run=$!
wait_err "Phrases de pilotage lues depuis : udp:127.0.0.1:$port" || fail "udp: the source is not told"
python3 "$tmp/send.py" udp "$port" || fail "udp: the sender failed"
wait "$run" || fail "udp: exit status $?"
grep -q "$expected" "$tmp/err" || fail "udp: $(grep 'Entrée NMEA' "$tmp/err")"
[ -s "$tmp/out" ] || fail "udp: nothing sent"

# The section [NAV]: the clients of our TCP server (port chosen by the system).
cp "$src/data/Ventrel.ini" "$tmp/nav.ini"
printf '[NAV]\niEntree=1\nsEntree=tcp\n' >>"$tmp/nav.ini"
"$prog" --headless --duration 4 --config "$tmp/nav.ini" --tcp 127.0.0.1:0 >"$tmp/out" 2>"$tmp/err" &
run=$!
wait_err "Serveur TCP à l'écoute sur 127.0.0.1:" || fail "tcp: the server is not told"
port=$(sed -n 's/^Serveur TCP à l.écoute sur 127.0.0.1:\([0-9]*\)$/\1/p' "$tmp/err")
python3 "$tmp/send.py" client "$port" || fail "tcp: the client failed"
wait "$run" || fail "tcp: exit status $?"
grep -q "$expected" "$tmp/err" || fail "tcp: $(grep 'Entrée NMEA' "$tmp/err")"

# --nmea-in tcp://HOST:PORT, the far end listening after the run started (refused
# first, connected at the next attempt, 3 s later).
port=$(free_port)
"$prog" --headless --stdout --duration 7 --nmea-in "tcp://127.0.0.1:$port" >"$tmp/out" 2>"$tmp/err" &
run=$!
wait_err "connexion impossible" || fail "tcp://: the refusal is not told"
python3 "$tmp/send.py" server "$port" >/dev/null || fail "tcp://: the server failed"
wait "$run" || fail "tcp://: exit status $?"
grep -q "$expected" "$tmp/err" || fail "tcp://: $(grep 'Entrée NMEA' "$tmp/err")"
grep -q "^Entrée NMEA tcp://127.0.0.1:$port : connexion rétablie$" "$tmp/err" || fail "tcp://: the connection is not told"

# The boat steered: --pilot NAV and an APB ordering 305 °T from the start's 335 °T,
# five times as fast (the order repeated well within the loss delay); the heading
# sent at the end is the order's, give or take the heading's own variation.
cat >"$tmp/order.py" <<'PY'
import socket, sys, time
body = "IIAPB,A,A,0.000,L,N,V,V,305,T,WP1,305,T,305,T"
s = 0
for c in body.encode():
    s ^= c
s2 = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for _ in range(40):
    s2.sendto(("$%s*%02X\r\n" % (body, s)).encode(), ("127.0.0.1", int(sys.argv[1])))
    time.sleep(0.1)
PY
port=$(free_port)
"$prog" --headless --stdout --speed 5 --duration 20 --pilot NAV --nmea-in "udp:127.0.0.1:$port" >"$tmp/out" 2>"$tmp/err" &
run=$!
wait_err "Phrases de pilotage lues depuis" || fail "NAV: the source is not told"
python3 "$tmp/order.py" "$port" || fail "NAV: the sender failed"
wait "$run" || fail "NAV: exit status $?"
hdt=$(tr -d '\r' <"$tmp/out" | awk -F, '/^\$..HDT,/ { h = $2 } END { print h }')
awk -v h="$hdt" 'BEGIN { exit !(h >= 295 && h <= 315) }' || fail "NAV: last heading sent ${hdt:-none}, 305 ordered"
! grep -q "plus de consigne" "$tmp/err" || fail "NAV: the orders were lost: $(cat "$tmp/err")"

# Without a source nothing more is said.
"$prog" --headless --stdout --fast --duration 10 >"$tmp/out" 2>"$tmp/err" || fail "no source: exit status $?"
! grep -q "Entrée NMEA" "$tmp/err" || fail "no source: an input line was written"

finish "refusals, counts from udp:, tcp and tcp://, a NAV order steers the boat"
