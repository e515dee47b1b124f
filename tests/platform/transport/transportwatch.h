#pragma once
// Waiting for the transport's thread without sleeping: on the messages it hands the frame, and on
// the fake clock for the pauses it begins. Real-time limits are only for a failing test.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/frame/servermessagequeue.h"
#include "platform/transport/tcptransport.h"
#include "testing/fakeclock.h"

namespace veltest {

constexpr std::chrono::milliseconds kThreadWait{10000};

// Everything the transport put into the frame's queue, in order.
class Inbox {
 public:
  explicit Inbox(plat::ServerMessageQueue& queue) : m_queue(queue) {}

  // The index of the first message from `from` on that matches, waiting for more; -1 when none
  // came in time.
  int WaitFor(const std::function<bool(const plat::ServerMessage&)>& match, std::size_t from = 0);
  int WaitKind(plat::ServerMessage::Kind kind, std::size_t from = 0);
  // A status text (GBK on the wire) containing `utf8Part`.
  int WaitStatus(const std::string& utf8Part, std::size_t from = 0);
  // Waits for the transport to be in `state`. Every state a test waits for (online, refused)
  // comes with a message, so the waiting wakes on the queue.
  bool WaitState(const plat::TcpTransport& transport, plat::TcpTransport::State state);
  std::vector<plat::ServerMessage> OfKind(plat::ServerMessage::Kind kind) const;

  std::vector<plat::ServerMessage> all;

 private:
  // Takes what waits; false when nothing came before `deadline`.
  bool Gather(std::chrono::steady_clock::time_point deadline, bool wait);

  plat::ServerMessageQueue& m_queue;
};

// Waits until a thread on `clock` pauses for `delayMs` from the present; false when none did.
bool AwaitPause(plat::FakeClock& clock, std::uint64_t delayMs);
// The same, then moves the clock to the pause's end (unmoved when no such pause began).
bool EndPause(plat::FakeClock& clock, std::uint64_t delayMs);

// Moves `clock` by `ms`, then waits until a thread on it has caught up and waits again, for a
// deadline past the new time. False when none did.
bool AdvanceAndSettle(plat::FakeClock& clock, std::uint64_t ms);

}  // namespace veltest
