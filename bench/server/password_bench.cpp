// What one password check costs the server's worker thread: argon2id with the interactive
// limits the server always uses, side by side with the cheapest limits the tests use, and
// the process's peak resident size after each.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <string>

#include "server/passwordhash.h"

namespace {

long PeakRssKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void VerifyWith(benchmark::State& state, const velsrv::PasswordCost& cost) {
  const auto hash = velsrv::HashPassword("correct horse battery", cost);
  if (!hash) {
    state.SkipWithError("hashing failed");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(velsrv::VerifyPassword(*hash, "correct horse battery"));
  // The benchmark runs each function several times: the process's peak so far is what
  // compares (the cheap run comes first).
  state.counters["peak_rss_kb"] = static_cast<double>(PeakRssKb());
}

void BM_VerifyInteractive(benchmark::State& state) { VerifyWith(state, velsrv::PasswordCost::Interactive()); }
void BM_VerifyMinimal(benchmark::State& state) { VerifyWith(state, velsrv::PasswordCost::Minimal()); }

}  // namespace

// Minimal first: its peak must not include the interactive run's.
BENCHMARK(BM_VerifyMinimal)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VerifyInteractive)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
