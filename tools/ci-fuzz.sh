#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one
# for a bounded time from its seed corpus in tests/fuzz-corpus/<target>/.
# Fails on the first crash, leak, timeout or sanitizer report; the input that
# did it is left under <build>/artifacts/<target>/ and should be kept in the
# seed corpus once fixed, so it is replayed by every later run.
#
# Environment:
#   VELMORA_FUZZ_SECONDS   seconds per target (default 60)
#   VELMORA_FUZZ_TARGETS   space-separated subset, e.g. "framedecoder catalogue"
#   VELMORA_FUZZ_BUILD_DIR build folder (default build-fuzz)
#   VELMORA_FUZZ_JOBS      build parallelism (default: nproc)
#   VELMORA_FUZZ_NICE      nice level for the fuzzing itself (default 0)
#   VELMORA_FUZZ_TIMEOUT   seconds one input may take (default 10); the clock is wall time,
#                          so raise it for long runs at a high nice level on a busy machine
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${VELMORA_FUZZ_SECONDS:-60}
BUILD=${VELMORA_FUZZ_BUILD_DIR:-build-fuzz}
JOBS=${VELMORA_FUZZ_JOBS:-$(nproc)}
NICE=${VELMORA_FUZZ_NICE:-0}
TIMEOUT=${VELMORA_FUZZ_TIMEOUT:-10}
CORPUS_ROOT=tests/fuzz-corpus

if [[ -n "${VELMORA_FUZZ_TARGETS:-}" ]]; then
  read -r -a TARGETS <<<"$VELMORA_FUZZ_TARGETS"
else
  TARGETS=()
  for dir in "$CORPUS_ROOT"/*/; do TARGETS+=("$(basename "$dir")"); done
fi

CC=clang CXX=clang++ cmake -S fuzz -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" -j"$JOBS" --target "${TARGETS[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0}

failed=()
for t in "${TARGETS[@]}"; do
  seeds="$CORPUS_ROOT/$t"
  exe="$BUILD/fuzz_$t"
  [[ -d "$seeds" ]] || { echo "ci-fuzz: no seed corpus $seeds" >&2; exit 2; }
  [[ -x "$exe" ]] || { echo "ci-fuzz: no fuzz target $exe" >&2; exit 2; }
  work="$BUILD/corpus/$t"
  artifacts="$BUILD/artifacts/$t/"
  log="$BUILD/logs/$t.log"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  echo "ci-fuzz: $t for ${SECONDS_EACH}s"
  # The first corpus folder collects new inputs; the seeds stay untouched.
  if nice -n "$NICE" "$exe" -max_total_time="$SECONDS_EACH" -timeout="$TIMEOUT" -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts" "$work" "$seeds" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done ' "$log" | sed "s/^/ci-fuzz: $t: /"
  else
    echo "ci-fuzz: $t FAILED; log $log, input(s):" >&2
    ls "$artifacts" >&2 || true
    grep -E 'ERROR|SUMMARY|runtime error|deadly' "$log" | head -5 >&2 || true
    failed+=("$t")
  fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "ci-fuzz: failing targets: ${failed[*]}" >&2
  exit 1
fi
echo "ci-fuzz: all targets clean"
