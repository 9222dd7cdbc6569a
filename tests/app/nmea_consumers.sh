#!/usr/bin/env bash
# Real receivers of the sentences. The test ConsumerRun of test_nmea writes an hour
# of the model's output with the values it carries (all 31 sentences, the variations
# and the alternating current on, a waypoint, a tack, the UTC date changing);
# gpsdecode must read it without complaint, and what it, the Signal K parser and
# nmea-simple (npm packages, installed in the build) decode must agree with the values.
set -euo pipefail
source "$(dirname "$0")/lib.bash"
need node npm gpsdecode
build=$(cd "$(dirname "$prog")/.." && pwd)
work=$build/nmea_consumers
run=$work/run
[ -x "$build/tests/test_nmea" ] || { echo "missing: $build/tests/test_nmea (build the target test_nmea)" >&2; exit 1; }

mkdir -p "$run"
if ! cmp -s "$src/tests/nmea_consumers/package.json" "$work/package.json" ||
  [ ! -d "$work/node_modules/nmea-simple" ] || [ ! -d "$work/node_modules/@signalk/nmea0183-signalk" ]; then
  cp "$src/tests/nmea_consumers/package.json" "$work/package.json"
  (cd "$work" && npm install --no-audit --no-fund --no-package-lock --loglevel=error)
fi

rm -f "$run"/*
VENTREL_NMEA_RUN_DIR=$run "$build/tests/test_nmea" --gtest_filter='ConsumerRun.*' --gtest_brief=1
[ -s "$run/sentences.txt" ] && [ -s "$run/expected.jsonl" ] || { echo "no sentences written" >&2; exit 1; }

gpsdecode -d -j <"$run/sentences.txt" >"$run/gpsd.jsonl" 2>"$run/gpsd.err"
[ ! -s "$run/gpsd.err" ] || { echo "gpsdecode reported:" >&2; sort "$run/gpsd.err" | uniq -c | head -20 >&2; exit 1; }
NODE_PATH=$work/node_modules node "$src/tests/nmea_consumers/check_consumers.js" "$run/expected.jsonl" "$run/gpsd.jsonl"
