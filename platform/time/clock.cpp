#include "platform/time/clock.h"

#include <algorithm>
#include <chrono>

namespace plat {

namespace {

constexpr std::uint64_t kLongestPollMs = 60000;

Clock* g_clock = nullptr;

}  // namespace

int Clock::PollTimeoutMs(std::uint64_t dueMs) {
  if (dueMs == 0) return -1;
  const std::uint64_t now = NowMs();
  return dueMs <= now ? 0 : static_cast<int>(std::min(dueMs - now, kLongestPollMs));
}

std::uint64_t SteadyClock::NowMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

Clock& Steady() {
  static SteadyClock clock;
  return clock;
}

Clock& GetClock() { return g_clock != nullptr ? *g_clock : Steady(); }

void SetClock(Clock* clock) { g_clock = clock; }

}  // namespace plat
