#include "platform/render/spanblend.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The source multiplied by the tint, channel by channel.
struct Tint {
  explicit Tint(std::uint32_t argb)
      : a(argb >> 24), r((argb >> 16) & 0xFFu), g((argb >> 8) & 0xFFu), b(argb & 0xFFu),
        rgb(argb & 0x00FFFFFFu) {}
  std::uint32_t a, r, g, b, rgb;

  std::uint32_t Over(std::uint32_t s, std::uint32_t d) const {
    if ((s & 0x00FFFFFFu) == 0x00FFFFFFu)  // white, as every glyph mask: 255 * m / 255 is m
      return plat::Over(rgb, Div255((s >> 24) * a), d);
    const std::uint32_t cr = Div255(((s >> 16) & 0xFFu) * r);
    const std::uint32_t cg = Div255(((s >> 8) & 0xFFu) * g);
    const std::uint32_t cb = Div255((s & 0xFFu) * b);
    return plat::Over((cr << 16) | (cg << 8) | cb, Div255((s >> 24) * a), d);
  }
};

#if defined(__SSE2__)
// Four pixels at a time in 16-bit lanes (a channel times a channel fits): the same products
// and the same rounding as the one-pixel code, so the pixels are the same.
struct Lanes {
  __m128i zero = _mm_setzero_si128();
  __m128i one = _mm_set1_epi16(1);
  __m128i full = _mm_set1_epi16(255);
  __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  __m128i tint;  // b, g, r, a of the tint in each pixel's lanes

  explicit Lanes(std::uint32_t argb)
      : tint(_mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(argb)), _mm_setzero_si128())) {}

  __m128i Div255(__m128i x) const {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
  }
  // Two pixels: s over d. The alpha lane is multiplied by 255 (kept), the colour lanes by alpha.
  __m128i Over(__m128i s, __m128i d) const {
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m128i by = _mm_or_si128(_mm_andnot_si128(alphaLanes, alpha), _mm_and_si128(alphaLanes, full));
    const __m128i src = Div255(_mm_mullo_epi16(s, by));
    const __m128i dst = Div255(_mm_mullo_epi16(d, _mm_sub_epi16(full, alpha)));
    return _mm_add_epi16(src, dst);
  }
  template <bool kTinted>
  void Four(std::uint32_t* dst, const std::uint32_t* src) const {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    __m128i slo = _mm_unpacklo_epi8(s, zero), shi = _mm_unpackhi_epi8(s, zero);
    if (kTinted) {
      slo = Div255(_mm_mullo_epi16(slo, tint));
      shi = Div255(_mm_mullo_epi16(shi, tint));
    }
    const __m128i lo = Over(slo, _mm_unpacklo_epi8(d, zero));
    const __m128i hi = Over(shi, _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(lo, hi));
  }
};
#else
struct Lanes {
  explicit Lanes(std::uint32_t) {}
};
#endif

template <bool kTinted>
inline void Blend(std::uint32_t* dst, const std::uint32_t* src, int n, const Tint& tint,
                  [[maybe_unused]] const Lanes& lanes) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4) lanes.Four<kTinted>(dst + i, src + i);
#endif
  for (; i < n; ++i)
    dst[i] = kTinted ? tint.Over(src[i], dst[i]) : Over(src[i], src[i] >> 24, dst[i]);
}

// Glyph-sized runs are copied in place; a call to memcpy costs more than the copy.
inline void CopyPixels(std::uint32_t* dst, const std::uint32_t* src, int n) {
#if defined(__SSE2__)
  if (n < 32) {
    int i = 0;
    for (; i + 4 <= n; i += 4)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)));
    for (; i < n; ++i) dst[i] = src[i];
    return;
  }
#endif
  std::memcpy(dst, src, sizeof(std::uint32_t) * static_cast<std::size_t>(n));
}

template <bool kTinted>
void BlitRunsAs(const RunsBlit& b) {
  const Tint tint(b.colour);
  const Lanes lanes(b.colour);
  // Everything a row needs is in locals: nothing is read again through b or the spans.
  const std::uint32_t* srcRow = b.src;
  std::uint32_t* dstRow = b.dst;
  const std::size_t srcPitch = b.srcPitch, dstPitch = b.dstPitch;
  const int col0 = b.col0, col1 = b.col1;
  const PixelSpans::Run* const runs = b.spans->Runs();
  const std::uint32_t* rowStart = b.spans->RowStarts() + b.firstRow;
  for (int i = 0; i < b.rows; ++i, ++rowStart, srcRow += srcPitch, dstRow += dstPitch) {
    const PixelSpans::Run* r = runs + rowStart[0];
    const PixelSpans::Run* const end = runs + rowStart[1];
    // Atlas rows hold many runs: skip to the first one reaching the drawn columns.
    if (r != end && r->x1 <= col0)
      r = std::partition_point(r, end, [col0](const PixelSpans::Run& run) { return run.x1 <= col0; });
    for (; r != end && r->x0 < col1; ++r) {
      const int a = std::max<int>(r->x0, col0), e = std::min<int>(r->x1, col1);
      std::uint32_t* d = dstRow + (a - col0);
      if (!kTinted && r->opaque)
        CopyPixels(d, srcRow + a, e - a);
      else
        Blend<kTinted>(d, srcRow + a, e - a, tint, lanes);
    }
  }
}

}  // namespace

void BlendSpan(std::uint32_t* dst, const std::uint32_t* src, int n) {
  Blend<false>(dst, src, n, Tint(0xFFFFFFFFu), Lanes(0xFFFFFFFFu));
}

void BlendSpanModulated(std::uint32_t* dst, const std::uint32_t* src, int n,
                        std::uint32_t modArgb) {
  Blend<true>(dst, src, n, Tint(modArgb), Lanes(modArgb));
}

void BlitRuns(const RunsBlit& b) {
  if (b.rows <= 0 || b.col1 <= b.col0) return;
  if (b.colour == 0xFFFFFFFFu)
    BlitRunsAs<false>(b);
  else
    BlitRunsAs<true>(b);
}

}  // namespace plat
