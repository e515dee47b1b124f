// Purchases end to end: the buy click, the request on the wire, the lock-out, the result and
// the purchase notices.
#include "client/core/requestmessages.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/messageview.h"
#include "client/views/myedit.h"
#include "client/views/msgbox.h"
#include "platform/frame/mainwindow.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/client/core/clientharness.h"

namespace clienttest {
namespace {

CBSceneItem& Lot() { return *GetBuyData().GetItemById(kLotId); }

CMD_GF_VELMORA_BUY_NTF Notice(std::uint32_t userId, std::uint32_t goodsId, std::uint32_t shares) {
  CMD_GF_VELMORA_BUY_NTF n{};
  n.userId = userId;
  n.goodsId = goodsId;
  n.shares = shares;
  SetFieldText(n.buyTime, "2026-12-09 11:58:07");
  return n;
}

bool ControlsLocked() {
  CBuyPanel& p = GetBuyPanel();
  return !p.BuyButton()->isEnabled() && !p.AddButton()->isEnabled() && !p.ReduceButton()->isEnabled() &&
         !p.ShareField()->isEnabled();
}

using ClientPurchase = ClientTest;

TEST_F(ClientPurchase, TypicalPurchaseFromClickToNotice) {
  OrvHgeButton* buy = GetBuyPanel().BuyButton();
  ASSERT_TRUE(buy->isEnabled() && buy->isVisible());
  client.ClickAt(buy->getX() + buy->getWidth() / 2, buy->getY() + buy->getHeight() / 2);

  ASSERT_EQ(client.Transport().Sent().size(), 1u);
  const plat::SentMessage& sent = client.Transport().Sent()[0];
  EXPECT_EQ(sent.mainCmd, 100);
  EXPECT_EQ(sent.subCmd, SUB_C_BUY);
  EXPECT_EQ(sent.bytes, (std::vector<std::uint8_t>{0xEF, 0x03, 0, 0, kLotMinShares, 0, 0, 0}));
  EXPECT_TRUE(ControlsLocked());
  EXPECT_TRUE(client.View().HasTimer(IDT_BUY_COOLDOWN));

  const std::vector<std::uint8_t> ok = {BUY_RESULT_OK};
  EXPECT_TRUE(client.Game(SUB_S_BUY_RESULT, ok));
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_NONE);
  EXPECT_FALSE(ControlsLocked());
  EXPECT_FALSE(client.View().HasTimer(IDT_BUY_COOLDOWN));

  EXPECT_TRUE(client.Game(SUB_S_BUY_NOTIFY, Bytes(Notice(kMeId, kLotId, kLotMinShares))));
  EXPECT_EQ(Lot().soldShares, kLotMinShares);
  EXPECT_EQ(Lot().heldShares, kLotMinShares);
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_BUY_SUCCESS);
  EXPECT_EQ(GetMsgBox().GetBoughtCount(), 5);
  const auto& lines = client.View().GetMessageView()->MyBuyLines();
  ASSERT_GE(lines.size(), 3u);
  auto it = std::prev(lines.end(), 3);
  EXPECT_EQ(plat::Utf16ToUtf8(*it++), "2026-12-09 11:58:07");
  EXPECT_EQ(plat::Utf16ToUtf8(*it++), "购买价值7999元的 单反相机 5份");
  EXPECT_EQ(*it, u" ");
}

TEST_F(ClientPurchase, LockoutLasts1000MsUnlessResultOrListEndsIt) {
  AfxGetMainWnd()->SendMessage(WM_BUY_REQ, kLotId, 7);
  ASSERT_EQ(client.Transport().Sent().size(), 1u);  // sent before SendMessage returned
  EXPECT_EQ(client.Transport().Sent()[0].bytes, Bytes(MakeBuyRequest(kLotId, 7)));
  client.Step(999);
  EXPECT_TRUE(ControlsLocked());
  client.Step(1);
  EXPECT_FALSE(ControlsLocked());
  EXPECT_TRUE(GetBuyPanel().BuyButton()->isEnabled());
  EXPECT_FALSE(client.View().HasTimer(IDT_BUY_COOLDOWN));

  // A result ends it at once; the timer is gone, so nothing fires later.
  AfxGetMainWnd()->SendMessage(WM_BUY_REQ, kLotId, 7);
  client.Step(500);
  EXPECT_TRUE(client.Game(SUB_S_BUY_RESULT, {BUY_RESULT_TIME_OVER}));
  EXPECT_FALSE(client.View().HasTimer(IDT_BUY_COOLDOWN));
  GetMsgBox().Close();
  EXPECT_FALSE(ControlsLocked());

  // Buy-all locks the same way; a goods list ends it.
  AfxGetMainWnd()->SendMessage(WM_BUY_ALL_REQ, kLotId, 0);
  ASSERT_EQ(client.Transport().Sent().size(), 3u);
  EXPECT_EQ(client.Transport().Sent()[2].subCmd, SUB_C_BUY_ALL);
  EXPECT_EQ(client.Transport().Sent()[2].bytes, (std::vector<std::uint8_t>{0xEF, 0x03, 0, 0}));
  EXPECT_TRUE(ControlsLocked());
  CaptureStdout([&] { EXPECT_TRUE(client.Game(SUB_S_GOODS_LIST, Bytes(DefaultScene()))); });
  EXPECT_FALSE(ControlsLocked());
  EXPECT_FALSE(client.View().HasTimer(IDT_BUY_COOLDOWN));
}

TEST_F(ClientPurchase, EveryResultResetsThePanelAndKnownCodesShowTheirBox) {
  const std::uint16_t expected[] = {MSGBOX_NONE,        MSGBOX_NO_USER,    MSGBOX_NO_GOODS,
                                    MSGBOX_NO_AUCTION_GOODS, MSGBOX_NOT_CURRENT, MSGBOX_TIME_OVER,
                                    MSGBOX_SHARES_SHORT, MSGBOX_COINS_SHORT, MSGBOX_BAD_SHARES,
                                    MSGBOX_NONE,        MSGBOX_NONE};
  for (std::uint8_t code = 0; code <= 10; ++code) {
    GetMsgBox().Close();
    GetBuyPanel().OnCommand(CBuyPanel::kAddButtonId);
    ASSERT_EQ(GetBuyPanel().GetChosenShares(), kLotMinShares + 1);
    EXPECT_TRUE(client.Game(SUB_S_BUY_RESULT, {code}));
    EXPECT_EQ(GetMsgBox().GetKind(), expected[code]) << int(code);
    EXPECT_EQ(GetBuyPanel().GetChosenShares(), kLotMinShares) << int(code);
  }
}

TEST_F(ClientPurchase, NoticesAddUpAndOnlyTheLocalPlayersChangeTheHolding) {
  MessageView* mv = client.View().GetMessageView();
  mv->ShowTab(MessageView::kLuckyUserTab);
  const std::size_t lines = mv->MyBuyLines().size();
  EXPECT_TRUE(client.Game(SUB_S_BUY_NOTIFY, Bytes(Notice(kMeId + 1, kLotId, 3))));
  EXPECT_EQ(Lot().soldShares, 3u);
  EXPECT_EQ(Lot().heldShares, 0u);
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_NONE);
  EXPECT_EQ(mv->MyBuyLines().size(), lines);
  EXPECT_EQ(mv->GetActiveTab(), MessageView::kLuckyUserTab);

  EXPECT_TRUE(client.Game(SUB_S_BUY_NOTIFY, Bytes(Notice(kMeId, kLotId, 4))));
  EXPECT_EQ(Lot().soldShares, 7u);
  EXPECT_EQ(Lot().heldShares, 4u);
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_BUY_SUCCESS);
  EXPECT_EQ(GetMsgBox().GetBoughtCount(), 4);
  EXPECT_EQ(mv->GetActiveTab(), MessageView::kMyBuyTab);

  // Goods that are not stored: accepted, nothing changes.
  EXPECT_TRUE(client.Game(SUB_S_BUY_NOTIFY, Bytes(Notice(kMeId, 4242, 9))));
  EXPECT_EQ(Lot().soldShares, 7u);
}

TEST_F(ClientPurchase, LocalNoticeWithoutUserRecordOnlyCountsTheSale) {
  client.SetUser(false);
  const std::size_t lines = client.View().GetMessageView()->MyBuyLines().size();
  EXPECT_FALSE(client.Game(SUB_S_BUY_NOTIFY, Bytes(Notice(kMeId, kLotId, 4))));
  EXPECT_EQ(Lot().soldShares, 4u);
  EXPECT_EQ(Lot().heldShares, 0u);
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_NONE);
  EXPECT_EQ(client.View().GetMessageView()->MyBuyLines().size(), lines);
}

}  // namespace
}  // namespace clienttest
