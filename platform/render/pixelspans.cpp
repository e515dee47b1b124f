#include "platform/render/pixelspans.h"

#include <algorithm>

namespace plat {
namespace {

enum class Kind { kClear, kOpaque, kBlend };

Kind KindOf(std::uint32_t argb) {
  const std::uint32_t a = argb >> 24;
  return a == 0 ? Kind::kClear : a == 0xFF ? Kind::kOpaque : Kind::kBlend;
}

bool LongOpaque(int x0, int x1, bool opaque) { return opaque && x1 - x0 >= PixelSpans::kMergeGap; }

// Appends the runs of one row. A run joins the row's previous one (as a blended run) when the
// transparent gap between them is short, at least one of them is blended and neither is a long
// opaque run, which stays a copy.
void BuildRow(const std::uint32_t* row, int w, std::vector<PixelSpans::Run>& out,
              std::size_t rowFirst) {
  int x = 0;
  while (x < w) {
    const Kind kind = KindOf(row[x]);
    int end = x + 1;
    while (end < w && KindOf(row[end]) == kind) ++end;
    if (kind != Kind::kClear) {
      const bool opaque = kind == Kind::kOpaque;
      PixelSpans::Run* last = out.size() > rowFirst ? &out.back() : nullptr;
      const bool join = last && x - last->x1 < PixelSpans::kMergeGap &&
                        !(opaque && last->opaque) && !LongOpaque(x, end, opaque) &&
                        !LongOpaque(last->x0, last->x1, last->opaque);
      if (join) {
        last->x1 = static_cast<std::uint16_t>(end);
        last->opaque = false;
      } else {
        out.push_back({static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(end), opaque});
      }
    }
    x = end;
  }
}

}  // namespace

void PixelSpans::Build(const std::uint32_t* pixels, int w, int h, int pitch) {
  Clear();
  if (!pixels || w <= 0 || h <= 0 || w > kMaxWidth || pitch < w) return;
  m_rowStart.reserve(static_cast<std::size_t>(h) + 1);
  for (int y = 0; y < h; ++y) {
    m_rowStart.push_back(static_cast<std::uint32_t>(m_runs.size()));
    BuildRow(pixels + static_cast<std::size_t>(y) * pitch, w, m_runs, m_runs.size());
  }
  m_rowStart.push_back(static_cast<std::uint32_t>(m_runs.size()));
  // Opaque pixels next to each other always make one run, and a lone one is never folded into
  // a blended run unless a blended pixel is there: one full-width opaque run a row means all.
  m_allOpaque = m_runs.size() == static_cast<std::size_t>(h) &&
                std::all_of(m_runs.begin(), m_runs.end(), [w](const Run& r) {
                  return r.opaque && r.x0 == 0 && r.x1 == w;
                });
}

void PixelSpans::Clear() {
  m_runs.clear();
  m_rowStart.clear();
  m_allOpaque = false;
}

}  // namespace plat
