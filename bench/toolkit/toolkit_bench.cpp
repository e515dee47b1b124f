// Headless cost of the toolkit's text drawing: glyphs come from the atlas, never rasterised.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/render/renderdevice.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/runtime.h"

namespace {

const std::string kSong = plat::Utf8ToGbk("宋");
// 20 characters a line, 10 lines: 200 glyph quads.
const std::string kLine = plat::Utf8ToGbk("剩余份额：98份 夺宝几率 12.50%");
constexpr int kLines = 10;

void BM_Draw200Glyphs(benchmark::State& state) {
  auto device = plat::RenderDevice::CreateHeadless(1280, 720);
  plat::Runtime runtime;  // the state a frame would own, so each draw validates its device
  OrvHgeGraphics g;
  OrvHgeFont font(kSong.c_str(), 14, 0, 0, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    device->BeginFrame(0.0f);
    g._beginDraw();
    for (int i = 0; i < kLines; ++i) font.drawString(&g, kLine, 20, 20 + i * 20, 0);
    g._endDraw();
    device->EndFrame();
  }
  state.SetLabel(state.range(0) ? "gray" : "one-bit");
}
BENCHMARK(BM_Draw200Glyphs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MeasureGbkLine(benchmark::State& state) {
  OrvHgeFont font(kSong.c_str(), 14, 0, 0, 1);
  for (auto _ : state) benchmark::DoNotOptimize(font.getWidth(kLine));
}
BENCHMARK(BM_MeasureGbkLine);

}  // namespace

BENCHMARK_MAIN();
