#include "app/gallery/fallbackart.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <unistd.h>

namespace gallery {
namespace {

constexpr int kFrameW = 120, kFrameH = 40, kFrames = 4;
constexpr int kPictureW = 290, kPictureH = 240;
constexpr int kSkinW = 6, kSkinH = 56;  // the stacked scroll skin layout

using PixelFn = std::function<std::uint32_t(int x, int y)>;

std::string WritePng(const std::string& path, int w, int h, const PixelFn& fn) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return "";
  SDL_LockSurface(s);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < w; ++x) row[x] = fn(x, y);
  }
  SDL_UnlockSurface(s);
  const bool ok = IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok ? path : "";
}

std::uint32_t Argb(int a, int r, int g, int b) {
  return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
         (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// Normal, hover, pressed, disabled: a rounded bar in four tones.
std::uint32_t ButtonPixel(int x, int y) {
  static const int tones[kFrames][3] = {{200, 60, 50}, {240, 110, 80}, {140, 30, 25}, {120, 120, 120}};
  const int f = x / kFrameW, fx = x % kFrameW;
  const int r = 8;
  const int cx = fx < r ? r : (fx >= kFrameW - r ? kFrameW - r - 1 : fx);
  const int cy = y < r ? r : (y >= kFrameH - r ? kFrameH - r - 1 : y);
  const int dx = fx - cx, dy = y - cy;
  if (dx * dx + dy * dy > r * r) return 0;
  const int shade = 30 - y;  // lighter at the top
  auto c = [&](int v) { return v + shade < 0 ? 0 : (v + shade > 255 ? 255 : v + shade); };
  const bool border = fx < 2 || fx >= kFrameW - 2 || y < 2 || y >= kFrameH - 2;
  return border ? Argb(255, 60, 20, 10) : Argb(255, c(tones[f][0]), c(tones[f][1]), c(tones[f][2]));
}

// A sky with a sun and a hill, so that rotation and scaling show.
std::uint32_t PicturePixel(int x, int y) {
  const double sun = std::hypot(x - 200.0, y - 70.0);
  if (sun < 35) return Argb(255, 255, 210, 60);
  const double hill = 170 + 30 * std::sin(x / 40.0);
  if (y > hill) return Argb(255, 40, 140 + (y % 20), 60);
  if (x < 4 || y < 4 || x >= kPictureW - 4 || y >= kPictureH - 4) return Argb(255, 30, 30, 30);
  return Argb(255, 90, 150 + y / 4, 230);
}

// Up arrow 0-7, down arrow 8-15, track 16-31, thumb 32-55.
std::uint32_t SkinPixel(int /*x*/, int y) {
  if (y < 16) return Argb(255, 150, 40, 30);
  if (y < 32) return Argb(90, 0, 0, 0);
  return Argb(230, 230, 190, 120);
}

}  // namespace

FallbackArt::FallbackArt() {
  char tmpl[] = "/tmp/velmora-gallery-XXXXXX";
  if (!mkdtemp(tmpl)) return;
  m_dir = tmpl;
  m_button = WritePng(m_dir + "/button.png", kFrameW * kFrames, kFrameH, ButtonPixel);
  m_picture = WritePng(m_dir + "/picture.png", kPictureW, kPictureH, PicturePixel);
  m_scroll = WritePng(m_dir + "/scroll.png", kSkinW, kSkinH, SkinPixel);
}

FallbackArt::~FallbackArt() {
  for (const std::string* p : {&m_button, &m_picture, &m_scroll})
    if (!p->empty()) std::remove(p->c_str());
  if (!m_dir.empty()) rmdir(m_dir.c_str());
}

}  // namespace gallery
