#!/usr/bin/env bash
# Installs what is missing, builds the program in build/release and starts it.
# Every argument is passed to the program (for instance --polar-info FILE.pol).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ventrel_install "${VENTREL_PACKAGES[@]}" >&2

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENTREL_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" >/dev/null
exec build/release/bin/ventrel "$@"
