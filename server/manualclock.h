#pragma once
// A clock that moves only when told; safe to advance from another thread.
#include "server/clock.h"

namespace velsrv {

class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::uint64_t startMs = 1000000) : now_(startMs) {}
  std::uint64_t NowMs() override { return now_.load(); }
  void Advance(std::uint64_t ms) { now_.fetch_add(ms); }
  void Set(std::uint64_t ms) { now_.store(ms); }

 private:
  std::atomic<std::uint64_t> now_;
};

}  // namespace velsrv
