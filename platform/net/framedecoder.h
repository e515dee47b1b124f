#pragma once
// Incremental frame decoder: feed it whatever a read returned, take complete
// frames out. A header announcing more than the maximum payload makes the
// stream malformed for good; the owner must drop the connection.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/net/frameheader.h"

namespace plat::net {

// A decoded frame. The payload points into the decoder's buffer and stays
// valid until the next Feed or Reset.
struct FrameView {
  FrameHeader header;
  const std::uint8_t* payload = nullptr;
  std::size_t size = 0;
};

class FrameDecoder {
 public:
  enum class Status { NeedMore, Ready, Malformed };

  explicit FrameDecoder(std::size_t maxPayload = kMaxFramePayload);

  // Appends received bytes; ignored once the stream is malformed.
  void Feed(const void* data, std::size_t size);
  // Takes the next complete frame out (Ready), or tells why not.
  Status Next(FrameView* out);

  bool IsMalformed() const { return malformed_; }
  // Bytes received but not yet returned as frames.
  std::size_t Buffered() const { return buffer_.size() - offset_; }
  void Reset();

 private:
  std::size_t maxPayload_;
  std::vector<std::uint8_t> buffer_;
  std::size_t offset_ = 0;  // start of the first unread byte
  bool malformed_ = false;
};

}  // namespace plat::net
