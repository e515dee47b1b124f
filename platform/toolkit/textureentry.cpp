#include "platform/toolkit/textureentry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace plat {

TextureEntry::TextureEntry(int width, int height, std::vector<std::uint32_t> pixels)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)) {
  m_levels[0] = std::make_unique<PixelTexture>(m_width, m_height, std::move(pixels));
}

PixelTexture* TextureEntry::Level(int& level) {
  level = std::clamp(level, 0, kLevels - 1);
  for (int i = 1; i <= level; ++i) {
    if (m_levels[i]) continue;
    // Halving a one-pixel side would distort the picture: stay on the last real level.
    if (m_levels[i - 1]->Width() < 2 || m_levels[i - 1]->Height() < 2) {
      level = i - 1;
      break;
    }
    m_levels[i] = std::make_unique<PixelTexture>(HalveImage(*m_levels[i - 1]));
  }
  return m_levels[level].get();
}

int TextureEntry::LevelForScale(float scale) {
  scale = std::fabs(scale);
  int level = 0;
  while (level + 1 < kLevels && scale <= 1.0f / static_cast<float>(2 << level)) ++level;
  return level;
}

PixelTexture HalveImage(const PixelTexture& src) {
  const int w = std::max(src.Width() / 2, 1);
  const int h = std::max(src.Height() / 2, 1);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      unsigned a = 0, r = 0, g = 0, b = 0;
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
          const std::uint32_t p = src.Pixel(std::min(2 * x + dx, src.Width() - 1),
                                            std::min(2 * y + dy, src.Height() - 1));
          const unsigned pa = p >> 24;
          a += pa;
          r += ((p >> 16) & 0xFF) * pa;
          g += ((p >> 8) & 0xFF) * pa;
          b += (p & 0xFF) * pa;
        }
      }
      std::uint32_t px = 0;
      if (a > 0) {
        const unsigned cr = (r + a / 2) / a, cg = (g + a / 2) / a, cb = (b + a / 2) / a;
        px = (((a + 2) / 4) << 24) | (cr << 16) | (cg << 8) | cb;
      }
      out[static_cast<std::size_t>(y) * w + x] = px;
    }
  }
  return PixelTexture(w, h, std::move(out));
}

}  // namespace plat
