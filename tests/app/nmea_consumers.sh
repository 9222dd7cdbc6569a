#!/usr/bin/env bash
# Real receivers of the sentences: an hour of the simulation model's output (all
# 26 sentences, the three variations and the alternating current on, a waypoint,
# a change of tack, the UTC date changing during the run) is fed to gpsd's own
# NMEA decoder (gpsdecode), to the Signal K NMEA 0183 parser and to nmea-simple.
# Every checksum must be valid, no sentence longer than 82 characters with CR LF,
# and the position, course, speed, depth, heading and wind they decode must agree
# with the simulation's values (tests/nmea_consumers/check_consumers.js).
#
# The sentences come from the test ConsumerRun of test_nmea, which drives the
# model second by second and builds the groups as the transmission cycle does.
# The npm packages are installed into the build folder (never into the sources).
#
# Usage: bash nmea_consumers.sh <path-to-ventrel> <source-dir>
set -euo pipefail

ventrel=$1
src=$2
build=$(cd "$(dirname "$ventrel")/.." && pwd)
test_nmea=$build/tests/test_nmea
work=$build/nmea_consumers
run=$work/run

for tool in node npm gpsdecode; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (./test.sh installs it)" >&2; exit 1; }
done
[ -x "$test_nmea" ] || { echo "missing: $test_nmea (build the target test_nmea)" >&2; exit 1; }

# The two parsers, at the versions in package.json.
mkdir -p "$work" "$run"
if ! cmp -s "$src/tests/nmea_consumers/package.json" "$work/package.json" || [ ! -d "$work/node_modules/nmea-simple" ] ||
  [ ! -d "$work/node_modules/@signalk/nmea0183-signalk" ]; then
  cp "$src/tests/nmea_consumers/package.json" "$work/package.json"
  (cd "$work" && npm install --no-audit --no-fund --no-package-lock --loglevel=error)
fi

# An hour of sentences and the values they carry.
rm -f "$run"/*
VENTREL_NMEA_RUN_DIR=$run "$test_nmea" --gtest_filter='ConsumerRun.*' --gtest_brief=1
[ -s "$run/sentences.txt" ] && [ -s "$run/expected.jsonl" ] || { echo "no sentences written" >&2; exit 1; }
echo "$(wc -l <"$run/sentences.txt") sentences"

# gpsd's decoder; it must not complain about any of them.
gpsdecode -d -j <"$run/sentences.txt" >"$run/gpsd.jsonl" 2>"$run/gpsd.err"
if [ -s "$run/gpsd.err" ]; then
  echo "gpsdecode reported:" >&2
  sort "$run/gpsd.err" | uniq -c | head -20 >&2
  exit 1
fi

NODE_PATH=$work/node_modules node "$src/tests/nmea_consumers/check_consumers.js" \
  "$run/expected.jsonl" "$run/gpsd.jsonl"
