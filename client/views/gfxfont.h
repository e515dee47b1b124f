#pragma once
// Text in any character of a system font, drawn as one textured quad per UTF-16 code unit.
//
// Each code unit is rasterised the first time it is drawn or measured and kept as a white
// texture whose alpha is the glyph's coverage. Advances follow a fixed grid: the pixel size for
// code units from 0x2000 up, half of it below, so layout never depends on glyph shapes.
// Narrow texts are GBK. Single UI thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/render/glyphrasterizer.h"
#include "platform/render/hge.h"
#include "platform/text/codetable.h"

class hgeSprite;

class GfxFont final {
 public:
  // One cached glyph; all zero until the code unit has been rasterised.
  struct GlyphRecord {
    HTEXTURE texture = 0;
    float width = 0.0f;    // black box
    float height = 0.0f;
    float xOffset = 0.0f;  // minus the origin's x
    float yOffset = 0.0f;  // origin's y (up from the baseline) minus the ascent
  };

  struct Size {
    int width = 0;
    int height = 0;
  };

  static constexpr unsigned kTableSize = 0xFFFF;  // code unit 0xFFFF has no record
  static constexpr char16_t kFullWidthFrom = 0x2000;
  static constexpr std::size_t kFormatBufferSize = 10240;  // terminating zero included

  // faceGbk: the face name in GBK; size: character height in pixels.
  GfxFont(const char* faceGbk, int size, bool bold, bool italic, bool antialias);
  ~GfxFont();
  GfxFont(const GfxFont&) = delete;
  GfxFont& operator=(const GfxFont&) = delete;

  // printf-style narrow (GBK) text; at most kFormatBufferSize - 1 bytes of it are kept.
  virtual void DrawFormatted(float x, float y, const char* format, ...)
      __attribute__((format(printf, 4, 5)));
  // y is the top of the first line; CR and LF each start a new line.
  virtual void DrawWide(float x, float y, const char16_t* text);
  virtual void SetDrawColor(std::uint32_t color, int corner = -1);  // -1: all four corners
  virtual std::uint32_t GetDrawColor(int corner = 0) const;
  virtual Size MeasureText(const char16_t* text);
  virtual int MeasureWidth(const char* textGbk);
  virtual int MeasureHeight(const char* textGbk);
  // The code unit whose cell holds the point (cells are half-open on the left and top); 0 for none.
  virtual char16_t CharacterAt(const char16_t* text, float px, float py);
  virtual void SetLetterSpacing(float spacing);
  virtual void SetLineSpacing(float spacing);
  virtual float GetLetterSpacing() const;
  virtual float GetLineSpacing() const;
  virtual float GetPixelSize() const;

  // False when the rasteriser context or the font could not be made: such a font draws nothing.
  bool IsValid() const { return m_sprite != nullptr; }
  int Ascent() const { return m_ascent; }
  // The cached record of a code unit, or nullptr for 0xFFFF. Never rasterises.
  const GlyphRecord* Record(char16_t c) const;

 private:
  // The code unit's record, rasterised first when it has none; nullptr when it cannot be had.
  const GlyphRecord* LookupGlyph(char16_t c);
  void RasterizeGlyph(unsigned index, char16_t c);
  void ConvertBitmap(HTEXTURE tex, const unsigned char* bits, std::size_t size, int width,
                     int height);
  float AdvanceOf(char16_t c);
  // The grid's advance of a code unit; its glyph is not looked up.
  float CellAdvance(char16_t c) const { return c >= kFullWidthFrom ? m_pixelSize : m_halfAdvance; }
  // The kept text at (x, y); taken over from the last frame by the device when only moved.
  void DrawKept(float x, float y);
  // Whether the positions of a text drawn from (x, y) are whole numbers computed exactly.
  bool WholeLayoutAt(float x, float y) const;
  float LineAdvance() const { return m_pixelSize + m_lineSpacing; }
  void FreeTextures();

  // The rasterised code units' records (a notice's font uses a few dozen of the 65535 a code
  // unit can name): drawing a character reaches one slot of a small table.
  plat::CodeTable<GlyphRecord> m_glyphs;
  std::vector<char16_t> m_cached;  // code units with a texture, to free them without a scan
  // The last formatted text and its UTF-16 form: a notice draws the same text every frame.
  std::string m_lastNarrow;
  std::u16string m_lastWide;
  std::uint64_t m_id = 0;         // this font among all fonts made, for the device's runs
  std::uint64_t m_textEpoch = 0;  // moves on whenever the kept text changes
  unsigned m_format = plat::GGO_BITMAP;  // or plat::GGO_GRAY8_BITMAP
  int m_ascent = 0;
  float m_pixelSize = 0.0f;
  float m_halfAdvance = 0.0f;  // the advance of code units below kFullWidthFrom
  float m_letterSpacing = 0.0f;
  float m_lineSpacing = 0.0f;
  HGE* m_hge = nullptr;
  std::unique_ptr<hgeSprite> m_sprite;
  // Stands for both the memory context and the selected font.
  std::unique_ptr<plat::GlyphRasterizer> m_rasterizer;
};
