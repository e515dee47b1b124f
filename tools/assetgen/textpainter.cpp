#include "tools/assetgen/textpainter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
bool IsClosingPunctuation(char32_t c) {
  static const std::u32string kClosing = U"，。、；：！？）》」”’,.;:!?)%";
  return kClosing.find(c) != std::u32string::npos;
}
}  // namespace

void TextPainter::Compose(Canvas& c, const TextRun& run, int ox, int oy, const TextStyle& style) const {
  const int pad = static_cast<int>(std::ceil(style.outlineWidth)) + 3 * style.shadowBlur + 2;
  const AlphaMask base = run.mask.Padded(pad);
  const int bx = ox - pad, by = oy - pad;
  const AlphaMask body = style.outlineWidth > 0 ? base.Dilated(style.outlineWidth) : base;
  if (style.shadow.a > 0) {
    const AlphaMask shadow = body.Blurred(style.shadowBlur);
    c.FillMask(shadow, bx + style.shadowDx, by + style.shadowDy, paint::Solid(style.shadow));
  }
  if (style.outlineWidth > 0) c.FillMask(body, bx, by, paint::Solid(style.outline));
  const float top = static_cast<float>(oy + run.inkTop);
  const float bottom = static_cast<float>(oy + std::max(run.inkBottom, run.inkTop + 1));
  c.FillMask(base, bx, by, paint::Vertical(top, bottom, style.top, style.bottom));
}

Box TextPainter::DrawCentered(Canvas& c, const std::string& text, int px, float x, float cy, Align align,
                              const TextStyle& style) const {
  const TextRun run = font_.Render(text, px, style.embolden);
  const float inkW = static_cast<float>(run.inkRight - run.inkLeft);
  const float inkH = static_cast<float>(run.inkBottom - run.inkTop);
  float left = x;
  if (align == Align::Center) left = x - inkW * 0.5f;
  if (align == Align::Right) left = x - inkW;
  const int ox = static_cast<int>(std::lround(left)) - run.inkLeft;
  const int oy = static_cast<int>(std::lround(cy - inkH * 0.5f)) - run.inkTop;
  Compose(c, run, ox, oy, style);
  return Box{static_cast<float>(ox + run.inkLeft), static_cast<float>(oy + run.inkTop),
             static_cast<float>(ox + run.inkRight), static_cast<float>(oy + run.inkBottom)};
}

int TextPainter::DrawBaseline(Canvas& c, const std::string& text, int px, float x, float baseline,
                              const TextStyle& style) const {
  const TextRun run = font_.Render(text, px, style.embolden);
  // The run's pen starts a little inside its mask; keep the pen at x.
  const int penOffset = static_cast<int>(style.embolden + 1.0f) + 1;
  Compose(c, run, static_cast<int>(std::lround(x)) - penOffset, static_cast<int>(std::lround(baseline)) - run.baseline,
          style);
  return run.advance;
}

std::vector<std::string> TextPainter::Wrap(const std::string& text, int px, int maxWidth) const {
  // Advances simply add up (no kerning in these faces), so widths are summed per character.
  std::vector<std::string> lines;
  std::u32string line;
  int width = 0;
  for (char32_t ch : Font::Decode(text)) {
    const int w = font_.Measure(Font::Encode(std::u32string(1, ch)), px);
    if (!line.empty() && width + w > maxWidth && !IsClosingPunctuation(ch)) {
      lines.push_back(Font::Encode(line));
      line.clear();
      width = 0;
    }
    line += ch;
    width += w;
  }
  if (!line.empty()) lines.push_back(Font::Encode(line));
  return lines;
}
