// Cost of the data layer's hot paths, and proof that a steady stream of
// goods lists does not allocate.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "client/data/buydata.h"

namespace {
std::atomic<std::size_t> g_allocations{0};
}

// Every C++ allocation in this binary goes through here. GCC pairs the
// malloc and free below wrongly with inlined new/delete expressions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

std::vector<unsigned char> GoodsBody(std::size_t count, std::uint32_t firstId) {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> goods(count);
  for (std::size_t i = 0; i < count; ++i) {
    auto& g = goods[i];
    std::memset(&g, 0, sizeof(g));
    g.goodsId = firstId + static_cast<std::uint32_t>(i);
    g.goodsNumber = g.goodsId;
    g.slot = static_cast<std::uint32_t>(i + 1);
    g.state = i == 0 ? GOODS_STATE_SELLING : GOODS_STATE_CANDIDATE;
    g.totalShares = 100;
    SetFieldText(g.goodsName, "goods");
  }
  std::vector<unsigned char> body(count * sizeof(CMD_GF_VELMORA_GOODS_ITEM));
  if (!body.empty()) std::memcpy(body.data(), goods.data(), body.size());
  return body;
}

// Trace lines go to /dev/null: their formatting is part of UpdateData's cost.
std::FILE* NullTrace() {
  static std::FILE* f = std::fopen("/dev/null", "w");
  return f;
}

void BM_UpdateDataSevenItems(benchmark::State& state) {
  CBuyData store;
  store.SetTraceOutput(state.range(0) ? NullTrace() : nullptr);
  const auto body = GoodsBody(MAX_LISTED_GOODS, 1001);
  const auto size = static_cast<std::uint16_t>(body.size());
  for (auto _ : state) {
    store.UpdateData(body.data(), size);
    benchmark::DoNotOptimize(store.GetCurrentItem());
  }
  state.SetLabel(state.range(0) ? "with trace" : "trace off");
}
BENCHMARK(BM_UpdateDataSevenItems)->Arg(1)->Arg(0);

// Parse a list message and visit every element, as a handler does.
template <std::uint16_t Sub>
void BM_ParseAndCount(benchmark::State& state) {
  using Record = typename ServerSub<Sub>::Record;
  const std::size_t count = static_cast<std::size_t>(state.range(0));
  std::vector<unsigned char> body(count * sizeof(Record));
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<unsigned char>(i * 7);
  const auto size = static_cast<std::uint16_t>(body.size());
  for (auto _ : state) {
    auto list = ReadServerList<Sub>(body.data(), size);
    std::size_t n = 0;
    Record rec;
    for (std::size_t i = 0; list && list->Get(i, &rec); ++i) {
      benchmark::DoNotOptimize(rec);
      ++n;
    }
    benchmark::DoNotOptimize(n);
  }
  state.counters["elements"] = static_cast<double>(count);
}
BENCHMARK_TEMPLATE(BM_ParseAndCount, SUB_S_RECENTLY_RESULT)->Arg(30);
BENCHMARK_TEMPLATE(BM_ParseAndCount, SUB_S_LUCKY_USER)->Arg(10);
BENCHMARK_TEMPLATE(BM_ParseAndCount, SUB_S_MY_BUY_RECORD)->Arg(10);
BENCHMARK_TEMPLATE(BM_ParseAndCount, SUB_S_GOODS_LIST)->Arg(7);
BENCHMARK_TEMPLATE(BM_ParseAndCount, SUB_S_LIKE_STATE)->Arg(7);
BENCHMARK_TEMPLATE(BM_ParseAndCount, SUB_S_LIKE_UPDATE)->Arg(7);
BENCHMARK_TEMPLATE(BM_ParseAndCount, SUB_S_EXCHANGE_GOODS)->Arg(1);

// Alternating lists of different goods: after the first, nothing may be
// allocated. Fails the benchmark if anything is.
void BM_SteadyGoodsStreamAllocations(benchmark::State& state) {
  CBuyData store;
  store.SetTraceOutput(NullTrace());
  const std::vector<unsigned char> bodies[] = {GoodsBody(7, 1001), GoodsBody(5, 2001), GoodsBody(7, 3001),
                                               GoodsBody(0, 1)};
  store.UpdateData(bodies[0].data(), static_cast<std::uint16_t>(bodies[0].size()));
  const std::size_t before = g_allocations.load();
  std::size_t round = 0;
  for (auto _ : state) {
    const auto& body = bodies[++round % 4];
    store.UpdateData(body.data(), static_cast<std::uint16_t>(body.size()));
  }
  const std::size_t allocations = g_allocations.load() - before;
  state.counters["allocations_after_first"] = static_cast<double>(allocations);
  state.counters["objects_created"] = static_cast<double>(store.GetCreatedCount());
  if (allocations != 0) state.SkipWithError("goods lists allocated after the first");
}
BENCHMARK(BM_SteadyGoodsStreamAllocations);

}  // namespace

BENCHMARK_MAIN();
