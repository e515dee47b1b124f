// What the player reaches from the keyboard and the frame around the game: F1 and the frame's
// rule button, and the main view's sales history button.
#include <guichan/key.hpp>

#include "client/core/gameclientdlg.h"
#include "client/views/gamerule.h"
#include "platform/frame/gameframe.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/e2e/e2efixture.h"

namespace veltest {
namespace {

class ControlsTest : public E2eFixture {};

TEST_F(ControlsTest, F1AndTheFrameButtonReachTheRuleWindow) {
  WriteGoods(10, 3);
  StartServer();
  StartClient("规则读者");
  CGameRule& rule = GetGameRule();
  ASSERT_FALSE(rule.isVisible());
  session->Frame()->InjectKey(gcn::Key::F1);
  ASSERT_TRUE(StepUntil([&] { return rule.isVisible(); }));
  Click(session->Frame()->RuleButton());
  EXPECT_TRUE(StepUntil([&] { return !rule.isVisible(); }));
}

}  // namespace
}  // namespace veltest
