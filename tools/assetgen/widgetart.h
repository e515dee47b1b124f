#pragma once
// Shared drawing of the game's widget look: gold rims, lacquer faces,
// gloss, frame strips and small icons.
#include <functional>

#include "tools/assetgen/canvas.h"
#include "tools/assetgen/textpainter.h"

namespace art {
// Button strips hold four frames in this order.
enum Frame { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };
constexpr int kButtonFrames = 4;

struct Look {
  float bright = 1.0f;  // colour multiplier
  float desat = 0.0f;   // 1 = grey
  float dy = 0.0f;      // content offset (pressed sinks)
  float gloss = 0.35f;  // strength of the top highlight
  float glow = 0.0f;    // hover halo
  Rgba Tone(const Rgba& c) const { return Desaturate(Shade(c, bright), desat); }
};
Look LookOf(int frame);

// Frames are drawn each on its own canvas and then placed side by side
// (or stacked), so that nothing bleeds from one frame into the next.
Canvas Strip(int fw, int fh, int frames, const std::function<void(Canvas&, int)>& draw, bool vertical = false);

// Polished gold, banded across the box height.
Paint Metal(const Box& b, const Look& look);
// Glossy face: soft drop shadow, gold rim of the given width, lacquer body.
void ButtonFace(Canvas& c, const Shape& outer, float rim, const Rgba& base, const Look& look);
// A large framed panel with a double gold border.
void Panel(Canvas& c, const Box& b, float radius, const Rgba& top, const Rgba& bottom, bool shadow = true);
void Gloss(Canvas& c, const Shape& body, float strength);
void Diamond(Canvas& c, float cx, float cy, float size, const Paint& p);
// A thin gold rule with a diamond at each end.
void Rule(Canvas& c, float x0, float x1, float y, float alpha = 1.0f);

TextStyle GoldCaption(const Look& look, float embolden);
TextStyle DarkCaption(const Look& look, float embolden);

// Parchment with a faint fibre texture and darker edges.
Paint Parchment(const Box& b, unsigned seed);

// Icons, each inside a size x size square centred at (cx, cy).
Shape HeartShape(float cx, float cy, float size);
void Coin(Canvas& c, float cx, float cy, float r);
void Envelope(Canvas& c, float cx, float cy, float w, float h, const Look& look);
void CheckMark(Canvas& c, float cx, float cy, float size, const Rgba& col);
}  // namespace art
