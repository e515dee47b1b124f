#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include <guichan/rectangle.hpp>

#include "platform/toolkit/deviceregistry.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/text/assetpath.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/pixeltexture.h"
#include "platform/toolkit/runtime.h"
#include "tests/platform/toolkit/toolkittestsupport.h"

namespace {

using tktest::GuiTest;
using tktest::kBackground;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

// Fills its whole area red.
class Block : public gcn::Widget {
 public:
  void draw(gcn::Graphics* g) override {
    g->setColor(gcn::Color(255, 0, 0, 255));
    g->fillRectangle(gcn::Rectangle(-50, -50, getWidth() + 100, getHeight() + 100));
  }
};

TEST_F(GuiTest, NestedClipAreasCutChildrenToTheirOwnArea) {
  OrvHgeWindow parent;
  parent.setSize(100, 100);
  m_top.add(&parent, 50, 50);
  Block sticksOutLeft, outside;
  sticksOutLeft.setSize(60, 30);
  outside.setSize(20, 20);
  parent.add(&sticksOutLeft, -20, 10);  // screen x 30..90, seen only from 50
  parent.add(&outside, 150, 10);         // wholly outside the parent
  std::vector<plat::DrawRecord> log;
  {
    plat::ScopedDrawLog rec(&log);
    Frame();
  }
  EXPECT_EQ(Pixel(50, 60), kRed);
  EXPECT_EQ(Pixel(89, 89), kRed);
  EXPECT_EQ(Pixel(49, 60), kBackground);
  EXPECT_EQ(Pixel(90, 60), kBackground);  // own right edge: x = -20 + 60
  EXPECT_EQ(Pixel(60, 90), kBackground);  // own bottom edge
  EXPECT_EQ(Pixel(205, 65), kBackground);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].x, 50 - 20 - 50);  // screen coordinates of the request
  EXPECT_FALSE(log[0].clipped);
  EXPECT_TRUE(log[1].clipped);
}

class GraphicsTest : public ::testing::Test {
 protected:
  ~GraphicsTest() override { plat::ForgetRenderDevice(m_device.get()); }
  template <typename Fn>
  void Draw(Fn fn) {
    m_device->BeginFrame(0.0f, kBackground);
    m_g._beginDraw();
    fn();
    m_g._endDraw();
    m_device->EndFrame();
  }
  std::uint32_t Pixel(int x, int y) const { return m_device->ReadPixel(x, y); }

  tktest::TempDir m_dir;
  std::unique_ptr<plat::RenderDevice> m_device = plat::RenderDevice::CreateHeadless(200, 200);
  OrvHgeGraphics m_g;
  // 2 frames of 20 x 10: red, green.
  std::string m_path = tktest::WriteStrip(m_dir, "rg.png", 20, 10, {kRed, kGreen});
};

TEST_F(GraphicsTest, ImagesLandWhereAskedInTheClipAreasOffset) {
  OrvHgeImage img(m_path.c_str(), false);
  ASSERT_TRUE(img.IsValid());
  EXPECT_EQ(img.getWidth(), 40);
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog rec(&log);
  Draw([&] {
    m_g.pushClipArea(gcn::Rectangle(30, 40, 150, 150));
    m_g.drawImage(&img, 10, 20);                          // screen (40, 60)
    m_g.drawImage(&img, 20, 10, 20, 0, 0.0f, 50.0f);      // green frame only, screen (30, 90)
    m_g.drawImageRect(&img, 100, 0, 20, 10, 0, 0, 2.0f, 3.0f);  // red frame 40 x 30
    m_g.popClipArea();
  });
  EXPECT_EQ(Pixel(40, 60), kRed);
  EXPECT_EQ(Pixel(79, 69), kGreen);
  EXPECT_EQ(Pixel(39, 60), kBackground);
  EXPECT_EQ(Pixel(30, 90), kGreen);
  EXPECT_EQ(Pixel(50, 90), kBackground);
  EXPECT_EQ(Pixel(130, 40), kRed);
  EXPECT_EQ(Pixel(169, 69), kRed);
  EXPECT_EQ(Pixel(170, 69), kBackground);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].what, m_path);
  EXPECT_EQ(log[0].x, 40);
  EXPECT_EQ(log[0].y, 60);
  EXPECT_EQ(log[1].srcX, 20);
  EXPECT_EQ(log[2].hscale, 2.0f);
}

TEST_F(GraphicsTest, RotationTurnsAroundTheTopLeftCorner) {
  OrvHgeImage img(m_path.c_str(), false);
  Draw([&] { m_g.drawImageEx(&img, 100, 100, static_cast<float>(M_PI / 2), 0.5f, 0.0f); });
  // 40 x 10 at half size = 20 x 5, turned clockwise: x 95..100, y 100..120.
  EXPECT_EQ(Pixel(97, 105), kRed);
  EXPECT_EQ(Pixel(97, 115), kGreen);
  EXPECT_EQ(Pixel(102, 105), kBackground);
  EXPECT_EQ(Pixel(97, 98), kBackground);
}

TEST_F(GraphicsTest, SourceRectanglesAreCutToTheImage) {
  OrvHgeImage img(m_path.c_str(), false);
  Draw([&] { m_g.drawImage(&img, 30, 10, 30, 0, 10.0f, 10.0f); });  // 10 px lie past the edge
  EXPECT_EQ(Pixel(10, 10), kGreen);
  EXPECT_EQ(Pixel(19, 19), kGreen);
  EXPECT_EQ(Pixel(20, 10), kBackground);
}

// A picture dropped while its device lives gives back the device's textures and its pixels;
// while another image of the same file lives, nothing of it goes.
TEST_F(GraphicsTest, ADroppedPictureFreesItsPixelsAndDeviceTextures) {
  plat::TextureCache& cache = plat::Runtime::Current()->Textures();
  const std::string key = plat::AssetPath(m_path);
  Draw([] {});
  const std::size_t texturesBefore = m_device->TextureCount();
  const std::size_t entriesBefore = cache.Size();
  auto img = std::make_unique<OrvHgeImage>(m_path.c_str(), true);
  auto other = std::make_unique<OrvHgeImage>(m_path.c_str(), true);
  // At a quarter size the picture is drawn from a reduced copy: two levels on the device.
  Draw([&] {
    m_g.drawImage(img.get(), 0, 0);
    m_g.drawImageEx(img.get(), 50, 50, 0.0f, 0.25f, 0.25f);
  });
  EXPECT_EQ(m_device->TextureCount(), texturesBefore + 2);
  EXPECT_EQ(cache.Size(), entriesBefore + 1);
  img.reset();
  EXPECT_FALSE(cache.DropUnused(key));
  EXPECT_EQ(m_device->TextureCount(), texturesBefore + 2);
  other.reset();
  EXPECT_TRUE(cache.DropUnused(key));
  EXPECT_EQ(cache.Size(), entriesBefore);
  EXPECT_EQ(m_device->TextureCount(), texturesBefore);
  EXPECT_FALSE(cache.DropUnused(key));
  // The same file loads again afterwards.
  OrvHgeImage again(m_path.c_str(), true);
  EXPECT_TRUE(again.IsValid());
  Draw([&] { m_g.drawImage(&again, 0, 0); });
  EXPECT_EQ(Pixel(5, 5), kRed);
}

// One image drawn on two devices in turn, at two levels, and again on new devices (one may be
// made where a gone one lived): every draw shows what a fresh image of the same file shows, from
// the right level of a texture of the device it is drawn on. The checker's half-size copy is
// grey, so a draw from the wrong level shows too.
TEST_F(GraphicsTest, AnImageDrawnOnSeveralDevicesAndLevelsShowsOnEach) {
  const std::string path = tktest::WritePattern(m_dir, "checker.png", 16, 8, true);
  OrvHgeImage img(path.c_str(), true);
  const auto drawOn = [&](plat::RenderDevice* dev, OrvHgeGraphics& g, float scale) {
    const OrvHgeImage fresh(path.c_str(), true);
    std::vector<std::uint32_t> rows[2];
    for (const OrvHgeImage* which : {&fresh, static_cast<const OrvHgeImage*>(&img)}) {
      dev->BeginFrame(0.0f, kBackground);
      g._beginDraw();
      g.drawImageEx(which, 0, 0, 0.0f, scale, 0.0f);
      g._endDraw();
      dev->EndFrame();
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 17; ++x) rows[which == &img].push_back(dev->ReadPixel(x, y));
    }
    return rows[0] == rows[1];
  };
  for (int round = 0; round < 3; ++round) {
    std::unique_ptr<plat::RenderDevice> other = plat::RenderDevice::CreateHeadless(64, 64);
    plat::ValidateDevice(other.get());
    OrvHgeGraphics otherGraphics(other.get());
    for (float scale : {1.0f, 0.5f, 0.5f, 1.0f}) {
      EXPECT_TRUE(drawOn(m_device.get(), m_g, scale)) << "round " << round << " scale " << scale;
      EXPECT_TRUE(drawOn(other.get(), otherGraphics, scale)) << "round " << round << " scale " << scale;
    }
    EXPECT_NE(other->ReadPixel(0, 0), other->ReadPixel(1, 0));  // the checker itself, at full size
    plat::ForgetRenderDevice(other.get());
  }
}

// Pixels that outlive their device (static images at exit) leave the gone device alone.
TEST_F(GraphicsTest, PixelsOutlivingTheirDeviceDieWithoutTouchingIt) {
  auto pixels = std::make_unique<plat::PixelTexture>(4, 4, std::vector<std::uint32_t>(16, kBlue));
  {
    std::unique_ptr<plat::RenderDevice> gone = plat::RenderDevice::CreateHeadless(64, 64);
    plat::ValidateDevice(gone.get());
    plat::ValidateDevice(m_device.get());
    ASSERT_NE(pixels->On(gone.get()), 0u);
    ASSERT_NE(pixels->On(m_device.get()), 0u);
    EXPECT_EQ(pixels->DeviceCopies(), 2u);
  }
  const std::size_t textures = m_device->TextureCount();
  pixels.reset();  // under AddressSanitizer a touch of the gone device would be reported
  EXPECT_EQ(m_device->TextureCount(), textures - 1);
}

// The device draws from the very pixels it was given: a write into them after the upload must
// not reach what it draws (and the spans it cut) before the change is announced.
TEST_F(GraphicsTest, PixelsWrittenAfterTheUploadShowOnlyOnceMarkedChanged) {
  plat::PixelTexture pixels(4, 4, std::vector<std::uint32_t>(16, kBlue));
  const auto quad = [](HTEXTURE tex) {
    hgeQuad q{};
    q.tex = tex;
    q.blend = BLEND_DEFAULT;
    const float xs[4] = {10, 14, 14, 10}, ys[4] = {10, 10, 14, 14}, us[4] = {0, 1, 1, 0},
                vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) q.v[i] = hgeVertex{xs[i], ys[i], 0.0f, 0xFFFFFFFF, us[i], vs[i]};
    return q;
  };
  const HTEXTURE tex = pixels.On(m_device.get());
  ASSERT_NE(tex, 0u);
  // A different colour under it every frame, so that the picture is drawn again each time.
  const auto under = [&](std::uint32_t argb) { m_device->FillRect(8, 8, 8, 8, argb); };
  Draw([&] {
    under(kGreen);
    const hgeQuad q = quad(tex);
    m_device->Gfx_RenderQuad(&q);
  });
  EXPECT_EQ(Pixel(11, 11), kBlue);
  std::uint32_t* px = pixels.Pixels();
  px[5] = 0x00000000u;  // a hole at (1, 1)
  px[6] = kRed;
  Draw([&] {
    under(kRed);
    const hgeQuad q = quad(tex);  // not refreshed: still the uploaded pixels
    m_device->Gfx_RenderQuad(&q);
  });
  EXPECT_EQ(Pixel(11, 11), kBlue);
  EXPECT_EQ(Pixel(12, 11), kBlue);
  pixels.MarkChanged();
  Draw([&] {
    under(kGreen);
    const hgeQuad q = quad(pixels.On(m_device.get()));
    m_device->Gfx_RenderQuad(&q);
  });
  EXPECT_EQ(Pixel(11, 11), kGreen);
  EXPECT_EQ(Pixel(12, 11), kRed);
  EXPECT_EQ(Pixel(13, 13), kBlue);
}

TEST_F(GraphicsTest, AMissingFileGivesAnEmptyImageThatDrawsNothing) {
  OrvHgeImage img("Velmora/Image/NoSuchFile.png", false);
  EXPECT_FALSE(img.IsValid());
  EXPECT_EQ(img.getWidth(), 0);
  EXPECT_EQ(img.getHeight(), 0);
  EXPECT_EQ(img.Texture(), 0u);
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog rec(&log);
  Draw([&] {
    m_g.drawImage(&img, 0, 0);
    m_g.drawImageEx(&img, 0, 0, 1.0f, 2.0f, 2.0f);
    m_g.drawImage(static_cast<const OrvHgeImage*>(nullptr), 0, 0);
  });
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Pixel(0, 0), kBackground);
}

TEST_F(GraphicsTest, ScaledPicturesAreFilteredTheGameArtIsNot) {
  const std::string checker = tktest::WritePattern(m_dir, "checker.png", 64, 64, true);
  OrvHgeImage picture(checker.c_str(), true), art(checker.c_str(), false);
  Draw([&] {
    m_g.drawImageEx(&picture, 0, 0, 0.0f, 0.25f, 0.25f);
    m_g.drawImageEx(&art, 100, 0, 0.0f, 0.25f, 0.25f);
  });
  const int filtered = (Pixel(8, 8) >> 8) & 0xFF;  // black and white squares averaged
  EXPECT_GT(filtered, 100);
  EXPECT_LT(filtered, 156);
  const int plain = (Pixel(108, 8) >> 8) & 0xFF;
  EXPECT_TRUE(plain == 0 || plain == 255);
}

TEST_F(GraphicsTest, EmptyClipAreasDrawNothingAndGradientsKeepTheirCorners) {
  Draw([&] {
    m_g.pushClipArea(gcn::Rectangle(10, 10, 0, 50));
    m_g.setColor(gcn::Color(255, 0, 0, 255));
    m_g.fillRectangle(gcn::Rectangle(-10, -10, 100, 100));
    m_g.popClipArea();
    m_g.pushClipArea(gcn::Rectangle(100, 100, 50, 50));
    m_g.fillGradient(gcn::Rectangle(-10, -10, 70, 70), gcn::Color(255, 0, 0, 255), gcn::Color(0, 255, 0, 255),
                     gcn::Color(0, 0, 255, 255), gcn::Color(255, 255, 0, 255));
    m_g.popClipArea();
  });
  EXPECT_EQ(Pixel(10, 10), kBackground);
  EXPECT_EQ(Pixel(0, 0), kBackground);
  EXPECT_EQ(Pixel(99, 120), kBackground);   // cut on the left
  EXPECT_EQ(Pixel(150, 120), kBackground);  // and on the right
  const std::uint32_t nearTopLeft = Pixel(100, 100), nearBottomRight = Pixel(149, 149);
  EXPECT_GT((nearTopLeft >> 16) & 0xFF, 150u);
  EXPECT_GT(nearBottomRight & 0xFF, 150u);
  EXPECT_LT((nearBottomRight >> 16) & 0xFF, 100u);
}

TEST_F(GraphicsTest, PrimitivesUseTheCurrentColourAndLogScreenCoordinates) {
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog rec(&log);
  Draw([&] {
    m_g.pushClipArea(gcn::Rectangle(20, 20, 100, 100));
    m_g.setColor(gcn::Color(0, 0, 255, 255));
    m_g.drawLine(5, 0, 5, 9);
    m_g.drawRectangle(gcn::Rectangle(30, 30, 10, 10));
    m_g.popClipArea();
  });
  EXPECT_EQ(Pixel(25, 20), kBlue);
  EXPECT_EQ(Pixel(25, 29), kBlue);
  EXPECT_EQ(Pixel(25, 30), kBackground);
  EXPECT_EQ(Pixel(50, 50), kBlue);
  EXPECT_EQ(Pixel(59, 59), kBlue);
  EXPECT_EQ(Pixel(55, 55), kBackground);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].kind, plat::DrawRecord::Line);
  EXPECT_EQ(log[0].x, 25);
  EXPECT_EQ(log[0].h, 9);
  EXPECT_EQ(log[1].kind, plat::DrawRecord::Rect);
  EXPECT_FALSE(log[1].filled);
  EXPECT_EQ(log[1].x, 50);
}

// A device that can be "replaced by another one at the same address": Reset() forgets every
// texture and hands out the same handles again, as a new RenderDevice would.
class FakeDevice : public HGE {
 public:
  // numbered: the new device tells itself apart by Instance(), as a RenderDevice does.
  void Reset(bool numbered = false) {
    m_tex.clear();
    m_instance = numbered ? m_instance + 1 : 0;
  }
  std::uint64_t Instance() const override { return m_instance; }
  std::uint32_t FirstPixelOfLastQuad() const { return m_lastFirstPixel; }

  void Release() override {}
  float Timer_GetDelta() override { return 0; }
  void Gfx_SetClipping(int, int, int, int) override {}
  void Gfx_RenderQuad(const hgeQuad* q) override {
    auto it = m_tex.find(q->tex);
    m_lastFirstPixel = it == m_tex.end() ? 0 : it->second.px[0];
  }
  void Gfx_RenderLine(float, float, float, float, std::uint32_t) override {}
  HTEXTURE Texture_Create(int w, int h) override {
    const HTEXTURE t = m_tex.size() + 1;
    m_tex[t] = Tex{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
    return t;
  }
  HTEXTURE Texture_Load(const char*) override { return 0; }
  void Texture_Free(HTEXTURE t) override { m_tex.erase(t); }
  int Texture_GetWidth(HTEXTURE t, bool) override { return m_tex.count(t) ? m_tex[t].w : 0; }
  int Texture_GetHeight(HTEXTURE t, bool) override { return m_tex.count(t) ? m_tex[t].h : 0; }
  std::uint32_t* Texture_Lock(HTEXTURE t, bool, int, int, int, int) override {
    return m_tex.count(t) ? m_tex[t].px.data() : nullptr;
  }
  void Texture_Unlock(HTEXTURE) override {}
  void* System_GetWindowHandle() override { return nullptr; }

 private:
  struct Tex {
    int w, h;
    std::vector<std::uint32_t> px;
  };
  std::map<HTEXTURE, Tex> m_tex;
  std::uint32_t m_lastFirstPixel = 0;
  std::uint64_t m_instance = 0;
};

// The texture remembered for the old device has the same size as one of the new device under
// the same handle: only the device's number tells them apart.
TEST(GraphicsDeviceTest, ANumberedDeviceAtAnOldAddressIsKnownWithoutAskingForSizes) {
  plat::PixelTexture picture(8, 8, std::vector<std::uint32_t>(64, kRed));
  FakeDevice device;
  device.Reset(true);
  const HTEXTURE first = picture.On(&device);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(picture.On(&device), first);  // the same device: the same texture, not a new one
  device.Reset(true);
  const HTEXTURE stranger = device.Texture_Create(8, 8);
  ASSERT_EQ(stranger, first);  // the old handle now names a texture of the new device
  const HTEXTURE mine = picture.On(&device);
  ASSERT_NE(mine, 0u);
  EXPECT_NE(mine, stranger);
  EXPECT_EQ(*device.Texture_Lock(mine, true, 0, 0, 0, 0), kRed);
  EXPECT_EQ(picture.DeviceCopies(), 1u);
}

TEST(GraphicsDeviceTest, ANewDeviceAtAnOldAddressGetsItsOwnTextures) {
  tktest::TempDir dir;
  const std::string red = tktest::WriteStrip(dir, "r.png", 8, 8, {kRed});
  const std::string green = tktest::WriteStrip(dir, "g.png", 8, 8, {kGreen});
  OrvHgeImage r(red.c_str(), false), g(green.c_str(), false);
  FakeDevice device;
  OrvHgeGraphics gfx(&device);
  for (int round = 0; round < 3; ++round) {
    if (round > 0) device.Reset();
    gfx._beginDraw();
    // The other image first, so that the old handles would now name it.
    if (round > 0) gfx.drawImage(&g, 16, 0);
    gfx.drawImage(&r, 0, 0);
    gfx._endDraw();
    EXPECT_EQ(device.FirstPixelOfLastQuad(), kRed) << "round " << round;
  }
}

}  // namespace
