#include "client/views/buypanel.h"

#include <limits>

#include "client/core/requestmessages.h"
#include "client/views/myedit.h"
#include "client/views/viewtext.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/clock.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgefont.h"
#include "tests/views5/viewfixture.h"

namespace views5 {
namespace {

using Kind = plat::DrawRecord::Kind;

constexpr int kOx = CBuyPanel::kOriginX, kOy = CBuyPanel::kOriginY;
const gcn::Color kLabel(229, 194, 166, 255);
const gcn::Color kValue(255, 222, 0, 255);
const gcn::Color kRed(255, 0, 0, 255);

class BuyPanelTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    m_runner = std::make_unique<plat::GuiRunner>(m_device.get());
    m_runner->SetTop(&m_view);
    m_panel.Create(&m_view);
    m_panel.ShowControls(true);
  }
  void TearDown() override {
    m_runner.reset();
    ViewTest::TearDown();
  }
  void UseLot(const CMD_GF_VELMORA_GOODS_ITEM& lot) { SetGoodsList({lot}); }
  void Click(int x, int y) {
    m_runner->Input().InjectClick(x, y);
    m_runner->Logic();
  }
  // Clicks the middle of a control of the panel.
  void ClickOn(const gcn::Widget* w) {
    int x = 0, y = 0;
    w->getAbsolutePosition(x, y);
    Click(x + w->getWidth() / 2, y + w->getHeight() / 2);
  }
  std::string FieldText() const { return m_panel.ShareField()->getText(); }

  RecordingDialog m_dialog;
  PanelHostView m_view{&m_panel};
  CBuyPanel m_panel;
  std::unique_ptr<plat::GuiRunner> m_runner;
};

TEST_F(BuyPanelTest, MinimumCoversTheAmountAndTakesASmallRemainder) {
  // 3 shares reach 30000; the 2 left after them (20000) are too few to sell alone.
  UseLot(MakeLot(701, 100, 95, 10000, 30000, 20000));
  EXPECT_EQ(m_panel.GetMinShares(), 5u);
  m_panel.ResetToMinimum();
  EXPECT_EQ(m_panel.GetChosenShares(), 5u);
  EXPECT_EQ(FieldText(), "5");

  UseLot(MakeLot(701, 100, 95, 10000, 30000, 19999));
  EXPECT_EQ(m_panel.GetMinShares(), 3u);
  UseLot(MakeLot(701, 100, 0, 10000, 25000, 0));
  EXPECT_EQ(m_panel.GetMinShares(), 3u);  // rounded up
  UseLot(MakeLot(701, 100, 0, 10000, 0, 0));
  EXPECT_EQ(m_panel.GetMinShares(), 0u);
  UseLot(MakeLot(701, 100, 98, 10000, 0, 20000));
  EXPECT_EQ(m_panel.GetMinShares(), 2u);  // no amount, but the remainder rule applies
}

TEST_F(BuyPanelTest, MinimumNeverHangsOrExceedsTheSharesLeft) {
  // More sold than the lot has and a price of 0: the shares left are 0, not four billion.
  UseLot(MakeLot(702, 100, 120, 0, 30000, 0));
  EXPECT_EQ(m_panel.GetMinShares(), 0u);
  UseLot(MakeLot(702, 100, 50, 0, 30000, 0));
  EXPECT_EQ(m_panel.GetMinShares(), 50u);  // no count reaches the amount: all shares left
  UseLot(MakeLot(702, 4000000000u, 0, 1, 4000000000u, 0));
  EXPECT_EQ(m_panel.GetMinShares(), 4000000000u);
  UseLot(MakeLot(702, 10, 0, 10000, 1000000, 0));
  EXPECT_EQ(m_panel.GetMinShares(), 10u);

  SetGoodsList({});
  EXPECT_EQ(m_panel.GetMinShares(), 0u);
}

TEST_F(BuyPanelTest, TypedCountIsClampedToTheSharesLeft) {
  UseLot(MakeLot(703, 100, 93, 10000, 0, 0));
  m_dialog.SetCoins(1000000);
  m_panel.ResetToMinimum();
  ClickOn(m_panel.ShareField());
  m_runner->Input().InjectText("1000");
  m_runner->Logic();
  EXPECT_EQ(m_panel.GetChosenShares(), 7u);
  EXPECT_EQ(FieldText(), "7");
  EXPECT_FALSE(m_panel.AddButton()->isEnabled());
  EXPECT_TRUE(m_panel.ReduceButton()->isEnabled());
  EXPECT_TRUE(m_panel.BuyButton()->isEnabled());
}

TEST_F(BuyPanelTest, ReduceAtZeroKeepsZeroAndAnEmptyField) {
  UseLot(MakeLot(704, 100, 0, 10000, 0, 0));
  m_panel.ResetToMinimum();
  ASSERT_TRUE(m_panel.ReduceButton()->isEnabled());
  ClickOn(m_panel.ReduceButton());
  EXPECT_EQ(m_panel.GetChosenShares(), 0u);
  EXPECT_EQ(FieldText(), "");
  ClickOn(m_panel.AddButton());
  ClickOn(m_panel.AddButton());
  EXPECT_EQ(m_panel.GetChosenShares(), 2u);
  EXPECT_EQ(FieldText(), "2");
}

TEST_F(BuyPanelTest, BuyIsEnabledOnlyWhileTheCoinsPay) {
  UseLot(MakeLot(705, 100, 0, 10000, 0, 0));
  m_dialog.SetCoins(50000);
  m_panel.ResetToMinimum();
  for (int i = 0; i < 5; ++i) m_panel.OnCommand(CBuyPanel::kAddButtonId);
  EXPECT_TRUE(m_panel.BuyButton()->isEnabled());
  m_panel.OnCommand(CBuyPanel::kAddButtonId);
  EXPECT_EQ(m_panel.GetChosenShares(), 6u);
  EXPECT_FALSE(m_panel.BuyButton()->isEnabled());
  EXPECT_TRUE(m_panel.AddButton()->isEnabled());
  EXPECT_TRUE(m_panel.ReduceButton()->isEnabled());

  // 2 x 2^31 wraps to 0 in 32 bits; the player still cannot pay 4294967296 coins.
  UseLot(MakeLot(705, 100, 0, 0x80000000u, 0, 0));
  m_panel.ResetToMinimum();
  m_panel.OnCommand(CBuyPanel::kAddButtonId);
  m_panel.OnCommand(CBuyPanel::kAddButtonId);
  EXPECT_EQ(m_panel.GetChosenShares(), 2u);
  EXPECT_FALSE(m_panel.BuyButton()->isEnabled());
  auto log = Capture([&](gcn::Graphics* g) { m_panel.Draw(g); });
  EXPECT_EQ(Find(log, Kind::Text, "消耗金币：4294967296").size(), 1u);
}

TEST_F(BuyPanelTest, WithoutAUserRecordBuyKeepsItsState) {
  UseLot(MakeLot(706, 100, 0, 10000, 0, 0));
  m_dialog.SetCoins(1000000);
  m_panel.ResetToMinimum();
  m_panel.OnCommand(CBuyPanel::kAddButtonId);
  ASSERT_TRUE(m_panel.BuyButton()->isEnabled());
  m_dialog.SetMeUserData(nullptr);
  for (int i = 0; i < 200; ++i) m_panel.OnCommand(CBuyPanel::kAddButtonId);
  EXPECT_TRUE(m_panel.BuyButton()->isEnabled());
}

TEST_F(BuyPanelTest, BuyClickSendsTheRequestBeforeReturning) {
  UseLot(MakeLot(707, 100, 0, 10000, 30000, 0));
  m_dialog.SetCoins(1000000);
  m_panel.ResetToMinimum();
  ASSERT_TRUE(m_panel.BuyButton()->isEnabled());
  ClickOn(m_panel.BuyButton());
  ASSERT_EQ(m_dialog.sent.size(), 1u);
  EXPECT_EQ(m_dialog.sent[0].message, WM_BUY_REQ);
  EXPECT_EQ(m_dialog.sent[0].wParam, 707u);
  EXPECT_EQ(m_dialog.sent[0].lParam, 3);

  SetGoodsList({});
  EXPECT_TRUE(m_panel.OnCommand(CBuyPanel::kBuyButtonId));
  EXPECT_EQ(m_dialog.sent.size(), 1u);
  EXPECT_FALSE(m_panel.OnCommand(100));
  EXPECT_FALSE(m_panel.OnCommand(104));
}

TEST_F(BuyPanelTest, LockAndUnlock) {
  UseLot(MakeLot(708, 100, 0, 10000, 0, 0));
  m_dialog.SetCoins(1000000);
  m_panel.ResetToMinimum();
  m_panel.OnCommand(CBuyPanel::kAddButtonId);

  m_panel.EnableInput(false);
  EXPECT_FALSE(m_panel.ShareField()->isEnabled());
  EXPECT_FALSE(m_panel.AddButton()->isEnabled());
  EXPECT_FALSE(m_panel.ReduceButton()->isEnabled());
  EXPECT_FALSE(m_panel.BuyButton()->isEnabled());
  ClickOn(m_panel.BuyButton());
  EXPECT_TRUE(m_dialog.sent.empty());

  m_panel.EnableInput(true);
  EXPECT_TRUE(m_panel.ShareField()->isEnabled());
  EXPECT_TRUE(m_panel.AddButton()->isEnabled());
  EXPECT_TRUE(m_panel.ReduceButton()->isEnabled());
  EXPECT_TRUE(m_panel.BuyButton()->isEnabled());

  // A purchase result ends the cool-down early: the timer is killed too.
  m_panel.EnableInput(false);
  m_view.SetTimer(IDT_BUY_COOLDOWN, 1000);
  m_panel.ResetToMinimum();
  EXPECT_FALSE(m_view.HasTimer(IDT_BUY_COOLDOWN));
  EXPECT_TRUE(m_panel.AddButton()->isEnabled());
  EXPECT_EQ(m_panel.GetChosenShares(), 0u);
}

TEST_F(BuyPanelTest, ShowControlsHidesEverything) {
  UseLot(MakeLot(709, 100, 0, 10000, 0, 0));
  m_panel.ShowControls(false);
  EXPECT_FALSE(m_panel.IsShown());
  for (gcn::Widget* w : {static_cast<gcn::Widget*>(m_panel.BuyButton()), static_cast<gcn::Widget*>(m_panel.AddButton()),
                         static_cast<gcn::Widget*>(m_panel.ReduceButton()), static_cast<gcn::Widget*>(m_panel.ShareField())}) {
    EXPECT_FALSE(w->isVisible());
  }
  EXPECT_TRUE(Capture([&](gcn::Graphics* g) { m_panel.Draw(g); }).empty());
}

TEST_F(BuyPanelTest, NoLotDrawsNothingAndDropsTheChoice) {
  UseLot(MakeLot(710, 100, 0, 10000, 0, 0));
  m_panel.OnCommand(CBuyPanel::kAddButtonId);
  m_panel.OnCommand(CBuyPanel::kAddButtonId);
  SetGoodsList({MakeGoods(711, GOODS_STATE_CANDIDATE, "咖啡机", "goods_02.png")});
  EXPECT_TRUE(Capture([&](gcn::Graphics* g) { m_panel.Draw(g); }).empty());
  m_panel.RefreshInput();
  EXPECT_EQ(m_panel.GetChosenShares(), 0u);
  m_panel.OnCommand(CBuyPanel::kAddButtonId);
  m_panel.ClampToRemaining();
  EXPECT_EQ(m_panel.GetChosenShares(), 0u);
}

TEST_F(BuyPanelTest, DrawsTheLotWithItsTextsColoursAndPlaces) {
  CMD_GF_VELMORA_GOODS_ITEM lot = MakeLot(712, 200, 20, 10000, 0, 0);
  lot.heldShares = 3;
  UseLot(lot);
  m_panel.ResetToMinimum();
  for (int i = 0; i < 5; ++i) m_panel.OnCommand(CBuyPanel::kAddButtonId);
  auto log = Capture([&](gcn::Graphics* g) { m_panel.Draw(g); });

  const auto pic = Find(log, Kind::Image, "goods_01.png");
  ASSERT_EQ(pic.size(), 1u);
  EXPECT_EQ(pic[0].x, kOx + 56);
  EXPECT_EQ(pic[0].y, kOy + 48);
  const auto editBg = Find(log, Kind::Image, "EditBg.png");
  ASSERT_EQ(editBg.size(), 1u);
  EXPECT_EQ(editBg[0].x, kOx + 219);
  EXPECT_EQ(editBg[0].y, kOy + 394);

  struct Expected {
    const char* text;
    int x, y;
    bool centred;
    const gcn::Color* color;  // null: not checked
  };
  const Expected expected[] = {
      {"金龙手表", 201, 22, true, nullptr},
      {"商品份额 200", 201, 297, true, nullptr},
      {"剩余份额：180份", 96, 332, false, &kLabel},
      {"我拥有的份额：", 96, 365, false, &kLabel},
      {"3份", 223, 365, false, &kValue},
      {"购买份额：", 96, 399, false, &kLabel},
      {"消耗金币：50000", 96, 433, false, &kLabel},
      {"夺宝几率：", 96, 467, false, &kLabel},
      {"4.00%", 186, 467, false, &kValue},
  };
  for (const Expected& e : expected) {
    const auto found = Find(log, Kind::Text, e.text);
    ASSERT_EQ(found.size(), 1u) << e.text;
    EXPECT_EQ(found[0].x, kOx + e.x - (e.centred ? found[0].w / 2 : 0)) << e.text;
    EXPECT_EQ(found[0].y, kOy + e.y) << e.text;
    if (e.color) {
      EXPECT_TRUE(SameColor(found[0].color, *e.color)) << e.text;
    }
  }
  // The price note follows the cost text in the label font.
  OrvHgeFont labelFont(SongFaceGbk().c_str(), 18, 0, 0, 1);
  const auto note = Find(log, Kind::Text, "(每份10000金币)");
  ASSERT_EQ(note.size(), 1u);
  EXPECT_EQ(note[0].x, kOx + 96 + labelFont.getWidth(plat::Utf8ToGbk("消耗金币：50000")));
  EXPECT_EQ(note[0].y, kOy + 436);
  EXPECT_TRUE(SameColor(note[0].color, kRed));
}

TEST_F(BuyPanelTest, NoChanceIsDrawnForALotWithoutShares) {
  UseLot(MakeLot(713, 0, 0, 10000, 0, 0));
  m_panel.ResetToMinimum();
  auto log = Capture([&](gcn::Graphics* g) { m_panel.Draw(g); });
  EXPECT_EQ(Find(log, Kind::Text, "夺宝几率：").size(), 1u);
  EXPECT_EQ(Find(log, Kind::Text, "剩余份额：0份").size(), 1u);
  for (const std::string& t : Texts(log)) EXPECT_EQ(t.find('%'), std::string::npos) << t;
}

TEST_F(BuyPanelTest, PictureHitAreaIncludesItsBounds) {
  EXPECT_TRUE(m_panel.HitTestPicture(kOx + 56, kOy + 48));
  EXPECT_TRUE(m_panel.HitTestPicture(kOx + 346, kOy + 288));
  EXPECT_FALSE(m_panel.HitTestPicture(kOx + 55, kOy + 100));
  EXPECT_FALSE(m_panel.HitTestPicture(kOx + 347, kOy + 100));
  EXPECT_FALSE(m_panel.HitTestPicture(kOx + 100, kOy + 47));
  EXPECT_FALSE(m_panel.HitTestPicture(kOx + 100, kOy + 289));
  EXPECT_FALSE(m_panel.HitTestPicture(std::numeric_limits<int>::min(), std::numeric_limits<int>::min()));
}

TEST_F(BuyPanelTest, EventsOfOtherSourcesAreNotTheFieldsEvents) {
  UseLot(MakeLot(714, 100, 0, 10000, 0, 0));
  CMyEdit other;
  EXPECT_FALSE(m_panel.OnEditAction(gcn::ActionEvent(&other, OrvHgeEdit::kChangeTextId)));
  m_panel.ShareField()->setText("4");
  EXPECT_TRUE(m_panel.OnEditAction(gcn::ActionEvent(m_panel.ShareField(), OrvHgeEdit::kEnterId)));
  EXPECT_EQ(m_panel.GetChosenShares(), 0u);
  EXPECT_TRUE(m_panel.OnEditAction(gcn::ActionEvent(m_panel.ShareField(), OrvHgeEdit::kChangeTextId)));
  EXPECT_EQ(m_panel.GetChosenShares(), 4u);
}

TEST(BuyPanelParseTest, ShareFieldTextSaturatesInsteadOfWrapping) {
  constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
  EXPECT_EQ(CBuyPanel::ParseShares(""), 0u);
  EXPECT_EQ(CBuyPanel::ParseShares("0"), 0u);
  EXPECT_EQ(CBuyPanel::ParseShares("1000"), 1000u);
  EXPECT_EQ(CBuyPanel::ParseShares("4294967295"), kMax);
  EXPECT_EQ(CBuyPanel::ParseShares("4294967296"), kMax);
  EXPECT_EQ(CBuyPanel::ParseShares("99999999999999999999999"), kMax);
  EXPECT_EQ(CBuyPanel::ParseShares("12ab"), 12u);
  EXPECT_EQ(CBuyPanel::ParseShares("-5"), 0u);
  EXPECT_EQ(CBuyPanel::ParseShares("abc"), 0u);
}

class CaretTest : public ViewTest {};

TEST_F(CaretTest, CaretShowsForTheFirstHalfOfEachSecond) {
  plat::TestClock clock(0);
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
  auto shown = caretAt(0);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, Kind::Line);
  EXPECT_EQ(shown[0].x, 110);
  EXPECT_EQ(shown[0].y, 200);
  EXPECT_EQ(shown[0].h, 22);
  EXPECT_EQ(shown[0].w, 0);
  EXPECT_TRUE(SameColor(shown[0].color, gcn::Color(0, 0, 0, 255)));
  EXPECT_EQ(caretAt(500).size(), 1u);
  EXPECT_TRUE(caretAt(501).empty());
  EXPECT_TRUE(caretAt(1000).empty());
  EXPECT_TRUE(caretAt(1001).empty());  // a new cycle starts here
  EXPECT_EQ(edit.BlinkStartMs(), 1001u);
  EXPECT_EQ(caretAt(1200).size(), 1u);
  EXPECT_TRUE(caretAt(1600).empty());
  // A clock set back restarts the cycle instead of hiding the caret for ages.
  caretAt(100);
  EXPECT_EQ(edit.BlinkStartMs(), 100u);
  EXPECT_EQ(caretAt(150).size(), 1u);
}

}  // namespace
}  // namespace views5
