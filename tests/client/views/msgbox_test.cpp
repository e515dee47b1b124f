#include "client/views/msgbox.h"

#include "client/core/requestmessages.h"
#include "client/views/buypanel.h"
#include "client/views/myedit.h"
#include "client/views/viewtext.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "tests/client/views/storeviewfixture.h"

namespace storeviews {
namespace {

const gcn::Color kWhite(255, 255, 255, 255);

// The process-wide buy panel sits on a host that lives as long as the test program.
PanelHostView& SharedHost() {
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
    m_top.setSize(1280, 720);
    m_top.add(&m_box, 0, 0);
    m_runner->SetTop(&m_top);
    SetGoodsList({MakeLot(801, 100, 0, 10000, 0, 0)});
    m_dialog.SetCoins(1000000);
    GetBuyPanel().ResetToMinimum();
  }
  Log DrawBox() {
    return Capture([&](gcn::Graphics* g) { m_box.draw(g); });
  }
  static bool PanelLocked() {
    const CBuyPanel& p = GetBuyPanel();
    return !p.AddButton()->isEnabled() && !p.BuyButton()->isEnabled() && !p.ShareField()->isEnabled();
  }
  static bool PanelOpen() { return GetBuyPanel().AddButton()->isEnabled() && GetBuyPanel().ShareField()->isEnabled(); }
  // The one text record drawn with this text (an empty record when there is none).
  static plat::DrawRecord Text(const Log& log, const char* utf8) {
    const Log found = Find(log, Kind::Text, utf8);
    EXPECT_EQ(found.size(), 1u) << utf8;
    return found.empty() ? plat::DrawRecord() : found[0];
  }
  int LineHeight() const { return OrvHgeFont(SongFaceGbk().c_str(), 14, 0, 0, 0).getHeight(); }

  RecordingDialog m_dialog;
  OrvHgeWindow m_top;
  CMsgBox m_box;
};

TEST(ViewText, FormattingIntoAStringReplacesWhatItHeld) {
  std::string out(300, 'x');
  FormatTextInto(out, "%u份", 12u);
  EXPECT_EQ(out, "12份");
  const std::string longer(200, 'y');
  FormatTextInto(out, "%s-%d", longer.c_str(), 7);
  EXPECT_EQ(out, longer + "-7");
  EXPECT_EQ(FormatText("%s-%d", longer.c_str(), 7), out);
  FormatTextInto(out, nullptr);
  EXPECT_TRUE(out.empty());
  FormatTextInto(out, "%s", "");
  EXPECT_TRUE(out.empty());
}

TEST_F(MsgBoxTest, SharesShortOffersBuyAllAndCancelOnly) {
  EXPECT_EQ(m_box.getWidth(), kBoxW);
  m_box.ShowKind(MSGBOX_SHARES_SHORT);
  EXPECT_TRUE(m_box.isVisible());
  EXPECT_FALSE(m_box.OkButton()->isVisible());
  EXPECT_TRUE(m_box.BuyAllButton()->isVisible());
  EXPECT_TRUE(m_box.CancelButton()->isVisible());
  EXPECT_TRUE(PanelLocked());

  Log log = DrawBox();
  const plat::DrawRecord text = Text(log, "剩余份额不足，是否将剩余份额购买！");
  EXPECT_EQ(text.x, 170 - text.w / 2);
  EXPECT_EQ(text.y, 50);
  const plat::DrawRecord caption = Text(log, "全部购买");
  EXPECT_EQ(caption.x, 23 + 64 - caption.w / 2);
  EXPECT_EQ(caption.y, 120 + 12);
  EXPECT_TRUE(SameColor(caption.color, kWhite));
  EXPECT_TRUE(Find(log, Kind::Text, "确定").empty());

  ClickOn(m_box.CancelButton());
  EXPECT_FALSE(m_box.isVisible());
  EXPECT_EQ(m_box.GetKind(), MSGBOX_NONE);
  EXPECT_TRUE(PanelOpen());
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

  SetGoodsList({MakeGoods(802).State(GOODS_STATE_CANDIDATE).Value(3888)
      .NameUtf8("咖啡机").Picture("goods_02.png")});
  m_box.ShowKind(MSGBOX_SHARES_SHORT);
  ClickOn(m_box.BuyAllButton());
  EXPECT_EQ(m_dialog.sent.size(), 1u);  // no lot: the box only closes
  EXPECT_FALSE(m_box.isVisible());
}

TEST_F(MsgBoxTest, WonLotNamesTheNextLotOrTheNextBatch) {
  m_box.SetGoodsNumber(12);
  m_box.SetGoodsName(plat::Utf8ToGbk("金龙手表"));
  m_box.SetWinnerName(plat::Utf8ToGbk("小明"));
  m_box.SetNextGoodsNumber(0);
  m_box.ShowKind(MSGBOX_OTHER_WON);
  EXPECT_TRUE(m_box.OkButton()->isVisible());
  Log log = DrawBox();
  EXPECT_EQ(Text(log, "12号商品金龙手表，被玩家小明成功拍得，").y, 18);
  EXPECT_EQ(Text(log, "希望下一个商品大家再接再厉！").y, 18 + 2 * LineHeight());  // blank line between
  EXPECT_EQ(Find(log, Kind::Image, "NextGoodsBg.png").at(0).y, 73);
  const plat::DrawRecord batch = Text(log, "下批商品开起拍卖！");
  EXPECT_EQ(batch.y, 81);
  EXPECT_TRUE(SameColor(batch.color, gcn::Color(230, 185, 140, 255)));
  // No colour of its own: white, as the captions of the last frame left the font.
  EXPECT_TRUE(SameColor(Text(DrawBox(), "希望下一个商品大家再接再厉！").color, kWhite));

  m_box.SetNextGoodsNumber(12);
  log = DrawBox();
  Text(log, "12号商品开起拍卖！");
  EXPECT_TRUE(Find(log, Kind::Text, "下批商品开起拍卖！").empty());
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
  EXPECT_EQ(m_box.GetBoughtCount() | m_box.GetNextGoodsNumber(), 0);
  EXPECT_EQ(m_box.GetGoodsName() + m_box.GetWinnerName(), "");
  EXPECT_EQ(m_box.GetCustomText(), "kept");
  EXPECT_TRUE(PanelOpen());

  m_box.ShowKind(MSGBOX_AUCTION_FAILED);
  Log log = DrawBox();
  Text(log, "0号商品拍卖时间结束，商品份额还余0流拍！");
  Text(log, "下批商品开起拍卖！");
}

TEST_F(MsgBoxTest, ALaterKindReplacesTheOpenOne) {
  m_box.ShowKind(MSGBOX_LIKED);
  m_box.SetCustomText(plat::Utf8ToGbk("您已为\"咖啡机\"点赞！\n\n该商品在以下六款商品集赞中胜出。\n\n则将在下期首发登场"));
  Log liked = DrawBox();
  EXPECT_EQ(Find(liked, Kind::Image, "Success.png").at(0).x, 35);
  const plat::DrawRecord head = Text(liked, "您已为\"咖啡机\"点赞！");
  EXPECT_EQ(head.x, 190 - head.w / 2);
  EXPECT_EQ(head.y, 30);
  EXPECT_EQ(Text(liked, "则将在下期首发登场").y, 30 + 4 * LineHeight());

  m_box.ShowKind(MSGBOX_LIKE_REPEAT);
  m_box.SetCustomText(plat::Utf8ToGbk("您已为\"咖啡机\"点赞！\n\n暂时不可再为该商品点赞！"));
  Log repeat = DrawBox();
  EXPECT_TRUE(Find(repeat, Kind::Image, "Success.png").empty());
  EXPECT_TRUE(Find(repeat, Kind::Text, "则将在下期首发登场").empty());
  const plat::DrawRecord text = Text(repeat, "您已为\"咖啡机\"点赞！");
  EXPECT_EQ(text.x, 170 - text.w / 2);
  EXPECT_EQ(text.y, 50);
  EXPECT_TRUE(m_box.OkButton()->isVisible());
  EXPECT_FALSE(m_box.BuyAllButton()->isVisible() || m_box.CancelButton()->isVisible());
}

TEST_F(MsgBoxTest, KindsOutOfRangeAreIgnored) {
  m_box.SetBoughtCount(5);
  m_box.ShowKind(MSGBOX_BUY_SUCCESS);
  m_box.ShowKind(MSGBOX_NONE);
  m_box.ShowKind(500);
  EXPECT_EQ(m_box.GetKind(), MSGBOX_BUY_SUCCESS);
  const plat::DrawRecord text = Text(DrawBox(), "您成功购买了5份，请留意开奖结果，");
  EXPECT_EQ(text.x, 80);  // left-aligned beside the icon
  EXPECT_EQ(text.y, 37);
  m_box.Close();
  m_box.ShowKind(MSGBOX_NONE);
  EXPECT_FALSE(m_box.isVisible());
  EXPECT_TRUE(PanelOpen());
}

}  // namespace
}  // namespace storeviews
