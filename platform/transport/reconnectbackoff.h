#pragma once
// Delay before the next connection attempt: doubles after every failure up to a ceiling, so a
// server that is down is not hammered, and starts short again once a login got through.
#include <cstdint>

namespace plat {

class ReconnectBackoff {
 public:
  // `firstMs` 0 is taken as 1; a ceiling below the first delay is raised to it.
  ReconnectBackoff(std::uint32_t firstMs, std::uint32_t maxMs);

  // The delay to wait now; the next call answers the doubled one.
  std::uint32_t Next();
  void Reset() { m_nextMs = m_firstMs; }

 private:
  std::uint32_t m_firstMs;
  std::uint32_t m_maxMs;
  std::uint32_t m_nextMs;
};

}  // namespace plat
