#include "platform/frame/servermessagequeue.h"

#include <algorithm>
#include <iterator>

namespace plat {

namespace {
std::size_t Cost(const ServerMessage& msg) { return sizeof(ServerMessage) + msg.bytes.size() + msg.text.size(); }
}  // namespace

bool ServerMessageQueue::Push(ServerMessage msg) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (msg.bytes.size() > kMaxBodySize) {
    ++m_dropped;
    return false;
  }
  m_bytes += Cost(msg);
  m_items.push_back(std::move(msg));
  m_pushed.notify_all();
  return true;
}

bool ServerMessageQueue::WaitNotEmpty(std::chrono::microseconds limit) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_pushed.wait_for(lock, limit, [this] { return !m_items.empty(); });
}

std::vector<ServerMessage> ServerMessageQueue::Take(std::size_t limit) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const std::size_t n = (limit == 0) ? m_items.size() : std::min(limit, m_items.size());
  std::vector<ServerMessage> out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) m_bytes -= Cost(m_items[i]);
  std::move(m_items.begin(), m_items.begin() + static_cast<std::ptrdiff_t>(n),
            std::back_inserter(out));
  m_items.erase(m_items.begin(), m_items.begin() + static_cast<std::ptrdiff_t>(n));
  return out;
}

std::size_t ServerMessageQueue::Size() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_items.size();
}

std::uint64_t ServerMessageQueue::DroppedCount() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_dropped;
}

void ServerMessageQueue::Clear() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_items.clear();
  m_bytes = 0;
}

std::size_t ServerMessageQueue::Bytes() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_bytes;
}

}  // namespace plat
