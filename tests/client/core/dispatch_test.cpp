// Server messages through the dialog's hooks: answers, store changes and what the views show.
#include <algorithm>
#include <iterator>

#include "client/core/oldgameframeview.h"
#include "client/core/requestmessages.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/gamerule.h"
#include "client/views/messageview.h"
#include "client/views/msgbox.h"
#include "client/views/mychatview.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/client/core/clientharness.h"

namespace clienttest {
namespace {

CBSceneItem& Item(std::uint32_t goodsId) {
  CBSceneItem* item = GetBuyData().GetItemById(goodsId);
  EXPECT_NE(item, nullptr) << goodsId;
  static CBSceneItem none{};
  return item != nullptr ? *item : none;
}

// The last n lines of a message-view list, in UTF-8.
std::vector<std::string> Tail(const std::list<std::u16string>& lines, std::size_t n) {
  std::vector<std::string> out;
  auto it = lines.end();
  for (std::size_t i = 0; i < n && it != lines.begin(); ++i) --it;
  for (; it != lines.end(); ++it) out.push_back(plat::Utf16ToUtf8(*it));
  return out;
}

CMD_GF_VELMORA_AUCTION_RESULT_NTF AuctionResult(std::uint16_t kind, const char* winner,
                                                std::uint32_t number, std::uint32_t shares) {
  CMD_GF_VELMORA_AUCTION_RESULT_NTF r{};
  r.kind = kind;
  SetFieldText(r.winnerNickname, winner);
  r.goodsNumber = number;
  r.nextGoodsNumber = number + 1;
  SetFieldText(r.drawTime, "2026-12-09 12:00:00");
  r.winnerShares = shares;
  return r;
}

using ClientDispatch = ClientTest;

TEST_F(ClientDispatch, SceneFillsStoreShowsPanelAndRunsCountdown) {
  CBuyPanel& panel = GetBuyPanel();
  EXPECT_EQ(GetBuyData().GetItemCount(), 7u);
  EXPECT_TRUE(panel.IsShown());
  EXPECT_TRUE(panel.BuyButton()->isVisible());
  EXPECT_EQ(panel.GetChosenShares(), kLotMinShares);
  EXPECT_TRUE(client.View().HasTimer(IDT_COUNTDOWN));

  client.Step(998);  // the scene came 1 ms ago
  EXPECT_EQ(Item(kLotId).secondsLeft, kLotSeconds);
  client.Step(1);
  EXPECT_EQ(Item(kLotId).secondsLeft, kLotSeconds - 1);
  Item(kLotId).secondsLeft = 0;
  client.Step(1000);  // stays at 0, the timer keeps running
  EXPECT_EQ(Item(kLotId).secondsLeft, 0u);
  EXPECT_TRUE(client.View().HasTimer(IDT_COUNTDOWN));

  // Status 0 is a goods list too; every other status is rejected and changes nothing.
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> two = DefaultScene();
  two.resize(2);
  CaptureStdout([&] { EXPECT_TRUE(client.Scene(SCENE_STATUS_FREE, Bytes(two))); });
  EXPECT_EQ(GetBuyData().GetItemCount(), 2u);
  for (int status : {1, 99, 101, 255})
    EXPECT_FALSE(client.Scene(static_cast<std::uint8_t>(status), Bytes(DefaultScene()))) << status;
  EXPECT_EQ(GetBuyData().GetItemCount(), 2u);

  // An empty list is valid: no lot, and the countdown tick finds nothing to count.
  CaptureStdout([&] { EXPECT_TRUE(client.Game(SUB_S_GOODS_LIST, {})); });
  EXPECT_EQ(GetBuyData().GetItemCount(), 0u);
  client.Step(1000);
  EXPECT_EQ(panel.GetChosenShares(), 0u);
}

TEST_F(ClientDispatch, WrongSizedGoodsListKeepsStoreAndCountdownPhase) {
  client.Step(600);
  std::vector<std::uint8_t> bad = Bytes(DefaultScene());
  bad.push_back(0);
  EXPECT_TRUE(client.Game(SUB_S_GOODS_LIST, bad));
  EXPECT_TRUE(client.Scene(SCENE_STATUS_PLAY, bad));
  EXPECT_EQ(GetBuyData().GetItemCount(), 7u);
  // An accepted list would have restarted the timer; the old phase still ticks at 1000 ms.
  client.Step(400);
  EXPECT_EQ(Item(kLotId).secondsLeft, kLotSeconds - 1);
}

TEST_F(ClientDispatch, RejectsUnknownCodesAndWrongSizes) {
  for (int sub : {0, 12, 13, 100, 0xFFFF}) {
    EXPECT_FALSE(client.Game(static_cast<std::uint16_t>(sub), {0})) << sub;
    EXPECT_FALSE(client.Game(static_cast<std::uint16_t>(sub), {})) << sub;
  }
  const std::pair<std::uint16_t, std::size_t> wrong[] = {
      {SUB_S_BUY_RESULT, 0},      {SUB_S_BUY_RESULT, 2},      {SUB_S_BUY_NOTIFY, 31},
      {SUB_S_BUY_NOTIFY, 33},     {SUB_S_AUCTION_RESULT, 67}, {SUB_S_AUCTION_RESULT, 69},
      {SUB_S_RECENTLY_RESULT, 115}, {SUB_S_LUCKY_USER, 117},  {SUB_S_AUCTION_START, 3},
      {SUB_S_MY_BUY_RECORD, 87},
  };
  for (const auto& [sub, size] : wrong)
    EXPECT_FALSE(client.Game(sub, std::vector<std::uint8_t>(size, 1))) << sub << "/" << size;
  EXPECT_FALSE(client.Game(SUB_S_AUCTION_RESULT, Bytes(AuctionResult(3, kMeNick, kLotNumber, 1))));
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_NONE);
  EXPECT_EQ(Item(kLotId).state, GOODS_STATE_SELLING);
}

TEST_F(ClientDispatch, WonLotComparesNicknameExactly) {
  const struct {
    const char* winner;
    std::uint16_t kind;
  } cases[] = {{"Alice", MSGBOX_I_WON}, {"alice", MSGBOX_OTHER_WON}, {"ALICE", MSGBOX_OTHER_WON}};
  for (const auto& c : cases) {
    client.Reset();
    EXPECT_TRUE(client.Game(SUB_S_AUCTION_RESULT, Bytes(AuctionResult(1, c.winner, kLotNumber, 40))));
    CMsgBox& box = GetMsgBox();
    EXPECT_EQ(box.GetKind(), c.kind) << c.winner;
    EXPECT_EQ(box.GetWinnerName(), c.winner);
    EXPECT_EQ(box.GetGoodsName(), plat::Utf8ToGbk("单反相机"));
    EXPECT_EQ(box.GetGoodsNumber(), 57);
    EXPECT_EQ(box.GetNextGoodsNumber(), 58);
    EXPECT_EQ(Item(kLotId).state, GOODS_STATE_SOLD);

    const std::string won = std::string("玩家") + c.winner + "购买57号商品 单反相机 40份，并一举中奖，恭喜！";
    MessageView* mv = client.View().GetMessageView();
    EXPECT_EQ(Tail(mv->LuckyUserLines(), 3),
              (std::vector<std::string>{"2026-12-09 12:00:00", won, " "}));
    EXPECT_EQ(mv->GetActiveTab(), MessageView::kLuckyUserTab);
    ASSERT_EQ(CSystemNotice::ActiveNotices().size(), 1u);
    EXPECT_EQ(CSystemNotice::ActiveNotices().back()->Text(), plat::Utf8ToGbk(won));
    EXPECT_EQ(CSystemNotice::ActiveNotices().back()->X(), CSystemNotice::kBandX);
    EXPECT_EQ(CSystemNotice::RecentTexts().back(), plat::Utf8ToGbk(won));
  }
  // Without a local user record the lot is still closed and announced, but no box opens.
  client.Reset();
  client.SetUser(false);
  EXPECT_FALSE(client.Game(SUB_S_AUCTION_RESULT, Bytes(AuctionResult(1, "Bob", kLotNumber, 4))));
  EXPECT_EQ(Item(kLotId).state, GOODS_STATE_SOLD);
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_NONE);
  EXPECT_EQ(CSystemNotice::ActiveNotices().size(), 1u);
}

TEST_F(ClientDispatch, FailedLotShowsSharesLeft) {
  Item(kLotId).soldShares = 30;
  EXPECT_TRUE(client.Game(SUB_S_AUCTION_RESULT, Bytes(AuctionResult(2, "", kLotNumber, 0))));
  EXPECT_EQ(Item(kLotId).state, GOODS_STATE_FAILED);
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_AUCTION_FAILED);
  EXPECT_EQ(GetMsgBox().GetFailedShares(), 70);
  EXPECT_EQ(GetMsgBox().GetNextGoodsNumber(), 58);
  // Oversold (the server's mistake) must not wrap into a huge count.
  client.Reset();
  Item(kLotId).soldShares = 130;
  EXPECT_TRUE(client.Game(SUB_S_AUCTION_RESULT, Bytes(AuctionResult(2, "", kLotNumber, 0))));
  EXPECT_EQ(GetMsgBox().GetFailedShares(), 0);
}

TEST_F(ClientDispatch, ResultForUnstoredLotIsHarmless) {
  const std::size_t lines = client.View().GetMessageView()->LuckyUserLines().size();
  EXPECT_TRUE(client.Game(SUB_S_AUCTION_RESULT, Bytes(AuctionResult(1, "Bob", 999, 12))));
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_OTHER_WON);
  EXPECT_EQ(GetMsgBox().GetGoodsNumber(), 999);
  EXPECT_EQ(GetMsgBox().GetGoodsName(), "");
  const auto& lucky = client.View().GetMessageView()->LuckyUserLines();
  ASSERT_EQ(lucky.size(), std::min<std::size_t>(lines + 3, MessageView::kMaxLines));
  EXPECT_EQ(Tail(lucky, 2)[0], "玩家Bob购买999号商品  12份，并一举中奖，恭喜！");
  for (const auto& g : DefaultScene()) EXPECT_EQ(Item(g.goodsId).state, g.state);

  GetMsgBox().Close();
  EXPECT_TRUE(client.Game(SUB_S_AUCTION_RESULT, Bytes(AuctionResult(2, "", 999, 0))));
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_AUCTION_FAILED);
  EXPECT_EQ(GetMsgBox().GetFailedShares(), 0);
  EXPECT_EQ(Item(kLotId).state, GOODS_STATE_SELLING);
}

TEST_F(ClientDispatch, ListsOfWinnersPurchasesAndHistory) {
  CMD_GF_VELMORA_LUCKY_USER_RSP lucky[2] = {};
  const char* names[] = {"Bob", "Carol"};
  for (int i = 0; i < 2; ++i) {
    lucky[i].goodsNumber = 40 + i;
    lucky[i].winnerShares = 10 + i;
    SetFieldText(lucky[i].drawTime, "T" + std::to_string(i));
    SetFieldText(lucky[i].goodsName, plat::Utf8ToGbk("咖啡机"));
    SetFieldText(lucky[i].winnerNickname, names[i]);
  }
  EXPECT_TRUE(client.Game(SUB_S_LUCKY_USER, Bytes(std::vector(std::begin(lucky), std::end(lucky)))));
  MessageView* mv = client.View().GetMessageView();
  EXPECT_EQ(Tail(mv->LuckyUserLines(), 6),
            (std::vector<std::string>{"T0", "玩家Bob购买40号商品 咖啡机 10份，并一举中奖，恭喜！", " ", "T1",
                                      "玩家Carol购买41号商品 咖啡机 11份，并一举中奖，恭喜！", " "}));
  EXPECT_EQ(CSystemNotice::RecentTexts().size(), 2u);

  CMD_GF_VELMORA_MY_BUY_RECORD_RSP mine{};
  mine.shares = 2;
  mine.goodsValue = 1299;
  SetFieldText(mine.buyTime, "T9");
  SetFieldText(mine.goodsName, plat::Utf8ToGbk("咖啡机"));
  EXPECT_TRUE(client.Game(SUB_S_MY_BUY_RECORD, Bytes(mine)));
  EXPECT_EQ(Tail(mv->MyBuyLines(), 3), (std::vector<std::string>{"T9", "购买价值1299元的 咖啡机 2份", " "}));
  EXPECT_EQ(mv->GetActiveTab(), MessageView::kMyBuyTab);

  CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP rows[3] = {};
  EXPECT_TRUE(client.Game(SUB_S_RECENTLY_RESULT, Bytes(std::vector(std::begin(rows), std::end(rows)))));
  EXPECT_EQ(GetSellRecord().GetRowCount(), 3);
  EXPECT_FALSE(GetSellRecord().isVisible());
  // Empty lists are valid and add nothing.
  const std::size_t before = mv->MyBuyLines().size();
  EXPECT_TRUE(client.Game(SUB_S_MY_BUY_RECORD, {}));
  EXPECT_TRUE(client.Game(SUB_S_LUCKY_USER, {}));
  EXPECT_EQ(mv->MyBuyLines().size(), before);
}

TEST_F(ClientDispatch, AuctionStartOpensStoredLotOnly) {
  CMD_GF_VELMORA_AUCTION_START_NTF start{52};  // goods 1002
  EXPECT_TRUE(client.Game(SUB_S_AUCTION_START, Bytes(start)));
  EXPECT_EQ(Item(1002).state, GOODS_STATE_SELLING);
  start.goodsNumber = 999;
  EXPECT_FALSE(client.Game(SUB_S_AUCTION_START, Bytes(start)));
}

TEST_F(ClientDispatch, ExchangeReplacesTheSlotAndClearsItsMark) {
  client.View().GetTile(2)->SetLiked(true);
  CMD_GF_VELMORA_GOODS_ITEM fresh = CatalogueGoods(1012).Slot(3).Tile(2).State(GOODS_STATE_CANDIDATE);
  fresh.likeCount = 17;
  fresh.unused104 = 0xABCD;
  std::string out = CaptureStdout([&] { EXPECT_TRUE(client.Game(SUB_S_EXCHANGE_GOODS, Bytes(fresh))); });
  EXPECT_EQ(out, "替换下架商品OnSubExchangeGoods\nsetClickLikeForPlayer玩家点赞成功\n");
  EXPECT_EQ(GetBuyData().GetItemById(1003), nullptr);
  const CBSceneItem* item = GetBuyData().GetItemBySlot(2);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(std::memcmp(item, &fresh, sizeof(fresh)), 0);
  EXPECT_FALSE(client.View().GetTile(2)->IsLiked());

  // A slot that is not stored, an empty body and a torn record change nothing.
  fresh.goodsId = 1011;
  for (std::uint32_t slot : {0u, 8u, 0x80000000u}) {
    fresh.slot = slot;
    out = CaptureStdout([&] { EXPECT_TRUE(client.Game(SUB_S_EXCHANGE_GOODS, Bytes(fresh))); });
    EXPECT_EQ(out, "替换下架商品OnSubExchangeGoods\n");
  }
  std::vector<std::uint8_t> torn = Bytes(fresh);
  torn.pop_back();
  CaptureStdout([&] {
    EXPECT_TRUE(client.Game(SUB_S_EXCHANGE_GOODS, {}));
    EXPECT_TRUE(client.Game(SUB_S_EXCHANGE_GOODS, torn));
  });
  EXPECT_EQ(GetBuyData().GetItemById(1011), nullptr);
  EXPECT_EQ(GetBuyData().GetItemCount(), 7u);
}

TEST_F(ClientDispatch, LikeStateAndUpdateReachTilesAndCounts) {
  const CMD_GF_VELMORA_LIKE_STATE_ENTRY state[7] = {
      {1001, 1, 9}, {1002, 0, 0}, {0, 0, 0}, {kLotId, 1, 5}, {4242, 1, 1}, {1004, 1, 0}, {0, 0, 0}};
  std::string out = CaptureStdout(
      [&] { EXPECT_TRUE(client.Game(SUB_S_LIKE_STATE, Bytes(std::vector(std::begin(state), std::end(state))))); });
  EXPECT_EQ(out,  // 1001, 1002 (liked 0 still reaches its tile) and 1004
            "setClickLikeForPlayer玩家点赞成功\nsetClickLikeForPlayer玩家点赞成功\n"
            "setClickLikeForPlayer玩家点赞成功\n");
  EXPECT_TRUE(client.View().GetTile(0)->IsLiked());
  EXPECT_FALSE(client.View().GetTile(1)->IsLiked());
  EXPECT_TRUE(client.View().GetTile(3)->IsLiked());
  EXPECT_FALSE(client.View().GetTile(6)->IsLiked());  // the lot is no candidate
  EXPECT_EQ(Item(1001).likeCount, 9u);
  EXPECT_EQ(Item(1004).likeCount, 3u);  // count 0 keeps the stored one
  EXPECT_EQ(Item(kLotId).likeCount, 3u);

  const CMD_GF_VELMORA_LIKE_UPDATE_ENTRY update[3] = {{0, 1001, 0}, {0, 4242, 0}, {0, 1003, 12}};
  out = CaptureStdout(
      [&] { EXPECT_TRUE(client.Game(SUB_S_LIKE_UPDATE, Bytes(std::vector(std::begin(update), std::end(update))))); });
  EXPECT_EQ(out, "setClickLikeForPlayer玩家点赞成功\n找不到该商品:goodsid=4242!\n");
  EXPECT_FALSE(client.View().GetTile(0)->IsLiked());
  EXPECT_EQ(Item(1001).likeCount, 0u);
  EXPECT_EQ(Item(1003).likeCount, 12u);
}

TEST_F(ClientDispatch, FrameSeesTheClientsAnswers) {
  EXPECT_EQ(client.Frame().Config().flags, plat::kAllFrameFlags);
  EXPECT_EQ(client.Frame().Config().statusTimeoutMs, 5000u);
  CGameClientDlg& dlg = client.Dlg();
  EXPECT_TRUE(dlg.UsesWidgetView());
  auto* old = dynamic_cast<COldGameFrameView*>(dlg.GetGameView());
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->GetChairCount(), 16);
  EXPECT_FALSE(client.View().IsCyrmEnabled(COrvGameFrameView::kCyrmLeave));
  auto* chat = dynamic_cast<CMyChatView*>(client.Frame().ChatView());
  ASSERT_NE(chat, nullptr);
  EXPECT_FALSE(chat->isVisible());

  // The rule hook toggles; the close button and the hook work together.
  dlg.OnGameRule();
  EXPECT_TRUE(GetGameRule().isVisible());
  GetGameRule().OnCommand(CGameRule::kCloseButtonId);
  dlg.OnGameRule();
  EXPECT_TRUE(GetGameRule().isVisible());
  dlg.OnGameRule();
  EXPECT_FALSE(GetGameRule().isVisible());
}

}  // namespace
}  // namespace clienttest
