#include "platform/net/frameencoder.h"

#include <cstring>

namespace plat::net {

namespace {
template <typename Buffer>
bool AppendTo(Buffer& out, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
              std::size_t size) {
  if (size > kMaxFramePayload || (data == nullptr && size != 0)) return false;
  FrameHeader header;
  header.length = static_cast<std::uint32_t>(size);
  header.mainCmd = mainCmd;
  header.subCmd = subCmd;
  const std::size_t start = out.size();
  out.resize(start + kFrameHeaderSize + size);
  auto* base = reinterpret_cast<std::uint8_t*>(&out[0]) + start;
  WriteFrameHeader(header, base);
  if (size != 0) std::memcpy(base + kFrameHeaderSize, data, size);
  return true;
}
}  // namespace

bool AppendFrame(std::vector<std::uint8_t>& out, std::uint16_t mainCmd, std::uint16_t subCmd,
                 const void* data, std::size_t size) {
  return AppendTo(out, mainCmd, subCmd, data, size);
}

bool AppendFrame(std::string& out, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
                 std::size_t size) {
  return AppendTo(out, mainCmd, subCmd, data, size);
}

}  // namespace plat::net
