#pragma once
// Shared set-up of the window view tests (sale history, messages, description, rules, chat): a
// headless device, a private asset folder with plain images of known sizes, goods in the
// process-wide store, the draw log, and a glyph rasteriser whose advances are chosen by the
// test (so pixel widths are exact).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "platform/toolkit/drawlog.h"
#include "tests/common/drawlogquery.h"
#include "tests/common/drawtest.h"
#include "tests/common/goodslist.h"
#include "testing/goodsrecord.h"

namespace windowviews {

// Sizes of the test images.
constexpr int kHistoryW = 490, kHistoryH = 370;
constexpr int kCloseFrameW = 28, kCloseH = 28;
constexpr int kPageFrameW = 28, kPageH = 24;
constexpr int kCalloutW = 300, kCalloutH = 400;  // two frames of 200
constexpr int kLotCalloutW = 320, kLotCalloutH = 210;
constexpr int kRuleW = 500, kRuleH = 420;
constexpr int kTabFrameW = 135, kTabH = 30;

// Goods ids the test configuration file describes.
constexpr std::uint32_t kDescribedGoodsId = 1001;
const std::string& DescribedGoodsTextUtf8();

// Writes the test images and the configuration file once and points the asset root there.
void InstallTestAssets();

// Advances of the test rasteriser: 'i' 1, '#' 300, ' ' 5, every other character 10 pixels.
int FakeAdvance(char16_t c);
// Makes every font created from now on use the test rasteriser (nullptr factory restores).
void UseFakeGlyphs(bool on);

using veltest::MakeGoods;

// Store and draw-log helpers the tests use by their short names.
using testutil::Images;
using testutil::OfKind;
using testutil::SameColor;
using testutil::SetGoodsList;

std::vector<plat::DrawRecord> TextsAt(const std::vector<plat::DrawRecord>& log, int y);

// The test images and configuration, a device and the graphics (Capture draws on a
// whole-screen clip); fonts go back to the real rasteriser afterwards.
class ViewTest : public testutil::DrawTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace windowviews
