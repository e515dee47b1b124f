// One full game frame (input, messages, timers, the whole draw) headless at
// 1280 x 720 with everything on screen, beside a plain copy of one screen
// buffer measured in the same run: the ratio is the figure that carries over
// between machines. VELMORA_FRAME_PNG=path saves the measured screen.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/frame/fullscreen.h"
#include "bench/messages/allocationcounter.h"
#include "client/views/systemnotice.h"
#include "platform/render/renderdevice.h"
#include "platform/text/textconv.h"
#include "testing/headlessclient.h"

namespace {

constexpr std::size_t kScreenBytes = std::size_t{veltest::HeadlessClient::kWidth} * veltest::HeadlessClient::kHeight * 4;
// Game time per measured frame: small, so notices and timers barely move and
// the screen stays full; the set-up is renewed now and then all the same.
constexpr std::uint64_t kStepMs = 1;
constexpr std::int64_t kRenewEvery = 4000;

veltest::HeadlessClient& Client() { return veltest::HeadlessClient::Shared(); }

// Arg 1: the device redraws only what changed (the default); 0: every frame in full.
void BM_FullFrame(benchmark::State& state) {
  veltest::HeadlessClient& c = Client();
  c.Device().SetDirtyTracking(state.range(0) != 0);
  velbench::ShowEverything(c);
  std::int64_t n = 0;
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    const std::uint64_t before = velbench::AllocationCount();
    c.Step(kStepMs);
    allocations += velbench::AllocationCount() - before;
    if (++n % kRenewEvery == 0) {
      state.PauseTiming();
      velbench::ShowEverything(c);
      state.ResumeTiming();
    }
  }
  state.counters["allocations_per_frame"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
  c.Device().SetDirtyTracking(true);
}
BENCHMARK(BM_FullFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The game sleeps 16 ms between frames while other programs run: its frame starts with caches
// that hold little of the client. Here each frame (redrawing what changed) follows a pass
// over 64 MB, outside the timing. Arg: game time per frame in ms (16: notices and timers
// move as in play).
void BM_FrameAfterCachesFlushed(benchmark::State& state) {
  veltest::HeadlessClient& c = Client();
  c.Device().SetDirtyTracking(true);
  velbench::ShowEverything(c);
  std::vector<std::uint8_t> flush(std::size_t{64} << 20, 1);
  const auto stepMs = static_cast<std::uint64_t>(state.range(0));
  std::int64_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (std::size_t i = 0; i < flush.size(); i += 64) flush[i] = static_cast<std::uint8_t>(flush[i] + 1);
    benchmark::ClobberMemory();
    if (++n % kRenewEvery == 0) velbench::ShowEverything(c);
    state.ResumeTiming();
    c.Step(stepMs);
  }
}
BENCHMARK(BM_FrameAfterCachesFlushed)->Arg(1)->Arg(16)->Unit(benchmark::kMicrosecond);

// One copy of a screen from memory no cache holds: buffers rotate through 177 MB. The yardstick
// the steady frame is measured against.
void BM_ColdScreenCopy(benchmark::State& state) {
  constexpr int kPairs = 24;
  std::vector<std::vector<std::uint8_t>> from(kPairs), to(kPairs);
  for (int i = 0; i < kPairs; ++i) {
    from[i].assign(kScreenBytes, static_cast<std::uint8_t>(0x5A + i));
    to[i].assign(kScreenBytes, 0);
  }
  int k = 0;
  for (auto _ : state) {
    std::memcpy(to[k].data(), from[k].data(), kScreenBytes);
    benchmark::DoNotOptimize(to[k].data());
    benchmark::ClobberMemory();
    k = (k + 1) % kPairs;
  }
}
BENCHMARK(BM_ColdScreenCopy)->Unit(benchmark::kMicrosecond);

void BM_CopyScreenBuffer(benchmark::State& state) {
  std::vector<std::uint8_t> from(kScreenBytes, 0x5A), to(kScreenBytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kScreenBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kScreenBytes));
}
BENCHMARK(BM_CopyScreenBuffer)->Unit(benchmark::kMicrosecond);

// The notice band alone on a device of its own: an opaque background and `range(0)` notices
// scrolling a pixel a frame at 60 fps, late in a game when several queue up. What is measured
// is the band's part of a steady frame: the notices' glyphs drawn (or taken over) and the
// frame's redraw of what they changed.
void BM_NoticeBandFrame(benchmark::State& state) {
  const auto notices = static_cast<std::size_t>(state.range(0));
  auto dev = plat::RenderDevice::CreateHeadless(veltest::HeadlessClient::kWidth,
                                                veltest::HeadlessClient::kHeight);
  if (!dev) {
    state.SkipWithError("no device");
    return;
  }
  const std::string texts[] = {
      plat::Utf8ToGbk("恭喜玩家 星河漫步 以 120 份获得 7号商品 单反相机!"),
      plat::Utf8ToGbk("恭喜玩家 小橘子 获得 8号商品 游戏主机!"),
      plat::Utf8ToGbk("玩家 Mallow 以 35 份买下了 3号商品 蓝牙耳机"),
  };
  CSystemNotice::ClearAll();
  std::size_t made = 0;
  const auto topUp = [&] {
    while (CSystemNotice::ActiveNotices().size() < notices)
      CSystemNotice::AddNotice(texts[made++ % 3], false, CSystemNotice::kBandX, CSystemNotice::kBandY);
  };
  topUp();
  constexpr float kDelta = 1.0f / 60.0f;
  for (auto _ : state) {
    dev->BeginFrame(kDelta);
    dev->FillRect(0, 0, dev->Width(), dev->Height(), 0xFF203048);
    CSystemNotice::UpdateAndDrawAll();
    dev->EndFrame();
    if (CSystemNotice::ActiveNotices().size() < notices) {
      state.PauseTiming();
      topUp();  // a new notice makes its font and glyphs: not the steady frame
      state.ResumeTiming();
    }
  }
  state.counters["redrawn_px"] = benchmark::Counter(
      static_cast<double>(dev->Stats().redrawnPixels), benchmark::Counter::kAvgIterations);
  CSystemNotice::ClearAll();  // the fonts' textures go before the device
}
BENCHMARK(BM_NoticeBandFrame)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (const char* png = std::getenv("VELMORA_FRAME_PNG")) {
    velbench::ShowEverything(Client());
    Client().Step(kStepMs);
    if (!Client().Device().SavePng(png)) return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
