#pragma once
// Frame encoding: header plus payload in one contiguous byte string.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/net/frameheader.h"

namespace plat::net {

// Appends one frame to out. False (out unchanged) when the payload is larger
// than kMaxFramePayload or data is null with a non-zero size.
bool AppendFrame(std::vector<std::uint8_t>& out, std::uint16_t mainCmd, std::uint16_t subCmd,
                 const void* data, std::size_t size);
bool AppendFrame(std::string& out, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
                 std::size_t size);

}  // namespace plat::net
