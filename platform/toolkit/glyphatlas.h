#pragma once
// Glyph coverage bitmaps packed into texture pages (shelves of rows), white with the coverage
// as alpha, so that the vertex colour gives the text colour.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/toolkit/pixeltexture.h"

namespace plat {

class GlyphAtlas {
 public:
  static constexpr int kMinPageSize = 256;
  static constexpr int kPadding = 1;  // keeps neighbours out of sampling
  // Pages at most; Add fails once they are full.
  static constexpr std::size_t kMaxPages = 16;

  // Pages are made square, at least kMinPageSize and big enough for glyphs of `maxGlyphSide`.
  explicit GlyphAtlas(int maxGlyphSide);

  struct Slot {
    int page = -1;
    int x = 0, y = 0;
  };
  // Copies a w x h coverage bitmap (0..255, row by row); page -1 when it cannot fit (too big,
  // or every page full: see Full).
  Slot Add(int w, int h, const std::vector<std::uint8_t>& coverage);
  PixelTexture* Page(int page);
  int PageSize() const { return m_pageSize; }
  std::size_t PageCount() const { return m_pages.size(); }
  bool Full() const { return m_pages.size() >= kMaxPages; }

 private:
  struct Shelf {
    int y, height, nextX;
  };
  struct PageState {
    std::unique_ptr<PixelTexture> pixels;
    std::vector<Shelf> shelves;
    int nextShelfY = 0;
  };
  bool Place(PageState& page, int w, int h, int* x, int* y);

  int m_pageSize;
  std::vector<PageState> m_pages;
};

}  // namespace plat
