#include "tests/platform/transport/transportwatch.h"

#include "platform/text/textconv.h"

namespace veltest {

using plat::ServerMessage;
using SteadyTime = std::chrono::steady_clock;

bool Inbox::Gather(SteadyTime::time_point deadline, bool wait) {
  if (wait) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyTime::now());
    if (left.count() <= 0 || !m_queue.WaitNotEmpty(left)) return false;
  }
  for (auto& m : m_queue.Take(0)) all.push_back(std::move(m));
  return true;
}

int Inbox::WaitFor(const std::function<bool(const ServerMessage&)>& match, std::size_t from) {
  const auto deadline = SteadyTime::now() + kThreadWait;
  for (bool wait = false;; wait = true) {
    if (!Gather(deadline, wait)) return -1;
    for (std::size_t i = from; i < all.size(); ++i)
      if (match(all[i])) return static_cast<int>(i);
    from = std::max(from, all.size());
  }
}

int Inbox::WaitKind(ServerMessage::Kind kind, std::size_t from) {
  return WaitFor([kind](const ServerMessage& m) { return m.kind == kind; }, from);
}

int Inbox::WaitStatus(const std::string& utf8Part, std::size_t from) {
  return WaitFor(
      [&](const ServerMessage& m) {
        return m.kind == ServerMessage::Kind::Status && plat::GbkToUtf8(m.text).find(utf8Part) != std::string::npos;
      },
      from);
}

bool Inbox::WaitState(const plat::TcpTransport& transport, plat::TcpTransport::State state) {
  const auto deadline = SteadyTime::now() + kThreadWait;
  // The state changes before its message is pushed, so a look after each take cannot miss it.
  for (bool wait = false;; wait = true) {
    if (!Gather(deadline, wait)) return transport.GetState() == state;
    if (transport.GetState() == state) return true;
  }
}

std::vector<ServerMessage> Inbox::OfKind(ServerMessage::Kind kind) const {
  std::vector<ServerMessage> out;
  for (const auto& m : all)
    if (m.kind == kind) out.push_back(m);
  return out;
}

bool AwaitPause(plat::FakeClock& clock, std::uint64_t delayMs) {
  const std::uint64_t end = clock.NowMs() + delayMs;
  return clock.AwaitWait(0, [end](std::uint64_t due) { return due == end; }, kThreadWait);
}

bool EndPause(plat::FakeClock& clock, std::uint64_t delayMs) {
  if (!AwaitPause(clock, delayMs)) return false;
  clock.Advance(delayMs);
  return true;
}

bool AdvanceAndSettle(plat::FakeClock& clock, std::uint64_t ms) {
  const std::size_t mark = clock.Advance(ms);
  const std::uint64_t now = clock.NowMs();
  return clock.AwaitWait(mark, [now](std::uint64_t due) { return due > now; }, kThreadWait);
}

}  // namespace veltest
