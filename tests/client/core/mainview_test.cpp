// The main view through the frame: what a frame draws, hovering and the like flow.
#include <cmath>

#include <guichan/mouseevent.hpp>
#include <guichan/mouseinput.hpp>

#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/gamerule.h"
#include "client/views/goodsdescription.h"
#include "client/views/msgbox.h"
#include "platform/frame/bankview.h"
#include "platform/frame/mainwindow.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/client/core/clientharness.h"

namespace clienttest {
namespace {

constexpr int kTile0LikeX = 80, kTile0LikeY = 240;   // on tile 0's like button
constexpr int kTile1PicX = 100, kTile1PicY = 320;    // on tile 1's goods picture
constexpr int kLotPicX = 450, kLotPicY = 250;        // on the buy panel's goods picture
constexpr int kNowhereX = 700, kNowhereY = 40;

std::vector<plat::DrawRecord> DrawFrame(Client& client) {
  std::vector<plat::DrawRecord> log;
  plat::ScopedDrawLog scope(&log);
  client.Step();
  return log;
}

int IndexOf(const std::vector<plat::DrawRecord>& log, const std::string& what) {
  for (std::size_t i = 0; i < log.size(); ++i)
    if (log[i].what == what) return static_cast<int>(i);
  return -1;
}

std::vector<plat::DrawRecord> All(const std::vector<plat::DrawRecord>& log, const std::string& what) {
  std::vector<plat::DrawRecord> out;
  for (const auto& r : log)
    if (r.what == what) out.push_back(r);
  return out;
}

void Rescene(Client& client, const std::vector<CMD_GF_VELMORA_GOODS_ITEM>& goods) {
  CaptureStdout([&] { ASSERT_TRUE(client.Scene(SCENE_STATUS_PLAY, Bytes(goods))); });
}

const char kItemBg[] = "Velmora/Image/GoodsItem/ItemBg.png";

using ClientMainView = ClientTest;

TEST_F(ClientMainView, FrameDrawsInOrderWithThePlayerCard) {
  client.MoveTo(kTile1PicX, kTile1PicY);
  // A window opening over the callout takes it away: the box is drawn, the callout is not.
  GetMsgBox().ShowKind(MSGBOX_BUY_SUCCESS);
  const auto boxed = DrawFrame(client);
  EXPECT_GE(IndexOf(boxed, "Velmora/Image/MessageBox/Bg.png"), 0);
  EXPECT_LT(IndexOf(boxed, "Velmora/Image/Description/Bg.png"), 0);
  GetMsgBox().Close();
  client.MoveTo(kTile1PicX + 1, kTile1PicY);
  const auto log = DrawFrame(client);

  const int bg = IndexOf(log, "Velmora/Image/Bg.jpg");
  const int face = IndexOf(log, "Frame/Face/face_1.png");  // user 7
  const int tile = IndexOf(log, kItemBg);
  const int lot = IndexOf(log, "RozeZizar/VelmoraGoods/goods_07.png");
  const int callout = IndexOf(log, "Velmora/Image/Description/Bg.png");
  ASSERT_TRUE(bg >= 0 && face >= 0 && tile >= 0 && lot >= 0 && callout >= 0);
  EXPECT_TRUE(bg < face && face < tile && tile < lot && lot < callout);
  EXPECT_EQ(log[bg].x, 0);
  EXPECT_EQ(log[bg].y, 0);

  const plat::DrawRecord& f = log[face];
  EXPECT_EQ(f.x, 1034);
  EXPECT_EQ(f.y, 93);
  EXPECT_NEAR(f.w * f.hscale, 81.0f, 0.01f);
  EXPECT_NEAR(f.h * f.vscale, 81.0f, 0.01f);
  const int name = IndexOf(log, kMeNick);
  ASSERT_GE(name, 0);
  EXPECT_NEAR(log[name].x + log[name].w / 2.0, 1074.0, 1.0);
  const int coins = IndexOf(log, "1000000");
  const int bank = IndexOf(log, "2500");
  ASSERT_TRUE(coins >= 0 && bank >= 0);
  EXPECT_EQ(log[coins].x, 1074);
  EXPECT_EQ(log[bank].x, 1074);

  // Six candidate tiles at their places; the lot has none.
  const auto tiles = All(log, kItemBg);
  ASSERT_EQ(tiles.size(), 6u);
  const int places[6][2] = {{60, 80}, {60, 280}, {60, 480}, {800, 80}, {800, 280}, {800, 480}};
  for (int t = 0; t < 6; ++t) {
    EXPECT_EQ(tiles[t].x, places[t][0]);
    EXPECT_EQ(tiles[t].y, places[t][1]);
  }
  EXPECT_EQ(All(log, "RozeZizar/VelmoraGoods/goods_07.png").size(), 1u);

  // No user record: no card, the rest still draws.
  client.SetUser(false);
  const auto bare = DrawFrame(client);
  EXPECT_EQ(IndexOf(bare, "Frame/Face/face_1.png"), -1);
  EXPECT_EQ(IndexOf(bare, kMeNick), -1);
  EXPECT_EQ(All(bare, kItemBg).size(), 6u);
}

TEST_F(ClientMainView, OnlyCandidatesWithARealTileAreDrawnOrMarked) {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> goods = {
      CatalogueGoods(1001).Slot(1).Tile(0).State(GOODS_STATE_CANDIDATE),
      CatalogueGoods(1002).Slot(2).Tile(9).State(GOODS_STATE_CANDIDATE),
      CatalogueGoods(1003).Slot(3).Tile(1).State(GOODS_STATE_SOLD),
      CatalogueGoods(1004).Slot(4).Tile(2).State(GOODS_STATE_FAILED),
      CatalogueGoods(1005).Slot(5).Tile(0xFFFFFFFF).State(GOODS_STATE_CANDIDATE),
      CatalogueGoods(1006).Slot(6).Tile(3).State(GOODS_STATE_SELLING)};
  Rescene(client, goods);
  const auto tiles = All(DrawFrame(client), kItemBg);
  ASSERT_EQ(tiles.size(), 1u);
  EXPECT_EQ(tiles[0].x, 60);
  EXPECT_EQ(tiles[0].y, 80);

  // Hover and click over every tile place; items without a tile never index one.
  for (int t = 0; t < 7; ++t) {
    const int x = t < 3 ? 60 : (t < 6 ? 800 : -20), y = t == 6 ? 0 : 80 + 200 * (t % 3);
    client.MoveTo(x + 50, y + 60);
    client.ClickAt(x + 20, y + 150);
    GetMsgBox().Close();
  }
  const std::string out = CaptureStdout([&] {
    client.View().setClickLikeForPlayer(1002, 1);
    client.View().setClickLikeForPlayer(1005, 1);
  });
  EXPECT_EQ(out, "");
  for (std::uint32_t t = 1; t < 7; ++t) EXPECT_FALSE(client.View().GetTile(t)->IsLiked()) << t;
  client.MoveTo(kTile1PicX, kTile1PicY);  // tile 1's slot holds 1002, which has no tile
  EXPECT_EQ(GetGoodsDescription().GetSlotIndex(), 7u);
}

TEST_F(ClientMainView, HoverChoosesTheDescriptionUnlessAWindowIsOpen) {
  CGoodsDescription& d = GetGoodsDescription();
  client.MoveTo(kTile1PicX, kTile1PicY);
  EXPECT_EQ(d.GetSlotIndex(), 1u);
  EXPECT_EQ(d.GetTileIndex(), 1u);
  EXPECT_FALSE(d.IsAnchored());
  client.MoveTo(kLotPicX, kLotPicY);
  EXPECT_EQ(d.GetSlotIndex(), 6u);  // the lot's tile index
  EXPECT_TRUE(d.IsAnchored());
  client.MoveTo(kNowhereX, kNowhereY);
  EXPECT_EQ(d.GetSlotIndex(), 7u);

  auto stays = [&](const char* what) {
    client.MoveTo(kTile1PicX, kTile1PicY);
    EXPECT_EQ(d.GetSlotIndex(), 7u) << what;
  };
  client.Dlg().OnGameRule();
  stays("rule window");
  client.Dlg().OnGameRule();
  CBankView::GetInstance()->setVisible(true);
  stays("bank window");
  CBankView::GetInstance()->setVisible(false);
  GetMsgBox().ShowKind(MSGBOX_TIME_OVER);
  stays("message box");
  GetMsgBox().Close();

  // Without a lot the panel's picture hides the description.
  client.MoveTo(kTile1PicX, kTile1PicY);
  EXPECT_EQ(d.GetSlotIndex(), 1u);
  GetBuyData().GetItemById(kLotId)->state = GOODS_STATE_SOLD;
  client.MoveTo(kLotPicX, kLotPicY);
  EXPECT_EQ(d.GetSlotIndex(), 7u);
}

TEST_F(ClientMainView, LikeIsPostedOnceAndRepeatSendsNothing) {
  COrvGameClientView& view = client.View();
  client.MoveTo(kTile0LikeX, kTile0LikeY);
  ASSERT_TRUE(view.GetTile(0)->IsHover());
  gcn::MouseEvent click(&view, false, false, false, false, gcn::MouseEvent::CLICKED, gcn::MouseInput::LEFT,
                        kTile0LikeX, kTile0LikeY, 1);
  EXPECT_EQ(CaptureStdout([&] { view.mouseClicked(click); }), "玩家点赞:0\n");
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_LIKED);
  EXPECT_EQ(GetMsgBox().GetCustomText(),
            plat::Utf8ToGbk("您已为\"金龙手表\"点赞！\n\n该商品在以下六款商品集赞中胜出。\n\n则将在下期首发登场"));
  EXPECT_TRUE(view.GetTile(0)->IsLiked());
  EXPECT_FALSE(view.GetTile(0)->IsHover());
  // Posted, not sent: nothing on the wire until the frame handles its queue.
  EXPECT_TRUE(client.Transport().Sent().empty());
  EXPECT_EQ(AfxGetMainWnd()->PendingCount(), 1u);
  client.Step();
  ASSERT_EQ(client.Transport().Sent().size(), 1u);
  EXPECT_EQ(client.Transport().Sent()[0].mainCmd, 100);
  EXPECT_EQ(client.Transport().Sent()[0].subCmd, SUB_C_LIKE);
  EXPECT_EQ(client.Transport().Sent()[0].bytes, (std::vector<std::uint8_t>{0xE9, 0x03, 0, 0, 1, 0, 0, 0}));

  GetMsgBox().Close();
  EXPECT_EQ(CaptureStdout([&] { client.ClickAt(kTile0LikeX, kTile0LikeY); }), "");
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_LIKE_REPEAT);
  EXPECT_EQ(GetMsgBox().GetCustomText(), plat::Utf8ToGbk("您已为\"金龙手表\"点赞！\n\n暂时不可再为该商品点赞！"));
  client.Step();
  EXPECT_EQ(client.Transport().Sent().size(), 1u);

  // The server clears the mark: the next click likes again.
  const CMD_GF_VELMORA_LIKE_UPDATE_ENTRY cleared{0, 1001, 0};
  CaptureStdout([&] { EXPECT_TRUE(client.Game(SUB_S_LIKE_UPDATE, Bytes(cleared))); });
  GetMsgBox().Close();
  client.ClickAt(kTile0LikeX, kTile0LikeY);
  EXPECT_EQ(client.Transport().Sent().size(), 2u);
}

TEST_F(ClientMainView, CandidateInSlotSevenIgnoresLikeClicks) {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> goods = DefaultScene();
  goods[6].state = GOODS_STATE_CANDIDATE;  // slot 7 on tile 6, at (-20, 0)
  Rescene(client, goods);
  EXPECT_EQ(All(DrawFrame(client), kItemBg).size(), 7u);
  client.ClickAt(10, 150);
  EXPECT_TRUE(client.View().GetTile(6)->IsHover());
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_NONE);
  client.Step();
  EXPECT_TRUE(client.Transport().Sent().empty());
}

}  // namespace
}  // namespace clienttest
