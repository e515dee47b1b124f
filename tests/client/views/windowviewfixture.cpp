#include "tests/client/views/windowviewfixture.h"

#include <filesystem>
#include <fstream>

#include "client/data/buydata.h"
#include "platform/render/glyphrasterizer.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"
#include "tests/common/testassetdir.h"

namespace windowviews {
namespace {

constexpr testutil::TestImage kImages[] = {
    {"Velmora/Image/SellRecord/Bg.png", kHistoryW, kHistoryH, 0xFF503020},
    {"Velmora/Image/SellRecord/BtClose.png", 4 * kCloseFrameW, kCloseH, 0xFFC03030},
    {"Velmora/Image/SellRecord/BtLeft.png", 4 * kPageFrameW, kPageH, 0xFF30C030},
    {"Velmora/Image/SellRecord/BtRight.png", 4 * kPageFrameW, kPageH, 0xFF3030C0},
    {"Velmora/Image/Description/Bg.png", kCalloutW, kCalloutH, 0xFFF0E0C0},
    {"Velmora/Image/Description/BgCur.png", kLotCalloutW, kLotCalloutH, 0xFFE0D0B0},
    {"Velmora/Image/RuleInfo.png", kRuleW, kRuleH, 0xFF204060},
    {"Velmora/Image/MessageView/Scroll.png", 12, 56, 0xFFC0A060},
    {"Velmora/Image/MessageView/BtLuckyUser.png", 4 * kTabFrameW, kTabH, 0xFFA02020},
    {"Velmora/Image/MessageView/BtMyBuy.png", 4 * kTabFrameW, kTabH, 0xFF2020A0},
};

void WriteConfig(const std::filesystem::path& file) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<goods>\n"
      << "<item goodsID=\"" << kDescribedGoodsId << "\" description=\"" << plat::Utf8ToGbk(DescribedGoodsTextUtf8())
      << "\"/>\n</goods>\n";
}

// Glyph boxes of 1 x 1 with the advance the test chose.
class FakeRasterizer : public plat::GlyphRasterizer {
 public:
  bool CreateFont(const std::string&, int heightPx, int, bool) override { return heightPx > 0; }
  int Ascent() const override { return 10; }
  long GetGlyph(char16_t code, unsigned format, plat::GlyphMetrics* metrics, unsigned bufferSize,
                void* buffer) override {
    const unsigned rowBytes = plat::GlyphRowBytes(format, 1);
    if (rowBytes == 0) return plat::GDI_ERROR;
    if (metrics) *metrics = plat::GlyphMetrics{1, 1, 0, 1, static_cast<short>(FakeAdvance(code)), 0};
    if (buffer == nullptr || bufferSize == 0) return rowBytes;
    if (bufferSize < rowBytes) return plat::GDI_ERROR;
    auto* bytes = static_cast<unsigned char*>(buffer);
    for (unsigned i = 0; i < rowBytes; ++i) bytes[i] = 0;
    bytes[0] = format == plat::GGO_BITMAP ? 0x80 : 64;
    return rowBytes;
  }
};

std::unique_ptr<plat::GlyphRasterizer> MakeFake() { return std::make_unique<FakeRasterizer>(); }

}  // namespace

const std::string& DescribedGoodsTextUtf8() {
  static const std::string text = "纯金打造的手表";
  return text;
}

void InstallTestAssets() {
  // Written once per run into a folder removed at exit.
  static const testutil::TestAssetDir assets("windowviews-assets");
  static const bool written = [] {
    if (!assets.WriteImages(kImages)) return false;
    WriteConfig(assets.Path("Velmora/config/AuctionGoodsCfg.xml"));
    return true;
  }();
  static_cast<void>(written);
  plat::SetAssetRoot(assets.Root());
}

int FakeAdvance(char16_t c) {
  switch (c) {
    case u'i':
      return 1;
    case u'#':
      return 300;
    case u' ':
      return 5;
    default:
      return 10;
  }
}

void UseFakeGlyphs(bool on) { plat::SetRasterizerFactory(on ? &MakeFake : nullptr); }

std::vector<plat::DrawRecord> TextsAt(const std::vector<plat::DrawRecord>& log, int y) {
  std::vector<plat::DrawRecord> out;
  for (const plat::DrawRecord& r : testutil::OfKind(log, plat::DrawRecord::Text)) {
    if (r.y == y) out.push_back(r);
  }
  return out;
}

void ViewTest::SetUp() {
  InstallTestAssets();
  DrawTest::SetUp();
}

void ViewTest::TearDown() {
  DrawTest::TearDown();
  GetBuyData().ClearItems();
  UseFakeGlyphs(false);
}

}  // namespace windowviews
