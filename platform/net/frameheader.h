#pragma once
// Wire framing shared by the game server and the client's transport.
// Every frame is an 8-byte little-endian header followed by its payload:
//   uint32 payload length, uint16 main command, uint16 sub-command.
#include <cstddef>
#include <cstdint>

namespace plat::net {

constexpr std::size_t kFrameHeaderSize = 8;
// The client's message hooks take 16-bit sizes, so nothing larger is ever valid.
constexpr std::size_t kMaxFramePayload = 65535;

struct FrameHeader {
  std::uint32_t length = 0;
  std::uint16_t mainCmd = 0;
  std::uint16_t subCmd = 0;
};

// Writes the header into exactly kFrameHeaderSize bytes at out.
void WriteFrameHeader(const FrameHeader& header, std::uint8_t* out);
// Reads a header from exactly kFrameHeaderSize bytes at in (no validation).
FrameHeader ReadFrameHeader(const std::uint8_t* in);

}  // namespace plat::net
