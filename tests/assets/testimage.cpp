#include "tests/assets/testimage.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>

std::optional<TestImage> TestImage::Load(const std::string& path) {
  SDL_Surface* raw = IMG_Load(path.c_str());
  if (!raw) return std::nullopt;
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(raw);
  if (!rgba) return std::nullopt;
  TestImage img;
  img.w_ = rgba->w;
  img.h_ = rgba->h;
  img.px_.resize(static_cast<size_t>(img.w_) * img.h_);
  for (int y = 0; y < img.h_; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
    for (int x = 0; x < img.w_; ++x)
      img.px_[static_cast<size_t>(y) * img.w_ + x] = Pixel{row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]};
  }
  SDL_FreeSurface(rgba);
  return img;
}

Pixel TestImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return Pixel{};
  return px_[static_cast<size_t>(y) * w_ + x];
}

double TestImage::Lightness(int x, int y, int w, int h) const {
  double sum = 0, weight = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) {
      const Pixel p = At(i, j);
      const double a = p.a / 255.0;
      sum += a * (0.3 * p.r + 0.59 * p.g + 0.11 * p.b) / 255.0;
      weight += a;
    }
  return weight > 0 ? sum / weight : 0.0;
}

double TestImage::OpaqueShare(int x, int y, int w, int h) const {
  int n = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) n += At(i, j).a >= 128 ? 1 : 0;
  return w * h > 0 ? static_cast<double>(n) / (w * h) : 0.0;
}

double TestImage::Difference(int ax, int ay, int bx, int by, int w, int h) const {
  double sum = 0;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const Pixel p = At(ax + i, ay + j), q = At(bx + i, by + j);
      sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) + std::abs(p.a - q.a);
    }
  return w * h > 0 ? sum / (4.0 * w * h) : 0.0;
}
