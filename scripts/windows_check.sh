#!/usr/bin/env bash
# The core on Windows, checked on this machine: cross-builds the core, its
# GoogleTest programs and ventrel_core_day with MinGW-w64 in build/mingw (no Qt,
# no scenario floor; GoogleTest built from /usr/src/googletest), runs each test
# program under Wine, then runs a simulated day with ventrel_core_day under Wine
# and on Linux and compares the two outputs byte for byte.
#
#   scripts/windows_check.sh [LINUX_BUILD]
#
# LINUX_BUILD: a build folder of this machine holding bin/ventrel_core_day
# (build/test by default, the one ./test.sh builds). Environment:
#   VENTREL_WINE         the Wine launcher (default /usr/lib/wine/wine64)
#   VENTREL_WINE_FILTER  a ctest regular expression of the test programs to leave
#                        out under Wine (default: none)
#   VENTREL_DAY_SECONDS  length of the compared run (default 86400, a day)
# Exit status 0 when everything passed, 1 otherwise, with a French line saying what.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux_build=${1:-build/test}
wine=${VENTREL_WINE:-/usr/lib/wine/wine64}
day=${VENTREL_DAY_SECONDS:-86400}
mingw=build/mingw

fail() { echo "windows_check : $*" >&2; exit 1; }

[ -x "$wine" ] || fail "Wine introuvable ($wine) : installez le paquet wine64 (scripts/deps.sh)"
command -v x86_64-w64-mingw32-g++-posix >/dev/null || fail "MinGW-w64 introuvable : installez g++-mingw-w64-x86-64-posix"
[ -x "$linux_build/bin/ventrel_core_day" ] || fail "$linux_build/bin/ventrel_core_day manque : construisez d'abord la version Linux"

# Wine keeps its prefix in the build folder, needs no display and says nothing.
export WINEPREFIX="$root/$mingw/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
mkdir -p "$WINEPREFIX"

# No build type: no optimisation and no debugging information, the quickest to
# build; the outputs are the same to the byte at any level.
cmake -S . -B "$mingw" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE= \
  -DVENTREL_GUI=OFF -DVENTREL_SCENARIO=OFF -DVENTREL_TESTS=ON -DVENTREL_BENCH=OFF -DVENTREL_WERROR=ON \
  -DVENTREL_GTEST_SOURCE=/usr/src/googletest -DVENTREL_TEST_PCH=ON -DVENTREL_WINE="$wine" >/dev/null
cmake --build "$mingw" -j"$(nproc)"

# The test programs, one Wine process each (ctest runs them through the emulator).
# The first start of Wine makes its prefix: done once here, out of the timeouts.
"$wine" cmd /c exit 0 >/dev/null 2>&1 || true
exclude=()
[ -n "${VENTREL_WINE_FILTER:-}" ] && exclude=(-E "$VENTREL_WINE_FILTER")
(cd "$mingw" && ctest --output-on-failure -j"$(nproc)" "${exclude[@]}") ||
  fail "des tests du cœur échouent sous Wine (détail ci-dessus)"

# The same simulated day on both systems, on a copy of the shipped data whose UTC
# offset is fixed (idTU=auto would read each machine's own zone).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r data "$work/data"
ini="$work/data/Ventrel.ini"
grep -qi '^idTU=' "$ini" || fail "la clé idTU manque dans $ini"
sed -i 's/^idTU=.*/idTU=-2/I' "$ini"
start="2026-12-06 10:00:00"
"$linux_build/bin/ventrel_core_day" "$work/data" "$start" "$day" >"$work/linux.nmea" ||
  fail "la journée simulée a échoué sous Linux"
"$wine" "$mingw/bin/ventrel_core_day.exe" "$work/data" "$start" "$day" >"$work/windows.nmea" ||
  fail "la journée simulée a échoué sous Wine"
lines=$(wc -l <"$work/linux.nmea")
[ "$lines" -gt "$day" ] || fail "la journée simulée sous Linux n'a que $lines lignes"
if ! cmp "$work/linux.nmea" "$work/windows.nmea"; then
  diff <(tr -d '\r' <"$work/linux.nmea") <(tr -d '\r' <"$work/windows.nmea") | head -n 6 >&2 || true
  fail "la journée simulée diffère entre Linux et Windows (Wine)"
fi
echo "windows_check : tests du cœur passés sous Wine ; $day s simulées, $lines phrases identiques à l'octet."
