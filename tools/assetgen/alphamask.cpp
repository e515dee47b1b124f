#include "tools/assetgen/alphamask.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/color.h"

AlphaMask::AlphaMask(int w, int h) : w_(std::max(0, w)), h_(std::max(0, h)), a_(static_cast<size_t>(w_) * h_, 0.0f) {}

float AlphaMask::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0.0f;
  return a_[static_cast<size_t>(y) * w_ + x];
}

void AlphaMask::Max(int x, int y, float v) {
  if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
  float& p = a_[static_cast<size_t>(y) * w_ + x];
  p = std::max(p, v);
}

AlphaMask AlphaMask::Padded(int pad) const {
  AlphaMask out(w_ + 2 * pad, h_ + 2 * pad);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) out.a_[static_cast<size_t>(y + pad) * out.w_ + x + pad] = At(x, y);
  return out;
}

AlphaMask AlphaMask::Dilated(float r) const {
  AlphaMask out(w_, h_);
  const int ri = static_cast<int>(std::ceil(r));
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      float best = 0;
      for (int dy = -ri; dy <= ri; ++dy) {
        for (int dx = -ri; dx <= ri; ++dx) {
          const float v = At(x + dx, y + dy);
          if (v <= best) continue;
          // Soft brush edge keeps the outline anti-aliased.
          const float fall = Clamp01(r + 0.5f - std::sqrt(static_cast<float>(dx * dx + dy * dy)));
          best = std::max(best, v * fall);
        }
      }
      out.a_[static_cast<size_t>(y) * w_ + x] = best;
    }
  }
  return out;
}

AlphaMask AlphaMask::Blurred(int r) const {
  if (r <= 0) return *this;
  AlphaMask cur = *this;
  AlphaMask tmp(w_, h_);
  const float norm = 1.0f / static_cast<float>(2 * r + 1);
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        float s = 0;
        for (int k = -r; k <= r; ++k) s += cur.At(x + k, y);
        tmp.a_[static_cast<size_t>(y) * w_ + x] = s * norm;
      }
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        float s = 0;
        for (int k = -r; k <= r; ++k) s += tmp.At(x, y + k);
        cur.a_[static_cast<size_t>(y) * w_ + x] = s * norm;
      }
  }
  return cur;
}
