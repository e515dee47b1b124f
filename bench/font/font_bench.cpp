// Cost of one band font, and of one notice's frame once its glyphs are cached.
#include <benchmark/benchmark.h>

#include <string>

#include "client/views/gfxfont.h"
#include "client/views/systemnotice.h"
#include "platform/render/renderdevice.h"
#include "platform/text/textconv.h"

namespace {

const std::string& FaceGbk() {
  static const std::string face = plat::Utf8ToGbk("宋体");
  return face;
}

// 40 code units: 28 CJK, 12 ASCII.
const std::string& NoticeText() {
  static const std::string text =
      plat::Utf8ToGbk("恭喜玩家星河漫步获得1234号商品单反相机, 本期共售出 5000 份额祝贺大家");
  return text;
}

void BM_CreateGfxFont(benchmark::State& state) {
  auto dev = plat::RenderDevice::CreateHeadless(1280, 720);
  for (auto _ : state) {
    GfxFont font(FaceGbk().c_str(), CSystemNotice::kFontSize, true, false, false);
    benchmark::DoNotOptimize(font.IsValid());
  }
}
BENCHMARK(BM_CreateGfxFont)->Unit(benchmark::kMicrosecond);

// One notice per frame: clip, 40 glyph quads, clip reset, and the renderer finishing the frame.
void BM_DrawCachedNotice40(benchmark::State& state) {
  auto dev = plat::RenderDevice::CreateHeadless(1280, 720);
  dev->SetDelta(0.0f);  // stays in place, so every frame draws the same 40 glyphs
  CSystemNotice notice;
  notice.Init();
  notice.SetText(NoticeText(), CSystemNotice::kBandX, CSystemNotice::kBandY);
  notice.Shift(-480.0f);  // the whole text inside the band
  if (plat::GbkToUtf16(NoticeText()).size() != 40) state.SkipWithError("text is not 40 units");
  for (auto _ : state) {
    notice.Draw();
    dev->EndFrame();
  }
}
BENCHMARK(BM_DrawCachedNotice40)->Unit(benchmark::kMicrosecond);

// The font's share of it: formatting, conversion and the 40 quads, without the renderer's flush.
void BM_FormatCachedText40(benchmark::State& state) {
  auto dev = plat::RenderDevice::CreateHeadless(1280, 720);
  GfxFont font(FaceGbk().c_str(), CSystemNotice::kFontSize, true, false, false);
  font.MeasureWidth(NoticeText().c_str());
  int frames = 0;
  for (auto _ : state) {
    font.DrawFormatted(300.0f, 78.0f, "%s", NoticeText().c_str());
    if (++frames % 64 == 0) {
      state.PauseTiming();
      dev->EndFrame();
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_FormatCachedText40)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
