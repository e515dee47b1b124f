#pragma once
// Screen geometry the game draws with; the artwork is made to fit it.
namespace layout {
constexpr int kScreenW = 1280, kScreenH = 720;

// Buy panel: origin, goods picture, text rows and controls (panel-relative).
constexpr int kPanelX = 296, kPanelY = 111;
constexpr int kGoodsW = 290, kGoodsH = 240;
constexpr int kPictureX = 56, kPictureY = 48;
constexpr int kPanelCentreX = 201;
constexpr int kNameY = 22, kSharesTitleY = 297;
constexpr int kLabelX = 96;
constexpr int kLabelRows[] = {332, 365, 399, 433, 467};
constexpr int kEditBgX = 219, kEditBgY = 394;
constexpr int kReduceX = 189, kAddX = 294, kStepY = 394;
constexpr int kBuyX = 125, kBuyY = 500;
constexpr int kBuyW = 152, kBuyH = 48;
constexpr int kStepSize = 28;
constexpr int kEditBgW = 70, kEditBgH = 26;

// Candidate tiles.
constexpr int kTileW = 140, kTileH = 180;
constexpr int kTileColumns[] = {60, 800};
constexpr int kTileRows[] = {80, 280, 480};

// Player card.
constexpr int kFaceX = 1034, kFaceY = 93, kFaceSize = 81;
constexpr int kCardTextX = 1074, kCardNameY = 190, kCoinsY = 238, kBankY = 270;
constexpr int kMailX = 1145, kMailY = 85, kMailW = 46, kMailH = 38;

// Notice band: clip starts at x 250, 495 wide; text top at y 78.
constexpr int kNoticeX = 250, kNoticeW = 495, kNoticeTextY = 78;

// Message view, bottom right: two tabs over a 250 x 325 scroll area.
constexpr int kTabW = 135, kTabH = 30;
constexpr int kViewW = 270, kViewH = kTabH + 350;
constexpr int kViewX = kScreenW - 275, kViewY = kScreenH - kViewH;
constexpr int kScrollX = 5, kScrollY = kTabH + 7, kScrollW = 250, kScrollH = 325;
constexpr int kScrollBarW = 6;

// Description callouts: frames of the tile callout and the lot callout.
constexpr int kCalloutW = 300, kCalloutH = 200, kCalloutPointer = 20;
constexpr int kLotCalloutH = 210;
constexpr int kCalloutTextWidth = 250;
}  // namespace layout
