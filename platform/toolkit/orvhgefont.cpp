#include "platform/toolkit/orvhgefont.h"

#include <algorithm>
#include <vector>

#include "platform/text/textconv.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/gbktext.h"
#include "platform/toolkit/glyphatlas.h"
#include "platform/toolkit/orvhgegraphics.h"

const gcn::Color OrvHgeFont::kDefaultColor(255, 255, 255, 255);

namespace {

constexpr int kWeightNormal = 400;
constexpr int kWeightBold = 700;
constexpr int kGrayLevels = 64;  // GGO_GRAY8_BITMAP values run 0..64
// A glyph box beyond this many font sizes is a broken answer, not a glyph.
constexpr int kMaxBoxPerSize = 4;
constexpr int kMaxBoxSlack = 64;

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7F; }

std::uint64_t NextFontId() {
  static std::uint64_t last = 0;  // fonts live on the UI thread
  return ++last;
}

std::uint64_t Pair(std::uint32_t high, std::uint32_t low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

}  // namespace

OrvHgeFont::OrvHgeFont(const char* faceGbk, int size, int bold, int italic, int antialias)
    : m_face(faceGbk ? faceGbk : ""),
      m_size(std::max(size, 1)),
      m_bold(bold != 0),
      m_italic(italic != 0),
      m_antialias(antialias != 0),
      m_id(NextFontId()) {
  m_colors.fill(kDefaultColor);
  m_rasterizer = plat::CreateGlyphRasterizer();
  if (m_rasterizer &&
      !m_rasterizer->CreateFont(m_face, m_size, m_bold ? kWeightBold : kWeightNormal, m_italic))
    m_rasterizer.reset();
  if (m_rasterizer) m_ascent = m_rasterizer->Ascent();
  m_atlas = std::make_unique<plat::GlyphAtlas>(m_size * 2 + 4);
}

OrvHgeFont::~OrvHgeFont() = default;

void OrvHgeFont::SetColor(const gcn::Color& c, int index) {
  if (index == -1)
    m_colors.fill(c);
  else if (index >= 0 && index < static_cast<int>(m_colors.size()))
    m_colors[index] = c;
}

gcn::Color OrvHgeFont::GetColor(int index) const {
  if (index < 0 || index >= static_cast<int>(m_colors.size())) return m_colors[0];
  return m_colors[index];
}

int OrvHgeFont::getHeight() const { return m_size; }

std::size_t OrvHgeFont::AtlasPages() const { return m_atlas->PageCount(); }

OrvHgeFont::Glyph OrvHgeFont::Rasterize(char16_t code) const {
  Glyph g;
  if (!m_rasterizer || IsControl(code)) return g;
  ++m_rasterized;
  const unsigned format = m_antialias ? plat::GGO_GRAY8_BITMAP : plat::GGO_BITMAP;
  plat::GlyphMetrics m{};
  const long needed = m_rasterizer->GetGlyph(code, format, &m, 0, nullptr);
  if (needed == plat::GDI_ERROR) return g;
  g.advance = m.cellIncX;
  const int limit = m_size * kMaxBoxPerSize + kMaxBoxSlack;
  const int w = static_cast<int>(m.blackBoxX), h = static_cast<int>(m.blackBoxY);
  if (needed <= 0 || w <= 0 || h <= 0 || w > limit || h > limit) return g;
  const unsigned rowBytes = plat::GlyphRowBytes(format, m.blackBoxX);
  if (rowBytes == 0 || static_cast<unsigned long>(needed) < static_cast<unsigned long>(rowBytes) * m.blackBoxY)
    return g;
  std::vector<std::uint8_t> bits(static_cast<std::size_t>(needed));
  if (m_rasterizer->GetGlyph(code, format, &m, static_cast<unsigned>(needed), bits.data()) !=
      needed)
    return g;

  std::vector<std::uint8_t> coverage(static_cast<std::size_t>(w) * h);
  bool any = false;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = bits.data() + static_cast<std::size_t>(y) * rowBytes;
    for (int x = 0; x < w; ++x) {
      int a;
      if (m_antialias)
        a = std::min<int>(row[x], kGrayLevels) * 255 / kGrayLevels;
      else
        a = (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
      coverage[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(a);
      any = any || a != 0;
    }
  }
  if (!any) return g;  // the space: advance only
  plat::GlyphAtlas::Slot slot = m_atlas->Add(w, h, coverage);
  if (slot.page < 0 && m_atlas->Full()) {
    // Every glyph known so far pointed into the old pages: they are all forgotten.
    m_glyphs.Clear();
    m_atlas = std::make_unique<plat::GlyphAtlas>(m_size * 2 + 4);
    ++m_atlasRestarts;
    slot = m_atlas->Add(w, h, coverage);
  }
  if (slot.page < 0) return g;
  g.drawable = true;
  g.w = w;
  g.h = h;
  g.offsetX = m.originX;
  g.offsetY = m_ascent - m.originY;
  g.page = slot.page;
  g.atlasX = slot.x;
  g.atlasY = slot.y;
  return g;
}

const OrvHgeFont::Glyph& OrvHgeFont::GetGlyphInfo(char16_t code) const {
  if (const Glyph* known = m_glyphs.Find(code)) return *known;
  const Glyph g = Rasterize(code);  // may start the atlas, and so the table, over
  return m_glyphs.Insert(code, g);
}

int OrvHgeFont::getWidth(const std::u16string& text) const {
  int w = 0;
  for (char16_t c : text) w += CharWidth(c);
  return w;
}

int OrvHgeFont::CharWidth(char16_t c) const { return GetGlyphInfo(c).advance; }

int OrvHgeFont::getWidth(const std::string& gbk) const { return Converted(gbk).width; }

template <class Text, class ToWide>
const OrvHgeFont::ConvertedText& OrvHgeFont::Keep(plat::TextTable<Text, ConvertedText>& kept,
                                                  const Text& text, ToWide toWide) const {
  if (const ConvertedText* found = kept.Find(text)) return *found;
  // Texts that change every frame (a countdown) would otherwise fill it without end.
  if (kept.Size() >= kConvertedLimit) {
    kept.Clear();
    ++m_convertedEpoch;
  }
  ConvertedText entry;
  entry.wide = toWide(text);
  entry.width = getWidth(entry.wide);  // advances never change for a font
  return kept.Insert(text, std::move(entry));
}

const OrvHgeFont::ConvertedText& OrvHgeFont::Converted(const std::string& gbk) const {
  return Keep(m_converted, gbk, [](const std::string& t) { return plat::GbkToUtf16(t); });
}

const OrvHgeFont::ConvertedText& OrvHgeFont::KeptWide(const std::u16string& text) const {
  return Keep(m_keptWide, text, [](const std::u16string& t) { return t; });
}

int OrvHgeFont::getStringIndexAt(const std::string& gbk, int x) const {
  int pen = 0;
  std::size_t i = 0;
  while (i < gbk.size()) {
    const std::size_t n = plat::GbkCharLength(gbk, i);
    const int adv = getWidth(gbk.substr(i, n));
    if (x < pen + adv / 2) return static_cast<int>(i);
    pen += adv;
    i += n;
  }
  return static_cast<int>(gbk.size());
}

void OrvHgeFont::drawString(gcn::Graphics* g, const std::string& gbk, int x, int y, int align) {
  const ConvertedText& text = Converted(gbk);
  DrawText(g, text.wide, text.width, x, y, align, &text);
}

void OrvHgeFont::drawString(gcn::Graphics* g, const std::u16string& text, int x, int y,
                            int align) {
  const ConvertedText& kept = KeptWide(text);
  DrawText(g, kept.wide, kept.width, x, y, align, &kept);
}

void OrvHgeFont::drawString(gcn::Graphics* g, const std::string& gbk, int x, int y) {
  const ConvertedText& text = Converted(gbk);
  DrawText(g, text.wide, text.width, x, y, kAlignLeft, &text);
}

void OrvHgeFont::DrawText(gcn::Graphics* g, const std::u16string& text, int width, int x, int y,
                          int align, const ConvertedText* kept) {
  OrvHgeGraphics* og = ToOrvGraphics(g);
  if (!og || text.empty()) return;
  const int left = align == kAlignCenter ? x - width / 2 : x;
  if (plat::GetDrawLog()) {
    plat::DrawRecord rec;
    rec.kind = plat::DrawRecord::Text;
    rec.what = plat::Utf16ToUtf8(text);
    rec.x = og->ScreenX(left);
    rec.y = og->ScreenY(y);
    rec.w = width;
    rec.h = getHeight();
    rec.color = m_colors[0];
    rec.clipped = width <= 0 || og->IsOutsideClip(rec.x, rec.y, width, rec.h);
    plat::RecordDraw(std::move(rec));
  }
  DrawGlyphs(og, text, width, left, y, kept);
}

void OrvHgeFont::DrawGlyphs(OrvHgeGraphics* og, const std::u16string& text, int width, int x,
                            int y, const ConvertedText* kept) {
  HGE* hge = og->Hge();
  if (!hge || og->IsClipEmpty() || !m_rasterizer) return;
  const int screenTop = og->ScreenY(y);
  const int lineH = std::max(getHeight(), m_ascent) * 2;
  if (og->IsOutsideClip(og->ScreenX(x), screenTop - lineH / 2, width, lineH * 2)) return;

  std::uint32_t colors[4];
  for (int i = 0; i < 4; ++i) colors[i] = OrvHgeGraphics::ToArgb(m_colors[i]);
  // A kept text drawn as in the last frame is the last frame's quads again: everything the
  // quads depend on is in the key (the glyphs through the count of glyphs ever rasterised,
  // which also moves when the atlas starts over; the device checks the pages' pixels).
  if (kept) {
    HGE::RunKey key{};
    key.words[0] = m_id;
    key.words[1] = reinterpret_cast<std::uintptr_t>(kept);
    key.words[2] = m_convertedEpoch;
    key.words[3] = m_rasterized;
    key.words[4] = Pair(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
    key.words[5] = Pair(static_cast<std::uint32_t>(og->ScreenX(0)),
                        static_cast<std::uint32_t>(og->ScreenY(0)));
    key.words[6] = Pair(colors[0], colors[1]);
    key.words[7] = Pair(colors[2], colors[3]);
    if (hge->Gfx_RepeatRun(key)) return;
    hge->Gfx_BeginRun(key);
  }
  const float inv = 1.0f / static_cast<float>(m_atlas->PageSize());
  // Page textures fetched once per string (the upload of new glyphs happens here).
  std::vector<HTEXTURE>& pageTex = m_pageTex;
  pageTex.assign(m_atlas->PageCount(), 0);
  std::size_t rasterized = m_rasterized;
  int pen = x;
  for (char16_t c : text) {
    const Glyph& gl = GetGlyphInfo(c);
    // Glyphs forgotten by an atlas restart (while a text longer than the whole atlas was
    // measured, or since a kept text was) are rasterised here: their pages are new or changed.
    if (m_rasterized != rasterized) {
      rasterized = m_rasterized;
      pageTex.assign(m_atlas->PageCount(), 0);
    }
    if (gl.drawable) {
      if (static_cast<std::size_t>(gl.page) >= pageTex.size()) pageTex.resize(gl.page + 1, 0);
      HTEXTURE& tex = pageTex[gl.page];
      if (!tex) tex = m_atlas->Page(gl.page)->On(hge);
      if (tex) {
        hgeQuad q{};
        q.tex = tex;
        q.blend = BLEND_DEFAULT;
        const float x0 = static_cast<float>(pen + gl.offsetX);
        const float y0 = static_cast<float>(y + gl.offsetY);
        const float x1 = x0 + gl.w, y1 = y0 + gl.h;
        const float u0 = gl.atlasX * inv, v0 = gl.atlasY * inv;
        const float u1 = (gl.atlasX + gl.w) * inv, v1 = (gl.atlasY + gl.h) * inv;
        q.v[0] = hgeVertex{x0, y0, 0.0f, colors[0], u0, v0};
        q.v[1] = hgeVertex{x1, y0, 0.0f, colors[1], u1, v0};
        q.v[2] = hgeVertex{x1, y1, 0.0f, colors[2], u1, v1};
        q.v[3] = hgeVertex{x0, y1, 0.0f, colors[3], u0, v1};
        og->RenderLocalQuad(q);
      }
    }
    pen += gl.advance;
  }
  if (kept) hge->Gfx_EndRun();
}
