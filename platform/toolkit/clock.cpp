#include "platform/toolkit/clock.h"

#include <chrono>

namespace plat {
namespace {

class SteadyClock final : public Clock {
 public:
  std::uint64_t NowMs() override {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
};

SteadyClock& Steady() {
  static SteadyClock clock;
  return clock;
}

Clock* g_clock = nullptr;

}  // namespace

Clock& GetClock() { return g_clock ? *g_clock : Steady(); }

void SetClock(Clock* clock) { g_clock = clock; }

ScopedClock::ScopedClock(Clock* clock) : m_previous(g_clock) { g_clock = clock; }

ScopedClock::~ScopedClock() { g_clock = m_previous; }

}  // namespace plat
