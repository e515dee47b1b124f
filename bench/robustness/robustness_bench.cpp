// What an external lock on the database and a flooding server cost, side by side with the
// undisturbed case:
//   - a purchase in the store, plain and as the first one after another process held the
//     database, and how long a purchase waits during such a lock before it gives up;
//   - the velmora program's peak resident size over 8 s, against its own embedded server and
//     against a server that floods it.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "server/store.h"
#include "testing/tempdir.h"
#include "tests/common/floodrun.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// A store with one rich player and a lot on sale, in a folder of its own.
struct StoreSetup {
  StoreSetup() {
    if (temp.Path().empty()) return;
    dir = temp.Path();
    path = (dir / "bench.db").string();
    std::string error;
    store = velsrv::Store::Open(path, false, &error);
    if (!store) return;
    player = store->CreatePlayer("bench", 1LL << 50, false)->id;
    velsrv::LotRow lot;
    lot.goodsNumber = store->AllocateGoodsNumber();
    lot.goodsId = 1;
    lot.goodsName = "lot";
    lot.totalShares = 1 << 30;
    lot.sharePrice = 1;
    lotId = store->OpenLot(lot);
  }
  ~StoreSetup() { store.reset(); }
  velsrv::Store::PurchaseStatus Buy() { return store->Purchase(lotId, player, 1, 1, "t", nullptr); }

  veltest::TempDir temp{"lockbench"};
  std::filesystem::path dir;
  std::string path;
  std::unique_ptr<velsrv::Store> store;
  std::uint32_t player = 0;
  long long lotId = 0;
};

// Another process's BEGIN EXCLUSIVE, as sqlite3 or a backup tool would hold it.
struct ExternalLock {
  explicit ExternalLock(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
  }
  ~ExternalLock() {
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  sqlite3* db = nullptr;
};

void BM_Purchase(benchmark::State& state) {
  StoreSetup s;
  for (auto _ : state) {
    if (s.Buy() != velsrv::Store::PurchaseStatus::Ok) state.SkipWithError("purchase failed");
  }
}

// The lock ends; the next purchase is timed.
void BM_FirstPurchaseAfterLock(benchmark::State& state) {
  StoreSetup s;
  double waitedFirst = 0, waitedNext = 0;
  for (auto _ : state) {
    {
      ExternalLock lock(s.path);
      auto t = Clock::now();
      if (s.Buy() != velsrv::Store::PurchaseStatus::Failed) state.SkipWithError("the lock did not hold");
      waitedFirst += SecondsSince(t);
      t = Clock::now();
      s.Buy();
      waitedNext += SecondsSince(t);
    }
    const auto t = Clock::now();
    if (s.Buy() != velsrv::Store::PurchaseStatus::Ok) state.SkipWithError("not stored after the lock");
    state.SetIterationTime(SecondsSince(t));
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["locked_first_wait_ms"] = waitedFirst * 1000 / n;
  state.counters["locked_next_wait_ms"] = waitedNext * 1000 / n;
}

// Arg 0: the program with its own server; arg 1: against a flooding server.
void BM_ProgramPeakResident(benchmark::State& state) {
  const bool flood = state.range(0) != 0;
  for (auto _ : state) {
    std::unique_ptr<veltest::FloodServer> server;
    std::vector<std::string> args = {"--assets", VELMORA_ASSET_DIR, "--headless", "--seconds", "8"};
    if (flood) {
      server = std::make_unique<veltest::FloodServer>();
      args.insert(args.end(), {"--connect", "127.0.0.1:" + std::to_string(server->Port()), "--plain", "--name",
                               "flood", "--password-file", server->PasswordFile()});
    } else {
      args.insert(args.end(), {"--db", ":memory:", "--bots", "3"});
    }
    const veltest::ProgramRun run = veltest::RunProgram(VELMORA_BINARY, args, 60);
    if (!run.ended || run.exitCode != 0) state.SkipWithError("the program did not end well");
    state.SetIterationTime(run.seconds);
    state.counters["peak_MB"] = run.peakMb;
    if (server) state.counters["offered_MB"] = static_cast<double>(server->BytesSent()) / (1 << 20);
  }
}

BENCHMARK(BM_Purchase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstPurchaseAfterLock)->Iterations(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProgramPeakResident)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
