#!/usr/bin/env bash
# The live control port of a headless run, on loopback: a client sets the wind,
# orders a tack and reads the boat back; garbage, an unknown command, a file asked
# for and an oversized line are refused with a JSON error and the connection
# goes on; a taken port stops the start with status 2.
set -u
source "$(dirname "$0")/lib.bash"
need python3

port=$((20000 + RANDOM % 30000))
"$prog" --headless --stdout --speed 10 --duration 120 --control "127.0.0.1:$port" >"$tmp/out" 2>"$tmp/err" &
run=$!
pids+=("$run")

python3 - "$port" >"$tmp/client" 2>&1 <<'EOF'
import json, socket, sys, time
port = int(sys.argv[1])
deadline = time.time() + 20
while True:
    try:
        s = socket.create_connection(("127.0.0.1", port), timeout=5)
        break
    except OSError:
        if time.time() > deadline:
            sys.exit("no control port")
        time.sleep(0.1)
f = s.makefile("rwb")

def ask(line):
    f.write(line if isinstance(line, bytes) else line.encode())
    f.write(b"\n")
    f.flush()
    answer = f.readline()
    if not answer:
        sys.exit("connection closed after %r" % line[:60])
    return json.loads(answer)

def check(cond, what):
    if not cond:
        sys.exit("FAIL " + what)

r = ask('{"cmd": "readout"}')
check(r["ok"] and "readout" in r, "first readout: %r" % r)
check(ask('{"cmd": "wind", "speed": 40, "from": 300}')["ok"], "wind accepted")
r = ask('{"cmd": "readout"}')["readout"]
check(r["true_wind_speed"] > 28, "wind speed read back: %r" % r["true_wind_speed"])
tacks = r["tacks_begun"]
a = ask('{"cmd": "tack"}')
# A tack may be refused when the boat is running (a gybe then); one of them is accepted.
if not a["ok"]:
    a = ask('{"cmd": "gybe"}')
check(a["ok"], "tack or gybe accepted: %r" % a)
time.sleep(0.5)
r = ask('{"cmd": "readout"}')["readout"]
check(r["tacks_begun"] + r["gybes_begun"] > tacks, "manoeuvre counted: %r" % r)
for bad, why in [(b"not json", "garbage"), (b'{"cmd": "jibe"}', "unknown command"),
                 (b'{"cmd": "polar", "file": "/etc/passwd"}', "file"),
                 (b'{"cmd": "wind", "speed": "x"}', "bad value"),
                 (b"\xff\xfe{", "bytes"), (b"x" * 10000, "oversized")]:
    e = ask(bad)
    check(e.get("ok") is False and e.get("error"), "%s refused with a message: %r" % (why, e))
r = ask('{"cmd": "readout"}')
check(r["ok"], "the connection goes on after the errors")
print("client ok")
EOF
[ $? -eq 0 ] || fail "control client: $(cat "$tmp/client")"

kill "$run" 2>/dev/null
wait "$run" 2>/dev/null
[ -s "$tmp/out" ] || fail "the run sent no sentence"

# The same port taken by another run: refused before starting.
"$prog" --headless --stdout --duration 30 --control "127.0.0.1:$port" >"$tmp/first.out" 2>/dev/null &
first=$!
pids+=("$first")
sleep 1
refuses 2 "port de contrôle $port est déjà utilisé" --headless --stdout --duration 5 --control "127.0.0.1:$port"
refuses 2 "--control ne s'emploie pas avec --fast" --headless --stdout --fast --duration 5 --control "127.0.0.1:$port"

finish "wind, tack and read-out through the control port; garbage refused, connection kept"
