#include "tools/assetgen/widgetart.h"

#include <cmath>
#include <memory>

#include "tools/assetgen/noise.h"

#include "tools/assetgen/palette.h"

namespace art {
Look LookOf(int frame) {
  switch (frame) {
    case kHover:
      return Look{1.22f, 0.0f, 0.0f, 0.45f, 0.35f};
    case kPressed:
      return Look{0.80f, 0.0f, 1.0f, 0.12f, 0.0f};
    case kDisabled:
      return Look{0.78f, 0.85f, 0.0f, 0.15f, 0.0f};
    default:
      return Look{};
  }
}

Canvas Strip(int fw, int fh, int frames, const std::function<void(Canvas&, int)>& draw, bool vertical) {
  Canvas strip(vertical ? fw : fw * frames, vertical ? fh * frames : fh);
  for (int i = 0; i < frames; ++i) {
    Canvas frame(fw, fh);
    draw(frame, i);
    strip.Draw(frame, vertical ? 0 : fw * i, vertical ? fh * i : 0);
  }
  return strip;
}

Paint Metal(const Box& b, const Look& look) {
  return paint::Linear(0, b.y0, 0, b.y1,
                       Stops{{0.0f, look.Tone(pal::kGoldPale)},
                             {0.3f, look.Tone(pal::kGoldLight)},
                             {0.52f, look.Tone(pal::kGold)},
                             {0.78f, look.Tone(pal::kGoldDeep)},
                             {1.0f, look.Tone(pal::kGoldLight)}});
}

void Gloss(Canvas& c, const Shape& body, float strength) {
  const Box& b = body.box;
  const float mid = b.y0 + b.Height() * 0.5f;
  const Shape top = shape::Intersect(shape::Offset(body, -1.0f), shape::RoundRect(Box{b.x0 - 2, b.y0 - 2, b.x1 + 2, mid}, 0));
  c.Fill(top, paint::Vertical(b.y0, mid, WithAlpha(pal::kWhite, strength), WithAlpha(pal::kWhite, strength * 0.15f)));
}

void ButtonFace(Canvas& c, const Shape& outer, float rim, const Rgba& base, const Look& look) {
  c.FillSoft(shape::Translate(outer, 0, 1.2f), 1.2f, paint::Solid(pal::kShadow));
  if (look.glow > 0) c.FillSoft(shape::Offset(outer, 0.5f), 1.5f, paint::Solid(WithAlpha(pal::kGoldPale, look.glow)));
  c.Fill(outer, Metal(outer.box, look));
  const Shape body = shape::Offset(outer, -rim);
  const Box& b = body.box;
  c.Fill(body, paint::Linear(0, b.y0, 0, b.y1,
                             Stops{{0.0f, look.Tone(Shade(base, 1.35f))},
                                   {0.5f, look.Tone(base)},
                                   {1.0f, look.Tone(Shade(base, 0.62f))}}));
  // A dark hairline inside the rim separates metal from lacquer.
  c.Fill(shape::Intersect(shape::Ring(body, 1.0f), outer), paint::Solid(WithAlpha(pal::kWoodDark, 0.45f)));
  Gloss(c, body, look.gloss);
}

void Panel(Canvas& c, const Box& b, float radius, const Rgba& top, const Rgba& bottom, bool shadow) {
  const Shape outer = shape::RoundRect(b, radius);
  if (shadow) c.FillSoft(shape::Translate(outer, 3, 5), 6, paint::Solid(WithAlpha(pal::kBlack, 0.6f)));
  const Look look;
  c.Fill(outer, Metal(b, look));
  const Shape body = shape::Offset(outer, -3.0f);
  c.Fill(body, paint::Vertical(b.y0, b.y1, top, bottom));
  c.Fill(shape::Ring(shape::Offset(outer, -3.5f), 1.0f), paint::Solid(WithAlpha(pal::kWoodDark, 0.6f)));
  c.Fill(shape::Ring(shape::Offset(outer, -7.0f), 1.0f), paint::Solid(WithAlpha(pal::kGold, 0.75f)));
  // Corner studs.
  const float k = 7.0f + radius * 0.3f;
  for (int i = 0; i < 4; ++i) {
    const float cx = (i & 1) ? b.x1 - k : b.x0 + k;
    const float cy = (i & 2) ? b.y1 - k : b.y0 + k;
    Diamond(c, cx, cy, 7.0f, Metal(Box{cx - 4, cy - 4, cx + 4, cy + 4}, look));
  }
}

void Diamond(Canvas& c, float cx, float cy, float size, const Paint& p) {
  const float h = size * 0.5f;
  c.Fill(shape::Polygon({{cx, cy - h}, {cx + h, cy}, {cx, cy + h}, {cx - h, cy}}), p);
}

void Rule(Canvas& c, float x0, float x1, float y, float alpha) {
  const Paint gold = paint::Solid(WithAlpha(pal::kGold, alpha));
  c.Fill(shape::Capsule(x0 + 6, y, x1 - 6, y, 0.6f), gold);
  Diamond(c, x0 + 3, y, 6, gold);
  Diamond(c, x1 - 3, y, 6, gold);
}

TextStyle GoldCaption(const Look& look, float embolden) {
  TextStyle s;
  s.top = look.Tone(pal::kGoldPale);
  s.bottom = look.Tone(pal::kGoldLight);
  s.embolden = embolden;
  s.outline = WithAlpha(look.Tone(Hex(0x3a0804)), 0.9f);
  s.outlineWidth = 1.2f;
  s.shadow = WithAlpha(pal::kBlack, 0.6f);
  s.shadowDy = 1;
  s.shadowBlur = 1;
  return s;
}

TextStyle DarkCaption(const Look& look, float embolden) {
  TextStyle s;
  s.top = look.Tone(Hex(0x7a1410));
  s.bottom = look.Tone(Hex(0x4a0a08));
  s.embolden = embolden;
  s.shadow = WithAlpha(pal::kWhite, 0.5f);
  s.shadowDy = 1;
  return s;
}

Paint Parchment(const Box& b, unsigned seed) {
  auto noise = std::make_shared<Noise>(seed);
  const float cx = b.CenterX(), cy = b.CenterY();
  const float r = std::hypot(b.Width(), b.Height()) * 0.5f;
  return [noise, cx, cy, r](float x, float y, float) {
    const float edge = std::hypot(x - cx, y - cy) / r;
    Rgba c = Mix(Hex(0xfdf4dd), pal::kParchmentDeep, edge * edge * 0.9f);
    const float fibre = noise->Fractal(x * 0.08f, y * 0.5f, 3) * 0.6f + noise->Fractal(x * 0.3f, y * 0.3f, 2) * 0.4f;
    return Shade(c, 0.95f + fibre * 0.08f);
  };
}

Shape HeartShape(float cx, float cy, float size) {
  const float s = size;
  const Shape left = shape::Circle(cx - s * 0.22f, cy - s * 0.12f, s * 0.26f);
  const Shape right = shape::Circle(cx + s * 0.22f, cy - s * 0.12f, s * 0.26f);
  const Shape tip = shape::Polygon({{cx - s * 0.46f, cy - s * 0.02f}, {cx + s * 0.46f, cy - s * 0.02f}, {cx, cy + s * 0.44f}});
  return shape::Union(shape::Union(left, right), tip);
}

void Coin(Canvas& c, float cx, float cy, float r) {
  const Look look;
  c.FillSoft(shape::Circle(cx + 0.8f, cy + 1.2f, r), 1.0f, paint::Solid(pal::kShadow));
  c.Fill(shape::Circle(cx, cy, r), Metal(Box{cx - r, cy - r, cx + r, cy + r}, look));
  c.Fill(shape::Ring(shape::Circle(cx, cy, r * 0.72f), 1.0f), paint::Solid(WithAlpha(pal::kGoldDark, 0.8f)));
  // Square hole of a traditional coin.
  c.Fill(shape::RoundRect(Box{cx - r * 0.25f, cy - r * 0.25f, cx + r * 0.25f, cy + r * 0.25f}, 0.5f),
         paint::Solid(pal::kGoldDark));
}

void Envelope(Canvas& c, float cx, float cy, float w, float h, const Look& look) {
  const Box b{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
  const Shape body = shape::RoundRect(b, 2.0f);
  c.Fill(body, paint::Vertical(b.y0, b.y1, look.Tone(pal::kParchment), look.Tone(pal::kParchmentDeep)));
  const Paint line = paint::Solid(look.Tone(pal::kGoldDeep));
  c.Fill(shape::Ring(body, 1.2f), line);
  c.Fill(shape::Polyline({{b.x0 + 1.5f, b.y0 + 1.5f}, {cx, cy + h * 0.12f}, {b.x1 - 1.5f, b.y0 + 1.5f}}, 0.8f), line);
  c.Fill(shape::Circle(cx, cy + h * 0.12f, h * 0.16f), paint::Solid(look.Tone(pal::kRed)));
}

void CheckMark(Canvas& c, float cx, float cy, float size, const Rgba& col) {
  const float s = size;
  c.Fill(shape::Polyline({{cx - s * 0.36f, cy + s * 0.02f}, {cx - s * 0.1f, cy + s * 0.28f}, {cx + s * 0.38f, cy - s * 0.26f}},
                         s * 0.085f),
         paint::Solid(col));
}
}  // namespace art
