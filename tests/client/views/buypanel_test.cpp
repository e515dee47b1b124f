#include "client/views/buypanel.h"

#include <limits>
#include <memory>

#include "client/core/requestmessages.h"
#include "client/views/myedit.h"
#include "client/views/viewtext.h"
#include "platform/text/textconv.h"
#include "testing/fakeclock.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "tests/client/views/storeviewfixture.h"

namespace storeviews {
namespace {

constexpr int kOx = CBuyPanel::kOriginX, kOy = CBuyPanel::kOriginY;

class BuyPanelTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    m_runner->SetTop(&m_view);
    m_panel.Create(&m_view);
    m_panel.ShowControls(true);
    m_dialog.SetCoins(1000000);
  }
  void Press(int id, int times = 1) {
    for (int i = 0; i < times; ++i) m_panel.OnCommand(id);
  }
  std::string Field() const { return m_panel.ShareField()->getText(); }
  Log DrawPanel() {
    return Capture([&](gcn::Graphics* g) { m_panel.Draw(g); });
  }

  RecordingDialog m_dialog;
  PanelHostView m_view{&m_panel};
  CBuyPanel m_panel;
};

TEST_F(BuyPanelTest, MinimumCoversTheAmountAndTakesASmallRemainder) {
  // 3 shares reach 30000; the 2 left after them (20000) are too few to sell alone.
  SetGoodsList({MakeLot(701, 100, 95, 10000, 30000, 20000)});
  m_panel.ResetToMinimum();
  EXPECT_EQ(m_panel.GetChosenShares(), 5u);
  EXPECT_EQ(Field(), "5");
  SetGoodsList({MakeLot(701, 100, 95, 10000, 30000, 19999)});
  EXPECT_EQ(m_panel.GetMinShares(), 3u);
  SetGoodsList({MakeLot(701, 100, 0, 10000, 25000, 0)});
  EXPECT_EQ(m_panel.GetMinShares(), 3u);
  SetGoodsList({MakeLot(701, 100, 98, 10000, 0, 20000)});
  EXPECT_EQ(m_panel.GetMinShares(), 2u);
}

TEST_F(BuyPanelTest, MinimumNeverHangsOrExceedsTheSharesLeft) {
  SetGoodsList({MakeLot(702, 100, 120, 0, 30000, 0)});  // oversold, free: 0 left, not 4 billion
  EXPECT_EQ(m_panel.GetMinShares(), 0u);
  SetGoodsList({MakeLot(702, 100, 50, 0, 30000, 0)});  // no count reaches the amount
  EXPECT_EQ(m_panel.GetMinShares(), 50u);
  SetGoodsList({MakeLot(702, 4000000000u, 0, 1, 4000000000u, 0)});
  EXPECT_EQ(m_panel.GetMinShares(), 4000000000u);
}

TEST_F(BuyPanelTest, TypedCountIsClampedToTheSharesLeft) {
  SetGoodsList({MakeLot(703, 100, 93, 10000, 0, 0)});
  m_panel.ResetToMinimum();
  ClickOn(m_panel.ShareField());
  m_runner->Input().InjectText("1000");
  m_runner->Logic();
  EXPECT_EQ(m_panel.GetChosenShares(), 7u);
  EXPECT_EQ(Field(), "7");
  EXPECT_FALSE(m_panel.AddButton()->isEnabled());
  EXPECT_TRUE(m_panel.ReduceButton()->isEnabled());

  // Beyond 32 bits the field saturates instead of wrapping to a small count.
  EXPECT_EQ(CBuyPanel::ParseShares("4294967296"), std::numeric_limits<std::uint32_t>::max());
  EXPECT_EQ(CBuyPanel::ParseShares("99999999999999999999"), std::numeric_limits<std::uint32_t>::max());
  EXPECT_EQ(CBuyPanel::ParseShares("12ab"), 12u);
  EXPECT_EQ(CBuyPanel::ParseShares("-5"), 0u);
}

TEST_F(BuyPanelTest, ReduceAtZeroKeepsZeroAndAnEmptyField) {
  SetGoodsList({MakeLot(704, 100, 0, 10000, 0, 0)});
  m_panel.ResetToMinimum();
  ClickOn(m_panel.ReduceButton());
  EXPECT_EQ(m_panel.GetChosenShares(), 0u);
  EXPECT_EQ(Field(), "");
  ClickOn(m_panel.AddButton());
  EXPECT_EQ(Field(), "1");
}

TEST_F(BuyPanelTest, BuyIsEnabledOnlyWhileTheCoinsPay) {
  SetGoodsList({MakeLot(705, 100, 0, 10000, 0, 0)});
  m_dialog.SetCoins(50000);
  m_panel.ResetToMinimum();
  Press(CBuyPanel::kAddButtonId, 5);
  EXPECT_TRUE(m_panel.BuyButton()->isEnabled());
  Press(CBuyPanel::kAddButtonId);
  EXPECT_FALSE(m_panel.BuyButton()->isEnabled());
  EXPECT_TRUE(m_panel.AddButton()->isEnabled());
  EXPECT_TRUE(m_panel.ReduceButton()->isEnabled());

  // 2 x 2^31 is 0 in 32 bits; the player still cannot pay 4294967296 coins.
  SetGoodsList({MakeLot(705, 100, 0, 0x80000000u, 0, 0)});
  m_panel.ResetToMinimum();
  Press(CBuyPanel::kAddButtonId, 2);
  EXPECT_FALSE(m_panel.BuyButton()->isEnabled());
  EXPECT_EQ(Find(DrawPanel(), Kind::Text, "消耗金币：4294967296").size(), 1u);

  // Without a user record buy keeps its state.
  Press(CBuyPanel::kReduceButtonId, 2);
  ASSERT_TRUE(m_panel.BuyButton()->isEnabled());
  m_dialog.SetMeUserData(nullptr);
  Press(CBuyPanel::kAddButtonId, 3);
  EXPECT_TRUE(m_panel.BuyButton()->isEnabled());
}

TEST_F(BuyPanelTest, BuyClickSendsTheRequestBeforeReturning) {
  SetGoodsList({MakeLot(707, 100, 0, 10000, 30000, 0)});
  m_panel.ResetToMinimum();
  ClickOn(m_panel.BuyButton());
  ASSERT_EQ(m_dialog.sent.size(), 1u);
  EXPECT_EQ(m_dialog.sent[0].message, WM_BUY_REQ);
  EXPECT_EQ(m_dialog.sent[0].wParam, 707u);
  EXPECT_EQ(m_dialog.sent[0].lParam, 3);

  SetGoodsList({MakeGoods(708).State(GOODS_STATE_CANDIDATE).Value(3888)
      .NameUtf8("咖啡机").Picture("goods_02.png")});
  EXPECT_TRUE(m_panel.OnCommand(CBuyPanel::kBuyButtonId));
  EXPECT_EQ(m_dialog.sent.size(), 1u);
  EXPECT_FALSE(m_panel.OnCommand(100));
  // No lot: nothing drawn, and the choice falls to 0.
  EXPECT_TRUE(DrawPanel().empty());
  Press(CBuyPanel::kAddButtonId);
  EXPECT_EQ(m_panel.GetChosenShares(), 0u);
}

TEST_F(BuyPanelTest, LockAndUnlock) {
  SetGoodsList({MakeLot(709, 100, 0, 10000, 0, 0)});
  m_panel.ResetToMinimum();
  Press(CBuyPanel::kAddButtonId);
  m_panel.EnableInput(false);
  for (gcn::Widget* w : {static_cast<gcn::Widget*>(m_panel.AddButton()), static_cast<gcn::Widget*>(m_panel.ReduceButton()),
                         static_cast<gcn::Widget*>(m_panel.BuyButton()), static_cast<gcn::Widget*>(m_panel.ShareField())})
    EXPECT_FALSE(w->isEnabled());
  ClickOn(m_panel.BuyButton());
  EXPECT_TRUE(m_dialog.sent.empty());

  m_panel.EnableInput(true);
  EXPECT_TRUE(m_panel.ShareField()->isEnabled());
  EXPECT_TRUE(m_panel.BuyButton()->isEnabled());
  EXPECT_TRUE(m_panel.AddButton()->isEnabled());

  // A purchase result ends the cool-down early: its timer goes too.
  m_panel.EnableInput(false);
  m_view.SetTimer(IDT_BUY_COOLDOWN, kBuyCooldownMs);
  m_panel.ResetToMinimum();
  EXPECT_FALSE(m_view.HasTimer(IDT_BUY_COOLDOWN));
  EXPECT_TRUE(m_panel.AddButton()->isEnabled());
}

TEST_F(BuyPanelTest, DrawsTheLotWithItsTextsColoursAndPlaces) {
  CMD_GF_VELMORA_GOODS_ITEM lot = MakeLot(710, 200, 20, 10000, 0, 0);
  lot.heldShares = 3;
  SetGoodsList({lot});
  m_panel.ResetToMinimum();
  Press(CBuyPanel::kAddButtonId, 5);
  Log log = DrawPanel();
  EXPECT_EQ(Find(log, Kind::Image, "goods_01.png").at(0).x, kOx + 56);
  EXPECT_EQ(Find(log, Kind::Image, "EditBg.png").at(0).y, kOy + 394);

  const gcn::Color label(229, 194, 166, 255), value(255, 222, 0, 255);
  struct Expected {
    const char* text;
    int x, y;
    bool centred;
    const gcn::Color* color;
  } const expected[] = {
      {"金龙手表", 201, 22, true, nullptr},          {"商品份额 200", 201, 297, true, nullptr},
      {"剩余份额：180份", 96, 332, false, &label},   {"我拥有的份额：", 96, 365, false, &label},
      {"3份", 223, 365, false, &value},              {"购买份额：", 96, 399, false, &label},
      {"消耗金币：50000", 96, 433, false, &label},   {"夺宝几率：", 96, 467, false, &label},
      {"4.00%", 186, 467, false, &value},
  };
  for (const Expected& e : expected) {
    const Log found = Find(log, Kind::Text, e.text);
    ASSERT_EQ(found.size(), 1u) << e.text;
    EXPECT_EQ(found[0].x, kOx + e.x - (e.centred ? found[0].w / 2 : 0)) << e.text;
    EXPECT_EQ(found[0].y, kOy + e.y) << e.text;
    EXPECT_TRUE(!e.color || SameColor(found[0].color, *e.color)) << e.text;
  }
  OrvHgeFont labelFont(SongFaceGbk().c_str(), 18, 0, 0, 1);
  const Log note = Find(log, Kind::Text, "(每份10000金币)");
  ASSERT_EQ(note.size(), 1u);
  EXPECT_EQ(note[0].x, kOx + 96 + labelFont.getWidth(plat::Utf8ToGbk("消耗金币：50000")));
  EXPECT_EQ(note[0].y, kOy + 436);
  EXPECT_TRUE(SameColor(note[0].color, gcn::Color(255, 0, 0, 255)));

  // A lot without shares: the label, but no chance value.
  SetGoodsList({MakeLot(711, 0, 0, 10000, 0, 0)});
  log = DrawPanel();
  EXPECT_EQ(Find(log, Kind::Text, "夺宝几率：").size(), 1u);
  for (const std::string& t : Texts(log)) EXPECT_EQ(t.find('%'), std::string::npos) << t;
}

TEST_F(BuyPanelTest, CaretShowsForTheFirstHalfOfEachSecond) {
  plat::FakeClock clock(0);
  plat::ScopedClock scope(&clock);
  CMyEdit edit;
  auto caretAt = [&](std::uint64_t now) {
    clock.Set(now);
    return Capture([&](gcn::Graphics* g) {
      g->pushClipArea(gcn::Rectangle(100, 200, 60, 22));
      edit.drawCaret(g, 10);
      g->popClipArea();
    });
  };
  const Log shown = caretAt(0);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, Kind::Line);
  EXPECT_EQ(shown[0].x, 110);
  EXPECT_EQ(shown[0].h, 22);
  EXPECT_TRUE(SameColor(shown[0].color, gcn::Color(0, 0, 0, 255)));
  EXPECT_EQ(caretAt(500).size(), 1u);
  EXPECT_TRUE(caretAt(501).empty());
  EXPECT_TRUE(caretAt(1001).empty());  // a new cycle starts here
  EXPECT_EQ(caretAt(1200).size(), 1u);
  EXPECT_TRUE(caretAt(1600).empty());
}

}  // namespace

TEST(BuyPanelLifetime, DetachLetsANewViewTakeThePanelOver) {
  // A second dialog in the same process builds a new main view; the panel must not keep
  // reaching the first one (its timer calls would land on a dead window).
  CBuyPanel panel;
  auto first = std::make_unique<PanelHostView>(&panel);
  panel.Create(first.get());
  first->SetTimer(IDT_BUY_COOLDOWN, 1000);
  EXPECT_EQ(panel.ShareField()->getParent(), first.get());
  panel.Detach(first.get());
  EXPECT_EQ(panel.ShareField()->getParent(), nullptr);
  first.reset();

  PanelHostView second(&panel);
  panel.Create(&second);
  ASSERT_NE(panel.ShareField(), nullptr);
  EXPECT_EQ(panel.ShareField()->getParent(), &second);
  EXPECT_EQ(panel.BuyButton()->getParent(), &second);
  panel.ResetToMinimum();  // kills timer 1 on the live view only
  panel.Detach(&second);
}

}  // namespace storeviews
