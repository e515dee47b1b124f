#include "fuzz/fuzzinput.h"

namespace velfuzz {

std::uint8_t FuzzInput::Byte() { return Empty() ? 0 : data_[pos_++]; }

std::uint16_t FuzzInput::U16() {
  const std::uint16_t lo = Byte();
  return static_cast<std::uint16_t>(lo | (Byte() << 8));
}

std::uint32_t FuzzInput::U32() {
  const std::uint32_t lo = U16();
  return lo | (static_cast<std::uint32_t>(U16()) << 16);
}

const std::uint8_t* FuzzInput::Bytes(std::size_t count, std::size_t* taken) {
  const std::size_t n = count < Remaining() ? count : Remaining();
  const std::uint8_t* start = data_ + pos_;
  pos_ += n;
  *taken = n;
  return start;
}

}  // namespace velfuzz
