#!/usr/bin/env bash
# Rewrites the recorded runs of tests/nmea/runs from the present program. Run it
# only for a change that is meant, and say in the commit why the sentences changed.
# Usage: bash tests/nmea/regenerate_runs.sh <build-dir>
set -euo pipefail
build=${1:?usage: regenerate_runs.sh <build-dir>}
cmake --build "$build" --target test_nmea
VENTREL_REGENERATE_RUNS=1 "$build/tests/test_nmea" --gtest_filter='RecordedRun.*'
git -C "$(dirname "$0")" diff --stat -- runs
