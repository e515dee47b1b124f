#pragma once
// Colours of the asset generator: straight (not premultiplied) RGBA in 0..1.
#include <algorithm>
#include <cstdint>

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;
};

constexpr Rgba Hex(std::uint32_t rgb, float alpha = 1.0f) {
  return Rgba{static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
              static_cast<float>(rgb & 0xFF) / 255.0f, alpha};
}

inline float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

inline Rgba Mix(const Rgba& x, const Rgba& y, float t) {
  t = Clamp01(t);
  return Rgba{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// Multiplies the colour channels; k > 1 lightens, k < 1 darkens.
inline Rgba Shade(const Rgba& c, float k) {
  return Rgba{Clamp01(c.r * k), Clamp01(c.g * k), Clamp01(c.b * k), c.a};
}

inline Rgba WithAlpha(const Rgba& c, float a) { return Rgba{c.r, c.g, c.b, a}; }

// Grey of the same lightness, for disabled looks.
inline Rgba Desaturate(const Rgba& c, float amount) {
  const float l = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
  return Mix(c, Rgba{l, l, l, c.a}, amount);
}
