#pragma once
// A clock that moves only when told, for tests, fuzz targets and screenshot programs. It may be
// read and moved from any thread; a move wakes whoever waits on it (a transport's thread), so
// time-outs fire when the test says, not after real time.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/time/clock.h"

namespace plat {

class FakeClock final : public Clock {
 public:
  // The default start is far from zero, where some callers take 0 for "not set".
  explicit FakeClock(std::uint64_t startMs = 1000000) : m_now(startMs) {}
  ~FakeClock() override = default;
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  std::uint64_t NowMs() override { return m_now.load(); }
  // 0 once the deadline is reached, else -1: the waiter sleeps until the clock moves.
  int PollTimeoutMs(std::uint64_t dueMs) override;
  void AddWatcher(ClockWatcher* watcher) override;
  void RemoveWatcher(ClockWatcher* watcher) override;

  // Both answer Waits() as it was at the move: the waits after it saw the new time.
  std::size_t Advance(std::uint64_t ms);
  // Moves to `ms`; a time before the present is ignored, as a clock never goes back.
  std::size_t Set(std::uint64_t ms);

  // For a test of another thread that waits on this clock: the waits for a deadline begun so
  // far, and a wait until one from the `since`-th on is for a deadline `match` accepts (true),
  // or until `limit` of real time has passed (false). A thread found waiting for a deadline has
  // seen the time it was computed from, so moving the clock to it releases that thread.
  std::size_t Waits();
  bool AwaitWait(std::size_t since, const std::function<bool(std::uint64_t dueMs)>& match,
                 std::chrono::milliseconds limit = std::chrono::seconds(10));

 private:
  void TellWatchers();

  std::atomic<std::uint64_t> m_now;
  std::mutex m_mutex;
  std::condition_variable m_waited;
  std::vector<ClockWatcher*> m_watchers;
  std::deque<std::uint64_t> m_dues;  // the latest waits' deadlines, oldest first
  std::size_t m_duesDropped = 0;     // older ones forgotten, so a busy waiter cannot grow this
};

// Installs a clock as the process default for one scope and restores the previous one.
class ScopedClock {
 public:
  explicit ScopedClock(Clock* clock) : m_previous(&GetClock()) { SetClock(clock); }
  ~ScopedClock() { SetClock(m_previous); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* m_previous;
};

}  // namespace plat
