#pragma once
// Milliseconds for window timers, caret blinking and input time stamps.
//
// Callers may rely on: GetClock() is a steady clock (never goes back) until SetClock installs
// another one; SetClock(nullptr) restores the steady clock. The installed clock is not owned.
// TestClock only moves when told to, so timer tests never sleep.
#include <cstdint>

namespace plat {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t NowMs() = 0;
};

Clock& GetClock();
void SetClock(Clock* clock);

class TestClock : public Clock {
 public:
  explicit TestClock(std::uint64_t startMs = 0) : m_now(startMs) {}
  std::uint64_t NowMs() override { return m_now; }
  void Advance(std::uint64_t ms) { m_now += ms; }
  void Set(std::uint64_t ms) { m_now = ms; }

 private:
  std::uint64_t m_now;
};

// Installs a clock for one scope and restores the previous one (tests).
class ScopedClock {
 public:
  explicit ScopedClock(Clock* clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* m_previous;
};

}  // namespace plat
