#include "platform/transport/inboundgate.h"

namespace plat {

InboundGate::InboundGate(std::size_t capacityBytes, std::uint32_t floodMs)
    : m_capacity(capacityBytes), m_floodMs(floodMs) {}

bool InboundGate::MayRead(std::size_t queuedBytes, std::uint64_t nowMs) {
  if (m_fullSince != 0 && nowMs - m_lastFull >= kQuietMs) m_fullSince = 0;
  if (queuedBytes < m_capacity) return true;
  if (m_fullSince == 0) m_fullSince = nowMs == 0 ? 1 : nowMs;
  m_lastFull = nowMs;
  return false;
}

bool InboundGate::Flooded(std::uint64_t nowMs) const {
  return m_fullSince != 0 && nowMs - m_lastFull < kQuietMs && nowMs - m_fullSince >= m_floodMs;
}

void InboundGate::Reset() {
  m_fullSince = 0;
  m_lastFull = 0;
}

}  // namespace plat
