// Where the software renderer spends a frame: one alpha-blended 290 x 240
// picture drawn as textured geometry (how the device draws every quad) and
// as a plain texture copy of the same rectangle.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/render/renderdevice.h"

namespace {

constexpr int kW = 290, kH = 240;
constexpr int kIndices[6] = {0, 1, 2, 0, 2, 3};

struct Scene {
  std::unique_ptr<plat::RenderDevice> device = plat::RenderDevice::CreateHeadless(1280, 720);
  SDL_Texture* texture = nullptr;
  Scene() {
    texture = SDL_CreateTexture(device->Sdl(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kW, kH);
    std::vector<std::uint32_t> pixels(kW * kH, 0x80FF8040u);  // half transparent
    SDL_UpdateTexture(texture, nullptr, pixels.data(), kW * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  }
  ~Scene() { SDL_DestroyTexture(texture); }
};

void BM_QuadAsGeometry(benchmark::State& state) {
  Scene s;
  const SDL_Color white{255, 255, 255, 255};
  const SDL_Vertex v[4] = {{{100, 100}, white, {0, 0}},
                           {{100 + kW, 100}, white, {1, 0}},
                           {{100 + kW, 100 + kH}, white, {1, 1}},
                           {{100, 100 + kH}, white, {0, 1}}};
  for (auto _ : state) {
    SDL_RenderGeometry(s.device->Sdl(), s.texture, v, 4, kIndices, 6);
    SDL_RenderFlush(s.device->Sdl());
  }
}
BENCHMARK(BM_QuadAsGeometry)->Unit(benchmark::kMicrosecond);

void BM_QuadAsCopy(benchmark::State& state) {
  Scene s;
  const SDL_Rect dst{100, 100, kW, kH};
  for (auto _ : state) {
    SDL_RenderCopy(s.device->Sdl(), s.texture, nullptr, &dst);
    SDL_RenderFlush(s.device->Sdl());
  }
}
BENCHMARK(BM_QuadAsCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {

// Many small quads through the device, as text is drawn: glyph-sized textures at their own size
// on whole pixels, each call drawn as it comes. Args: kind 0 white masks tinted with one colour
// (text), 1 masks untinted, 2 opaque cells (a copy per row); quads per iteration.
constexpr int kGlyphW = 12, kGlyphH = 15, kGlyphKinds = 24;

struct SmallQuads {
  std::unique_ptr<plat::RenderDevice> device = plat::RenderDevice::CreateHeadless(1280, 720);
  std::vector<HTEXTURE> textures;
  std::vector<hgeQuad> quads;

  SmallQuads(int kind, int count) {
    device->SetDirtyTracking(false);
    std::uint32_t seed = 12345;
    for (int t = 0; t < kGlyphKinds; ++t) {
      const HTEXTURE tex = device->Texture_Create(kGlyphW, kGlyphH);
      std::uint32_t* p = device->Texture_Lock(tex, false);
      // A glyph: two strokes each way, two pixels wide with a soft pixel on each side, at
      // places that differ from glyph to glyph; clear elsewhere.
      const int sx[2] = {2 + t % 3, 7 + t % 2}, sy[2] = {3 + t % 4, 10 + t % 3};
      for (int y = 0; y < kGlyphH; ++y)
        for (int x = 0; x < kGlyphW; ++x) {
          int d = 99;
          for (int k = 0; k < 2; ++k) d = std::min({d, std::abs(x - sx[k]), std::abs(y - sy[k])});
          seed = seed * 1103515245u + 12345u;
          const std::uint32_t a = kind == 2 ? 255u : d <= 1 ? 255u : d == 2 ? 60u + (seed >> 24) % 140 : 0u;
          p[y * kGlyphW + x] = a << 24 | (kind == 2 ? (seed & 0xFFFFFFu) : 0xFFFFFFu);
        }
      device->Texture_Unlock(tex);
      textures.push_back(tex);
    }
    const std::uint32_t col = kind == 0 ? 0xFFB6B6B6u : 0xFFFFFFFFu;
    for (int i = 0; i < count; ++i) {
      hgeQuad q{};
      q.tex = textures[static_cast<std::size_t>(i) % textures.size()];
      q.blend = BLEND_DEFAULT;
      const float x = static_cast<float>(20 + (i % 80) * 15), y = static_cast<float>(20 + (i / 80) * 17 % 680);
      const float xs[4] = {x, x + kGlyphW, x + kGlyphW, x}, ys[4] = {y, y, y + kGlyphH, y + kGlyphH};
      const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
      for (int c = 0; c < 4; ++c) q.v[c] = hgeVertex{xs[c], ys[c], 0.5f, col, us[c], vs[c]};
      quads.push_back(q);
    }
  }
};

void BM_SmallQuads(benchmark::State& state) {
  SmallQuads s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    for (const hgeQuad& q : s.quads) s.device->Gfx_RenderQuad(&q);
    benchmark::DoNotOptimize(s.device->ReadPixel(25, 25));
  }
  state.SetItemsProcessed(state.iterations() * state.range(1));
}
BENCHMARK(BM_SmallQuads)
    ->ArgsProduct({{0, 1, 2}, {2000}})
    ->ArgNames({"kind", "quads"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
