#pragma once
// Encoded frames waiting to be written to the socket, oldest first. The head frame may be
// partly written. Bounded, so a stalled connection cannot eat memory.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace plat {

class OutboundQueue {
 public:
  explicit OutboundQueue(std::size_t maxBytes) : m_maxBytes(maxBytes) {}

  // False (nothing queued) when the frame cannot be encoded or would pass the byte limit.
  bool Push(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size);
  bool Empty() const { return m_frames.empty(); }
  std::size_t QueuedBytes() const { return m_bytes; }
  // The unwritten bytes of the oldest frame (empty queue: null, 0).
  const std::uint8_t* HeadData() const;
  std::size_t HeadSize() const;
  // `n` bytes of the head frame reached the socket.
  void Consume(std::size_t n);
  // Drops everything; answers how many frames of `mainCmd` had not been written completely.
  std::size_t Clear(std::uint16_t mainCmd);

 private:
  struct Frame {
    std::uint16_t mainCmd;
    std::vector<std::uint8_t> bytes;
  };
  std::size_t m_maxBytes;
  std::deque<Frame> m_frames;
  std::size_t m_headOffset = 0;
  std::size_t m_bytes = 0;
};

}  // namespace plat
