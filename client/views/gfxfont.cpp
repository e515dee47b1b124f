#include "client/views/gfxfont.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <limits>
#include <string>
#include <vector>

#include "platform/render/glyphrasterizer.h"
#include "platform/render/hgesprite.h"
#include "platform/text/textconv.h"

namespace {

constexpr int kWeightNormal = 400;
constexpr int kWeightBold = 700;
constexpr std::uint32_t kSpriteWhite = 0xFFFFFFFF;
constexpr std::uint32_t kMonoSet = 0xFFFFFFFF;
constexpr std::uint32_t kMonoClear = 0x00000000;
constexpr std::uint32_t kGrayRgb = 0x00FFFFFF;
constexpr unsigned kGrayMaxLevel = 64;
// A rasteriser asking for more than this for one glyph is not believed.
constexpr long kMaxGlyphBytes = 64L * 1024 * 1024;

// Alpha of gray levels 0..64: four per level, the top level fully opaque.
constexpr std::array<std::uint8_t, kGrayMaxLevel + 1> MakeGrayAlpha() {
  std::array<std::uint8_t, kGrayMaxLevel + 1> table{};
  for (unsigned v = 0; v < kGrayMaxLevel; ++v) table[v] = static_cast<std::uint8_t>(v * 4);
  table[kGrayMaxLevel] = 255;
  return table;
}
constexpr auto kGrayAlpha = MakeGrayAlpha();

bool IsLineBreak(char16_t c) { return c == u'\n' || c == u'\r'; }

int SaturateToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int>::max()))
    return std::numeric_limits<int>::max();
  if (v <= static_cast<double>(std::numeric_limits<int>::min()))
    return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

// Nearest integer, halves away from zero.
int RoundToInt(double v) { return SaturateToInt(std::round(v)); }

// Nearest integer, halves to the even neighbour (14 / 2 = 7, 15 / 2 = 8, 13 / 2 = 6).
float RoundHalfEven(float v) {
  const float lower = std::floor(v);
  const float diff = v - lower;
  if (diff < 0.5f) return lower;
  if (diff > 0.5f) return lower + 1.0f;
  return std::fmod(lower, 2.0f) == 0.0f ? lower : lower + 1.0f;
}

// Whole and small enough that sums of a text's positions stay exact in a float.
constexpr float kMaxExactLayout = 1 << 20;
bool SmallWhole(float v) {
  return std::fabs(v) <= kMaxExactLayout && static_cast<float>(static_cast<int>(v)) == v;
}

std::uint64_t Bits(float a, float b) {
  std::uint32_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return (static_cast<std::uint64_t>(x) << 32) | y;
}

// Fonts and kept texts are numbered across all fonts, so that a run key never names two.
std::uint64_t g_fontsMade = 0;
std::uint64_t g_textsKept = 0;

}  // namespace

GfxFont::GfxFont(const char* faceGbk, int size, bool bold, bool italic, bool antialias) {
  m_hge = hgeCreate(HGE_VERSION);
  if (!m_hge) return;
  m_rasterizer = plat::CreateGlyphRasterizer();
  if (!m_rasterizer) return;
  if (!m_rasterizer->CreateFont(faceGbk ? faceGbk : "", size, bold ? kWeightBold : kWeightNormal,
                                italic)) {
    m_rasterizer.reset();
    return;
  }
  m_format = antialias ? plat::GGO_GRAY8_BITMAP : plat::GGO_BITMAP;
  m_ascent = m_rasterizer->Ascent();
  m_pixelSize = static_cast<float>(size);
  m_halfAdvance = RoundHalfEven(m_pixelSize / 2.0f);
  m_id = ++g_fontsMade;
  m_letterSpacing = 0.0f;
  m_lineSpacing = 0.0f;
  m_sprite = std::make_unique<hgeSprite>(0, 0.0f, 0.0f, 0.0f, 0.0f);
  m_sprite->SetColor(kSpriteWhite, -1);
}

GfxFont::~GfxFont() {
  // Textures first, then the font and its context, the sprite, and last the renderer they use.
  FreeTextures();
  m_rasterizer.reset();
  m_sprite.reset();
  if (m_hge) m_hge->Release();
}

void GfxFont::FreeTextures() {
  if (!m_hge) return;
  for (char16_t c : m_cached)
    if (const GlyphRecord* record = m_glyphs.Find(c)) m_hge->Texture_Free(record->texture);
  m_glyphs.Clear();
  m_cached.clear();
}

const GfxFont::GlyphRecord* GfxFont::Record(char16_t c) const {
  if (!m_sprite || c >= kTableSize) return nullptr;
  static const GlyphRecord kNotCached{};
  const GlyphRecord* record = m_glyphs.Find(c);
  return record ? record : &kNotCached;
}

const GfxFont::GlyphRecord* GfxFont::LookupGlyph(char16_t c) {
  if (c >= kTableSize || !m_sprite) return nullptr;
  if (const GlyphRecord* record = m_glyphs.Find(c)) return record;
  RasterizeGlyph(c, c);
  return m_glyphs.Find(c);
}

void GfxFont::RasterizeGlyph(unsigned index, char16_t c) {
  if (index >= kTableSize || !m_rasterizer || m_glyphs.Find(c)) return;
  GlyphRecord record;

  plat::GlyphMetrics metrics{};
  const long needed = m_rasterizer->GetGlyph(c, m_format, &metrics, 0, nullptr);
  const int width = SaturateToInt(metrics.blackBoxX);
  const int height = SaturateToInt(metrics.blackBoxY);
  const HTEXTURE tex = m_hge->Texture_Create(width, height);
  if (!tex) return;  // stays uncached; the next use tries again

  if (needed > 0 && needed <= kMaxGlyphBytes) {
    std::vector<unsigned char> bits(static_cast<std::size_t>(needed));
    // The second call's metrics are not trusted for the size: the texture is already made.
    plat::GlyphMetrics again{};
    const long got = m_rasterizer->GetGlyph(c, m_format, &again, static_cast<unsigned>(needed),
                                            bits.data());
    if (got == needed) ConvertBitmap(tex, bits.data(), bits.size(), width, height);
  }

  record.texture = tex;
  m_cached.push_back(c);
  record.width = static_cast<float>(width);
  record.height = static_cast<float>(height);
  record.xOffset = -static_cast<float>(metrics.originX);
  record.yOffset = static_cast<float>(metrics.originY) - static_cast<float>(m_ascent);
  m_glyphs.Insert(c, record);
}

void GfxFont::ConvertBitmap(HTEXTURE tex, const unsigned char* bits, std::size_t size, int width,
                            int height) {
  const bool mono = m_format == plat::GGO_BITMAP;
  const std::size_t srcPitch = mono ? static_cast<std::size_t>((width + 31) / 32) * 4
                                    : static_cast<std::size_t>((width + 3) / 4) * 4;
  const int dstPitch = m_hge->Texture_GetWidth(tex);
  if (srcPitch == 0 || dstPitch < width) return;
  std::uint32_t* dst = m_hge->Texture_Lock(tex, false);
  if (!dst) return;

  // Only whole rows the rasteriser actually delivered are read.
  const int rows = static_cast<int>(std::min<std::size_t>(height, size / srcPitch));
  for (int r = 0; r < rows; ++r) {
    const unsigned char* src = bits + static_cast<std::size_t>(r) * srcPitch;
    std::uint32_t* out = dst + static_cast<std::size_t>(r) * static_cast<std::size_t>(dstPitch);
    for (int i = 0; i < width; ++i) {
      if (mono) {
        out[i] = ((src[i / 8] >> (7 - i % 8)) & 1) ? kMonoSet : kMonoClear;
      } else {
        const unsigned level = std::min<unsigned>(src[i], kGrayMaxLevel);
        out[i] = (static_cast<std::uint32_t>(kGrayAlpha[level]) << 24) | kGrayRgb;
      }
    }
  }
  m_hge->Texture_Unlock(tex);
}

float GfxFont::AdvanceOf(char16_t c) {
  LookupGlyph(c);
  return CellAdvance(c);
}

void GfxFont::DrawFormatted(float x, float y, const char* format, ...) {
  if (!format || !m_sprite) return;
  std::array<char, kFormatBufferSize> buffer;
  std::string_view text;
  va_list args;
  va_start(args, format);
  // A notice passes its text through "%s" every frame: taken as it is, cut where vsnprintf
  // would cut it, without formatting it into the buffer.
  const char* whole = nullptr;
  if (format[0] == '%' && format[1] == 's' && format[2] == '\0') {
    va_list copy;
    va_copy(copy, args);
    whole = va_arg(copy, const char*);
    va_end(copy);
  }
  if (whole) {
    text = std::string_view(whole, strnlen(whole, kFormatBufferSize - 1));
  } else {
    // Bounded: a longer text is cut to the buffer, never written past it.
    const int written = std::vsnprintf(buffer.data(), buffer.size(), format, args);
    if (written < 0) buffer[0] = '\0';
    buffer.back() = '\0';
    text = buffer.data();
  }
  va_end(args);
  // The conversion is kept while the text stays the same.
  if (m_lastNarrow != text) {
    m_lastNarrow.assign(text);
    m_lastWide = plat::GbkToUtf16(m_lastNarrow);
    m_textEpoch = ++g_textsKept;
  }
  DrawKept(x, y);
}

bool GfxFont::WholeLayoutAt(float x, float y) const {
  return SmallWhole(x) && SmallWhole(y) && SmallWhole(m_pixelSize) &&
         SmallWhole(m_letterSpacing) && SmallWhole(m_lineSpacing) &&
         m_lastWide.size() * (m_pixelSize + std::fabs(m_letterSpacing) + std::fabs(m_lineSpacing)) <=
             kMaxExactLayout;
}

void GfxFont::DrawKept(float x, float y) {
  if (!m_hge || !WholeLayoutAt(x, y)) {
    DrawWide(x, y, m_lastWide.c_str());
    return;
  }
  // Everything the glyph quads depend on but the origin: the text, the glyphs rasterised so
  // far (their textures and offsets), colours and spacing; the device checks the pixels.
  HGE::RunKey key{};
  key.words[0] = m_id;
  key.words[1] = m_textEpoch;
  key.words[2] = m_cached.size();
  key.words[3] = (static_cast<std::uint64_t>(GetDrawColor(0)) << 32) | GetDrawColor(1);
  key.words[4] = (static_cast<std::uint64_t>(GetDrawColor(2)) << 32) | GetDrawColor(3);
  key.words[5] = Bits(m_letterSpacing, m_lineSpacing);
  key.words[6] = Bits(m_pixelSize, 0.0f);
  if (m_hge->Gfx_RepeatRunAt(key, x, y)) return;
  m_hge->Gfx_BeginRunAt(key, x, y);
  DrawWide(x, y, m_lastWide.c_str());
  m_hge->Gfx_EndRun();
}

void GfxFont::DrawWide(float x, float y, const char16_t* text) {
  if (!text || !m_sprite) return;
  float penX = x;
  float penY = y;
  for (; *text; ++text) {
    const char16_t c = *text;
    if (IsLineBreak(c)) {
      penX = x;
      penY += LineAdvance();
      continue;
    }
    if (const GlyphRecord* found = LookupGlyph(c); found && found->texture) {
      const GlyphRecord& g = *found;
      m_sprite->SetTexture(g.texture);
      m_sprite->SetTextureRect(0.0f, 0.0f, g.width, g.height);
      m_sprite->Render(penX - g.xOffset, penY - g.yOffset);
    }
    penX += CellAdvance(c) + m_letterSpacing;
  }
}

void GfxFont::SetDrawColor(std::uint32_t color, int corner) {
  if (m_sprite) m_sprite->SetColor(color, corner);
}

std::uint32_t GfxFont::GetDrawColor(int corner) const {
  return m_sprite ? m_sprite->GetColor(corner) : 0;
}

GfxFont::Size GfxFont::MeasureText(const char16_t* text) {
  Size size;
  size.height = RoundToInt(m_pixelSize);
  if (!text) return size;
  float row = 0.0f;
  for (; *text; ++text) {
    if (IsLineBreak(*text)) {
      size.height += RoundToInt(LineAdvance());
      size.width = std::max(size.width, RoundToInt(row));
      row = 0.0f;
    } else {
      row += AdvanceOf(*text) + m_letterSpacing;
    }
  }
  size.width = std::max(size.width, RoundToInt(row));
  return size;
}

int GfxFont::MeasureWidth(const char* textGbk) {
  return MeasureText(plat::GbkToUtf16(textGbk ? textGbk : "").c_str()).width;
}

int GfxFont::MeasureHeight(const char* textGbk) {
  return MeasureText(plat::GbkToUtf16(textGbk ? textGbk : "").c_str()).height;
}

char16_t GfxFont::CharacterAt(const char16_t* text, float px, float py) {
  if (!text) return 0;
  float x = 0.0f;
  float y = 0.0f;
  for (; *text; ++text) {
    if (IsLineBreak(*text)) {
      x = 0.0f;
      y += LineAdvance();
      ++text;
      if (!*text) return 0;
      // The unit after a break is tested as a character, even a second break code.
    }
    const char16_t c = *text;
    const float w = AdvanceOf(c);
    if (x < px && px <= x + w && y < py && py <= y + m_pixelSize) return c;
    x += w + m_letterSpacing;
  }
  return 0;
}

void GfxFont::SetLetterSpacing(float spacing) { m_letterSpacing = spacing; }
void GfxFont::SetLineSpacing(float spacing) { m_lineSpacing = spacing; }
float GfxFont::GetLetterSpacing() const { return m_letterSpacing; }
float GfxFont::GetLineSpacing() const { return m_lineSpacing; }
float GfxFont::GetPixelSize() const { return m_pixelSize; }
