// The frame's own windows: top window, rule button, chat panel, bank window, status line.
#include <algorithm>

#include <guichan/key.hpp>

#include "tests/platform/frame/framefixture.h"

#include "platform/frame/bankview.h"
#include "testing/fakeserver.h"
#include "platform/frame/frametopwindow.h"
#include "platform/frame/globalunits.h"
#include "platform/frame/quickchatwiew.h"
#include "platform/render/renderdevice.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgebutton.h"

namespace frametest {
namespace {

bool IsChildOfTop(const gcn::Widget* w) {
  return w != nullptr && w->getParent() == CGlobalUnits::GetTopWindow();
}

TEST_F(FrameTest, TopWindowCoversTheGameAreaAndHoldsTheGameView) {
  StartFrame();
  OrvHgeWindow* top = CGlobalUnits::GetTopWindow();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->getX(), 0);
  EXPECT_EQ(top->getY(), 0);
  EXPECT_EQ(top->getWidth(), 1280);
  EXPECT_EQ(top->getHeight(), 720);
  TestView& view = Dlg().View();
  EXPECT_TRUE(IsChildOfTop(&view));
  EXPECT_EQ(view.getWidth(), 1280);
  EXPECT_EQ(view.getHeight(), 720);
  frame->Shutdown();
  EXPECT_EQ(top->getWidgetAt(640, 360), nullptr);  // nothing of the dead game is left on it
}

TEST_F(FrameTest, RuleHookRunsFromF1AndFromTheFrameButton) {
  StartFrame();
  frame->InjectKey(gcn::Key::F1);
  frame->Step();
  EXPECT_EQ(Dlg().ruleCount, 1);
  OrvHgeButton* rule = frame->RuleButton();
  ASSERT_NE(rule, nullptr);
  ASSERT_TRUE(IsChildOfTop(rule));
  ASSERT_GT(rule->getWidth(), 0);
  frame->InjectClick(rule->getX() + rule->getWidth() / 2, rule->getY() + rule->getHeight() / 2);
  frame->Step();
  EXPECT_EQ(Dlg().ruleCount, 2);
  frame->InjectKey('a');  // other keys are not the rule key
  frame->InjectClick(640, 360);
  frame->Step();
  EXPECT_EQ(Dlg().ruleCount, 2);
}

TEST_F(FrameTest, ChatPanelComesFromTheDialogsFactoryAndStaysHiddenWhenTheGameSaysSo) {
  TestDialog::hideChat = true;
  StartFrame();
  CChatWiew* chat = frame->ChatView();
  ASSERT_NE(chat, nullptr);
  EXPECT_NE(dynamic_cast<TestChatView*>(chat), nullptr);
  EXPECT_TRUE(IsChildOfTop(chat));
  EXPECT_FALSE(chat->isVisible());
  ASSERT_NE(chat->QuickChat(), nullptr);
  EXPECT_NE(chat->QuickChat()->PhraseButton(), nullptr);  // InitResource ran on the bar too
}

TEST_F(FrameTest, QuickPhraseButtonSaysPhrasesIntoTheChatPanel) {
  tagUserData me = plat::MakeUserData(1, "me", 0, 0);
  plat::GameFrameOptions opts;
  opts.localUser = me;
  StartFrame(nullptr, {}, opts);
  CChatWiew* chat = frame->ChatView();
  OrvHgeButton* btn = chat->QuickChat()->PhraseButton();
  ASSERT_GT(btn->getWidth(), 0);
  const int x = chat->getX() + chat->QuickChat()->getX() + btn->getX() + 2;
  const int y = chat->getY() + chat->QuickChat()->getY() + btn->getY() + 2;
  frame->InjectClick(x, y);
  frame->Step();
  frame->InjectClick(x, y);
  frame->Step();
  ASSERT_EQ(chat->Lines().size(), 2u);
  EXPECT_NE(chat->Lines()[0], chat->Lines()[1]);
  plat::FakeServer(frame->Messages()).Scene(0, false, {});
  frame->Step();
  EXPECT_EQ(chat->QuickChat()->NextPhrase(), 0u);  // a new scene starts the phrases again
}

TEST_F(FrameTest, StatusLineExpiresUnlessPersistentAndIsLoggedInTheChat) {
  StartFrame();
  plat::FakeServer server(frame->Messages());
  const std::string lost = plat::Utf8ToGbk("与服务器的连接已断开");
  server.Status(lost, true);
  frame->Step();
  clock.Advance(60000);
  frame->Step();
  EXPECT_EQ(frame->Status().Text(), lost);
  frame->ShowStatus("hello", false);
  frame->ShowStatus("hello", false);  // the same text again is not a new chat line
  clock.Advance(4999);
  frame->Step();
  EXPECT_TRUE(frame->Status().IsShown());
  clock.Advance(1);
  frame->Step();
  EXPECT_FALSE(frame->Status().IsShown());
  const auto& lines = frame->ChatView()->Lines();
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()),
            (std::vector<std::string>{lost, "hello"}));
}

TEST_F(FrameTest, BankWindowHasAFramedCloseButton) {
  auto device = plat::RenderDevice::CreateHeadless(1280, 720);
  ASSERT_NE(device, nullptr);
  StartFrame(device.get());
  CBankView* bank = CBankView::GetInstance();
  frame->InjectKey(gcn::Key::F2);
  frame->Step();
  ASSERT_TRUE(bank->isVisible());
  ASSERT_NE(bank->CloseButton(), nullptr);
  int x = 0, y = 0;
  bank->CloseButton()->getAbsolutePosition(x, y);
  EXPECT_GT(x, bank->getX() + bank->getWidth() / 2) << "top right";
  EXPECT_LT(y, bank->getY() + 20);
  frame->InjectMouseMove(x + 5, y + 5);
  frame->Step();
  frame->InjectClick(x + 5, y + 5);
  frame->Step();
  EXPECT_FALSE(bank->isVisible());
}

TEST_F(FrameTest, BankWindowIsHiddenUntilF2AndAClickClosesIt) {
  StartFrame();
  CBankView* bank = CBankView::GetInstance();
  EXPECT_FALSE(bank->isVisible());
  EXPECT_TRUE(IsChildOfTop(bank));
  frame->InjectKey(gcn::Key::F2);
  frame->Step();
  EXPECT_TRUE(bank->isVisible());
  frame->InjectClick(bank->getX() + 10, bank->getY() + 10);
  frame->Step();
  EXPECT_FALSE(bank->isVisible());
  EXPECT_EQ(log.end(), std::find_if(log.begin(), log.end(), [](const std::string& s) {
              return s.rfind("click:", 0) == 0;
            }));  // the click went to the bank window, not through it to the game
}

TEST_F(FrameTest, FaceImagesAreCachedPerFace) {
  StartFrame();
  TestView& view = Dlg().View();
  OrvHgeImage* a = view.GetFaceImg(1);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(view.GetFaceImg(7), a);
  EXPECT_NE(view.GetFaceImg(2), a);
  EXPECT_EQ(a->Path(), "Frame/Face/face_1.png");
  EXPECT_GT(a->getWidth(), 0);  // the frame's face pictures ship with the assets
  EXPECT_EQ(view.GetFaceImg(0xFFFFFFFFu)->Path(), "Frame/Face/face_3.png");
}

TEST_F(FrameTest, FrameOverlaysAreDrawnOverTheGameView) {
  auto device = plat::RenderDevice::CreateHeadless(1280, 720);
  ASSERT_NE(device, nullptr);
  StartFrame(device.get());
  TestView& view = Dlg().View();
  view.paint = true;
  tagUserData me = plat::MakeUserData(1, plat::Utf8ToGbk("玩家"), 123456, 7890);
  frame->SetLocalUser(&me, 0, false);
  frame->ShowStatus(plat::Utf8ToGbk("与服务器的连接已断开"), true);
  CBankView::GetInstance()->setVisible(true);
  frame->Step();

  const std::uint32_t red = 0xFFFF0000;
  // Inside the painted rectangle, away from the status band: the game view's red.
  EXPECT_EQ(device->ReadPixel(TestView::kPaintX + 5, TestView::kPaintY + 80), red);
  // The status band sits at the top centre over the red.
  const std::uint32_t band = device->ReadPixel(640, plat::StatusLine::kTop + 2);
  EXPECT_NE(band, red);
  EXPECT_LT((band >> 16) & 0xFF, 0xC0u);
  // The chat panel is drawn in its corner over the black background.
  const int chatTop = 720 - CChatWiew::kMarginBottom - CChatWiew::kHeight;
  EXPECT_NE(device->ReadPixel(CChatWiew::kMarginLeft + 250, chatTop + 20), 0xFF000000u);
  EXPECT_EQ(device->ReadPixel(CChatWiew::kMarginLeft + 250, chatTop - 5), 0xFF000000u);
  CBankView::GetInstance()->setVisible(false);
}

}  // namespace
}  // namespace frametest
