#include "platform/render/spanblend.h"

namespace plat {
namespace {

constexpr std::uint32_t kPairMask = 0x00FF00FFu;  // two channels, 16 bits apart

// Div255 of two 16-bit fields at once; each field at most 255 * 255.
constexpr std::uint32_t Div255Pair(std::uint32_t x) {
  return ((x + 0x00010001u + ((x >> 8) & kPairMask)) >> 8) & kPairMask;
}

// One pixel: s (colour not premultiplied, alpha sa) over d.
inline std::uint32_t Over(std::uint32_t s, std::uint32_t sa, std::uint32_t d) {
  const std::uint32_t ia = 255 - sa;
  const std::uint32_t rb = Div255Pair((s & kPairMask) * sa) + Div255Pair((d & kPairMask) * ia);
  const std::uint32_t g = Div255(((s >> 8) & 0xFFu) * sa);
  const std::uint32_t ag = Div255Pair(((d >> 8) & kPairMask) * ia);  // alpha and green of d
  return ((sa + (ag >> 16)) << 24) | ((g + (ag & 0xFFu)) << 8) | rb;
}

}  // namespace

void BlendSpan(std::uint32_t* dst, const std::uint32_t* src, int n) {
  for (int i = 0; i < n; ++i) dst[i] = Over(src[i], src[i] >> 24, dst[i]);
}

void BlendSpanModulated(std::uint32_t* dst, const std::uint32_t* src, int n,
                        std::uint32_t modArgb) {
  const std::uint32_t ma = modArgb >> 24;
  const std::uint32_t mr = (modArgb >> 16) & 0xFFu;
  const std::uint32_t mg = (modArgb >> 8) & 0xFFu;
  const std::uint32_t mb = modArgb & 0xFFu;
  const std::uint32_t modRgb = modArgb & 0x00FFFFFFu;
  for (int i = 0; i < n; ++i) {
    const std::uint32_t s = src[i];
    if ((s & 0x00FFFFFFu) == 0x00FFFFFFu) {
      // White, as every glyph mask is: 255 * m / 255 is m, so only the alpha is scaled.
      dst[i] = Over(modRgb, Div255((s >> 24) * ma), dst[i]);
      continue;
    }
    const std::uint32_t r = Div255(((s >> 16) & 0xFFu) * mr);
    const std::uint32_t g = Div255(((s >> 8) & 0xFFu) * mg);
    const std::uint32_t b = Div255((s & 0xFFu) * mb);
    const std::uint32_t a = Div255((s >> 24) * ma);
    dst[i] = Over((r << 16) | (g << 8) | b, a, dst[i]);
  }
}

}  // namespace plat
