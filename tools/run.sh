#!/usr/bin/env bash
# Installs what is missing, builds the game and runs it (extra arguments go to the program).
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/setup.sh
BUILD=${VELMORA_BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
if [[ -x "$BUILD/app/velmora/velmora" ]]; then
  exec "$BUILD/app/velmora/velmora" "$@"
fi
# Until the game program exists the screen gallery is what runs.
exec "$BUILD/app/gallery/velmora-gallery" "$@"
