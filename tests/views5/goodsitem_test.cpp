#include "client/views/goodsitem.h"

#include <climits>

#include "client/views/goodsimage.h"
#include "platform/toolkit/orvhgeimage.h"
#include "tests/views5/viewfixture.h"

namespace views5 {
namespace {

using Kind = plat::DrawRecord::Kind;

constexpr int kTileX = 800, kTileY = 280;

class GoodsItemTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    CGoodsItem::InitSharedResource();
    m_tile.SetPosition(kTileX, kTileY);
  }
  CGoodsItem m_tile;
};

TEST_F(GoodsItemTest, LikeAreaAppearsFromTheSecondFrame) {
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(501, GOODS_STATE_CANDIDATE, "智能手机", "goods_01.png");
  goods.goodsValue = 4999;
  goods.likeCount = 17;
  const CBSceneItem* item = static_cast<const CBSceneItem*>(&goods);

  auto first = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, item); });
  EXPECT_EQ(Find(first, Kind::Image, "ItemBg.png").size(), 1u);
  ASSERT_EQ(Find(first, Kind::Image, "goods_01.png").size(), 1u);
  EXPECT_TRUE(Find(first, Kind::Image, "mrwt_bg_like.png").empty());
  EXPECT_TRUE(Find(first, Kind::Image, "mrwt_btn_like.png").empty());
  EXPECT_EQ(Texts(first), (std::vector<std::string>{"智能手机", "价值 4999"}));

  const plat::DrawRecord pic = Find(first, Kind::Image, "goods_01.png")[0];
  EXPECT_EQ(pic.x, kTileX + 19);
  EXPECT_EQ(pic.y, kTileY + 27);
  EXPECT_FLOAT_EQ(pic.hscale, 0.355f);
  EXPECT_FLOAT_EQ(pic.vscale, 0.355f);

  auto second = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, item); });
  const auto bg = Find(second, Kind::Image, "mrwt_bg_like.png");
  ASSERT_EQ(bg.size(), 1u);
  EXPECT_EQ(bg[0].x, kTileX + 56);
  EXPECT_EQ(bg[0].y, kTileY + 142);
  const auto button = Find(second, Kind::Image, "mrwt_btn_like.png");
  ASSERT_EQ(button.size(), 1u);
  EXPECT_EQ(button[0].x, kTileX + 2);
  EXPECT_EQ(button[0].y, kTileY + 142);
  EXPECT_EQ(button[0].w, 54);
  EXPECT_EQ(button[0].h, 33);
  EXPECT_EQ(button[0].srcX, 54 * CGoodsItem::kLikeFrameNormal);
  // The count is the item's, never the "0" the font was created with.
  const auto count = Find(second, Kind::Text, "17");
  ASSERT_EQ(count.size(), 1u);
  EXPECT_EQ(count[0].x, kTileX + 97 - count[0].w / 2);
  EXPECT_EQ(count[0].y, kTileY + 147);
  EXPECT_TRUE(SameColor(count[0].color, gcn::Color(0, 0, 0, 255)));
  EXPECT_TRUE(Find(second, Kind::Text, "0").empty());
}

TEST_F(GoodsItemTest, NullItemDrawsNothingAndCreatesNothing) {
  auto log = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, nullptr); });
  EXPECT_TRUE(log.empty());
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(502, GOODS_STATE_CANDIDATE, "咖啡机", "goods_02.png");
  // Still the first frame of this tile: no like area yet.
  auto first = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<CBSceneItem*>(&goods)); });
  EXPECT_TRUE(Find(first, Kind::Image, "mrwt_btn_like.png").empty());
}

TEST_F(GoodsItemTest, ZeroValueAndLikesAreDrawnAsZero) {
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(503, GOODS_STATE_CANDIDATE, "咖啡机", "goods_02.png");
  goods.goodsValue = 0;
  goods.likeCount = 0;
  m_tile.Draw(m_graphics.get(), static_cast<CBSceneItem*>(&goods));
  auto log = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<CBSceneItem*>(&goods)); });
  EXPECT_EQ(Find(log, Kind::Text, "价值 0").size(), 1u);
  EXPECT_EQ(Find(log, Kind::Text, "0").size(), 1u);
}

TEST_F(GoodsItemTest, SaleStatusStripShowsTheThirdOfTheState) {
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(504, GOODS_STATE_SOLD, "单反相机", "goods_01.png");
  auto sold = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<CBSceneItem*>(&goods)); });
  const auto strip = Find(sold, Kind::Image, "TxtSellStatus.png");
  ASSERT_EQ(strip.size(), 1u);
  EXPECT_EQ(strip[0].srcX, 0);
  EXPECT_EQ(strip[0].srcY, kStripH / 3);
  EXPECT_EQ(strip[0].w, kStripW);
  EXPECT_EQ(strip[0].h, kStripH / 3);
  EXPECT_EQ(strip[0].x, kTileX + 17);
  EXPECT_EQ(strip[0].y, kTileY + 40);

  goods.state = GOODS_STATE_FAILED;
  auto failed = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<CBSceneItem*>(&goods)); });
  ASSERT_EQ(Find(failed, Kind::Image, "TxtSellStatus.png").size(), 1u);
  EXPECT_EQ(Find(failed, Kind::Image, "TxtSellStatus.png")[0].srcY, 2 * (kStripH / 3));

  for (std::uint32_t state : {GOODS_STATE_CANDIDATE, 4u, 0xFFFFFFFFu}) {
    goods.state = state;
    auto none = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<CBSceneItem*>(&goods)); });
    EXPECT_TRUE(Find(none, Kind::Image, "TxtSellStatus.png").empty()) << state;
  }
}

TEST_F(GoodsItemTest, HitAreasIncludeTheirBounds) {
  const int x = kTileX, y = kTileY;
  // Like button: x .. x + 54, y + 142 .. y + 175.
  for (auto [mx, my] : {std::pair{x, y + 142}, {x + 54, y + 175}, {x + 54, y + 142}, {x, y + 175}}) {
    m_tile.OnMouseMove(mx, my);
    EXPECT_TRUE(m_tile.IsHover()) << mx << "," << my;
    EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameHover);
  }
  for (auto [mx, my] : {std::pair{x - 1, y + 150}, {x + 55, y + 150}, {x + 10, y + 141}, {x + 10, y + 176}}) {
    m_tile.OnMouseMove(mx, my);
    EXPECT_FALSE(m_tile.IsHover()) << mx << "," << my;
    EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameNormal);
  }
  // Picture: x + 19 .. x + 122, y + 27 .. y + 112.
  EXPECT_TRUE(m_tile.OnMouseMove(x + 19, y + 27));
  EXPECT_TRUE(m_tile.OnMouseMove(x + 122, y + 112));
  EXPECT_FALSE(m_tile.OnMouseMove(x + 123, y + 112));
  EXPECT_FALSE(m_tile.OnMouseMove(x + 122, y + 113));
  EXPECT_FALSE(m_tile.OnMouseMove(x + 18, y + 50));
  EXPECT_FALSE(m_tile.OnMouseMove(x + 50, y + 26));
  // Far-away points near the int limits must not overflow into a hit.
  EXPECT_FALSE(m_tile.OnMouseMove(INT_MIN, INT_MIN));
  EXPECT_FALSE(m_tile.OnMouseMove(INT_MAX, INT_MAX));
}

TEST_F(GoodsItemTest, LikedTileKeepsItsFrameUnderTheMouse) {
  const int onButtonX = kTileX + 20, onButtonY = kTileY + 150;
  m_tile.SetLiked(true);
  m_tile.OnMouseMove(onButtonX, onButtonY);
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameLiked);
  EXPECT_TRUE(m_tile.IsHover());
  m_tile.OnMouseMove(kTileX + 300, kTileY);
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameLiked);
  EXPECT_FALSE(m_tile.IsHover());

  // Unliking under the mouse shows the normal frame until the next move.
  m_tile.OnMouseMove(onButtonX, onButtonY);
  m_tile.SetLiked(false);
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameNormal);
  m_tile.OnMouseMove(onButtonX, onButtonY);
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameHover);

  // SetHover touches only the flag.
  m_tile.SetHover(false);
  EXPECT_FALSE(m_tile.IsHover());
  EXPECT_EQ(m_tile.GetLikeFrame(), CGoodsItem::kLikeFrameHover);

  // The liked frame is what the second draw cuts from the strip.
  m_tile.SetLiked(true);
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(505, GOODS_STATE_CANDIDATE, "游戏主机", "goods_01.png");
  m_tile.Draw(m_graphics.get(), static_cast<CBSceneItem*>(&goods));
  auto log = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<CBSceneItem*>(&goods)); });
  ASSERT_EQ(Find(log, Kind::Image, "mrwt_btn_like.png").size(), 1u);
  EXPECT_EQ(Find(log, Kind::Image, "mrwt_btn_like.png")[0].srcX, 54 * CGoodsItem::kLikeFrameLiked);
}

TEST(GoodsTileAtTest, OnlyIndicesOfTheSevenTilesGiveATile) {
  CGoodsItem tiles[kGoodsTileCount];
  EXPECT_EQ(GoodsTileAt(tiles, 0), &tiles[0]);
  EXPECT_EQ(GoodsTileAt(tiles, 6), &tiles[6]);
  EXPECT_EQ(GoodsTileAt(tiles, 7), nullptr);
  EXPECT_EQ(GoodsTileAt(tiles, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(GoodsTileAt(nullptr, 7, 0), nullptr);
}

// The cache is process-wide: every case uses goods ids of its own.
class GoodsImageTest : public ViewTest {};

TEST_F(GoodsImageTest, CacheIsKeyedByGoodsIdAlone) {
  OrvHgeImage* a = GetGoodsImage(601, "goods_01.png");
  OrvHgeImage* b = GetGoodsImage(602, "goods_01.png");
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(a->getWidth(), 290);

  OrvHgeImage* again = GetGoodsImage(601, "goods_02.png");
  EXPECT_EQ(again, a);
  EXPECT_EQ(again->Path(), "RozeZizar/VelmoraGoods/goods_01.png");
}

TEST_F(GoodsImageTest, MissingPictureIsRetriedOnTheNextLookup) {
  EXPECT_EQ(GetGoodsImage(603, "not_there.png"), nullptr);
  OrvHgeImage* later = GetGoodsImage(603, "goods_02.png");
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(later->Path(), "RozeZizar/VelmoraGoods/goods_02.png");
}

TEST_F(GoodsImageTest, NamesThatLeaveThePictureFolderAreRefused) {
  for (const char* name : {"../goods_01.png", "..", "sub/goods_01.png", "sub\\goods_01.png",
                           "/etc/passwd", "..\\..\\x.png", "a..b.png", ""}) {
    EXPECT_FALSE(IsSafePictureName(name)) << name;
  }
  EXPECT_TRUE(IsSafePictureName("goods_01.png"));
  // A file that exists one folder up is still not opened.
  EXPECT_EQ(GetGoodsImage(604, "../VelmoraGoods/goods_01.png"), nullptr);
  EXPECT_EQ(GetGoodsImage(604, std::string_view("goods_01.png\0x", 14)), nullptr);
  EXPECT_NE(GetGoodsImage(604, "goods_01.png"), nullptr);
}

TEST_F(GoodsItemTest, RefusedPictureStillDrawsTheTexts) {
  CMD_GF_VELMORA_GOODS_ITEM goods = MakeGoods(605, GOODS_STATE_CANDIDATE, "蓝牙耳机", "../goods_01.png");
  auto log = Capture([&](gcn::Graphics* g) { m_tile.Draw(g, static_cast<CBSceneItem*>(&goods)); });
  EXPECT_TRUE(Find(log, Kind::Image, "goods_01.png").empty());
  EXPECT_EQ(Texts(log), (std::vector<std::string>{"蓝牙耳机", "价值 3888"}));
  EXPECT_EQ(m_tile.GetPicture(), nullptr);
}

}  // namespace
}  // namespace views5
