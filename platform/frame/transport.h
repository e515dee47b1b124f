#pragma once
// Where the dialog's requests to the game server go. The network transport implements it; tests
// use RecordingTransport.
#include <cstddef>
#include <cstdint>

namespace plat {

class ITransport {
 public:
  virtual ~ITransport() = default;
  // Queues one message for the server. `data` may be null only when `size` is 0. Answers false
  // when the message cannot be sent (not connected, closed, refused).
  virtual bool Send(std::uint16_t mainCmd, std::uint16_t subCmd, const std::uint8_t* data,
                    std::size_t size) = 0;
  // Whether requests can reach the server now (logged in and online).
  virtual bool IsConnected() const { return true; }
};

}  // namespace plat
