#!/usr/bin/env bash
# Takes the screenshots of docs/ under a virtual display (Xvfb, 1920 x 1080): the window after 30 seconds of sailing
# on the shipped configuration with a current of 1.5 knots towards 120, the sentences going out to a pseudo-terminal
# (socat), in the normal layout
# (docs/screenshot-normal.png) and in the full-screen layout (docs/screenshot-full.png).
#
#     scripts/screenshots.sh [BUILD_DIR]      default: build/screenshots (built here, without the tests)
#
# The program runs from a copy of the build's bin/ folder, so that the configuration it writes back when it closes
# stays in that copy. It sails and photographs itself through its environment hook (src/app/window_main.h).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/screenshots}
after=${VENTREL_SCREENSHOT_AFTER:-30}
cd "$here"
source scripts/deps.sh
ventrel_install "${VENTREL_PACKAGES[@]}" >&2

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENTREL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target ventrel ventrel_data >/dev/null

work=$(mktemp -d)
socat_pid=""
cat_pid=""
cleanup() {
  [ -n "$cat_pid" ] && kill "$cat_pid" 2>/dev/null || true
  [ -n "$socat_pid" ] && kill "$socat_pid" 2>/dev/null || true
  rm -rf "$work" "$out_link"
}
trap cleanup EXIT
mkdir -p docs

# A pseudo-terminal pair: the program writes to one end (a short name, shown in the port list), the other end is
# drained.
out_link=/tmp/vnt-$$
socat -d -d "pty,raw,echo=0,link=$out_link" "pty,raw,echo=0,link=$work/nmea-in" 2>/dev/null &
socat_pid=$!
for _ in $(seq 50); do [ -e "$out_link" ] && [ -e "$work/nmea-in" ] && break; sleep 0.1; done
cat "$work/nmea-in" >/dev/null 2>&1 &
cat_pid=$!

shoot() {  # shoot OUTPUT [full]
  local out=$1 full=${2:-}
  rm -rf "$work/bin"
  cp -r "$build/bin" "$work/bin"
  sed -i 's/^iCUR=.*/iCUR=1.5/; s/^iCURDir=.*/iCURDir=120/' "$work/bin/Ventrel.ini"
  rm -f "$work/shot.png"
  env VENTREL_SCREENSHOT="$work/shot.png" VENTREL_SCREENSHOT_AFTER="$after" VENTREL_SAIL=1 \
    VENTREL_NMEA_PORT="$out_link" \
    VENTREL_FULL_SCREEN="$([ "$full" = full ] && echo 1 || echo 0)" \
    xvfb-run -a -s "-screen 0 1920x1080x24" "$work/bin/ventrel"
  [ -s "$work/shot.png" ] || { echo "Pas de capture pour $out" >&2; exit 1; }
  mv "$work/shot.png" "$out"
  echo "$out"
}

shoot docs/screenshot-normal.png
shoot docs/screenshot-full.png full
