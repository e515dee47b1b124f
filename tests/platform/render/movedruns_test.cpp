// Runs that only moved: one device takes the last frame's run over at the new origin, a second
// one gets the same calls made afresh every frame. Every frame of the two must come out the
// same, pixel for pixel and redrawn area for redrawn area (the same commands make the same
// dirty region), and each must equal its own full redraw.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/render/renderdevice.h"
#include "tests/platform/render/rectquad.h"

namespace {

using plat::RenderDevice;

constexpr int kW = 96, kH = 40;
constexpr int kGlyphs = 6;
constexpr int kPitch = 7;  // a glyph's advance; glyphs are 5 x 6
// A band like the notices' one: drawing is clipped to it.
constexpr int kClipX = 20, kClipW = 50;

HGE::RunKey Key(std::uint64_t word) {
  HGE::RunKey key{};
  key.words[0] = word;
  return key;
}

// A device with three glyph-like textures (opaque, transparent and half-covered texels).
struct Side {
  std::unique_ptr<RenderDevice> dev;
  HTEXTURE tex[3] = {};

  Side() {
    dev = RenderDevice::CreateHeadless(kW, kH);
    dev->SetDirtyTracking(true);
    dev->SetVerifyFrames(true);
    for (int t = 0; t < 3; ++t) {
      tex[t] = dev->Texture_Create(5, 6);
      Paint(t, 0);
    }
  }
  void Paint(int t, std::uint32_t salt) {
    std::uint32_t* p = dev->Texture_Lock(tex[t], false);
    const int pitch = dev->Texture_GetWidth(tex[t]);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 5; ++x) {
        const unsigned k = (x * 3 + y * 5 + t * 7 + salt) % 4;
        p[y * pitch + x] = k == 0 ? 0 : k == 1 ? 0x80FFFFFFu : 0xFFFFFFFFu - salt;
      }
    dev->Texture_Unlock(tex[t]);
  }
  // The text's calls from origin (x, y): one rectangle per glyph, some a pixel lower.
  void Calls(float x, float y) {
    for (int i = 0; i < kGlyphs; ++i) {
      hgeQuad q = RectQuad(x + i * kPitch, y + (i % 2), 5, 6, 0xFFB6B6B6, tex[i % 3]);
      dev->Gfx_RenderQuad(&q);
    }
  }
};

class MovedRuns : public ::testing::Test {
 protected:
  // One frame on both sides: a background quad, then the text at (x, y) in the band's clip
  // (or clipW wide). `before` runs on both sides after BeginFrame. True when the device that
  // may take the run over did.
  bool Frame(float x, float y, int clipW = kClipW,
             const std::function<void(Side&)>& before = nullptr) {
    bool taken = false;
    for (Side* s : {&moving, &fresh}) {
      RenderDevice& d = *s->dev;
      d.BeginFrame(0.016f, 0xFF101820);
      if (before) before(*s);
      hgeQuad bg = RectQuad(0, 0, kW, kH, 0xFF203040);
      d.Gfx_RenderQuad(&bg);
      d.Gfx_SetClipping(kClipX, 0, clipW, kH);
      if (s == &moving) {
        taken = d.Gfx_RepeatRunAt(Key(7), x, y);
        if (!taken) {
          d.Gfx_BeginRunAt(Key(7), x, y);
          s->Calls(x, y);
          d.Gfx_EndRun();
        }
      } else {
        s->Calls(x, y);
      }
      d.Gfx_SetClipping();
      d.EndFrame();
    }
    Compare();
    return taken;
  }

  void Compare() {
    EXPECT_EQ(moving.dev->Stats().lastRedrawnPixels, fresh.dev->Stats().lastRedrawnPixels)
        << "frame " << moving.dev->Stats().frames;
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) wrong += moving.dev->ReadPixel(x, y) != fresh.dev->ReadPixel(x, y);
    EXPECT_EQ(wrong, 0) << "frame " << moving.dev->Stats().frames;
  }

  void TearDown() override {
    EXPECT_EQ(moving.dev->Stats().mismatchedFrames, 0u);
    EXPECT_EQ(fresh.dev->Stats().mismatchedFrames, 0u);
  }

  Side moving, fresh;
};

TEST_F(MovedRuns, AScrollingTextIsMovedAcrossTheClipAsIfDrawnAfresh) {
  // From right of the band (every glyph dropped) through it to left of it, a pixel a frame.
  int taken = 0, frames = 0;
  for (int x = kClipX + kClipW + 3; x > kClipX - kGlyphs * kPitch - 3; --x, ++frames)
    taken += Frame(x, 8);
  EXPECT_EQ(taken, frames - 1);  // all but the first
  EXPECT_GT(moving.dev->MovedRunCalls(), 0u);
  EXPECT_EQ(fresh.dev->MovedRunCalls(), 0u);
}

TEST_F(MovedRuns, VerticalAndStandingMovesAndJumpsAreTakenOver) {
  EXPECT_FALSE(Frame(30, 8));
  EXPECT_TRUE(Frame(30, 8));  // standing: the same commands again
  EXPECT_EQ(moving.dev->Stats().lastRedrawnPixels, 0);
  EXPECT_TRUE(Frame(30, 5));
  EXPECT_TRUE(Frame(12, 20));
  EXPECT_TRUE(Frame(-200, 20));  // out of the screen: nothing drawn, still kept
  EXPECT_TRUE(Frame(41, 9));
}

TEST_F(MovedRuns, FractionalOriginsAreDrawnByTheCaller) {
  EXPECT_FALSE(Frame(40, 8));
  EXPECT_FALSE(Frame(39.5f, 8));  // not whole: a fresh draw may round otherwise
  EXPECT_FALSE(Frame(39, 8));     // nothing kept from the fractional frame
  EXPECT_TRUE(Frame(38, 8));
  EXPECT_FALSE(Frame(37, 8.25f));
}

TEST_F(MovedRuns, NewGlyphPixelsOrAnotherClipAreDrawnByTheCaller) {
  EXPECT_FALSE(Frame(40, 8));
  EXPECT_TRUE(Frame(39, 8));
  EXPECT_FALSE(Frame(38, 8, kClipW, [](Side& s) { s.Paint(1, 1); }));
  EXPECT_TRUE(Frame(37, 8));
  EXPECT_FALSE(Frame(36, 8, kClipW - 9));  // the band's clip changed
  EXPECT_TRUE(Frame(35, 8, kClipW - 9));
  // A glyph texture freed and made again (maybe in the same slot) is never taken for the old.
  EXPECT_FALSE(Frame(34, 8, kClipW - 9, [](Side& s) {
    s.dev->Texture_Free(s.tex[2]);
    s.tex[2] = s.dev->Texture_Create(5, 6);
    s.Paint(2, 2);
  }));
  EXPECT_TRUE(Frame(33, 8, kClipW - 9));
}

TEST_F(MovedRuns, FramesDrawnAsTheyComeTakeNothingOver) {
  EXPECT_FALSE(Frame(40, 8));
  // Reading a pixel mid-frame draws the rest of the frame as it comes.
  EXPECT_FALSE(Frame(39, 8, kClipW, [](Side& s) { s.dev->ReadPixel(0, 0); }));
  EXPECT_FALSE(Frame(38, 8));  // the interrupted frame kept no run that can move
  EXPECT_TRUE(Frame(37, 8));
}

TEST_F(MovedRuns, RunsWithOtherCallsThanWholeRectanglesAreNotKept) {
  RenderDevice& d = *moving.dev;
  for (int frame = 0; frame < 3; ++frame) {
    d.BeginFrame(0.016f);
    EXPECT_FALSE(d.Gfx_RepeatRunAt(Key(3), 10.0f + frame, 4));
    d.Gfx_BeginRunAt(Key(3), 10.0f + frame, 4);
    moving.Calls(10.0f + frame, 4);
    d.Gfx_RenderLine(0, 0, 10, 10);  // a line moves only with SDL's rounding
    d.Gfx_EndRun();
    d.EndFrame();
  }
  for (int frame = 0; frame < 3; ++frame) {
    d.BeginFrame(0.016f);
    EXPECT_FALSE(d.Gfx_RepeatRunAt(Key(4), 10.0f + frame, 4));
    d.Gfx_BeginRunAt(Key(4), 10.0f + frame, 4);
    hgeQuad q = RectQuad(10.0f + frame, 4, 10, 12, 0xFFFFFFFF, moving.tex[0]);  // scaled
    d.Gfx_RenderQuad(&q);
    d.Gfx_EndRun();
    d.EndFrame();
  }
  // A run kept with an origin is never taken over as a run at a fixed place.
  d.BeginFrame(0.016f);
  d.Gfx_BeginRunAt(Key(5), 10, 4);
  moving.Calls(10, 4);
  d.Gfx_EndRun();
  d.EndFrame();
  d.BeginFrame(0.016f);
  EXPECT_FALSE(d.Gfx_RepeatRun(Key(5)));
  d.EndFrame();
  EXPECT_EQ(d.MovedRunCalls(), 0u);
}

}  // namespace
