#pragma once
// Messages from the server side waiting for the UI thread. The network transport pushes from its
// own thread; only the frame loop takes, on the UI thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/frame/servermessage.h"

namespace plat {

class ServerMessageQueue {
 public:
  // Largest body the hooks can be given (their size argument is 16 bits).
  static constexpr std::size_t kMaxBodySize = 0xFFFF;

  // Answers false (and counts the message as dropped) when its body is too large to deliver.
  bool Push(ServerMessage msg);
  // Oldest first; at most `limit` messages, or all when `limit` is 0.
  std::vector<ServerMessage> Take(std::size_t limit);
  // Blocks until a message is waiting or `limit` of real time has passed; true when one is. For
  // a reader on a thread of its own (the frame loop never blocks on the server).
  bool WaitNotEmpty(std::chrono::microseconds limit);
  std::size_t Size() const;
  // Memory the waiting messages hold (bodies, texts and the records themselves); the transport
  // stops reading while this is at its limit.
  std::size_t Bytes() const;
  std::uint64_t DroppedCount() const;
  void Clear();

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_pushed;
  std::deque<ServerMessage> m_items;
  std::uint64_t m_dropped = 0;
  std::size_t m_bytes = 0;
};

}  // namespace plat
