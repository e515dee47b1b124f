#include "tools/assetgen/buttonart.h"

#include <string>

#include "tools/assetgen/layout.h"
#include "tools/assetgen/palette.h"
#include "tools/assetgen/widgetart.h"

namespace {
using art::Look;

std::string StripLayout(int fw, int fh) {
  return "4 frames of " + std::to_string(fw) + "x" + std::to_string(fh) +
         " in a row: normal, hover, pressed, disabled";
}

// A red lacquer button with a gold rim; caption optional.
Canvas RedButton(const ArtContext& ctx, int w, int h, float radius, const std::string& caption, int px) {
  return art::Strip(w, h, art::kButtonFrames, [&](Canvas& c, int f) {
    const Look look = art::LookOf(f);
    const Shape outer = shape::RoundRect(Box{1.5f, 1.0f + look.dy, w - 1.5f, h - 2.5f + look.dy}, radius);
    art::ButtonFace(c, outer, 2.2f, pal::kRed, look);
    if (!caption.empty()) {
      const float cy = outer.box.CenterY() + 0.5f;
      ctx.Cjk().DrawCentered(c, caption, px, w * 0.5f, cy, Align::Center, art::GoldCaption(look, 0.9f));
      const Paint gold = art::Metal(Box{0, cy - 4, 0, cy + 4}, look);
      art::Diamond(c, w * 0.5f - px * 1.55f, cy, 7, gold);
      art::Diamond(c, w * 0.5f + px * 1.55f, cy, 7, gold);
    }
  });
}

// A round gold-rimmed button with a symbol drawn by the callback.
Canvas RoundButton(int size, const Rgba& base, const std::function<void(Canvas&, float, float, const Look&)>& symbol) {
  return art::Strip(size, size, art::kButtonFrames, [&](Canvas& c, int f) {
    const Look look = art::LookOf(f);
    const float cx = size * 0.5f, cy = size * 0.5f - 0.5f + look.dy;
    art::ButtonFace(c, shape::Circle(cx, cy, size * 0.5f - 1.6f), 2.0f, base, look);
    symbol(c, cx, cy, look);
  });
}

Paint SymbolPaint(const Look& look) {
  return paint::Vertical(0, 28, look.Tone(pal::kGoldPale), look.Tone(pal::kGoldLight));
}

Canvas ArrowButton(int w, int h, bool right) {
  return art::Strip(w, h, art::kButtonFrames, [&](Canvas& c, int f) {
    const Look look = art::LookOf(f);
    const Shape outer = shape::RoundRect(Box{1.5f, 1.0f + look.dy, w - 1.5f, h - 2.0f + look.dy}, 6);
    art::ButtonFace(c, outer, 1.8f, pal::kCrimson, look);
    const float cx = w * 0.5f + (right ? 1.0f : -1.0f), cy = outer.box.CenterY();
    const float s = right ? 1.0f : -1.0f;
    const Shape tri = shape::Polygon({{cx - 4 * s, cy - 6}, {cx + 5 * s, cy}, {cx - 4 * s, cy + 6}});
    c.FillSoft(shape::Translate(tri, 0, 1), 0.8f, paint::Solid(WithAlpha(pal::kBlack, 0.6f)));
    c.Fill(shape::Offset(tri, 0.4f), SymbolPaint(look));
  });
}

Canvas TabButton(const ArtContext& ctx, const std::string& caption) {
  const int w = layout::kTabW, h = layout::kTabH;
  return art::Strip(w, h, art::kButtonFrames, [&](Canvas& c, int f) {
    const Look look = art::LookOf(f);
    // Only the top corners are round: the tab stands on the panel below it.
    const Shape tab = shape::Intersect(shape::RoundRect(Box{1, 1, w - 1.0f, h + 12.0f}, 9),
                                       shape::RoundRect(Box{0, 0, static_cast<float>(w), static_cast<float>(h)}, 0));
    const bool active = f == art::kPressed;
    c.Fill(tab, art::Metal(tab.box, active ? Look{} : look));
    const Shape body = shape::Intersect(shape::Offset(tab, -2.0f), shape::RoundRect(Box{0, 0, static_cast<float>(w), h + 4.0f}, 0));
    if (active) {
      // The held tab takes the colour of the parchment it opens onto.
      c.Fill(body, paint::Vertical(0, h, Hex(0xfff6df), pal::kParchment));
      ctx.Cjk().DrawCentered(c, caption, 16, w * 0.5f, h * 0.5f + 1, Align::Center, art::DarkCaption(Look{}, 0.6f));
    } else {
      c.Fill(body, paint::Vertical(0, h, look.Tone(Hex(0x9a2419)), look.Tone(Hex(0x4f0d0a))));
      art::Gloss(c, body, look.gloss * 0.8f);
      ctx.Cjk().DrawCentered(c, caption, 16, w * 0.5f, h * 0.5f + 1, Align::Center, art::GoldCaption(look, 0.6f));
    }
  });
}

Canvas MailButton() {
  const int w = layout::kMailW, h = layout::kMailH;
  return art::Strip(w, h, art::kButtonFrames, [&](Canvas& c, int f) {
    const Look look = art::LookOf(f);
    const Shape outer = shape::RoundRect(Box{1.5f, 1.0f + look.dy, w - 1.5f, h - 2.5f + look.dy}, 8);
    art::ButtonFace(c, outer, 2.0f, pal::kCrimson, look);
    art::Envelope(c, w * 0.5f, outer.box.CenterY() + 0.5f, 24, 16, look);
  });
}
}  // namespace

void PaintButtons(const ArtContext& ctx, AssetWriter& out) {
  out.Png("Velmora/Image/BtMail.png", MailButton(), StripLayout(layout::kMailW, layout::kMailH));
  out.Png("Velmora/Image/BuyDlg/BtBuy.png", RedButton(ctx, layout::kBuyW, layout::kBuyH, 13, "购买", 24),
          StripLayout(layout::kBuyW, layout::kBuyH));

  const int step = layout::kStepSize;
  auto plus = [](Canvas& c, float cx, float cy, const Look& look) {
    c.Fill(shape::Union(shape::Capsule(cx - 6, cy, cx + 6, cy, 1.7f), shape::Capsule(cx, cy - 6, cx, cy + 6, 1.7f)),
           SymbolPaint(look));
  };
  auto minus = [](Canvas& c, float cx, float cy, const Look& look) {
    c.Fill(shape::Capsule(cx - 6, cy, cx + 6, cy, 1.7f), SymbolPaint(look));
  };
  auto cross = [](Canvas& c, float cx, float cy, const Look& look) {
    const Shape x = shape::Union(shape::Capsule(cx - 5, cy - 5, cx + 5, cy + 5, 1.6f),
                                 shape::Capsule(cx - 5, cy + 5, cx + 5, cy - 5, 1.6f));
    c.FillSoft(shape::Translate(x, 0, 1), 0.8f, paint::Solid(WithAlpha(pal::kBlack, 0.5f)));
    c.Fill(x, paint::Solid(look.Tone(Hex(0xfff8e8))));
  };
  out.Png("Velmora/Image/BuyDlg/BtAdd.png", RoundButton(step, pal::kRed, plus), StripLayout(step, step));
  out.Png("Velmora/Image/BuyDlg/BtReduce.png", RoundButton(step, pal::kRed, minus), StripLayout(step, step));
  out.Png("Velmora/Image/SellRecord/BtClose.png", RoundButton(28, pal::kRed, cross), StripLayout(28, 28));
  out.Png("Velmora/Image/SellRecord/BtLeft.png", ArrowButton(28, 24, false), StripLayout(28, 24));
  out.Png("Velmora/Image/SellRecord/BtRight.png", ArrowButton(28, 24, true), StripLayout(28, 24));
  out.Png("Velmora/Image/MessageBox/BtRed.png", RedButton(ctx, 128, 40, 11, "", 0),
          StripLayout(128, 40) + "; no caption (the game draws it centred on x 64 at y 12)");
  // The host frame's own buttons draw their caption themselves.
  out.Png("Frame/BtFrame.png", RedButton(ctx, 64, 26, 8, "", 0), StripLayout(64, 26) + "; no caption");
  out.Png("Velmora/Image/BtHistory.png", RedButton(ctx, 112, 32, 10, "销售记录", 15), StripLayout(112, 32));
  out.Png("Velmora/Image/MessageView/BtLuckyUser.png", TabButton(ctx, "幸运用户"),
          StripLayout(layout::kTabW, layout::kTabH) + "; pressed frame = active tab");
  out.Png("Velmora/Image/MessageView/BtMyBuy.png", TabButton(ctx, "我的购买"),
          StripLayout(layout::kTabW, layout::kTabH) + "; pressed frame = active tab");
}
