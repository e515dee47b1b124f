// Checks the committed assets against what the game draws with them: every
// path it loads, the sizes its coordinates assume, frame layouts, and that
// the areas under the game's texts suit the text colours.
#include <gtest/gtest.h>
#include <iconv.h>
#include <tinyxml.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/assets/testimage.h"

namespace {
const std::string kRoot = VELMORA_ASSET_DIR;
const std::string kImage = "Velmora/Image/";
constexpr int kFrames = 4;

TestImage Open(const std::string& rel) {
  std::optional<TestImage> img = TestImage::Load(kRoot + "/" + rel);
  if (!img) {
    ADD_FAILURE() << "cannot load " << rel;
    return TestImage{};  // empty; the failure is recorded above
  }
  return *img;
}

struct Expected {
  std::string path;
  int w, h;
};

std::vector<Expected> GamePaths() {
  std::vector<Expected> v = {
      {"Bg.jpg", 1280, 720},
      {"BtMail.png", 4 * 46, 38},
      {"BuyDlg/BtBuy.png", 4 * 152, 48},
      {"BuyDlg/BtAdd.png", 4 * 28, 28},
      {"BuyDlg/BtReduce.png", 4 * 28, 28},
      {"BuyDlg/EditBg.png", 70, 26},
      {"BuyDlg/GoodsNum.png", 10 * 16, 24},
      {"BuyDlg/TimeNum.png", 10 * 14, 20},
      {"BuyDlg/TimeQuote.png", 8, 20},
      {"BuyDlg/Txt_Time.png", 84, 22},
      {"GoodsItem/ItemBg.png", 140, 180},
      {"GoodsItem/TxtSellStatus.png", 106, 3 * 30},
      {"GoodsItem/mrwt_btn_like.png", 4 * 54, 33},
      {"GoodsItem/mrwt_bg_like.png", 80, 33},
      {"MessageBox/Bg.png", 340, 170},
      {"MessageBox/Success.png", 40, 40},
      {"MessageBox/NextGoodsBg.png", 210, 26},
      {"MessageBox/BtRed.png", 4 * 128, 40},
      {"SellRecord/Bg.png", 488, 370},
      {"SellRecord/BtClose.png", 4 * 28, 28},
      {"SellRecord/BtLeft.png", 4 * 28, 24},
      {"SellRecord/BtRight.png", 4 * 28, 24},
      {"MessageView/Scroll.png", 6, 56},
      {"MessageView/BtLuckyUser.png", 4 * 135, 30},
      {"MessageView/BtMyBuy.png", 4 * 135, 30},
      {"Description/Bg.png", 300, 2 * 200},
      {"Description/BgCur.png", 300, 210},
      {"RuleInfo.png", 520, 420},
  };
  for (Expected& e : v) e.path = kImage + e.path;
  for (int i = 1; i <= 12; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "RozeZizar/VelmoraGoods/goods_%02d.png", i);
    v.push_back({name, 290, 240});
  }
  for (int i = 0; i < 6; ++i) v.push_back({"Frame/Face/face_" + std::to_string(i) + ".png", 96, 96});
  return v;
}

TEST(AssetFiles, EveryPathTheGameLoadsDecodesWithItsSize) {
  for (const Expected& e : GamePaths()) {
    std::optional<TestImage> img = TestImage::Load(kRoot + "/" + e.path);
    ASSERT_TRUE(img.has_value()) << e.path;
    EXPECT_EQ(img->Width(), e.w) << e.path;
    EXPECT_EQ(img->Height(), e.h) << e.path;
  }
}

TEST(AssetLayout, ButtonStripsHoldFourDistinctVisibleFrames) {
  const char* strips[] = {"BtMail.png",          "BuyDlg/BtBuy.png",        "BuyDlg/BtAdd.png",
                          "BuyDlg/BtReduce.png", "MessageBox/BtRed.png",    "SellRecord/BtClose.png",
                          "SellRecord/BtLeft.png", "SellRecord/BtRight.png", "MessageView/BtLuckyUser.png",
                          "MessageView/BtMyBuy.png"};
  for (const char* s : strips) {
    const TestImage img = Open(kImage + s);
    ASSERT_EQ(img.Width() % kFrames, 0) << s;
    const int fw = img.Width() / kFrames, fh = img.Height();
    for (int f = 0; f < kFrames; ++f) EXPECT_GT(img.OpaqueShare(f * fw, 0, fw, fh), 0.5) << s << " frame " << f;
    // Hover, pressed and disabled must each look different from normal.
    for (int f = 1; f < kFrames; ++f) EXPECT_GT(img.Difference(0, 0, f * fw, 0, fw, fh), 3.0) << s << " frame " << f;
  }
}

TEST(AssetLayout, StackedAndStripFramesDiffer) {
  const TestImage status = Open(kImage + "GoodsItem/TxtSellStatus.png");
  const int third = status.Height() / 3;
  EXPECT_EQ(status.Height() % 3, 0);
  EXPECT_GT(status.Difference(0, 0, 0, third, status.Width(), third), 5.0);
  EXPECT_GT(status.Difference(0, third, 0, 2 * third, status.Width(), third), 5.0);
  EXPECT_GT(status.Difference(0, 0, 0, 2 * third, status.Width(), third), 5.0);

  const TestImage like = Open(kImage + "GoodsItem/mrwt_btn_like.png");
  const int used[] = {0, 1, 3};  // hovered, liked, normal
  for (int a : used)
    for (int b : used)
      if (a < b) {
        EXPECT_GT(like.Difference(54 * a, 0, 54 * b, 0, 54, 33), 2.0) << a << " vs " << b;
      }
}

// The windows place their controls at fixed points; the images must leave room.
TEST(AssetLayout, ControlsFitInsideTheirWindows) {
  const TestImage box = Open(kImage + "MessageBox/Bg.png");
  const TestImage red = Open(kImage + "MessageBox/BtRed.png");
  const int redW = red.Width() / kFrames;
  EXPECT_EQ(redW, 128) << "captions are centred on x 64";
  EXPECT_LE(188 + redW, box.Width());
  EXPECT_LE(120 + red.Height(), box.Height());
  EXPECT_LE(23 + redW, 188) << "buy-all and cancel overlap";
  const TestImage strip = Open(kImage + "MessageBox/NextGoodsBg.png");
  EXPECT_EQ(65 + strip.Width() / 2, 170) << "the next-lot text is centred on x 170";

  const TestImage record = Open(kImage + "SellRecord/Bg.png");
  const TestImage close = Open(kImage + "SellRecord/BtClose.png");
  const TestImage left = Open(kImage + "SellRecord/BtLeft.png");
  const TestImage right = Open(kImage + "SellRecord/BtRight.png");
  EXPECT_LE(448 + close.Width() / kFrames, record.Width());
  EXPECT_LE(185 + left.Width() / kFrames, 244 - 16) << "previous button runs into the page indicator";
  EXPECT_LE(279 + right.Width() / kFrames, record.Width());
  EXPECT_LE(330 + right.Height(), record.Height());

  // The close button (3 from the right, 4 from the top) sits on the frame, not on the rules text.
  const TestImage rule = Open(kImage + "RuleInfo.png");
  const int closeW = close.Width() / kFrames;
  EXPECT_LT(rule.Lightness(rule.Width() - closeW - 3, 4, closeW, close.Height()), 0.4);

  const TestImage tab = Open(kImage + "MessageView/BtLuckyUser.png");
  EXPECT_LE(2 * (tab.Width() / kFrames), 270);

  const TestImage edit = Open(kImage + "BuyDlg/EditBg.png");
  const TestImage reduce = Open(kImage + "BuyDlg/BtReduce.png");
  EXPECT_LE(189 + reduce.Width() / kFrames, 219);
  EXPECT_LE(219 + edit.Width(), 294) << "edit frame runs under the add button";
  EXPECT_GE(edit.Width(), 5 + 60);
  EXPECT_GE(edit.Height(), 2 + 22);

  const TestImage card = Open(kImage + "GoodsItem/ItemBg.png");
  const TestImage likeBg = Open(kImage + "GoodsItem/mrwt_bg_like.png");
  const TestImage status = Open(kImage + "GoodsItem/TxtSellStatus.png");
  EXPECT_LE(56 + likeBg.Width(), card.Width());
  EXPECT_GE(card.Height(), 175);
  EXPECT_GE(card.Width(), 122);
  EXPECT_LE(17 + status.Width(), card.Width());
  EXPECT_NEAR(56 + likeBg.Width() / 2.0, 97, 2) << "the like count is centred on x 97";
}

TEST(AssetLayout, CalloutsStayOnScreen) {
  const TestImage tiles = Open(kImage + "Description/Bg.png");
  const TestImage lot = Open(kImage + "Description/BgCur.png");
  ASSERT_EQ(tiles.Height() % 2, 0);
  const int h = tiles.Height() / 2;
  EXPECT_LE(490 + tiles.Width(), 800) << "right-column callout covers its tile";
  EXPECT_LE(120 + 200 * 2 + h, 720);
  EXPECT_LE(365 + lot.Width(), 1280);
  EXPECT_LE(400 + lot.Height(), 720);
  // Nine text lines (name and eight description lines) every 20 pixels.
  EXPECT_GE(h, 10 + 20 * 8 + 12);
  EXPECT_GE(lot.Height(), 25 + 20 * 8 + 12);
}

TEST(AssetContent, CalloutPointersFaceTheirTiles) {
  const TestImage tiles = Open(kImage + "Description/Bg.png");
  const int h = tiles.Height() / 2, w = tiles.Width();
  // Top frame (left column): the body leaves a margin on the left that only
  // the pointer crosses, level with the tile's picture.
  EXPECT_GT(tiles.OpaqueShare(4, 26, 8, 8), 0.5);
  EXPECT_LT(tiles.OpaqueShare(4, 100, 8, 40), 0.05);
  EXPECT_GT(tiles.OpaqueShare(w - 12, 100, 8, 40), 0.9);
  // Bottom frame (right column): the other way round.
  EXPECT_GT(tiles.OpaqueShare(w - 12, h + 26, 8, 8), 0.5);
  EXPECT_LT(tiles.OpaqueShare(w - 12, h + 100, 8, 40), 0.05);
  EXPECT_GT(tiles.OpaqueShare(4, h + 100, 8, 40), 0.9);
  // The lot callout points up at the picture centre (x 497 on screen, callout at 365).
  const TestImage lot = Open(kImage + "Description/BgCur.png");
  EXPECT_GT(lot.OpaqueShare(497 - 365 - 3, 4, 6, 6), 0.5);
  EXPECT_LT(lot.OpaqueShare(20, 4, 60, 6), 0.05);
}

// Light game texts need dark ground and dark texts light ground.
TEST(AssetContent, GroundsSuitTheGameTextColours) {
  const TestImage bg = Open(kImage + "Bg.jpg");
  EXPECT_LT(bg.Lightness(400, 447, 180, 12), 0.25) << "panel labels are light beige";
  EXPECT_LT(bg.Lightness(460, 136, 74, 14), 0.45) << "lot name";
  EXPECT_LT(bg.Lightness(300, 79, 400, 14), 0.25) << "notice band text is light grey";
  EXPECT_LT(bg.Lightness(1030, 191, 88, 11), 0.3) << "player name";
  EXPECT_LT(bg.Lightness(1078, 240, 150, 10), 0.25) << "coins";
  EXPECT_LT(bg.Lightness(1078, 272, 150, 10), 0.25) << "second amount";
  EXPECT_GT(bg.Lightness(1015, 385, 235, 300), 0.75) << "message view text is black";

  const TestImage card = Open(kImage + "GoodsItem/ItemBg.png");
  EXPECT_LT(card.Lightness(30, 11, 80, 11), 0.3) << "tile name";
  EXPECT_LT(card.Lightness(40, 122, 60, 9), 0.3) << "tile value";
  EXPECT_GT(Open(kImage + "GoodsItem/mrwt_bg_like.png").Lightness(25, 10, 32, 14), 0.75) << "like count is black";
  EXPECT_GT(Open(kImage + "BuyDlg/EditBg.png").Lightness(5, 4, 60, 18), 0.7) << "share count and caret are black";
  EXPECT_LT(Open(kImage + "MessageBox/Bg.png").Lightness(40, 18, 260, 70), 0.3) << "box texts are white";
  EXPECT_LT(Open(kImage + "MessageBox/NextGoodsBg.png").Lightness(30, 7, 150, 12), 0.25);

  const TestImage record = Open(kImage + "SellRecord/Bg.png");
  EXPECT_GT(record.Lightness(20, 110, 448, 200), 0.7) << "rows are dark brown";
  EXPECT_GT(record.Lightness(20, 86, 448, 12), 0.6) << "header is red";
  EXPECT_LT(record.Lightness(226, 337, 36, 12), 0.2) << "page indicator is white";

  const TestImage tiles = Open(kImage + "Description/Bg.png");
  EXPECT_GT(tiles.Lightness(30, 30, 250, 150), 0.75) << "description text is brown";
  EXPECT_GT(tiles.Lightness(10, 230, 250, 150), 0.75);
  EXPECT_GT(Open(kImage + "Description/BgCur.png").Lightness(10, 45, 260, 150), 0.75);
}

TEST(AssetContent, RulePictureCarriesText) {
  const TestImage rule = Open(kImage + "RuleInfo.png");
  int ink = 0, total = 0;
  for (int y = 70; y < 360; ++y)
    for (int x = 60; x < 480; ++x, ++total) {
      const Pixel p = rule.At(x, y);
      ink += (0.3 * p.r + 0.59 * p.g + 0.11 * p.b) < 100 ? 1 : 0;
    }
  EXPECT_GT(static_cast<double>(ink) / total, 0.03);
}

TEST(AssetContent, ScrollSkinStretchesCleanly) {
  const TestImage s = Open(kImage + "MessageView/Scroll.png");
  ASSERT_EQ(s.Width(), 6);
  for (int y = 17; y < 32; ++y) EXPECT_EQ(s.Difference(0, 16, 0, y, 6, 1), 0.0) << "track row " << y;
  for (int y = 39; y < 50; ++y) EXPECT_EQ(s.Difference(0, 38, 0, y, 6, 1), 0.0) << "thumb row " << y;
  EXPECT_GT(s.Difference(0, 0, 0, 8, 6, 8), 5.0) << "up and down arrows look alike";
}

TEST(AssetContent, GoodsPicturesAreOpaqueAndDistinct) {
  std::vector<TestImage> goods;
  for (int i = 1; i <= 12; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "RozeZizar/VelmoraGoods/goods_%02d.png", i);
    goods.push_back(Open(name));
    EXPECT_EQ(goods.back().OpaqueShare(0, 0, 290, 240), 1.0) << name;
  }
  for (size_t a = 0; a < goods.size(); ++a)
    for (size_t b = a + 1; b < goods.size(); ++b) {
      double sum = 0;
      for (int y = 0; y < 240; y += 2)
        for (int x = 0; x < 290; x += 2) {
          const Pixel p = goods[a].At(x, y), q = goods[b].At(x, y);
          sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
        }
      EXPECT_GT(sum / (145.0 * 120 * 3), 8.0) << "goods " << a + 1 << " and " << b + 1 << " look alike";
    }
}

std::string GbkToUtf8(const std::string& gbk, bool* ok) {
  iconv_t cd = iconv_open("UTF-8", "GBK");
  std::string in = gbk, out(gbk.size() * 2 + 8, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t srcLeft = in.size(), dstLeft = out.size();
  *ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0;
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

size_t CodePoints(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

TEST(GoodsConfig, GbkFileDescribesEveryCatalogueGoods) {
  TiXmlDocument doc((kRoot + "/Velmora/config/AuctionGoodsCfg.xml").c_str());
  ASSERT_TRUE(doc.LoadFile()) << doc.ErrorDesc();
  const TiXmlDeclaration* decl = doc.FirstChild() ? doc.FirstChild()->ToDeclaration() : nullptr;
  ASSERT_NE(decl, nullptr);
  EXPECT_STREQ(decl->Encoding(), "GBK");
  const TiXmlElement* root = doc.RootElement();
  ASSERT_NE(root, nullptr);
  const char* names[] = {"金龙手表", "翡翠手镯", "智能手机", "笔记本电脑", "山地自行车", "电动滑板车",
                         "单反相机", "游戏主机", "蓝牙耳机", "黄金项链", "平板电脑", "咖啡机"};
  int index = 0;
  for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement(), ++index) {
    ASSERT_LT(index, 12);
    ASSERT_NE(e->Attribute("goodsID"), nullptr);
    EXPECT_EQ(std::atoi(e->Attribute("goodsID")), 1001 + index);
    const char* desc = e->Attribute("description");
    ASSERT_NE(desc, nullptr);
    bool ok = false;
    const std::string text = GbkToUtf8(desc, &ok);
    EXPECT_TRUE(ok) << "description of " << 1001 + index << " is not GBK";
    EXPECT_GE(CodePoints(text), 60u);
    EXPECT_LE(CodePoints(text), 200u);
    EXPECT_EQ(text.find('\n'), std::string::npos) << "a line break would be drawn as a glyph";
    const std::string name = e->Attribute("name") ? GbkToUtf8(e->Attribute("name"), &ok) : "";
    EXPECT_EQ(name, names[index]);
  }
  EXPECT_EQ(index, 12);
}
}  // namespace
