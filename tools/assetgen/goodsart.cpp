#include "tools/assetgen/goodsart.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "tools/assetgen/layout.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/palette.h"
#include "tools/assetgen/widgetart.h"

namespace {
using art::Look;
constexpr float kPi = 3.14159265f;
constexpr float kW = layout::kGoodsW, kH = layout::kGoodsH;

Paint Chrome(const Box& b) {
  return paint::Linear(0, b.y0, 0, b.y1,
                       Stops{{0.0f, Hex(0xf4f4f6)}, {0.35f, Hex(0xc4c7cc)}, {0.55f, Hex(0x8d9096)}, {0.8f, Hex(0xd8dade)},
                             {1.0f, Hex(0x9a9da3)}});
}

Paint Gold(const Box& b) { return art::Metal(b, Look{}); }

Paint Plastic(const Box& b, const Rgba& base) {
  return paint::Vertical(b.y0, b.y1, Shade(base, 1.5f), Shade(base, 0.7f));
}

// Studio backdrop: lit from the top left, with a floor line.
void Backdrop(Canvas& c, const Rgba& light, const Rgba& dark) {
  c.Fill(shape::RoundRect(Box{0, 0, kW, kH}, 0), paint::Radial(kW * 0.42f, kH * 0.35f, kW * 0.85f,
                                                               Stops{{0.0f, light}, {1.0f, dark}}));
  c.Fill(shape::RoundRect(Box{0, kH * 0.8f, kW, kH}, 0),
         paint::Vertical(kH * 0.8f, kH, WithAlpha(Shade(dark, 0.9f), 0.0f), WithAlpha(Shade(dark, 0.8f), 0.6f)));
}

void FloorShadow(Canvas& c, float cx, float cy, float rx, float ry) {
  c.FillSoft(shape::Ellipse(cx, cy, rx, ry), ry * 0.9f, paint::Solid(WithAlpha(pal::kBlack, 0.35f)));
}

void Highlight(Canvas& c, const Shape& s, float strength) { art::Gloss(c, s, strength); }

void Watch(Canvas& c) {
  Backdrop(c, Hex(0xfff6e0), Hex(0xd6b98a));
  FloorShadow(c, 150, 222, 70, 8);
  const float cx = 145, cy = 118;
  // Link bracelet above and below the case.
  for (int i = 0; i < 6; ++i) {
    for (int side = 0; side < 2; ++side) {
      const float y = side == 0 ? 66.0f - 13.0f * static_cast<float>(i) : 170.0f + 13.0f * static_cast<float>(i);
      const float w = 24 - static_cast<float>(i) * 0.6f;
      const Box link{cx - w, y - 6, cx + w, y + 6};
      c.Fill(shape::RoundRect(link, 3), Gold(link));
      c.Fill(shape::Capsule(cx - w + 3, y + 5.5f, cx + w - 3, y + 5.5f, 0.6f), paint::Solid(WithAlpha(pal::kGoldDark, 0.8f)));
    }
  }
  c.FillSoft(shape::Circle(cx + 3, cy + 5, 60), 6, paint::Solid(WithAlpha(pal::kBlack, 0.35f)));
  c.Fill(shape::RoundRect(Box{cx + 56, cy - 8, cx + 68, cy + 8}, 3), Gold(Box{0, cy - 8, 0, cy + 8}));  // crown
  c.Fill(shape::Circle(cx, cy, 60), Gold(Box{cx - 60, cy - 60, cx + 60, cy + 60}));
  c.Fill(shape::Ring(shape::Circle(cx, cy, 53), 1.5f), paint::Solid(pal::kGoldDark));
  for (int i = 0; i < 60; ++i) {  // knurled bezel
    const float a = static_cast<float>(i) * kPi / 30;
    c.Fill(shape::Capsule(cx + 55 * std::cos(a), cy + 55 * std::sin(a), cx + 59 * std::cos(a), cy + 59 * std::sin(a), 0.5f),
           paint::Solid(WithAlpha(pal::kGoldDark, 0.5f)));
  }
  const Shape dial = shape::Circle(cx, cy, 50);
  c.Fill(dial, paint::Radial(cx - 15, cy - 20, 80, Stops{{0.0f, Hex(0x3a0c0a)}, {1.0f, Hex(0x120303)}}));
  for (int i = 0; i < 12; ++i) {
    const float a = static_cast<float>(i) * kPi / 6;
    const float r0 = i % 3 == 0 ? 34.0f : 39.0f;
    c.Fill(shape::Capsule(cx + r0 * std::cos(a), cy + r0 * std::sin(a), cx + 45 * std::cos(a), cy + 45 * std::sin(a),
                          i % 3 == 0 ? 2.2f : 1.3f),
           Gold(Box{cx - 50, cy - 50, cx + 50, cy + 50}));
  }
  // A small gold dragon-scale emblem under twelve o'clock.
  for (int i = 0; i < 3; ++i)
    c.Fill(shape::Arc(cx, cy - 18 + 4.0f * static_cast<float>(i), 6, kPi * 1.1f, kPi * 1.9f, 0.9f), paint::Solid(pal::kGold));
  c.Fill(shape::Capsule(cx, cy, cx - 18, cy - 20, 3), Gold(Box{cx - 30, cy - 30, cx, cy}));   // hour
  c.Fill(shape::Capsule(cx, cy, cx + 30, cy - 26, 2.2f), Gold(Box{cx, cy - 30, cx + 30, cy}));  // minute
  c.Fill(shape::Capsule(cx - 8, cy + 8, cx + 24, cy + 34, 0.8f), paint::Solid(pal::kBrightRed));
  c.Fill(shape::Circle(cx, cy, 4), Gold(Box{cx - 4, cy - 4, cx + 4, cy + 4}));
  // Glass reflection.
  c.Fill(shape::Intersect(dial, shape::Ellipse(cx - 14, cy - 22, 42, 24)), paint::Vertical(cy - 46, cy, Hex(0xffffff, 0.28f), Hex(0xffffff, 0.02f)));
}

void JadeBangle(Canvas& c) {
  Backdrop(c, Hex(0xfdf3e3), Hex(0xcfae86));
  // Red silk cushion.
  const Shape cushion = shape::Ellipse(145, 180, 120, 34);
  c.FillSoft(shape::Translate(cushion, 0, 8), 8, paint::Solid(WithAlpha(pal::kBlack, 0.35f)));
  c.Fill(cushion, paint::Radial(125, 168, 130, Stops{{0.0f, Hex(0xd8402f)}, {1.0f, Hex(0x6a1410)}}));
  c.Fill(shape::Ring(cushion, 2), paint::Solid(pal::kGold));
  const float cx = 145, cy = 120;
  const Shape ring = shape::Subtract(shape::Ellipse(cx, cy, 96, 64), shape::Ellipse(cx, cy - 4, 70, 42));
  c.FillSoft(shape::Translate(ring, 4, 10), 6, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
  auto noise = std::make_shared<Noise>(0x1ADE);
  c.Fill(ring, [noise, cx, cy](float x, float y, float d) {
    const float veins = noise->Fractal(x * 0.03f, y * 0.05f, 4);
    Rgba jade = Mix(Hex(0x0f6b3a), Hex(0x7fd39b), veins * veins * 1.6f);
    // Rounded cross-section: darker at the ring's edges, lighter on its crest.
    const float crest = Clamp01(-d / 12.0f);
    jade = Shade(jade, 0.6f + 0.6f * crest);
    if (y > cy) jade = Shade(jade, 0.85f);
    (void)x;
    (void)cx;
    return jade;
  });
  // Glints follow the crest of the ring: an elliptical band cut to two arcs.
  const Shape crest = shape::Ring(shape::Ellipse(cx, cy - 2, 83, 53), 3);
  c.Fill(shape::Intersect(crest, shape::Polygon({{cx - 100, cy - 10}, {cx - 100, cy - 70}, {cx - 10, cy - 70}})),
         paint::Solid(Hex(0xffffff, 0.6f)));
  c.Fill(shape::Intersect(crest, shape::Polygon({{cx + 40, cy + 70}, {cx + 100, cy + 70}, {cx + 100, cy + 10}})),
         paint::Solid(Hex(0xffffff, 0.3f)));
}

void Phone(Canvas& c) {
  Backdrop(c, Hex(0xf5ecdf), Hex(0xb9a07e));
  FloorShadow(c, 150, 226, 60, 7);
  const Box body{96, 14, 194, 224};
  c.FillSoft(shape::RoundRect(Box{body.x0 + 6, body.y0 + 6, body.x1 + 6, body.y1 + 4}, 18), 6, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
  c.Fill(shape::RoundRect(body, 18), Chrome(body));
  c.Fill(shape::RoundRect(body.Grown(-3), 16), paint::Solid(Hex(0x111114)));
  const Box screen = body.Grown(-8);
  const Shape scr = shape::RoundRect(screen, 11);
  c.Fill(scr, paint::Linear(screen.x0, screen.y0, screen.x1, screen.y1,
                            Stops{{0.0f, Hex(0xff9a5a)}, {0.45f, Hex(0xc8325a)}, {1.0f, Hex(0x3a1a6a)}}));
  c.Fill(shape::Capsule(130, screen.y0 + 8, 160, screen.y0 + 8, 4.5f), paint::Solid(Hex(0x0a0a0c)));  // camera notch
  const Rgba icons[] = {Hex(0xf4d27a), Hex(0x4ac0e0), Hex(0x6ad07a), Hex(0xffffff), Hex(0xe0452f), Hex(0x9a6ae0)};
  for (int r = 0; r < 4; ++r)
    for (int k = 0; k < 4; ++k) {
      const float x = screen.x0 + 10 + static_cast<float>(k) * 19, y = screen.y0 + 32 + static_cast<float>(r) * 24;
      const Box ib{x, y, x + 13, y + 13};
      c.Fill(shape::RoundRect(ib, 3.5f), Plastic(ib, icons[(r * 4 + k) % 6]));
    }
  const Box dock{screen.x0 + 6, screen.y1 - 30, screen.x1 - 6, screen.y1 - 8};
  c.Fill(shape::RoundRect(dock, 8), paint::Solid(Hex(0xffffff, 0.25f)));
  for (int k = 0; k < 4; ++k) {
    const float x = dock.x0 + 6 + static_cast<float>(k) * 18.5f;
    const Box ib{x, dock.y0 + 4, x + 13, dock.y0 + 17};
    c.Fill(shape::RoundRect(ib, 3.5f), Plastic(ib, icons[(k + 2) % 6]));
  }
  c.Fill(shape::Intersect(scr, shape::Polygon({{screen.x0, screen.y0}, {screen.x0 + 50, screen.y0}, {screen.x0, screen.y0 + 110}})),
         paint::Solid(Hex(0xffffff, 0.14f)));
  c.Fill(shape::RoundRect(Box{body.x1 - 1, 60, body.x1 + 2, 84}, 1), Chrome(Box{0, 60, 0, 84}));  // side key
}

void Laptop(Canvas& c) {
  Backdrop(c, Hex(0xf3ece2), Hex(0xb3a08a));
  FloorShadow(c, 145, 206, 130, 9);
  const Box lid{58, 22, 232, 146};
  c.Fill(shape::RoundRect(lid, 8), Chrome(lid));
  c.Fill(shape::RoundRect(lid.Grown(-3), 6), paint::Solid(Hex(0x15161a)));
  const Box screen{lid.x0 + 9, lid.y0 + 9, lid.x1 - 9, lid.y1 - 9};
  c.Fill(shape::RoundRect(screen, 2), paint::Vertical(screen.y0, screen.y1, Hex(0x2a5a9a), Hex(0x7ac0e8)));
  // Two windows on the desktop.
  const Box win1{screen.x0 + 14, screen.y0 + 12, screen.x0 + 96, screen.y0 + 72};
  const Box win2{screen.x0 + 70, screen.y0 + 34, screen.x1 - 14, screen.y1 - 14};
  for (const Box& w : {win1, win2}) {
    c.FillSoft(shape::RoundRect(Box{w.x0 + 2, w.y0 + 3, w.x1 + 2, w.y1 + 3}, 3), 3, paint::Solid(WithAlpha(pal::kBlack, 0.35f)));
    c.Fill(shape::RoundRect(w, 3), paint::Solid(Hex(0xf8f8fa)));
    c.Fill(shape::RoundRect(Box{w.x0, w.y0, w.x1, w.y0 + 9}, 3), paint::Solid(Hex(0xd9a93c)));
    for (int i = 0; i < 3; ++i) {
      const float y = w.y0 + 17 + static_cast<float>(i) * 9;
      if (y < w.y1 - 4) c.Fill(shape::Capsule(w.x0 + 7, y, w.x1 - 14 - static_cast<float>(i) * 8, y, 1.6f), paint::Solid(Hex(0xb0b4bc)));
    }
  }
  c.Fill(shape::Intersect(shape::RoundRect(screen, 2), shape::Polygon({{screen.x0, screen.y0}, {screen.x0 + 70, screen.y0}, {screen.x0, screen.y0 + 70}})),
         paint::Solid(Hex(0xffffff, 0.12f)));
  // Base in perspective with a keyboard and touch pad.
  const Shape base = shape::Polygon({{58, 146}, {232, 146}, {270, 192}, {20, 192}});
  c.Fill(base, paint::Vertical(146, 192, Hex(0xe2e4e8), Hex(0xa4a8ae)));
  c.Fill(shape::RoundRect(Box{20, 192, 270, 198}, 2), paint::Vertical(192, 198, Hex(0x8d9096), Hex(0x5a5d62)));
  for (int r = 0; r < 4; ++r) {
    const float t0 = static_cast<float>(r) / 4.0f * 0.55f + 0.06f, t1 = t0 + 0.11f;
    const float ya = 146 + 46 * t0, yb = 146 + 46 * t1;
    const float xa0 = 58 - 38 * t0 + 14, xa1 = 232 + 38 * t0 - 14;
    const float xb0 = 58 - 38 * t1 + 14, xb1 = 232 + 38 * t1 - 14;
    constexpr int kKeys = 12;
    for (int k = 0; k < kKeys; ++k) {
      const float u0 = static_cast<float>(k) / kKeys + 0.008f, u1 = static_cast<float>(k + 1) / kKeys - 0.008f;
      c.Fill(shape::Polygon({{xa0 + (xa1 - xa0) * u0, ya}, {xa0 + (xa1 - xa0) * u1, ya}, {xb0 + (xb1 - xb0) * u1, yb},
                             {xb0 + (xb1 - xb0) * u0, yb}}),
             paint::Solid(Hex(0x2a2c30)));
    }
  }
  c.Fill(shape::Polygon({{122, 178}, {168, 178}, {171, 189}, {119, 189}}), paint::Solid(Hex(0xc4c7cc)));
}

void Wheel(Canvas& c, float cx, float cy, float r) {
  c.Fill(shape::Ring(shape::Circle(cx, cy, r - 4), 8), paint::Solid(Hex(0x1c1c1e)));
  for (int i = 0; i < 24; ++i) {  // tread
    const float a = static_cast<float>(i) * kPi / 12;
    c.Fill(shape::Circle(cx + r * std::cos(a), cy + r * std::sin(a), 1.4f), paint::Solid(Hex(0x111112)));
  }
  c.Fill(shape::Ring(shape::Circle(cx, cy, r - 9), 2.5f), Chrome(Box{cx - r, cy - r, cx + r, cy + r}));
  for (int i = 0; i < 16; ++i) {
    const float a = static_cast<float>(i) * kPi / 8 + 0.1f;
    c.Fill(shape::Capsule(cx, cy, cx + (r - 10) * std::cos(a), cy + (r - 10) * std::sin(a), 0.5f), paint::Solid(Hex(0x9a9da3)));
  }
  c.Fill(shape::Circle(cx, cy, 4.5f), Chrome(Box{cx - 5, cy - 5, cx + 5, cy + 5}));
}

void Bike(Canvas& c) {
  Backdrop(c, Hex(0xf4eee2), Hex(0xbda88a));
  FloorShadow(c, 146, 214, 125, 7);
  const Point rear{78, 160}, front{214, 160}, crank{140, 166}, seat{126, 98}, headTop{190, 90}, headLow{196, 112};
  Wheel(c, rear.x, rear.y, 50);
  Wheel(c, front.x, front.y, 50);
  const Paint frame = paint::Vertical(80, 170, Hex(0xe0452f), Hex(0x8e1b1b));
  auto tube = [&](Point a, Point b, float w, const Paint& p) { c.Fill(shape::Capsule(a.x, a.y, b.x, b.y, w), p); };
  tube(rear, crank, 3, frame);
  tube(rear, seat, 2.6f, frame);
  tube(crank, seat, 4, frame);
  tube(seat, headTop, 4, frame);
  tube(crank, headLow, 5, frame);
  tube(headTop, headLow, 5, paint::Solid(Hex(0x2a2a2e)));
  // Suspension fork: thick upper legs, thin lower legs.
  tube(headLow, Point{204, 134}, 4.5f, paint::Solid(Hex(0x2a2a2e)));
  tube(Point{204, 134}, front, 3, Chrome(Box{0, 130, 0, 160}));
  tube(headTop, Point{186, 74}, 3, paint::Solid(Hex(0x2a2a2e)));
  tube(Point{168, 72}, Point{206, 70}, 3, paint::Solid(Hex(0x1c1c1e)));
  tube(seat, Point{123, 80}, 2.5f, Chrome(Box{0, 80, 0, 100}));
  c.Fill(shape::Polygon({{104, 74}, {140, 76}, {136, 82}, {110, 82}}), paint::Vertical(74, 82, Hex(0x3a3a3e), Hex(0x111112)));
  c.Fill(shape::Circle(crank.x, crank.y, 12), Chrome(Box{crank.x - 12, crank.y - 12, crank.x + 12, crank.y + 12}));
  c.Fill(shape::Circle(crank.x, crank.y, 5), paint::Solid(Hex(0x2a2a2e)));
  tube(crank, Point{152, 186}, 2.2f, paint::Solid(Hex(0x2a2a2e)));
  c.Fill(shape::RoundRect(Box{146, 184, 162, 189}, 1.5f), paint::Solid(Hex(0x1c1c1e)));
  // Chain.
  c.Fill(shape::Capsule(rear.x, rear.y - 5, crank.x, crank.y - 11, 0.9f), paint::Solid(Hex(0x55575c)));
  c.Fill(shape::Capsule(rear.x, rear.y + 5, crank.x, crank.y + 11, 0.9f), paint::Solid(Hex(0x55575c)));
  c.Fill(shape::Capsule(150, 108, 170, 106, 0.8f), paint::Solid(Hex(0xffffff, 0.6f)));  // decal
}

void Scooter(Canvas& c) {
  Backdrop(c, Hex(0xf2efe6), Hex(0xa9a291));
  FloorShadow(c, 148, 222, 118, 6);
  const float wheelY = 200, r = 21;
  const Box deck{62, 182, 214, 196};
  c.Fill(shape::RoundRect(deck, 6), paint::Vertical(deck.y0, deck.y1, Hex(0x3a3a3e), Hex(0x111112)));
  c.Fill(shape::RoundRect(Box{deck.x0 + 6, deck.y0 + 2, deck.x1 - 6, deck.y0 + 5}, 1.5f), paint::Solid(Hex(0xe0452f)));
  c.Fill(shape::Capsule(214, 189, 226, 170, 5), paint::Solid(Hex(0x2a2a2e)));
  // Stem and bar.
  c.Fill(shape::Capsule(226, 172, 206, 46, 5.5f), Chrome(Box{0, 40, 0, 180}));
  c.Fill(shape::Capsule(210, 70, 215, 100, 6.5f), paint::Solid(Hex(0x2a2a2e)));
  c.Fill(shape::Capsule(176, 44, 236, 40, 4), paint::Solid(Hex(0x1c1c1e)));
  c.Fill(shape::Capsule(176, 44, 190, 43, 5.5f), paint::Solid(Hex(0x3a3a3e)));
  c.Fill(shape::Capsule(222, 41, 236, 40, 5.5f), paint::Solid(Hex(0x3a3a3e)));
  const Box display{198, 32, 218, 44};
  c.Fill(shape::RoundRect(display, 3), paint::Solid(Hex(0x111112)));
  c.Fill(shape::RoundRect(display.Grown(-2), 2), paint::Vertical(34, 42, Hex(0x6ad0ff), Hex(0x2a7ac0)));
  // Rear fender and wheels.
  c.Fill(shape::Arc(70, wheelY, r + 5, kPi * 1.0f, kPi * 1.55f, 3), paint::Solid(Hex(0x2a2a2e)));
  for (float x : {70.0f, 226.0f}) {
    c.Fill(shape::Circle(x, wheelY, r), paint::Solid(Hex(0x1c1c1e)));
    c.Fill(shape::Circle(x, wheelY, r - 7), Chrome(Box{x - r, wheelY - r, x + r, wheelY + r}));
    c.Fill(shape::Circle(x, wheelY, 4), paint::Solid(Hex(0xe0452f)));
  }
  c.Fill(shape::Circle(230, 120, 4), paint::Solid(Hex(0xfff1c0)));  // lamp
  c.Glow(shape::Circle(230, 120, 4), 8, Hex(0xfff1c0, 0.6f));
}

void Camera(Canvas& c) {
  Backdrop(c, Hex(0xf3ece0), Hex(0xa89377));
  FloorShadow(c, 146, 210, 110, 8);
  const Box body{52, 68, 238, 192};
  const Shape grip = shape::RoundRect(Box{48, 64, 100, 198}, 18);
  const Shape prism = shape::Polygon({{112, 70}, {124, 40}, {170, 40}, {182, 70}});
  const Shape all = shape::Union(shape::Union(shape::RoundRect(body, 14), grip), prism);
  c.FillSoft(shape::Translate(all, 5, 6), 6, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
  auto noise = std::make_shared<Noise>(0xCA3);
  c.Fill(all, [noise](float x, float y, float) {
    const float grain = noise->Value(x * 0.9f, y * 0.9f);
    return Shade(Mix(Hex(0x2a2a2e), Hex(0x121214), (y - 40) / 160), 0.9f + grain * 0.2f);
  });
  Highlight(c, shape::RoundRect(body, 14), 0.12f);
  c.Fill(shape::Ring(prism, 1), paint::Solid(Hex(0x55575c)));
  c.Fill(shape::Ellipse(76, 62, 13, 5), Chrome(Box{0, 57, 0, 67}));          // shutter button
  c.Fill(shape::RoundRect(Box{190, 56, 222, 68}, 3), Chrome(Box{0, 56, 0, 68}));  // mode dial
  c.Fill(shape::RoundRect(Box{196, 80, 226, 92}, 2), paint::Solid(Hex(0x0a0a0c)));  // viewfinder light
  const float cx = 150, cy = 132;
  c.FillSoft(shape::Circle(cx + 2, cy + 4, 60), 4, paint::Solid(WithAlpha(pal::kBlack, 0.5f)));
  c.Fill(shape::Circle(cx, cy, 60), paint::Solid(Hex(0x1c1c1e)));
  for (int i = 0; i < 72; ++i) {  // ribbed focus ring
    const float a = static_cast<float>(i) * kPi / 36;
    c.Fill(shape::Capsule(cx + 50 * std::cos(a), cy + 50 * std::sin(a), cx + 58 * std::cos(a), cy + 58 * std::sin(a), 0.7f),
           paint::Solid(Hex(0x3a3a3e)));
  }
  c.Fill(shape::Ring(shape::Circle(cx, cy, 47), 2), paint::Solid(Hex(0xd9a93c)));
  c.Fill(shape::Circle(cx, cy, 42), Chrome(Box{cx - 42, cy - 42, cx + 42, cy + 42}));
  const Shape glass = shape::Circle(cx, cy, 36);
  c.Fill(glass, paint::Radial(cx + 8, cy + 10, 44, Stops{{0.0f, Hex(0x3a2a6a)}, {0.6f, Hex(0x101024)}, {1.0f, Hex(0x050508)}}));
  c.Fill(shape::Ring(shape::Circle(cx, cy, 24), 1.2f), paint::Solid(Hex(0x6a5ab0, 0.6f)));
  c.Fill(shape::Ellipse(cx - 13, cy - 14, 10, 6), paint::Solid(Hex(0xffffff, 0.55f)));
  c.Fill(shape::Circle(cx + 14, cy + 12, 3), paint::Solid(Hex(0xffffff, 0.3f)));
}

void Console(Canvas& c) {
  Backdrop(c, Hex(0xf0ebe4), Hex(0x9e9484));
  FloorShadow(c, 145, 218, 120, 8);
  const Box box{40, 42, 250, 122};
  c.FillSoft(shape::RoundRect(Box{box.x0 + 4, box.y0 + 6, box.x1 + 4, box.y1 + 6}, 12), 6, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
  c.Fill(shape::RoundRect(box, 12), paint::Vertical(box.y0, box.y1, Hex(0x3a3a40), Hex(0x121216)));
  c.Fill(shape::RoundRect(Box{box.x0, box.y0 + 32, box.x1, box.y0 + 36}, 0), paint::Solid(Hex(0x0a0a0c)));
  c.Fill(shape::Capsule(box.x0 + 20, box.y0 + 34, box.x1 - 20, box.y0 + 34, 1.2f), paint::Solid(Hex(0xe0452f)));
  c.Glow(shape::Capsule(box.x0 + 20, box.y0 + 34, box.x1 - 20, box.y0 + 34, 1.2f), 6, Hex(0xff6a3a, 0.5f));
  c.Fill(shape::Circle(box.x1 - 22, box.y0 + 58, 5), paint::Solid(Hex(0x55575c)));
  Highlight(c, shape::RoundRect(box, 12), 0.15f);
  // Controller in front.
  const float cx = 145, cy = 172;
  const Shape pad = shape::Union(shape::Union(shape::RoundRect(Box{cx - 52, cy - 28, cx + 52, cy + 14}, 22),
                                              shape::Rotate(shape::Ellipse(cx - 50, cy + 8, 22, 32), 0.5f, cx - 50, cy + 8)),
                                 shape::Rotate(shape::Ellipse(cx + 50, cy + 8, 22, 32), -0.5f, cx + 50, cy + 8));
  c.FillSoft(shape::Translate(pad, 3, 6), 5, paint::Solid(WithAlpha(pal::kBlack, 0.45f)));
  c.Fill(pad, paint::Vertical(cy - 30, cy + 40, Hex(0xfaf6ee), Hex(0xbdb6aa)));
  Highlight(c, pad, 0.3f);
  const Paint dark = paint::Solid(Hex(0x2a2a2e));
  c.Fill(shape::Union(shape::RoundRect(Box{cx - 58, cy - 17, cx - 34, cy - 9}, 2), shape::RoundRect(Box{cx - 50, cy - 25, cx - 42, cy - 1}, 2)), dark);
  const Rgba keys[] = {Hex(0xe0452f), Hex(0xd9a93c), Hex(0x4aa06a), Hex(0x4a7ac0)};
  const Point kp[] = {{cx + 46, cy - 22}, {cx + 56, cy - 13}, {cx + 46, cy - 4}, {cx + 36, cy - 13}};
  for (int i = 0; i < 4; ++i) c.Fill(shape::Circle(kp[i].x, kp[i].y, 5), Plastic(Box{0, kp[i].y - 5, 0, kp[i].y + 5}, keys[i]));
  for (float x : {cx - 20, cx + 20}) {
    c.Fill(shape::Circle(x, cy + 4, 10), dark);
    c.Fill(shape::Circle(x, cy + 3, 7), paint::Radial(x - 2, cy, 9, Stops{{0.0f, Hex(0x55575c)}, {1.0f, Hex(0x1c1c1e)}}));
  }
  c.Fill(shape::Circle(cx, cy - 14, 3), paint::Solid(Hex(0xe0452f)));
}

void Headphones(Canvas& c) {
  Backdrop(c, Hex(0xf6ede0), Hex(0xb69c7c));
  FloorShadow(c, 145, 222, 110, 7);
  const float cx = 145, cy = 140, r = 86;
  const Shape band = shape::Arc(cx, cy, r, kPi * 1.08f, kPi * 1.92f, 8);
  c.FillSoft(shape::Translate(band, 3, 5), 4, paint::Solid(WithAlpha(pal::kBlack, 0.3f)));
  c.Fill(band, paint::Vertical(cy - r - 8, cy, Hex(0x3a3a3e), Hex(0x111112)));
  c.Fill(shape::Arc(cx, cy, r - 9, kPi * 1.25f, kPi * 1.75f, 4), paint::Vertical(cy - r, cy - 40, Hex(0xa8261c), Hex(0x5a0f0b)));
  c.Fill(shape::Arc(cx, cy, r + 3, kPi * 1.3f, kPi * 1.6f, 1.2f), paint::Solid(Hex(0xffffff, 0.35f)));
  for (int side = -1; side <= 1; side += 2) {
    const float ex = cx + static_cast<float>(side) * 80, ey = 160;
    c.Fill(shape::Capsule(cx + static_cast<float>(side) * 84, 120, ex, ey - 30, 4), Chrome(Box{0, 110, 0, 135}));
    const Shape shell = shape::Ellipse(ex, ey, 30, 44);
    c.FillSoft(shape::Translate(shell, 3, 6), 5, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
    c.Fill(shell, paint::Radial(ex - 8, ey - 14, 60, Stops{{0.0f, Hex(0x4a4a50)}, {1.0f, Hex(0x0e0e10)}}));
    c.Fill(shape::Ring(shape::Ellipse(ex, ey, 22, 34), 3), paint::Solid(Hex(0xb8281f)));
    c.Fill(shape::Ellipse(ex - static_cast<float>(side) * 2, ey, 14, 22), paint::Radial(ex, ey, 24, Stops{{0.0f, Hex(0x2a2a2e)}, {1.0f, Hex(0x111112)}}));
    c.Fill(shape::Ellipse(ex - 10, ey - 22, 8, 5), paint::Solid(Hex(0xffffff, 0.25f)));
  }
  c.Fill(shape::Circle(cx + 80, 188, 2), paint::Solid(Hex(0x4ac0ff)));
  c.Glow(shape::Circle(cx + 80, 188, 2), 5, Hex(0x4ac0ff, 0.8f));
}

void Necklace(Canvas& c) {
  Backdrop(c, Hex(0x7a1c16), Hex(0x2a0606));  // jewellery on velvet
  const float cx = 145;
  std::vector<Point> path;
  constexpr int kSteps = 46;
  for (int i = 0; i <= kSteps; ++i) {
    const float t = static_cast<float>(i) / kSteps * 2 - 1;
    path.push_back(Point{cx + t * 110, 28 + 132 * (1 - std::pow(std::fabs(t), 1.7f)) * 1.0f + 10 * t * t});
  }
  const Paint gold = Gold(Box{0, 20, 0, 200});
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    const Point a = path[i], b = path[i + 1];
    const float mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    const float ang = std::atan2(b.y - a.y, b.x - a.x);
    const Shape link = shape::Rotate(shape::Ellipse(mx, my, 4.4f, 2.8f), ang + (i % 2 ? kPi / 2 : 0.0f), mx, my);
    c.Fill(shape::Translate(shape::Ring(link, 2.0f), 1, 2), paint::Solid(WithAlpha(pal::kBlack, 0.45f)));
    c.Fill(shape::Ring(link, 2.0f), gold);
  }
  // Pendant: a gold drop set with a ruby.
  const float py = path[kSteps / 2].y + 4;
  c.Fill(shape::Ring(shape::Circle(cx, py + 3, 4), 1.6f), gold);
  const Shape drop = shape::Union(shape::Circle(cx, py + 36, 20), shape::Polygon({{cx - 17, py + 26}, {cx + 17, py + 26}, {cx, py + 6}}));
  c.FillSoft(shape::Translate(drop, 2, 5), 4, paint::Solid(WithAlpha(pal::kBlack, 0.5f)));
  c.Fill(drop, Gold(drop.box));
  const Shape ruby = shape::Offset(shape::Union(shape::Circle(cx, py + 36, 14), shape::Polygon({{cx - 12, py + 28}, {cx + 12, py + 28}, {cx, py + 14}})), -0.5f);
  c.Fill(ruby, paint::Radial(cx - 4, py + 30, 22, Stops{{0.0f, Hex(0xff7a6a)}, {0.5f, Hex(0xc8101e)}, {1.0f, Hex(0x5a0208)}}));
  c.Fill(shape::Polygon({{cx - 8, py + 30}, {cx - 2, py + 24}, {cx, py + 32}}), paint::Solid(Hex(0xffffff, 0.6f)));
  c.Glow(shape::Circle(cx - 5, py + 28, 1.5f), 6, Hex(0xffffff, 0.8f));
  for (const Point& p : {Point{70, 120}, Point{222, 96}, Point{188, 158}}) {  // sparkles
    c.Fill(shape::Union(shape::Capsule(p.x - 6, p.y, p.x + 6, p.y, 0.7f), shape::Capsule(p.x, p.y - 6, p.x, p.y + 6, 0.7f)),
           paint::Solid(Hex(0xfff1c0, 0.8f)));
  }
}

void Tablet(Canvas& c) {
  Backdrop(c, Hex(0xf4ece0), Hex(0xb7a286));
  FloorShadow(c, 146, 216, 122, 7);
  const Box body{32, 40, 258, 196};
  c.FillSoft(shape::RoundRect(Box{body.x0 + 5, body.y0 + 6, body.x1 + 5, body.y1 + 5}, 16), 6, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
  c.Fill(shape::RoundRect(body, 16), Chrome(body));
  c.Fill(shape::RoundRect(body.Grown(-3), 14), paint::Solid(Hex(0x111114)));
  const Box s = body.Grown(-12);
  const Shape screen = shape::RoundRect(s, 4);
  // Wallpaper: sunset over hills.
  c.Fill(screen, paint::Vertical(s.y0, s.y1, Hex(0xffb36a), Hex(0xf06a4a)));
  c.Fill(shape::Intersect(screen, shape::Circle(s.x0 + 140, s.y0 + 70, 22)), paint::Solid(Hex(0xfff1b0)));
  c.Fill(shape::Intersect(screen, shape::Polygon({{s.x0, s.y1 - 40}, {s.x0 + 60, s.y0 + 60}, {s.x0 + 120, s.y1 - 30}, {s.x0 + 170, s.y0 + 76}, {s.x1, s.y1 - 50}, {s.x1, s.y1}, {s.x0, s.y1}})),
         paint::Vertical(s.y0 + 60, s.y1, Hex(0x8e2a3a), Hex(0x3a0e2a)));
  c.Fill(shape::Intersect(screen, shape::Polygon({{s.x0, s.y1 - 16}, {s.x0 + 90, s.y1 - 40}, {s.x1, s.y1 - 20}, {s.x1, s.y1}, {s.x0, s.y1}})),
         paint::Solid(Hex(0x2a0a1e)));
  c.Fill(shape::RoundRect(Box{s.x0 + 8, s.y0 + 6, s.x0 + 52, s.y0 + 14}, 3), paint::Solid(Hex(0xffffff, 0.7f)));
  c.Fill(shape::Intersect(screen, shape::Polygon({{s.x0, s.y0}, {s.x0 + 80, s.y0}, {s.x0, s.y0 + 80}})), paint::Solid(Hex(0xffffff, 0.12f)));
  c.Fill(shape::Circle(body.x0 + 7, (body.y0 + body.y1) / 2, 2), paint::Solid(Hex(0x2a2a3a)));
  // Stylus lying in front.
  c.FillSoft(shape::Capsule(70, 216, 220, 206, 4), 2, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
  c.Fill(shape::Capsule(70, 212, 214, 202, 3.5f), paint::Vertical(198, 216, Hex(0xffffff), Hex(0xc4c7cc)));
  c.Fill(shape::Polygon({{214, 199}, {214, 205}, {228, 201}}), paint::Solid(Hex(0x55575c)));
}

void CoffeeMachine(Canvas& c) {
  Backdrop(c, Hex(0xf6ece0), Hex(0xb39a7c));
  FloorShadow(c, 146, 222, 90, 7);
  const Box body{74, 22, 216, 218};
  c.FillSoft(shape::RoundRect(Box{body.x0 + 5, body.y0 + 6, body.x1 + 5, body.y1 + 2}, 12), 6, paint::Solid(WithAlpha(pal::kBlack, 0.4f)));
  c.Fill(shape::RoundRect(body, 12), paint::Vertical(body.y0, body.y1, Hex(0xc8321f), Hex(0x5a0f0b)));
  Highlight(c, shape::RoundRect(body, 12), 0.25f);
  const Box top{body.x0 + 8, body.y0 + 8, body.x1 - 8, body.y0 + 58};
  c.Fill(shape::RoundRect(top, 6), Chrome(top));
  c.Fill(shape::Circle(top.x0 + 26, top.CenterY(), 18), paint::Solid(Hex(0x2a2a2e)));
  c.Fill(shape::Circle(top.x0 + 26, top.CenterY(), 15), paint::Solid(Hex(0xfaf6ee)));
  for (int i = 0; i < 7; ++i) {
    const float a = kPi * (0.8f + static_cast<float>(i) * 0.23f);
    c.Fill(shape::Capsule(top.x0 + 26 + 11 * std::cos(a), top.CenterY() + 11 * std::sin(a), top.x0 + 26 + 14 * std::cos(a),
                          top.CenterY() + 14 * std::sin(a), 0.6f),
           paint::Solid(Hex(0x2a2a2e)));
  }
  c.Fill(shape::Capsule(top.x0 + 26, top.CenterY(), top.x0 + 35, top.CenterY() - 7, 1), paint::Solid(Hex(0xe0452f)));
  for (int i = 0; i < 3; ++i) {
    const float bx = top.x0 + 62 + static_cast<float>(i) * 20;
    c.Fill(shape::Circle(bx, top.CenterY(), 6.5f), paint::Solid(Hex(0x2a2a2e)));
    c.Fill(shape::Circle(bx, top.CenterY(), 4.5f), paint::Solid(i == 0 ? Hex(0x6ad07a) : Hex(0xf4d27a)));
  }
  // Brew opening, group head and drip tray.
  const Box bay{body.x0 + 16, 92, body.x1 - 16, 200};
  c.Fill(shape::RoundRect(bay, 8), paint::Vertical(bay.y0, bay.y1, Hex(0x121214), Hex(0x2a2a2e)));
  c.Fill(shape::RoundRect(Box{120, 92, 170, 110}, 4), Chrome(Box{0, 92, 0, 110}));
  c.Fill(shape::RoundRect(Box{170, 98, 214, 104}, 3), paint::Solid(Hex(0x1c1c1e)));
  c.Fill(shape::RoundRect(Box{bay.x0 - 6, 196, bay.x1 + 6, 212}, 4), Chrome(Box{0, 196, 0, 212}));
  for (int i = 0; i < 10; ++i) {
    const float x = bay.x0 + 4 + static_cast<float>(i) * 10.5f;
    c.Fill(shape::Capsule(x, 200, x + 6, 200, 1), paint::Solid(Hex(0x55575c)));
  }
  c.Fill(shape::Capsule(140, 110, 140, 150, 1.2f), paint::Solid(Hex(0x6a3a1e, 0.9f)));
  c.Fill(shape::Capsule(150, 110, 150, 150, 1.2f), paint::Solid(Hex(0x6a3a1e, 0.9f)));
  // Cup on its saucer.
  c.Fill(shape::Ellipse(145, 194, 32, 5), paint::Solid(Hex(0xf2efe8)));
  const Shape cup = shape::Union(shape::RoundRect(Box{122, 150, 168, 190}, 8), shape::Ring(shape::Circle(172, 166, 8), 4));
  c.Fill(cup, paint::Linear(122, 0, 176, 0, Stops{{0.0f, Hex(0xd8d4cc)}, {0.35f, Hex(0xffffff)}, {1.0f, Hex(0xbdb6aa)}}));
  c.Fill(shape::Ellipse(145, 152, 22, 4), paint::Solid(Hex(0x5a2e12)));
  c.Fill(shape::Ellipse(145, 152, 16, 2.5f), paint::Solid(Hex(0xc08850)));
  for (int k = 0; k < 3; ++k) {  // steam
    std::vector<Point> wisp;
    for (int i = 0; i <= 12; ++i) {
      const float t = static_cast<float>(i) / 12;
      wisp.push_back(Point{132 + static_cast<float>(k) * 13 + 4 * std::sin(t * 7 + static_cast<float>(k)), 146 - t * 26});
    }
    c.Fill(shape::Polyline(wisp, 1.3f), paint::Solid(Hex(0xffffff, 0.45f)));
  }
}
}  // namespace

void PaintGoods(const ArtContext&, AssetWriter& out) {
  const std::function<void(Canvas&)> painters[] = {Watch,  JadeBangle, Phone,    Laptop,  Bike,   Scooter,
                                                   Camera, Console,    Headphones, Necklace, Tablet, CoffeeMachine};
  int n = 1;
  for (const auto& paintGoods : painters) {
    Canvas c(layout::kGoodsW, layout::kGoodsH);
    paintGoods(c);
    char name[64];
    std::snprintf(name, sizeof name, "RozeZizar/VelmoraGoods/goods_%02d.png", n++);
    out.Png(name, c, "goods picture, opaque");
  }
}
