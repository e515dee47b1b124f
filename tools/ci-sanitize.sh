#!/usr/bin/env bash
# Builds the whole tree with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs the test suite there. Fails when a test fails and also when any
# sanitizer report was written, even by a process whose exit status nobody
# checked (a child process, a test that expects a failure).
#
# Environment:
#   VELMORA_SANITIZE_BUILD_DIR  build folder (default build-asan)
#   VELMORA_SANITIZE_JOBS       parallelism (default: nproc)
#   VELMORA_SANITIZE_CTEST_ARGS extra ctest arguments (default: -LE soak)
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${VELMORA_SANITIZE_BUILD_DIR:-build-asan}
JOBS=${VELMORA_SANITIZE_JOBS:-$(nproc)}
CTEST_ARGS=${VELMORA_SANITIZE_CTEST_ARGS:--LE soak}

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF
cmake --build "$BUILD" -j"$JOBS"

REPORTS="$PWD/$BUILD/sanitizer-reports"
rm -rf "$REPORTS"
mkdir -p "$REPORTS"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:log_path=$REPORTS/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$REPORTS/ubsan"
# The suppressions for leaks that are not ours are compiled into the sanitizer build.
export LSAN_OPTIONS="log_path=$REPORTS/lsan"

status=0
# shellcheck disable=SC2086
ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j"$JOBS" --timeout 600 $CTEST_ARGS || status=$?

shopt -s nullglob
reports=("$REPORTS"/*)
if [[ ${#reports[@]} -gt 0 ]]; then
  echo "ci-sanitize: ${#reports[@]} sanitizer report(s):" >&2
  for r in "${reports[@]}"; do
    echo "---- $r" >&2
    head -40 "$r" >&2
  done
  status=1
fi
if [[ $status -ne 0 ]]; then
  echo "ci-sanitize: FAILED" >&2
  exit "$status"
fi
echo "ci-sanitize: clean"
