// Whole games played the way `velmora --input FILE --state-json FILE` plays them: the script's
// input reaches the real client at its frames, the state is read the way the program writes
// it, and the test's server (with a manual clock) decides when lots close and open.
#include <guichan/widget.hpp>

#include "client/data/buydata.h"
#include "client/views/buypanel.h"
#include "client/views/msgbox.h"
#include "client/views/orvgameclientview.h"
#include "client/core/gameclientdlg.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/e2e/e2efixture.h"

namespace veltest {
namespace {

// Where the script points, in game pixels: the buy panel's buy button, its + button, the lot's
// picture, the first candidate's picture and like button, and the sales history button.
constexpr int kBuyX = 497, kBuyY = 635;
constexpr int kAddX = 604, kAddY = 519;
constexpr int kLotPictureX = 500, kLotPictureY = 250;
constexpr int kLikeX = 85, kLikeY = 240;
constexpr int kHistoryX = 1190, kHistoryY = 191;
constexpr std::uint32_t kLotSeconds = 60;
constexpr std::uint32_t kPauseSeconds = 5;

bool Covers(const gcn::Widget* w, int x, int y) {
  if (w == nullptr) return false;
  int wx = 0, wy = 0;
  w->getAbsolutePosition(wx, wy);
  return x >= wx && y >= wy && x < wx + w->getWidth() && y < wy + w->getHeight();
}

double Num(const Json& j, const char* path) {
  const Json* v = j.At(path);
  EXPECT_TRUE(v != nullptr && v->type == Json::Type::Number) << path;
  return v != nullptr ? v->number : -1;
}

bool Flag(const Json& j, const char* path) {
  const Json* v = j.At(path);
  EXPECT_TRUE(v != nullptr && v->type == Json::Type::Bool) << path;
  return v != nullptr && v->boolean;
}

bool IsNull(const Json& j, const char* path) {
  const Json* v = j.At(path);
  EXPECT_NE(v, nullptr) << path;
  return v != nullptr && v->IsNull();
}

std::string Text(const Json& j, const char* path) {
  const Json* v = j.At(path);
  EXPECT_TRUE(v != nullptr && v->type == Json::Type::String) << path;
  return v != nullptr ? v->text : std::string();
}

class ScriptedTest : public E2eFixture {
 protected:
  void ExpectScriptPointsHit() {
    CBuyPanel& panel = GetBuyPanel();
    EXPECT_TRUE(Covers(panel.BuyButton(), kBuyX, kBuyY));
    EXPECT_TRUE(Covers(panel.AddButton(), kAddX, kAddY));
    EXPECT_TRUE(panel.HitTestPicture(kLotPictureX, kLotPictureY));
    EXPECT_TRUE(Covers(Dialog()->GetGameClientView().HistoryButton(), kHistoryX, kHistoryY));
  }
  // The lot on sale runs out of time and fails; its box opens.
  void LetTheLotFail(int beforeFrame) {
    AdvanceGame(kLotSeconds);
    WaitBefore([] { return GetMsgBox().GetKind() == MSGBOX_AUCTION_FAILED; }, beforeFrame, "the failed box");
  }
  void OpenTheNextLot(std::uint32_t previousNumber, int beforeFrame) {
    AdvanceGame(kPauseSeconds);
    WaitBefore([&] {
      const CBSceneItem* lot = GetBuyData().GetCurrentItem();
      return lot != nullptr && lot->goodsNumber != previousNumber;
    }, beforeFrame, "the next lot open");
  }
};

// Item: the panel is live, at the lot's minimum, as soon as the next lot opens; after a failed
// lot whose box was closed in the pause, and after a won one.
TEST_F(ScriptedTest, AfterAFailedLotThePanelOpensTheNextAtItsMinimum) {
  WriteGoods(/*shares=*/10, /*minShares=*/3);
  StartServer();
  StartScripted("脚本玩家", "400 key Escape\n", 300);
  ExpectScriptPointsHit();
  const std::uint32_t first = GetBuyData().GetCurrentItem()->goodsNumber;

  LetTheLotFail(400);
  RunTo(401);
  Json pause = State();
  EXPECT_TRUE(IsNull(pause, "msgbox")) << "Escape closes the box as its OK button would";
  EXPECT_TRUE(IsNull(pause, "lot"));

  OpenTheNextLot(first, 800);
  RunTo(800);
  const Json s = State();
  EXPECT_TRUE(Flag(s, "panel.shown"));
  EXPECT_TRUE(Flag(s, "panel.buy_enabled"));
  EXPECT_TRUE(Flag(s, "panel.add_enabled"));
  EXPECT_EQ(Num(s, "panel.minimum"), 3);
  EXPECT_EQ(Num(s, "panel.chosen"), Num(s, "panel.minimum"));
  EXPECT_EQ(Text(s, "panel.field"), "3");
  EXPECT_EQ(Text(s, "panel.reason"), "");
  EXPECT_GE(Num(s, "lot.seconds_left"), kLotSeconds - 1.0) << "the countdown starts with the lot";
  EXPECT_TRUE(Flag(s, "connected"));
}

TEST_F(ScriptedTest, AfterAWonLotThePanelOpensTheNextAtItsMinimum) {
  WriteGoods(/*shares=*/6, /*minShares=*/3);
  StartServer();
  // + three times (3 -> 6, all of the lot), buy: the lot sells out to us. Escape in the pause.
  StartScripted("赢家", "300 click 604 519\n301 click 604 519\n302 click 604 519\n303 click 497 635\n"
                "500 key Escape\n", 300);
  const std::uint32_t first = GetBuyData().GetCurrentItem()->goodsNumber;
  WaitBefore([] { return GetMsgBox().GetKind() == MSGBOX_I_WON; }, 500, "the won box");
  RunTo(501);
  const Json won = State();
  EXPECT_TRUE(IsNull(won, "msgbox"));
  EXPECT_EQ(Num(won, "coins"), kInitialCoins - 6 * kSharePrice);
  EXPECT_EQ(Num(won, "lucky_lines"), 3);
  EXPECT_EQ(Num(won, "my_lines"), 3);

  OpenTheNextLot(first, 900);
  RunTo(900);
  const Json s = State();
  EXPECT_TRUE(Flag(s, "panel.buy_enabled"));
  EXPECT_EQ(Num(s, "panel.chosen"), 3);
  EXPECT_EQ(Num(s, "panel.minimum"), 3);
  EXPECT_EQ(Num(s, "lot.held"), 0);
}

// The next lot opening while the result box is still up leaves the panel locked until the box
// goes, then live at the minimum.
TEST_F(ScriptedTest, ABoxLeftOpenKeepsThePanelLockedUntilItCloses) {
  WriteGoods(10, 3);
  StartServer();
  StartScripted("慢玩家", "700 key Escape\n", 300);
  const std::uint32_t first = GetBuyData().GetCurrentItem()->goodsNumber;
  LetTheLotFail(500);
  OpenTheNextLot(first, 650);
  RunTo(650);
  Json open = State();
  EXPECT_EQ(Num(open, "msgbox"), MSGBOX_AUCTION_FAILED);
  EXPECT_FALSE(Flag(open, "panel.buy_enabled"));
  EXPECT_NE(Text(open, "panel.reason"), "") << "grey, and the panel says why";
  RunTo(701);
  const Json s = State();
  EXPECT_TRUE(IsNull(s, "msgbox"));
  EXPECT_TRUE(Flag(s, "panel.buy_enabled"));
  EXPECT_EQ(Num(s, "panel.chosen"), 3);
}

// Item: a description callout held until a box opens goes with the box's opening.
TEST_F(ScriptedTest, AHoverHeldUntilABoxOpensLeavesNoCallout) {
  WriteGoods(10, 3);
  StartServer();
  StartScripted("看客", "300 move 500 250\n", 300);
  RunTo(320);
  const Json hovering = State();
  ASSERT_FALSE(IsNull(hovering, "callout"));
  EXPECT_TRUE(Flag(hovering, "callout.lot"));
  EXPECT_EQ(Num(hovering, "callout.slot"), 7);

  LetTheLotFail(700);
  RunTo(700);
  const Json s = State();
  EXPECT_EQ(Num(s, "msgbox"), MSGBOX_AUCTION_FAILED);
  EXPECT_TRUE(IsNull(s, "callout"));
}

// Item: a server restart shows the same lists as a fresh start, and a purchase refunded
// because the server stopped mid-lot is explained.
TEST_F(ScriptedTest, AServerRestartLeavesTheListsAsTheyWereAndExplainsTheRefund) {
  WriteGoods(6, 3);
  StartServer();
  const std::uint16_t port = server.Port();
  StartScripted("回来的人", "300 click 604 519\n301 click 604 519\n302 click 604 519\n303 click 497 635\n"
                "500 key Escape\n"
                "900 click 497 635\n1000 key Escape\n", 300);
  const std::uint32_t first = GetBuyData().GetCurrentItem()->goodsNumber;
  WaitBefore([] { return GetMsgBox().GetKind() == MSGBOX_I_WON; }, 500, "the won box");
  OpenTheNextLot(first, 900);
  const std::uint32_t second = GetBuyData().GetCurrentItem()->goodsNumber;
  WaitBefore([] { return GetMsgBox().GetKind() == MSGBOX_BUY_SUCCESS; }, 1000, "the second purchase");
  RunTo(1001);
  const Json before = State();
  EXPECT_EQ(Num(before, "lucky_lines"), 3);
  EXPECT_EQ(Num(before, "my_lines"), 6);
  EXPECT_EQ(Num(before, "coins"), kInitialCoins - 9 * kSharePrice);

  server.Stop();
  WaitBefore([&] { return !Dialog()->IsConnected(); }, 3000, "the loss seen");
  StartServer(port);
  WaitBefore([&] { return Dialog()->IsConnected() && ClientCoins() == kInitialCoins - 6 * kSharePrice; }, 6000,
             "back online with the open lot refunded");
  WaitBefore([&] { return StatusUtf8().find(std::to_string(second) + "号商品") != std::string::npos; }, 7000,
             "the refund explained");
  const Json after = State();
  EXPECT_EQ(Num(after, "lucky_lines"), Num(before, "lucky_lines"));
  EXPECT_EQ(Num(after, "my_lines"), Num(before, "my_lines"));
  EXPECT_NE(Text(after, "status").find("30000"), std::string::npos) << Text(after, "status");
  EXPECT_TRUE(Flag(after, "connected"));
}

// Item: why buy is grey, in a line of the panel's own.
TEST_F(ScriptedTest, AGreyBuyButtonSaysWhy) {
  WriteGoods(10, 3);
  StartServer();
  // Into the field: Backspace leaves it empty, "1" is below the lot's minimum of 3.
  StartScripted("新手", "300 click 550 518\n301 key End\n302 key Backspace\n303 text 1\n", 300);
  RunTo(320);
  const Json low = State();
  EXPECT_EQ(Num(low, "panel.chosen"), 1);
  EXPECT_FALSE(Flag(low, "panel.buy_enabled"));
  EXPECT_NE(Text(low, "panel.reason").find("至少购买3份"), std::string::npos) << Text(low, "panel.reason");

  server.Stop();
  WaitBefore([&] { return !Dialog()->IsConnected(); }, 2000, "the loss seen");
  RunTo(session->FramesRun() + 2);
  const Json offline = State();
  EXPECT_FALSE(Flag(offline, "connected"));
  EXPECT_NE(Text(offline, "panel.reason").find("未连接"), std::string::npos) << Text(offline, "panel.reason");
}

// Item: with the program's own crowd and lot length, a newcomer who takes 19 s to decide still
// finds each lot on sale with shares left; on the first the script buys in.
TEST_F(ScriptedTest, ALateNewcomerStillFindsSharesToBuy) {
  velsrv::ServerOptions o = ServerOptions();
  const velsrv::ServerOptions defaults;
  o.goodsFile = std::string(VELMORA_ASSET_DIR) + "/server/goods.xml";
  o.lotSeconds = defaults.lotSeconds;
  o.pauseSeconds = defaults.pauseSeconds;
  o.pacedBots = defaults.pacedBots;
  o.bots = 8;  // the crowd the program seats on its built-in server
  std::string error;
  ASSERT_TRUE(server.Start(0, o, &error)) << error;
  StartScripted("新来的", "600 click 497 635\n", 300);
  RunTo(300);
  // The server's own pace: four ticks a game second, a few frames each.
  const auto playQuarter = [&] {
    clock.Advance(250);
    server.Tick();
    RunTo(session->FramesRun() + 3);
  };
  double previous = -1;
  for (int lot = 0; lot < 4; ++lot) {
    for (int quarter = 0; quarter < 70 * 4; ++quarter) {
      const CBSceneItem* item = GetBuyData().GetCurrentItem();
      if (item != nullptr && item->goodsNumber != previous) break;
      playQuarter();
    }
    const Json opened = State();
    ASSERT_FALSE(IsNull(opened, "lot")) << "lot " << lot << " never opened";
    previous = Num(opened, "lot.goods_number");
    // The result of the lot we bought into stays up until we close it, as a player would.
    if (GetMsgBox().GetKind() != 0) Click(GetMsgBox().OkButton());
    for (int quarter = 0; quarter < 19 * 4; ++quarter) playQuarter();
    const Json late = State();
    ASSERT_FALSE(IsNull(late, "lot")) << "lot " << lot << " sold out within 19 s";
    EXPECT_EQ(Num(late, "lot.goods_number"), previous);
    EXPECT_GT(Num(late, "lot.sold"), 0) << "the crowd is buying";
    EXPECT_GE(Num(late, "lot.total") - Num(late, "lot.sold"), Num(late, "panel.minimum")) << "lot " << lot;
    EXPECT_TRUE(Flag(late, "panel.buy_enabled")) << "lot " << lot << ": " << Text(late, "panel.reason");
    if (lot == 0) {
      WaitBefore([] { return GetBuyData().GetCurrentItem()->heldShares > 0; }, 900, "the newcomer's shares");
      EXPECT_EQ(GetBuyData().GetCurrentItem()->heldShares, Num(late, "panel.chosen"));
    }
  }
}

// Item: a player who cannot pay for one share is topped up, and told.
TEST_F(ScriptedTest, ABrokePlayerIsToppedUpAndTold) {
  WriteGoods(10, 3);
  velsrv::ServerOptions o = ServerOptions();
  o.initialCoins = 3 * kSharePrice;
  std::string error;
  ASSERT_TRUE(server.Start(0, o, &error)) << error;
  StartScripted("穷玩家", "300 click 497 635\n", 300);
  WaitBefore([] { return GetMsgBox().GetKind() == MSGBOX_BUY_SUCCESS; }, 600, "the purchase");
  WaitBefore([&] { return StatusUtf8().find("100000") != std::string::npos; }, 600, "the relief told");
  RunTo(600);
  const Json s = State();
  EXPECT_EQ(Num(s, "coins"), 100000);
  EXPECT_EQ(Num(s, "lot.held"), 3);
}

// Item: Escape closes the topmost window, one at a time: the bank over the rules over the
// sales history; then a like's message box, as its OK button would.
TEST_F(ScriptedTest, EscapeClosesTheTopmostWindowFirst) {
  WriteGoods(10, 3);
  StartServer();
  StartScripted("键盘手", "300 move 1190 191\n301 click 1190 191\n302 key F1\n303 key F2\n"
                "310 key Escape\n320 key Escape\n330 key Escape\n"
                "340 move 85 240\n341 click 85 240\n350 key Escape\n", 300);
  RunTo(305);
  Json s = State();
  EXPECT_TRUE(Flag(s, "windows.history") && Flag(s, "windows.rule") && Flag(s, "windows.bank"));
  RunTo(311);
  s = State();
  EXPECT_FALSE(Flag(s, "windows.bank"));
  EXPECT_TRUE(Flag(s, "windows.rule") && Flag(s, "windows.history"));
  RunTo(321);
  s = State();
  EXPECT_FALSE(Flag(s, "windows.rule"));
  EXPECT_TRUE(Flag(s, "windows.history"));
  RunTo(331);
  s = State();
  EXPECT_FALSE(Flag(s, "windows.history"));
  RunTo(345);
  s = State();
  EXPECT_EQ(Num(s, "msgbox"), MSGBOX_LIKED);
  RunTo(351);
  s = State();
  EXPECT_TRUE(IsNull(s, "msgbox"));
  EXPECT_TRUE(Flag(s, "panel.buy_enabled")) << "closed as OK would: the panel is unlocked";
}

}  // namespace
}  // namespace veltest
