#pragma once
// Text drawing with glyphs from plat::GlyphRasterizer, cached in textures.
//
// Callers may rely on:
//  - OrvHgeFont(face, size, bold, italic, antialias): face is GBK ("宋", "宋体"); size is the
//    pixel height of the characters; bold (weight 700), italic and antialias (gray glyphs
//    instead of one-bit ones) are 0 or 1 (any non-zero counts as 1);
//  - 8-bit texts are GBK, wide texts UTF-16; align 0 draws from x, 1 centres the text on x;
//    y is the top of the text line (the baseline is Ascent() below it);
//  - every glyph is rasterised once per font and kept in a texture atlas, so drawing and
//    measuring a string never rasterise again; texts from the server may bring any of tens
//    of thousands of characters, so when the atlas is full the font starts over with an
//    empty one (the glyphs in use are rasterised again on their next use);
//  - the colour starts as kDefaultColor and stays until changed; SetColor(c, -1) sets all four
//    corners of every glyph, 0..3 one corner (top-left, top-right, bottom-right, bottom-left);
//  - '\n' and other control characters take no room and draw nothing;
//  - with no rasteriser (no font at all) every text is 0 wide and draws nothing.
// Single UI thread.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <guichan/color.hpp>
#include <guichan/font.hpp>
#include <guichan/graphics.hpp>

#include "platform/render/glyphrasterizer.h"
#include "platform/render/hge.h"
#include "platform/text/codetable.h"
#include "platform/text/texttable.h"

class OrvHgeGraphics;

namespace plat {
class GlyphAtlas;
}

class OrvHgeFont : public gcn::Font {
 public:
  static const gcn::Color kDefaultColor;  // opaque white
  enum Align { kAlignLeft = 0, kAlignCenter = 1 };
  // GBK texts are kept in UTF-16 between frames; the cache is emptied when it holds this many.
  static constexpr std::size_t kConvertedLimit = 512;

  OrvHgeFont(const char* faceGbk, int size, int bold, int italic, int antialias);
  ~OrvHgeFont() override;
  OrvHgeFont(const OrvHgeFont&) = delete;
  OrvHgeFont& operator=(const OrvHgeFont&) = delete;

  void drawString(gcn::Graphics* g, const std::string& gbk, int x, int y, int align);
  void drawString(gcn::Graphics* g, const std::u16string& text, int x, int y, int align);
  // guichan's text drawing: GBK from x.
  void drawString(gcn::Graphics* g, const std::string& gbk, int x, int y) override;

  int getWidth(const std::string& gbk) const override;
  int getWidth(const std::u16string& text) const;
  // The advance of one character: getWidth of a text is the sum over its characters.
  int CharWidth(char16_t c) const;
  int getHeight() const override;
  // Byte index in a GBK text nearest to x (never inside a two-byte character).
  int getStringIndexAt(const std::string& gbk, int x) const override;

  void SetColor(const gcn::Color& c, int index = -1);
  gcn::Color GetColor() const { return m_colors[0]; }
  gcn::Color GetColor(int index) const;

  int Size() const { return m_size; }
  int Ascent() const { return m_ascent; }
  bool IsAntialiased() const { return m_antialias; }
  bool IsValid() const { return m_rasterizer != nullptr; }
  // Glyphs rasterised so far (for tests: drawing twice must not raise it).
  std::size_t RasterizedGlyphs() const { return m_rasterized; }
  // Atlas pages in use and how often the atlas was started over (tests).
  std::size_t AtlasPages() const;
  std::size_t AtlasRestarts() const { return m_atlasRestarts; }

 private:
  struct Glyph {
    bool drawable = false;  // false for empty boxes and failures: advance only
    int advance = 0;
    int offsetX = 0, offsetY = 0;  // box top-left relative to (pen x, line top)
    int w = 0, h = 0;
    int page = -1;  // atlas page
    int atlasX = 0, atlasY = 0;
  };

  // A GBK text in UTF-16 and its width, both worked out once.
  struct ConvertedText {
    std::u16string wide;
    int width = 0;
  };

  const Glyph& GetGlyphInfo(char16_t code) const;
  // Valid until the next call.
  const ConvertedText& Converted(const std::string& gbk) const;
  // A wide text kept with its width, so that it names its glyph quads like a converted one.
  const ConvertedText& KeptWide(const std::u16string& text) const;
  // The entry of `text` in `kept`, made with toWide(text) when missing; the table starts over
  // at kConvertedLimit entries (and the epoch moves, as addresses may then be reused).
  template <class Text, class ToWide>
  const ConvertedText& Keep(plat::TextTable<Text, ConvertedText>& kept, const Text& text,
                            ToWide toWide) const;
  Glyph Rasterize(char16_t code) const;
  // kept: the text when it is one of m_converted's (its address then names its characters).
  void DrawText(gcn::Graphics* g, const std::u16string& text, int width, int x, int y, int align,
                const ConvertedText* kept);
  void DrawGlyphs(OrvHgeGraphics* og, const std::u16string& text, int width, int x, int y,
                  const ConvertedText* kept);

  std::string m_face;
  int m_size;
  bool m_bold, m_italic, m_antialias;
  int m_ascent = 0;
  std::unique_ptr<plat::GlyphRasterizer> m_rasterizer;
  std::array<gcn::Color, 4> m_colors;
  mutable plat::CodeTable<Glyph> m_glyphs;
  mutable std::unique_ptr<plat::GlyphAtlas> m_atlas;
  mutable std::size_t m_atlasRestarts = 0;
  mutable std::size_t m_rasterized = 0;
  mutable plat::TextTable<std::string, ConvertedText> m_converted;
  mutable plat::TextTable<std::u16string, ConvertedText> m_keptWide;
  // Tells this font's runs of glyph quads from those of any other font, and kept texts from
  // earlier ones at the same address (raised whenever m_converted or m_keptWide is emptied).
  const std::uint64_t m_id;
  mutable std::uint64_t m_convertedEpoch = 0;
  std::vector<HTEXTURE> m_pageTex;  // DrawGlyphs' page textures, kept for their capacity
};
