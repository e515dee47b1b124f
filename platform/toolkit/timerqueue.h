#pragma once
// Window timers (SetTimer / KillTimer of OrvHgeWindow), fired from the frame loop.
//
// Callers may rely on:
//  - a timer repeats every period until killed; setting an id that is already set restarts
//    it with the new period (like a window timer);
//  - Dispatch(now) fires every timer due at `now`, earliest due first (ties in the order the
//    timers were set), each at most once per call: periods missed while the loop stalled are
//    merged into one firing and the timer keeps its phase;
//  - a timer set during Dispatch is not fired by that same call; a timer killed during
//    Dispatch (also by a destroyed window) is not fired any more;
//  - periods below kMinPeriodMs are raised to it, so a 0 ms timer cannot flood the loop.
// One per plat::Runtime. Single UI thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class OrvHgeWindow;

namespace plat {

class TimerQueue {
 public:
  static constexpr unsigned kMinPeriodMs = 10;

  void Set(OrvHgeWindow* window, unsigned id, unsigned periodMs, std::uint64_t nowMs);
  void Kill(OrvHgeWindow* window, unsigned id);
  void KillAll(OrvHgeWindow* window);
  bool IsSet(const OrvHgeWindow* window, unsigned id) const;
  std::size_t Count() const { return m_timers.size(); }
  // Earliest due time of all timers; empty when none is set.
  std::optional<std::uint64_t> NextDueMs() const;

  // Fires the due timers through OrvHgeWindow::OnTimer; returns how many fired.
  std::size_t Dispatch(std::uint64_t nowMs);

 private:
  struct Timer {
    OrvHgeWindow* window;
    unsigned id;
    std::uint64_t periodMs;
    std::uint64_t dueMs;
    std::uint64_t serial;  // changes on every Set, so a restarted timer is told apart
  };

  Timer* Find(const OrvHgeWindow* window, unsigned id);
  const Timer* Find(const OrvHgeWindow* window, unsigned id) const;

  std::vector<Timer> m_timers;
  std::uint64_t m_nextSerial = 1;
};

}  // namespace plat
