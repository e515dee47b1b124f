// The notice band on the real headless device with the real rasteriser: where the text shows on
// screen, and that nothing leaks out of the band. Leaves notice_band.png in the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "client/views/gfxfont.h"
#include "client/views/systemnotice.h"
#include "platform/render/glyphrasterizer.h"
#include "platform/render/hgesprite.h"
#include "platform/render/renderdevice.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"

namespace {

constexpr int kScreenW = 1280;
constexpr int kScreenH = 720;
constexpr float kFrame = 0.05f;  // 5 pixels a frame
constexpr int kFrames = 94;      // 470 pixels travelled
constexpr int kRowTop = 70;      // rows holding the text line at y 78
constexpr int kRowBottom = 100;

struct TickerCleanup {
  ~TickerCleanup() { CSystemNotice::ClearAll(); }
};

class Background {
 public:
  explicit Background(plat::RenderDevice& dev) : m_dev(dev) {
    // The environment may point at freshly generated assets.
    const char* root = std::getenv("VELMORA_ASSET_DIR");
    plat::SetAssetRoot(root && *root ? root : VELMORA_ASSET_DIR);
    m_tex = dev.Texture_Load(plat::AssetPath("Velmora/Image/Bg.jpg").c_str());
    if (m_tex) m_sprite = std::make_unique<hgeSprite>(m_tex, 0.0f, 0.0f,
                                                      static_cast<float>(dev.Texture_GetWidth(m_tex, true)),
                                                      static_cast<float>(dev.Texture_GetHeight(m_tex, true)));
  }
  ~Background() {
    m_sprite.reset();
    if (m_tex) m_dev.Texture_Free(m_tex);
  }
  void Draw() {
    if (m_sprite) {
      m_sprite->RenderStretch(0, 0, kScreenW, kScreenH);
    } else {
      m_dev.FillRect(0, 0, kScreenW, kScreenH, 0xFF203048);
    }
  }

 private:
  plat::RenderDevice& m_dev;
  HTEXTURE m_tex = 0;
  std::unique_ptr<hgeSprite> m_sprite;
};

std::vector<std::uint32_t> ReadRows(const plat::RenderDevice& dev) {
  std::vector<std::uint32_t> px;
  for (int y = kRowTop; y < kRowBottom; ++y)
    for (int x = 0; x < kScreenW; ++x) px.push_back(dev.ReadPixel(x, y));
  return px;
}

TEST(NoticeBandRender, TextEntersAtTheBandsRightEdgeAndStaysInsideIt) {
  plat::SetHgeOverride(nullptr);
  plat::SetRasterizerFactory(nullptr);
  auto dev = plat::RenderDevice::CreateHeadless(kScreenW, kScreenH);
  ASSERT_TRUE(dev);
  TickerCleanup cleanup;
  CSystemNotice::ClearAll();
  Background bg(*dev);

  const std::string first = plat::Utf8ToGbk("恭喜玩家 星河漫步 以 120 份获得 7号商品 单反相机!");
  const std::string second = plat::Utf8ToGbk("恭喜玩家 小橘子 获得 8号商品 游戏主机!");
  CSystemNotice::AddNotice(first, true, CSystemNotice::kBandX, CSystemNotice::kBandY);
  CSystemNotice::RememberText(first);
  CSystemNotice::AddNotice(second, true, CSystemNotice::kBandX, CSystemNotice::kBandY);
  CSystemNotice::RememberText(second);

  std::vector<std::uint32_t> without;
  std::vector<std::uint32_t> with;
  for (int f = 0; f < kFrames; ++f) {
    dev->BeginFrame(kFrame);
    bg.Draw();
    if (f == kFrames - 1) without = ReadRows(*dev);
    CSystemNotice::UpdateAndDrawAll();
    CSystemNotice::ReplayRandomNotice();
    if (f == kFrames - 1) with = ReadRows(*dev);
    dev->EndFrame();
  }
  ASSERT_EQ(CSystemNotice::ActiveNotices().size(), 2u);
  const CSystemNotice& lead = *CSystemNotice::ActiveNotices()[0];
  ASSERT_EQ(lead.Travelled(), kFrames * 5);

  int leftmost = kScreenW;
  int rightmost = -1;
  bool textColour = false;
  for (int y = 0; y < kRowBottom - kRowTop; ++y) {
    for (int x = 0; x < kScreenW; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * kScreenW + x;
      if (with[i] == without[i]) continue;
      leftmost = std::min(leftmost, x);
      rightmost = std::max(rightmost, x);
      if (with[i] == 0xFFB6B6B6u) textColour = true;
    }
  }
  EXPECT_TRUE(textColour) << "no pixel in the notice colour";
  EXPECT_GE(leftmost, 250);
  EXPECT_LT(rightmost, 745);
  // The leading notice's text starts at screen 250 + 495 - travelled.
  const int expectedLeft = static_cast<int>(lead.X() + lead.CurrentX());
  EXPECT_NEAR(leftmost, expectedLeft, 3);
  // The second one is still coming in at the right edge.
  EXPECT_GT(rightmost, 735);

  EXPECT_TRUE(dev->SavePng(std::string(FONT_TEST_OUTPUT_DIR) + "/notice_band.png"));
}

// A notice's text drawn through DrawFormatted (which lets the device move the last frame's
// glyphs) beside the same text drawn glyph by glyph on a second device, a pixel a frame or two
// across the band: every frame the same pixels and the same redrawn area.
void ScrollBesideAFreshDraw(float letterSpacing, int step, std::uint64_t* moved) {
  constexpr int kW = 800, kH = 110;
  auto moving = plat::RenderDevice::CreateHeadless(kW, kH);
  ASSERT_TRUE(moving);
  GfxFont movingFont(plat::Utf8ToGbk("宋体").c_str(), 14, true, false, false);
  auto fresh = plat::RenderDevice::CreateHeadless(kW, kH);  // current from here on
  ASSERT_TRUE(fresh);
  GfxFont freshFont(plat::Utf8ToGbk("宋体").c_str(), 14, true, false, false);
  moving->SetVerifyFrames(true);
  const std::string text = plat::Utf8ToGbk("恭喜玩家 星河漫步 以 120 份获得 7号商品!");
  const std::u16string wide = plat::GbkToUtf16(text);
  for (GfxFont* f : {&movingFont, &freshFont}) {
    f->SetDrawColor(CSystemNotice::kTextColor, -1);
    f->SetLetterSpacing(letterSpacing);
  }
  const int width = movingFont.MeasureWidth(text.c_str());
  for (int x = 745 + 4; x > 250 - width - 4; x -= step) {
    for (plat::RenderDevice* d : {moving.get(), fresh.get()}) {
      d->BeginFrame(0.016f, 0xFF203048);
      d->FillRect(0, 0, kW, kH, 0xFF304060);
      d->Gfx_SetClipping(250, 0, CSystemNotice::kBandWidth, CSystemNotice::kBandHeight);
      if (d == moving.get())
        movingFont.DrawFormatted(static_cast<float>(x), 78.0f, "%s", text.c_str());
      else
        freshFont.DrawWide(static_cast<float>(x), 78.0f, wide.c_str());
      d->Gfx_SetClipping();
      d->EndFrame();
    }
    ASSERT_EQ(moving->Stats().lastRedrawnPixels, fresh->Stats().lastRedrawnPixels) << "x " << x;
    int wrong = 0;
    for (int y = 70; y < 100; ++y)
      for (int px = 240; px < 760; ++px) wrong += moving->ReadPixel(px, y) != fresh->ReadPixel(px, y);
    ASSERT_EQ(wrong, 0) << "x " << x;
  }
  EXPECT_EQ(moving->Stats().mismatchedFrames, 0u);
  *moved = moving->MovedRunCalls();
}

TEST(NoticeBandRender, AScrollingTextTakenOverByTheDeviceIsDrawnAsGlyphByGlyph) {
  plat::SetHgeOverride(nullptr);
  plat::SetRasterizerFactory(nullptr);
  std::uint64_t moved = 0;
  ScrollBesideAFreshDraw(0.0f, 1, &moved);
  EXPECT_GT(moved, 0u);
  ScrollBesideAFreshDraw(2.0f, 3, &moved);  // whole spacing, bigger steps
  EXPECT_GT(moved, 0u);
  ScrollBesideAFreshDraw(0.5f, 2, &moved);  // half pixels: never moved by the device
  EXPECT_EQ(moved, 0u);
}

}  // namespace
