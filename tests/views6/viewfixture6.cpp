#include "tests/views6/viewfixture6.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <SDL.h>
#include <SDL_image.h>

#include "client/data/buydata.h"
#include "platform/render/glyphrasterizer.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"

namespace views6 {
namespace {

struct ImageFile {
  const char* path;
  int w, h;
  std::uint32_t argb;
};

constexpr ImageFile kImages[] = {
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

bool WritePng(const std::filesystem::path& file, int w, int h, std::uint32_t argb) {
  std::filesystem::create_directories(file.parent_path());
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (s == nullptr) return false;
  SDL_FillRect(s, nullptr, argb);
  const bool ok = IMG_SavePNG(s, file.string().c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

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
  static std::string root;
  if (root.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "views6-assets-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    for (const ImageFile& image : kImages) WritePng(std::filesystem::path(pattern) / image.path, image.w, image.h, image.argb);
    WriteConfig(std::filesystem::path(pattern) / "Velmora/config/AuctionGoodsCfg.xml");
    root = pattern;
  }
  plat::SetAssetRoot(root);
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

CMD_GF_VELMORA_GOODS_ITEM MakeGoods(std::uint32_t goodsId, std::uint32_t tileIndex, const std::string& nameUtf8) {
  CMD_GF_VELMORA_GOODS_ITEM g{};
  g.goodsId = goodsId;
  g.goodsNumber = goodsId % 100;
  g.slot = 1;
  g.tileIndex = tileIndex;
  SetFieldText(g.goodsName, plat::Utf8ToGbk(nameUtf8));
  return g;
}

void SetGoodsList(std::vector<CMD_GF_VELMORA_GOODS_ITEM> records) {
  CBuyData& data = GetBuyData();
  data.SetTraceOutput(nullptr);
  for (std::size_t i = 0; i < records.size(); ++i) records[i].slot = static_cast<std::uint32_t>(i + 1);
  data.UpdateData(records.data(), static_cast<std::uint16_t>(records.size() * sizeof(CMD_GF_VELMORA_GOODS_ITEM)));
}

std::vector<plat::DrawRecord> OfKind(const std::vector<plat::DrawRecord>& log, plat::DrawRecord::Kind kind) {
  std::vector<plat::DrawRecord> out;
  for (const plat::DrawRecord& r : log) {
    if (r.kind == kind) out.push_back(r);
  }
  return out;
}

std::vector<plat::DrawRecord> Images(const std::vector<plat::DrawRecord>& log, const std::string& suffix) {
  std::vector<plat::DrawRecord> out;
  for (const plat::DrawRecord& r : OfKind(log, plat::DrawRecord::Image)) {
    if (r.what.size() >= suffix.size() && r.what.compare(r.what.size() - suffix.size(), suffix.size(), suffix) == 0)
      out.push_back(r);
  }
  return out;
}

std::vector<plat::DrawRecord> TextsAt(const std::vector<plat::DrawRecord>& log, int y) {
  std::vector<plat::DrawRecord> out;
  for (const plat::DrawRecord& r : OfKind(log, plat::DrawRecord::Text)) {
    if (r.y == y) out.push_back(r);
  }
  return out;
}

bool SameColor(const gcn::Color& a, const gcn::Color& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

void ViewTest::SetUp() {
  InstallTestAssets();
  m_device = plat::RenderDevice::CreateHeadless(1280, 720);
  ASSERT_NE(m_device, nullptr);
  m_graphics = std::make_unique<OrvHgeGraphics>(m_device.get());
}

void ViewTest::TearDown() {
  m_graphics.reset();
  m_device.reset();
  GetBuyData().ClearItems();
  UseFakeGlyphs(false);
}

}  // namespace views6
