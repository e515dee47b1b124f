#include "client/views/systemnotice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "client/views/gfxfont.h"
#include "platform/text/textconv.h"
#include "tests/client/views/fontfixture.h"

namespace {

constexpr float kOneFrame = 0.016f;  // 1.6 pixels -> 1 whole pixel

// Texts whose width is known from the advance grid: CJK 14, others 7.
std::string Cjk(int chars) {
  std::string s;
  for (int i = 0; i < chars; ++i) s += plat::Utf8ToGbk("奖");
  return s;
}

class NoticeTest : public FontFixture {
 protected:
  void SetUp() override {
    FontFixture::SetUp();
    CSystemNotice::ClearAll();
  }
  void TearDown() override {
    CSystemNotice::ClearAll();
    FontFixture::TearDown();
  }

  static const std::vector<std::unique_ptr<CSystemNotice>>& Active() {
    return CSystemNotice::ActiveNotices();
  }
  static CSystemNotice& At(std::size_t i) { return *Active().at(i); }
  static void Move(CSystemNotice& n, int pixels) {
    for (int i = 0; i < pixels; ++i) n.Update(kOneFrame);
  }
  // Runs UpdateAndDrawAll frames at the given frame time.
  void Frames(int count, float dt) {
    hge.delta = dt;
    for (int i = 0; i < count; ++i) CSystemNotice::UpdateAndDrawAll();
  }
};

TEST_F(NoticeTest, InitMakesTheBandFontAndSetTextMeasures) {
  CSystemNotice n;
  n.Init();
  ASSERT_NE(n.Font(), nullptr);
  EXPECT_TRUE(n.IsFinished());
  EXPECT_FALSE(n.HasEntered());
  EXPECT_EQ(raster().face, plat::Utf8ToGbk("宋体"));
  EXPECT_EQ(raster().heightPx, 14);
  EXPECT_EQ(raster().weight, 700);
  EXPECT_FALSE(raster().italic);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(n.Font()->GetDrawColor(i), 0xFFB6B6B6u);

  n.SetText(Cjk(3) + "ab", 250, 78);
  EXPECT_FALSE(n.IsFinished());
  EXPECT_EQ(n.Width(), 56);
  EXPECT_EQ(n.StartX(), 495.0f);
  EXPECT_EQ(n.TravelTarget(), 56 + 495);
  EXPECT_EQ(n.TailX(), 495 + 56 + 100);
  EXPECT_EQ(raster().formats.back(), 1u) << "not antialiased";
}

TEST_F(NoticeTest, MovesInWholePixelsPerUpdate) {
  CSystemNotice n;
  n.Init();
  n.SetText(Cjk(2), 250, 78);
  Move(n, 3);
  EXPECT_EQ(n.Travelled(), 3);
  EXPECT_TRUE(n.HasEntered());
  for (int i = 0; i < 100; ++i) n.Update(0.009f);
  EXPECT_EQ(n.Travelled(), 3) << "frames under 10 ms never move";
  n.Update(0.034f);
  EXPECT_EQ(n.Travelled(), 6);
  n.Update(-1.0f);
  EXPECT_EQ(n.Travelled(), 6);
}

TEST_F(NoticeTest, FinishesWhenTheRightEdgeReachesTheBandsLeftEdge) {
  CSystemNotice n;
  n.Init();
  n.SetText(Cjk(2), 250, 78);  // w = 28, finished after 523 pixels
  for (int i = 0; i < 5; ++i) n.Update(1.0f);
  Move(n, 22);
  EXPECT_EQ(n.Travelled(), 522);
  EXPECT_FALSE(n.IsFinished());
  Move(n, 1);
  EXPECT_TRUE(n.IsFinished());
  EXPECT_EQ(n.CurrentX() + n.Width(), 0.0f);
  Move(n, 5);
  EXPECT_EQ(n.Travelled(), 523) << "a finished notice stays put";
}

TEST_F(NoticeTest, DrawClipsToTheBandAndPlacesTheTextFromItsLeftEdge) {
  CSystemNotice::AddNotice(Cjk(2), true, 250.7f, 78);
  hge.quads.clear();
  Frames(1, kOneFrame);
  ASSERT_EQ(hge.clips.size(), 2u);
  EXPECT_EQ(hge.clips[0].x, 250);
  EXPECT_EQ(hge.clips[0].y, 0);
  EXPECT_EQ(hge.clips[0].w, 495);
  EXPECT_EQ(hge.clips[0].h, 200);
  EXPECT_EQ(hge.clips[1].x + hge.clips[1].y + hge.clips[1].w + hge.clips[1].h, 0);
  ASSERT_EQ(hge.quads.size(), 2u);
  // Band-relative 494 after one pixel, on screen at the band's x plus that.
  EXPECT_FLOAT_EQ(hge.quads[0].v[0].x, 250.7f + 494 + FakeRasterizer::kOriginX);
  EXPECT_FLOAT_EQ(hge.quads[0].v[0].y, 78 + 12 - FakeRasterizer::kOriginY);
  EXPECT_EQ(hge.quads[0].v[0].col, 0xFFB6B6B6u);
}

TEST_F(NoticeTest, NextNoticeQueuesAGapBehindOrStartsAtTheBandWidth) {
  // The first one's right edge at 396, 395 and 394.
  const int edges[] = {396, 395, 394};
  const int expected[] = {496, 495, 495};
  for (int k = 0; k < 3; ++k) {
    CSystemNotice::ClearAll();
    CSystemNotice::AddNotice(Cjk(2), true, 250, 78);
    ASSERT_EQ(At(0).StartX(), 495.0f);
    Move(At(0), 495 + 28 - edges[k]);
    CSystemNotice::AddNotice(Cjk(3), true, 250, 78);
    ASSERT_EQ(Active().size(), 2u);
    EXPECT_EQ(At(1).StartX(), expected[k]) << "edge " << edges[k];
    EXPECT_EQ(At(1).TravelTarget(), expected[k] + 42);
  }
}

TEST_F(NoticeTest, FinishedNoticesAreDrawnNoMoreAndLeaveTheListNextFrame) {
  CSystemNotice::AddNotice("ab", true, 250, 78);  // w = 14
  CSystemNotice::AddNotice("cd", true, 250, 78);
  const int liveBefore = static_cast<int>(hge.LiveTextures());
  Frames(5, 1.0f);  // 500 pixels: the first (target 509) still runs
  Move(At(0), 8);
  ASSERT_EQ(At(0).Travelled(), 508);
  hge.quads.clear();
  Frames(1, kOneFrame);
  EXPECT_TRUE(At(0).IsFinished());
  EXPECT_EQ(Active().size(), 2u);
  // Only the second notice drew (two glyphs).
  EXPECT_EQ(hge.quads.size(), 2u);
  Frames(1, kOneFrame);
  ASSERT_EQ(Active().size(), 1u);
  EXPECT_EQ(At(0).Text(), "cd");
  EXPECT_LT(static_cast<int>(hge.LiveTextures()), liveBefore) << "its font went with it";
}

TEST_F(NoticeTest, NoticesStayFrozenWhileTheBandIsNotDrawn) {
  CSystemNotice::RememberText(Cjk(2));
  CSystemNotice::AddNotice(Cjk(2), true, 250, 78);
  Frames(3, kOneFrame);
  ASSERT_EQ(At(0).Travelled(), 3);
  hge.quads.clear();
  hge.delta = 0.5f;
  for (int i = 0; i < 10; ++i) CSystemNotice::ReplayRandomNotice();  // the panel is hidden
  EXPECT_EQ(At(0).Travelled(), 3);
  EXPECT_TRUE(hge.quads.empty());
  EXPECT_EQ(Active().size(), 2u) << "the replay still tops up to two";
  Frames(1, kOneFrame);
  EXPECT_EQ(At(0).Travelled(), 4) << "resumes with the last frame's time only";
}

TEST_F(NoticeTest, RemembersTheLastFiftyTexts) {
  for (int i = 0; i < 51; ++i) CSystemNotice::RememberText("t" + std::to_string(i));
  const auto& recent = CSystemNotice::RecentTexts();
  ASSERT_EQ(recent.size(), 50u);
  EXPECT_EQ(recent.front(), "t1");
  EXPECT_EQ(recent.back(), "t50");
}

TEST_F(NoticeTest, AnnouncementsBeyondTheCapWaitInTheRecentTexts) {
  // A flood of announcements must not pile up fonts without bound.
  for (std::size_t i = 0; i < CSystemNotice::kMaxActive + 5; ++i) {
    const std::string text = "n" + std::to_string(i);
    CSystemNotice::AddNotice(text, true, 250, 78);
    CSystemNotice::RememberText(text);
  }
  ASSERT_EQ(Active().size(), CSystemNotice::kMaxActive);
  EXPECT_EQ(Active().back()->Text(), "n" + std::to_string(CSystemNotice::kMaxActive - 1));
  EXPECT_EQ(CSystemNotice::RecentTexts().back(), "n" + std::to_string(CSystemNotice::kMaxActive + 4));
}

TEST_F(NoticeTest, ReplayTopsTheBandUpToTwoNotices) {
  CSystemNotice::ReplayRandomNotice();
  EXPECT_TRUE(Active().empty()) << "nothing remembered yet";

  const std::string text = Cjk(4);  // w = 56
  CSystemNotice::AddNotice(text, true, 250, 78);
  CSystemNotice::RememberText(text);
  CSystemNotice::ReplayRandomNotice();
  ASSERT_EQ(Active().size(), 2u);
  EXPECT_EQ(At(1).Text(), text);
  EXPECT_EQ(At(1).StartX(), 495 + 56 + 100);
  EXPECT_EQ(At(1).X(), 250.0f);
  EXPECT_EQ(At(1).Y(), 78.0f);
  EXPECT_TRUE(At(1).IsPriority());
  CSystemNotice::ReplayRandomNotice();
  EXPECT_EQ(Active().size(), 2u);
}

TEST_F(NoticeTest, ReplayPicksWithTheCLibraryGenerator) {
  for (int i = 0; i < 7; ++i) CSystemNotice::RememberText("r" + std::to_string(i));
  std::srand(1234);
  const int pick = std::rand() % 7;
  std::srand(1234);
  CSystemNotice::ReplayRandomNotice();
  ASSERT_EQ(Active().size(), 1u);
  EXPECT_EQ(At(0).Text(), "r" + std::to_string(pick));
}

TEST_F(NoticeTest, PriorityNoticeOvertakesAWaitingNormalOne) {
  CSystemNotice::AddNotice(Cjk(2), false, 250, 78);  // A: 495, w 28
  Move(At(0), 10);                                    // entered
  CSystemNotice::AddNotice(Cjk(3), false, 250, 78);  // B: waits at 495 - 10 + 28 + 100 = 613
  CSystemNotice::AddNotice(Cjk(1), false, 250, 78);  // C: behind B at 613 + 42 + 100 = 755
  ASSERT_EQ(At(1).StartX(), 613.0f);
  ASSERT_EQ(At(2).StartX(), 755.0f);
  CSystemNotice* b = Active()[1].get();
  CSystemNotice* c = Active()[2].get();
  const int bTarget = b->TravelTarget();

  CSystemNotice::AddNotice("abcd", true, 250, 78);  // P: w 28
  ASSERT_EQ(Active().size(), 4u);
  CSystemNotice& p = At(1);
  EXPECT_EQ(p.Text(), "abcd");
  EXPECT_EQ(p.StartX(), 613.0f);
  EXPECT_EQ(p.TravelTarget(), 613 + 28);
  EXPECT_EQ(Active()[2].get(), b);
  EXPECT_EQ(Active()[3].get(), c);
  EXPECT_EQ(b->StartX(), 613.0f + 128);
  EXPECT_EQ(b->TravelTarget(), bTarget + 128);
  EXPECT_EQ(c->StartX(), 755.0f + 128);
  EXPECT_EQ(b->TailX(), 741 + 42 + 100);
}

TEST_F(NoticeTest, PriorityNoticeNeverOvertakesEnteredOrPriorityNotices) {
  CSystemNotice::AddNotice(Cjk(2), false, 250, 78);
  Move(At(0), 1);  // A entered
  CSystemNotice::AddNotice(Cjk(2), true, 250, 78);   // P1 queues behind A
  CSystemNotice::AddNotice("ab", true, 250, 78);     // P2 queues behind P1
  ASSERT_EQ(Active().size(), 3u);
  EXPECT_EQ(At(1).StartX(), 494 + 28 + 100);
  EXPECT_EQ(At(2).StartX(), 622 + 28 + 100);
  EXPECT_EQ(At(2).Text(), "ab");
  EXPECT_EQ(At(0).StartX(), 495.0f);
}

}  // namespace
