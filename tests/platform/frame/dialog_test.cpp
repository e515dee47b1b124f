// The dialog's services to the game and what the frame makes of the application's answers.
#include <cstring>

#include "tests/platform/frame/framefixture.h"

#include "testing/fakeserver.h"
#include "platform/frame/globalunits.h"
#include "platform/frame/quickchatwiew.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"

namespace frametest {
namespace {

using ::testing::ElementsAre;

TEST_F(FrameTest, SendDataReachesTheTransportWithMainSubAndBytes) {
  StartFrame();
  const std::uint8_t record[8] = {0xE9, 0x03, 0, 0, 5, 0, 0, 0};
  EXPECT_TRUE(Dlg().SendData(1, record, sizeof(record), plat::kMainCmdGame));
  EXPECT_TRUE(Dlg().SendData(3, nullptr, 0, plat::kMainCmdGame));
  ASSERT_EQ(transport.Sent().size(), 2u);
  const plat::SentMessage& m = transport.Sent()[0];
  EXPECT_EQ(m.mainCmd, 100);
  EXPECT_EQ(m.subCmd, 1);
  EXPECT_EQ(m.bytes, std::vector<std::uint8_t>(record, record + 8));
  EXPECT_TRUE(transport.Sent()[1].bytes.empty());
}

TEST_F(FrameTest, SendDataReportsFailuresInsteadOfSuccess) {
  StartFrame();
  EXPECT_FALSE(Dlg().SendData(1, nullptr, 8, plat::kMainCmdGame));  // no record to read
  transport.SetRefusing(true);
  const std::uint32_t id = 1001;
  EXPECT_FALSE(Dlg().SendData(2, &id, 4, plat::kMainCmdGame));
  EXPECT_TRUE(transport.Sent().empty());
  Dlg().SetTransport(nullptr);
  transport.SetRefusing(false);
  EXPECT_FALSE(Dlg().SendData(2, &id, 4, plat::kMainCmdGame));
}

TEST_F(FrameTest, LocalUserIsNullBeforeLoginAndFollowsTheServer) {
  StartFrame();
  EXPECT_EQ(Dlg().GetMeUserData(), nullptr);
  plat::FakeServer server(frame->Messages());
  tagUserData me = plat::MakeUserData(7, plat::Utf8ToGbk("玩家甲"), 50000, 1200);
  server.User(me);
  frame->Step();
  const tagUserData* got = Dlg().GetMeUserData();
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->dwUserID, 7u);
  EXPECT_STREQ(got->szNickName, plat::Utf8ToGbk("玩家甲").c_str());
  EXPECT_EQ(got->dwCoins, 50000u);
  EXPECT_EQ(got->dwBankCoins, 1200u);
  ASSERT_NE(frame->ChatView(), nullptr);
  EXPECT_TRUE(frame->ChatView()->QuickChat()->PhraseButton()->isEnabled());
  server.NoUser();
  frame->Step();
  EXPECT_EQ(Dlg().GetMeUserData(), nullptr);
  EXPECT_FALSE(frame->ChatView()->QuickChat()->PhraseButton()->isEnabled());
  EXPECT_THAT(log, ::testing::IsSupersetOf({"user:7@0", "user:none@0"}));
}

TEST_F(FrameTest, ChairsBeyondTheTableAreReportedInvalid) {
  StartFrame();
  tagUserData me = plat::MakeUserData(1, "a", 0, 0);
  frame->SetLocalUser(&me, 16, false);  // the classic view has 16 chairs: 0..15
  EXPECT_EQ(log.back(), "user:1@" + std::to_string(CGameFrameDlg::kInvalidChair));
}

TEST(UserData, LongNicknamesAreCutOnACharacterBoundaryAndTerminated) {
  // 15 two-byte characters (30 bytes) then one more: 32 bytes do not fit in 31.
  std::string name;
  for (int i = 0; i < 16; ++i) name += plat::Utf8ToGbk("中");
  tagUserData u = plat::MakeUserData(1, name, 0, 0);
  EXPECT_EQ(std::strlen(u.szNickName), 30u);
  EXPECT_EQ(std::string(u.szNickName), name.substr(0, 30));
  // A single byte first shifts the boundary: 1 + 15 * 2 = 31 fits exactly.
  u = plat::MakeUserData(1, "x" + name, 0, 0);
  EXPECT_EQ(std::strlen(u.szNickName), 31u);

  // A record from outside without a terminator is terminated when the frame takes it.
  tagUserData raw;
  std::memset(raw.szNickName, 'A', sizeof(raw.szNickName));
  frametest::Log log;
  bool destroyed = false;
  TestDialog dlg(log, &destroyed);
  dlg.SetMeUserData(&raw);
  EXPECT_EQ(std::strlen(dlg.GetMeUserData()->szNickName), kNickNameSize - 1);
}

TEST_F(FrameTest, ConfigurationAnswersBecomeTheFlagWord) {
  AppAnswers answers;
  answers.frameRate = 1000;
  answers.statusMs = 0;
  StartFrame(nullptr, answers);
  EXPECT_EQ(app->GetFrameFlags(), plat::kAllFrameFlags);
  EXPECT_EQ(frame->Config().frameRate, plat::kMaxFrameRate);
  EXPECT_EQ(frame->Config().statusTimeoutMs, plat::kDefaultStatusTimeoutMs);
  EXPECT_NE(frame->ChatView(), nullptr);
  EXPECT_NE(frame->RuleButton(), nullptr);
}

TEST_F(FrameTest, FeaturesAnsweredOffAreNotBuilt) {
  AppAnswers answers;
  answers.flags[0] = 0;  // rule button
  answers.flags[1] = 0;  // chat view
  answers.flags[2] = 0;  // faces
  answers.flags[3] = 1;  // a boolean answer still turns its feature on
  StartFrame(nullptr, answers);
  EXPECT_EQ(app->GetFrameFlags(), plat::kFrameFlagStatusLine | plat::kFrameFlagLookOn |
                                      plat::kFrameFlagBankWindow);
  EXPECT_EQ(frame->ChatView(), nullptr);
  EXPECT_EQ(frame->RuleButton(), nullptr);
  EXPECT_EQ(Dlg().View().GetFaceImg(3), nullptr);
  frame->InjectKey(gcn::Key::F1);
  frame->Step();
  EXPECT_EQ(Dlg().ruleCount, 0);
}

TEST(GameFrameApp, CurrentIsTheNewestLiveApplication) {
  Log log;
  auto first = std::make_unique<TestApp>(log, AppAnswers{});
  auto second = std::make_unique<TestApp>(log, AppAnswers{});
  EXPECT_EQ(AfxGetApp(), second.get());
  first.reset();  // not the current one: the current stays
  EXPECT_EQ(AfxGetApp(), second.get());
  second.reset();
  EXPECT_EQ(AfxGetApp(), nullptr);
  plat::GameFrame frame(nullptr, nullptr);
  EXPECT_FALSE(frame.Start());
  EXPECT_FALSE(frame.LastError().empty());
}

// The top window, the bank and the dialog pointer are process-wide: a second frame beside a
// running one is refused, and may start once the first has shut down.
TEST_F(FrameTest, ASecondFrameStartsOnlyAfterTheFirstHasShutDown) {
  StartFrame();
  CGameFrameDlg* const first = CGlobalUnits::s_pGameFrameDlg;
  plat::RecordingTransport otherTransport;
  {
    plat::GameFrame beside(nullptr, &otherTransport);
    EXPECT_FALSE(beside.Start());
    EXPECT_NE(beside.LastError().find("another frame"), std::string::npos) << beside.LastError();
  }
  EXPECT_EQ(CGlobalUnits::s_pGameFrameDlg, first) << "the refused frame left the running one alone";
  EXPECT_TRUE(frame->IsRunning());

  frame->Shutdown();
  plat::GameFrame after(nullptr, &otherTransport);
  EXPECT_TRUE(after.Start()) << after.LastError();
  EXPECT_NE(CGlobalUnits::s_pGameFrameDlg, nullptr);
  after.Shutdown();
  EXPECT_EQ(CGlobalUnits::s_pGameFrameDlg, nullptr);
}

TEST_F(FrameTest, ShutdownTellsTheDialogOnceAndDestroysIt) {
  StartFrame();
  frame->Shutdown();
  frame->Shutdown();
  EXPECT_EQ(std::count(log.begin(), log.end(), "closing"), 1);
  EXPECT_TRUE(app->dialogDestroyed);
  EXPECT_FALSE(frame->IsRunning());
}

TEST_F(FrameTest, ClosingAsksTheDialogAndHonoursTheLeaveConfirmation) {
  StartFrame();
  Dlg().canLeave = false;
  frame->RequestClose();
  EXPECT_TRUE(frame->IsRunning());
  EXPECT_TRUE(frame->Status().IsShown());

  Dlg().canLeave = true;
  frame->RequestClose();  // confirmation on by default: the first request only warns
  EXPECT_TRUE(frame->IsRunning());
  clock.Advance(frame->Config().statusTimeoutMs);
  frame->RequestClose();  // too late: warns again
  EXPECT_TRUE(frame->IsRunning());
  frame->RequestClose();
  EXPECT_FALSE(frame->IsRunning());
}

TEST_F(FrameTest, ClosingWithTheConfirmationOffEndsAtOnce) {
  StartFrame();
  Dlg().View().SetCyrmEnable(COrvGameFrameView::kCyrmLeave, false);
  Dlg().View().SetCyrmEnable(99, true);  // out of range: ignored
  EXPECT_FALSE(Dlg().View().IsCyrmEnabled(99));
  frame->RequestClose();
  EXPECT_FALSE(frame->IsRunning());
  EXPECT_EQ(frame->Run(10), 0);
}

}  // namespace
}  // namespace frametest
