#pragma once
// Draws styled text (gradient fill, outline, soft shadow) onto a canvas.
#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/font.h"

enum class Align { Left, Center, Right };

struct TextStyle {
  Rgba top = Hex(0xffffff);     // fill colour at the top of the ink
  Rgba bottom = Hex(0xffffff);  // and at its bottom
  float embolden = 0.0f;
  Rgba outline{};
  float outlineWidth = 0.0f;
  Rgba shadow{};
  int shadowDx = 0, shadowDy = 0, shadowBlur = 0;
};

class TextPainter {
 public:
  explicit TextPainter(const Font& font) : font_(font) {}
  const Font& GetFont() const { return font_; }
  // The ink is centred vertically on cy and placed at x by align; returns the ink box.
  Box DrawCentered(Canvas& c, const std::string& text, int px, float x, float cy, Align align,
                   const TextStyle& style) const;
  // The pen starts at x on the baseline; returns the advance.
  int DrawBaseline(Canvas& c, const std::string& text, int px, float x, float baseline, const TextStyle& style) const;
  // Greedy line breaking by character; closing punctuation never starts a line.
  std::vector<std::string> Wrap(const std::string& text, int px, int maxWidth) const;

 private:
  void Compose(Canvas& c, const TextRun& run, int ox, int oy, const TextStyle& style) const;
  const Font& font_;
};
