#!/usr/bin/env bash
# Installs what is missing, builds every test under AddressSanitizer and
# UndefinedBehaviorSanitizer in build/test, and runs them all with ctest (the
# benchmarks too, each once and briefly: ctest's bench_short); then builds
# the fuzz targets with clang in build/fuzz and runs each for a bounded time
# (scripts/fuzz.sh; VENTREL_FUZZ_SECONDS, 30 by default). Between the two, the
# core cross-built for Windows with MinGW-w64 and its tests run under Wine, and a
# simulated day compared to the byte with the Linux one (scripts/windows_check.sh).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ventrel_install "${VENTREL_PACKAGES[@]}" "${VENTREL_TEST_PACKAGES[@]}"
ventrel_french_locale

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DVENTREL_SANITIZE=ON -DVENTREL_TESTS=ON -DVENTREL_BENCH=ON -DVENTREL_WERROR=ON
cmake --build build/test -j"$(nproc)"
cd build/test
# Twice as many tests as cores: the whole-program and network tests spend most of
# their time waiting on real seconds.
ctest --output-on-failure -j"$(( $(nproc) * 2 ))" --timeout 900
cd ../..
scripts/windows_check.sh build/test
scripts/fuzz.sh
