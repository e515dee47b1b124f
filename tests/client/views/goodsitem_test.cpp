#include "client/views/goodsitem.h"

#include <climits>

#include "client/views/goodsimage.h"
#include "platform/toolkit/orvhgeimage.h"
#include "tests/client/views/storeviewfixture.h"

namespace storeviews {
namespace {

constexpr int kX = 800, kY = 280;

class GoodsItemTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    CGoodsItem::InitSharedResource();
    m_tile.SetPosition(kX, kY);
  }
  Log Draw(const CMD_GF_VELMORA_GOODS_ITEM& goods) {
    return Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<const CBSceneItem*>(&goods)); });
  }
  CGoodsItem m_tile;
};

TEST_F(GoodsItemTest, LikeAreaAppearsFromTheSecondFrame) {
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(501).State(GOODS_STATE_CANDIDATE).Value(3888)
      .NameUtf8("智能手机").Picture("goods_01.png");
  goods.goodsValue = 4999;
  goods.likeCount = 17;
  EXPECT_TRUE(Capture([&](gcn::Graphics* g) { m_tile.Draw(g, nullptr); }).empty());

  Log first = Draw(goods);
  ASSERT_EQ(Find(first, Kind::Image, "goods_01.png").size(), 1u);
  EXPECT_EQ(Find(first, Kind::Image, "goods_01.png")[0].x, kX + 19);
  EXPECT_FLOAT_EQ(Find(first, Kind::Image, "goods_01.png")[0].vscale, 0.355f);
  EXPECT_TRUE(Find(first, Kind::Image, "mrwt_bg_like.png").empty());
  EXPECT_TRUE(Find(first, Kind::Image, "mrwt_btn_like.png").empty());
  EXPECT_EQ(Texts(first), (std::vector<std::string>{"智能手机", "价值 4999"}));

  Log second = Draw(goods);
  ASSERT_EQ(Find(second, Kind::Image, "mrwt_bg_like.png").size(), 1u);
  EXPECT_EQ(Find(second, Kind::Image, "mrwt_bg_like.png")[0].x, kX + 56);
  const Log button = Find(second, Kind::Image, "mrwt_btn_like.png");
  ASSERT_EQ(button.size(), 1u);
  EXPECT_EQ(button[0].x, kX + 2);
  EXPECT_EQ(button[0].y, kY + 142);
  EXPECT_EQ(button[0].w, 54);
  EXPECT_EQ(button[0].srcX, 54 * CGoodsItem::kLikeFrameNormal);
  // The item's count, never the "0" the font was created with.
  const Log count = Find(second, Kind::Text, "17");
  ASSERT_EQ(count.size(), 1u);
  EXPECT_EQ(count[0].x, kX + 97 - count[0].w / 2);
  EXPECT_EQ(count[0].y, kY + 147);
  EXPECT_TRUE(SameColor(count[0].color, gcn::Color(0, 0, 0, 255)));

  goods.goodsValue = 0;
  goods.likeCount = 0;
  EXPECT_EQ(Texts(Draw(goods)), (std::vector<std::string>{"智能手机", "价值 0", "0"}));
}

TEST_F(GoodsItemTest, SaleStatusStripShowsTheThirdOfTheState) {
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(502).State(GOODS_STATE_SOLD).Value(3888)
      .NameUtf8("单反相机").Picture("goods_01.png");
  const Log sold = Find(Draw(goods), Kind::Image, "TxtSellStatus.png");
  ASSERT_EQ(sold.size(), 1u);
  EXPECT_EQ(sold[0].srcY, kStripH / 3);
  EXPECT_EQ(sold[0].h, kStripH / 3);
  EXPECT_EQ(sold[0].w, kStripW);
  EXPECT_EQ(sold[0].x, kX + 17);
  EXPECT_EQ(sold[0].y, kY + 40);
  goods.state = GOODS_STATE_FAILED;
  EXPECT_EQ(Find(Draw(goods), Kind::Image, "TxtSellStatus.png").at(0).srcY, 2 * kStripH / 3);
  for (std::uint32_t state : {GOODS_STATE_CANDIDATE, 4u, 0xFFFFFFFFu}) {
    goods.state = state;
    EXPECT_TRUE(Find(Draw(goods), Kind::Image, "TxtSellStatus.png").empty()) << state;
  }
}

TEST_F(GoodsItemTest, HitAreasIncludeTheirBounds) {
  for (auto [mx, my] : {std::pair{kX, kY + 142}, {kX + 54, kY + 175}}) {
    m_tile.OnMouseMove(mx, my);
    EXPECT_TRUE(m_tile.IsHover());
    EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameHover);
  }
  for (auto [mx, my] : {std::pair{kX - 1, kY + 150}, {kX + 55, kY + 150}, {kX + 10, kY + 141}, {kX + 10, kY + 176}}) {
    m_tile.OnMouseMove(mx, my);
    EXPECT_FALSE(m_tile.IsHover());
    EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameNormal);
  }
  EXPECT_TRUE(m_tile.OnMouseMove(kX + 19, kY + 27));
  EXPECT_TRUE(m_tile.OnMouseMove(kX + 122, kY + 112));
  EXPECT_FALSE(m_tile.OnMouseMove(kX + 123, kY + 112));
  EXPECT_FALSE(m_tile.OnMouseMove(kX + 122, kY + 113));
  EXPECT_FALSE(m_tile.OnMouseMove(INT_MIN, INT_MAX));  // no overflow into a hit
}

TEST_F(GoodsItemTest, LikedTileKeepsItsFrameUnderTheMouse) {
  const int bx = kX + 20, by = kY + 150;
  m_tile.SetLiked(true);
  m_tile.OnMouseMove(bx, by);
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameLiked);
  EXPECT_TRUE(m_tile.IsHover());
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(503).State(GOODS_STATE_CANDIDATE).Value(3888)
      .NameUtf8("游戏主机").Picture("goods_01.png");
  Draw(goods);
  EXPECT_EQ(Find(Draw(goods), Kind::Image, "mrwt_btn_like.png").at(0).srcX, 54 * CGoodsItem::kLikeFrameLiked);

  // Unliked under the mouse: normal until the next move.
  m_tile.SetLiked(false);
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameNormal);
  m_tile.OnMouseMove(bx, by);
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameHover);
}

TEST_F(GoodsItemTest, TileIndexFromTheServerIsCheckedBeforeUse) {
  CGoodsItem tiles[kGoodsTileCount];
  EXPECT_EQ(GoodsTileAt(tiles, 6), &tiles[6]);
  EXPECT_EQ(GoodsTileAt(tiles, 7), nullptr);
  EXPECT_EQ(GoodsTileAt(tiles, 0xFFFFFFFFu), nullptr);
}

// The cache is process-wide: every case uses goods ids of its own.
TEST_F(GoodsItemTest, PictureCacheIsKeyedByGoodsIdAlone) {
  OrvHgeImage* a = GetGoodsImage(601, "goods_01.png");
  OrvHgeImage* b = GetGoodsImage(602, "goods_01.png");
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(GetGoodsImage(601, "goods_02.png"), a);
  // A file that gives nothing is retried at the next lookup.
  EXPECT_EQ(GetGoodsImage(603, "not_there.png"), nullptr);
  ASSERT_NE(GetGoodsImage(603, "goods_02.png"), nullptr);
  EXPECT_EQ(GetGoodsImage(603, "goods_01.png")->Path(), "RozeZizar/VelmoraGoods/goods_02.png");
}

// Ids come from the server without end; the cache keeps the pictures used most recently.
TEST_F(GoodsItemTest, PictureCacheHoldsABoundedNumberAndKeepsTheRecentlyUsed) {
  constexpr std::uint32_t kFirst = 10000;
  constexpr std::uint32_t kKept = 9999;
  OrvHgeImage* kept = GetGoodsImage(kKept, "goods_01.png");
  ASSERT_NE(kept, nullptr);
  for (std::uint32_t i = 0; i < 3 * kMaxGoodsPictures; ++i) {
    ASSERT_NE(GetGoodsImage(kFirst + i, i % 2 ? "goods_01.png" : "goods_02.png"), nullptr);
    EXPECT_LE(GoodsImageCount(), kMaxGoodsPictures);
    EXPECT_EQ(GetGoodsImage(kKept, "goods_02.png"), kept);  // drawn every frame: stays
  }
  EXPECT_EQ(GoodsImageCount(), kMaxGoodsPictures);
  // The newest ids are all there, the oldest went first.
  for (std::uint32_t i = 2 * kMaxGoodsPictures + 1; i < 3 * kMaxGoodsPictures; ++i)
    EXPECT_TRUE(HasGoodsImage(kFirst + i)) << i;
  EXPECT_FALSE(HasGoodsImage(kFirst));
  EXPECT_FALSE(HasGoodsImage(kFirst + 2 * kMaxGoodsPictures - 1));
  // An id pushed out loads again, with the name given now.
  OrvHgeImage* back = GetGoodsImage(kFirst, "goods_01.png");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Path(), "RozeZizar/VelmoraGoods/goods_01.png");
  EXPECT_EQ(GoodsImageCount(), kMaxGoodsPictures);
}

TEST_F(GoodsItemTest, PictureNamesThatLeaveTheFolderAreRefused) {
  for (const char* name : {"../goods_01.png", "..", "sub/goods_01.png", "sub\\goods_01.png", "/etc/passwd", ""})
    EXPECT_EQ(GetGoodsImage(604, name), nullptr) << name;
  EXPECT_EQ(GetGoodsImage(604, std::string_view("goods_01.png\0x", 14)), nullptr);
  EXPECT_FALSE(IsSafePictureName(".."));
  EXPECT_FALSE(IsSafePictureName("goods..png"));
  EXPECT_TRUE(IsSafePictureName("goods_01.png"));
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(605).State(GOODS_STATE_CANDIDATE).Value(3888)
      .NameUtf8("蓝牙耳机").Picture("../VelmoraGoods/goods_01.png");
  Log log = Draw(goods);
  EXPECT_TRUE(Find(log, Kind::Image, "goods_01.png").empty());
  EXPECT_EQ(Texts(log), (std::vector<std::string>{"蓝牙耳机", "价值 3888"}));
  EXPECT_NE(GetGoodsImage(604, "goods_01.png"), nullptr);
}

}  // namespace
}  // namespace storeviews
