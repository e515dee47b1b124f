// One round end to end: the player clicks the buy button, holds every share, wins the lot, and
// the store, the message box, the message view, the notices and both sides' coins agree.
#include <cstdlib>

#include "client/core/gameclientdlg.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/messageview.h"
#include "client/views/msgbox.h"
#include "client/views/systemnotice.h"
#include "platform/frame/gameframe.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/e2e/e2efixture.h"

namespace veltest {
namespace {

bool AnyLineHas(const std::list<std::u16string>& lines, const std::string& utf8) {
  const std::u16string part = plat::Utf8ToUtf16(utf8);
  for (const auto& line : lines)
    if (line.find(part) != std::u16string::npos) return true;
  return false;
}

class RoundTest : public E2eFixture {};

TEST_F(RoundTest, ClickingBuyWinsTheLotAndBothSidesAgree) {
  WriteGoods(/*shares=*/3, /*minShares=*/3);  // the smallest purchase is the whole lot
  StartServer();
  StartClient("测试玩家");
  const std::uint32_t me = Dialog()->GetMeUserData()->dwUserID;
  ASSERT_EQ(ClientCoins(), kInitialCoins);
  const CBSceneItem lot = *GetBuyData().GetCurrentItem();
  const std::string lotName = plat::GbkToUtf8(FieldText(lot.goodsName));

  CBuyPanel& panel = GetBuyPanel();
  ASSERT_TRUE(StepUntil([&] { return panel.GetChosenShares() == 3; }));
  if (const char* shots = std::getenv("VELMORA_E2E_SHOTS")) {
    std::string why;
    EXPECT_TRUE(session->SaveScreenshot(std::string(shots) + "/e2e-before-buy.png", &why)) << why;
  }
  Click(panel.BuyButton());

  ASSERT_TRUE(StepUntil([&] { return GetMsgBox().GetKind() == MSGBOX_I_WON; }))
      << "message box kind " << GetMsgBox().GetKind() << ", status: " << StatusUtf8();
  ASSERT_TRUE(StepUntil([&] { return ClientCoins() == kInitialCoins - 3 * kSharePrice; }));
  if (const char* shots = std::getenv("VELMORA_E2E_SHOTS")) {
    std::string why;
    EXPECT_TRUE(session->SaveScreenshot(std::string(shots) + "/e2e-won.png", &why)) << why;
  }

  // The store: the lot is sold, and the shares are ours.
  CBSceneItem* item = GetBuyData().GetItemById(lot.goodsId);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->state, GOODS_STATE_SOLD);
  EXPECT_EQ(item->heldShares, 3u);
  EXPECT_EQ(item->soldShares, 3u);

  // The message box names us as the winner of that lot.
  EXPECT_EQ(plat::GbkToUtf8(GetMsgBox().GetWinnerName()), "测试玩家");
  EXPECT_EQ(GetMsgBox().GetGoodsNumber(), static_cast<std::int32_t>(lot.goodsNumber));

  // The message view: our purchase under "my purchases", our win under "lucky users".
  MessageView* view = Dialog()->GetGameClientView().GetMessageView();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(AnyLineHas(view->MyBuyLines(), lotName));
  EXPECT_TRUE(AnyLineHas(view->LuckyUserLines(), "测试玩家"));

  // The notice band announces it.
  bool announced = false;
  for (const auto& notice : CSystemNotice::ActiveNotices())
    announced |= plat::GbkToUtf8(notice->Text()).find("测试玩家") != std::string::npos;
  EXPECT_TRUE(announced);

  // The coins agree on both sides, and exactly one request went out.
  EXPECT_EQ(ServerCoins(me), kInitialCoins - 3 * kSharePrice);
  EXPECT_EQ(session->Transport().GetStats().requestsSent, 1u);
  EXPECT_EQ(session->Frame()->Stats().rejectedGameMessages, 0u);
}

}  // namespace
}  // namespace veltest
