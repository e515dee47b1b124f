#include "tools/assetgen/canvas.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
float Smooth(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
}  // namespace

Canvas::Canvas(int w, int h, const Rgba& fill)
    : w_(std::max(1, w)), h_(std::max(1, h)), px_(static_cast<size_t>(w_) * h_, fill) {}

Rgba Canvas::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return Rgba{};
  return px_[static_cast<size_t>(y) * w_ + x];
}

void Canvas::Set(int x, int y, const Rgba& c) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  px_[static_cast<size_t>(y) * w_ + x] = c;
}

void Canvas::Blend(int x, int y, const Rgba& c, float coverage) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  const float sa = Clamp01(c.a * coverage);
  if (sa <= 0) return;
  Rgba& d = px_[static_cast<size_t>(y) * w_ + x];
  const float da = d.a * (1 - sa);
  const float oa = sa + da;
  if (oa <= 0) return;
  d.r = (c.r * sa + d.r * da) / oa;
  d.g = (c.g * sa + d.g * da) / oa;
  d.b = (c.b * sa + d.b * da) / oa;
  d.a = oa;
}

void Canvas::AddLight(int x, int y, const Rgba& c, float coverage) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  Rgba& d = px_[static_cast<size_t>(y) * w_ + x];
  const float k = c.a * coverage;
  d.r = Clamp01(d.r + c.r * k);
  d.g = Clamp01(d.g + c.g * k);
  d.b = Clamp01(d.b + c.b * k);
}

template <typename CoverageFn>
void Canvas::Cover(const Box& box, const Paint& p, float opacity, CoverageFn cov, bool additive) {
  const int x0 = std::max(0, static_cast<int>(std::floor(box.x0)));
  const int y0 = std::max(0, static_cast<int>(std::floor(box.y0)));
  const int x1 = std::min(w_ - 1, static_cast<int>(std::ceil(box.x1)));
  const int y1 = std::min(h_ - 1, static_cast<int>(std::ceil(box.y1)));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
      float d = 0;
      const float c = cov(fx, fy, &d);
      if (c <= 0) continue;
      const Rgba col = p(fx, fy, d);
      if (additive)
        AddLight(x, y, col, c * opacity);
      else
        Blend(x, y, col, c * opacity);
    }
  }
}

void Canvas::Fill(const Shape& s, const Paint& p, float opacity) {
  Cover(s.box.Grown(1), p, opacity,
        [&s](float x, float y, float* d) {
          *d = s.sdf(x, y);
          return Clamp01(0.5f - *d);
        },
        false);
}

void Canvas::FillSoft(const Shape& s, float blur, const Paint& p, float opacity) {
  Cover(s.box.Grown(blur + 1), p, opacity,
        [&s, blur](float x, float y, float* d) {
          *d = s.sdf(x, y);
          return Smooth(blur, -blur, *d);
        },
        false);
}

void Canvas::Glow(const Shape& s, float blur, const Rgba& c) {
  Cover(s.box.Grown(blur + 1), paint::Solid(c), 1.0f,
        [&s, blur](float x, float y, float* d) {
          *d = s.sdf(x, y);
          return Smooth(blur, -blur, *d);
        },
        true);
}

void Canvas::FillMask(const AlphaMask& m, int dx, int dy, const Paint& p, float opacity) {
  for (int y = 0; y < m.Height(); ++y)
    for (int x = 0; x < m.Width(); ++x) {
      const float a = m.At(x, y);
      if (a <= 0) continue;
      const float fx = static_cast<float>(x + dx) + 0.5f, fy = static_cast<float>(y + dy) + 0.5f;
      Blend(x + dx, y + dy, p(fx, fy, -a), a * opacity);
    }
}

void Canvas::Draw(const Canvas& src, int dx, int dy, float opacity) {
  for (int y = 0; y < src.h_; ++y)
    for (int x = 0; x < src.w_; ++x) Blend(x + dx, y + dy, src.px_[static_cast<size_t>(y) * src.w_ + x], opacity);
}

void Canvas::DrawScaled(const Canvas& src, const Box& dst) {
  const int x0 = std::max(0, static_cast<int>(std::floor(dst.x0)));
  const int y0 = std::max(0, static_cast<int>(std::floor(dst.y0)));
  const int x1 = std::min(w_, static_cast<int>(std::ceil(dst.x1)));
  const int y1 = std::min(h_, static_cast<int>(std::ceil(dst.y1)));
  const float sx = static_cast<float>(src.w_) / dst.Width(), sy = static_cast<float>(src.h_) / dst.Height();
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float u = (static_cast<float>(x) + 0.5f - dst.x0) * sx - 0.5f;
      const float v = (static_cast<float>(y) + 0.5f - dst.y0) * sy - 0.5f;
      const int iu = static_cast<int>(std::floor(u)), iv = static_cast<int>(std::floor(v));
      const float fu = u - static_cast<float>(iu), fv = v - static_cast<float>(iv);
      auto at = [&](int a, int b) {
        return src.Get(std::clamp(a, 0, src.w_ - 1), std::clamp(b, 0, src.h_ - 1));
      };
      const Rgba top = Mix(at(iu, iv), at(iu + 1, iv), fu);
      const Rgba bottom = Mix(at(iu, iv + 1), at(iu + 1, iv + 1), fu);
      Blend(x, y, Mix(top, bottom, fv), 1.0f);
    }
}

void Canvas::Transform(int x0, int y0, int x1, int y1, const std::function<Rgba(int, int, const Rgba&)>& f) {
  x0 = std::max(0, x0);
  y0 = std::max(0, y0);
  x1 = std::min(w_, x1);
  y1 = std::min(h_, y1);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      Rgba& p = px_[static_cast<size_t>(y) * w_ + x];
      p = f(x, y, p);
    }
}

Canvas Canvas::Crop(int x, int y, int w, int h) const {
  Canvas out(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) out.Set(i, j, Get(x + i, y + j));
  return out;
}

bool Canvas::Save(const std::string& path, bool jpeg, int quality) const {
  std::unique_ptr<SDL_Surface, SurfaceDeleter> surf(
      SDL_CreateRGBSurfaceWithFormat(0, w_, h_, 32, SDL_PIXELFORMAT_RGBA32));
  if (!surf) return false;
  for (int y = 0; y < h_; ++y) {
    auto* row = static_cast<std::uint8_t*>(surf->pixels) + static_cast<size_t>(y) * surf->pitch;
    for (int x = 0; x < w_; ++x) {
      Rgba c = px_[static_cast<size_t>(y) * w_ + x];
      if (jpeg) c = Rgba{c.r * c.a, c.g * c.a, c.b * c.a, 1.0f};
      row[x * 4 + 0] = ToByte(c.r);
      row[x * 4 + 1] = ToByte(c.g);
      row[x * 4 + 2] = ToByte(c.b);
      row[x * 4 + 3] = ToByte(c.a);
    }
  }
  return (jpeg ? IMG_SaveJPG(surf.get(), path.c_str(), quality) : IMG_SavePNG(surf.get(), path.c_str())) == 0;
}

bool Canvas::SavePng(const std::string& path) const { return Save(path, false, 0); }
bool Canvas::SaveJpg(const std::string& path, int quality) const { return Save(path, true, quality); }
