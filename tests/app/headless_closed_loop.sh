#!/usr/bin/env bash
# The closed loop with a plotter (tests/app/plotter.js), on loopback only: the
# plotter's bearing, range, closing speed and cross-track error agree with our own
# position and waypoint sentences; steered by the plotter's APB and RMB through
# the NAV pilot, the boat sails a course of three waypoints with a leg dead
# upwind, over TCP (the plotter answers on our server's connection) and over a
# socat pseudo-terminal pair: it arrives within the radius at each waypoint, tacks
# on the upwind leg, and our waypoint follows the plotter's route; a plotter that
# answers over UDP, then falls silent, sends the pilot back to AUTO on a steady
# heading.
set -u
source "$(dirname "$0")/lib.bash"
need node socat
plotter=$src/tests/app/plotter.js
start="2026-12-06 10:00:00"

# Reads a field of the plotter's summary (JSON on its standard output).
summary() { node -e 'const s = JSON.parse(require("fs").readFileSync(process.argv[1], "utf8")); console.log(eval("s." + process.argv[2]))' "$1" "$2" 2>/dev/null; }

# ---- The plotter's sums against our own sentences, in a fast run of the shipped
# configuration sailing on AUTO: each RMB of the plotter answers one of our RMC; our
# RMB of the next second (same cycle) gives range, bearing and closing speed to the
# same waypoint. The cross-track error is checked on a flat chart (x east, y north,
# nm) from the first fix: its size and the side to steer.
self_check() {
  start_tcp_run "$tmp/self_err" --fast --duration 900 --stdout --wait-clients 1 --start-time "$start" ||
    { fail "self-check: the run does not listen ($(head -c 300 "$tmp/self_err"))"; return; }
  timeout 120 node "$plotter" --tcp "$run_port" --wp "Att_Dover,51.103,1.3313333333" --radius 50 --timeout 100 \
    --send none --log "$tmp/self_sent" >"$tmp/self_summary" 2>"$tmp/self_perr"
  [ "$(summary "$tmp/self_summary" result)" = "input ended" ] ||
    fail "self-check: the plotter says $(head -c 300 "$tmp/self_summary" "$tmp/self_perr")"
  wait "$run_pid" || fail "self-check: exit status $? ($(head -c 300 "$tmp/self_err"))"
  tr -d '\r' <"$tmp/run.out" >"$tmp/self_ours"
  tr -d '\r' <"$tmp/self_sent" >"$tmp/self_theirs"
  awk -F, '
    function deg(v, h,   d, x) { d = int(v / 100); x = d + (v - 100 * d) / 60; return (h == "S" || h == "W") ? -x : x }
    function abs(x) { return x < 0 ? -x : x }
    function adiff(a, b,   d) { d = (a - b + 540) % 360 - 180; return abs(d) }
    function bxor(a, b,   r, p) { for (p = 1; a + b > 0; p *= 2) { if (a % 2 != b % 2) r += p; a = int(a / 2); b = int(b / 2) }; return r + 0 }
    function ck(s,   i, x) { x = 0; for (i = 2; i < index(s, "*"); i++) x = bxor(x, ord[substr(s, i, 1)]); return sprintf("%02X", x) }
    BEGIN { for (i = 32; i < 127; i++) ord[sprintf("%c", i)] = i; pi = atan2(0, -1) }
    FILENAME == ARGV[1] && /^\$..RMC,/ { n++; lat[n] = deg($4, $5); lon[n] = deg($6, $7); want = n; next }
    FILENAME == ARGV[1] && /^\$..RMB,/ && want { rg[want] = $11; br[want] = $12; cl[want] = $13; want = 0; next }
    FILENAME == ARGV[1] { next }
    substr($0, length($0) - 1) != ck($0) { printf "line %d: checksum %s, %s expected\n", FNR, substr($0, length($0) - 1), ck($0); next }
    !/^\$GPRMB,/ { next }
    {
      k++
      if (!(k in rg)) next
      checked++
      if (abs($11 - rg[k]) > 0.01 || adiff($12, br[k]) > 0.02 || abs($13 - cl[k]) > 0.02)
        printf "fix %d: plotter %s nm on %s at %s kn, ours %s nm on %s at %s kn\n", k, $11, $12, $13, rg[k], br[k], cl[k]
      c = cos(lat[1] * pi / 180)
      dx = (1.3313333333 - lon[1]) * 60 * c; dy = (51.103 - lat[1]) * 60
      px = (lon[k] - lon[1]) * 60 * c; py = (lat[k] - lat[1]) * 60
      xte = (px * dy - py * dx) / sqrt(dx * dx + dy * dy)   # positive: right of the track
      if (abs($3 - abs(xte)) > 0.002 + 0.01 * abs(xte) || (abs(xte) > 0.01 && $4 != (xte > 0 ? "L" : "R")))
        printf "fix %d: plotter cross-track %s %s, %.4f on the chart\n", k, $3, $4, xte
      if (abs(xte) > big) big = abs(xte)
    }
    END { if (checked < 250) printf "only %d fixes compared\n", checked
          if (big < 0.2) printf "the boat never left the track by 0.2 nm (%.3f): no cross-track error checked\n", big }
  ' "$tmp/self_ours" "$tmp/self_theirs" >"$tmp/self_problems"
  [ ! -s "$tmp/self_problems" ] || fail "self-check: $(head -5 "$tmp/self_problems")"
}
self_check

# ---- The course: 18 kn of wind from the north, steady; start at 51°04.14'N
# 2°23.08'E heading east; Est 400 m east of the start (a beam reach), Nord 600 m
# north of Est (dead upwind), Ouest 500 m south-west of Nord (a broad reach).
sed -e 's/^iTWS=.*/iTWS=18/' -e 's/^iTWD=.*/iTWD=0/' -e 's/^iHDG=.*/iHDG=90/' \
  -e 's/^iHDGvar=.*/iHDGvar=0/' -e 's/^iTWSvar=.*/iTWSvar=0/' -e 's/^iTWDvar=.*/iTWDvar=0/' \
  -e 's/^iPOSLat=.*/iPOSLat=5104.14/' -e 's/^iPOSLong=.*/iPOSLong=223.08/' "$src/data/Ventrel.ini" >"$tmp/loop.ini"
printf '[NAV]\ndCouloir=0.05\ndVirage=6\n' >>"$tmp/loop.ini"
cat >"$tmp/route.json" <<'EOF'
[{"name": "Est", "lat": 51.069, "lon": 2.390395},
 {"name": "Nord", "lat": 51.0744, "lon": 2.390395},
 {"name": "Ouest", "lat": 51.0717, "lon": 2.384667}]
EOF
radius=80
sailed=""
loop_args=(--config "$tmp/loop.ini" --pilot NAV --speed 10 --duration 3000 --start-time "$start")

# Waits up to $2 tenths of a second for process $1 to end; its status, or 124
# after killing it.
wait_bounded() {
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && { kill "$1"; wait "$1"; return 124; }
  wait "$1"
}

# Runs the plotter with the arguments after the first beside the run of process
# $1: its status, or 124 when the run ended first (the plotter is stopped 3 s later).
plot_beside() {
  local run=$1 p
  shift
  node "$plotter" "$@" &
  p=$!
  pids+=("$p")
  while kill -0 "$p" 2>/dev/null; do
    kill -0 "$run" 2>/dev/null || { sleep 3; kill "$p" 2>/dev/null; wait "$p"; return 124; }
    sleep 0.2
  done
  wait "$p"
}

# The checks of a course sailed: NAME, the plotter's summary, our sentences, our
# standard error.
course_checks() {
  local name=$1 sum=$2 out=$3 err=$4 w
  [ "$(summary "$sum" result)" = arrived ] || fail "$name: the plotter says $(head -c 400 "$sum")"
  for w in 0 1 2; do
    [ "$(summary "$sum" "waypoints[$w].reached")" = radius ] &&
      [ "$(summary "$sum" "waypoints[$w].distance <= $radius")" = true ] ||
      fail "$name: waypoint $((w + 1)) not reached within $radius m: $(summary "$sum" "JSON.stringify(waypoints[$w])")"
  done
  # Our RMB destination follows the route; our heading crosses the wind (from
  # 000) at least once while our destination is Nord: a tack.
  tr -d '\r' <"$out" | awk -F, '
    /^\$..RMB,/ && $6 != last { names = names " " $6; last = $6 }
    /^\$..HDT,/ { if (last == "Nord" && prev != "" && ((prev >= 270 && $2 < 90) || (prev < 90 && $2 >= 270))) tacks++; prev = $2 }
    END { print names; print tacks + 0 }' >"$tmp/$name.route"
  # (the plotter's first RMB may come before our first one)
  [ "$(head -1 "$tmp/$name.route" | sed 's/^ Att_Dover//')" = " Est Nord Ouest" ] ||
    fail "$name: our RMB destinations were$(head -1 "$tmp/$name.route"), (Att_Dover) Est Nord Ouest expected"
  [ "$(sed -n 2p "$tmp/$name.route")" -ge 1 ] || fail "$name: no tack on the upwind leg"
  for w in Est Nord Ouest; do
    grep -q "^Pilote NAV : destination $w$" "$err" || fail "$name: no switch to $w said ($(head -c 300 "$err"))"
  done
  grep -q "^Pilote NAV : arrivée à Ouest$" "$err" || fail "$name: no arrival said ($(head -c 300 "$err"))"
  grep -q "^Entrée NMEA : [0-9]* lignes lues, [1-9][0-9]* phrases de pilotage utilisées, 0 rejetées$" "$err" ||
    fail "$name: the input counts are not right: $(grep "Entrée NMEA" "$err")"
  ! grep -q "plus de consigne" "$err" || fail "$name: the input was taken for lost"
  ! grep -q -i "sanitizer\|segmentation" "$err" || fail "$name: $(head -c 300 "$err")"
  sailed="$sailed, $name: $(summary "$sum" seconds) s, $(summary "$sum" tacks) tacks"
}

# ---- Over TCP: the plotter reads our server and answers on the same connection.
over_tcp() {
  start_tcp_run "$tmp/tcp_err" "${loop_args[@]}" --nmea-in tcp --stdout ||
    { fail "tcp: the run does not listen ($(head -c 300 "$tmp/tcp_err"))"; return; }
  plot_beside "$run_pid" --tcp "$run_port" --route "$tmp/route.json" --radius "$radius" --timeout 180 \
    >"$tmp/tcp_sum" 2>"$tmp/tcp_perr" || fail "tcp: the plotter exits with $? ($(head -c 300 "$tmp/tcp_perr"))"
  sleep 0.5  # five simulated seconds for the arrival to be read
  kill -TERM "$run_pid" 2>/dev/null
  wait_bounded "$run_pid" 100 || fail "tcp: exit status $? ($(head -c 300 "$tmp/tcp_err"))"
  course_checks tcp "$tmp/tcp_sum" "$tmp/run.out" "$tmp/tcp_err"
}

# ---- Over a pseudo-terminal pair: we send on one end and read the plotter's
# sentences from it; the plotter opens the other end.
over_pty() {
  local run
  socat "pty,raw,echo=0,link=$tmp/ours" "pty,raw,echo=0,link=$tmp/theirs" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$tmp/ours" ] && [ -e "$tmp/theirs" ] && break; sleep 0.1; done
  [ -e "$tmp/theirs" ] || { fail "socat made no pseudo-terminal pair"; return; }
  "$prog" --headless --port "$tmp/ours" --baud 115200 --nmea-in serial --stdout "${loop_args[@]}" \
    >"$tmp/pty_out" 2>"$tmp/pty_err" &
  run=$!
  pids+=("$run")
  plot_beside "$run" --serial "$tmp/theirs" --route "$tmp/route.json" --radius "$radius" --timeout 180 \
    >"$tmp/pty_sum" 2>"$tmp/pty_perr" || fail "pty: the plotter exits with $? ($(head -c 300 "$tmp/pty_perr"))"
  sleep 0.5
  kill -TERM "$run" 2>/dev/null
  wait_bounded "$run" 100 || fail "pty: exit status $? ($(head -c 300 "$tmp/pty_err"))"
  course_checks pty "$tmp/pty_sum" "$tmp/pty_out" "$tmp/pty_err"
}

# ---- Loss of input: the plotter reads our TCP server and answers on a UDP port
# we listen to; once its first destination is taken, it is killed on the first
# leg; within ten simulated seconds (one of real time, five allowed) the pilot
# says so and goes back to AUTO, and the heading then holds (HDT within half a
# degree for 30 simulated s).
loss() {
  local plot after udp_port started=""
  for _ in 1 2 3 4 5; do
    udp_port=$((20000 + RANDOM % 30000))
    start_tcp_run "$tmp/loss_err" "${loop_args[@]}" --nmea-in "udp:127.0.0.1:$udp_port" --stdout && started=yes && break
  done
  [ -n "$started" ] || { fail "loss: the run does not listen ($(head -c 300 "$tmp/loss_err"))"; return; }
  node "$plotter" --tcp "$run_port" --send "udp:127.0.0.1:$udp_port" --route "$tmp/route.json" --radius "$radius" \
    --timeout 60 --log "$tmp/loss_sent" >/dev/null 2>&1 &
  plot=$!
  pids+=("$plot")
  for _ in $(seq 100); do grep -q "^Pilote NAV : destination Est$" "$tmp/loss_err" && break; sleep 0.1; done
  grep -q "^Pilote NAV : destination Est$" "$tmp/loss_err" ||
    fail "loss: the plotter's sentences over UDP were not taken ($(head -c 300 "$tmp/loss_err"))"
  sleep 0.5
  { kill -KILL "$plot"; wait "$plot"; } 2>/dev/null
  for _ in $(seq 50); do
    grep -q "^Pilote NAV : plus de consigne depuis 10 s, retour en AUTO$" "$tmp/loss_err" && break
    sleep 0.1
  done
  [ "$(grep -c "plus de consigne" "$tmp/loss_err")" -eq 1 ] ||
    { fail "loss: not said once 5 s after the plotter went silent ($(head -c 300 "$tmp/loss_err"))"; return; }
  after=$(wc -l <"$tmp/run.out")
  sleep 3.5
  kill -TERM "$run_pid" 2>/dev/null
  wait_bounded "$run_pid" 100 || fail "loss: exit status $? ($(head -c 300 "$tmp/loss_err"))"
  tail -n +"$((after + 1))" "$tmp/run.out" | tr -d '\r' | awk -F, '
    /^\$..HDT,/ { n++; if (n == 1 || $2 < lo) lo = $2; if (n == 1 || $2 > hi) hi = $2 }
    END { if (n < 8) printf "only %d headings after the loss\n", n
          else if (hi - lo > 0.5) printf "the heading went from %s to %s\n", lo, hi }
  ' >"$tmp/loss_problems"
  [ ! -s "$tmp/loss_problems" ] || fail "loss: $(cat "$tmp/loss_problems")"
  [ "$(grep -c "plus de consigne" "$tmp/loss_err")" -eq 1 ] || fail "loss: said more than once"
}

over_tcp
over_pty
loss
finish "self-check of the plotter, course sailed over TCP and over a pseudo-terminal$sailed, loss of input"
