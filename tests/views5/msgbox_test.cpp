#include "client/views/msgbox.h"

#include "client/core/requestmessages.h"
#include "client/views/buypanel.h"
#include "client/views/myedit.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/timerqueue.h"
#include "tests/views5/viewfixture.h"

namespace views5 {
namespace {

using Kind = plat::DrawRecord::Kind;

const gcn::Color kWhite(255, 255, 255, 255);
const gcn::Color kNextGoods(230, 185, 140, 255);

// The process-wide buy panel sits on a host that lives as long as the test program.
PanelHostView& SharedHost() {
  plat::TimerQueue::Instance();  // outlives the host, whose destructor kills its timers
  static PanelHostView host(&GetBuyPanel());
  return host;
}

class MsgBoxTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    GetBuyPanel().Create(&SharedHost());
    GetBuyPanel().ShowControls(true);
    m_box.Create();
    m_box.setVisible(false);
    m_top.setSize(1280, 720);
    m_top.add(&m_box, 0, 0);
    m_runner = std::make_unique<plat::GuiRunner>(m_device.get());
    m_runner->SetTop(&m_top);
    SetGoodsList({MakeLot(801, 100, 0, 10000, 0, 0)});
    m_dialog.SetCoins(1000000);
    GetBuyPanel().ResetToMinimum();
  }
  void TearDown() override {
    m_runner.reset();
    ViewTest::TearDown();
  }
  void ClickOn(const gcn::Widget* w) {
    int x = 0, y = 0;
    w->getAbsolutePosition(x, y);
    m_runner->Input().InjectClick(x + w->getWidth() / 2, y + w->getHeight() / 2);
    m_runner->Logic();
  }
  std::vector<plat::DrawRecord> DrawBox() {
    return Capture([&](gcn::Graphics* g) { m_box.draw(g); });
  }
  static bool PanelLocked() {
    CBuyPanel& p = GetBuyPanel();
    return !p.AddButton()->isEnabled() && !p.ReduceButton()->isEnabled() && !p.BuyButton()->isEnabled() &&
           !p.ShareField()->isEnabled();
  }
  int LineHeight() const { return m_font.getHeight(); }

  RecordingDialog m_dialog;
  OrvHgeWindow m_top;
  CMsgBox m_box;
  std::unique_ptr<plat::GuiRunner> m_runner;
  OrvHgeFont m_font{plat::Utf8ToGbk("宋").c_str(), 14, 0, 0, 0};
};

TEST_F(MsgBoxTest, TakesTheBackgroundsSizeAndStartsClosed) {
  EXPECT_EQ(m_box.getWidth(), kBoxW);
  EXPECT_EQ(m_box.getHeight(), kBoxH);
  EXPECT_EQ(m_box.GetKind(), MSGBOX_NONE);
  EXPECT_FALSE(m_box.OkButton()->isVisible());
  EXPECT_EQ(m_box.OkButton()->getX(), 105);
  EXPECT_EQ(m_box.BuyAllButton()->getX(), 23);
  EXPECT_EQ(m_box.CancelButton()->getX(), 188);
  EXPECT_EQ(m_box.CancelButton()->getY(), 120);
}

TEST_F(MsgBoxTest, SharesShortOffersBuyAllAndCancelOnly) {
  m_box.ShowKind(MSGBOX_SHARES_SHORT);
  EXPECT_TRUE(m_box.isVisible());
  EXPECT_FALSE(m_box.OkButton()->isVisible());
  EXPECT_TRUE(m_box.BuyAllButton()->isVisible());
  EXPECT_TRUE(m_box.CancelButton()->isVisible());
  EXPECT_TRUE(PanelLocked());

  auto log = DrawBox();
  const auto text = Find(log, Kind::Text, "剩余份额不足，是否将剩余份额购买！");
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].x, 170 - text[0].w / 2);
  EXPECT_EQ(text[0].y, 50);
  EXPECT_TRUE(SameColor(text[0].color, kWhite));
  EXPECT_EQ(Find(log, Kind::Text, "全部购买").size(), 1u);
  EXPECT_EQ(Find(log, Kind::Text, "取消").size(), 1u);
  EXPECT_TRUE(Find(log, Kind::Text, "确定").empty());

  ClickOn(m_box.CancelButton());
  EXPECT_FALSE(m_box.isVisible());
  EXPECT_EQ(m_box.GetKind(), MSGBOX_NONE);
  EXPECT_TRUE(GetBuyPanel().AddButton()->isEnabled());
  EXPECT_TRUE(GetBuyPanel().ShareField()->isEnabled());
  EXPECT_TRUE(m_dialog.sent.empty());
}

TEST_F(MsgBoxTest, BuyAllSendsOneRequestForTheLotOnSale) {
  m_box.ShowKind(MSGBOX_SHARES_SHORT);
  ClickOn(m_box.BuyAllButton());
  ASSERT_EQ(m_dialog.sent.size(), 1u);
  EXPECT_EQ(m_dialog.sent[0].message, WM_BUY_ALL_REQ);
  EXPECT_EQ(m_dialog.sent[0].wParam, 801u);
  EXPECT_EQ(m_dialog.sent[0].lParam, 0);
  EXPECT_FALSE(m_box.isVisible());

  // No lot on sale: the box only closes.
  SetGoodsList({MakeGoods(802, GOODS_STATE_CANDIDATE, "咖啡机", "goods_02.png")});
  m_box.ShowKind(MSGBOX_SHARES_SHORT);
  ClickOn(m_box.BuyAllButton());
  EXPECT_EQ(m_dialog.sent.size(), 1u);
  EXPECT_FALSE(m_box.isVisible());
}

TEST_F(MsgBoxTest, WonLotNamesTheNextLotOrTheNextBatch) {
  m_box.SetGoodsNumber(12);
  m_box.SetGoodsName(plat::Utf8ToGbk("金龙手表"));
  m_box.SetWinnerName(plat::Utf8ToGbk("小明"));
  m_box.SetNextGoodsNumber(0);
  m_box.ShowKind(MSGBOX_OTHER_WON);
  EXPECT_TRUE(m_box.OkButton()->isVisible());
  EXPECT_FALSE(m_box.BuyAllButton()->isVisible());

  auto log = DrawBox();
  const auto first = Find(log, Kind::Text, "12号商品金龙手表，被玩家小明成功拍得，");
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].y, 18);
  const auto second = Find(log, Kind::Text, "希望下一个商品大家再接再厉！");
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].y, 18 + 2 * LineHeight());  // the empty line between them
  EXPECT_EQ(second[0].x, 170 - second[0].w / 2);
  const auto strip = Find(log, Kind::Image, "NextGoodsBg.png");
  ASSERT_EQ(strip.size(), 1u);
  EXPECT_EQ(strip[0].x, 65);
  EXPECT_EQ(strip[0].y, 73);
  const auto batch = Find(log, Kind::Text, "下批商品开起拍卖！");
  ASSERT_EQ(batch.size(), 1u);
  EXPECT_EQ(batch[0].y, 81);
  EXPECT_TRUE(SameColor(batch[0].color, kNextGoods));
  // Kind 3 sets no colour of its own: white, as the captions of the last frame left it.
  auto again = DrawBox();
  EXPECT_TRUE(SameColor(Find(again, Kind::Text, "希望下一个商品大家再接再厉！")[0].color, kWhite));

  m_box.SetNextGoodsNumber(12);
  auto next = DrawBox();
  EXPECT_EQ(Find(next, Kind::Text, "12号商品开起拍卖！").size(), 1u);
  EXPECT_TRUE(Find(next, Kind::Text, "下批商品开起拍卖！").empty());
}

TEST_F(MsgBoxTest, CloseClearsTheFieldsButNotTheCustomText) {
  m_box.SetGoodsNumber(9);
  m_box.SetFailedShares(40);
  m_box.SetNextGoodsNumber(10);
  m_box.SetBoughtCount(5);
  m_box.SetGoodsName("x");
  m_box.SetWinnerName("y");
  m_box.SetCustomText("kept");
  m_box.ShowKind(MSGBOX_AUCTION_FAILED);
  ClickOn(m_box.OkButton());
  EXPECT_EQ(m_box.GetGoodsNumber(), 0);
  EXPECT_EQ(m_box.GetFailedShares(), 0);
  EXPECT_EQ(m_box.GetNextGoodsNumber(), 0);
  EXPECT_EQ(m_box.GetBoughtCount(), 0);
  EXPECT_EQ(m_box.GetGoodsName(), "");
  EXPECT_EQ(m_box.GetWinnerName(), "");
  EXPECT_EQ(m_box.GetCustomText(), "kept");
  EXPECT_FALSE(m_box.OkButton()->isVisible());

  m_box.ShowKind(MSGBOX_AUCTION_FAILED);
  auto log = DrawBox();
  EXPECT_EQ(Find(log, Kind::Text, "0号商品拍卖时间结束，商品份额还余0流拍！").size(), 1u);
  EXPECT_EQ(Find(log, Kind::Text, "下批商品开起拍卖！").size(), 1u);
}

TEST_F(MsgBoxTest, ALaterKindReplacesTheOpenOne) {
  m_box.ShowKind(MSGBOX_LIKED);
  m_box.SetCustomText(plat::Utf8ToGbk("您已为\"咖啡机\"点赞！\n\n该商品在以下六款商品集赞中胜出。\n\n则将在下期首发登场"));
  auto liked = DrawBox();
  const auto icon = Find(liked, Kind::Image, "Success.png");
  ASSERT_EQ(icon.size(), 1u);
  EXPECT_EQ(icon[0].x, 35);
  EXPECT_EQ(icon[0].y, 35);
  const auto head = Find(liked, Kind::Text, "您已为\"咖啡机\"点赞！");
  ASSERT_EQ(head.size(), 1u);
  EXPECT_EQ(head[0].x, 190 - head[0].w / 2);
  EXPECT_EQ(head[0].y, 30);
  EXPECT_EQ(Find(liked, Kind::Text, "则将在下期首发登场")[0].y, 30 + 4 * LineHeight());

  m_box.ShowKind(MSGBOX_LIKE_REPEAT);
  m_box.SetCustomText(plat::Utf8ToGbk("您已为\"咖啡机\"点赞！\n\n暂时不可再为该商品点赞！"));
  auto repeat = DrawBox();
  EXPECT_TRUE(Find(repeat, Kind::Image, "Success.png").empty());
  EXPECT_TRUE(Find(repeat, Kind::Text, "则将在下期首发登场").empty());
  const auto text = Find(repeat, Kind::Text, "您已为\"咖啡机\"点赞！");
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].x, 170 - text[0].w / 2);
  EXPECT_EQ(text[0].y, 50);
  EXPECT_TRUE(m_box.OkButton()->isVisible());
  EXPECT_FALSE(m_box.BuyAllButton()->isVisible());
  EXPECT_FALSE(m_box.CancelButton()->isVisible());
  EXPECT_EQ(Find(repeat, Kind::Text, "确定").size(), 1u);
}

TEST_F(MsgBoxTest, PurchaseSuccessIsLeftAlignedBesideTheIcon) {
  m_box.SetBoughtCount(5);
  m_box.ShowKind(MSGBOX_BUY_SUCCESS);
  auto log = DrawBox();
  const auto first = Find(log, Kind::Text, "您成功购买了5份，请留意开奖结果，");
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].x, 80);
  EXPECT_EQ(first[0].y, 37);
  EXPECT_EQ(Find(log, Kind::Text, "预祝您获奖！")[0].x, 80);
  EXPECT_EQ(Find(log, Kind::Image, "Success.png").size(), 1u);
}

TEST_F(MsgBoxTest, EveryKindShowsItsTextAndUnknownKindsAreIgnored) {
  const std::pair<std::uint16_t, const char*> plain[] = {
      {MSGBOX_COINS_SHORT, "持有金币不足以购买！"},   {MSGBOX_NO_USER, "购买用户不存在！"},
      {MSGBOX_NO_GOODS, "购买商品不存在！"},           {MSGBOX_NO_AUCTION_GOODS, "拍卖商品不存在！"},
      {MSGBOX_NOT_CURRENT, "购买商品非当前拍卖！"},    {MSGBOX_TIME_OVER, "当前商品拍卖时间已结束！"},
      {MSGBOX_BAD_SHARES, "购买份额数无效！"},
  };
  for (const auto& [kind, text] : plain) {
    m_box.ShowKind(kind);
    auto log = DrawBox();
    ASSERT_EQ(Find(log, Kind::Text, text).size(), 1u) << kind;
    EXPECT_EQ(Find(log, Kind::Text, text)[0].y, 50);
    EXPECT_TRUE(m_box.OkButton()->isVisible());
    EXPECT_TRUE(PanelLocked());
  }
  m_box.SetGoodsNumber(3);
  m_box.SetGoodsName(plat::Utf8ToGbk("咖啡机"));
  m_box.ShowKind(MSGBOX_I_WON);
  EXPECT_EQ(Find(DrawBox(), Kind::Text, "恭喜您，3号商品咖啡机，被您成功拍得，祝您下").size(), 1u);

  m_box.ShowKind(MSGBOX_NONE);
  m_box.ShowKind(500);
  EXPECT_EQ(m_box.GetKind(), MSGBOX_I_WON);
  m_box.Close();
  m_box.ShowKind(MSGBOX_NONE);
  EXPECT_FALSE(m_box.isVisible());
  EXPECT_FALSE(PanelLocked());
  // Closed: only the background is drawn.
  auto closed = DrawBox();
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0].what, "Velmora/Image/MessageBox/Bg.png");
}

TEST_F(MsgBoxTest, CaptionsAreWhiteAndCentredOnTheButton) {
  for (OrvHgeButton* button : {m_box.OkButton(), m_box.BuyAllButton(), m_box.CancelButton()}) {
    auto log = Capture([&](gcn::Graphics* g) { EXPECT_TRUE(m_box.DrawButtonCaption(g, button)); });
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].x, 64 - log[0].w / 2);
    EXPECT_EQ(log[0].y, 12);
    EXPECT_TRUE(SameColor(log[0].color, kWhite));
  }
  OrvHgeButton stranger(nullptr, 111, "Velmora/Image/MessageBox/BtRed.png", 0, 0, false);
  auto none = Capture([&](gcn::Graphics* g) { EXPECT_FALSE(m_box.DrawButtonCaption(g, &stranger)); });
  EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace views5
