#include "testing/recordingtransport.h"

namespace plat {

bool RecordingTransport::Send(std::uint16_t mainCmd, std::uint16_t subCmd,
                              const std::uint8_t* data, std::size_t size) {
  if (m_refusing || (data == nullptr && size != 0)) return false;
  SentMessage msg;
  msg.mainCmd = mainCmd;
  msg.subCmd = subCmd;
  if (size != 0) msg.bytes.assign(data, data + size);
  m_sent.push_back(std::move(msg));
  return true;
}

}  // namespace plat
