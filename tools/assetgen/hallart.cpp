#include "tools/assetgen/hallart.h"

#include <cmath>

#include "tools/assetgen/layout.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/palette.h"
#include "tools/assetgen/widgetart.h"

namespace {
using art::Look;
using namespace layout;

constexpr float kPi = 3.14159265f;
constexpr float kFloorY = 676;
constexpr int kDamaskCell = 72;
constexpr int kJpegQuality = 92;
// Buy panel frame and its parts, in screen pixels.
constexpr Box kPanel{300, 114, 694, 668};
constexpr Box kShowcase{kPanelX + kPictureX - 6.0f, kPanelY + kPictureY - 6.0f, kPanelX + kPictureX + kGoodsW + 6.0f,
                        kPanelY + kPictureY + kGoodsH + 6.0f};
constexpr Box kInfo{372, 436, 684, 604};
constexpr Box kCard{1002, 38, 1274, 304};
constexpr float kPillarX[] = {251, 748};

float DamaskInk(float x, float y) {
  const float cell = kDamaskCell, half = cell / 2;
  const int row = static_cast<int>(std::floor(y / cell));
  const float shift = (row & 1) ? half : 0.0f;
  const float u = std::fmod(x + shift, cell) - half;
  const float v = std::fmod(y, cell) - half;
  const float diamond = std::fabs(std::fabs(u) + std::fabs(v) - 24) - 0.9f;
  const float centre = std::fabs(std::hypot(u, v) - 5) - 0.9f;
  float petals = 1e9f;
  for (int k = 0; k < 4; ++k) {
    const float a = kPi * 0.5f * static_cast<float>(k);
    petals = std::min(petals, std::hypot(u - 13 * std::cos(a), v - 13 * std::sin(a)) - 2.6f);
  }
  const float d = std::min({diamond, centre, petals});
  return Clamp01(0.5f - d);
}

void Wall(Canvas& c) {
  const Noise noise(0xA11CE);
  c.Transform(0, 0, kScreenW, kScreenH, [&](int x, int y, const Rgba&) {
    const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
    Rgba base = Mix(Hex(0x5e1410), Hex(0x2a0706), fy / kScreenH);
    base = Mix(base, Hex(0x93331f), DamaskInk(fx, fy) * 0.33f);
    // Velvet: fine vertical pile.
    const float pile = noise.Fractal(fx * 0.45f, fy * 0.012f, 3);
    base = Shade(base, 0.9f + pile * 0.18f);
    // Vignette towards the corners.
    const float dx = (fx - kScreenW * 0.45f) / kScreenW, dy = (fy - kScreenH * 0.45f) / kScreenH;
    base = Shade(base, 1.0f - 0.9f * (dx * dx + dy * dy));
    return WithAlpha(base, 1.0f);
  });
  // Warm light falls on the stage and on the two candidate columns.
  c.Glow(shape::Ellipse(497, 360, 250, 300), 200, Hex(0xff9a4a, 0.16f));
  c.Glow(shape::Ellipse(130, 380, 90, 260), 110, Hex(0xff9a4a, 0.08f));
  c.Glow(shape::Ellipse(870, 380, 90, 260), 110, Hex(0xff9a4a, 0.08f));
}

void Valance(Canvas& c) {
  Shape drape = shape::RoundRect(Box{0, -10, kScreenW, 8}, 0);
  constexpr int kSwag = 80;
  for (int i = 0; i <= kScreenW / kSwag; ++i)
    drape = shape::Union(drape, shape::Ellipse(kSwag * 0.5f + kSwag * static_cast<float>(i), 6, kSwag * 0.56f, 15));
  c.FillSoft(shape::Translate(drape, 0, 3), 3, paint::Solid(WithAlpha(pal::kBlack, 0.6f)));
  c.Fill(drape, paint::Vertical(0, 22, Hex(0xb02a1e), Hex(0x5a0f0b)));
  c.Fill(shape::Intersect(shape::Ring(drape, 2.0f), shape::RoundRect(Box{0, 9, kScreenW, 30}, 0)),
         art::Metal(Box{0, 9, 0, 24}, Look{}));
  c.Fill(shape::RoundRect(Box{0, 0, kScreenW, 5}, 0), art::Metal(Box{0, 0, 0, 5}, Look{}));
  for (int i = 0; i <= kScreenW / kSwag; ++i) {
    const float x = kSwag * static_cast<float>(i);
    c.Fill(shape::Capsule(x, 8, x, 16, 1.2f), paint::Solid(pal::kGold));
    c.Fill(shape::Ellipse(x, 19, 3, 4.5f), art::Metal(Box{0, 14, 0, 24}, Look{}));
  }
}

void Plaque(Canvas& c, const ArtContext& ctx, const Box& b, const char* text, int px) {
  const Shape outer = shape::RoundRect(b, b.Height() * 0.5f);
  art::ButtonFace(c, outer, 2.5f, Hex(0x8e1b1b), Look{});
  ctx.Cjk().DrawCentered(c, text, px, b.CenterX(), b.CenterY() + 0.5f, Align::Center, art::GoldCaption(Look{}, 0.9f));
}

void Logo(Canvas& c, const ArtContext& ctx) {
  const Box b{352, 20, 642, 64};
  Plaque(c, ctx, b, "维尔莫拉拍卖行", 26);
  art::Diamond(c, b.x0 + 20, b.CenterY(), 9, art::Metal(Box{0, 36, 0, 48}, Look{}));
  art::Diamond(c, b.x1 - 20, b.CenterY(), 9, art::Metal(Box{0, 36, 0, 48}, Look{}));
}

void NoticeBand(Canvas& c) {
  const float x0 = kNoticeX, x1 = kNoticeX + kNoticeW, y0 = 70, y1 = 100;
  const float fade = 26;
  auto alongBand = [=](float x) { return Clamp01((x - x0) / fade) * Clamp01((x1 - x) / fade); };
  c.Fill(shape::RoundRect(Box{x0, y0, x1, y1}, 0), [&](float x, float y, float) {
    const float t = (y - y0) / (y1 - y0);
    return Hex(0x0c0302, (0.55f + 0.2f * std::sin(t * kPi)) * alongBand(x));
  });
  for (float y : {y0 + 0.5f, y1 - 0.5f})
    c.Fill(shape::Capsule(x0, y, x1, y, 0.7f), [&](float x, float, float) { return WithAlpha(pal::kGold, alongBand(x)); });
  // A small horn announces the band.
  const float hx = x0 - 14, hy = (y0 + y1) / 2;
  c.Fill(shape::Polygon({{hx - 7, hy - 3}, {hx + 5, hy - 9}, {hx + 5, hy + 9}, {hx - 7, hy + 3}}),
         art::Metal(Box{0, hy - 9, 0, hy + 9}, Look{}));
  c.Fill(shape::RoundRect(Box{hx - 10, hy - 3, hx - 6, hy + 3}, 1), paint::Solid(pal::kGoldDeep));
  for (int i = 1; i <= 2; ++i)
    c.Fill(shape::Arc(hx + 6, hy, 4.0f * static_cast<float>(i) + 2, -0.7f, 0.7f, 0.8f), paint::Solid(WithAlpha(pal::kGoldLight, 0.8f)));
}

void Pillar(Canvas& c, float cx) {
  const float half = 18, top = 104, bottom = kFloorY;
  c.FillSoft(shape::RoundRect(Box{cx - half + 4, top, cx + half + 6, bottom}, 2), 6, paint::Solid(WithAlpha(pal::kBlack, 0.5f)));
  c.Fill(shape::RoundRect(Box{cx - half, top + 12, cx + half, bottom - 14}, 0), [=](float x, float, float) {
    const float t = (x - (cx - half)) / (2 * half);
    const float round = 0.45f + 0.75f * std::sin(t * kPi);
    const float flute = 0.9f + 0.1f * std::cos(t * 2 * kPi * 4);
    return Shade(Hex(0x8a1f17), round * flute);
  });
  for (float y : {top + 60.0f, bottom - 80.0f}) {
    c.Fill(shape::RoundRect(Box{cx - half - 1, y - 3, cx + half + 1, y + 3}, 1.5f), art::Metal(Box{0, y - 3, 0, y + 3}, Look{}));
  }
  const Box capital{cx - half - 8, top, cx + half + 8, top + 14};
  c.Fill(shape::RoundRect(capital, 3), art::Metal(capital, Look{}));
  c.Fill(shape::RoundRect(Box{capital.x0 + 4, capital.y1 - 3, capital.x1 - 4, capital.y1 + 2}, 1), paint::Solid(pal::kGoldDeep));
  const Box base{cx - half - 8, bottom - 16, cx + half + 8, bottom};
  c.Fill(shape::RoundRect(base, 2), art::Metal(base, Look{}));
}

void TileShelves(Canvas& c, const ArtContext& ctx) {
  const char* titles[] = {"候选商品", "点赞候选"};
  for (int col = 0; col < 2; ++col) {
    const float tx = static_cast<float>(kTileColumns[col]);
    Plaque(c, ctx, Box{tx + 8, 34, tx + kTileW - 8, 66}, titles[col], 16);
    for (int row : kTileRows) {
      const float ty = static_cast<float>(row);
      c.FillSoft(shape::RoundRect(Box{tx + 3, ty + 5, tx + kTileW + 4, ty + kTileH + 6}, 10), 6,
                 paint::Solid(WithAlpha(pal::kBlack, 0.65f)));
      const Box ledge{tx - 8, ty + kTileH + 3, tx + kTileW + 8, ty + kTileH + 13};
      c.FillSoft(shape::RoundRect(Box{ledge.x0, ledge.y0 + 3, ledge.x1, ledge.y1 + 4}, 3), 3, paint::Solid(pal::kShadow));
      c.Fill(shape::RoundRect(ledge, 2), paint::Vertical(ledge.y0, ledge.y1, pal::kWoodLight, pal::kWoodDark));
      c.Fill(shape::Capsule(ledge.x0 + 1, ledge.y0 + 0.8f, ledge.x1 - 1, ledge.y0 + 0.8f, 0.8f), paint::Solid(pal::kGold));
    }
  }
}

void BuyStage(Canvas& c, const ArtContext& ctx) {
  art::Panel(c, kPanel, 16, Hex(0x2d150b), Hex(0x140804));
  // Showcase: gold frame with a lit backdrop behind the goods picture.
  c.FillSoft(shape::RoundRect(kShowcase, 5), 5, paint::Solid(WithAlpha(pal::kBlack, 0.8f)));
  c.Fill(shape::RoundRect(kShowcase, 5), art::Metal(kShowcase, Look{}));
  const Box well = kShowcase.Grown(-4);
  c.Fill(shape::RoundRect(well, 2), paint::Radial(well.CenterX(), well.CenterY() - 30, 200,
                                                  Stops{{0.0f, Hex(0x6a3a1e)}, {1.0f, Hex(0x1e0c05)}}));
  TextStyle faint = art::GoldCaption(Look{}, 0.6f);
  faint.top = WithAlpha(faint.top, 0.5f);
  faint.bottom = WithAlpha(faint.bottom, 0.5f);
  faint.outline = WithAlpha(faint.outline, 0.3f);
  ctx.Cjk().DrawCentered(c, "精品即将登场", 22, well.CenterX(), well.CenterY(), Align::Center, faint);
  // Name ribbon hung on the frame's top edge.
  const float cx = kPanelX + kPanelCentreX;
  const float ry0 = 123, ry1 = 157;
  const Shape ribbon = shape::Polygon({{cx - 118, ry0}, {cx + 118, ry0}, {cx + 104, (ry0 + ry1) / 2}, {cx + 118, ry1},
                                       {cx - 118, ry1}, {cx - 104, (ry0 + ry1) / 2}});
  c.FillSoft(shape::Translate(ribbon, 0, 3), 3, paint::Solid(pal::kShadow));
  c.Fill(ribbon, art::Metal(ribbon.box, Look{}));
  c.Fill(shape::Offset(ribbon, -2.5f), paint::Vertical(ry0, ry1, Hex(0xb8281f), Hex(0x5a0f0b)));
  art::Gloss(c, shape::Offset(ribbon, -2.5f), 0.25f);
  // Shares title rule.
  const float titleY = kPanelY + kSharesTitleY + 11.0f;
  art::Rule(c, kPanel.x0 + 22, cx - 76, titleY);
  art::Rule(c, cx + 76, kPanel.x1 - 22, titleY);
  // Information block with one band per text row.
  const Shape info = shape::RoundRect(kInfo, 8);
  c.Fill(info, paint::Solid(WithAlpha(pal::kBlack, 0.32f)));
  c.Fill(shape::Ring(info, 1.0f), paint::Solid(WithAlpha(pal::kGold, 0.55f)));
  for (int i = 1; i < 5; ++i) {
    const float y = kPanelY + (kLabelRows[i - 1] + kLabelRows[i]) * 0.5f + 7.0f;
    c.Fill(shape::Capsule(kInfo.x0 + 10, y, kInfo.x1 - 10, y, 0.5f), paint::Solid(WithAlpha(pal::kGold, 0.22f)));
  }
  for (int i = 0; i < 5; ++i) {
    const float y = kPanelY + kLabelRows[i] + 9.0f;
    art::Diamond(c, kInfo.x0 + 11, y, 7, art::Metal(Box{0, y - 4, 0, y + 4}, Look{}));
  }
  // A soft pad under the buy button.
  const Box pad{kPanelX + kBuyX - 8.0f, kPanelY + kBuyY - 5.0f, kPanelX + kBuyX + kBuyW + 8.0f, kPanelY + kBuyY + kBuyH + 2.0f};
  c.FillSoft(shape::RoundRect(pad, 16), 6, paint::Solid(WithAlpha(Hex(0xff8a3a), 0.12f)));
}

void Icon(Canvas& c, float cx, float cy, bool bank) {
  if (!bank) {
    art::Coin(c, cx, cy, 8);
    return;
  }
  const Paint gold = art::Metal(Box{0, cy - 8, 0, cy + 8}, Look{});
  c.Fill(shape::Polygon({{cx - 9, cy - 3}, {cx, cy - 9}, {cx + 9, cy - 3}}), gold);
  for (int i = -1; i <= 1; ++i)
    c.Fill(shape::RoundRect(Box{cx + 6.0f * static_cast<float>(i) - 1.5f, cy - 2, cx + 6.0f * static_cast<float>(i) + 1.5f, cy + 5}, 0.5f), gold);
  c.Fill(shape::RoundRect(Box{cx - 9, cy + 5, cx + 9, cy + 8}, 0.5f), gold);
}

void Gavel(Canvas& c, float cx, float cy) {
  const Paint gold = art::Metal(Box{0, cy - 14, 0, cy + 14}, Look{});
  const float a = -0.6f;
  c.Fill(shape::Rotate(shape::RoundRect(Box{cx - 3, cy - 6, cx + 3, cy + 20}, 2), a, cx, cy), paint::Vertical(cy, cy + 20, pal::kWoodLight, pal::kWood));
  c.Fill(shape::Rotate(shape::RoundRect(Box{cx - 13, cy - 14, cx + 13, cy - 2}, 4), a, cx, cy), gold);
  c.Fill(shape::RoundRect(Box{cx - 4, cy + 16, cx + 22, cy + 22}, 2), gold);
}

void PlayerCard(Canvas& c, const ArtContext& ctx) {
  art::Panel(c, kCard, 12, Hex(0x5a1410), Hex(0x2a0706));
  Plaque(c, ctx, Box{kCard.x0 + 60, kCard.y0 + 8, kCard.x1 - 60, kCard.y0 + 34}, "我的账户", 15);
  // Face frame around the 81 x 81 picture.
  const Box face{kFaceX - 5.0f, kFaceY - 5.0f, kFaceX + kFaceSize + 5.0f, kFaceY + kFaceSize + 5.0f};
  c.FillSoft(shape::RoundRect(face, 6), 4, paint::Solid(WithAlpha(pal::kBlack, 0.7f)));
  c.Fill(shape::RoundRect(face, 6), art::Metal(face, Look{}));
  c.Fill(shape::RoundRect(face.Grown(-4), 2), paint::Vertical(face.y0, face.y1, Hex(0x3a2015), Hex(0x1a0a05)));
  // Mail caption and the hall's gavel.
  TextStyle small = art::GoldCaption(Look{}, 0.3f);
  small.outlineWidth = 0.8f;
  ctx.Cjk().DrawCentered(c, "邮件", 13, kMailX + kMailW / 2.0f, kMailY + kMailH + 10.0f, Align::Center, small);
  Gavel(c, 1234, 108);
  art::Rule(c, 1132, 1262, 166, 0.7f);
  // Name plate and the two amount wells (values are drawn from x 1074).
  const float nameCy = kCardNameY + 7.0f;
  c.Fill(shape::RoundRect(Box{1010, nameCy - 11, 1138, nameCy + 11}, 11), paint::Solid(WithAlpha(pal::kBlack, 0.45f)));
  c.Fill(shape::Ring(shape::RoundRect(Box{1010, nameCy - 11, 1138, nameCy + 11}, 11), 1.0f), paint::Solid(WithAlpha(pal::kGold, 0.6f)));
  const char* labels[] = {"金币", "银行"};
  const int rows[] = {kCoinsY, kBankY};
  for (int i = 0; i < 2; ++i) {
    const float cy = rows[i] + 7.0f;
    const Shape well = shape::RoundRect(Box{kCardTextX - 5.0f, cy - 11, kCard.x1 - 12, cy + 11}, 5);
    c.Fill(well, paint::Vertical(cy - 11, cy + 11, Hex(0x0e0302), Hex(0x2a0c07)));
    c.Fill(shape::Ring(well, 1.0f), paint::Solid(WithAlpha(pal::kGold, 0.6f)));
    Icon(c, 1022, cy, i == 1);
    ctx.Cjk().DrawCentered(c, labels[i], 14, kCardTextX - 9.0f, cy, Align::Right, small);
  }
}

void MessageFrame(Canvas& c) {
  const Box frame{kViewX - 2.0f, kViewY + kTabH - 4.0f, kViewX + kViewW + 2.0f, kScreenH + 12.0f};
  c.FillSoft(shape::RoundRect(frame, 10), 6, paint::Solid(WithAlpha(pal::kBlack, 0.6f)));
  c.Fill(shape::RoundRect(frame, 10), art::Metal(frame, Look{}));
  c.Fill(shape::RoundRect(frame.Grown(-3), 8), paint::Vertical(frame.y0, frame.y1, pal::kWood, pal::kWoodDark));
  const Box sheet{kViewX + kScrollX - 2.0f, kViewY + kScrollY - 2.0f, kViewX + kScrollX + kScrollW + 2.0f,
                  kViewY + kScrollY + kScrollH + 2.0f};
  c.Fill(shape::RoundRect(sheet, 4), art::Parchment(sheet, 5));
  c.Fill(shape::Ring(shape::RoundRect(sheet, 4), 1.0f), paint::Solid(pal::kGoldDeep));
}

void Floor(Canvas& c) {
  const Noise grain(0xF100);
  c.Transform(0, static_cast<int>(kFloorY), kViewX - 2, kScreenH, [&](int x, int y, const Rgba&) {
    const float fy = static_cast<float>(y) - kFloorY;
    const int plank = static_cast<int>(fy / 11);
    const float g = grain.Fractal(static_cast<float>(x) * 0.02f + static_cast<float>(plank) * 7.0f, fy * 0.4f, 3);
    Rgba wood = Shade(Mix(pal::kWood, pal::kWoodLight, g), 0.65f + 0.25f * fy / 44);
    if (static_cast<int>(fy) % 11 == 0) wood = Shade(wood, 0.6f);
    return wood;
  });
  c.Fill(shape::RoundRect(Box{0, kFloorY - 3, kViewX - 2.0f, kFloorY + 1}, 0), art::Metal(Box{0, kFloorY - 3, 0, kFloorY + 1}, Look{}));
  // Red carpet leading to the stage.
  const Shape carpet = shape::Polygon({{kPanel.x0 + 40, kFloorY + 1}, {kPanel.x1 - 40, kFloorY + 1}, {kPanel.x1 + 10, kScreenH + 2.0f}, {kPanel.x0 - 10, kScreenH + 2.0f}});
  c.Fill(carpet, paint::Vertical(kFloorY, kScreenH, Hex(0x8e1b1b), Hex(0x5a0f0b)));
  c.Fill(shape::Ring(shape::Offset(carpet, -5), 1.5f), paint::Solid(WithAlpha(pal::kGold, 0.8f)));
}
}  // namespace

void PaintHall(const ArtContext& ctx, AssetWriter& out) {
  Canvas c(kScreenW, kScreenH, Hex(0x000000));
  Wall(c);
  Floor(c);
  for (float x : kPillarX) Pillar(c, x);
  Valance(c);
  Logo(c, ctx);
  NoticeBand(c);
  TileShelves(c, ctx);
  BuyStage(c, ctx);
  PlayerCard(c, ctx);
  MessageFrame(c);
  out.Jpg("Velmora/Image/Bg.jpg", c, kJpegQuality, "background, quality 92");
}
