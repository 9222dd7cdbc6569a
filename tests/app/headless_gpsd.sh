#!/usr/bin/env bash
# End to end: ventrel --headless writes its sentences on one end of a pair of
# pseudo-terminals made by socat; gpsd, started here in the foreground and
# listening on loopback only, reads the other end; gpspipe takes gpsd's reports.
# Every position fix gpsd reports must be the boat's position of the run's own RMC
# sentence of that second, and its speed and course those of an RMC or VTG sentence
# of the same cycle.
# Usage: bash headless_gpsd.sh <path-to-ventrel> <source-dir>
set -u

prog=$1
tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in socat gpsd gpspipe; do
  command -v "$tool" >/dev/null || fail "missing: $tool (./test.sh installs it)"
done

# A TCP port nobody listens on (the local addresses of /proc/net/tcp*, state 0A).
free_port() {
  local p hex
  for _ in $(seq 50); do
    p=$((20000 + RANDOM % 30000))
    hex=$(printf '%04X' "$p")
    if ! cat /proc/net/tcp /proc/net/tcp6 2>/dev/null | awk '$4 == "0A" { print $2 }' | grep -q ":$hex\$"; then
      echo "$p"
      return 0
    fi
  done
  return 1
}

# The pair: ventrel opens $tmp/ventrel, gpsd $tmp/gps (readable by the user gpsd
# may become when it drops its privileges).
socat "pty,raw,echo=0,perm=0666,link=$tmp/ventrel" "pty,raw,echo=0,perm=0666,link=$tmp/gps" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -e "$tmp/ventrel" ] && [ -e "$tmp/gps" ] && break; sleep 0.1; done
[ -e "$tmp/gps" ] || fail "socat made no pseudo-terminals"

# gpsd in the foreground (-N), reading at once (-n), never writing to the device
# (-b), on loopback (its default without -G).
port=""
for _ in 1 2 3 4 5; do
  port=$(free_port) || fail "no free TCP port"
  gpsd -N -n -b -S "$port" "$tmp/gps" >"$tmp/gpsd.log" 2>&1 &
  gpsd_pid=$!
  for _ in $(seq 30); do
    grep -q ":$(printf '%04X' "$port") " <(awk '$4 == "0A"' /proc/net/tcp /proc/net/tcp6 2>/dev/null) && break
    kill -0 "$gpsd_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$gpsd_pid" 2>/dev/null; then
    pids+=("$gpsd_pid")
    break
  fi
  port=""
done
[ -n "$port" ] || fail "gpsd did not start: $(head -c 500 "$tmp/gpsd.log")"

gpspipe -w "localhost:$port" >"$tmp/reports" 2>/dev/null &
pipe_pid=$!
pids+=("$pipe_pid")
sleep 0.5

"$prog" --headless --port "$tmp/ventrel" --baud 4800 --duration 15 --log "$tmp/raw.txt" 2>"$tmp/err"
rc=$?
[ "$rc" -eq 0 ] || fail "ventrel: exit status $rc ($(head -c 300 "$tmp/err"))"
sleep 1
kill "$pipe_pid" 2>/dev/null

grep '"class":"TPV"' "$tmp/reports" >"$tmp/tpv"
[ -s "$tmp/tpv" ] || fail "gpsd reported no position ($(head -c 500 "$tmp/reports"))"

# The run's own RMC and VTG sentences, then gpsd's reports, in one awk.
tr -d '\r' <"$tmp/raw.txt" | awk -F, '
  function deg(v, h,   d, x) { d = int(v / 100); x = d + (v - 100 * d) / 60; return (h == "S" || h == "W") ? -x : x }
  /^\$..RMC,/ { t = substr($2, 1, 6); lat[t] = deg($4, $5); lon[t] = deg($6, $7)
                n++; sog[n] = $8; cog[n] = $9; sec[n] = t }
  /^\$..VTG,/ { n++; sog[n] = $6; cog[n] = $2; sec[n] = "vtg" }
  END { for (t in lat) printf "RMC %s %.9f %.9f\n", t, lat[t], lon[t]
        for (i = 1; i <= n; i++) printf "SC %d %s %s %s\n", i, sec[i], sog[i], cog[i] }' >"$tmp/sim"

awk '
  function get(line, key,   re) { re = "\"" key "\":[^,}]*"
    if (!match(line, re)) return ""
    v = substr(line, RSTART + length(key) + 3, RLENGTH - length(key) - 3); gsub(/"/, "", v); return v }
  function abs(x) { return x < 0 ? -x : x }
  FILENAME == ARGV[1] && $1 == "RMC" { lat[$2] = $3; lon[$2] = $4; next }
  FILENAME == ARGV[1] && $1 == "SC" { sog[$2] = $4; cog[$2] = $5; if ($3 != "vtg") idx[$3] = $2; next }
  {
    t = get($0, "time"); if (t == "" || get($0, "lat") == "") next
    hms = substr(t, 12, 2) substr(t, 15, 2) substr(t, 18, 2)
    if (!(hms in lat)) next   # a report of a second without RMC (ZDA time)
    checked++
    if (abs(get($0, "lat") - lat[hms]) > 2e-6 || abs(get($0, "lon") - lon[hms]) > 2e-6)
      printf "at %s gpsd has %s %s, the run %s %s\n", hms, get($0, "lat"), get($0, "lon"), lat[hms], lon[hms]
    sp = get($0, "speed"); tr = get($0, "track")
    if (sp == "" || tr == "") { printf "at %s gpsd gives no speed or course\n", hms; next }
    # The RMC of that second or a VTG within the cycle around it.
    ok = 0; i = idx[hms]
    for (j = i - 2; j <= i + 2; j++) if (j in sog && abs(sp - sog[j] * 1852 / 3600) < 0.001 && abs(tr - cog[j]) < 0.01) ok = 1
    if (!ok) printf "at %s gpsd has %s m/s on %s, the run %s kn on %s\n", hms, sp, tr, sog[i], cog[i]
  }
  END { if (checked < 3) printf "only %d position reports matched a second of the run\n", checked
        else printf "checked %d position reports\n", checked > "/dev/stderr" }' "$tmp/sim" "$tmp/tpv" >"$tmp/problems"
[ ! -s "$tmp/problems" ] || fail "$(head -5 "$tmp/problems")"
echo "headless_gpsd: gpsd reports the run's position, speed and course"
