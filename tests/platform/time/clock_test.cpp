// The clock interface's poll() time-outs, the process default, and the fake clock that the
// transport and server tests wait on.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/time/clock.h"
#include "testing/fakeclock.h"

namespace {

using namespace std::chrono_literals;

class CountingWatcher : public plat::ClockWatcher {
 public:
  void ClockMoved() override { ++moves; }
  std::atomic<int> moves{0};
};

TEST(SteadyClock, PollTimeoutCountsDownToTheDeadlineAndIsCapped) {
  plat::SteadyClock clock;
  const std::uint64_t now = clock.NowMs();
  EXPECT_EQ(clock.PollTimeoutMs(0), -1);  // no deadline
  EXPECT_EQ(clock.PollTimeoutMs(now), 0);
  EXPECT_EQ(clock.PollTimeoutMs(1), 0);  // long past
  const int soon = clock.PollTimeoutMs(clock.NowMs() + 500);
  EXPECT_GT(soon, 0);
  EXPECT_LE(soon, 500);
  // A far deadline must not overflow poll()'s int.
  EXPECT_EQ(clock.PollTimeoutMs(now + (std::uint64_t{1} << 40)), 60000);
  EXPECT_LE(now, clock.NowMs());
}

TEST(ProcessClock, ScopedClocksNestAndTheSteadyClockComesBack) {
  EXPECT_EQ(&plat::GetClock(), &plat::Steady());
  plat::FakeClock outer(5);
  {
    plat::ScopedClock useOuter(&outer);
    EXPECT_EQ(plat::GetClock().NowMs(), 5u);
    plat::FakeClock inner(9);
    {
      plat::ScopedClock useInner(&inner);
      EXPECT_EQ(plat::GetClock().NowMs(), 9u);
    }
    EXPECT_EQ(&plat::GetClock(), &outer);
  }
  EXPECT_EQ(&plat::GetClock(), &plat::Steady());
  plat::SetClock(&outer);
  plat::SetClock(nullptr);
  EXPECT_EQ(&plat::GetClock(), &plat::Steady());
}

TEST(FakeClock, MovesOnlyForwardAndTellsItsWatchersUntilRemoved) {
  plat::FakeClock clock(100);
  CountingWatcher watcher;
  clock.AddWatcher(&watcher);
  clock.Advance(20);
  EXPECT_EQ(clock.NowMs(), 120u);
  clock.Set(50);  // a clock never goes back
  EXPECT_EQ(clock.NowMs(), 120u);
  clock.Set(300);
  EXPECT_EQ(clock.NowMs(), 300u);
  EXPECT_EQ(watcher.moves, 3);
  clock.RemoveWatcher(&watcher);
  clock.Advance(1);
  EXPECT_EQ(watcher.moves, 3);
  // Before the deadline a waiter blocks until the clock moves; at it, not at all.
  EXPECT_EQ(clock.PollTimeoutMs(0), -1);
  EXPECT_EQ(clock.PollTimeoutMs(302), -1);
  EXPECT_EQ(clock.PollTimeoutMs(301), 0);
}

TEST(FakeClock, AwaitWaitFindsAWaitBegunOnAnotherThreadAndOnlyLaterOnes) {
  plat::FakeClock clock(1000);
  EXPECT_FALSE(clock.AwaitWait(0, [](std::uint64_t) { return true; }, 0ms));
  std::thread waiter([&] { clock.PollTimeoutMs(1040); });
  EXPECT_TRUE(clock.AwaitWait(0, [](std::uint64_t due) { return due == 1040; }));
  waiter.join();
  EXPECT_FALSE(clock.AwaitWait(0, [](std::uint64_t due) { return due == 1041; }, 0ms));
  // A move answers the waits begun before it: the ones after it saw the new time.
  const std::size_t mark = clock.Advance(10);
  EXPECT_EQ(mark, 1u);
  EXPECT_FALSE(clock.AwaitWait(mark, [](std::uint64_t) { return true; }, 0ms));
  clock.PollTimeoutMs(1050);
  EXPECT_TRUE(clock.AwaitWait(mark, [](std::uint64_t due) { return due == 1050; }, 0ms));
  EXPECT_EQ(clock.Waits(), 2u);
}

TEST(FakeClock, KeepsABoundedRecordOfWaits) {
  plat::FakeClock clock(0);
  for (int i = 0; i < 10000; ++i) clock.PollTimeoutMs(static_cast<std::uint64_t>(i) + 1);
  EXPECT_EQ(clock.Waits(), 10000u);
  // The oldest are forgotten, the latest still found.
  EXPECT_FALSE(clock.AwaitWait(0, [](std::uint64_t due) { return due == 1; }, 0ms));
  EXPECT_TRUE(clock.AwaitWait(0, [](std::uint64_t due) { return due == 10000; }, 0ms));
}

}  // namespace
