// The order of one frame step and the timers driven by the test clock.
#include "tests/platform/frame/framefixture.h"

#include "testing/fakeserver.h"
#include "platform/frame/globalunits.h"
#include "platform/render/renderdevice.h"

namespace frametest {
namespace {

using ::testing::ElementsAre;

TEST_F(FrameTest, StartUpWiresTheGameInOrder) {
  tagUserData me = plat::MakeUserData(42, "me", 10, 20);
  plat::GameFrameOptions opts;
  opts.localUser = me;
  opts.chairId = 3;
  StartFrame(nullptr, {}, opts);
  EXPECT_THAT(log, ElementsAre("rectify:1280x720", "init", "user:42@3"));
  EXPECT_EQ(CGlobalUnits::s_pGameFrameDlg, frame->Dialog());
  frame->Step();
  frame->Step();
  EXPECT_EQ(std::count(log.begin(), log.end(), "init"), 1);  // InitResource once only
}

TEST_F(FrameTest, OneStepRunsInputServerTimersPostedDrawInThatOrder) {
  auto device = plat::RenderDevice::CreateHeadless(1280, 720);
  ASSERT_NE(device, nullptr);
  StartFrame(device.get());
  TestView& view = Dlg().View();
  view.SetTimer(5, 1000);
  log.clear();
  view.logDraws = true;

  // Queued in the opposite order of delivery on purpose.
  AfxGetMainWnd()->PostMessage(kMsgPlain, 9, 0);
  clock.Advance(1000);
  plat::FakeServer server(frame->Messages());
  server.Game(4, {1, 2, 3});
  frame->InjectClick(200, 300);
  frame->Step();
  EXPECT_THAT(log, ElementsAre("click:200,300", "game:4/3", "timer:5", "msg:9", "draw", "exlayer"));
}

TEST_F(FrameTest, TimerRepeatsEveryPeriodUntilKilled) {
  StartFrame();
  TestView& view = Dlg().View();
  view.SetTimer(2, 1000);
  log.clear();
  clock.Advance(999);
  frame->Step();
  EXPECT_TRUE(log.empty());
  clock.Advance(1);
  frame->Step();
  frame->Step();  // same time: no second firing
  EXPECT_THAT(log, ElementsAre("timer:2"));
  clock.Advance(1000);
  frame->Step();
  clock.Advance(1000);
  frame->Step();
  EXPECT_THAT(log, ElementsAre("timer:2", "timer:2", "timer:2"));
  view.KillTimer(2);
  clock.Advance(5000);
  frame->Step();
  EXPECT_EQ(log.size(), 3u);
}

TEST_F(FrameTest, ServerMessagesArriveInOrderAndFalseAnswersAreCounted) {
  StartFrame();
  plat::FakeServer server(frame->Messages());
  server.Game(1, {});
  server.Game(kRejectedSub, {7});
  server.Scene(7, false, {});  // the test game only takes status 0 and 100
  server.Game(2, std::vector<std::uint8_t>(128));
  log.clear();
  frame->Step();
  EXPECT_THAT(log, ElementsAre("game:1/0", "game:99/1", "reset", "scene:7", "game:2/128"));
  const plat::FrameStats& s = frame->Stats();
  EXPECT_EQ(s.gameMessages, 3u);
  EXPECT_EQ(s.rejectedGameMessages, 1u);
  EXPECT_EQ(s.lastRejectedSubCmd, kRejectedSub);
  EXPECT_EQ(s.scenes, 1u);
  EXPECT_EQ(s.rejectedScenes, 1u);
}

TEST_F(FrameTest, MessagesPerStepSpreadsABurstOverSteps) {
  AppAnswers answers;
  answers.perStep = 2;
  StartFrame(nullptr, answers);
  plat::FakeServer server(frame->Messages());
  for (std::uint16_t sub = 1; sub <= 5; ++sub) server.Game(sub, {});
  log.clear();
  frame->Step();
  EXPECT_THAT(log, ElementsAre("game:1/0", "game:2/0"));
  frame->Step();
  frame->Step();
  EXPECT_EQ(log.size(), 5u);
  EXPECT_EQ(log.back(), "game:5/0");
}

// Left to the frame (answer 0), a step delivers a bounded number, so a flood cannot freeze it.
TEST_F(FrameTest, DefaultCapKeepsAFloodFromTakingOneStep) {
  StartFrame(nullptr, AppAnswers());
  plat::FakeServer server(frame->Messages());
  const std::size_t flood = 3 * plat::kDefaultMessagesPerStep + 5;
  for (std::size_t i = 0; i < flood; ++i) server.Game(1, {});
  log.clear();
  frame->Step();
  EXPECT_EQ(log.size(), plat::kDefaultMessagesPerStep);
  EXPECT_EQ(frame->Messages().Size(), flood - plat::kDefaultMessagesPerStep);
  for (int i = 0; i < 3; ++i) frame->Step();
  EXPECT_EQ(log.size(), flood);
  EXPECT_EQ(frame->Messages().Bytes(), 0u);
}

TEST_F(FrameTest, LookOnScenesNeedTheLookOnFlag) {
  AppAnswers answers;
  answers.flags[4] = 0;
  StartFrame(nullptr, answers);
  plat::FakeServer server(frame->Messages());
  server.Scene(0, true, {});
  server.Scene(100, false, {});
  log.clear();
  frame->Step();
  EXPECT_THAT(log, ElementsAre("reset", "scene:100"));
  EXPECT_EQ(frame->Stats().skippedLookOnScenes, 1u);
}

TEST(ServerMessageQueue, OversizedBodiesAreDroppedAndTakeHonoursItsLimit) {
  plat::ServerMessageQueue queue;
  plat::FakeServer server(queue);
  EXPECT_FALSE(server.Game(1, std::vector<std::uint8_t>(0x10000)));
  EXPECT_TRUE(server.Game(2, std::vector<std::uint8_t>(0xFFFF)));
  EXPECT_TRUE(server.Game(3, nullptr, 0));
  EXPECT_EQ(queue.DroppedCount(), 1u);
  auto first = queue.Take(1);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].subCmd, 2);
  EXPECT_EQ(queue.Take(0).size(), 1u);
  EXPECT_EQ(queue.Size(), 0u);
}

}  // namespace
}  // namespace frametest
