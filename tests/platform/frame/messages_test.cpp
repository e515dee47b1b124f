// Window messages to the main window: sent ones now, posted ones after the handler, in order.
#include "tests/platform/frame/framefixture.h"

#include "platform/frame/globalunits.h"

namespace frametest {
namespace {

using ::testing::ElementsAre;

TEST_F(FrameTest, SentMessageIsHandledBeforeSendReturns) {
  StartFrame();
  EXPECT_EQ(AfxGetMainWnd()->SendMessage(kMsgPlain, 7, 3), 10);
  EXPECT_THAT(log, ::testing::Contains("msg:7"));
}

TEST_F(FrameTest, PostedMessagesRunAfterTheHandlerInOrder) {
  StartFrame();
  log.clear();
  AfxGetMainWnd()->SendMessage(kMsgPostTwo);
  EXPECT_THAT(log, ElementsAre("post-begin", "post-end"));  // nothing ran inside the handler
  frame->Step();
  EXPECT_THAT(log, ElementsAre("post-begin", "post-end", "msg:1", "msg:2"));
  EXPECT_EQ(frame->Stats().postedHandled, 2u);
}

TEST_F(FrameTest, PostedFromAPostedHandlerWaitsForTheNextStep) {
  StartFrame();
  log.clear();
  AfxGetMainWnd()->PostMessage(kMsgRepost);
  frame->Step();
  frame->Step();
  // One run per step: a handler that keeps posting cannot hang the loop.
  EXPECT_THAT(log, ElementsAre("repost", "repost"));
  EXPECT_EQ(AfxGetMainWnd()->PendingCount(), 1u);
}

TEST_F(FrameTest, MessagesWithoutADialogAreDroppedNotCrashed) {
  StartFrame();
  AfxGetMainWnd()->PostMessage(kMsgPlain, 5, 0);
  frame->Shutdown();
  EXPECT_EQ(CGlobalUnits::s_pGameFrameDlg, nullptr);
  EXPECT_EQ(AfxGetMainWnd()->PendingCount(), 0u);  // a dead dialog's messages are gone
  const auto dropped = AfxGetMainWnd()->DroppedCount();
  EXPECT_EQ(AfxGetMainWnd()->SendMessage(kMsgPlain, 5, 0), 0);
  EXPECT_EQ(AfxGetMainWnd()->DroppedCount(), dropped + 1);
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("msg:5")));
}

TEST_F(FrameTest, PostQueueRefusesBeyondItsLimit) {
  StartFrame();
  plat::MainWindow& wnd = *AfxGetMainWnd();
  for (std::size_t i = 0; i < plat::MainWindow::kMaxPosted; ++i)
    ASSERT_TRUE(wnd.PostMessage(kMsgPlain, 0, 0));
  EXPECT_FALSE(wnd.PostMessage(kMsgPlain, 0, 0));
  wnd.ClearPosted();
}

}  // namespace
}  // namespace frametest
