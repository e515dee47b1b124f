#include "platform/transport/outboundqueue.h"

#include <algorithm>

#include "platform/net/frameencoder.h"

namespace plat {

bool OutboundQueue::Push(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
                         std::size_t size) {
  Frame frame{mainCmd, {}};
  if (!net::AppendFrame(frame.bytes, mainCmd, subCmd, data, size)) return false;
  if (m_bytes + frame.bytes.size() > m_maxBytes) return false;
  m_bytes += frame.bytes.size();
  m_frames.push_back(std::move(frame));
  return true;
}

const std::uint8_t* OutboundQueue::HeadData() const {
  return m_frames.empty() ? nullptr : m_frames.front().bytes.data() + m_headOffset;
}

std::size_t OutboundQueue::HeadSize() const {
  return m_frames.empty() ? 0 : m_frames.front().bytes.size() - m_headOffset;
}

void OutboundQueue::Consume(std::size_t n) {
  while (n > 0 && !m_frames.empty()) {
    const std::size_t take = std::min(n, HeadSize());
    m_headOffset += take;
    m_bytes -= take;
    n -= take;
    if (m_headOffset == m_frames.front().bytes.size()) {
      m_frames.pop_front();
      m_headOffset = 0;
    }
  }
}

std::size_t OutboundQueue::Clear(std::uint16_t mainCmd) {
  const std::size_t lost = static_cast<std::size_t>(
      std::count_if(m_frames.begin(), m_frames.end(),
                    [mainCmd](const Frame& f) { return f.mainCmd == mainCmd; }));
  m_frames.clear();
  m_headOffset = 0;
  m_bytes = 0;
  return lost;
}

}  // namespace plat
