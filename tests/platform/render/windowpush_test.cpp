// Pushing only what changed into a window: the scaled rectangles must join without seams, reach
// the letterbox's edges, and the device must push nothing for an unchanged frame and the whole
// window after a resize or an expose.
#include "platform/render/windowpush.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "platform/render/renderdevice.h"

namespace {

using plat::IRect;
using plat::Letterbox;
using plat::PushPlanner;
using plat::RenderDevice;
using plat::ScaleMap;

std::vector<std::uint32_t> Noise(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  for (auto& p : px) p = 0xFF000000u | (rng() & 0xFFFFFFu);
  return px;
}

// The whole window drawn at once: the reference every sequence of partial pushes must reach.
std::vector<std::uint32_t> FullWindow(const std::vector<std::uint32_t>& game, int gw, int gh,
                                      int ww, int wh) {
  std::vector<std::uint32_t> win(static_cast<std::size_t>(ww) * wh, 0x12345678u);
  const Letterbox box = Letterbox::Fit(gw, gh, ww, wh);
  plat::FillBars(win.data(), ww, ww, wh, box);
  ScaleMap map;
  map.Build(gw, gh, box.w, box.h);
  map.Scale(game.data(), gw, win.data() + box.y * ww + box.x, ww, IRect{0, 0, box.w, box.h});
  return win;
}

TEST(ScaleMap, ChangedRectanglesScaledAloneMatchAFullScale) {
  constexpr int gw = 160, gh = 90;
  const struct {
    int ww, wh;
  } windows[] = {{160, 90}, {320, 180}, {200, 200}, {161, 90}, {97, 61}, {1000, 300}, {50, 50}};
  for (const auto& w : windows) {
    std::vector<std::uint32_t> game = Noise(gw, gh, 1);
    std::vector<std::uint32_t> win = FullWindow(game, gw, gh, w.ww, w.wh);
    PushPlanner planner;
    ASSERT_TRUE(planner.Plan(gw, gh, w.ww, w.wh, {}));  // a new window is pushed whole
    EXPECT_TRUE(planner.Full());
    const Letterbox box = planner.Box();
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
      // Change a few rectangles of the game picture, edges and corners included.
      std::vector<IRect> changed;
      for (int k = 0; k < 3; ++k) {
        const int x0 = rng() % gw, y0 = rng() % gh;
        const IRect r{x0, y0, std::min(gw, x0 + 1 + int(rng() % 20)), std::min(gh, y0 + 1 + int(rng() % 12))};
        for (int y = r.y0; y < r.y1; ++y)
          for (int x = r.x0; x < r.x1; ++x) game[y * gw + x] = 0xFF000000u | (rng() & 0xFFFFFFu);
        changed.push_back(r);
      }
      if (round % 5 == 0) changed.push_back(IRect{gw - 1, gh - 1, gw, gh});
      ASSERT_TRUE(planner.Plan(gw, gh, w.ww, w.wh, changed));
      EXPECT_FALSE(planner.Full());
      for (const IRect& r : planner.Rects()) {
        // Never into the bars, never outside the window.
        EXPECT_GE(r.x0, box.x);
        EXPECT_GE(r.y0, box.y);
        EXPECT_LE(r.x1, box.x + box.w);
        EXPECT_LE(r.y1, box.y + box.h);
        planner.Map().Scale(game.data(), gw, win.data() + box.y * w.ww + box.x, w.ww,
                            IRect{r.x0 - box.x, r.y0 - box.y, r.x1 - box.x, r.y1 - box.y});
      }
    }
    const std::vector<std::uint32_t> want = FullWindow(game, gw, gh, w.ww, w.wh);
    int wrong = 0;
    for (std::size_t i = 0; i < want.size(); ++i) wrong += want[i] != win[i];
    EXPECT_EQ(wrong, 0) << w.ww << "x" << w.wh;
  }
}

// One box pixel the slow way: centres map to centres, the two nearest game pixels on each axis
// blended by their distance in 1/256 (clamped at the picture's edges).
std::uint32_t Bilinear(const std::vector<std::uint32_t>& game, int gw, int gh, int bw, int bh, int x, int y) {
  auto axis = [](int j, int g, int b, int* i0, int* i1, int* f) {
    const double s = ((j + 0.5) * g / b - 0.5) * 256;
    const long long q = static_cast<long long>(std::floor(s + 1e-9));
    *i0 = static_cast<int>(q >> 8);
    *f = static_cast<int>(q & 255);
    if (q < 0) *i0 = 0, *f = 0;
    if (*i0 >= g - 1) *i0 = g - 1, *f = 0;
    *i1 = *f ? *i0 + 1 : *i0;
  };
  int x0, x1, fx, y0, y1, fy;
  axis(x, gw, bw, &x0, &x1, &fx);
  axis(y, gh, bh, &y0, &y1, &fy);
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    auto c = [&](int px, int py) { return static_cast<int>((game[py * gw + px] >> shift) & 0xFF); };
    const int top = (c(x0, y0) * (256 - fx) + c(x1, y0) * fx) >> 8;
    const int bottom = (c(x0, y1) * (256 - fx) + c(x1, y1) * fx) >> 8;
    out |= static_cast<std::uint32_t>((top * (256 - fy) + bottom * fy) >> 8) << shift;
  }
  return out;
}

TEST(ScaleMap, EveryBoxPixelIsTheBilinearBlendOfItsFourGamePixels) {
  constexpr int gw = 64, gh = 36;
  const std::vector<std::uint32_t> game = Noise(gw, gh, 3);
  for (const auto& [bw, bh] : std::vector<std::pair<int, int>>{{80, 45}, {128, 72}, {37, 21}, {64, 36}, {201, 113}}) {
    ScaleMap map;
    map.Build(gw, gh, bw, bh);
    std::vector<std::uint32_t> box(static_cast<std::size_t>(bw) * bh, 0);
    // In two pieces, the second starting mid-way, as pushes do.
    map.Scale(game.data(), gw, box.data(), bw, IRect{0, 0, bw, bh / 2});
    map.Scale(game.data(), gw, box.data(), bw, IRect{bw / 3, bh / 2 - 1, bw, bh});
    map.Scale(game.data(), gw, box.data(), bw, IRect{0, bh / 2, bw / 3, bh});
    int wrong = 0;
    for (int y = 0; y < bh; ++y)
      for (int x = 0; x < bw; ++x) wrong += box[y * bw + x] != Bilinear(game, gw, gh, bw, bh, x, y);
    EXPECT_EQ(wrong, 0) << bw << "x" << bh;
  }
}

TEST(ScaleMap, CoverReachesTheBoxEdgesAndStaysInside) {
  ScaleMap same, twice, odd;
  same.Build(1280, 720, 1280, 720);
  twice.Build(1280, 720, 2560, 1440);
  odd.Build(1280, 720, 1001, 563);
  EXPECT_TRUE(same.Identity());
  // Unscaled: a rectangle covers itself.
  const IRect r{10, 20, 30, 25};
  const IRect s = same.Cover(r);
  EXPECT_TRUE(s.x0 == 10 && s.y0 == 20 && s.x1 == 30 && s.y1 == 25);
  // Doubled and blended: the rectangle's double plus the neighbours blending with it.
  const IRect t = twice.Cover(r);
  EXPECT_EQ(t.x0, 19);
  EXPECT_EQ(t.x1, 61);
  EXPECT_EQ(t.y0, 39);
  EXPECT_EQ(t.y1, 51);
  // The whole picture covers the whole box; the corners reach the box's last pixels.
  for (const ScaleMap* m : {&same, &twice, &odd}) {
    const IRect all = m->Cover(IRect{0, 0, 1280, 720});
    EXPECT_TRUE(all.x0 == 0 && all.y0 == 0 && all.x1 == m->BoxWidth() && all.y1 == m->BoxHeight());
    const IRect corner = m->Cover(IRect{1279, 719, 1280, 720});
    EXPECT_EQ(corner.x1, m->BoxWidth());
    EXPECT_EQ(corner.y1, m->BoxHeight());
    EXPECT_FALSE(corner.Empty());
    const IRect first = m->Cover(IRect{0, 0, 1, 1});
    EXPECT_EQ(first.x0, 0);
    EXPECT_EQ(first.y0, 0);
    // Outside the picture or empty: nothing.
    EXPECT_TRUE(m->Cover(IRect{1280, 0, 1400, 10}).Empty());
    EXPECT_TRUE(m->Cover(IRect{-50, -50, 0, 0}).Empty());
    EXPECT_TRUE(m->Cover(IRect{5, 5, 5, 9}).Empty());
  }
}

TEST(PushPlanner, PushesNothingUnchangedAndTheWholeWindowAfterResizeOrInvalidate) {
  PushPlanner p;
  ASSERT_TRUE(p.Plan(1280, 720, 1281, 720, {}));
  EXPECT_TRUE(p.Full());
  ASSERT_EQ(p.Rects().size(), 1u);
  EXPECT_EQ(p.Rects()[0].x1, 1281);  // the spare bar column too
  EXPECT_FALSE(p.Plan(1280, 720, 1281, 720, {}));
  EXPECT_TRUE(p.Rects().empty());
  // Unscaled in a wider window: the changed rectangle moved by the bar.
  ASSERT_TRUE(p.Plan(1280, 720, 1281, 720, {IRect{1270, 700, 1280, 720}}));
  EXPECT_FALSE(p.Full());
  ASSERT_EQ(p.Rects().size(), 1u);
  EXPECT_EQ(p.Rects()[0].x0, 1270);
  EXPECT_EQ(p.Rects()[0].x1, 1280);  // never into the bar column
  ASSERT_TRUE(p.Plan(1280, 720, 800, 800, {}));  // resized
  EXPECT_TRUE(p.Full());
  EXPECT_EQ(p.Box().y, (800 - 450) / 2);
  p.Invalidate();  // exposed
  ASSERT_TRUE(p.Plan(1280, 720, 800, 800, {}));
  EXPECT_TRUE(p.Full());
  // A window with no area shows nothing; what it shows next is the whole picture.
  EXPECT_FALSE(p.Plan(1280, 720, 0, 0, {IRect{0, 0, 10, 10}}));
  ASSERT_TRUE(p.Plan(1280, 720, 800, 800, {IRect{0, 0, 10, 10}}));
  EXPECT_TRUE(p.Full());
}

TEST(PushPlanner, BarsAreBlackAndThePictureUntouched) {
  const int ww = 10, wh = 8;
  std::vector<std::uint32_t> win(ww * wh, 7u);
  const Letterbox box = Letterbox::Fit(4, 2, ww, wh);  // 10 x 5 at y 1
  plat::FillBars(win.data(), ww, ww, wh, box);
  for (int y = 0; y < wh; ++y)
    for (int x = 0; x < ww; ++x) {
      const bool inside = y >= box.y && y < box.y + box.h && x >= box.x && x < box.x + box.w;
      EXPECT_EQ(win[y * ww + x], inside ? 7u : 0xFF000000u) << x << "," << y;
    }
}

// The device, windowed through SDL's dummy video driver (it keeps a window surface in memory).
class WindowedDevice : public ::testing::TestWithParam<RenderDevice::Present> {
 protected:
  static constexpr int kW = 160, kH = 90;
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string error;
    dev = RenderDevice::CreateWindowed("push test", kW, kH, &error, GetParam());
    ASSERT_TRUE(dev) << error;
    ASSERT_EQ(dev->PresentMethod(), GetParam());
    window = static_cast<SDL_Window*>(dev->System_GetWindowHandle());
  }
  void Frame(int movingX) {
    dev->BeginFrame(0.0f, 0xFF000000u);
    dev->FillRect(0, 0, kW, kH, 0xFF204060u);
    dev->FillRect(movingX, 30, 12, 10, 0xFFFFC000u);
    dev->FillRect(kW - 5, kH - 5, 5, 5, 0xFF00FF00u);  // the corner, for the letterbox edges
    dev->EndFrame();
  }
  std::vector<std::uint32_t> Game() const {
    std::vector<std::uint32_t> px(kW * kH);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) px[y * kW + x] = dev->ReadPixel(x, y);
    return px;
  }
  // The window's pixels as pushed (the dummy driver's surface), alpha ignored.
  int WrongWindowPixels() {
    SDL_Surface* ws = SDL_GetWindowSurface(window);
    if (!ws || ws->format->BytesPerPixel != 4) return -1;
    const auto want = FullWindow(Game(), kW, kH, ws->w, ws->h);
    int wrong = 0;
    for (int y = 0; y < ws->h; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(ws->pixels) + y * ws->pitch);
      for (int x = 0; x < ws->w; ++x) wrong += ((row[x] ^ want[y * ws->w + x]) & 0xFFFFFFu) != 0;
    }
    return wrong;
  }
  std::unique_ptr<RenderDevice> dev;
  SDL_Window* window = nullptr;
};

TEST_P(WindowedDevice, PushesOnlyWhatChangedAndEverythingAfterResizeOrExpose) {
  Frame(10);
  auto counts = dev->PresentCounts();
  EXPECT_EQ(counts.pushes, 1u);
  EXPECT_EQ(counts.fullPushes, 1u);
  Frame(10);  // the same frame: nothing drawn, nothing pushed
  counts = dev->PresentCounts();
  EXPECT_EQ(counts.pushes, 1u);
  EXPECT_EQ(counts.unchanged, 1u);
  EXPECT_TRUE(dev->LastPushedRects().empty());
  Frame(14);  // the moving box: a small push
  counts = dev->PresentCounts();
  EXPECT_EQ(counts.pushes, 2u);
  EXPECT_EQ(counts.fullPushes, 1u);
  ASSERT_FALSE(dev->LastPushedRects().empty());
  long long area = 0;
  for (const IRect& r : dev->LastPushedRects()) area += r.Area();
  EXPECT_GT(area, 0);
  EXPECT_LT(area, kW * kH / 8);

  // A resize repaints the whole window even with nothing changed in the game.
  SDL_SetWindowSize(window, 250, 90);
  Frame(14);
  counts = dev->PresentCounts();
  EXPECT_EQ(counts.fullPushes, 2u);
  // The surface's pixels are what was pushed; the texture's go through SDL's own scaling.
  const bool surface = GetParam() == RenderDevice::Present::kWindowSurface;
  if (surface) {
    EXPECT_EQ(WrongWindowPixels(), 0);
  }
  for (int x = 20; x < 150; x += 7) {
    Frame(x);  // scaled partial pushes keep the window equal to a full scale
    if (surface) {
      EXPECT_EQ(WrongWindowPixels(), 0) << x;
    }
  }
  SDL_SetWindowSize(window, 121, 200);
  Frame(30);
  Frame(33);
  if (surface) {
    EXPECT_EQ(WrongWindowPixels(), 0);
  }

  // An expose (another window uncovered it) repaints the whole window too.
  const std::uint64_t full = dev->PresentCounts().fullPushes;
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = SDL_GetWindowID(window);
  e.window.event = SDL_WINDOWEVENT_EXPOSED;
  ASSERT_EQ(SDL_PushEvent(&e), 1);
  SDL_PumpEvents();
  Frame(33);
  EXPECT_EQ(dev->PresentCounts().fullPushes, full + 1);
  Frame(33);
  EXPECT_EQ(dev->PresentCounts().fullPushes, full + 1);
  // Another window's events change nothing here.
  e.window.windowID = SDL_GetWindowID(window) + 1000;
  ASSERT_EQ(SDL_PushEvent(&e), 1);
  Frame(33);
  EXPECT_EQ(dev->PresentCounts().fullPushes, full + 1);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

TEST_P(WindowedDevice, FullRedrawWithoutTrackingPushesEveryFrame) {
  dev->SetDirtyTracking(false);
  Frame(10);
  Frame(10);
  EXPECT_EQ(dev->PresentCounts().pushes, 2u);
  EXPECT_EQ(dev->PresentCounts().unchanged, 0u);
}

INSTANTIATE_TEST_SUITE_P(BothWays, WindowedDevice,
                         ::testing::Values(RenderDevice::Present::kWindowSurface,
                                           RenderDevice::Present::kStreamingTexture),
                         [](const auto& info) {
                           return info.param == RenderDevice::Present::kWindowSurface ? "Surface"
                                                                                      : "Texture";
                         });

}  // namespace
