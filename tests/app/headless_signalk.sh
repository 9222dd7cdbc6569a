#!/usr/bin/env bash
# A real plotter-side server in the loop: the Signal K server (npm packages pinned
# in tests/signalk/package.json, installed in the build) with its NMEA 0183 output
# plug-in, started here with a temporary configuration, every socket on 127.0.0.1
# (tests/signalk/loopback.js sees to it), announcements and update checks off. It
# reads the sentences of our TCP server; once it knows the boat's position, a
# destination is set through its course API; its APB, RMB and XTE must then name
# the destination and bear toward it from the position we send. They are our input
# (--nmea-in tcp://..., --pilot NAV): the boat must sail to the destination, which
# becomes our own waypoint.
# Skipped (status 77) only when npm cannot reach its registry to install the server.
set -u
source "$(dirname "$0")/lib.bash"
need node npm
build=$(cd "$(dirname "$prog")/.." && pwd)
work=$build/signalk
server=$work/node_modules/signalk-server/bin/signalk-server
helper=$src/tests/signalk/course.js

# The server, installed once per build (again when the pinned versions change).
mkdir -p "$work"
if ! cmp -s "$src/tests/signalk/package.json" "$work/package.json" || [ ! -f "$server" ] ||
  [ ! -d "$work/node_modules/@signalk/signalk-to-nmea0183" ]; then
  cp "$src/tests/signalk/package.json" "$work/package.json"
  started=$SECONDS
  if ! (cd "$work" && timeout 900 npm install --no-audit --no-fund --no-package-lock --loglevel=error) \
    >"$tmp/npm.log" 2>&1; then
    rm -f "$work/package.json"
    if ! timeout 60 npm ping >/dev/null 2>&1; then
      echo "SKIP: npm cannot reach its registry, the Signal K server could not be installed"
      exit 77
    fi
    fail "npm install: $(tail -c 800 "$tmp/npm.log")"
    finish
  fi
  echo "Signal K server installed in $((SECONDS - started)) s"
fi

# A TCP port free on loopback, chosen by the system.
free_port() {
  node -e 'const s = require("net").createServer().listen(0, "127.0.0.1", () => {
    console.log(s.address().port); s.close(); })'
}

http_port=$(free_port)
nmea_port=$(free_port)
while [ "$nmea_port" = 10110 ] || [ "$nmea_port" = "$http_port" ]; do nmea_port=$(free_port); done

# Our sentences, in real time, on a TCP server of loopback; the NAV pilot steers from
# the server's NMEA 0183 output, read as a TCP client (which tries again until the
# server listens), with a loss delay that leaves the server time to start.
awk '/^\[/ { skip = ($0 == "[NAV]") } !skip' "$src/data/Ventrel.ini" >"$tmp/nav.ini"
printf '[NAV]\ndPerte=300\n' >>"$tmp/nav.ini"
start_tcp_run "$tmp/run.err" --config "$tmp/nav.ini" --stdout --duration 900 --start-time "2026-06-21 10:00:00" \
  --pilot NAV --nmea-in "tcp://127.0.0.1:$nmea_port" ||
  { fail "ventrel did not listen: $(head -c 500 "$tmp/run.err")"; finish; }

# The server's configuration: security off (no security file), no mDNS, no network
# interface but REST, WebSocket and the NMEA 0183 TCP output, the course set by the
# API only (not by our own RMB), our TCP output as its one source (whose sentences the
# server must not repeat on its NMEA 0183 output: we would read our own APB and RMB
# back), and the NMEA 0183 plug-in sending APB, RMB and XTE.
conf=$tmp/signalk
mkdir -p "$conf/plugin-config-data"
cat >"$conf/settings.json" <<EOF
{
  "vessel": { "name": "Ventrel", "uuid": "urn:mrn:signalk:uuid:5a4d7c1e-0e35-4a53-9c1a-6f0b1d2e3c4b" },
  "mdns": false,
  "ssl": false,
  "interfaces": {
    "appstore": false, "logfiles": false, "mfd_webapp": false, "n2k-discovery": false,
    "playground": false, "tcp": false, "wasm": false, "webapps": false
  },
  "courseApi": { "apiOnly": true },
  "pipedProviders": [
    {
      "id": "ventrel",
      "enabled": true,
      "pipeElements": [
        {
          "type": "providers/simple",
          "options": {
            "logging": false,
            "type": "NMEA0183",
            "subOptions": { "type": "tcp", "host": "127.0.0.1", "port": $run_port, "validateChecksum": true,
                            "suppress0183event": true }
          }
        }
      ]
    }
  ]
}
EOF
# The server looks for its plug-ins in the configuration folder: the two it needs,
# course calculations and NMEA 0183 output, and no other.
mkdir -p "$conf/node_modules/@signalk"
for plugin in course-provider signalk-to-nmea0183; do
  ln -s "$work/node_modules/@signalk/$plugin" "$conf/node_modules/@signalk/$plugin"
done
cat >"$conf/plugin-config-data/course-provider.json" <<'EOF'
{ "enabled": true,
  "configuration": { "notifications": { "enableArrival": true, "enablePerpendicular": true, "sound": false },
                     "calculations": { "method": "Rhumbline" } } }
EOF
cat >"$conf/plugin-config-data/sk-to-nmea0183.json" <<'EOF'
{ "enabled": true,
  "configuration": { "conversions": [ { "sentence": "APB" }, { "sentence": "RMB" }, { "sentence": "XTE" } ] } }
EOF

PORT=$http_port NMEA0183PORT=$nmea_port SIGNALK_DISABLE_SERVER_UPDATES=1 LOOPBACK_REFUSED=$tmp/refused \
  node --require "$src/tests/signalk/loopback.js" "$server" -c "$conf" >"$tmp/server.log" 2>&1 &
pids+=($!)
server_pid=$!
started=$SECONDS

# The smallest distance (nautical miles) from the positions of our RMC and GLL
# sentences in FILE to LAT LON (decimal degrees).
closest() {
  tr -d '\r' <"$3" | awk -F, -v lat="$1" -v lon="$2" '
    function deg(v, h,   d, x) { d = int(v / 100); x = d + (v - 100 * d) / 60; return (h == "S" || h == "W") ? -x : x }
    function dist(a, b,   n, e) { n = (a - lat) * 60; e = (b - lon) * 60 * cos(lat * 3.14159265358979 / 180)
                                  return sqrt(n * n + e * e) }
    BEGIN { best = 999 }
    /^\$..RMC,/ && $3 == "A" { d = dist(deg($4, $5), deg($6, $7)); if (d < best) best = d }
    /^\$..GLL,/ && $7 == "A" { d = dist(deg($2, $3), deg($4, $5)); if (d < best) best = d }
    END { printf "%.4f\n", best }'
}

# A destination a reach away (the wind blows from 220°, the boat heads 335°), once
# the server knows where we are. The boat left on its heading would pass it 0.09 nm
# off: only the NAV pilot brings it within the arrival radius.
radius=0.02
if dest=$(timeout 180 node "$helper" set "$http_port" 0.15 300 150 2>"$tmp/set.err"); then
  set_at=$SECONDS
  echo "destination set $((SECONDS - started)) s after the server's start: $dest"
  read -r dest_lat dest_lon dest_name <<<"$dest"
  [ -n "$dest_name" ] || fail "the server gives the destination no name"
  timeout 60 node "$helper" watch "$run_port" "$nmea_port" 40 "$dest_lat" "$dest_lon" "$dest_name" \
    "$tmp/server.nmea" >"$tmp/watch.out" 2>&1 || fail "the server's sentences: $(head -c 1500 "$tmp/watch.out")"
  cat "$tmp/watch.out"
  grep -m 1 'APB' "$tmp/server.nmea"
  grep -m 1 'RMB' "$tmp/server.nmea"
  grep -m 1 'XTE' "$tmp/server.nmea"

  # The boat sails to the destination, within 5 minutes.
  distance=9
  while [ $((SECONDS - set_at)) -lt 300 ] && kill -0 "$run_pid" 2>/dev/null; do
    distance=$(closest "$dest_lat" "$dest_lon" "$tmp/run.out")
    awk -v d="$distance" -v r="$radius" 'BEGIN { exit !(d <= r) }' && break
    sleep 1
  done
  if awk -v d="$distance" -v r="$radius" 'BEGIN { exit !(d <= r) }'; then
    echo "arrived $((SECONDS - set_at)) s after the destination was set, $distance nm from it"
  else
    fail "the boat did not come within $radius nm of the destination in $((SECONDS - set_at)) s (closest: $distance nm)"
  fi

  # What we say and send while the server steers: the server's destination becomes
  # our waypoint, under its own name. Its plug-in writes that name in RMB's origin
  # field and the origin's ("VP") in the destination field; APB names it right, and
  # the pilot takes APB's name.
  our_rmb=$(tr -d '\r' <"$tmp/run.out" | grep -E '^\$..RMB,' | tail -1)
  IFS=, read -r _ _ _ _ _ rmb_name rmb_lat rmb_ns rmb_lon rmb_ew _ <<<"$our_rmb"
  grep '^Pilote NAV' "$tmp/run.err"
  echo "$our_rmb"
  # FILE | piece | present or absent
  checks=(
    "run.err|Pilote NAV : destination $dest_name\$|present"
    "run.err|retour en AUTO|absent"
  )
  for c in "${checks[@]}"; do
    IFS='|' read -r file piece want <<<"$c"
    if grep -q -- "$piece" "$tmp/$file"; then [ "$want" = present ]; else [ "$want" = absent ]; fi ||
      fail "$file: \"$piece\" should be $want: $(tail -c 600 "$tmp/$file")"
  done
  [ "$rmb_name" = "$dest_name" ] || fail "our RMB names \"$rmb_name\", the server's destination is \"$dest_name\""
  awk -v a="$rmb_lat" -v b="$rmb_ns" -v c="$rmb_lon" -v d="$rmb_ew" -v lat="$dest_lat" -v lon="$dest_lon" '
    function deg(v, h,   x) { x = int(v / 100); x += (v - 100 * x) / 60; return (h == "S" || h == "W") ? -x : x }
    function abs(x) { return x < 0 ? -x : x }
    BEGIN { exit !(abs(deg(a, b) - lat) < 2e-5 && abs(deg(c, d) - lon) < 2e-5) }' ||
    fail "our RMB is not at the destination $dest_lat $dest_lon: $our_rmb"

  # Stopped by SIGTERM, the run ends normally and counts what it read: sentences used,
  # none rejected.
  if kill -TERM "$run_pid" 2>/dev/null; then
    for _ in $(seq 100); do kill -0 "$run_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$run_pid" 2>/dev/null; then
      fail "ventrel still runs 10 s after SIGTERM"
    else
      wait "$run_pid"
      status=$?
      [ "$status" -eq 0 ] || fail "ventrel ended with status $status after SIGTERM: $(tail -c 500 "$tmp/run.err")"
      counts=$(grep -m 1 '^Entrée NMEA : ' "$tmp/run.err")
      echo "$counts"
      [[ "$counts" =~ ^Entrée\ NMEA\ :\ [0-9]+\ lignes\ lues,\ ([0-9]+)\ phrases\ de\ pilotage\ utilisées,\ ([0-9]+)\ rejetées$ ]] &&
        [ "${BASH_REMATCH[1]}" -gt 0 ] && [ "${BASH_REMATCH[2]}" -eq 0 ] ||
        fail "the input counts: \"$counts\""
    fi
  else
    fail "ventrel stopped before the end: $(tail -c 500 "$tmp/run.err")"
  fi
else
  fail "$(cat "$tmp/set.err"); the server says: $(tail -c 1500 "$tmp/server.log")"
fi
kill -0 "$server_pid" 2>/dev/null || fail "the server stopped: $(tail -c 1500 "$tmp/server.log")"
[ ! -s "$tmp/refused" ] || fail "the server tried to leave loopback: $(sort "$tmp/refused" | uniq -c | head -5)"
finish "the Signal K server, fed by our TCP output and steering us, brings the boat to the destination set through its API"
