// The server dies mid-round and comes back on the same port and database: the client shows
// the loss, refuses a purchase while offline where the player can see it, reconnects on its
// own and shows the state the server restored (the open lot's coins refunded).
#include "client/core/gameclientdlg.h"
#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/msgbox.h"
#include "platform/frame/gameframe.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/e2e/e2efixture.h"

namespace veltest {
namespace {

class ReconnectTest : public E2eFixture {};

TEST_F(ReconnectTest, ServerRestartMidRoundIsShownAndRecovered) {
  WriteGoods(/*shares=*/10, /*minShares=*/3);
  StartServer();
  const std::uint16_t port = server.Port();
  StartClient("断线玩家");
  const std::uint32_t me = Dialog()->GetMeUserData()->dwUserID;
  const CBSceneItem lot = *GetBuyData().GetCurrentItem();

  CBuyPanel& panel = GetBuyPanel();
  ASSERT_TRUE(StepUntil([&] { return panel.GetChosenShares() == 3; }));
  Click(panel.BuyButton());
  ASSERT_TRUE(StepUntil([&] {
    const CBSceneItem* item = GetBuyData().GetItemById(lot.goodsId);
    return GetMsgBox().GetKind() == MSGBOX_BUY_SUCCESS && item && item->heldShares == 3 &&
           ClientCoins() == kInitialCoins - 3 * kSharePrice;
  })) << "message box kind " << GetMsgBox().GetKind();
  EXPECT_EQ(ServerCoins(me), kInitialCoins - 3 * kSharePrice);

  // Mid-round, the server goes away.
  server.Stop();
  ASSERT_TRUE(StepUntil([&] { return StatusUtf8().find("连接已断开") != std::string::npos; }))
      << "status: " << StatusUtf8();
  EXPECT_TRUE(session->Frame()->Status().IsPersistent());

  // A purchase while offline is refused on screen, not queued.
  Click(GetMsgBox().OkButton());
  ASSERT_TRUE(StepUntil([&] { return GetMsgBox().GetKind() == MSGBOX_NONE; }));
  ASSERT_TRUE(StepUntil([&] { return panel.BuyButton()->isEnabled(); }));
  const auto refusedBefore = session->Transport().GetStats().requestsRefused;
  Click(panel.BuyButton());
  EXPECT_TRUE(StepUntil([&] { return StatusUtf8().find("操作未发送") != std::string::npos; }))
      << "status: " << StatusUtf8();
  EXPECT_EQ(session->Transport().GetStats().requestsRefused, refusedBefore + 1);

  // Back on the same port and database: the open lot was closed as failed and refunded.
  StartServer(port);
  ASSERT_TRUE(StepUntil([&] {
    const CBSceneItem* current = GetBuyData().GetCurrentItem();
    return session->Transport().GetState() == plat::TcpTransport::State::Online &&
           ClientCoins() == kInitialCoins && current != nullptr && current->goodsNumber != lot.goodsNumber;
  })) << "coins " << ClientCoins() << ", status: " << StatusUtf8();
  // The refund is explained, not only seen as a changed number: which lot, how many coins.
  EXPECT_TRUE(StepUntil([&] {
    return StatusUtf8().find(std::to_string(lot.goodsNumber) + "号商品") != std::string::npos &&
           StatusUtf8().find("30000") != std::string::npos;
  })) << StatusUtf8();
  EXPECT_FALSE(session->Frame()->Status().IsPersistent());
  EXPECT_EQ(ServerCoins(me), kInitialCoins);
  EXPECT_EQ(Dialog()->GetMeUserData()->dwUserID, me);
  EXPECT_EQ(GetBuyData().GetCurrentItem()->heldShares, 0u);
  EXPECT_EQ(session->Transport().GetStats().logins, 2u);
  // Nothing sent while offline turned up after the reconnect.
  EXPECT_EQ(session->Transport().GetStats().requestsSent, 1u);
}

}  // namespace
}  // namespace veltest
