#include "platform/toolkit/timerqueue.h"

#include <algorithm>

#include "platform/toolkit/orvhgewindow.h"

namespace plat {

TimerQueue::Timer* TimerQueue::Find(const OrvHgeWindow* window, unsigned id) {
  for (Timer& t : m_timers)
    if (t.window == window && t.id == id) return &t;
  return nullptr;
}

const TimerQueue::Timer* TimerQueue::Find(const OrvHgeWindow* window, unsigned id) const {
  for (const Timer& t : m_timers)
    if (t.window == window && t.id == id) return &t;
  return nullptr;
}

void TimerQueue::Set(OrvHgeWindow* window, unsigned id, unsigned periodMs, std::uint64_t nowMs) {
  if (!window) return;
  const std::uint64_t period = std::max(periodMs, kMinPeriodMs);
  const Timer fresh{window, id, period, nowMs + period, m_nextSerial++};
  if (Timer* t = Find(window, id)) {
    // A restart goes to the back, like a timer set anew.
    *t = fresh;
    std::rotate(t, t + 1, m_timers.data() + m_timers.size());
  } else {
    m_timers.push_back(fresh);
  }
}

void TimerQueue::Kill(OrvHgeWindow* window, unsigned id) {
  m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                [&](const Timer& t) { return t.window == window && t.id == id; }),
                 m_timers.end());
}

void TimerQueue::KillAll(OrvHgeWindow* window) {
  m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                [&](const Timer& t) { return t.window == window; }),
                 m_timers.end());
}

bool TimerQueue::IsSet(const OrvHgeWindow* window, unsigned id) const {
  return Find(window, id) != nullptr;
}

std::optional<std::uint64_t> TimerQueue::NextDueMs() const {
  std::optional<std::uint64_t> next;
  for (const Timer& t : m_timers)
    if (!next || t.dueMs < *next) next = t.dueMs;
  return next;
}

std::size_t TimerQueue::Dispatch(std::uint64_t nowMs) {
  // Snapshot first: handlers may set, kill or destroy anything.
  std::vector<Timer> due;
  for (const Timer& t : m_timers)
    if (t.dueMs <= nowMs) due.push_back(t);
  std::stable_sort(due.begin(), due.end(),
                   [](const Timer& a, const Timer& b) { return a.dueMs < b.dueMs; });

  std::size_t fired = 0;
  for (const Timer& snap : due) {
    Timer* live = Find(snap.window, snap.id);
    if (!live || live->serial != snap.serial) continue;  // killed or restarted meanwhile
    // Next due time after now, on the timer's own phase; missed periods merge into this one.
    const std::uint64_t missed = (nowMs - live->dueMs) / live->periodMs;
    live->dueMs += (missed + 1) * live->periodMs;
    ++fired;
    snap.window->OnTimer(snap.id);
  }
  return fired;
}

}  // namespace plat
