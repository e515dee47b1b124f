#pragma once
// The game's warm palette: lacquer reds, golds, dark woods and parchment.
#include "tools/assetgen/color.h"

namespace pal {
constexpr Rgba kWine = Hex(0x2a0707);
constexpr Rgba kMaroon = Hex(0x4a0e0e);
constexpr Rgba kCrimson = Hex(0x8e1b1b);
constexpr Rgba kRed = Hex(0xb8281f);
constexpr Rgba kBrightRed = Hex(0xe0452f);
constexpr Rgba kGoldPale = Hex(0xfff1c0);
constexpr Rgba kGoldLight = Hex(0xf4d27a);
constexpr Rgba kGold = Hex(0xd9a93c);
constexpr Rgba kGoldDeep = Hex(0xa8741c);
constexpr Rgba kGoldDark = Hex(0x6b4510);
constexpr Rgba kWoodDark = Hex(0x1c0e07);
constexpr Rgba kWood = Hex(0x3a2011);
constexpr Rgba kWoodLight = Hex(0x6a4024);
constexpr Rgba kParchment = Hex(0xf7ebcf);
constexpr Rgba kParchmentDeep = Hex(0xe6cf9f);
constexpr Rgba kInk = Hex(0x3b210e);
constexpr Rgba kWhite = Hex(0xffffff);
constexpr Rgba kBlack = Hex(0x000000);
constexpr Rgba kShadow = Hex(0x000000, 0.55f);
}  // namespace pal
