#pragma once
// Shared set-up for these view tests: a headless device, a private asset folder with plain
// images of known sizes, goods in the process-wide store, the draw log, and a glyph
// rasteriser whose advances are chosen by the test (so pixel widths are exact).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/core/cmd_velmora.h"
#include "platform/render/renderdevice.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/orvhgegraphics.h"

namespace views6 {

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

// A goods record in slot 1 with the given tile index (name as UTF-8).
CMD_GF_VELMORA_GOODS_ITEM MakeGoods(std::uint32_t goodsId, std::uint32_t tileIndex, const std::string& nameUtf8);
// Replaces the store's list; slots are given in list order from 1.
void SetGoodsList(std::vector<CMD_GF_VELMORA_GOODS_ITEM> records);

std::vector<plat::DrawRecord> OfKind(const std::vector<plat::DrawRecord>& log, plat::DrawRecord::Kind kind);
// Image records whose path ends with `suffix`.
std::vector<plat::DrawRecord> Images(const std::vector<plat::DrawRecord>& log, const std::string& suffix);
std::vector<plat::DrawRecord> TextsAt(const std::vector<plat::DrawRecord>& log, int y);
bool SameColor(const gcn::Color& a, const gcn::Color& b);

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs draw with the log recording inside a whole-screen clip; returns what was drawn.
  template <class F>
  std::vector<plat::DrawRecord> Capture(F draw) {
    std::vector<plat::DrawRecord> log;
    plat::ScopedDrawLog scope(&log);
    m_graphics->_beginDraw();
    draw(m_graphics.get());
    m_graphics->_endDraw();
    return log;
  }

  std::unique_ptr<plat::RenderDevice> m_device;
  std::unique_ptr<OrvHgeGraphics> m_graphics;
};

}  // namespace views6
