#!/usr/bin/env bash
# Faults put into the outputs, seen by real receivers. The scenario
# tests/app/scenarios/output_faults.yaml sails two minutes at ten times real time
# on our TCP server: clean sentences, then the fix made invalid (RMC and GLL status
# V, GGA quality 0), clean again, then every sentence with a wrong checksum, then a
# garbage line before each RMC, and clean to the end. Two clients read the server:
# gpsd (private, in the foreground, on loopback), whose reports gpspipe takes, and
# a copy of the bytes for the Signal K parser (npm package, installed in the build).
#
# gpsd must report a fix before the fault, no fix while it lasts, a fix again after;
# never a report from a second whose position sentences had a wrong checksum, a fix
# again after them, and every fix at the position we sent that second. (Its reports
# may come twice a second after the faults, as it learns the cycle again: one
# without the speed of RMC. Only the position is compared.) The Signal K
# parser must take no value from a line without its right checksum, read each type
# again at its next good sentence, take GLL status V as no position and GGA quality
# 0 as "no GPS" (tests/nmea_consumers/signalk_faults.js).
set -u
source "$(dirname "$0")/lib.bash"
need gpsd gpspipe socat node npm
install_nmea_parsers
work=$nmea_parsers

# The run waits for its two clients: gpsd, then the copy, once gpspipe listens to gpsd.
start_tcp_run "$tmp/run.err" --scenario "$src/tests/app/scenarios/output_faults.yaml" --speed 10 --stdout \
  --wait-clients 2 --log-stamped "$tmp/stamped.txt" ||
  { fail "the run does not listen: $(head -c 500 "$tmp/run.err")"; finish; }
start_gpsd "tcp://127.0.0.1:$run_port" "$tmp/gpsd.log" ||
  { fail "gpsd did not start: $(head -c 500 "$tmp/gpsd.log")"; finish; }
gpspipe -w "localhost:$gpsd_port" >"$tmp/reports" 2>/dev/null &
pids+=($!)
pipe=$!
sleep 0.5
timeout 60 socat -u "TCP:127.0.0.1:$run_port" "CREATE:$tmp/copy" 2>"$tmp/socat.err" &
pids+=($!)
copy=$!
wait "$run_pid" || fail "ventrel: exit status $? ($(tail -c 500 "$tmp/run.err"))"
wait "$copy" || fail "the copy: $(head -c 300 "$tmp/socat.err")"
sleep 1
kill "$pipe"

# What went out: the TCP client got what standard output got; the time-stamped
# list holds each line sent (garbage included) and says which sentences were altered.
cmp -s "$tmp/copy" "$tmp/run.out" || fail "the TCP client and standard output received different bytes"
tr -d '\r' <"$tmp/stamped.txt" | sed -n 's/^NMEA183:[-0-9]*Z[:.0-9]*://p' | cmp -s - <(tr -d '\r' <"$tmp/run.out") ||
  fail "the time-stamped list does not hold the lines sent"
for note in "RMC : position invalide" "GLL : position invalide" "GGA : position invalide" \
  "RMC : somme de contrôle fausse" "RMC : ligne parasite"; do
  tr -d "\r" <"$tmp/stamped.txt" | grep -q "^DEFAUT:[-0-9]*Z[:.0-9]*:$note\$" || fail "the time-stamped list never says \"$note\""
done

# ---- The Signal K parser.
NODE_PATH=$work/node_modules node "$src/tests/nmea_consumers/signalk_faults.js" "$tmp/copy" >"$tmp/sk.out" 2>&1 ||
  fail "Signal K: $(head -c 1500 "$tmp/sk.out")"

# ---- gpsd. Each second of the run with position sentences is "valid", "invalid"
# (status V or quality 0, right checksums) or "bad" (a wrong checksum), in order;
# then gpsd's reports are checked against them.
tr -d '\r' <"$tmp/copy" >"$tmp/sent"
awk -F, '
  function xor(a, b,   r, p) { r = 0; for (p = 1; p < 256; p *= 2) if (int(a / p) % 2 != int(b / p) % 2) r += p; return r }
  function sum(s,   x, i) { x = 0; for (i = 2; i < index(s, "*"); i++) x = xor(x, index(chars, substr(s, i, 1)) + 31); return x }
  function get(key,   v) { if (!match($0, "\"" key "\":[^,}]*")) return ""
    v = substr($0, RSTART + length(key) + 3, RLENGTH - length(key) - 3); gsub(/"/, "", v); return v }
  function deg(v, h,   d, x) { d = int(v / 100); x = d + (v - 100 * d) / 60; return (h == "S" || h == "W") ? -x : x }
  function abs(x) { return x < 0 ? -x : x }
  function seen(what, at) { if (!(what in first) || at < first[what]) first[what] = at
                            if (!(what in last) || at > last[what]) last[what] = at }
  BEGIN { for (i = 32; i < 127; i++) chars = chars sprintf("%c", i) }
  FILENAME == ARGV[1] && /^\$..(RMC|GLL|GGA),/ {
    type = substr($1, 4, 3)
    hms = substr(type == "GLL" ? $6 : $2, 1, 6)
    if (!(hms in order)) { order[hms] = ++n; state[hms] = "valid" }
    if (type == "RMC") { lat[hms] = deg($4, $5); lon[hms] = deg($6, $7) }
    split($NF, tail, "*")
    if (sprintf("%02X", sum($0)) != tail[2]) state[hms] = "bad"
    else if (state[hms] == "valid" && ((type == "RMC" && $3 == "V") || (type == "GLL" && $7 == "V") || (type == "GGA" && $7 == "0")))
      state[hms] = "invalid"
    next
  }
  FILENAME == ARGV[1] || !/"class":"TPV"/ { next }
  {
    t = get("time"); mode = get("mode") + 0
    hms = substr(t, 12, 2) substr(t, 15, 2) substr(t, 18, 2)
    if (t == "" || !(hms in order)) next
    s = state[hms]
    if (s == "bad") printf "gpsd reports %s (mode %s), a second with wrong checksums\n", hms, mode
    if (mode >= 2) { seen("fix", order[hms]); if (s != "valid") printf "gpsd has a fix (mode %s) at %s, a second %s\n", mode, hms, s }
    if (mode == 1 && s == "invalid") seen("nofix", order[hms])
    if (mode >= 2) fixes[++f] = order[hms]
    if (mode >= 2 && (abs(get("lat") - lat[hms]) > 2e-6 || abs(get("lon") - lon[hms]) > 2e-6))
      printf "at %s gpsd has %s %s, the run %.9f %.9f\n", hms, get("lat"), get("lon"), lat[hms], lon[hms]
  }
  END {
    for (h in order) seen(state[h], order[h])
    if (!("invalid" in first) || !("bad" in first)) { print "the run sent no invalid fix or no wrong checksum"; exit }
    if (!("nofix" in first)) print "gpsd never reported the fix lost"
    for (i = 1; i <= f; i++) {
      if (fixes[i] < first["invalid"]) before = 1
      if (fixes[i] > last["invalid"] && fixes[i] < first["bad"]) between = 1
      if (fixes[i] > last["bad"]) after = 1
    }
    if (!before) print "gpsd reported no fix before the fix was made invalid"
    if (!between) print "gpsd reported no fix again once the fix was valid again"
    if (!after) print "gpsd reported no fix again after the wrong checksums"
    printf "%d seconds sent (%d invalid, %d with wrong checksums), %d fixes reported\n",
      n, last["invalid"] - first["invalid"] + 1, last["bad"] - first["bad"] + 1, f >"/dev/stderr"
  }
' "$tmp/sent" "$tmp/reports" >"$tmp/problems"
[ ! -s "$tmp/problems" ] || fail "gpsd: $(head -8 "$tmp/problems")"
finish "gpsd and the Signal K parser see the invalid fix, drop the wrong checksums and recover ($(cat "$tmp/sk.out"))"
