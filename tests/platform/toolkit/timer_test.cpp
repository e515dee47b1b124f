#include <gtest/gtest.h>

#include <memory>

#include "platform/toolkit/runtime.h"
#include "testing/fakeclock.h"
#include "tests/platform/toolkit/toolkittestsupport.h"

namespace {

using tktest::RecordingWindow;

class TimerTest : public ::testing::Test {
 protected:
  static plat::TimerQueue& Timers() { return plat::Runtime::Current()->Timers(); }
  std::size_t Run(std::uint64_t advanceMs) {
    m_clock.Advance(advanceMs);
    return Timers().Dispatch(m_clock.NowMs());
  }
  plat::FakeClock m_clock{5000};
  plat::ScopedClock m_use{&m_clock};
  RecordingWindow m_w;
};

TEST_F(TimerTest, RepeatsEveryPeriodUntilKilled) {
  m_w.SetTimer(2, 1000);
  EXPECT_EQ(Run(999), 0u);
  EXPECT_EQ(Run(1), 1u);
  EXPECT_EQ(Run(1000), 1u);
  EXPECT_EQ(Run(1000), 1u);
  EXPECT_EQ(m_w.timers, std::vector<unsigned>({2, 2, 2}));
  m_w.KillTimer(2);
  EXPECT_FALSE(m_w.HasTimer(2));
  EXPECT_EQ(Run(5000), 0u);
  EXPECT_EQ(m_w.timers.size(), 3u);
}

TEST_F(TimerTest, SettingAgainRestartsWithTheNewPeriod) {
  m_w.SetTimer(1, 1000);
  Run(600);
  m_w.SetTimer(1, 300);
  EXPECT_EQ(Run(299), 0u);
  EXPECT_EQ(Run(1), 1u);
  EXPECT_EQ(Timers().Count(), 1u);
}

TEST_F(TimerTest, AStallFiresOnceAndKeepsThePhase) {
  m_w.SetTimer(1, 100);
  EXPECT_EQ(Run(350), 1u);  // three periods missed: one firing
  EXPECT_EQ(Timers().NextDueMs(), 5000u + 400u);
  EXPECT_EQ(Run(50), 1u);
}

TEST_F(TimerTest, DueTimersFireEarliestFirst) {
  RecordingWindow other;
  m_w.SetTimer(1, 300);
  other.SetTimer(2, 200);
  m_w.SetTimer(3, 200);  // same due time as `other`'s, set later
  Run(300);
  EXPECT_EQ(other.timers, std::vector<unsigned>({2}));
  EXPECT_EQ(m_w.timers, std::vector<unsigned>({3, 1}));
}

class KillingWindow : public RecordingWindow {
 public:
  void OnTimer(unsigned id) override {
    RecordingWindow::OnTimer(id);
    if (id == 1) {
      KillTimer(1);  // a one-shot timer, as the buy cooldown uses it
      KillTimer(2);
    }
  }
};

TEST_F(TimerTest, KillingInsideOnTimerStopsTimersNotYetFired) {
  KillingWindow w;
  w.SetTimer(1, 100);
  w.SetTimer(2, 100);
  EXPECT_EQ(Run(100), 1u);
  EXPECT_EQ(Run(1000), 0u);
  EXPECT_EQ(w.timers, std::vector<unsigned>({1}));
}

TEST_F(TimerTest, ADestroyedWindowLeavesNoTimerBehind) {
  auto w = std::make_unique<RecordingWindow>();
  w->SetTimer(1, 100);
  w->SetTimer(2, 100);
  w.reset();
  EXPECT_EQ(Timers().Count(), 0u);
  EXPECT_EQ(Run(1000), 0u);
}

TEST_F(TimerTest, AZeroPeriodCannotFloodTheLoop) {
  m_w.SetTimer(1, 0);
  EXPECT_EQ(Run(0), 0u);
  EXPECT_EQ(Run(plat::TimerQueue::kMinPeriodMs), 1u);
  EXPECT_EQ(Run(0), 0u);  // once per due time
}

}  // namespace
