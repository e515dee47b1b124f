#pragma once
// A transport that keeps every message it is given, for tests and headless runs.
#include <cstdint>
#include <vector>

#include "platform/frame/transport.h"

namespace plat {

struct SentMessage {
  std::uint16_t mainCmd = 0;
  std::uint16_t subCmd = 0;
  std::vector<std::uint8_t> bytes;
};

class RecordingTransport : public ITransport {
 public:
  bool Send(std::uint16_t mainCmd, std::uint16_t subCmd, const std::uint8_t* data,
            std::size_t size) override;

  const std::vector<SentMessage>& Sent() const { return m_sent; }
  void Clear() { m_sent.clear(); }
  // While refusing, Send records nothing and answers false (a lost connection).
  void SetRefusing(bool refusing) { m_refusing = refusing; }

 private:
  std::vector<SentMessage> m_sent;
  bool m_refusing = false;
};

}  // namespace plat
