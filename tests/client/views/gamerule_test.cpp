#include "client/views/gamerule.h"

#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/client/views/windowviewfixture.h"

namespace windowviews {
namespace {

class GameRuleTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    m_rule = std::make_unique<CGameRule>();
    m_rule->Create();
  }
  void TearDown() override {
    m_rule.reset();
    ViewTest::TearDown();
  }
  std::unique_ptr<CGameRule> m_rule;
};

TEST_F(GameRuleTest, CloseButtonSitsInTheTopRightCorner) {
  ASSERT_EQ(m_rule->getWidth(), kRuleW);
  EXPECT_EQ(m_rule->getHeight(), kRuleH);
  const OrvHgeButton* close = m_rule->CloseButton();
  EXPECT_EQ(close->getWidth(), kCloseFrameW);
  EXPECT_EQ(close->getX(), 497 - kCloseFrameW);
  EXPECT_EQ(close->getY(), 4);
}

TEST_F(GameRuleTest, ClosedWindowShowsAgainThroughTheRuleHook) {
  OrvHgeWindow top;
  top.setSize(1280, 720);
  top.add(m_rule.get(), 100, 60);
  m_rule->setVisible(true);
  plat::GuiRunner runner(m_device.get());
  runner.SetTop(&top);
  int x = 0, y = 0;
  m_rule->CloseButton()->getAbsolutePosition(x, y);
  runner.Input().InjectClick(x + 3, y + 3);
  runner.Logic();
  EXPECT_FALSE(m_rule->isVisible());

  m_rule->OnCommand(104);  // another window's close id does nothing here
  m_rule->setVisible(!m_rule->isVisible());  // what the main view's toggle does
  EXPECT_TRUE(m_rule->isVisible());
  const auto log = Capture([&](gcn::Graphics* g) { top.draw(g); });
  const auto picture = Images(log, "RuleInfo.png");
  ASSERT_EQ(picture.size(), 1u);
  EXPECT_EQ(picture[0].x, 100);
  EXPECT_EQ(picture[0].y, 60);
  EXPECT_EQ(Images(log, "BtClose.png").size(), 1u);
  top.remove(m_rule.get());
}

}  // namespace
}  // namespace windowviews
