#pragma once
// Source-over blending of ARGB pixel runs, as SDL's software renderer blends a colour-modulated
// texture: the source colour is multiplied by its alpha and each term is rounded down, so a
// texture drawn here and one drawn by SDL give the same pixels. Opaque source pixels come out
// as copies and transparent ones leave the destination as it was.
#include <cstddef>
#include <cstdint>

#include "platform/render/pixelspans.h"

namespace plat {

// x / 255 for 0 <= x <= 255 * 255, without a division.
constexpr std::uint32_t Div255(std::uint32_t x) { return (x + 1 + (x >> 8)) >> 8; }

void BlendSpan(std::uint32_t* dst, const std::uint32_t* src, int n);
// The source's colour and alpha are first multiplied by modArgb's (0xFFFFFFFF leaves them).
void BlendSpanModulated(std::uint32_t* dst, const std::uint32_t* src, int n,
                        std::uint32_t modArgb);

// Rows of an image drawn by their runs (see PixelSpans): untinted opaque runs are copied, the
// rest blended with colour as above; transparent stretches are skipped.
struct RunsBlit {
  const PixelSpans* spans;
  const std::uint32_t* src;  // the image's row firstRow, column 0
  std::size_t srcPitch;      // pixels
  std::uint32_t* dst;        // where column col0 of that row lands
  std::size_t dstPitch;      // pixels
  int firstRow, rows;
  int col0, col1;            // the image's columns drawn, end exclusive
  std::uint32_t colour;
};
void BlitRuns(const RunsBlit& b);

}  // namespace plat
