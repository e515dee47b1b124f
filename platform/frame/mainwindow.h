#pragma once
// The application's main window: the game dialog seen as a message target. Sent messages are
// handled before SendMessage returns; posted ones wait in a FIFO queue that the frame loop
// drains once per step, after input, server messages and timers. UI thread only.
#include <cstdint>
#include <deque>

#include "platform/frame/wintypes.h"

namespace plat {

class MainWindow {
 public:
  // Beyond this many waiting messages PostMessage refuses (a runaway poster must not eat memory).
  static constexpr std::size_t kMaxPosted = 10000;

  static MainWindow& Instance();

  // Handled now by the running dialog's WindowProc; 0 when there is no live dialog.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Queued for the next DispatchPosted; false when the queue is full.
  bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // Handles, oldest first, the messages that were waiting when it was called; messages posted
  // by those handlers wait for the next call. Nested calls do nothing. Returns how many ran.
  std::size_t DispatchPosted();
  std::size_t PendingCount() const { return m_queue.size(); }
  void ClearPosted() { m_queue.clear(); }
  // Messages that found no live dialog or no room in the queue.
  std::uint64_t DroppedCount() const { return m_dropped; }

 private:
  struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  MainWindow() = default;

  std::deque<Posted> m_queue;
  std::uint64_t m_dropped = 0;
  bool m_dispatching = false;
};

}  // namespace plat

// Never null: the process has one main window, whether or not a dialog is running.
plat::MainWindow* AfxGetMainWnd();
