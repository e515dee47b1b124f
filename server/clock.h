#pragma once
// Game time source. The server reads the steady clock; tests drive a manual
// one so that lots close without sleeping.
#include <atomic>
#include <chrono>
#include <cstdint>

namespace velsrv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic scale; only differences matter.
  virtual std::uint64_t NowMs() = 0;
};

class SteadyClock final : public Clock {
 public:
  std::uint64_t NowMs() override {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
  }
};

}  // namespace velsrv
