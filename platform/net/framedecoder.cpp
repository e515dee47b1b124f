#include "platform/net/framedecoder.h"

#include <cstring>

namespace plat::net {

FrameDecoder::FrameDecoder(std::size_t maxPayload) : maxPayload_(maxPayload) {}

void FrameDecoder::Feed(const void* data, std::size_t size) {
  if (malformed_ || size == 0 || data == nullptr) return;
  // Drop consumed bytes before growing, so the buffer never holds more than
  // one partial frame plus the new read.
  if (offset_ > 0) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(offset_));
    offset_ = 0;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  buffer_.insert(buffer_.end(), bytes, bytes + size);
}

FrameDecoder::Status FrameDecoder::Next(FrameView* out) {
  if (malformed_) return Status::Malformed;
  const std::size_t available = buffer_.size() - offset_;
  if (available < kFrameHeaderSize) return Status::NeedMore;
  const FrameHeader header = ReadFrameHeader(buffer_.data() + offset_);
  if (header.length > maxPayload_) {
    malformed_ = true;
    buffer_.clear();
    offset_ = 0;
    return Status::Malformed;
  }
  if (available - kFrameHeaderSize < header.length) return Status::NeedMore;
  if (out != nullptr) {
    out->header = header;
    out->payload = buffer_.data() + offset_ + kFrameHeaderSize;
    out->size = header.length;
  }
  offset_ += kFrameHeaderSize + header.length;
  return Status::Ready;
}

void FrameDecoder::Reset() {
  buffer_.clear();
  offset_ = 0;
  malformed_ = false;
}

}  // namespace plat::net
