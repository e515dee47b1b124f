#include "tools/assetgen/panelart.h"

#include <string>

#include "tools/assetgen/layout.h"
#include "tools/assetgen/palette.h"
#include "tools/assetgen/widgetart.h"

namespace {
constexpr int kTimeDigitW = 14, kTimeDigitH = 20;
constexpr int kGoodsDigitW = 16, kGoodsDigitH = 24;
constexpr int kDigits = 10;

Canvas EditFrame() {
  const float w = layout::kEditBgW, h = layout::kEditBgH;
  Canvas c(layout::kEditBgW, layout::kEditBgH);
  const Shape outer = shape::RoundRect(Box{0.5f, 0.5f, w - 0.5f, h - 0.5f}, 5);
  c.Fill(outer, art::Metal(outer.box, art::Look{}));
  const Shape well = shape::Offset(outer, -1.6f);
  // A light well: the share count and the caret are drawn in black.
  c.Fill(well, paint::Vertical(0, h, pal::kParchment, pal::kParchmentDeep));
  // Inner shadow along the top edge makes the well look sunk.
  c.Fill(shape::Intersect(well, shape::RoundRect(Box{0, 0, w, 5}, 0)),
         paint::Vertical(0, 5, WithAlpha(pal::kBlack, 0.35f), WithAlpha(pal::kBlack, 0.0f)));
  return c;
}

Canvas DigitStrip(const ArtContext& ctx, int w, int h, int px, const TextStyle& style, const Rgba& plate) {
  return art::Strip(w, h, kDigits, [&](Canvas& c, int d) {
    if (plate.a > 0)
      c.Fill(shape::RoundRect(Box{0.5f, 0.5f, w - 0.5f, h - 0.5f}, 3), paint::Vertical(0, h, plate, Shade(plate, 0.5f)));
    ctx.Latin().DrawCentered(c, std::to_string(d), px, w * 0.5f, h * 0.5f, Align::Center, style);
  });
}
}  // namespace

void PaintBuyPanelParts(const ArtContext& ctx, AssetWriter& out) {
  out.Png("Velmora/Image/BuyDlg/EditBg.png", EditFrame(), "frame of the share field; the 60x22 field sits at (5,2)");

  TextStyle gold = art::GoldCaption(art::Look{}, 0.0f);
  gold.outlineWidth = 1.0f;
  out.Png("Velmora/Image/BuyDlg/GoodsNum.png", DigitStrip(ctx, kGoodsDigitW, kGoodsDigitH, 17, gold, Rgba{}),
          "digits 0-9 in a row, 16x24 each (lot number)");

  TextStyle led;
  led.top = Hex(0xffe27a);
  led.bottom = Hex(0xff8a1e);
  led.shadow = WithAlpha(Hex(0xff6a00), 0.8f);
  led.shadowBlur = 1;
  out.Png("Velmora/Image/BuyDlg/TimeNum.png", DigitStrip(ctx, kTimeDigitW, kTimeDigitH, 14, led, Hex(0x2a0a06)),
          "digits 0-9 in a row, 14x20 each (countdown)");

  Canvas colon(8, kTimeDigitH);
  for (float y : {6.5f, 13.5f}) {
    colon.FillSoft(shape::Circle(4, y, 1.6f), 1.0f, paint::Solid(WithAlpha(Hex(0xff6a00), 0.8f)));
    colon.Fill(shape::Circle(4, y, 1.7f), paint::Solid(Hex(0xffd060)));
  }
  out.Png("Velmora/Image/BuyDlg/TimeQuote.png", colon, "colon between minutes and seconds, 8x20");

  Canvas caption(84, 22);
  ctx.Cjk().DrawCentered(caption, "剩余时间", 18, 42, 11, Align::Center, art::GoldCaption(art::Look{}, 0.6f));
  out.Png("Velmora/Image/BuyDlg/Txt_Time.png", caption, "caption \"剩余时间\" (time left)");
}
