#include "tools/assetgen/tileart.h"

#include <string>

#include "tools/assetgen/layout.h"
#include "tools/assetgen/palette.h"
#include "tools/assetgen/widgetart.h"

namespace {
using art::Look;

// Tile-relative places the game draws into.
constexpr float kPicX0 = 19, kPicY0 = 27, kPicX1 = 122, kPicY1 = 112;
constexpr float kValueCy = 126;  // the game writes the value at y 120
constexpr int kLikeW = 54, kLikeH = 33, kLikeFrames = 4;
constexpr int kLikeBgW = 80;
constexpr int kStatusW = 106, kStatusH = 30;

Canvas TileCard() {
  const float w = layout::kTileW, h = layout::kTileH;
  Canvas c(layout::kTileW, layout::kTileH);
  const Look look;
  const Shape card = shape::RoundRect(Box{0.5f, 0.5f, w - 0.5f, h - 0.5f}, 10);
  c.Fill(card, art::Metal(card.box, look));
  const Shape body = shape::Offset(card, -3.0f);
  c.Fill(body, paint::Vertical(0, h, Hex(0x6b1a14), Hex(0x2c0907)));
  // Name band and its gold rule.
  c.Fill(shape::Intersect(body, shape::RoundRect(Box{0, 0, w, 25}, 0)),
         paint::Vertical(0, 25, Hex(0x3a0a07), Hex(0x260504)));
  c.Fill(shape::Capsule(8, 25.5f, w - 8, 25.5f, 0.6f), paint::Solid(pal::kGold));
  // Picture well: a cream backdrop in a thin gold frame.
  const Shape well = shape::RoundRect(Box{kPicX0 - 2, kPicY0 - 2, kPicX1 + 2, kPicY1 + 2}, 3);
  c.FillSoft(shape::Translate(well, 0, 1.5f), 2, paint::Solid(WithAlpha(pal::kBlack, 0.7f)));
  c.Fill(well, art::Metal(well.box, look));
  c.Fill(shape::RoundRect(Box{kPicX0, kPicY0, kPicX1, kPicY1}, 1),
         paint::Radial((kPicX0 + kPicX1) / 2, (kPicY0 + kPicY1) / 2, 70,
                       Stops{{0.0f, Hex(0xfff8e6)}, {1.0f, Hex(0xe2c79a)}}));
  // Value plate.
  const Shape plate = shape::RoundRect(Box{22, kValueCy - 9, w - 22, kValueCy + 9}, 9);
  c.Fill(plate, paint::Vertical(kValueCy - 9, kValueCy + 9, Hex(0x1e0504), Hex(0x3a0b08)));
  c.Fill(shape::Ring(plate, 1.0f), paint::Solid(WithAlpha(pal::kGold, 0.8f)));
  art::Diamond(c, 15, kValueCy, 6, paint::Solid(pal::kGold));
  art::Diamond(c, w - 15, kValueCy, 6, paint::Solid(pal::kGold));
  // Footer well under the like controls.
  c.Fill(shape::RoundRect(Box{3, 139, w - 3, h - 3}, 7), paint::Vertical(139, h - 3, Hex(0x1a0403), Hex(0x2a0806)));
  c.Fill(shape::Capsule(8, 139, w - 8, 139, 0.6f), paint::Solid(WithAlpha(pal::kGold, 0.7f)));
  art::Gloss(c, body, 0.10f);
  return c;
}

// Ribbons across the picture: on sale, sold, failed.
Canvas SaleStatus(const ArtContext& ctx) {
  struct Kind {
    const char* text;
    Rgba base;
    bool gold;
  };
  const Kind kinds[] = {{"拍卖中", pal::kRed, true}, {"已成交", Hex(0xd9a93c), false}, {"流拍", Hex(0x6d625a), true}};
  return art::Strip(kStatusW, kStatusH, 3, [&](Canvas& c, int f) {
    const Kind& k = kinds[f];
    const float w = kStatusW, h = kStatusH;
    const Shape ribbon = shape::Polygon({{0, 3}, {w, 3}, {w - 8, h / 2}, {w, h - 3}, {0, h - 3}, {8, h / 2}});
    c.FillSoft(shape::Translate(ribbon, 0, 1.5f), 1.5f, paint::Solid(WithAlpha(pal::kBlack, 0.5f)));
    c.Fill(ribbon, paint::Vertical(3, h - 3, Shade(k.base, 1.3f), Shade(k.base, 0.75f)), 0.94f);
    c.Fill(shape::Capsule(6, 5.5f, w - 6, 5.5f, 0.6f), paint::Solid(WithAlpha(pal::kGoldPale, 0.8f)));
    c.Fill(shape::Capsule(6, h - 5.5f, w - 6, h - 5.5f, 0.6f), paint::Solid(WithAlpha(pal::kGoldPale, 0.8f)));
    const TextStyle style = k.gold ? art::GoldCaption(Look{}, 0.7f) : art::DarkCaption(Look{}, 0.7f);
    ctx.Cjk().DrawCentered(c, k.text, 18, w / 2, h / 2, Align::Center, style);
  }, true);
}

// Like button frames: 0 hovered, 1 liked, 2 spare (greyed), 3 normal.
Canvas LikeButton(const ArtContext& ctx) {
  return art::Strip(kLikeW, kLikeH, kLikeFrames, [&](Canvas& c, int f) {
    const float w = kLikeW, h = kLikeH;
    const bool liked = f == 1;
    const Look look = f == 0 ? art::LookOf(art::kHover) : f == 2 ? art::LookOf(art::kDisabled) : Look{};
    // Round on the left, square on the right where the count plate joins.
    const Shape outer = shape::Intersect(shape::RoundRect(Box{1, 1, w + 20, h - 1}, 15),
                                         shape::RoundRect(Box{0, 0, w, h}, 0));
    art::ButtonFace(c, outer, 2.0f, liked ? Hex(0xc8321f) : pal::kCrimson, look);
    const Shape heart = art::HeartShape(16, 17, 17);
    if (liked) {
      c.FillSoft(heart, 3, paint::Solid(WithAlpha(pal::kGoldPale, 0.6f)));
      c.Fill(heart, paint::Vertical(8, 25, Hex(0xffe9a0), pal::kGold));
    } else {
      // An outline: the gold heart with a smaller body-coloured heart inside.
      c.Fill(heart, paint::Vertical(8, 25, look.Tone(pal::kGoldPale), look.Tone(pal::kGold)));
      c.Fill(art::HeartShape(16, 16.4f, 11.5f), paint::Vertical(10, 24, look.Tone(Hex(0xa8261c)), look.Tone(Hex(0x6a1410))));
    }
    ctx.Cjk().DrawCentered(c, "赞", 16, 38, h / 2, Align::Center, art::GoldCaption(look, 0.7f));
  });
}

Canvas LikeBackground() {
  const float w = kLikeBgW, h = kLikeH;
  Canvas c(kLikeBgW, kLikeH);
  const Shape outer = shape::Intersect(shape::RoundRect(Box{-20, 1, w - 1, h - 1}, 15), shape::RoundRect(Box{0, 0, w, h}, 0));
  c.Fill(outer, art::Metal(outer.box, Look{}));
  const Shape body = shape::Offset(outer, -2.0f);
  c.Fill(body, paint::Vertical(0, h, Hex(0xfffaf0), Hex(0xe9d3a6)));
  c.Fill(shape::Intersect(shape::Ring(body, 1.0f), outer), paint::Solid(WithAlpha(pal::kGoldDeep, 0.5f)));
  return c;
}
}  // namespace

void PaintTiles(const ArtContext& ctx, AssetWriter& out) {
  out.Png("Velmora/Image/GoodsItem/ItemBg.png", TileCard(),
          "tile card; picture well 103x85 at (19,27), name band y 0..25, value plate y 117..135, like area y 142..175");
  out.Png("Velmora/Image/GoodsItem/TxtSellStatus.png", SaleStatus(ctx),
          "3 frames of 106x30 stacked: on sale, sold, failed");
  out.Png("Velmora/Image/GoodsItem/mrwt_btn_like.png", LikeButton(ctx),
          "4 frames of 54x33 in a row: 0 hovered, 1 liked, 2 spare (greyed), 3 normal");
  out.Png("Velmora/Image/GoodsItem/mrwt_bg_like.png", LikeBackground(),
          "like count plate; count centred at x 41");
}
