#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, when some are missing.
# Sourced by run.sh and test.sh; quick when everything is already there.
set -euo pipefail

VENTREL_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-serialport-dev libqt6serialport6-dev qt6-image-formats-plugins libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev libyaml-cpp-dev
  socat gpsd gpsd-clients xvfb xauth
)
# The test-only packages: clang and its compiler runtime (libFuzzer, the sanitizers)
# build the fuzz targets; node and npm (for the JavaScript NMEA parsers) are added
# when the machine has no npm of its own; lintian and desktop-file-utils check the
# Debian package and its desktop entry; MinGW-w64 and Wine build the core for
# Windows and run it (scripts/windows_check.sh).
VENTREL_TEST_PACKAGES=(locales clang libclang-rt-14-dev python3 lintian desktop-file-utils
                       g++-mingw-w64-x86-64-posix wine64)
command -v npm >/dev/null 2>&1 || VENTREL_TEST_PACKAGES+=(nodejs npm)

ventrel_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]:-}"
}

ventrel_install() {
  local missing
  missing=$(ventrel_missing "$@")
  [ -z "$missing" ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
      echo "Paquets manquants ($missing) : relancez en root ou installez sudo." >&2; return 1; fi
  fi
  echo "Installing: $missing"
  $sudo apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

# The tests read and write numbers with a French locale in force (decimal comma).
ventrel_french_locale() {
  locale -a 2>/dev/null | grep -qi '^fr_FR.utf8$' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1 && sudo="sudo"
  $sudo localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 2>/dev/null || echo "fr_FR.UTF-8 could not be generated; the locale tests will be skipped" >&2
}
