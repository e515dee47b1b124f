#include "platform/net/frameheader.h"

namespace plat::net {

namespace {
void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t GetU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
}  // namespace

void WriteFrameHeader(const FrameHeader& header, std::uint8_t* out) {
  PutU32(out, header.length);
  PutU16(out + 4, header.mainCmd);
  PutU16(out + 6, header.subCmd);
}

FrameHeader ReadFrameHeader(const std::uint8_t* in) {
  FrameHeader h;
  h.length = GetU32(in);
  h.mainCmd = GetU16(in + 4);
  h.subCmd = GetU16(in + 6);
  return h;
}

}  // namespace plat::net
