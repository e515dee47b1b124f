// Textures drawn scaled are drawn from a kept scaled copy instead of through SDL. These tests
// hold that copy to SDL's own scaled drawing pixel for pixel (a second device that leaves the
// scaling to SDL), and check that the copies are made once and freed when they must be.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "platform/render/renderdevice.h"
#include "platform/render/scaledblit.h"

namespace {

using plat::RenderDevice;

constexpr int kW = 200, kH = 150;

std::vector<std::uint32_t> Noise(int w, int h, unsigned seed, bool opaque) {
  std::mt19937 rng(seed);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  for (auto& p : px) {
    const std::uint32_t kind = rng() % 4;
    const std::uint32_t a = opaque || kind == 0 ? 255u : kind == 1 ? 0u : 1 + rng() % 254;
    p = a << 24 | (rng() & 0xFFFFFFu);
  }
  return px;
}

HTEXTURE Upload(RenderDevice& d, int w, int h, const std::vector<std::uint32_t>& px) {
  const HTEXTURE t = d.Texture_Create(w, h);
  std::uint32_t* p = d.Texture_Lock(t, false);
  std::copy(px.begin(), px.end(), p);
  d.Texture_Unlock(t);
  return t;
}

// A quad over the texels [u0, u1) x [v0, v1) (as fractions of the texture) at (x, y, w, h).
hgeQuad Stretch(HTEXTURE tex, float x, float y, float w, float h, float u0, float v0, float u1,
                float v1, std::uint32_t col) {
  hgeQuad q{};
  q.tex = tex;
  q.blend = BLEND_DEFAULT;
  const float xs[4] = {x, x + w, x + w, x};
  const float ys[4] = {y, y, y + h, y + h};
  const float us[4] = {u0, u1, u1, u0};
  const float vs[4] = {v0, v0, v1, v1};
  for (int i = 0; i < 4; ++i) q.v[i] = hgeVertex{xs[i], ys[i], 0.5f, col, us[i], vs[i]};
  return q;
}

struct Draw {
  float x, y, w, h;
  float u0, v0, u1, v1;
  std::uint32_t col;
  int clipX, clipY, clipW, clipH;  // all 0: no clip
};

// The same texture and background on two devices; one keeps scaled copies, the other leaves
// scaling to SDL.
struct Twin {
  std::unique_ptr<RenderDevice> ours = RenderDevice::CreateHeadless(kW, kH);
  std::unique_ptr<RenderDevice> sdl = RenderDevice::CreateHeadless(kW, kH);
  HTEXTURE oursTex = 0, sdlTex = 0, oursBg = 0, sdlBg = 0;

  Twin(int tw, int th, bool opaque, unsigned seed) {
    const auto px = Noise(tw, th, seed, opaque);
    const auto bg = Noise(kW, kH, seed + 1, false);
    sdl->SetScaledCopies(false);
    oursTex = Upload(*ours, tw, th, px);
    sdlTex = Upload(*sdl, tw, th, px);
    oursBg = Upload(*ours, kW, kH, bg);
    sdlBg = Upload(*sdl, kW, kH, bg);
  }

  void Frame(const std::vector<Draw>& draws) {
    for (int side = 0; side < 2; ++side) {
      RenderDevice& d = side ? *sdl : *ours;
      const HTEXTURE tex = side ? sdlTex : oursTex;
      d.BeginFrame(0.0f, 0x00000000u);
      const hgeQuad bg = Stretch(side ? sdlBg : oursBg, 0, 0, kW, kH, 0, 0, 1, 1, 0xFFFFFFFFu);
      d.Gfx_RenderQuad(&bg);  // a background with every kind of alpha, drawn unscaled
      for (const Draw& r : draws) {
        d.Gfx_SetClipping(r.clipX, r.clipY, r.clipW, r.clipH);
        const hgeQuad q = Stretch(tex, r.x, r.y, r.w, r.h, r.u0, r.v0, r.u1, r.v1, r.col);
        d.Gfx_RenderQuad(&q);
      }
      d.Gfx_SetClipping();
      d.EndFrame();
    }
  }

  int Differences() const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += ours->ReadPixel(x, y) != sdl->ReadPixel(x, y);
    return n;
  }
};

// Sizes up and down, odd sizes, fractional corners, parts of the texture, clips cutting the
// picture on every side, tinted and faded colours.
std::vector<Draw> Cases(int tw, int th) {
  const float fw = static_cast<float>(tw), fh = static_cast<float>(th);
  return {
      {10, 12, 51, 37, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 0, 0},          // down, odd
      {3, 4, 187, 141, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 0, 0},          // up
      {20.7f, 9.3f, 102.95f, 85.2f, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 0, 0},  // fractional
      {30, 40, 73, 29, 3 / fw, 5 / fh, 25 / fw, 30 / fh, 0xFFFFFFFFu, 0, 0, 0, 0},  // a part (or past the edge)
      {15, 20, 120, 90, 0, 0, 1, 1, 0xFFFFFFFFu, 40, 35, 57, 41},     // clipped inside
      {15, 20, 120, 90, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 60, 70},       // clipped right, bottom
      {-0.0f, 0, 61, 45, 0, 0, 1, 1, 0xC08040FFu, 17, 13, 100, 100},  // clipped left, top; tinted
      {50, 60, 33, 111, 0, 0, 1, 1, 0x80FFFFFFu, 0, 0, 0, 0},         // faded
      {7, 8, 64, 64, 2 / fw, 1 / fh, 1, 1, 0xFF30A0F0u, 9, 9, 47, 39},  // tinted, clipped part
  };
}

TEST(ScaledCopies, KeptCopiesGiveSdlsScaledPixelsToTheBit) {
  for (bool opaque : {false, true}) {
    for (const auto& size : {std::pair<int, int>{145, 120}, {31, 17}, {9, 13}}) {
      for (std::size_t limit : {std::size_t(16) << 20, std::size_t(0)}) {
        Twin t(size.first, size.second, opaque, 11 + static_cast<unsigned>(size.first));
        t.ours->SetScaledCopyLimit(limit);
        int index = 0;
        for (const Draw& d : Cases(size.first, size.second)) {
          t.Frame({d});
          EXPECT_EQ(t.Differences(), 0) << "opaque " << opaque << " size " << size.first
                                        << " limit " << limit << " case " << index;
          ++index;
        }
        // The kept path was taken, not SDL's (with no room, rows are scaled as drawn).
        if (limit)
          EXPECT_GT(t.ours->ScaledCopiesMade(), 0u);
        else
          EXPECT_EQ(t.ours->ScaledCopyBytes(), 0u);
      }
    }
  }
}

TEST(ScaledCopies, RandomPlacesSizesClipsAndColoursMatchSdl) {
  Twin t(37, 23, false, 9);
  std::mt19937 rng(4);
  auto real = [&rng](float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(rng() % 10000) / 10000.0f;
  };
  for (int i = 0; i < 60; ++i) {
    const float w = real(2, 150), h = real(2, 110);
    const float u0 = real(0, 0.5f), v0 = real(0, 0.5f);
    const std::uint32_t col = i % 3 == 0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(rng());
    const int cx = static_cast<int>(rng() % 100), cy = static_cast<int>(rng() % 80);
    const Draw d{real(0, kW - w), real(0, kH - h), w, h, u0, v0, real(u0 + 0.1f, 1), real(v0 + 0.1f, 1),
                 col, cx, cy, i % 4 == 0 ? 0 : 20 + cx, i % 4 == 0 ? 0 : 30 + cy};
    t.Frame({d});
    ASSERT_EQ(t.Differences(), 0) << "draw " << i;
  }
  EXPECT_GT(t.ours->ScaledCopiesMade(), 15u);  // the rest drew nothing inside their clip
}

TEST(ScaledCopies, WhatSdlScalesItselfIsLeftToIt) {
  Twin t(40, 30, false, 5);
  // Past the screen's edge, mirrored, and a size that SDL's rounding makes unscaled.
  t.Frame({{-10, 5, 70, 50, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 0, 0},
           {150, 100, 80, 60, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 0, 0},
           {20, 20, 60, 45, 1, 0, 0, 1, 0xFFFFFFFFu, 0, 0, 0, 0},
           {90, 10, 40.5f, 30.9f, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 0, 0}});
  EXPECT_EQ(t.Differences(), 0);
  EXPECT_EQ(t.ours->ScaledCopiesMade(), 0u);
}

TEST(ScaledCopies, AScaledPictureIsScaledOnceAndPartRedrawsMatchTheFullRedraw) {
  Twin t(145, 120, false, 3);
  t.ours->SetVerifyFrames(true);
  const Draw tile{19, 27, 102.95f, 85.2f, 0, 0, 1, 1, 0xFFFFFFFFu, 0, 0, 0, 0};
  for (int frame = 0; frame < 12; ++frame) {
    // Something small moves over the picture: only part of it is drawn again.
    const Draw over{30.0f + frame * 5, 50, 12, 9, 0, 0, 0.5f, 0.5f, 0xFFFFFFFFu, 0, 0, 0, 0};
    t.Frame({tile, over});
    ASSERT_EQ(t.Differences(), 0) << frame;
  }
  EXPECT_EQ(t.ours->Stats().mismatchedFrames, 0u);
  // One copy for the picture, one for the mark; neither made again.
  EXPECT_EQ(t.ours->ScaledCopiesMade(), 2u);
}

TEST(ScaledCopies, CopiesGoWithNewPixelsAndTheTextureAndStayBounded) {
  auto d = RenderDevice::CreateHeadless(kW, kH);
  const HTEXTURE tex = Upload(*d, 50, 40, Noise(50, 40, 1, false));
  auto draw = [&](float w, float h) {
    d->BeginFrame(0.0f);
    const hgeQuad q = Stretch(tex, 0, 0, w, h, 0, 0, 1, 1, 0xFFFFFFFFu);
    d->Gfx_RenderQuad(&q);
    d->EndFrame();
  };
  draw(30, 20);
  const std::size_t one = d->ScaledCopyBytes();
  EXPECT_EQ(one, 30u * 20u * 4u);
  // Many sizes: a few kept, the least recently drawn dropped.
  for (int w = 31; w < 60; ++w) draw(static_cast<float>(w), 20);
  EXPECT_LE(d->ScaledCopyBytes(), plat::ScaledCopies::kPerTexture * 59u * 20u * 4u);
  EXPECT_GE(d->ScaledCopyBytes(), 3u * 57u * 20u * 4u);

  // New pixels: the old copies are useless and freed, a new one made at the next draw.
  d->Texture_Lock(tex, false);
  d->Texture_Unlock(tex);
  EXPECT_EQ(d->ScaledCopyBytes(), 0u);
  const auto made = d->ScaledCopiesMade();
  draw(30, 20);
  EXPECT_EQ(d->ScaledCopiesMade(), made + 1);
  // A read-only lock changes nothing.
  d->Texture_Lock(tex, true);
  d->Texture_Unlock(tex);
  EXPECT_EQ(d->ScaledCopyBytes(), one);

  // The device's limit holds across textures.
  d->SetScaledCopyLimit(one * 2);
  const HTEXTURE other = Upload(*d, 50, 40, Noise(50, 40, 2, false));
  const HTEXTURE third = Upload(*d, 50, 40, Noise(50, 40, 3, false));
  for (HTEXTURE t : {other, third}) {
    d->BeginFrame(0.0f);
    const hgeQuad q = Stretch(t, 0, 0, 30, 20, 0, 0, 1, 1, 0xFFFFFFFFu);
    d->Gfx_RenderQuad(&q);
    d->EndFrame();
  }
  EXPECT_EQ(d->ScaledCopyBytes(), one * 2);
  d->Texture_Free(tex);
  d->Texture_Free(other);
  EXPECT_EQ(d->ScaledCopyBytes(), 0u);
}

TEST(ScaledBlitPlan, StepsAndClipsLikeSdl) {
  // Nearest stepping: half a step in, 16.16 fixed point.
  const plat::NearestStep down(145, 85);
  EXPECT_EQ(down.At(0), 0);
  EXPECT_EQ(down.At(84), 144);
  const plat::NearestStep up(3, 7);
  std::vector<int> got;
  for (int i = 0; i < 7; ++i) got.push_back(up.At(i));
  EXPECT_EQ(got, (std::vector<int>{0, 0, 1, 1, 1, 2, 2}));

  const hgeQuad q = Stretch(1, 10.9f, 20.2f, 40.99f, 30.5f, 0, 0, 1, 1, 0xFFFFFFFFu);
  plat::ScaledBlit b{};
  ASSERT_TRUE(plat::PlanScaledBlit(q.v, 20, 10, plat::IRect{0, 0, 100, 100}, 100, 100, &b));
  // Corners cut towards zero, the size cut on its own.
  EXPECT_EQ(b.dst.x0, 10);
  EXPECT_EQ(b.dst.x1, 50);
  EXPECT_EQ(b.dst.y0, 20);
  EXPECT_EQ(b.dst.y1, 50);
  EXPECT_EQ(b.src.x1, 20);
  // Clipped in half: the source is cut by the same share.
  ASSERT_TRUE(plat::PlanScaledBlit(q.v, 20, 10, plat::IRect{30, 0, 100, 35}, 100, 100, &b));
  EXPECT_EQ(b.dst.x0, 30);
  EXPECT_EQ(b.src.x0, 10);
  EXPECT_EQ(b.dst.y1, 35);
  EXPECT_EQ(b.src.y1, 5);
  // Garbage texture coordinates are refused, not cast.
  hgeQuad bad = q;
  bad.v[2].tx = bad.v[1].tx = 1.0e30f;
  EXPECT_FALSE(plat::PlanScaledBlit(bad.v, 20, 10, plat::IRect{0, 0, 100, 100}, 100, 100, &b));
}

}  // namespace
