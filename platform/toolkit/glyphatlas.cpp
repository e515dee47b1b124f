#include "platform/toolkit/glyphatlas.h"

namespace plat {

namespace {
int PageSizeFor(int side) {
  int size = GlyphAtlas::kMinPageSize;
  while (size < side + 2 * GlyphAtlas::kPadding && size < (1 << 14)) size *= 2;
  return size;
}
}  // namespace

GlyphAtlas::GlyphAtlas(int maxGlyphSide) : m_pageSize(PageSizeFor(maxGlyphSide)) {}

bool GlyphAtlas::Place(PageState& page, int w, int h, int* x, int* y) {
  const int pw = w + kPadding, ph = h + kPadding;
  for (Shelf& s : page.shelves) {
    if (ph <= s.height && s.nextX + pw <= m_pageSize) {
      *x = s.nextX;
      *y = s.y;
      s.nextX += pw;
      return true;
    }
  }
  if (page.nextShelfY + ph > m_pageSize || pw > m_pageSize) return false;
  page.shelves.push_back(Shelf{page.nextShelfY, ph, pw});
  *x = 0;
  *y = page.nextShelfY;
  page.nextShelfY += ph;
  return true;
}

GlyphAtlas::Slot GlyphAtlas::Add(int w, int h, const std::vector<std::uint8_t>& coverage) {
  Slot slot;
  if (w <= 0 || h <= 0 || w + kPadding > m_pageSize || h + kPadding > m_pageSize ||
      coverage.size() < static_cast<std::size_t>(w) * h)
    return slot;
  int x = 0, y = 0;
  int index = -1;
  if (!m_pages.empty() && Place(m_pages.back(), w, h, &x, &y)) {
    index = static_cast<int>(m_pages.size()) - 1;
  } else {
    if (Full()) return slot;
    m_pages.push_back(PageState{std::make_unique<PixelTexture>(m_pageSize, m_pageSize), {}, 0});
    if (!Place(m_pages.back(), w, h, &x, &y)) return slot;
    index = static_cast<int>(m_pages.size()) - 1;
  }
  PixelTexture& px = *m_pages[index].pixels;
  for (int row = 0; row < h; ++row) {
    std::uint32_t* dst = px.Pixels() + static_cast<std::size_t>(y + row) * m_pageSize + x;
    const std::uint8_t* src = coverage.data() + static_cast<std::size_t>(row) * w;
    for (int col = 0; col < w; ++col)
      dst[col] = (static_cast<std::uint32_t>(src[col]) << 24) | 0x00FFFFFFu;
  }
  px.MarkChanged();
  slot.page = index;
  slot.x = x;
  slot.y = y;
  return slot;
}

PixelTexture* GlyphAtlas::Page(int page) {
  if (page < 0 || page >= static_cast<int>(m_pages.size())) return nullptr;
  return m_pages[page].pixels.get();
}

}  // namespace plat
