#pragma once
// Glyph bitmaps and metrics for one font (face, pixel height, weight, italic), in the shapes
// the GDI glyph call delivered. FreeType + fontconfig behind CreateGlyphRasterizer().
//
// Callers may rely on:
//  - CreateFont: heightPx is the character (em) height; weight >= 600 is bold (synthesised
//    when the face has no bold); italic is a shear when the face has no italic. The face name
//    is GBK. A face that is not installed falls back to a CJK face, then to any face; false only
//    when no font at all can be opened (or heightPx <= 0).
//  - GetGlyph: buffer null or bufferSize 0 -> returns the byte count the bitmap needs; otherwise
//    writes exactly that many bytes and returns it, or GDI_ERROR when the buffer is too small,
//    the format unknown or no font was created. Metrics are filled on both calls.
//    GGO_BITMAP: 1 bit per pixel, most significant bit = leftmost pixel, rows padded to 32 bits.
//    GGO_GRAY8_BITMAP: 1 byte per pixel 0..64, rows padded to 4 bytes. Rows top to bottom.
//    Glyph with no outline (space): black box 1 x 1, all-zero bitmap of one padded row.
//  - Fonts share the opened files (cached per file and size), so creating many is cheap.
//  - Single UI thread.
#include <memory>
#include <string>

namespace plat {

enum : unsigned { GGO_BITMAP = 1, GGO_GRAY8_BITMAP = 6 };
constexpr long GDI_ERROR = -1;

struct GlyphMetrics {
  unsigned blackBoxX, blackBoxY;  // bitmap size in pixels
  int originX, originY;           // black box top-left relative to the pen on the baseline, y up
  short cellIncX, cellIncY;       // pen advance
};

class GlyphRasterizer {
 public:
  virtual ~GlyphRasterizer() = default;
  virtual bool CreateFont(const std::string& faceGbk, int heightPx, int weight, bool italic) = 0;
  virtual int Ascent() const = 0;  // pixels above the baseline; 0 before CreateFont
  virtual long GetGlyph(char16_t code, unsigned format, GlyphMetrics* metrics,
                        unsigned bufferSize, void* buffer) = 0;
};

// FreeType rasteriser (or the factory's product while one is set); nullptr = no context.
std::unique_ptr<GlyphRasterizer> CreateGlyphRasterizer();
using RasterizerFactory = std::unique_ptr<GlyphRasterizer> (*)();
void SetRasterizerFactory(RasterizerFactory f);  // tests; nullptr restores FreeType

// Font file a face name (GBK) resolves to, after the fallbacks above; "" when there is none.
std::string ResolveFontFile(const std::string& faceGbk);

// Byte count of one bitmap row in a GGO format; 0 for an unknown format.
unsigned GlyphRowBytes(unsigned format, unsigned width);

}  // namespace plat
