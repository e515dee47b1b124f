// Runs of draw calls taken over from the last frame: taken only when the key, the place in the
// frame, the clip and the textures' pixels are the same, and then drawn as the calls would be.
#include <gtest/gtest.h>

#include <memory>

#include "platform/render/renderdevice.h"
#include "tests/platform/render/rectquad.h"

namespace {

using plat::RenderDevice;

constexpr int kW = 64, kH = 48;

HGE::RunKey Key(std::uint64_t word) {
  HGE::RunKey key{};
  key.words[0] = word;
  return key;
}

class DrawRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    dev = RenderDevice::CreateHeadless(kW, kH);
    ASSERT_NE(dev, nullptr);
    dev->SetDirtyTracking(true);
    dev->SetVerifyFrames(true);  // every frame compared with a full redraw of its calls
    tex = dev->Texture_Create(4, 4);
    Paint(0xFF20A040);
  }
  void TearDown() override {
    if (dev) {
      EXPECT_EQ(dev->Stats().mismatchedFrames, 0u);
    }
  }

  void Paint(std::uint32_t argb) {
    std::uint32_t* p = dev->Texture_Lock(tex, false);
    ASSERT_NE(p, nullptr);
    const int pitch = dev->Texture_GetWidth(tex);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) p[y * pitch + x] = argb;
    dev->Texture_Unlock(tex);
  }

  // The run's calls: two quads of the texture.
  void Calls() {
    hgeQuad a = RectQuad(2, 2, 4, 4, 0xFFFFFFFF, tex);
    hgeQuad b = RectQuad(10, 3, 4, 4, 0xFFFFFFFF, tex);
    dev->Gfx_RenderQuad(&a);
    dev->Gfx_RenderQuad(&b);
  }

  // One frame: an optional quad first, then the run with key; true when it was taken over.
  bool Frame(const HGE::RunKey& key, bool quadFirst = false, int clipW = 0) {
    dev->BeginFrame(0.016f);
    if (quadFirst) {
      hgeQuad q = RectQuad(30, 30, 5, 5, 0xFF0000FF);
      dev->Gfx_RenderQuad(&q);
    }
    if (clipW) dev->Gfx_SetClipping(0, 0, clipW, kH);
    const bool repeated = dev->Gfx_RepeatRun(key);
    if (!repeated) {
      dev->Gfx_BeginRun(key);
      Calls();
      dev->Gfx_EndRun();
    }
    dev->EndFrame();
    return repeated;
  }

  std::unique_ptr<RenderDevice> dev;
  HTEXTURE tex = 0;
};

TEST_F(DrawRuns, TheSameRunAtTheSamePlaceIsTakenOver) {
  EXPECT_FALSE(Frame(Key(1)));  // nothing to take over yet
  EXPECT_TRUE(Frame(Key(1)));
  EXPECT_TRUE(Frame(Key(1)));
  EXPECT_EQ(dev->RepeatedRunCalls(), 4u);
  EXPECT_EQ(dev->Stats().unchangedFrames, 2u);  // taken over: nothing redrawn
  EXPECT_EQ(dev->ReadPixel(3, 3), 0xFF20A040u);
}

TEST_F(DrawRuns, ADifferentKeyPlaceOrClipIsDrawnAnew) {
  EXPECT_FALSE(Frame(Key(1)));
  EXPECT_FALSE(Frame(Key(2)));                   // other inputs
  EXPECT_TRUE(Frame(Key(2)));
  EXPECT_FALSE(Frame(Key(2), /*quadFirst=*/true));  // one call more before it
  EXPECT_TRUE(Frame(Key(2), true));
  EXPECT_FALSE(Frame(Key(2), true, /*clipW=*/12));  // clipped: the second quad cut
  EXPECT_TRUE(Frame(Key(2), true, 12));
  EXPECT_EQ(dev->ReadPixel(11, 4), 0xFF20A040u);
  EXPECT_EQ(dev->ReadPixel(12, 4), 0xFF000000u);  // outside the clip
}

TEST_F(DrawRuns, NewPixelsInTheTextureAreDrawnAnew) {
  EXPECT_FALSE(Frame(Key(1)));
  EXPECT_TRUE(Frame(Key(1)));
  Paint(0xFFC03010);
  EXPECT_FALSE(Frame(Key(1)));
  EXPECT_EQ(dev->ReadPixel(3, 3), 0xFFC03010u);
  EXPECT_TRUE(Frame(Key(1)));
}

TEST_F(DrawRuns, AFreedTextureIsNeverTakenOver) {
  EXPECT_FALSE(Frame(Key(1)));
  dev->Texture_Free(tex);
  tex = dev->Texture_Create(4, 4);  // may reuse the slot: a new generation
  Paint(0xFF102030);
  EXPECT_FALSE(Frame(Key(1)));
  EXPECT_EQ(dev->ReadPixel(3, 3), 0xFF102030u);
}

TEST_F(DrawRuns, NothingIsTakenOverWithoutAKeptFrame) {
  dev->SetDirtyTracking(false);
  dev->BeginFrame(0.016f);
  dev->Gfx_BeginRun(Key(1));
  Calls();
  dev->Gfx_EndRun();
  dev->EndFrame();
  dev->BeginFrame(0.016f);
  EXPECT_FALSE(dev->Gfx_RepeatRun(Key(1)));  // drawn as it comes: no commands to take over
  dev->EndFrame();
}

}  // namespace
