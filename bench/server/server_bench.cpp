// Purchases per second of one server thread with 1, 10 or 100 players on
// loopback, each buying one share at a time and waiting for the answer, while
// every purchase is announced to all of them; with a durable store (a sync per
// commit) and with --fast-sync, side by side. The purchases of one turn of the
// server's loop share a commit: purchases/commit tells how many did. Reports
// the process's memory too. The database goes to $VELMORA_BENCH_DIR, else the
// temporary folder (it must be on a real disk for the sync to cost anything).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <asio.hpp>
#include <sys/resource.h>

#include "client/core/cmd_velmora.h"
#include "platform/net/framedecoder.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "server/auction.h"
#include "server/server.h"

namespace {

namespace net = plat::net;

// Purchases each client makes per benchmark iteration.
int BuysPerClient(int clients) { return clients >= 10 ? 2000 / clients : 200; }

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ReadStatusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  }
  return -1;
}

// Lots too large to sell out during the run.
std::string BenchGoodsXml() {
  std::string xml = "<goodsList sharePrice=\"10000\">";
  for (int i = 1; i <= 8; ++i)
    xml += "<goods id=\"" + std::to_string(i) + "\" name=\"bench" + std::to_string(i) +
           "\" value=\"1\" picture=\"g.png\" shares=\"100000000\" minPurchase=\"10000\" remainderThreshold=\"0\"/>";
  return xml + "</goodsList>";
}

class BenchClient {
 public:
  BenchClient(asio::io_context& io, int index, int* outstanding) : socket_(io), index_(index), outstanding_(outstanding) {}

  void Connect(std::uint16_t port) {
    socket_.connect(asio::ip::tcp::endpoint(asio::ip::address_v4::loopback(), port));
    socket_.set_option(asio::ip::tcp::no_delay(true));
    net::NetLoginRequest req{};
    SetFieldText(req.nickname, "bench" + std::to_string(index_));
    req.protocolVersion = net::kProtocolVersion;
    SetFieldText(req.password, "bench-password");
    SendFrame(net::kMainLogin, net::kSubLoginRequest, &req, sizeof(req));
    Read();
  }

  // Starts a run of purchases; each answer sends the next one.
  void Begin(int buys) {
    left_ = buys;
    if (lotId_ != 0) SendBuy();
    else pendingStart_ = true;
  }
  std::uint64_t Accepted() const { return accepted_; }

 private:
  void SendFrame(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) {
    auto frame = std::make_shared<std::string>();
    net::AppendFrame(*frame, mainCmd, subCmd, data, size);
    asio::async_write(socket_, asio::buffer(*frame), [frame](const asio::error_code&, std::size_t) {});
  }
  void SendBuy() {
    const auto req = MakeBuyRequest(lotId_, 1);
    SendFrame(MDM_GF_GAME, SUB_C_BUY, &req, sizeof(req));
  }
  void Read() {
    socket_.async_read_some(asio::buffer(buffer_), [this](const asio::error_code& ec, std::size_t n) {
      if (ec) return;
      decoder_.Feed(buffer_.data(), n);
      net::FrameView f;
      while (decoder_.Next(&f) == net::FrameDecoder::Status::Ready) Handle(f);
      Read();
    });
  }
  void Handle(const net::FrameView& f) {
    if (f.header.mainCmd == net::kMainScene) {
      for (std::size_t off = 0; off + sizeof(CMD_GF_VELMORA_GOODS_ITEM) <= f.size; off += sizeof(CMD_GF_VELMORA_GOODS_ITEM)) {
        CMD_GF_VELMORA_GOODS_ITEM item;
        std::memcpy(&item, f.payload + off, sizeof(item));
        if (item.state == GOODS_STATE_SELLING) lotId_ = item.goodsId;
      }
      if (pendingStart_) {
        pendingStart_ = false;
        SendBuy();
      }
    } else if (f.header.mainCmd == MDM_GF_GAME && f.header.subCmd == SUB_S_BUY_RESULT && f.size == 1) {
      if (f.payload[0] == BUY_RESULT_OK) ++accepted_;
      --*outstanding_;
      if (--left_ > 0) SendBuy();
    }
  }

  asio::ip::tcp::socket socket_;
  int index_;
  int* outstanding_;
  int left_ = 0;
  bool pendingStart_ = false;
  std::uint32_t lotId_ = 0;
  std::uint64_t accepted_ = 0;
  net::FrameDecoder decoder_;
  std::array<std::uint8_t, 65536> buffer_{};
};

void RunPurchases(benchmark::State& state, bool durable) {
  const int players = static_cast<int>(state.range(0));
  const int buysPerClient = BuysPerClient(players);
  const char* base = std::getenv("VELMORA_BENCH_DIR");
  const std::filesystem::path folder = base != nullptr && *base != 0 ? std::filesystem::path(base)
                                                                    : std::filesystem::temp_directory_path();
  const std::string dir = folder / ("velmora-bench-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/goods.xml") << BenchGoodsXml();

  const long rssBefore = ReadStatusKb("VmRSS");
  velsrv::ServerOptions options;
  options.dbPath = dir + "/bench.db";
  options.goodsFile = dir + "/goods.xml";
  options.bots = 0;
  options.lotSeconds = 86400;
  options.initialCoins = 2000000000;
  options.seed = 1;
  options.durable = durable;
  options.maxPerAddress = players;  // every client comes from loopback
  options.RelaxAccountChecksForTests();  // logins are not what is measured
  options.plain = true;
  velsrv::Server server;
  std::string error;
  if (!server.Start(0, options, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  asio::io_context io;
  int outstanding = 0;
  std::vector<std::unique_ptr<BenchClient>> clients;
  for (int i = 0; i < players; ++i) {
    clients.push_back(std::make_unique<BenchClient>(io, i, &outstanding));
    clients.back()->Connect(server.Port());
  }
  velsrv::Auction::GroupStats groupsBefore;
  server.Inspect([&](velsrv::Auction& game, velsrv::Store&) { groupsBefore = game.PurchaseGroups(); });
  const double cpuBefore = CpuSeconds();
  for (auto _ : state) {
    outstanding = players * buysPerClient;
    for (auto& c : clients) c->Begin(buysPerClient);
    while (outstanding > 0 && io.run_one() > 0) {
    }
  }
  io.poll();
  std::uint64_t accepted = 0;
  for (auto& c : clients) accepted += c->Accepted();
  const long rssAfter = ReadStatusKb("VmRSS");
  const double purchases = static_cast<double>(state.iterations()) * players * buysPerClient;
  // Server and clients together: an upper bound of the server's own cost.
  state.counters["cpu_us/purchase"] = (CpuSeconds() - cpuBefore) * 1e6 / purchases;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * players * buysPerClient);
  state.counters["purchases/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * players * buysPerClient, benchmark::Counter::kIsRate);
  state.counters["accepted"] = static_cast<double>(accepted);
  velsrv::Auction::GroupStats groups;
  server.Inspect([&](velsrv::Auction& game, velsrv::Store&) { groups = game.PurchaseGroups(); });
  const double commits = static_cast<double>(groups.groups - groupsBefore.groups);
  state.counters["purchases/commit"] =
      commits > 0 ? static_cast<double>(groups.purchases - groupsBefore.purchases) / commits : 0.0;
  state.counters["rss_MiB"] = rssAfter / 1024.0;
  state.counters["rss_growth_MiB"] = (rssAfter - rssBefore) / 1024.0;
  state.counters["peak_MiB"] = ReadStatusKb("VmHWM") / 1024.0;
  clients.clear();
  server.Stop();
  std::filesystem::remove_all(dir);
}

void BM_PurchasesDurable(benchmark::State& state) { RunPurchases(state, true); }
void BM_PurchasesFastSync(benchmark::State& state) { RunPurchases(state, false); }

// Alternating, so that both modes see the same machine.
BENCHMARK(BM_PurchasesDurable)->Arg(1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PurchasesFastSync)->Arg(1)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PurchasesDurable)->Arg(10)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PurchasesFastSync)->Arg(10)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PurchasesDurable)->Arg(100)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PurchasesFastSync)->Arg(100)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
