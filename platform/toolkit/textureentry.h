#pragma once
// One decoded image file: its pixels and, for pictures drawn scaled down, smaller copies
// (each half the size of the one before) so that a strong reduction does not alias.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/render/hge.h"
#include "platform/toolkit/pixeltexture.h"

namespace plat {

class TextureEntry {
 public:
  static constexpr int kLevels = 3;  // full, half, quarter

  TextureEntry(int width, int height, std::vector<std::uint32_t> pixels);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Level 0 is the image itself; level n is 1 / 2^n of it, made on first request. A tiny
  // image has fewer levels: `level` is lowered to the one answered.
  PixelTexture* Level(int& level);
  // The smallest level still at least as large as the image drawn at `scale`.
  static int LevelForScale(float scale);

 private:
  int m_width, m_height;
  std::array<std::unique_ptr<PixelTexture>, kLevels> m_levels;
};

// Half size by a 2 x 2 box filter on premultiplied colours (no dark fringes on alpha edges).
PixelTexture HalveImage(const PixelTexture& src);

}  // namespace plat
