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

# gpsd in the foreground (-N), reading at once (-n), never writing to the device
# (-b), on loopback (its default without -G), on a port where it answers.
port=""
for _ in 1 2 3 4 5; do
  p=$((20000 + RANDOM % 30000))
  gpsd -N -n -b -S "$p" "$tmp/gps" >"$tmp/gpsd.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 30); do
    kill -0 "${pids[-1]}" 2>/dev/null || break
    timeout 1 gpspipe -w -n 1 "localhost:$p" 2>/dev/null | grep -q '"class":"VERSION"' && port=$p && break 2
    sleep 0.1
  done
  kill "${pids[-1]}" 2>/dev/null
done
[ -n "$port" ] || { fail "gpsd did not start: $(head -c 500 "$tmp/gpsd.log")"; finish; }

gpspipe -w "localhost:$port" >"$tmp/reports" 2>/dev/null &
pids+=($!)
sleep 0.5
"$prog" --headless --port "$tmp/ventrel" --baud 4800 --duration 15 --log "$tmp/raw.txt" 2>"$tmp/err" ||
  fail "ventrel: exit status $? ($(head -c 300 "$tmp/err"))"
sleep 1
kill "${pids[-1]}"

tr -d '\r' <"$tmp/raw.txt" >"$tmp/sent"
awk -F, '
  function deg(v, h,   d, x) { d = int(v / 100); x = d + (v - 100 * d) / 60; return (h == "S" || h == "W") ? -x : x }
  function get(key,   v) { if (!match($0, "\"" key "\":[^,}]*")) return ""
    v = substr($0, RSTART + length(key) + 3, RLENGTH - length(key) - 3); gsub(/"/, "", v); return v }
  function abs(x) { return x < 0 ? -x : x }
  FILENAME == ARGV[1] && /^\$..RMC,/ { t = substr($2, 1, 6); lat[t] = deg($4, $5); lon[t] = deg($6, $7)
                                        sog[++n] = $8; cog[n] = $9; idx[t] = n }
  FILENAME == ARGV[1] && /^\$..VTG,/ { sog[++n] = $6; cog[n] = $2 }
  FILENAME == ARGV[1] || !/"class":"TPV"/ { next }
  {
    t = get("time"); if (t == "" || get("lat") == "") next
    hms = substr(t, 12, 2) substr(t, 15, 2) substr(t, 18, 2)
    if (!(hms in lat)) next   # a report of a second without RMC (ZDA time)
    checked++
    if (abs(get("lat") - lat[hms]) > 2e-6 || abs(get("lon") - lon[hms]) > 2e-6)
      printf "at %s gpsd has %s %s, the run %.9f %.9f\n", hms, get("lat"), get("lon"), lat[hms], lon[hms]
    sp = get("speed"); tr = get("track")
    if (sp == "" || tr == "") { printf "at %s gpsd gives no speed or course\n", hms; next }
    ok = 0; i = idx[hms]
    for (j = i - 2; j <= i + 2; j++)
      if (j in sog && abs(sp - sog[j] * 1852 / 3600) < 0.001 && abs(tr - cog[j]) < 0.01) ok = 1
    if (!ok) printf "at %s gpsd has %s m/s on %s, the run %s kn on %s\n", hms, sp, tr, sog[i], cog[i]
  }
  END { if (checked < 3) printf "only %d position reports matched a second of the run\n", checked }
' "$tmp/sent" "$tmp/reports" >"$tmp/problems"
[ ! -s "$tmp/problems" ] || fail "$(head -5 "$tmp/problems")"
finish "gpsd reports the run's position, speed and course"
