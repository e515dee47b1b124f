#pragma once
// Reads structured choices out of a fuzzer's byte string. Running out of
// bytes is not an error: every read then yields zeros or an empty range, so
// any input, even an empty one, is a valid program for a target.
#include <cstddef>
#include <cstdint>

namespace velfuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return pos_ >= size_; }
  std::size_t Remaining() const { return size_ - pos_; }

  std::uint8_t Byte();
  std::uint16_t U16();  // little-endian
  std::uint32_t U32();
  // Up to count bytes; *taken says how many there were.
  const std::uint8_t* Bytes(std::size_t count, std::size_t* taken);
  const std::uint8_t* Rest(std::size_t* taken) { return Bytes(Remaining(), taken); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace velfuzz
