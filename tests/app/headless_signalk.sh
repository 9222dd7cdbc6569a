#!/usr/bin/env bash
# A real plotter-side server in the loop: the Signal K server (npm packages pinned
# in tests/signalk/package.json, installed in the build) with its NMEA 0183 output
# plug-in, started here with a temporary configuration, every socket on 127.0.0.1
# (tests/signalk/loopback.js sees to it), announcements and update checks off. It
# reads the sentences of our TCP server; once it knows the boat's position, a
# destination is set through its course API; its APB, RMB and XTE must then name
# the destination and bear toward it from the position we send.
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

# Our sentences, in real time, on a TCP server of loopback.
start_tcp_run "$tmp/run.err" --stdout --duration 600 --start-time "2026-06-21 10:00:00" ||
  { fail "ventrel did not listen: $(head -c 500 "$tmp/run.err")"; finish; }

# The server's configuration: security off (no security file), no mDNS, no network
# interface but REST, WebSocket and the NMEA 0183 TCP output, the course set by the
# API only (not by our own RMB), our TCP output as its one source (whose sentences the
# server must not repeat on its NMEA 0183 output: we would read our own APB and RMB
# back), and the NMEA 0183 plug-in sending APB, RMB and XTE.
http_port=$(free_port)
nmea_port=$(free_port)
while [ "$nmea_port" = 10110 ] || [ "$nmea_port" = "$http_port" ]; do nmea_port=$(free_port); done
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

# A destination a reach away (the wind blows from 220°), once the server knows where we are.
if dest=$(timeout 180 node "$helper" set "$http_port" 0.15 310 150 2>"$tmp/set.err"); then
  echo "destination set $((SECONDS - started)) s after the server's start: $dest"
  read -r dest_lat dest_lon dest_name <<<"$dest"
  [ -n "$dest_name" ] || fail "the server gives the destination no name"
  timeout 60 node "$helper" watch "$run_port" "$nmea_port" 40 "$dest_lat" "$dest_lon" "$dest_name" \
    "$tmp/server.nmea" >"$tmp/watch.out" 2>&1 || fail "the server's sentences: $(head -c 1500 "$tmp/watch.out")"
  cat "$tmp/watch.out"
  grep -m 1 'APB' "$tmp/server.nmea"
  grep -m 1 'RMB' "$tmp/server.nmea"
  grep -m 1 'XTE' "$tmp/server.nmea"
else
  fail "$(cat "$tmp/set.err"); the server says: $(tail -c 1500 "$tmp/server.log")"
fi
kill -0 "$server_pid" 2>/dev/null || fail "the server stopped: $(tail -c 1500 "$tmp/server.log")"
kill -0 "$run_pid" 2>/dev/null || fail "ventrel stopped: $(tail -c 500 "$tmp/run.err")"
[ ! -s "$tmp/refused" ] || fail "the server tried to leave loopback: $(sort "$tmp/refused" | uniq -c | head -5)"
finish "the Signal K server, fed by our TCP output, steers toward the destination set through its API"
