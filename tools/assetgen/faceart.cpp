#include "tools/assetgen/faceart.h"

#include <cstdio>

#include "tools/assetgen/palette.h"
#include "tools/assetgen/widgetart.h"

namespace {
constexpr int kFace = 96;
constexpr int kFaces = 6;

enum class Hair { Short, Long, Grey, Buns, Cap, Bob };

struct Person {
  Rgba backdrop, skin, hair, clothes;
  Hair style;
  bool glasses, moustache, earrings;
};

void DrawPerson(Canvas& c, const Person& p) {
  const float cx = kFace / 2.0f;
  c.Fill(shape::RoundRect(Box{0, 0, kFace, kFace}, 0),
         paint::Radial(cx, 34, 80, Stops{{0.0f, Shade(p.backdrop, 1.25f)}, {1.0f, Shade(p.backdrop, 0.6f)}}));
  // Long hair falls behind the shoulders.
  if (p.style == Hair::Long || p.style == Hair::Bob) {
    const float bottom = p.style == Hair::Long ? 88.0f : 62.0f;
    c.Fill(shape::RoundRect(Box{cx - 27, 22, cx + 27, bottom}, 20), paint::Vertical(20, bottom, Shade(p.hair, 1.2f), p.hair));
  }
  const Shape shoulders = shape::Ellipse(cx, 104, 42, 30);
  c.Fill(shoulders, paint::Vertical(74, 104, Shade(p.clothes, 1.3f), Shade(p.clothes, 0.7f)));
  c.Fill(shape::Polygon({{cx - 9, 76}, {cx + 9, 76}, {cx, 90}}), paint::Solid(Shade(p.skin, 0.9f)));  // collar
  c.Fill(shape::RoundRect(Box{cx - 8, 58, cx + 8, 80}, 5), paint::Solid(Shade(p.skin, 0.85f)));      // neck
  const Shape head = shape::Ellipse(cx, 46, 21, 25);
  c.Fill(head, paint::Radial(cx - 6, 38, 34, Stops{{0.0f, Shade(p.skin, 1.08f)}, {1.0f, Shade(p.skin, 0.85f)}}));
  for (float ex : {cx - 22, cx + 22}) c.Fill(shape::Ellipse(ex, 48, 4, 6), paint::Solid(Shade(p.skin, 0.9f)));  // ears
  if (p.earrings)
    for (float ex : {cx - 22, cx + 22}) c.Fill(shape::Circle(ex, 56, 2.2f), art::Metal(Box{0, 54, 0, 58}, art::Look{}));
  // Hair on top.
  const Paint hair = paint::Vertical(16, 50, Shade(p.hair, 1.35f), p.hair);
  switch (p.style) {
    case Hair::Short:
    case Hair::Grey:
      c.Fill(shape::Subtract(shape::Ellipse(cx, 36, 23, 18), shape::Ellipse(cx + 4, 52, 22, 16)), hair);
      break;
    case Hair::Long:
    case Hair::Bob:
      c.Fill(shape::Subtract(shape::Ellipse(cx, 38, 25, 22), shape::Ellipse(cx + 6, 56, 20, 20)), hair);
      break;
    case Hair::Buns:
      c.Fill(shape::Circle(cx - 22, 22, 10), hair);
      c.Fill(shape::Circle(cx + 22, 22, 10), hair);
      c.Fill(shape::Subtract(shape::Ellipse(cx, 36, 23, 19), shape::Ellipse(cx, 54, 22, 17)), hair);
      break;
    case Hair::Cap:
      c.Fill(shape::Subtract(shape::Ellipse(cx, 34, 23, 16), shape::RoundRect(Box{0, 36, kFace, kFace}, 0)),
             paint::Vertical(18, 36, Hex(0xe0452f), Hex(0x8e1b1b)));
      c.Fill(shape::Ellipse(cx + 12, 36, 20, 4), paint::Solid(Hex(0x6a1410)));
      c.Fill(shape::Circle(cx, 19, 2.5f), paint::Solid(pal::kGold));
      break;
  }
  // Face.
  const Rgba ink = Hex(0x2a1a12);
  for (float ex : {cx - 8, cx + 8}) {
    c.Fill(shape::Ellipse(ex, 47, 2.6f, 3.4f), paint::Solid(ink));
    c.Fill(shape::Circle(ex + 0.9f, 45.8f, 0.9f), paint::Solid(pal::kWhite));
    c.Fill(shape::Capsule(ex - 4, 40, ex + 4, 39.5f, 0.9f), paint::Solid(Shade(p.hair, 0.9f)));
    c.Fill(shape::Ellipse(ex + (ex < cx ? -3.0f : 3.0f), 56, 4, 2.2f), paint::Solid(Hex(0xff7a6a, 0.35f)));
  }
  if (p.moustache) c.Fill(shape::Arc(cx, 61, 7, 3.6f, 5.8f, 1.8f), paint::Solid(Shade(p.hair, 0.8f)));
  c.Fill(shape::Arc(cx, 53, 7, 0.35f, 2.8f, 1.1f), paint::Solid(Hex(0x9a3a2a)));
  if (p.glasses)
    for (float ex : {cx - 8, cx + 8}) c.Fill(shape::Ring(shape::Circle(ex, 47, 5.5f), 1.2f), paint::Solid(Hex(0x2a1a12)));
}
}  // namespace

void PaintFaces(const ArtContext&, AssetWriter& out) {
  const Person people[kFaces] = {
      {Hex(0xd9a93c), Hex(0xf2c9a0), Hex(0x1a1210), Hex(0xb8281f), Hair::Short, false, false, false},
      {Hex(0xc8505a), Hex(0xf6d2b4), Hex(0x5a3018), Hex(0x2a8a5a), Hair::Long, false, false, true},
      {Hex(0xc88a3a), Hex(0xe8b890), Hex(0xb8b4ae), Hex(0x3a4a6a), Hair::Grey, false, true, false},
      {Hex(0xf0a080), Hex(0xf8dcc4), Hex(0x161012), Hex(0xe06a8a), Hair::Buns, false, false, false},
      {Hex(0xb88a5a), Hex(0xdca880), Hex(0x2a1a10), Hex(0x4a6a3a), Hair::Cap, true, false, false},
      {Hex(0xe8c890), Hex(0xf4caa6), Hex(0x8a3a1a), Hex(0x6a3a8a), Hair::Bob, false, false, true},
  };
  for (int i = 0; i < kFaces; ++i) {
    Canvas c(kFace, kFace);
    DrawPerson(c, people[i]);
    char name[64];
    std::snprintf(name, sizeof name, "Frame/Face/face_%d.png", i);
    out.Png(name, c, "player face, opaque");
  }
}
