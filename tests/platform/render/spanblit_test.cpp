// The headless device draws unscaled textured rectangles itself. These tests hold that path to
// the pixels SDL's own modulated blit gives, and to what blending each pixel would give.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "platform/render/pixelspans.h"
#include "platform/render/renderdevice.h"
#include "platform/render/spanblend.h"

namespace {

using plat::PixelSpans;
using plat::RenderDevice;

constexpr int kW = 160, kH = 120;

// Straightforward per-channel reference: colour and alpha modulated, colour premultiplied, then
// source over destination, every division rounded down.
std::uint32_t ReferenceOver(std::uint32_t s, std::uint32_t d, std::uint32_t mod) {
  auto ch = [](std::uint32_t p, int shift) { return (p >> shift) & 0xFFu; };
  const std::uint32_t sa = ch(s, 24) * ch(mod, 24) / 255;
  std::uint32_t out = (sa + (255 - sa) * ch(d, 24) / 255) << 24;
  for (int shift : {16, 8, 0}) {
    const std::uint32_t sc = ch(s, shift) * ch(mod, shift) / 255 * sa / 255;
    out |= (sc + (255 - sa) * ch(d, shift) / 255) << shift;
  }
  return out;
}

// A texture whose pixels mix long opaque runs, transparent holes and partial alpha, so that
// every kind of run and every merge rule is exercised.
std::vector<std::uint32_t> MixedPixels(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    int x = 0;
    while (x < w) {
      const int len = 1 + static_cast<int>(rng() % 20);
      const int kind = static_cast<int>(rng() % 3);
      for (int i = 0; i < len && x < w; ++i, ++x) {
        const std::uint32_t rgb = rng() & 0xFFFFFFu;
        const std::uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : 1 + rng() % 254;
        px[static_cast<std::size_t>(y) * w + x] = a << 24 | rgb;
      }
    }
  }
  return px;
}

hgeQuad CellQuad(float x, float y, int u0, int v0, int w, int h, int texW, int texH,
                 std::uint32_t col, HTEXTURE tex) {
  hgeQuad q{};
  q.tex = tex;
  q.blend = BLEND_DEFAULT;
  const float xs[4] = {x, x + w, x + w, x};
  const float ys[4] = {y, y, y + h, y + h};
  const float us[4] = {float(u0), float(u0 + w), float(u0 + w), float(u0)};
  const float vs[4] = {float(v0), float(v0), float(v0 + h), float(v0 + h)};
  for (int i = 0; i < 4; ++i)
    q.v[i] = hgeVertex{xs[i], ys[i], 0.5f, col, us[i] / texW, vs[i] / texH};
  return q;
}

// Two devices with the same noisy background: one draws through Gfx_RenderQuad, the other
// through SDL's own copy with the same colour modulation and clip; and the expected pixels,
// blended one by one with the reference. SDL's unmodulated blitter rounds differently (it
// darkens white over white), so it is compared only for tinted or faded drawing.
struct Pair {
  std::unique_ptr<RenderDevice> ours = RenderDevice::CreateHeadless(kW, kH);
  std::unique_ptr<RenderDevice> sdl = RenderDevice::CreateHeadless(kW, kH);
  std::vector<std::uint32_t> pixels;
  int texW = 0, texH = 0;
  HTEXTURE tex = 0;
  SDL_Texture* sdlTex = nullptr;
  std::vector<std::uint32_t> expected;
  SDL_Rect clip{0, 0, kW, kH};

  Pair(int w, int h, unsigned seed) : pixels(MixedPixels(w, h, seed)), texW(w), texH(h) {
    auto background = MixedPixels(kW, kH, seed + 1);
    for (auto& px : background) px |= 0xFF000000u;  // opaque, so drawing it is a copy
    expected = background;
    for (RenderDevice* d : {ours.get(), sdl.get()}) {
      d->BeginFrame(0.0f, 0);
      const HTEXTURE bg = d->Texture_Create(kW, kH);
      std::uint32_t* p = d->Texture_Lock(bg, false);
      std::copy(background.begin(), background.end(), p);
      d->Texture_Unlock(bg);
      const hgeQuad q = CellQuad(0, 0, 0, 0, kW, kH, kW, kH, 0xFFFFFFFF, bg);
      d->Gfx_RenderQuad(&q);
    }
    tex = ours->Texture_Create(w, h);
    std::uint32_t* p = ours->Texture_Lock(tex, false);
    std::copy(pixels.begin(), pixels.end(), p);
    ours->Texture_Unlock(tex);
    sdlTex = SDL_CreateTexture(sdl->Sdl(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
    SDL_UpdateTexture(sdlTex, nullptr, pixels.data(), w * 4);
    SDL_SetTextureBlendMode(sdlTex, SDL_BLENDMODE_BLEND);
  }
  ~Pair() { SDL_DestroyTexture(sdlTex); }

  void Draw(int x, int y, int u0, int v0, int w, int h, std::uint32_t col) {
    const hgeQuad q = CellQuad(float(x), float(y), u0, v0, w, h, texW, texH, col, tex);
    ours->Gfx_RenderQuad(&q);
    SDL_SetTextureColorMod(sdlTex, col >> 16 & 0xFF, col >> 8 & 0xFF, col & 0xFF);
    SDL_SetTextureAlphaMod(sdlTex, col >> 24);
    const SDL_Rect src{u0, v0, w, h}, dst{x, y, w, h};
    SDL_RenderCopy(sdl->Sdl(), sdlTex, &src, &dst);
    for (int ty = 0; ty < h; ++ty)
      for (int tx = 0; tx < w; ++tx) {
        const int sx = x + tx, sy = y + ty;
        if (sx < clip.x || sy < clip.y || sx >= clip.x + clip.w || sy >= clip.y + clip.h) continue;
        std::uint32_t& d = expected[static_cast<std::size_t>(sy) * kW + sx];
        d = ReferenceOver(pixels[static_cast<std::size_t>(v0 + ty) * texW + u0 + tx], d, col);
      }
  }
  void Clip(int x, int y, int w, int h) {
    ours->Gfx_SetClipping(x, y, w, h);
    sdl->Gfx_SetClipping(x, y, w, h);
    const SDL_Rect want{x, y, w, h}, screen{0, 0, kW, kH};
    if (w == 0 && h == 0) clip = screen;
    else if (!SDL_IntersectRect(&want, &screen, &clip)) clip = SDL_Rect{0, 0, 0, 0};
  }
  int DifferencesFromReference() const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        n += ours->ReadPixel(x, y) != expected[static_cast<std::size_t>(y) * kW + x];
    return n;
  }
  int DifferencesFromSdl() const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += ours->ReadPixel(x, y) != sdl->ReadPixel(x, y);
    return n;
  }
};

TEST(SpanBlend, DivisionAndBlendingAgreeWithTheReference) {
  for (std::uint32_t x = 0; x <= 255u * 255u; ++x) ASSERT_EQ(plat::Div255(x), x / 255) << x;

  std::mt19937 rng(7);
  std::vector<std::uint32_t> src(4096), dst(4096), got;
  for (auto& p : src) p = rng();
  for (auto& p : dst) p = rng();
  // A quarter white with any alpha: the glyph masks' own path.
  for (std::size_t i = 0; i < src.size(); i += 4) src[i] |= 0x00FFFFFFu;
  for (std::uint32_t mod : {0xFFFFFFFFu, 0xFF8040C0u, 0x80FFFFFFu, 0x30204060u}) {
    got = dst;
    if (mod == 0xFFFFFFFFu)
      plat::BlendSpan(got.data(), src.data(), int(src.size()));
    else
      plat::BlendSpanModulated(got.data(), src.data(), int(src.size()), mod);
    for (std::size_t i = 0; i < src.size(); ++i)
      ASSERT_EQ(got[i], ReferenceOver(src[i], dst[i], mod)) << std::hex << mod << " at " << i;
  }
}

TEST(SpanBlend, EveryLengthAndOffsetBlendsExactlyTheSpanAndNothingBeyond) {
  // Several pixels are blended at once: short spans, odd lengths and unaligned starts must give
  // the same pixels as one at a time and leave the neighbours alone.
  std::mt19937 rng(11);
  constexpr std::uint32_t kGuard = 0xDEADBEEFu;
  for (std::uint32_t mod : {0xFFFFFFFFu, 0xFFB6B6B6u, 0x80FFFFFFu, 0x30204060u}) {
    for (int offset = 0; offset < 4; ++offset) {
      for (int n = 0; n <= 13; ++n) {
        std::vector<std::uint32_t> src(24), dst(24, kGuard), want;
        for (auto& p : src) p = rng() % 3 == 0 ? (rng() | 0x00FFFFFFu) : rng();
        for (int i = 0; i < n; ++i) dst[offset + i] = rng();
        want = dst;
        for (int i = 0; i < n; ++i) want[offset + i] = ReferenceOver(src[offset + i], dst[offset + i], mod);
        if (mod == 0xFFFFFFFFu)
          plat::BlendSpan(dst.data() + offset, src.data() + offset, n);
        else
          plat::BlendSpanModulated(dst.data() + offset, src.data() + offset, n, mod);
        ASSERT_EQ(dst, want) << std::hex << mod << std::dec << " offset " << offset << " n " << n;
      }
    }
  }
}

TEST(SpanBlend, RunsDrawnFromAnyColumnRangeTouchOnlyThoseColumns) {
  // An atlas-like image drawn from a column range that starts and ends inside runs, onto a
  // surface whose other pixels must stay as they were.
  constexpr int kImgW = 40, kImgH = 6, kSurfW = 50;
  const auto img = MixedPixels(kImgW, kImgH, 21);
  PixelSpans spans;
  spans.Build(img.data(), kImgW, kImgH, kImgW);
  std::mt19937 rng(5);
  for (std::uint32_t colour : {0xFFFFFFFFu, 0xC0A0FF40u}) {
    for (int col0 = 0; col0 < kImgW; col0 += 7) {
      for (int col1 = col0 + 1; col1 <= kImgW; col1 += 5) {
        std::vector<std::uint32_t> surface(static_cast<std::size_t>(kSurfW) * kImgH);
        for (auto& p : surface) p = rng();
        auto want = surface;
        constexpr int kAt = 4;  // surface column of image column col0
        for (int y = 1; y < kImgH; ++y)
          for (int x = col0; x < col1; ++x) {
            std::uint32_t& d = want[static_cast<std::size_t>(y) * kSurfW + kAt + (x - col0)];
            d = ReferenceOver(img[static_cast<std::size_t>(y) * kImgW + x], d, colour);
          }
        plat::RunsBlit b{&spans, img.data() + kImgW, kImgW, surface.data() + kSurfW + kAt,
                         kSurfW, 1, kImgH - 1, col0, col1, colour};
        plat::BlitRuns(b);
        ASSERT_EQ(surface, want) << "columns " << col0 << ".." << col1 << std::hex << " colour " << colour;
      }
    }
  }
}

TEST(SpanBlend, WhiteOverWhiteStaysWhiteAndEndsAreExact) {
  // SDL's unmodulated blitter darkened white blended over white; ours must not.
  for (std::uint32_t a = 0; a < 256; ++a) {
    std::uint32_t d = 0xFFFFFFFFu;
    const std::uint32_t s = a << 24 | 0xFFFFFFu;
    plat::BlendSpan(&d, &s, 1);
    ASSERT_EQ(d, 0xFFFFFFFFu) << a;
  }
  std::uint32_t d = 0x12345678u;
  const std::uint32_t opaque = 0xFFABCDEFu, clear = 0x00ABCDEFu;
  plat::BlendSpan(&d, &clear, 1);
  EXPECT_EQ(d, 0x12345678u);
  plat::BlendSpan(&d, &opaque, 1);
  EXPECT_EQ(d, opaque);
}

TEST(PixelSpans, RunsCoverEveryVisiblePixelAndKeepLongOpaqueRunsAsCopies) {
  // . clear, O opaque, b blended
  const char* row = "..OOOOOOOOOO..b..OO.b........OOOOOOOOO";
  const int w = static_cast<int>(std::char_traits<char>::length(row));
  std::vector<std::uint32_t> px(w);
  for (int x = 0; x < w; ++x)
    px[x] = row[x] == '.' ? 0u : row[x] == 'O' ? 0xFF102030u : 0x80102030u;
  PixelSpans spans;
  spans.Build(px.data(), w, 1, w);
  ASSERT_EQ(spans.Height(), 1);
  std::vector<PixelSpans::Run> runs(spans.RowBegin(0), spans.RowEnd(0));
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_TRUE(runs[0].opaque);  // the long opaque run stays a copy
  EXPECT_EQ(runs[0].x0, 2);
  EXPECT_EQ(runs[0].x1, 12);
  EXPECT_FALSE(runs[1].opaque);  // b..OO.b folded into one blended run
  EXPECT_EQ(runs[1].x0, 14);
  EXPECT_EQ(runs[1].x1, 21);
  EXPECT_TRUE(runs[2].opaque);  // far enough away to stay apart
  EXPECT_EQ(runs[2].x0, 29);
  EXPECT_EQ(runs[2].x1, w);
  EXPECT_FALSE(spans.AllOpaque());

  const std::vector<std::uint32_t> opaque(12, 0xFF000000u);
  spans.Build(opaque.data(), 4, 3, 4);
  EXPECT_TRUE(spans.AllOpaque());
  std::vector<std::uint32_t> oneHole = opaque;
  oneHole[9] = 0xFE000000u;
  spans.Build(oneHole.data(), 4, 3, 4);
  EXPECT_FALSE(spans.AllOpaque());

  spans.Build(px.data(), 0, 1, w);
  EXPECT_EQ(spans.Height(), 0);
  spans.Build(nullptr, w, 1, w);
  EXPECT_EQ(spans.Height(), 0);
}

TEST(DirectBlit, WholeTexturesAtlasCellsAndTintsBlendLikeEachPixel) {
  Pair p(64, 48, 11);
  p.Draw(5, 7, 0, 0, 64, 48, 0xFFFFFFFF);
  p.Draw(90, 20, 10, 6, 30, 25, 0xFFFFFFFF);  // an atlas cell
  p.Draw(30, 60, 0, 0, 64, 48, 0xFF80C040);   // tinted, like text
  p.Draw(100, 70, 4, 4, 40, 40, 0x90FFFFFF);  // faded
  p.Draw(0, 0, 0, 0, 64, 48, 0x00FFFFFF);     // invisible
  EXPECT_EQ(p.DifferencesFromReference(), 0);
}

TEST(DirectBlit, TintedAndFadedDrawingMatchesSdl) {
  Pair p(64, 48, 17);
  p.Draw(5, 7, 0, 0, 64, 48, 0xFF80C040);
  p.Draw(90, 20, 10, 6, 30, 25, 0xC0FFFFFF);
  p.Clip(20, 15, 70, 50);
  p.Draw(10, 50, 0, 0, 64, 48, 0xFFFF8000);
  EXPECT_EQ(p.DifferencesFromSdl(), 0);
  EXPECT_EQ(p.DifferencesFromReference(), 0);
}

TEST(DirectBlit, ClippedOrPartlyOffScreenDrawsOnlyTheVisiblePart) {
  Pair p(64, 48, 23);
  p.Clip(20, 15, 70, 50);
  p.Draw(10, 10, 0, 0, 64, 48, 0xFFFFFFFF);  // cut on the left and top
  p.Draw(60, 40, 0, 0, 64, 48, 0xFFC0C0FF);  // cut on the right and bottom
  p.Clip(0, 0, 0, 0);
  p.Draw(-30, -20, 0, 0, 64, 48, 0xFFFFFFFF);  // off the top-left corner
  p.Draw(kW - 20, kH - 10, 0, 0, 64, 48, 0xFFFFFFFF);
  p.Clip(200, 200, 10, 10);  // nothing visible
  p.Draw(0, 0, 0, 0, 64, 48, 0xFFFFFFFF);
  EXPECT_EQ(p.DifferencesFromReference(), 0);
}

TEST(DirectBlit, TextureChangedAfterDrawingIsDrawnAnew) {
  Pair p(16, 16, 5);
  p.Draw(0, 0, 0, 0, 16, 16, 0xFFFFFFFF);
  std::uint32_t* px = p.ours->Texture_Lock(p.tex, false);
  ASSERT_TRUE(px);
  px[0] = 0xFF00FF00u;  // opaque green where a run may have been clear before
  p.ours->Texture_Unlock(p.tex);
  const hgeQuad q = CellQuad(40, 40, 0, 0, 16, 16, 16, 16, 0xFFFFFFFF, p.tex);
  p.ours->Gfx_RenderQuad(&q);
  EXPECT_EQ(p.ours->ReadPixel(40, 40), 0xFF00FF00u);
}

}  // namespace
