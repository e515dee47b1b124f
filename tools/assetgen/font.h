#pragma once
// A FreeType face found through fontconfig, rendering anti-aliased text runs.
#include <string>
#include <vector>

#include "tools/assetgen/alphamask.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

struct TextRun {
  AlphaMask mask;   // the whole run, em box tall
  int baseline = 0; // row of the baseline inside the mask
  int inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;  // covered pixels, exclusive ends
  int advance = 0;
};

class Font {
 public:
  // Resolves the fontconfig pattern; the file name must contain fileHint
  // (so that a fallback to a face without CJK glyphs is caught). Throws
  // std::runtime_error when nothing fits.
  Font(const std::string& pattern, const std::string& fileHint);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const std::string& File() const { return file_; }
  // embolden thickens the strokes by that many pixels. Throws for a
  // character the face does not have, so no caption ships with empty boxes.
  TextRun Render(const std::string& utf8, int px, float embolden = 0.0f) const;
  int Measure(const std::string& utf8, int px) const;
  static std::u32string Decode(const std::string& utf8);
  static std::string Encode(const std::u32string& text);

 private:
  void SetSize(int px) const;
  unsigned GlyphIndex(char32_t cp) const;

  std::string file_;
  FT_LibraryRec_* lib_ = nullptr;
  FT_FaceRec_* face_ = nullptr;
};
