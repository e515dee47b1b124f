#include "platform/render/renderdevice.h"
#include "testing/tempdir.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tests/platform/render/rectquad.h"

namespace {

using plat::RenderDevice;

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr int kW = 200, kH = 150;

int Chan(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }
int Red(std::uint32_t c) { return Chan(c, 16); }
int Green(std::uint32_t c) { return Chan(c, 8); }
int Blue(std::uint32_t c) { return Chan(c, 0); }

std::string TempPath(const std::string& name) {
  static const veltest::TempDir dir("render-test");
  return dir.File(name);
}

class RenderDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dev = RenderDevice::CreateHeadless(kW, kH);
    ASSERT_TRUE(dev);
    dev->BeginFrame(0.0f, kBlack);
  }
  void Fill(std::uint32_t col) {
    const hgeQuad q = RectQuad(0, 0, kW, kH, col);
    dev->Gfx_RenderQuad(&q);
  }
  HTEXTURE SolidTexture(int w, int h, std::uint32_t argb) {
    HTEXTURE t = dev->Texture_Create(w, h);
    std::uint32_t* p = dev->Texture_Lock(t, false);
    if (!p) return t;
    for (int i = 0; i < w * h; ++i) p[i] = argb;
    dev->Texture_Unlock(t);
    return t;
  }
  std::unique_ptr<RenderDevice> dev;
};

TEST_F(RenderDeviceTest, ClipRectangleInScreenCoordinates) {
  dev->Gfx_SetClipping(10, 20, 30, 40);
  Fill(kRed);
  EXPECT_EQ(dev->ReadPixel(10, 20), kRed);
  EXPECT_EQ(dev->ReadPixel(39, 59), kRed);
  EXPECT_EQ(dev->ReadPixel(40, 30), kBlack);  // x + w is outside
  EXPECT_EQ(dev->ReadPixel(20, 60), kBlack);
  EXPECT_EQ(dev->ReadPixel(9, 30), kBlack);
  // Lines and filled rectangles are clipped too.
  dev->Gfx_RenderLine(0, 25, kW, 25, kGreen);
  dev->FillRect(0, 50, kW, 3, kBlue);
  EXPECT_EQ(dev->ReadPixel(15, 25), kGreen);
  EXPECT_EQ(dev->ReadPixel(60, 25), kBlack);
  EXPECT_EQ(dev->ReadPixel(15, 51), kBlue);
  EXPECT_EQ(dev->ReadPixel(60, 51), kBlack);
  // Partly off screen: clamped, not dropped.
  dev->Gfx_SetClipping(-10, -10, 15, 15);
  Fill(kWhite);
  EXPECT_EQ(dev->ReadPixel(0, 0), kWhite);
  EXPECT_EQ(dev->ReadPixel(4, 4), kWhite);
  EXPECT_EQ(dev->ReadPixel(5, 5), kBlack);
  // All zero resets to the whole screen.
  dev->Gfx_SetClipping(0, 0, 0, 0);
  Fill(kBlue);
  EXPECT_EQ(dev->ReadPixel(kW - 1, kH - 1), kBlue);
}

TEST_F(RenderDeviceTest, EmptyClipDrawsNothing) {
  const HTEXTURE tex = SolidTexture(4, 4, kWhite);
  const int empties[][4] = {{10, 10, 0, 5}, {10, 10, 5, 0}, {10, 10, -5, 5},
                            {kW, 0, 10, 10}, {-50, -50, 20, 20}, {5, 5, 0, 0}};
  for (const auto& c : empties) {
    dev->BeginFrame(0.0f, kBlack);
    dev->Gfx_SetClipping(c[0], c[1], c[2], c[3]);
    Fill(kRed);
    const hgeQuad q = RectQuad(0, 0, kW, kH, kWhite, tex);
    dev->Gfx_RenderQuad(&q);
    dev->Gfx_RenderLine(0, 12, kW, 12, kGreen);
    dev->FillRect(0, 0, kW, kH, kBlue);
    for (int y : {0, 7, 12, kH - 1})
      for (int x : {0, 7, 12, kW - 1})
        ASSERT_EQ(dev->ReadPixel(x, y), kBlack) << c[0] << "," << c[1] << " " << c[2] << "x" << c[3];
  }
  dev->Gfx_SetClipping();
  Fill(kRed);
  EXPECT_EQ(dev->ReadPixel(7, 7), kRed);
}

TEST_F(RenderDeviceTest, CornerColoursInterpolateAndMultiplyTheTexture) {
  const std::uint32_t corners[4] = {kRed, kGreen, kBlue, kWhite};
  const HTEXTURE gray = SolidTexture(8, 8, 0xFF808080);
  for (HTEXTURE tex : {HTEXTURE(0), gray}) {
    dev->BeginFrame(0.0f, kBlack);
    hgeQuad q = RectQuad(0, 0, 100, 100, 0, tex);
    for (int i = 0; i < 4; ++i) q.v[i].col = corners[i];
    dev->Gfx_RenderQuad(&q);
    const int full = tex ? 0x80 : 0xFF;
    const std::uint32_t tl = dev->ReadPixel(1, 1), tr = dev->ReadPixel(98, 1);
    const std::uint32_t br = dev->ReadPixel(98, 98), bl = dev->ReadPixel(1, 98);
    EXPECT_NEAR(Red(tl), full, 8);
    EXPECT_LT(Green(tl), 20);
    EXPECT_NEAR(Green(tr), full, 12);
    EXPECT_LT(Red(tr), 20);
    EXPECT_NEAR(Blue(br), full, 12);
    EXPECT_LT(Red(br), 20);
    EXPECT_NEAR(Red(bl), full, 12);
    EXPECT_NEAR(Green(bl), full, 12);
    EXPECT_NEAR(Blue(bl), full, 12);
    // Inside the upper-right triangle red, green and blue mix; inside the lower-left one
    // red, blue and white do (the shared diagonal runs from top-left to bottom-right).
    const std::uint32_t upper = dev->ReadPixel(66, 33), lower = dev->ReadPixel(33, 66);
    EXPECT_GT(Red(upper), full / 5);
    EXPECT_GT(Green(upper), full / 5);
    EXPECT_GT(Blue(upper), full / 5);
    EXPECT_GT(Green(lower), full / 8);
    EXPECT_LT(Green(lower), Red(lower));
  }
}

TEST_F(RenderDeviceTest, AlphaBlendsOverTheFrame) {
  Fill(kBlue);
  const HTEXTURE clear = dev->Texture_Create(16, 16);  // transparent from the start
  const HTEXTURE half = SolidTexture(16, 16, 0x80FFFFFF);
  hgeQuad a = RectQuad(0, 0, 50, 50, kWhite, clear);
  hgeQuad b = RectQuad(60, 0, 50, 50, kWhite, half);
  hgeQuad c = RectQuad(120, 0, 50, 50, 0x80FF0000);  // untextured, half red
  dev->Gfx_RenderQuad(&a);
  dev->Gfx_RenderQuad(&b);
  dev->Gfx_RenderQuad(&c);
  EXPECT_EQ(dev->ReadPixel(25, 25), kBlue);
  const std::uint32_t mixed = dev->ReadPixel(85, 25);
  EXPECT_NEAR(Red(mixed), 0x80, 4);
  EXPECT_NEAR(Blue(mixed), 0xFF, 4);
  const std::uint32_t redOverBlue = dev->ReadPixel(145, 25);
  EXPECT_NEAR(Red(redOverBlue), 0x80, 4);
  EXPECT_NEAR(Blue(redOverBlue), 0x7F, 4);

  // An opaque texture still blends when a vertex colour is translucent, and again after a
  // lock made part of it transparent.
  const HTEXTURE solid = SolidTexture(16, 16, kRed);
  hgeQuad d = RectQuad(0, 60, 50, 50, 0x80FFFFFF, solid);
  dev->Gfx_RenderQuad(&d);
  const std::uint32_t tinted = dev->ReadPixel(25, 85);
  EXPECT_NEAR(Red(tinted), 0x80, 4);
  EXPECT_NEAR(Blue(tinted), 0x7F, 4);
  std::uint32_t* p = dev->Texture_Lock(solid, false, 0, 0, 8, 16);
  ASSERT_TRUE(p);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 8; ++x) p[y * 16 + x] = 0;
  dev->Texture_Unlock(solid);
  hgeQuad e = RectQuad(60, 60, 32, 32, kWhite, solid);
  dev->Gfx_RenderQuad(&e);
  EXPECT_EQ(dev->ReadPixel(65, 75), kBlue);  // left half now transparent
  EXPECT_EQ(dev->ReadPixel(85, 75), kRed);
}

TEST_F(RenderDeviceTest, RotatedQuadCoversTheRotatedArea) {
  // A 60 x 10 bar turned 90 degrees clockwise about (100, 50) runs down from there.
  hgeQuad q = RectQuad(0, 0, 60, 10, kGreen);
  const float c = std::cos(static_cast<float>(M_PI) / 2), s = std::sin(static_cast<float>(M_PI) / 2);
  for (hgeVertex& v : q.v) {
    const float x = v.x, y = v.y;
    v.x = x * c - y * s + 100;
    v.y = x * s + y * c + 50;
  }
  dev->Gfx_RenderQuad(&q);
  EXPECT_EQ(dev->ReadPixel(95, 80), kGreen);
  EXPECT_EQ(dev->ReadPixel(92, 105), kGreen);
  EXPECT_EQ(dev->ReadPixel(130, 55), kBlack);
  EXPECT_EQ(dev->ReadPixel(105, 80), kBlack);
}

TEST_F(RenderDeviceTest, TextureLockRoundTrip) {
  const HTEXTURE t = dev->Texture_Create(8, 4);
  ASSERT_NE(t, 0u);
  EXPECT_EQ(dev->Texture_GetWidth(t), 8);
  EXPECT_EQ(dev->Texture_GetHeight(t), 4);
  std::uint32_t* p = dev->Texture_Lock(t, true);
  ASSERT_TRUE(p);
  for (int i = 0; i < 32; ++i) ASSERT_EQ(p[i], 0u);  // transparent at creation
  EXPECT_EQ(dev->Texture_Lock(t, false), nullptr);   // already locked
  dev->Texture_Unlock(t);

  p = dev->Texture_Lock(t, false);
  for (int i = 0; i < 32; ++i) p[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x070503);
  dev->Texture_Unlock(t);
  // A sub-rectangle: pointer at (2, 1), rows one texture width apart.
  p = dev->Texture_Lock(t, false, 2, 1, 3, 2);
  ASSERT_TRUE(p);
  p[0] = kRed;
  p[8 + 2] = kGreen;  // (4, 2)
  dev->Texture_Unlock(t);

  const hgeQuad q = RectQuad(0, 0, 8, 4, kWhite, t);
  dev->Gfx_RenderQuad(&q);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      std::uint32_t want = 0xFF000000u | static_cast<std::uint32_t>((y * 8 + x) * 0x070503);
      if (x == 2 && y == 1) want = kRed;
      if (x == 4 && y == 2) want = kGreen;
      ASSERT_EQ(dev->ReadPixel(x, y), want) << x << "," << y;
    }
  // A read-only lock sees the pixels and changes nothing on screen when written anyway.
  p = dev->Texture_Lock(t, true);
  EXPECT_EQ(p[8 + 2], kRed);
  p[0] = kBlue;
  dev->Texture_Unlock(t);
  dev->BeginFrame(0.0f, kBlack);
  dev->Gfx_RenderQuad(&q);
  EXPECT_NE(dev->ReadPixel(0, 0), kBlue);
}

TEST_F(RenderDeviceTest, BadHandlesAndRectanglesAreHarmless) {
  EXPECT_EQ(dev->Texture_Create(0, 10), 0u);
  EXPECT_EQ(dev->Texture_Create(10, -1), 0u);
  EXPECT_EQ(dev->Texture_Create(1 << 20, 1), 0u);
  const HTEXTURE t = SolidTexture(4, 4, kRed);
  EXPECT_EQ(dev->Texture_Lock(t, false, 4, 0, 1, 1), nullptr);
  EXPECT_EQ(dev->Texture_Lock(t, false, -1, 0, 1, 1), nullptr);
  std::uint32_t* p = dev->Texture_Lock(t, false, 3, 3, 100, 100);  // clamped to 1 x 1
  ASSERT_TRUE(p);
  *p = kGreen;
  dev->Texture_Unlock(t);
  dev->Texture_Unlock(t);  // second unlock is ignored
  dev->Texture_Free(t);
  EXPECT_EQ(dev->Texture_GetWidth(t), 0);
  EXPECT_EQ(dev->Texture_Lock(t), nullptr);
  dev->Texture_Unlock(t);
  dev->Texture_Free(t);
  const hgeQuad freed = RectQuad(0, 0, 50, 50, kWhite, t);
  dev->Gfx_RenderQuad(&freed);
  dev->Gfx_RenderQuad(nullptr);
  hgeQuad nan = RectQuad(0, 0, 50, 50, kWhite);
  nan.v[2].x = std::nanf("");
  dev->Gfx_RenderQuad(&nan);
  hgeQuad huge = RectQuad(0, 0, 50, 50, kWhite);
  huge.v[1].x = 1e30f;
  dev->Gfx_RenderQuad(&huge);
  dev->Gfx_RenderLine(0, 0, INFINITY, 5);
  EXPECT_EQ(dev->ReadPixel(10, 10), kBlack);
  EXPECT_EQ(dev->ReadPixel(-1, 0), 0u);
  EXPECT_EQ(dev->ReadPixel(0, kH), 0u);
}

TEST_F(RenderDeviceTest, TextureFromPngFileAndMissingFiles) {
  const std::string png = TempPath("tex.png");
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 32, SDL_PIXELFORMAT_ARGB8888);
  ASSERT_TRUE(s);
  const std::uint32_t px[6] = {kRed, kGreen, kBlue, 0x80FFFFFF, 0x00000000, 0xFF123456};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      static_cast<std::uint32_t*>(s->pixels)[y * (s->pitch / 4) + x] = px[y * 3 + x];
  ASSERT_EQ(IMG_SavePNG(s, png.c_str()), 0);
  SDL_FreeSurface(s);

  const HTEXTURE t = dev->Texture_Load(png.c_str());
  ASSERT_NE(t, 0u);
  EXPECT_EQ(dev->Texture_GetWidth(t), 3);
  EXPECT_EQ(dev->Texture_GetHeight(t), 2);
  const std::uint32_t* p = dev->Texture_Lock(t, true);
  ASSERT_TRUE(p);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(p[i], px[i]) << i;
  dev->Texture_Unlock(t);
  std::remove(png.c_str());

  EXPECT_EQ(dev->Texture_Load(TempPath("missing.png").c_str()), 0u);
  EXPECT_EQ(dev->Texture_Load(nullptr), 0u);
  EXPECT_EQ(dev->Texture_Load(""), 0u);
  const std::string junk = TempPath("junk.png");
  std::ofstream(junk) << "not a picture";
  EXPECT_EQ(dev->Texture_Load(junk.c_str()), 0u);
  std::remove(junk.c_str());
}

TEST_F(RenderDeviceTest, SavePngWritesTheFrame) {
  dev->FillRect(10, 10, 20, 20, kRed);
  const std::string out = TempPath("frame.png");
  ASSERT_TRUE(dev->SavePng(out));
  SDL_Surface* loaded = IMG_Load(out.c_str());
  ASSERT_TRUE(loaded);
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  ASSERT_TRUE(argb);
  EXPECT_EQ(argb->w, kW);
  const auto* pixels = static_cast<const std::uint32_t*>(argb->pixels);
  EXPECT_EQ(pixels[15 * (argb->pitch / 4) + 15], kRed);
  EXPECT_EQ(pixels[5 * (argb->pitch / 4) + 5], kBlack);
  SDL_FreeSurface(argb);
  std::remove(out.c_str());
  EXPECT_FALSE(dev->SavePng("/nonexistent-dir/x.png"));
}

TEST_F(RenderDeviceTest, DeltaComesFromTheFrameLoop) {
  dev->BeginFrame(0.025f);
  EXPECT_FLOAT_EQ(dev->Timer_GetDelta(), 0.025f);
  dev->SetDelta(0.5f);
  HGE* hge = hgeCreate(HGE_VERSION);
  EXPECT_FLOAT_EQ(hge->Timer_GetDelta(), 0.5f);
  hge->Release();
  EXPECT_EQ(dev->System_GetWindowHandle(), nullptr);
}

TEST(HgeCreate, SharedReferenceCountedDevice) {
  EXPECT_EQ(hgeCreate(0x170), nullptr);
  {
    auto first = RenderDevice::CreateHeadless(64, 64);
    ASSERT_TRUE(first);
    HGE* a = hgeCreate(HGE_VERSION);
    HGE* b = hgeCreate(HGE_VERSION);
    EXPECT_EQ(a, first.get());
    EXPECT_EQ(b, first.get());
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_EQ(hgeCreate(HGE_VERSION + 1), nullptr);
    EXPECT_EQ(first->RefCount(), 2);
    {
      auto second = RenderDevice::CreateHeadless(32, 32);
      HGE* c = hgeCreate(HGE_VERSION);
      EXPECT_EQ(c, second.get());  // the newest device is current
      c->Release();
      EXPECT_EQ(second->RefCount(), 0);
    }
    HGE* d = hgeCreate(HGE_VERSION);
    EXPECT_EQ(d, first.get());  // current again once the newer one is gone
    d->Release();
    a->Release();
    b->Release();
    EXPECT_EQ(first->RefCount(), 0);
  }
  // With no device, a headless 1280 x 720 one is made and lives while referenced.
  HGE* x = hgeCreate(HGE_VERSION);
  ASSERT_TRUE(x);
  auto* implicit = dynamic_cast<RenderDevice*>(x);
  ASSERT_TRUE(implicit);
  EXPECT_EQ(implicit->Width(), 1280);
  EXPECT_EQ(implicit->Height(), 720);
  ASSERT_NE(x->Texture_Create(4, 4), 0u);
  HGE* y = hgeCreate(HGE_VERSION);
  EXPECT_EQ(x, y);
  EXPECT_EQ(implicit->TextureCount(), 1u);
  y->Release();
  x->Release();  // last reference: the implicit device and its texture are gone
  HGE* z = hgeCreate(HGE_VERSION);
  ASSERT_TRUE(z);
  EXPECT_EQ(dynamic_cast<RenderDevice*>(z)->TextureCount(), 0u);
  z->Release();
}

class CountingHge : public HGE {
 public:
  void Release() override { ++releases; }
  float Timer_GetDelta() override { return 1.0f; }
  void Gfx_SetClipping(int, int, int, int) override {}
  void Gfx_RenderQuad(const hgeQuad*) override {}
  void Gfx_RenderLine(float, float, float, float, std::uint32_t) override {}
  HTEXTURE Texture_Create(int, int) override { return 0; }
  HTEXTURE Texture_Load(const char*) override { return 0; }
  void Texture_Free(HTEXTURE) override {}
  int Texture_GetWidth(HTEXTURE, bool) override { return 0; }
  int Texture_GetHeight(HTEXTURE, bool) override { return 0; }
  std::uint32_t* Texture_Lock(HTEXTURE, bool, int, int, int, int) override { return nullptr; }
  void Texture_Unlock(HTEXTURE) override {}
  void* System_GetWindowHandle() override { return nullptr; }
  int releases = 0;
};

TEST(HgeCreate, OverrideForTests) {
  auto real = RenderDevice::CreateHeadless(16, 16);
  CountingHge fake;
  plat::SetHgeOverride(&fake);
  HGE* h = hgeCreate(HGE_VERSION);
  EXPECT_EQ(h, &fake);
  EXPECT_EQ(hgeCreate(0x100), nullptr);
  h->Release();
  EXPECT_EQ(fake.releases, 1);
  plat::SetHgeOverride(nullptr);
  h = hgeCreate(HGE_VERSION);
  EXPECT_EQ(h, real.get());
  h->Release();
}

// The windowed path runs the same drawing code; the dummy video driver needs no display.
TEST(RenderDeviceWindowed, DrawsThroughTheWindowRenderer) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  std::string error;
  auto dev = RenderDevice::CreateWindowed("test", 120, 90, &error);
  ASSERT_TRUE(dev) << error;
  EXPECT_NE(dev->System_GetWindowHandle(), nullptr);
  EXPECT_FALSE(dev->IsHeadless());
  dev->BeginFrame(0.0f, kBlack);
  dev->Gfx_SetClipping(10, 10, 20, 20);
  const hgeQuad q = RectQuad(0, 0, 120, 90, kRed);
  dev->Gfx_RenderQuad(&q);
  EXPECT_EQ(dev->ReadPixel(15, 15), kRed);
  EXPECT_EQ(dev->ReadPixel(35, 15), kBlack);
  dev->EndFrame();
  const std::string out = TempPath("window.png");
  EXPECT_TRUE(dev->SavePng(out));
  std::remove(out.c_str());
  EXPECT_EQ(RenderDevice::CreateWindowed("bad", 0, 10, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

}  // namespace
