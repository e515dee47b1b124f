#include "testing/fakeclock.h"

#include <algorithm>

namespace plat {

namespace {

constexpr std::size_t kKeptDues = 4096;

}  // namespace

int FakeClock::PollTimeoutMs(std::uint64_t dueMs) {
  if (dueMs == 0) return -1;
  std::lock_guard<std::mutex> lock(m_mutex);
  // Read under the lock that moves take, so a recorded wait is never older than the last move.
  if (dueMs <= m_now.load()) return 0;
  m_dues.push_back(dueMs);
  if (m_dues.size() > kKeptDues) {
    m_dues.pop_front();
    ++m_duesDropped;
  }
  m_waited.notify_all();
  return -1;
}

void FakeClock::AddWatcher(ClockWatcher* watcher) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_watchers.push_back(watcher);
}

void FakeClock::RemoveWatcher(ClockWatcher* watcher) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_watchers.erase(std::remove(m_watchers.begin(), m_watchers.end(), watcher), m_watchers.end());
}

std::size_t FakeClock::Advance(std::uint64_t ms) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_now.fetch_add(ms);
  TellWatchers();
  return m_duesDropped + m_dues.size();
}

std::size_t FakeClock::Set(std::uint64_t ms) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (ms > m_now.load()) m_now.store(ms);
  TellWatchers();
  return m_duesDropped + m_dues.size();
}

void FakeClock::TellWatchers() {
  // Callers hold the lock: a watcher that removed itself is not called afterwards.
  for (ClockWatcher* watcher : m_watchers) watcher->ClockMoved();
}

std::size_t FakeClock::Waits() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_duesDropped + m_dues.size();
}

bool FakeClock::AwaitWait(std::size_t since, const std::function<bool(std::uint64_t)>& match,
                          std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(m_mutex);
  std::size_t next = since;
  return m_waited.wait_for(lock, limit, [&] {
    for (next = std::max(next, m_duesDropped); next < m_duesDropped + m_dues.size(); ++next)
      if (match(m_dues[next - m_duesDropped])) return true;
    return false;
  });
}

}  // namespace plat
