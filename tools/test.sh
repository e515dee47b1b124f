#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite. Whatever configured
# the build folder before (./tools/run.sh, an earlier sanitizer run), the tests and benchmarks
# are switched on and sanitizers off here; VELMORA_CMAKE_ARGS comes last and may override that.
# A run that finds no tests fails.
#
# Environment:
#   VELMORA_BUILD_DIR   build folder, relative to the repository (default build)
#   VELMORA_CMAKE_ARGS  extra cmake arguments, e.g. -DVELMORA_SANITIZE=ON
#
# On CI (CI=true), or with VELMORA_FULL_CHECKS=1, it then also runs the suite once more under
# AddressSanitizer + UndefinedBehaviorSanitizer and every fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
./tools/setup.sh
BUILD=${VELMORA_BUILD_DIR:-build}
# A new compiler warning fails the build here (VELMORA_WERROR), and so in CI.
# shellcheck disable=SC2086
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVELMORA_TESTS=ON -DVELMORA_BENCH=ON -DVELMORA_SANITIZE=OFF -DVELMORA_WERROR=ON ${VELMORA_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"$(nproc)"
# The long soak runs only when asked for (ctest -L soak); its short variant is part of the suite.
ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j"$(nproc)" --timeout 300 -LE soak

FULL=${VELMORA_FULL_CHECKS:-}
if [[ -z "$FULL" && "${CI:-}" == true ]]; then FULL=1; fi
if [[ "$FULL" == 1 ]]; then
  ./tools/ci-sanitize.sh
  ./tools/ci-fuzz.sh
fi
