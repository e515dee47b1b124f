#include "platform/render/hgesprite.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/render/renderdevice.h"

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kColours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dev = plat::RenderDevice::CreateHeadless(200, 200);
    ASSERT_TRUE(dev);
    dev->BeginFrame(0.0f, kBlack);
    // A 4 x 1 strip, one colour per texel.
    strip = dev->Texture_Create(4, 1);
    std::uint32_t* p = dev->Texture_Lock(strip, false);
    ASSERT_TRUE(p);
    for (int i = 0; i < 4; ++i) p[i] = kColours[i];
    dev->Texture_Unlock(strip);
  }
  std::unique_ptr<plat::RenderDevice> dev;
  HTEXTURE strip = 0;
};

TEST_F(SpriteTest, TextureRectSelectsTexels) {
  hgeSprite s(strip, 2, 0, 1, 1);
  EXPECT_FLOAT_EQ(s.GetWidth(), 1);
  s.RenderStretch(10, 10, 30, 30);
  EXPECT_EQ(dev->ReadPixel(20, 20), kColours[2]);
  s.SetTextureRect(1, 0, 2, 1, false);  // size kept
  EXPECT_FLOAT_EQ(s.GetWidth(), 1);
  s.RenderStretch(40, 10, 80, 30);
  EXPECT_EQ(dev->ReadPixel(45, 20), kColours[1]);
  EXPECT_EQ(dev->ReadPixel(75, 20), kColours[2]);
  s.SetTextureRect(0, 0, 4, 1);
  s.Render(100, 100);  // 4 x 1 at its natural size
  for (int i = 0; i < 4; ++i) EXPECT_EQ(dev->ReadPixel(100 + i, 100), kColours[i]);
  EXPECT_EQ(dev->ReadPixel(104, 100), kBlack);
}

TEST_F(SpriteTest, CornerColours) {
  hgeSprite s(0, 0, 0, 10, 10);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(s.GetColor(i), 0xFFFFFFFFu);
  s.SetColor(0xFF112233);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(s.GetColor(i), 0xFF112233u);
  s.SetColor(0xFF445566, 2);
  EXPECT_EQ(s.GetColor(2), 0xFF445566u);
  EXPECT_EQ(s.GetColor(1), 0xFF112233u);
  s.SetColor(0xFF000000, 7);  // out of range: ignored
  EXPECT_EQ(s.GetColor(3), 0xFF112233u);
  EXPECT_EQ(s.GetColor(-2), 0u);
  s.SetColor(0xFF00FF00);
  s.Render(50, 50);
  EXPECT_EQ(dev->ReadPixel(55, 55), 0xFF00FF00u);
}

TEST_F(SpriteTest, RenderExRotatesAndScalesAboutTheHotSpot) {
  hgeSprite s(0, 0, 0, 20, 10);
  s.SetColor(0xFFFFFFFF);
  s.SetHotSpot(10, 5);
  s.RenderEx(100, 100, 0.0f, 2.0f);  // vscale 0 = hscale: 40 x 20 centred on (100, 100)
  EXPECT_EQ(dev->ReadPixel(81, 91), 0xFFFFFFFFu);
  EXPECT_EQ(dev->ReadPixel(118, 108), 0xFFFFFFFFu);
  EXPECT_EQ(dev->ReadPixel(100, 112), kBlack);
  dev->BeginFrame(0.0f, kBlack);
  s.RenderEx(100, 100, static_cast<float>(M_PI) / 2, 2.0f, 1.0f);  // now 10 wide, 40 high
  EXPECT_EQ(dev->ReadPixel(100, 82), 0xFFFFFFFFu);
  EXPECT_EQ(dev->ReadPixel(100, 118), 0xFFFFFFFFu);
  EXPECT_EQ(dev->ReadPixel(115, 100), kBlack);
}

TEST_F(SpriteTest, EverySpriteHoldsADeviceReference) {
  EXPECT_EQ(dev->RefCount(), 0);
  {
    hgeSprite a(strip, 0, 0, 4, 1);
    hgeSprite b(a);
    EXPECT_EQ(dev->RefCount(), 2);
    hgeSprite c(0, 0, 0, 1, 1);
    c = b;
    EXPECT_EQ(dev->RefCount(), 3);
    EXPECT_EQ(c.GetTexture(), strip);
  }
  EXPECT_EQ(dev->RefCount(), 0);
}

}  // namespace
