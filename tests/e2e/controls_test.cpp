// What the player reaches around the auction itself: F1 and the frame's rule button, the main
// view's sales history button, and the lot's countdown in the buy panel.
#include <algorithm>
#include <cstdlib>

#include <guichan/key.hpp>

#include "client/core/gameclientdlg.h"
#include "client/data/buydata.h"
#include "client/views/gamerule.h"
#include "client/views/sellrecord.h"
#include "platform/frame/gameframe.h"
#include "testing/fakeclock.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/orvhgebutton.h"
#include "tests/e2e/e2efixture.h"

namespace veltest {
namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class ControlsTest : public E2eFixture {
 protected:
  // The countdown as one frame draws it: digits read back from the strip's source rectangles.
  std::string DrawnCountdown() {
    std::vector<plat::DrawRecord> log;
    {
      plat::ScopedDrawLog scope(&log);
      session->Step();
    }
    std::vector<plat::DrawRecord> parts;
    for (const auto& r : log)
      if (r.kind == plat::DrawRecord::Image && (EndsWith(r.what, "TimeNum.png") || EndsWith(r.what, "TimeQuote.png")))
        parts.push_back(r);
    std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.x < b.x; });
    std::string shown;
    for (const auto& r : parts)
      shown += EndsWith(r.what, "TimeQuote.png") ? ':' : static_cast<char>('0' + r.srcX / r.w);
    return shown;
  }

  plat::FakeClock uiClock{1000};
};

TEST_F(ControlsTest, RuleHistoryAndCountdownReachThePlayer) {
  plat::ScopedClock clockScope(&uiClock);  // window timers only move when the test says
  WriteGoods(10, 3);
  StartServer();
  StartClient("规则读者");

  // F1 and the frame's button show and hide the rules.
  CGameRule& rule = GetGameRule();
  ASSERT_FALSE(rule.isVisible());
  session->Frame()->InjectKey(gcn::Key::F1);
  ASSERT_TRUE(StepUntil([&] { return rule.isVisible(); }));
  Click(session->Frame()->RuleButton());
  EXPECT_TRUE(StepUntil([&] { return !rule.isVisible(); }));

  // The history button is the one way to the sales history.
  CSellRecord& history = GetSellRecord();
  ASSERT_FALSE(history.isVisible());
  Click(Dialog()->GetGameClientView().HistoryButton());
  EXPECT_TRUE(StepUntil([&] { return history.isVisible(); }));
  if (const char* shots = std::getenv("VELMORA_E2E_SHOTS")) {
    std::string why;
    EXPECT_TRUE(session->SaveScreenshot(std::string(shots) + "/e2e-history.png", &why)) << why;
  }

  // The lot arrived with the server's full minute; timer 2 counts it down on screen.
  ASSERT_EQ(GetBuyData().GetCurrentItem()->secondsLeft, 60u);
  EXPECT_EQ(DrawnCountdown(), "01:00");
  uiClock.Advance(1000);
  EXPECT_EQ(DrawnCountdown(), "00:59");
  for (int i = 0; i < 3; ++i) {
    uiClock.Advance(1000);
    session->Step();
  }
  EXPECT_EQ(DrawnCountdown(), "00:56");
}

}  // namespace
}  // namespace veltest
