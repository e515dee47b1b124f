#include "client/views/messageview.h"

#include <string>
#include <vector>

#include "platform/frame/globalunits.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgescrollarea.h"
#include "platform/toolkit/orvhgetextbox.h"
#include "platform/toolkit/orvhgewindow.h"
#include "tests/client/views/windowviewfixture.h"

namespace windowviews {
namespace {

constexpr int kHeld = 2;

std::u16string Line(int i) { return plat::Utf8ToUtf16("第" + std::to_string(i) + "行"); }

class MessageViewTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    UseFakeGlyphs(true);
    m_view = std::make_unique<MessageView>();
    m_view->Create();
  }
  void TearDown() override {
    m_view.reset();  // leaves the top window
    ViewTest::TearDown();
  }
  std::vector<std::u16string> BoxLines() const {
    std::vector<std::u16string> out;
    const OrvHgeTextBox* box = m_view->TextBox();
    for (std::size_t i = 0; i < box->LineCount(); ++i) out.push_back(box->LineText(i));
    return out;
  }
  int LuckyFrame() const { return m_view->LuckyUserButton()->CurrentFrame(); }
  int MyBuyFrame() const { return m_view->MyBuyButton()->CurrentFrame(); }

  std::unique_ptr<MessageView> m_view;
};

TEST_F(MessageViewTest, StandsOnTheBottomEdgeOfTheTopWindow) {
  OrvHgeWindow* top = CGlobalUnits::GetTopWindow();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(m_view->getParent(), top);
  EXPECT_EQ(m_view->getWidth(), 270);
  EXPECT_EQ(m_view->getHeight(), kTabH + 350);
  EXPECT_EQ(m_view->getX(), top->getWidth() - 275);
  EXPECT_EQ(m_view->getY() + m_view->getHeight(), top->getHeight());
  EXPECT_EQ(m_view->MyBuyButton()->getX(), kTabFrameW);  // tabs side by side
  EXPECT_EQ(m_view->ScrollArea()->getY(), kTabH + 7);
}

TEST_F(MessageViewTest, StartsWithNoTabAndAnEmptyBox) {
  EXPECT_EQ(m_view->GetActiveTab(), MessageView::kNoTab);
  EXPECT_EQ(m_view->TextBox()->LineCount(), 0u);
  EXPECT_EQ(LuckyFrame(), OrvHgeButton::kFrameNormal);
  EXPECT_EQ(MyBuyFrame(), OrvHgeButton::kFrameNormal);
  m_view->ShowTab(3);  // not a tab
  EXPECT_EQ(m_view->GetActiveTab(), MessageView::kNoTab);
}

TEST_F(MessageViewTest, SixtyFirstLineDropsTheOldest) {
  for (int i = 1; i <= 61; ++i) m_view->AddLuckyUserLine(Line(i));
  EXPECT_EQ(m_view->LuckyUserLines().size(), 60u);
  const auto lines = BoxLines();
  ASSERT_EQ(lines.size(), 60u);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(lines[i], Line(i + 2)) << "row " << i;
}

TEST_F(MessageViewTest, LinesAddedToTheShownTabMatchAFullRebuild) {
  m_view->ScrollArea()->logic();  // the box takes the area's width, so long lines wrap
  // A line holding a break stands as two lines in the box; when it leaves the list both go.
  m_view->AddLuckyUserLine(u"first\nhalf");
  for (int i = 1; i <= 59; ++i) m_view->AddLuckyUserLine(Line(i));
  EXPECT_EQ(m_view->TextBox()->LineCount(), 61u);
  m_view->AddLuckyUserLine(Line(60));
  m_view->AddLuckyUserLine(u"a long line that wraps across the narrow box more than once, twice or more");
  const auto added = BoxLines();
  const std::size_t rows = m_view->TextBox()->RowCount();
  const int height = m_view->TextBox()->getHeight();
  ASSERT_EQ(added.size(), 60u);
  EXPECT_EQ(added.front(), Line(2));
  EXPECT_GT(rows, added.size());  // the long line wrapped

  m_view->ShowTab(MessageView::kLuckyUserTab);  // rebuilt from the list
  EXPECT_EQ(BoxLines(), added);
  EXPECT_EQ(m_view->TextBox()->RowCount(), rows);
  EXPECT_EQ(m_view->TextBox()->getHeight(), height);

  // A line for the other list switches tabs and rebuilds; back again likewise.
  m_view->AddMyBuyLine(u"bought");
  m_view->AddLuckyUserLine(Line(61));
  const auto back = BoxLines();
  ASSERT_EQ(back.size(), 60u);
  EXPECT_EQ(back.front(), Line(3));
  EXPECT_EQ(back.back(), Line(61));
}

TEST_F(MessageViewTest, NewLineSwitchesTabsAndButtonLooks) {
  m_view->AddLuckyUserLine(u"lucky");
  m_view->AddLuckyUserLine(u" ");
  EXPECT_EQ(m_view->GetActiveTab(), MessageView::kLuckyUserTab);
  EXPECT_EQ(LuckyFrame(), kHeld);
  EXPECT_EQ(MyBuyFrame(), OrvHgeButton::kFrameNormal);
  EXPECT_EQ(BoxLines(), (std::vector<std::u16string>{u"lucky", u" "}));  // the separator is a line

  m_view->AddMyBuyLine(u"bought");
  EXPECT_EQ(m_view->GetActiveTab(), MessageView::kMyBuyTab);
  EXPECT_EQ(MyBuyFrame(), kHeld);
  EXPECT_EQ(LuckyFrame(), OrvHgeButton::kFrameNormal);
  EXPECT_EQ(BoxLines(), std::vector<std::u16string>{u"bought"});
  EXPECT_EQ(m_view->LuckyUserLines().size(), 2u);  // the other list is kept
}

TEST_F(MessageViewTest, TabClicksRebuildTheText) {
  m_view->AddLuckyUserLine(u"one");
  const auto revision = m_view->TextBox()->Revision();
  m_view->OnCommand(MessageView::kLuckyUserTab);  // already active: rebuilt all the same
  EXPECT_NE(m_view->TextBox()->Revision(), revision);
  EXPECT_EQ(BoxLines(), std::vector<std::u16string>{u"one"});

  m_view->OnCommand(MessageView::kMyBuyTab);  // empty list
  EXPECT_EQ(m_view->TextBox()->LineCount(), 0u);
  EXPECT_EQ(MyBuyFrame(), kHeld);
  EXPECT_EQ(LuckyFrame(), OrvHgeButton::kFrameNormal);

  m_view->OnCommand(55);  // not a tab
  EXPECT_EQ(m_view->GetActiveTab(), MessageView::kMyBuyTab);
}

TEST_F(MessageViewTest, TabButtonClickReachesTheView) {
  m_view->AddMyBuyLine(u"bought");
  plat::GuiRunner runner(m_device.get());
  runner.SetTop(CGlobalUnits::GetTopWindow());
  int x = 0, y = 0;
  m_view->LuckyUserButton()->getAbsolutePosition(x, y);
  runner.Input().InjectClick(x + 5, y + 5);
  runner.Logic();
  EXPECT_EQ(m_view->GetActiveTab(), MessageView::kLuckyUserTab);
}

TEST_F(MessageViewTest, NewestLineStaysInSightAfterEveryRebuild) {
  OrvHgeScrollArea* area = m_view->ScrollArea();
  for (int i = 1; i <= 60; ++i) m_view->AddLuckyUserLine(Line(i));
  area->logic();
  ASSERT_GT(area->getVerticalMaxScroll(), 0);
  EXPECT_EQ(area->getVerticalScrollAmount(), area->getVerticalMaxScroll());

  // The player scrolls up; the next line brings the end back.
  area->setVerticalScrollAmount(0);
  m_view->AddLuckyUserLine(Line(61));
  area->logic();
  EXPECT_EQ(area->getVerticalScrollAmount(), area->getVerticalMaxScroll());

  // What is drawn: the newest line lies inside the scroll area, the oldest outside.
  const auto log = Capture([&](gcn::Graphics* g) { CGlobalUnits::GetTopWindow()->draw(g); });
  bool newest = false, oldest = false;
  for (const auto& r : OfKind(log, plat::DrawRecord::Text)) {
    if (r.what == plat::Utf16ToUtf8(Line(61))) newest = !r.clipped;
    if (r.what == plat::Utf16ToUtf8(Line(2))) oldest = !r.clipped;
  }
  EXPECT_TRUE(newest);
  EXPECT_FALSE(oldest);
}

}  // namespace
}  // namespace windowviews
