// What each server message costs through the dialog's OnGameMessage, with
// the heap allocations it makes once the client is warm (an auction result
// also with room on the notice band, where it starts a notice); the client's
// resident size after start-up and after many thousands of messages; and
// what a notice's glyph font costs.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/messages/allocationcounter.h"
#include "client/core/cmd_velmora.h"
#include "client/core/gameclientdlg.h"
#include "client/views/gfxfont.h"
#include "client/views/systemnotice.h"
#include "testing/headlessclient.h"
#include "platform/text/textconv.h"

namespace {

constexpr std::uint32_t kOtherUser = 99;
constexpr int kWarmUp = 64;

veltest::HeadlessClient& Client() { return veltest::HeadlessClient::Shared(); }

long ResidentKb() {
  long pages = 0, resident = 0;
  std::ifstream statm("/proc/self/statm");
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

template <class T>
std::vector<std::uint8_t> Bytes(const T* records, std::size_t count) {
  std::vector<std::uint8_t> out(sizeof(T) * count);
  if (count) std::memcpy(out.data(), records, out.size());
  return out;
}

std::vector<std::uint8_t> GoodsList() {
  const auto scene = veltest::HeadlessClient::DefaultScene();
  return Bytes(scene.data(), scene.size());
}

std::vector<std::uint8_t> BuyNotify(std::uint32_t userId) {
  CMD_GF_VELMORA_BUY_NTF n{};
  n.userId = userId;
  n.goodsId = veltest::HeadlessClient::kLotGoodsId;
  n.shares = 0;  // a count that never sells the lot out, however often it comes
  SetFieldText(n.buyTime, "2026-12-09 10:00:00");
  return Bytes(&n, 1);
}

std::vector<std::uint8_t> LikeUpdate() {
  CMD_GF_VELMORA_LIKE_UPDATE_ENTRY e[LIKE_ENTRY_COUNT] = {};
  for (std::uint32_t i = 0; i < LIKE_ENTRY_COUNT; ++i) e[i] = {0, 1001 + i, 5 + i};
  return Bytes(e, LIKE_ENTRY_COUNT);
}

std::vector<std::uint8_t> LikeState() {
  CMD_GF_VELMORA_LIKE_STATE_ENTRY e[LIKE_ENTRY_COUNT] = {};
  for (std::uint32_t i = 0; i < LIKE_ENTRY_COUNT; ++i) e[i] = {1001 + i, i == 2, 5 + i};
  return Bytes(e, LIKE_ENTRY_COUNT);
}

std::vector<std::uint8_t> AuctionResult() {
  CMD_GF_VELMORA_AUCTION_RESULT_NTF r{};
  r.kind = AUCTION_RESULT_WON;
  SetFieldText(r.winnerNickname, plat::Utf8ToGbk("幸运星"));
  r.goodsNumber = 57;
  r.nextGoodsNumber = 58;
  SetFieldText(r.drawTime, "2026-12-09 10:01:00");
  r.winnerShares = 30;
  return Bytes(&r, 1);
}

std::vector<std::uint8_t> RecentlyResult() {
  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> list(30);
  for (std::size_t i = 0; i < list.size(); ++i) {
    list[i] = {};
    list[i].goodsNumber = static_cast<std::uint32_t>(10 + i);
    SetFieldText(list[i].goodsName, plat::Utf8ToGbk("智能手机"));
    SetFieldText(list[i].winnerNickname, plat::Utf8ToGbk("买家甲"));
    list[i].winnerShares = 20;
    SetFieldText(list[i].drawTime, "2026-12-09 09:00:00");
  }
  return Bytes(list.data(), list.size());
}

std::vector<std::uint8_t> BuyResult() {
  const CMD_GF_VELMORA_BUY_RSP r{BUY_RESULT_COINS_SHORT};
  return Bytes(&r, 1);
}

std::vector<std::uint8_t> AuctionStart() {
  const CMD_GF_VELMORA_AUCTION_START_NTF s{57};
  return Bytes(&s, 1);
}

// One message kind sent over and over; reports allocations per message after a warm-up.
void RunMessage(benchmark::State& state, std::uint16_t sub, const std::vector<std::uint8_t>& body) {
  veltest::HeadlessClient& c = Client();
  c.ResetScene();
  CGameClientDlg& dlg = c.Dlg();
  const auto size = static_cast<std::uint16_t>(body.size());
  for (int i = 0; i < kWarmUp; ++i) dlg.OnGameMessage(sub, body.data(), size);
  const std::uint64_t before = velbench::AllocationCount();
  bool accepted = true;
  for (auto _ : state) accepted = dlg.OnGameMessage(sub, body.data(), size) && accepted;
  const std::uint64_t allocations = velbench::AllocationCount() - before;
  state.counters["allocs_per_msg"] =
      benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
  if (!accepted) state.SkipWithError("the dialog rejected the message");
}

}  // namespace

BENCHMARK_CAPTURE(RunMessage, buy_result, SUB_S_BUY_RESULT, BuyResult());
BENCHMARK_CAPTURE(RunMessage, buy_notify_other, SUB_S_BUY_NOTIFY, BuyNotify(kOtherUser));
BENCHMARK_CAPTURE(RunMessage, buy_notify_mine, SUB_S_BUY_NOTIFY, BuyNotify(veltest::HeadlessClient::kUserId));
BENCHMARK_CAPTURE(RunMessage, auction_result, SUB_S_AUCTION_RESULT, AuctionResult());
BENCHMARK_CAPTURE(RunMessage, recently_result_30, SUB_S_RECENTLY_RESULT, RecentlyResult());
BENCHMARK_CAPTURE(RunMessage, auction_start, SUB_S_AUCTION_START, AuctionStart());
BENCHMARK_CAPTURE(RunMessage, goods_list_7, SUB_S_GOODS_LIST, GoodsList());
BENCHMARK_CAPTURE(RunMessage, like_state, SUB_S_LIKE_STATE, LikeState());
BENCHMARK_CAPTURE(RunMessage, like_update, SUB_S_LIKE_UPDATE, LikeUpdate());

// An auction result that starts a notice on an empty band (the one above meets a full band,
// which starts none), and beside it the allocations of the same notice made alone: its
// object, its font and its copy of the text.
void BM_ResultStartingNotice(benchmark::State& state) {
  veltest::HeadlessClient& c = Client();
  c.ResetScene();
  CGameClientDlg& dlg = c.Dlg();
  const std::vector<std::uint8_t> body = AuctionResult();
  const auto size = static_cast<std::uint16_t>(body.size());
  for (int i = 0; i < kWarmUp; ++i) dlg.OnGameMessage(SUB_S_AUCTION_RESULT, body.data(), size);
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (const auto& notice : CSystemNotice::ActiveNotices()) notice->Update(1e6f);
    CSystemNotice::UpdateAndDrawAll();  // every notice has run out and leaves
    const std::uint64_t before = velbench::AllocationCount();
    state.ResumeTiming();
    dlg.OnGameMessage(SUB_S_AUCTION_RESULT, body.data(), size);
    state.PauseTiming();
    allocations += velbench::AllocationCount() - before;
    state.ResumeTiming();
  }
  const std::string text = CSystemNotice::ActiveNotices().empty() ? std::string()
                                                                  : CSystemNotice::ActiveNotices().front()->Text();
  const std::uint64_t before = velbench::AllocationCount();
  {
    CSystemNotice alone;
    alone.Init();
    alone.SetText(std::string(text), CSystemNotice::kBandX, CSystemNotice::kBandY);
  }
  // The notice made with new in the game: one allocation more than one on the stack.
  const std::uint64_t aloneAllocations = velbench::AllocationCount() - before + 1;
  state.counters["allocs_per_msg"] =
      benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
  state.counters["notice_allocs"] = benchmark::Counter(static_cast<double>(aloneAllocations));
}
BENCHMARK(BM_ResultStartingNotice)->Unit(benchmark::kMicrosecond);

// Resident size after start-up, then after an hour of game traffic: about 20
// messages a second, a lot closing every 65 s (a result, a notice and the
// updated history), an own purchase every 10th message, and a frame drawn
// every 8 messages with the game time it stands for.
void BM_ResidentSize(benchmark::State& state) {
  constexpr long kMessagesPerLot = 1300;
  constexpr long kMessagesPerFrame = 8;
  constexpr std::uint64_t kFrameMs = 400;
  veltest::HeadlessClient& c = Client();
  c.ResetScene();
  c.Step(16);
  const long startKb = ResidentKb();
  const std::vector<std::uint8_t> mix[] = {GoodsList(), BuyNotify(kOtherUser), LikeUpdate(),
                                           BuyNotify(veltest::HeadlessClient::kUserId), AuctionResult(),
                                           RecentlyResult()};
  const std::uint16_t subs[] = {SUB_S_GOODS_LIST, SUB_S_BUY_NOTIFY,     SUB_S_LIKE_UPDATE,
                                SUB_S_BUY_NOTIFY, SUB_S_AUCTION_RESULT, SUB_S_RECENTLY_RESULT};
  const long messages = state.range(0);
  long afterWarmKb = 0;
  for (auto _ : state) {
    for (long i = 0; i < messages; ++i) {
      std::size_t k = static_cast<std::size_t>(i % 3);
      if (i % 10 == 0) k = 3;
      if (i % kMessagesPerLot == 0) k = 4;
      if (i % kMessagesPerLot == 1) k = 5;
      c.PushGame(subs[k], mix[k].data(), mix[k].size());
      if (i % kMessagesPerFrame == 0) c.Step(kFrameMs);
      if (i == messages / 10) afterWarmKb = ResidentKb();
    }
  }
  state.counters["rss_start_kb"] = static_cast<double>(startKb);
  state.counters["rss_warm_kb"] = static_cast<double>(afterWarmKb);
  state.counters["rss_end_kb"] = static_cast<double>(ResidentKb());
}
BENCHMARK(BM_ResidentSize)->Arg(72000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A notice's font: making it, and its first full draw of a notice text (every
// glyph rasterised once); the glyph table is the fixed part of its size.
void BM_NoticeFont(benchmark::State& state) {
  Client();
  const std::string text = plat::Utf8ToGbk("玩家幸运星购买57号商品 单反相机 30份，并一举中奖，恭喜！");
  const long before = ResidentKb();
  for (auto _ : state) {
    CSystemNotice notice;
    notice.Init();
    notice.SetText(text, CSystemNotice::kBandX, CSystemNotice::kBandY);
    notice.Draw();
    benchmark::DoNotOptimize(notice.Width());
  }
  state.counters["glyph_table_bytes"] = static_cast<double>(sizeof(GfxFont::GlyphRecord) * GfxFont::kTableSize);
  state.counters["rss_growth_kb"] = static_cast<double>(ResidentKb() - before);
}
BENCHMARK(BM_NoticeFont)->Unit(benchmark::kMicrosecond);

// What a running notice holds: the band's most notices alive at once, each drawn
// once, and the resident size they add between them.
void BM_LiveNoticeResident(benchmark::State& state) {
  Client();
  const std::string text = plat::Utf8ToGbk("玩家幸运星购买57号商品 单反相机 30份，并一举中奖，恭喜！");
  constexpr std::size_t kAlive = CSystemNotice::kMaxActive;
  long growthKb = 0;
  for (auto _ : state) {
    const long before = ResidentKb();
    std::vector<std::unique_ptr<CSystemNotice>> alive;
    for (std::size_t i = 0; i < kAlive; ++i) {
      alive.push_back(std::make_unique<CSystemNotice>());
      alive.back()->Init();
      alive.back()->SetText(text, CSystemNotice::kBandX, CSystemNotice::kBandY);
      alive.back()->Draw();
    }
    growthKb = ResidentKb() - before;
  }
  state.counters["rss_per_notice_kb"] = static_cast<double>(growthKb) / kAlive;
}
BENCHMARK(BM_LiveNoticeResident)->Iterations(1)->Unit(benchmark::kMillisecond);

// The client traces every message on stdout, so the results go to stderr.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!std::freopen("/dev/null", "w", stdout)) return 1;
  benchmark::ConsoleReporter reporter;
  reporter.SetOutputStream(&std::cerr);
  reporter.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
