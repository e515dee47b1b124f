// Headless frame cost against a plain buffer copy, plus the per-glyph and per-texture costs the
// glyph font pays once per character.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/render/glyphrasterizer.h"
#include "platform/render/hgesprite.h"
#include "platform/render/renderdevice.h"
#include "platform/text/textconv.h"

namespace {

constexpr int kScreenW = 1280, kScreenH = 720;
constexpr int kSprites = 40;
constexpr int kGlyphQuads = 200;
constexpr int kGlyphSize = 14;
constexpr int kTileW = 103, kTileH = 85;    // a goods picture on a tile (290 x 240 scaled 0.355)
constexpr int kButtonW = 80, kButtonH = 32;
const std::string kFace = plat::Utf8ToGbk("宋体");

HTEXTURE MakeTexture(plat::RenderDevice& dev, int w, int h, bool alpha) {
  const HTEXTURE t = dev.Texture_Create(w, h);
  std::uint32_t* p = dev.Texture_Lock(t, false);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t a = alpha ? static_cast<std::uint32_t>((x * 255) / w) : 0xFFu;
      p[y * w + x] = (a << 24) | static_cast<std::uint32_t>(((x * 7) & 0xFF) << 16 |
                                                          ((y * 5) & 0xFF) << 8 | 0x40);
    }
  dev.Texture_Unlock(t);
  return t;
}

// A glyph texture the way the font builds one: white, alpha from the gray bitmap.
HTEXTURE GlyphTexture(plat::RenderDevice& dev, plat::GlyphRasterizer& r, char16_t c) {
  plat::GlyphMetrics m{};
  const long n = r.GetGlyph(c, plat::GGO_GRAY8_BITMAP, &m, 0, nullptr);
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(n > 0 ? n : 0));
  if (n > 0) r.GetGlyph(c, plat::GGO_GRAY8_BITMAP, &m, static_cast<unsigned>(n), bits.data());
  const HTEXTURE t = dev.Texture_Create(static_cast<int>(m.blackBoxX), static_cast<int>(m.blackBoxY));
  std::uint32_t* p = dev.Texture_Lock(t, false);
  const unsigned pitch = plat::GlyphRowBytes(plat::GGO_GRAY8_BITMAP, m.blackBoxX);
  const int tw = dev.Texture_GetWidth(t);
  for (unsigned y = 0; y < m.blackBoxY; ++y)
    for (unsigned x = 0; x < m.blackBoxX; ++x) {
      const unsigned v = bits.empty() ? 0 : bits[y * pitch + x];
      const std::uint32_t a = v >= 64 ? 255 : v * 4;
      p[y * tw + x] = (a << 24) | 0xFFFFFF;
    }
  dev.Texture_Unlock(t);
  return t;
}

struct Scene {
  explicit Scene(bool fourCornerGlyphs) : dev(plat::RenderDevice::CreateHeadless(kScreenW, kScreenH)) {
    background = MakeTexture(*dev, kScreenW, kScreenH, false);
    tile = MakeTexture(*dev, kTileW, kTileH, true);
    button = MakeTexture(*dev, kButtonW, kButtonH, true);
    rasterizer = plat::CreateGlyphRasterizer();
    rasterizer->CreateFont(kFace, kGlyphSize, 700, false);
    const std::u16string text = u"金龙手表翡翠手镯智能手机笔记本电脑山地自行车";
    for (char16_t c : text) glyphs.push_back(GlyphTexture(*dev, *rasterizer, c));
    glyph = std::make_unique<hgeSprite>(0, 0, 0, 0, 0);
    if (fourCornerGlyphs) {
      glyph->SetColor(0xFFFFD040, 0);
      glyph->SetColor(0xFFFF8040, 1);
      glyph->SetColor(0xFFB6B6B6, 2);
      glyph->SetColor(0xFF40A0FF, 3);
    } else {
      glyph->SetColor(0xFFB6B6B6);
    }
  }
  void Draw() {
    dev->BeginFrame(0.016f);
    hgeSprite bg(background, 0, 0, kScreenW, kScreenH);
    bg.Render(0, 0);
    hgeSprite tileSprite(tile, 0, 0, kTileW, kTileH);
    hgeSprite buttonSprite(button, 0, 0, kButtonW, kButtonH);
    for (int i = 0; i < kSprites; ++i) {
      hgeSprite& s = (i % 2) ? buttonSprite : tileSprite;
      s.Render(static_cast<float>(40 + (i % 10) * 120), static_cast<float>(60 + (i / 10) * 130));
    }
    for (int i = 0; i < kGlyphQuads; ++i) {
      const HTEXTURE t = glyphs[static_cast<std::size_t>(i) % glyphs.size()];
      glyph->SetTexture(t);
      glyph->SetTextureRect(0, 0, static_cast<float>(dev->Texture_GetWidth(t)),
                            static_cast<float>(dev->Texture_GetHeight(t)));
      glyph->Render(static_cast<float>(100 + (i % 50) * 15), static_cast<float>(600 + (i / 50) * 16));
    }
    dev->EndFrame();
  }
  std::unique_ptr<plat::RenderDevice> dev;
  HTEXTURE background = 0, tile = 0, button = 0;
  std::unique_ptr<plat::GlyphRasterizer> rasterizer;
  std::vector<HTEXTURE> glyphs;
  std::unique_ptr<hgeSprite> glyph;
};

void BM_FullFrame(benchmark::State& state) {
  Scene scene(state.range(0) != 0);
  for (auto _ : state) scene.Draw();
}
BENCHMARK(BM_FullFrame)->Arg(0)->Arg(1)->ArgName("fourCornerGlyphs")->Unit(benchmark::kMillisecond);

void BM_MemcpyScreenBuffer(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(kScreenW) * kScreenH * 4;
  std::vector<std::uint8_t> src(bytes, 0x5A), dst(bytes, 0);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), bytes);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyScreenBuffer)->Unit(benchmark::kMillisecond);

// One goods tile's rectangle drawn again, as a frame does when something over the tile
// changed: the tile's background at its size, then the half-size goods picture (145 x 120)
// scaled by 0.355 with the texture coordinates the toolkit gives it. Arg kept: 0 leaves the
// scaling to SDL at every draw (as before), 1 draws from the texture's kept scaled copy.
void BM_TileRedraw(benchmark::State& state) {
  constexpr int kPictureW = 145, kPictureH = 120;
  auto dev = plat::RenderDevice::CreateHeadless(kScreenW, kScreenH);
  dev->SetDirtyTracking(false);  // each call drawn as it comes: only the tile is drawn
  dev->SetScaledCopies(state.range(0) != 0);
  const HTEXTURE background = MakeTexture(*dev, 141, 118, false);
  const HTEXTURE picture = MakeTexture(*dev, kPictureW, kPictureH, true);
  // The toolkit's coordinates for the level-1 copy of a 290 x 240 image.
  const float u1 = 290 * (145.0f / 290.0f / kPictureW), v1 = 240 * (120.0f / 240.0f / kPictureH);
  hgeSprite tile(background, 0, 0, 141, 118);
  hgeQuad q{};
  q.tex = picture;
  q.blend = BLEND_DEFAULT;
  const float x = 419, y = 127, w = 290 * 0.355f, h = 240 * 0.355f;
  const float xs[4] = {x, x + w, x + w, x}, ys[4] = {y, y, y + h, y + h};
  const float us[4] = {0, u1, u1, 0}, vs[4] = {0, 0, v1, v1};
  for (int i = 0; i < 4; ++i) q.v[i] = hgeVertex{xs[i], ys[i], 0.5f, 0xFFFFFFFFu, us[i], vs[i]};
  for (auto _ : state) {
    tile.Render(400, 100);
    dev->Gfx_RenderQuad(&q);
    benchmark::DoNotOptimize(dev->ReadPixel(470, 170));
  }
  state.counters["scaledCopiesMade"] = static_cast<double>(dev->ScaledCopiesMade());
}
BENCHMARK(BM_TileRedraw)->Arg(0)->Arg(1)->ArgName("kept")->Unit(benchmark::kMicrosecond);

// A windowed frame (SDL's dummy video driver: the window surface is memory, the streaming
// texture's renderer is software) whose only change is a 495 x 20 band, the notice band's size:
// the drawing of the band plus the push. Args: way (0 window surface, 1 streaming texture),
// window (0: 1280 x 720, unscaled; 1: 1600 x 900, scaled), full (1: every frame drawn and pushed
// whole, as without tracking).
void BM_WindowedBandFrame(benchmark::State& state) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  const auto way = state.range(0) == 0 ? plat::RenderDevice::Present::kWindowSurface
                                       : plat::RenderDevice::Present::kStreamingTexture;
  std::string error;
  auto dev = plat::RenderDevice::CreateWindowed("bench", kScreenW, kScreenH, &error, way);
  if (!dev) {
    state.SkipWithError(error.c_str());
    return;
  }
  if (state.range(1) != 0)
    SDL_SetWindowSize(static_cast<SDL_Window*>(dev->System_GetWindowHandle()), 1600, 900);
  dev->SetDirtyTracking(state.range(2) == 0);
  int frame = 0;
  for (auto _ : state) {
    dev->BeginFrame(1.0f / 60);
    dev->FillRect(0, 0, kScreenW, kScreenH, 0xFF602020u);
    dev->FillRect(250, 78, 495, 20, 0xFF000000u);
    dev->FillRect(250 + frame % 480, 80, 14, 14, 0xFFFFFFFFu);
    dev->EndFrame();
    ++frame;
  }
  state.counters["pushedPixelsPerFrame"] =
      static_cast<double>(dev->PresentCounts().pushedPixels) / std::max(frame, 1);
}
BENCHMARK(BM_WindowedBandFrame)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->ArgNames({"texture", "scaled", "full"})
    ->Unit(benchmark::kMicrosecond);

// Write path of a new glyph texture: the device's lock (CPU copy, upload on unlock) ...
void BM_GlyphTextureLockWrite(benchmark::State& state) {
  auto dev = plat::RenderDevice::CreateHeadless(64, 64);
  const HTEXTURE t = dev->Texture_Create(kGlyphSize, kGlyphSize);
  for (auto _ : state) {
    std::uint32_t* p = dev->Texture_Lock(t, false);
    for (int i = 0; i < kGlyphSize * kGlyphSize; ++i) p[i] = 0x80FFFFFFu;
    dev->Texture_Unlock(t);
  }
}
BENCHMARK(BM_GlyphTextureLockWrite);

// ... beside SDL's own streaming texture lock, the alternative design.
void BM_SdlStreamingLockWrite(benchmark::State& state) {
  auto dev = plat::RenderDevice::CreateHeadless(64, 64);
  SDL_Texture* t = SDL_CreateTexture(dev->Sdl(), SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STREAMING, kGlyphSize, kGlyphSize);
  for (auto _ : state) {
    void* pixels = nullptr;
    int pitch = 0;
    SDL_LockTexture(t, nullptr, &pixels, &pitch);
    for (int y = 0; y < kGlyphSize; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(pixels) + y * pitch);
      for (int x = 0; x < kGlyphSize; ++x) row[x] = 0x80FFFFFFu;
    }
    SDL_UnlockTexture(t);
  }
  SDL_DestroyTexture(t);
}
BENCHMARK(BM_SdlStreamingLockWrite);

void BM_GlyphTextureCreateFree(benchmark::State& state) {
  auto dev = plat::RenderDevice::CreateHeadless(64, 64);
  for (auto _ : state) dev->Texture_Free(dev->Texture_Create(kGlyphSize, kGlyphSize));
}
BENCHMARK(BM_GlyphTextureCreateFree);

// One new glyph: the size request and the data request, as the font makes them.
void BM_RasterizeGlyph(benchmark::State& state) {
  auto r = plat::CreateGlyphRasterizer();
  r->CreateFont(kFace, kGlyphSize, 700, false);
  const unsigned format = static_cast<unsigned>(state.range(0));
  std::vector<std::uint8_t> buffer(4096);
  char16_t c = 0x4E00;
  for (auto _ : state) {
    plat::GlyphMetrics m{};
    const long n = r->GetGlyph(c, format, &m, 0, nullptr);
    r->GetGlyph(c, format, &m, static_cast<unsigned>(n), buffer.data());
    c = c < 0x9FA0 ? static_cast<char16_t>(c + 1) : char16_t(0x4E00);
  }
}
BENCHMARK(BM_RasterizeGlyph)->Arg(plat::GGO_BITMAP)->Arg(plat::GGO_GRAY8_BITMAP)->ArgName("format");

// A new font drawing a notice whose characters an earlier font already rasterised.
void BM_NoticeFontFromSharedGlyphs(benchmark::State& state) {
  const std::u16string notice = u"恭喜玩家幸运星以份获得号商品金龙手表";
  std::vector<std::uint8_t> buffer(4096);
  for (auto _ : state) {
    auto r = plat::CreateGlyphRasterizer();
    r->CreateFont(kFace, kGlyphSize, 700, false);
    for (char16_t c : notice) {
      plat::GlyphMetrics m{};
      const long n = r->GetGlyph(c, plat::GGO_BITMAP, &m, 0, nullptr);
      r->GetGlyph(c, plat::GGO_BITMAP, &m, static_cast<unsigned>(n), buffer.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(notice.size()));
}
BENCHMARK(BM_NoticeFontFromSharedGlyphs);

// The notice ticker makes one font per notice: the face is opened once, later fonts reuse it.
void BM_CreateFont(benchmark::State& state) {
  for (auto _ : state) {
    auto r = plat::CreateGlyphRasterizer();
    benchmark::DoNotOptimize(r->CreateFont(kFace, kGlyphSize, 700, false));
  }
}
BENCHMARK(BM_CreateFont);

void BM_GbkToUtf16Notice(benchmark::State& state) {
  const std::string notice = plat::Utf8ToGbk("恭喜玩家 幸运星 以 120 份获得 3 号商品 金龙手表!");
  for (auto _ : state) benchmark::DoNotOptimize(plat::GbkToUtf16(notice));
}
BENCHMARK(BM_GbkToUtf16Notice);

}  // namespace

BENCHMARK_MAIN();
