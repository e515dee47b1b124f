#!/usr/bin/env bash
# Installs what is missing, builds the game and runs it (extra arguments go to the program).
# The program runs in the caller's folder, so relative paths given to it (--screenshot, --db,
# --assets) mean what the caller expects. VELMORA_BUILD_DIR, when relative, is inside the
# repository (default build).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$ROOT/tools/setup.sh" >&2
BUILD=${VELMORA_BUILD_DIR:-build}
[[ "$BUILD" == /* ]] || BUILD="$ROOT/$BUILD"
# Only the programs are built; the folder's other settings (tests, sanitizers) are left as they are.
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target velmora velmora-server >&2
exec "$BUILD/app/velmora/velmora" "$@"
