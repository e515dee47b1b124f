#include "tools/assetgen/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <stdexcept>

namespace {
std::string MatchFile(const std::string& pattern, int* index) {
  // A private configuration, released here, rather than fontconfig's global one.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return {};
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
  std::string file;
  if (pat) {
    FcConfigSubstitute(config, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pat, &result);
    FcPatternDestroy(pat);
    if (match) {
      FcChar8* f = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &f) == FcResultMatch) file = reinterpret_cast<const char*>(f);
      if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
      FcPatternDestroy(match);
    }
  }
  FcConfigDestroy(config);
  return file;
}
}  // namespace

Font::Font(const std::string& pattern, const std::string& fileHint) {
  int index = 0;
  file_ = MatchFile(pattern, &index);
  if (file_.find(fileHint) == std::string::npos)
    throw std::runtime_error("font '" + pattern + "' resolves to '" + file_ + "', expected a file like '" + fileHint +
                             "'");
  if (FT_Init_FreeType(&lib_) != 0) throw std::runtime_error("FreeType init failed");
  if (FT_New_Face(lib_, file_.c_str(), index, &face_) != 0) {
    FT_Done_FreeType(lib_);
    throw std::runtime_error("cannot open font " + file_);
  }
}

Font::~Font() {
  FT_Done_Face(face_);
  FT_Done_FreeType(lib_);
}

std::u32string Font::Decode(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t extra = 0;
    char32_t cp = c;
    if (c >= 0x80) {
      if ((c >> 5) == 6) {
        extra = 1;
        cp = c & 0x1F;
      } else if ((c >> 4) == 14) {
        extra = 2;
        cp = c & 0x0F;
      } else if ((c >> 3) == 30) {
        extra = 3;
        cp = c & 0x07;
      } else {
        throw std::runtime_error("bad UTF-8 lead byte in caption");
      }
    }
    if (i + extra >= s.size() && extra > 0) throw std::runtime_error("truncated UTF-8 in caption");
    for (size_t k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) throw std::runtime_error("bad UTF-8 in caption");
      cp = (cp << 6) | (b & 0x3F);
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

std::string Font::Encode(const std::u32string& text) {
  std::string out;
  for (char32_t cp : text) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

void Font::SetSize(int px) const { FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(px)); }

unsigned Font::GlyphIndex(char32_t cp) const {
  const FT_UInt g = FT_Get_Char_Index(face_, cp);
  if (g == 0 && cp != U' ') throw std::runtime_error("font " + file_ + " lacks U+" + std::to_string(cp));
  return g;
}

int Font::Measure(const std::string& utf8, int px) const {
  SetSize(px);
  int pen = 0;
  for (char32_t cp : Decode(utf8)) {
    if (FT_Load_Glyph(face_, GlyphIndex(cp), FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) continue;
    pen += static_cast<int>((face_->glyph->advance.x + 32) >> 6);
  }
  return pen;
}

TextRun Font::Render(const std::string& utf8, int px, float embolden) const {
  SetSize(px);
  const std::u32string text = Decode(utf8);
  const int ascent = static_cast<int>((face_->size->metrics.ascender + 63) >> 6);
  const int descent = static_cast<int>((-face_->size->metrics.descender + 63) >> 6);
  const int grow = static_cast<int>(embolden + 1.0f);
  const int width = Measure(utf8, px) + static_cast<int>(text.size()) * grow + 2 * grow + 2;
  TextRun run;
  run.mask = AlphaMask(width, ascent + descent + 2 * grow + 2);
  run.baseline = ascent + grow + 1;
  int pen = grow + 1;
  for (char32_t cp : text) {
    if (FT_Load_Glyph(face_, GlyphIndex(cp), FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) continue;
    FT_GlyphSlot slot = face_->glyph;
    if (embolden > 0 && slot->format == FT_GLYPH_FORMAT_OUTLINE)
      FT_Outline_Embolden(&slot->outline, static_cast<FT_Pos>(embolden * 64.0f));
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) continue;
    const FT_Bitmap& bm = slot->bitmap;
    for (unsigned y = 0; y < bm.rows; ++y)
      for (unsigned x = 0; x < bm.width; ++x) {
        const unsigned char v = bm.buffer[static_cast<int>(y) * bm.pitch + static_cast<int>(x)];
        if (v == 0) continue;
        run.mask.Max(pen + slot->bitmap_left + static_cast<int>(x), run.baseline - slot->bitmap_top + static_cast<int>(y),
                     static_cast<float>(v) / 255.0f);
      }
    pen += static_cast<int>((slot->advance.x + 32) >> 6) + (embolden > 0 ? static_cast<int>(embolden + 0.5f) : 0);
  }
  run.advance = pen - grow - 1;
  run.inkLeft = run.mask.Width();
  run.inkTop = run.mask.Height();
  for (int y = 0; y < run.mask.Height(); ++y)
    for (int x = 0; x < run.mask.Width(); ++x)
      if (run.mask.At(x, y) > 0.02f) {
        run.inkLeft = std::min(run.inkLeft, x);
        run.inkTop = std::min(run.inkTop, y);
        run.inkRight = std::max(run.inkRight, x + 1);
        run.inkBottom = std::max(run.inkBottom, y + 1);
      }
  if (run.inkRight == 0) run.inkLeft = run.inkTop = 0;
  return run;
}
