#pragma once
// Back-pressure for messages waiting for the UI thread. The reading thread asks before every
// read whether the queue has room; while it is full the thread stops reading, so the socket's
// buffers fill and TCP slows the sender down. A peer that keeps the queue at its limit for
// `floodMs` (the queue reaching the limit again and again, without a quiet second between) is
// taken for a flood. Times are passed in, so the policy is tested without a clock.
#include <cstddef>
#include <cstdint>

namespace plat {

class InboundGate {
 public:
  // The queue is full when its bytes reach capacityBytes.
  InboundGate(std::size_t capacityBytes, std::uint32_t floodMs);

  // True when the reader may take more from the socket.
  bool MayRead(std::size_t queuedBytes, std::uint64_t nowMs);
  // True once the queue has been held at its limit for floodMs.
  bool Flooded(std::uint64_t nowMs) const;
  // A new connection starts with a clean record.
  void Reset();


 private:
  // A full queue this long ago or longer no longer counts towards a flood.
  static constexpr std::uint64_t kQuietMs = 1000;

  std::size_t m_capacity;
  std::uint32_t m_floodMs;
  std::uint64_t m_fullSince = 0;  // 0: not full lately
  std::uint64_t m_lastFull = 0;
};

}  // namespace plat
