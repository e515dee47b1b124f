#include "client/views/goodsdescription.h"

#include <algorithm>
#include <string>
#include <vector>

#include "client/data/buydata.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgefont.h"
#include "tests/client/views/windowviewfixture.h"

namespace windowviews {
namespace {

constexpr std::uint32_t kGoodsId = 2001;
const std::string kName = "翡翠手镯";
const std::string kNameLine = "商品名称：翡翠手镯";

// The test descriptions hold no characters that XML would need escaped.
std::string Config(const std::string& descriptionUtf8) {
  return "<?xml version=\"1.0\" encoding=\"GBK\"?><goods><item goodsID=\"" + std::to_string(kGoodsId) +
         "\" description=\"" + plat::Utf8ToGbk(descriptionUtf8) + "\"/></goods>";
}

std::vector<std::string> Utf8(const std::vector<std::u16string>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(plat::Utf16ToUtf8(l));
  return out;
}

class GoodsDescriptionTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    UseFakeGlyphs(true);
    m_description = std::make_unique<CGoodsDescription>();
    m_description->InitResource();
  }
  void TearDown() override {
    m_description.reset();
    ViewTest::TearDown();
  }
  // One candidate at tile `tile` described by `descriptionUtf8` ("" = no catalogue entry).
  void Describe(const std::string& descriptionUtf8, std::uint32_t tile = 0) {
    if (!descriptionUtf8.empty()) {
      ASSERT_TRUE(m_description->Catalogue().LoadText(Config(descriptionUtf8)));
    }
    SetGoodsList({MakeGoods(kGoodsId).Tile(tile).NameUtf8(kName)});
  }
  std::vector<plat::DrawRecord> DrawCallout() {
    return Capture([&](gcn::Graphics* g) { m_description->Draw(g); });
  }

  std::unique_ptr<CGoodsDescription> m_description;
};

TEST_F(GoodsDescriptionTest, GoodsWithoutEntryShowOnlyTheNameLine) {
  Describe("");
  m_description->Show(0, 0, false);
  EXPECT_EQ(Utf8(m_description->GetLines()), std::vector<std::string>{kNameLine});
}

TEST_F(GoodsDescriptionTest, ConfigurationFileIsLoadedWithTheResources) {
  SetGoodsList({MakeGoods(kDescribedGoodsId).Tile(0).NameUtf8(kName)});
  m_description->Show(0, 0, false);
  EXPECT_EQ(Utf8(m_description->GetLines()),
            (std::vector<std::string>{kNameLine, DescribedGoodsTextUtf8()}));
}

TEST_F(GoodsDescriptionTest, WrapKeepsExactly250PixelsOnALine) {
  // 25 characters of 10 pixels: 250 wide, fits.
  Describe(std::string(25, 'a'));
  m_description->Show(0, 0, false);
  EXPECT_EQ(Utf8(m_description->GetLines()), (std::vector<std::string>{kNameLine, std::string(25, 'a')}));

  // One more pixel does not fit: the 1-pixel character opens a new line.
  m_description = std::make_unique<CGoodsDescription>();
  m_description->InitResource();
  Describe(std::string(25, 'a') + "i");
  m_description->Show(0, 0, false);
  EXPECT_EQ(Utf8(m_description->GetLines()),
            (std::vector<std::string>{kNameLine, std::string(25, 'a'), "i"}));
}

TEST_F(GoodsDescriptionTest, LongNameIsNeverWrapped) {
  const std::string longName(31, 'n');  // 310 pixels, the longest name the field holds
  SetGoodsList({MakeGoods(kGoodsId).Tile(0).NameUtf8(longName)});
  m_description->Show(0, 0, false);
  ASSERT_EQ(m_description->GetLines().size(), 1u);
  EXPECT_EQ(plat::Utf16ToUtf8(m_description->GetLines()[0]), "商品名称：" + longName);
}

TEST_F(GoodsDescriptionTest, WrapGivesLongestFittingPrefixes) {
  OrvHgeFont font("x", 12, 0, 0, 0);
  // Mixed widths; '#' alone is wider than a line and still takes one line by itself.
  const std::u16string text = u"ab iii中文字#句子 iiiiiiiiii" + std::u16string(40, u'x') + u"##i";
  std::vector<std::u16string> lines;
  CGoodsDescription::WrapText(font, text, CGoodsDescription::kWrapWidth, &lines);
  std::u16string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::u16string& line = lines[i];
    ASSERT_FALSE(line.empty());
    joined += line;
    if (line.size() > 1) {
      EXPECT_LE(font.getWidth(line), 250) << "line " << i;
    }
    // The next character would not have fitted.
    if (joined.size() < text.size()) {
      EXPECT_GT(font.getWidth(line + text[joined.size()]), 250) << "line " << i;
    }
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), u"#"), 3);
}

TEST_F(GoodsDescriptionTest, TileCalloutsUseTheirColumnsFrame) {
  Describe("abc", 2);
  m_description->Show(0, 2, false);
  auto log = DrawCallout();
  auto frame = Images(log, "Description/Bg.png");
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_EQ(frame[0].x, 220);
  EXPECT_EQ(frame[0].y, 520);
  EXPECT_EQ(frame[0].srcY, 0);
  EXPECT_EQ(frame[0].h, kCalloutH / 2);
  EXPECT_EQ(frame[0].w, kCalloutW);
  auto texts = OfKind(log, plat::DrawRecord::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].x, 250);  // 30 pixels in from the left-column callout
  EXPECT_EQ(texts[0].y, 530);
  EXPECT_EQ(texts[1].y, 550);
  EXPECT_TRUE(SameColor(texts[0].color, gcn::Color(96, 47, 0, 255)));

  SetGoodsList({MakeGoods(kGoodsId).Tile(3).NameUtf8(kName)});
  m_description->Show(0, 3, false);
  log = DrawCallout();
  frame = Images(log, "Description/Bg.png");
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_EQ(frame[0].x, 490);
  EXPECT_EQ(frame[0].y, 120);
  EXPECT_EQ(frame[0].srcY, kCalloutH / 2);
  EXPECT_EQ(frame[0].h, kCalloutH / 2);
  texts = OfKind(log, plat::DrawRecord::Text);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].x, 500);  // 10 pixels in from the right-column callout
  EXPECT_EQ(texts[0].y, 130);
}

TEST_F(GoodsDescriptionTest, TileIndexSixUsesBottomFrameAndSevenDrawsNothing) {
  Describe("abc", 6);
  m_description->Show(0, 6, false);
  auto log = DrawCallout();
  auto frame = Images(log, "Description/Bg.png");
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_EQ(frame[0].x, 760);
  EXPECT_EQ(frame[0].y, 120);
  EXPECT_EQ(frame[0].srcY, kCalloutH / 2);
  EXPECT_LE(frame[0].srcY + frame[0].h, kCalloutH);
  EXPECT_EQ(OfKind(log, plat::DrawRecord::Text).at(0).x, 770);

  for (std::uint32_t tile : {7u, 8u, 0xFFFFFFFFu}) {
    m_description->Show(0, tile, false);
    EXPECT_TRUE(DrawCallout().empty()) << "tile " << tile;
  }
}

TEST_F(GoodsDescriptionTest, AnchoredCalloutStandsAtItsFixedPlace) {
  Describe(std::string(30, 'a'), 4);
  for (std::uint32_t tile : {0u, 4u, 9u}) {
    m_description->Show(0, tile, true);
    const auto log = DrawCallout();
    const auto lot = Images(log, "Description/BgCur.png");
    ASSERT_EQ(lot.size(), 1u);
    EXPECT_EQ(lot[0].x, 365);
    EXPECT_EQ(lot[0].y, 400);
    EXPECT_TRUE(Images(log, "Description/Bg.png").empty());
    const auto texts = OfKind(log, plat::DrawRecord::Text);
    ASSERT_EQ(texts.size(), 3u);  // name, 25 characters, 5 characters
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(texts[i].x, 375);
      EXPECT_EQ(texts[i].y, 425 + 20 * i);
    }
  }
}

TEST_F(GoodsDescriptionTest, HiddenStatesDrawNothing) {
  Describe("abc", 1);
  m_description->Show(0, 1, false);
  ASSERT_FALSE(DrawCallout().empty());
  m_description->Show(7, 7, false);
  EXPECT_TRUE(m_description->GetLines().empty());
  EXPECT_TRUE(DrawCallout().empty());

  // A slot below 7 that holds no item shows no empty frame either.
  m_description->Show(3, 1, false);
  EXPECT_TRUE(DrawCallout().empty());

  // An item with an out-of-range slot number is never found through "nothing" indices.
  CMD_GF_VELMORA_GOODS_ITEM odd = MakeGoods(kGoodsId).Tile(1).NameUtf8(kName);
  GetBuyData().ClearItems();
  odd.slot = 8;
  GetBuyData().UpdateData(&odd, sizeof odd);
  m_description->Show(7, 1, false);
  EXPECT_TRUE(m_description->GetLines().empty());
}

}  // namespace
}  // namespace windowviews
