#include "tools/assetgen/windowart.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/assetgen/layout.h"
#include "tools/assetgen/palette.h"
#include "tools/assetgen/widgetart.h"

namespace {
using art::Look;

constexpr int kBoxW = 340, kBoxH = 170;
constexpr int kRecordW = 488, kRecordH = 370;
constexpr int kRuleW = 520, kRuleH = 420;
// Sales history table: header at y 85, ten rows from y 110 every 22 pixels.
constexpr float kTableX0 = 14, kTableX1 = kRecordW - 14, kTableTop = 76, kHeaderBottom = 104;
constexpr int kRowTop = 106, kRowStep = 22, kRows = 10;
constexpr float kColumnEdges[] = {85, 177, 271, 361};

Canvas MessageBoxBg() {
  Canvas c(kBoxW, kBoxH);
  art::Panel(c, Box{4, 2, kBoxW - 4.0f, kBoxH - 4.0f}, 14, Hex(0x6a1812), Hex(0x2e0806));
  // Footer well behind the buttons (they sit at y 120).
  c.Fill(shape::RoundRect(Box{14, 113, kBoxW - 14.0f, 158}, 8),
         paint::Vertical(113, 158, WithAlpha(pal::kBlack, 0.35f), WithAlpha(pal::kBlack, 0.15f)));
  art::Rule(c, 24, kBoxW - 24.0f, 110, 0.8f);
  return c;
}

Canvas SuccessIcon() {
  Canvas c(40, 40);
  c.FillSoft(shape::Circle(20.5f, 21.5f, 17.5f), 1.5f, paint::Solid(pal::kShadow));
  c.Fill(shape::Circle(20, 20, 18), art::Metal(Box{2, 2, 38, 38}, Look{}));
  const Shape inner = shape::Circle(20, 20, 14.5f);
  c.Fill(inner, paint::Vertical(6, 34, Hex(0xe0452f), Hex(0x8e1b1b)));
  art::Gloss(c, inner, 0.35f);
  art::CheckMark(c, 20, 20.5f, 20, pal::kGoldPale);
  return c;
}

Canvas NextGoodsStrip() {
  const float w = 210, h = 26;
  Canvas c(210, 26);
  const Shape ribbon = shape::Polygon({{0.5f, h / 2}, {12, 0.5f}, {w - 12, 0.5f}, {w - 0.5f, h / 2}, {w - 12, h - 0.5f}, {12, h - 0.5f}});
  c.Fill(ribbon, art::Metal(ribbon.box, Look{}));
  c.Fill(shape::Offset(ribbon, -1.5f), paint::Vertical(0, h, Hex(0x3a0a07), Hex(0x1a0403)), 0.95f);
  return c;
}

Canvas SalesHistoryBg(const ArtContext& ctx) {
  Canvas c(kRecordW, kRecordH);
  art::Panel(c, Box{2, 2, kRecordW - 3.0f, kRecordH - 4.0f}, 14, Hex(0x6a1812), Hex(0x2e0806));
  ctx.Cjk().DrawCentered(c, "销售记录", 24, kRecordW / 2.0f, 42, Align::Center, art::GoldCaption(Look{}, 0.9f));
  art::Rule(c, 110, 180, 42);
  art::Rule(c, kRecordW - 180.0f, kRecordW - 110.0f, 42);

  const Box table{kTableX0, kTableTop, kTableX1, static_cast<float>(kRowTop + kRowStep * kRows + 2)};
  const Shape sheet = shape::RoundRect(table, 6);
  c.FillSoft(shape::Translate(sheet, 0, 2), 2, paint::Solid(WithAlpha(pal::kBlack, 0.6f)));
  c.Fill(sheet, art::Parchment(table, 11));
  c.Fill(shape::Intersect(sheet, shape::RoundRect(Box{table.x0, table.y0, table.x1, kHeaderBottom}, 0)),
         paint::Vertical(table.y0, kHeaderBottom, Hex(0xfbe6b0), Hex(0xe9c77e)));
  for (int r = 1; r < kRows; r += 2) {
    const float y0 = static_cast<float>(kRowTop + kRowStep * r);
    c.Fill(shape::RoundRect(Box{table.x0 + 2, y0, table.x1 - 2, y0 + kRowStep}, 0),
           paint::Solid(WithAlpha(Hex(0xc89a58), 0.18f)));
  }
  for (float x : kColumnEdges)
    c.Fill(shape::Capsule(x, table.y0 + 4, x, table.y1 - 4, 0.5f), paint::Solid(WithAlpha(pal::kInk, 0.25f)));
  c.Fill(shape::Capsule(table.x0 + 2, kHeaderBottom, table.x1 - 2, kHeaderBottom, 0.6f),
         paint::Solid(WithAlpha(pal::kGoldDeep, 0.8f)));
  c.Fill(shape::Ring(sheet, 1.2f), paint::Solid(pal::kGoldDeep));
  // Page indicator well between the arrow buttons (x 185 and 279, y 330).
  const Shape well = shape::RoundRect(Box{219, 331, 269, 353}, 6);
  c.Fill(well, paint::Vertical(331, 353, Hex(0x140302), Hex(0x2a0806)));
  c.Fill(shape::Ring(well, 1.0f), paint::Solid(WithAlpha(pal::kGold, 0.7f)));
  return c;
}

// One callout frame: parchment body with a pointer on one side or on top.
enum class Pointer { Left, Right, Top };

void Callout(Canvas& c, const Box& body, Pointer side, float tip) {
  std::vector<Point> tri;
  const float k = layout::kCalloutPointer;
  constexpr float kHalf = 15;
  if (side == Pointer::Left) tri = {{body.x0 - k + 1, tip}, {body.x0 + 4, tip - kHalf}, {body.x0 + 4, tip + kHalf}};
  if (side == Pointer::Right) tri = {{body.x1 + k - 1, tip}, {body.x1 - 4, tip - kHalf}, {body.x1 - 4, tip + kHalf}};
  if (side == Pointer::Top) tri = {{tip, body.y0 - 14}, {tip - kHalf, body.y0 + 4}, {tip + kHalf, body.y0 + 4}};
  const Shape outline = shape::Union(shape::RoundRect(body, 12), shape::Polygon(tri));
  c.FillSoft(shape::Translate(outline, 1.5f, 2.5f), 2.5f, paint::Solid(WithAlpha(pal::kBlack, 0.45f)));
  c.Fill(outline, art::Metal(outline.box, Look{}));
  const Shape inner = shape::Offset(outline, -2.5f);
  c.Fill(inner, art::Parchment(body, 7));
  c.Fill(shape::Ring(shape::RoundRect(body.Grown(-6.0f), 8), 0.8f), paint::Solid(WithAlpha(pal::kGoldDeep, 0.45f)));
}

Canvas TileCallouts() {
  const int w = layout::kCalloutW, h = layout::kCalloutH;
  return art::Strip(w, h, 2, [&](Canvas& c, int f) {
    const float k = layout::kCalloutPointer;
    // The first text line is the name; a rule parts it from the description.
    if (f == 0) {
      Callout(c, Box{k, 1, w - 2.0f, h - 6.0f}, Pointer::Left, 30);
      art::Rule(c, k + 10, w - 14.0f, 27, 0.7f);
    } else {
      Callout(c, Box{2, 1, w - k, h - 6.0f}, Pointer::Right, 30);
      art::Rule(c, 8, w - k - 10, 27, 0.7f);
    }
  }, true);
}

Canvas LotCallout() {
  Canvas c(layout::kCalloutW, layout::kLotCalloutH);
  // Points up at the middle of the goods picture (screen x 497; the callout is at x 365).
  Callout(c, Box{2, 15, layout::kCalloutW - 4.0f, layout::kLotCalloutH - 5.0f}, Pointer::Top, 132);
  art::Rule(c, 12, layout::kCalloutW - 14.0f, 42, 0.7f);
  return c;
}

Canvas RulePicture(const ArtContext& ctx) {
  Canvas c(kRuleW, kRuleH);
  art::Panel(c, Box{2, 2, kRuleW - 3.0f, kRuleH - 4.0f}, 16, Hex(0x6a1812), Hex(0x2e0806));
  ctx.Cjk().DrawCentered(c, "夺宝拍卖规则", 24, kRuleW / 2.0f, 27, Align::Center, art::GoldCaption(Look{}, 0.9f));
  art::Rule(c, 120, 170, 27);
  art::Rule(c, kRuleW - 170.0f, kRuleW - 120.0f, 27);

  const Box sheet{16, 50, kRuleW - 17.0f, kRuleH - 18.0f};
  const Shape paper = shape::RoundRect(sheet, 8);
  c.FillSoft(shape::Translate(paper, 0, 2), 2, paint::Solid(WithAlpha(pal::kBlack, 0.6f)));
  c.Fill(paper, art::Parchment(sheet, 3));
  c.Fill(shape::Ring(paper, 1.2f), paint::Solid(pal::kGoldDeep));

  const std::vector<std::string> rules = {
      "每期拍卖一件商品，商品按价值分成若干份额，每份10000金币。",
      "每次至少购买本期规定的最低份数；剩余份额过少时，需将剩余份额一次买完。",
      "中奖几率 = 您持有的份额 ÷ 商品总份额，持有越多，几率越高。",
      "全部份额售出后立即开奖，系统按份额随机抽出一位幸运玩家获得该商品。",
      "拍卖时间结束时仍有份额未售出，本期流拍，购买份额的金币全部返还。",
      "为候选商品点赞，每件商品每期只能点赞一次；得赞最多的候选商品将在下一期首发登场。",
      "开奖结果与您的购买记录可在右下角的“幸运用户”和“我的购买”中查看。",
  };
  constexpr int kPx = 14, kLine = 20, kGap = 8;
  constexpr float kTextX = 60, kTextRight = kRuleW - 36.0f;
  TextStyle ink;
  ink.top = ink.bottom = pal::kInk;
  ink.embolden = 0.35f;
  TextStyle badgeText;
  badgeText.top = badgeText.bottom = pal::kGoldPale;
  float y = sheet.y0 + 26;
  for (size_t i = 0; i < rules.size(); ++i) {
    const float cy = y - 5;
    c.Fill(shape::Circle(40, cy, 9), paint::Vertical(cy - 9, cy + 9, pal::kBrightRed, pal::kCrimson));
    c.Fill(shape::Ring(shape::Circle(40, cy, 9), 1.2f), paint::Solid(pal::kGold));
    ctx.Latin().DrawCentered(c, std::to_string(i + 1), 11, 40, cy, Align::Center, badgeText);
    for (const std::string& line : ctx.Cjk().Wrap(rules[i], kPx, static_cast<int>(kTextRight - kTextX))) {
      ctx.Cjk().DrawBaseline(c, line, kPx, kTextX, y, ink);
      y += kLine;
    }
    y += kGap;
  }
  if (y > sheet.y1 - 24) throw std::runtime_error("rule text does not fit the rule picture");
  TextStyle closing = art::DarkCaption(Look{}, 0.6f);
  ctx.Cjk().DrawCentered(c, "祝您好运！理性参与，适度娱乐。", 16, kRuleW / 2.0f, sheet.y1 - 18, Align::Center, closing);
  art::Rule(c, 60, 130, sheet.y1 - 18, 0.8f);
  art::Rule(c, kRuleW - 130.0f, kRuleW - 60.0f, sheet.y1 - 18, 0.8f);
  return c;
}

// Scroll bar skin, all parts 6 pixels wide, stacked: up arrow (8), down
// arrow (8), track (16, tiles vertically), thumb (24: 6 cap, 12 stretch, 6 cap).
Canvas ScrollSkin() {
  const float w = layout::kScrollBarW;
  Canvas c(layout::kScrollBarW, 56);
  for (int i = 0; i < 2; ++i) {
    const float y0 = 8.0f * static_cast<float>(i);
    c.Fill(shape::RoundRect(Box{0, y0, w, y0 + 8}, 2), paint::Vertical(y0, y0 + 8, pal::kCrimson, pal::kMaroon));
    const Shape tri = i == 0 ? shape::Polygon({{3, y0 + 2}, {5.5f, y0 + 6}, {0.5f, y0 + 6}})
                             : shape::Polygon({{0.5f, y0 + 2}, {5.5f, y0 + 2}, {3, y0 + 6}});
    c.Fill(tri, paint::Solid(pal::kGoldLight));
  }
  // Track: uniform rows so that it can be repeated.
  c.Transform(0, 16, 6, 32, [](int x, int, const Rgba&) {
    const float edge = (x == 0 || x == 5) ? 0.75f : 1.0f;
    return Shade(Hex(0xcfb486), edge);
  });
  // Thumb: a capsule whose middle rows (38..49) are identical, for stretching.
  c.Fill(shape::Capsule(3, 35, 3, 53, 2.8f),
         paint::Linear(0, 0, w, 0, Stops{{0.0f, pal::kGoldDeep}, {0.45f, pal::kGoldPale}, {1.0f, pal::kGoldDeep}}));
  return c;
}
}  // namespace

void PaintWindows(const ArtContext& ctx, AssetWriter& out) {
  out.Png("Velmora/Image/MessageBox/Bg.png", MessageBoxBg(), "message box; button well y 113..158");
  out.Png("Velmora/Image/MessageBox/Success.png", SuccessIcon(), "gold badge with a check mark");
  out.Png("Velmora/Image/MessageBox/NextGoodsBg.png", NextGoodsStrip(), "ribbon behind the next-lot line");
  out.Png("Velmora/Image/SellRecord/Bg.png", SalesHistoryBg(ctx),
          "title; table x 14..474: header y 76..104, 10 rows from y 106 step 22; page well at (219,331) 50x22");
  out.Png("Velmora/Image/Description/Bg.png", TileCallouts(),
          "2 frames of 300x200 stacked: top pointer left (left column), bottom pointer right (right column)");
  out.Png("Velmora/Image/Description/BgCur.png", LotCallout(), "lot callout, pointer on top at x 132");
  out.Png("Velmora/Image/RuleInfo.png", RulePicture(ctx), "rules text; top-right corner kept free for the close button");
  out.Png("Velmora/Image/MessageView/Scroll.png", ScrollSkin(),
          "6 wide, stacked: up arrow y 0..7, down arrow 8..15, track 16..31, thumb 32..55 (caps 6, middle 38..49 stretches)");
}
