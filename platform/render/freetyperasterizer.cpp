#include "platform/render/freetyperasterizer.h"

#include <algorithm>
#include <cstring>

#include FT_BITMAP_H
#include FT_OUTLINE_H

#include "platform/text/textconv.h"

namespace plat {
namespace {

constexpr int kBoldWeight = 600;     // GDI draws 600 and above bold
constexpr FT_Fixed kItalicShear = 0x0366A;  // tan(12 degrees) in 16.16
constexpr int kMaxPixelSize = 1024;
constexpr int kFullCoverage = 255;
constexpr int kMonoThreshold = 128;  // coverage from which a one-bit pixel is set
constexpr int kGrayLevels = 64;  // GGO_GRAY8_BITMAP values are 0..64

// Pixels added to each row by simulated bold: one, as GDI does, and more for large sizes.
int BoldExtraPixels(int pixelSize) { return std::max(1, (pixelSize + 12) / 24); }

const std::uint8_t* BitmapRow(const FT_Bitmap& bm, unsigned row) {
  const int pitch = bm.pitch;
  if (pitch >= 0) return bm.buffer + static_cast<std::size_t>(row) * pitch;
  // Negative pitch: rows run bottom-up in memory.
  return bm.buffer + static_cast<std::size_t>(bm.rows - 1 - row) * static_cast<std::size_t>(-pitch);
}

}  // namespace

FreeTypeRasterizer::FreeTypeRasterizer() : m_catalog(FontCatalog::Instance()) {}

bool FreeTypeRasterizer::CreateFont(const std::string& faceGbk, int heightPx, int weight,
                                    bool italic) {
  m_face = nullptr;
  m_ascent = 0;
  if (!Valid() || heightPx <= 0 || heightPx > kMaxPixelSize) return false;
  const bool bold = weight >= kBoldWeight;
  const FontFileRef ref = m_catalog->Resolve(GbkToUtf8(faceGbk), bold, italic);
  FT_Face face = m_catalog->OpenFace(ref, heightPx);
  if (!face) return false;
  m_face = face;
  m_pixelSize = heightPx;
  m_fakeBold = bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  m_fakeItalic = italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  m_ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
  return true;
}

bool FreeTypeRasterizer::LoadCoverage(char16_t code, bool mono, Coverage& out, GlyphMetrics& m) {
  FT_Int32 flags = mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  // Embedded strikes are one-bit and cannot be sheared: outlines for gray and italic.
  if (!mono || m_fakeItalic) flags |= FT_LOAD_NO_BITMAP;
  if (FT_Load_Glyph(m_face, FT_Get_Char_Index(m_face, code), flags) != 0) return false;
  FT_GlyphSlot slot = m_face->glyph;
  if (m_fakeItalic && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &shear);
  }
  if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
      FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
    return false;

  m.originX = slot->bitmap_left;
  m.originY = slot->bitmap_top;
  m.cellIncX = static_cast<short>((slot->advance.x + 32) >> 6);
  m.cellIncY = 0;

  const FT_Bitmap* bm = &slot->bitmap;
  FT_Bitmap converted;
  FT_Bitmap_Init(&converted);
  if (bm->pixel_mode != FT_PIXEL_MODE_MONO && bm->pixel_mode != FT_PIXEL_MODE_GRAY) {
    // Other depths (2 or 4 bit, colour): FreeType turns them into 8-bit gray.
    if (FT_Bitmap_Convert(m_catalog->Library(), bm, &converted, 1) != 0) {
      FT_Bitmap_Done(m_catalog->Library(), &converted);
      return false;
    }
    bm = &converted;
  }
  out.width = static_cast<int>(bm->width);
  out.height = static_cast<int>(bm->rows);
  out.values.assign(static_cast<std::size_t>(out.width) * out.height, 0);
  const int maxLevel = std::max(1, bm->num_grays - 1);
  for (unsigned y = 0; y < bm->rows; ++y) {
    const std::uint8_t* src = BitmapRow(*bm, y);
    std::uint8_t* dst = &out.values[static_cast<std::size_t>(y) * out.width];
    for (unsigned x = 0; x < bm->width; ++x) {
      int coverage;  // 0..255
      if (bm->pixel_mode == FT_PIXEL_MODE_MONO)
        coverage = (src[x >> 3] & (0x80u >> (x & 7))) ? kFullCoverage : 0;
      else
        coverage = std::min<int>(src[x], maxLevel) * kFullCoverage / maxLevel;
      dst[x] = mono ? (coverage >= kMonoThreshold ? 1 : 0)
                    : static_cast<std::uint8_t>((coverage * kGrayLevels + kFullCoverage / 2) /
                                                kFullCoverage);
    }
  }
  FT_Bitmap_Done(m_catalog->Library(), &converted);
  return true;
}

void FreeTypeRasterizer::Embolden(Coverage& c) const {
  const int extra = BoldExtraPixels(m_pixelSize);
  const int w = c.width + extra;
  std::vector<std::uint8_t> wide(static_cast<std::size_t>(w) * c.height, 0);
  for (int y = 0; y < c.height; ++y) {
    const std::uint8_t* src = &c.values[static_cast<std::size_t>(y) * c.width];
    std::uint8_t* dst = &wide[static_cast<std::size_t>(y) * w];
    for (int x = 0; x < w; ++x) {
      std::uint8_t v = 0;
      for (int k = 0; k <= extra; ++k) {
        const int sx = x - k;
        if (sx >= 0 && sx < c.width) v = std::max(v, src[sx]);
      }
      dst[x] = v;
    }
  }
  c.width = w;
  c.values.swap(wide);
}

void FreeTypeRasterizer::Trim(Coverage& c, GlyphMetrics& m) {
  int minX = c.width, maxX = -1, minY = c.height, maxY = -1;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x)
      if (c.values[static_cast<std::size_t>(y) * c.width + x]) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  if (maxX < 0) {
    c.width = c.height = 0;
    c.values.clear();
    return;
  }
  const int w = maxX - minX + 1, h = maxY - minY + 1;
  if (w == c.width && h == c.height) return;
  std::vector<std::uint8_t> cropped(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::memcpy(&cropped[static_cast<std::size_t>(y) * w],
                &c.values[static_cast<std::size_t>(y + minY) * c.width + minX], w);
  c.width = w;
  c.height = h;
  c.values.swap(cropped);
  m.originX += minX;
  m.originY -= minY;
}

std::vector<std::uint8_t> FreeTypeRasterizer::Pack(const Coverage& c, unsigned format) {
  const unsigned rowBytes = GlyphRowBytes(format, static_cast<unsigned>(c.width));
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(rowBytes) * c.height, 0);
  for (int y = 0; y < c.height; ++y) {
    const std::uint8_t* src = &c.values[static_cast<std::size_t>(y) * c.width];
    std::uint8_t* dst = &bits[static_cast<std::size_t>(y) * rowBytes];
    if (format == GGO_GRAY8_BITMAP) {
      std::memcpy(dst, src, c.width);
      continue;
    }
    for (int x = 0; x < c.width; ++x)
      if (src[x]) dst[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
  }
  return bits;
}

unsigned FreeTypeRasterizer::StyleKey(unsigned format) const {
  return format << 2 | (m_fakeBold ? 2u : 0u) | (m_fakeItalic ? 1u : 0u);
}

const CachedGlyph* FreeTypeRasterizer::Render(char16_t code, unsigned format) {
  GlyphCache& cache = m_catalog->Glyphs();
  const unsigned style = StyleKey(format);
  if (const CachedGlyph* hit = cache.Find(m_face, style, code)) return hit;
  Coverage c;
  GlyphMetrics m{};
  if (!LoadCoverage(code, format == GGO_BITMAP, c, m)) return nullptr;
  // Embedded strikes carry blank margins; the black box is the ink's bounding box.
  Trim(c, m);
  if (m_fakeBold) {
    if (c.width > 0) Embolden(c);
    m.cellIncX = static_cast<short>(m.cellIncX + BoldExtraPixels(m_pixelSize));
  }
  if (c.width == 0) {
    // Like GDI: a 1 x 1 black box, so that callers cache the glyph.
    c.width = 1;
    c.height = 1;
    c.values.assign(1, 0);
    m.originX = 0;
    m.originY = 0;
  }
  m.blackBoxX = static_cast<unsigned>(c.width);
  m.blackBoxY = static_cast<unsigned>(c.height);
  return &cache.Insert(m_face, style, code, CachedGlyph{m, Pack(c, format)});
}

long FreeTypeRasterizer::GetGlyph(char16_t code, unsigned format, GlyphMetrics* metrics,
                                  unsigned bufferSize, void* buffer) {
  if (metrics) *metrics = GlyphMetrics{};
  if (!m_face || (format != GGO_BITMAP && format != GGO_GRAY8_BITMAP)) return GDI_ERROR;
  const CachedGlyph* glyph = Render(code, format);
  if (!glyph) return GDI_ERROR;
  if (metrics) *metrics = glyph->metrics;
  const long needed = static_cast<long>(glyph->bits.size());
  if (!buffer || bufferSize == 0) return needed;
  if (bufferSize < glyph->bits.size()) return GDI_ERROR;
  std::memcpy(buffer, glyph->bits.data(), glyph->bits.size());
  return needed;
}

}  // namespace plat
