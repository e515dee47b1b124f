#pragma once
// Milliseconds for timers, time-outs and time stamps, from a source the owner chooses.
//
// Callers may rely on: NowMs never goes back; only differences matter. A clock that runs by
// itself (the steady clock) lets a thread block in poll() for the time it waits for. A clock
// that moves only when told (a test's) answers -1 from PollTimeoutMs and tells its watchers
// each time it moves, so a thread waiting on it blocks until woken instead of sleeping.
#include <cstdint>

namespace plat {

class ClockWatcher {
 public:
  // Called on the thread that moved the clock; must not block.
  virtual void ClockMoved() = 0;

 protected:
  ~ClockWatcher() = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t NowMs() = 0;
  // The poll() time-out for waiting until `dueMs` (0: no deadline, -1 then). Capped at a minute.
  virtual int PollTimeoutMs(std::uint64_t dueMs);
  // A clock that runs by itself never calls its watchers, so it keeps none.
  virtual void AddWatcher(ClockWatcher*) {}
  virtual void RemoveWatcher(ClockWatcher*) {}
};

class SteadyClock final : public Clock {
 public:
  std::uint64_t NowMs() override;
};

// One steady clock for every part that is given none.
Clock& Steady();

// The process default, for the window timers, the caret and input time stamps (their interfaces
// take no clock). The steady clock until SetClock installs another; SetClock(nullptr) restores
// it. The installed clock is not owned.
Clock& GetClock();
void SetClock(Clock* clock);

}  // namespace plat
