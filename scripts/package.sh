#!/usr/bin/env bash
# Builds the Debian package of the program: an optimised build with debugging
# information in build/package (the Debian hardening flags when dpkg-buildflags is
# there), then cpack -G DEB; the package is left in build/package
# (ventrel_<version>-<release>_<arch>.deb) and checked with lintian when it is
# installed.
#
#     scripts/package.sh [BUILD_DIR]      default: build/package
#
# Install it with: sudo apt install ./build/package/ventrel_*.deb
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/package}
cd "$here"
source scripts/deps.sh
ventrel_install "${VENTREL_PACKAGES[@]}" >&2

flags=()
if command -v dpkg-buildflags >/dev/null; then
  flags=("-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
         "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)")
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENTREL_TESTS=OFF -DVENTREL_BENCH=OFF "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/ventrel_*.deb | head -1)
echo "Paquet : $deb"
if command -v lintian >/dev/null; then
  lintian "$deb" || { echo "lintian a trouvé des erreurs dans $deb" >&2; exit 1; }
fi
