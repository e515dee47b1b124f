#include "platform/transport/reconnectbackoff.h"

#include <algorithm>

namespace plat {

ReconnectBackoff::ReconnectBackoff(std::uint32_t firstMs, std::uint32_t maxMs)
    : m_firstMs(std::max<std::uint32_t>(firstMs, 1)),
      m_maxMs(std::max(maxMs, m_firstMs)),
      m_nextMs(m_firstMs) {}

std::uint32_t ReconnectBackoff::Next() {
  const std::uint32_t now = m_nextMs;
  // Doubling in 64 bits: a large ceiling must not wrap around to a tiny delay.
  m_nextMs = static_cast<std::uint32_t>(std::min<std::uint64_t>(2ull * m_nextMs, m_maxMs));
  return now;
}

}  // namespace plat
