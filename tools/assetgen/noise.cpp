#include "tools/assetgen/noise.h"

#include <cmath>

#include "tools/assetgen/rng.h"

Noise::Noise(std::uint64_t seed) : values_(kSize * kSize) {
  Rng rng(seed);
  for (float& v : values_) v = rng.Unit();
}

float Noise::Lattice(int x, int y) const {
  const int ix = x & (kSize - 1), iy = y & (kSize - 1);
  return values_[static_cast<size_t>(iy * kSize + ix)];
}

float Noise::Value(float x, float y) const {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
  const float c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Noise::Fractal(float x, float y, int octaves) const {
  float sum = 0, amp = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += Value(x, y) * amp;
    norm += amp;
    amp *= 0.5f;
    x = x * 2.03f + 17.1f;
    y = y * 2.03f + 5.3f;
  }
  return sum / norm;
}
