#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
#
# On CI (CI=true), or with VELMORA_FULL_CHECKS=1, it then also runs the suite once more under
# AddressSanitizer + UndefinedBehaviorSanitizer and every fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
BUILD=${VELMORA_BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release ${VELMORA_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"$(nproc)"
# The long soak runs only when asked for (ctest -L soak); its short variant is part of the suite.
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)" --timeout 300 -LE soak

FULL=${VELMORA_FULL_CHECKS:-}
if [[ -z "$FULL" && "${CI:-}" == true ]]; then FULL=1; fi
if [[ "$FULL" == 1 ]]; then
  ./tools/ci-sanitize.sh
  ./tools/ci-fuzz.sh
fi
