#pragma once
// GlyphRasterizer over FreeType. Bold and italic are synthesised when the resolved face has no
// such style: bold widens every row by whole pixels (as the GDI simulation does), italic
// shears the outline. Finished glyphs go to the catalogue's shared cache, so the usual pair of
// calls (size, then data) and later fonts of the same face and size rasterise once.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/render/fontcatalog.h"
#include "platform/render/glyphrasterizer.h"

namespace plat {

class FreeTypeRasterizer final : public GlyphRasterizer {
 public:
  // Check Valid(): false when FreeType could not be initialised.
  FreeTypeRasterizer();
  bool Valid() const { return m_catalog && m_catalog->Valid(); }

  bool CreateFont(const std::string& faceGbk, int heightPx, int weight, bool italic) override;
  int Ascent() const override { return m_ascent; }
  long GetGlyph(char16_t code, unsigned format, GlyphMetrics* metrics, unsigned bufferSize,
                void* buffer) override;

 private:
  // One glyph with its final level per pixel (0/1 one-bit, 0..64 gray), before packing.
  struct Coverage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> values;
  };
  // The glyph from the shared cache, rendered first when missing; nullptr on failure.
  const CachedGlyph* Render(char16_t code, unsigned format);
  unsigned StyleKey(unsigned format) const;
  bool LoadCoverage(char16_t code, bool mono, Coverage& out, GlyphMetrics& m);
  static void Trim(Coverage& c, GlyphMetrics& m);
  void Embolden(Coverage& c) const;
  static std::vector<std::uint8_t> Pack(const Coverage& c, unsigned format);

  std::shared_ptr<FontCatalog> m_catalog;
  FT_Face m_face = nullptr;
  int m_pixelSize = 0;
  int m_ascent = 0;
  bool m_fakeBold = false;
  bool m_fakeItalic = false;
};

}  // namespace plat
