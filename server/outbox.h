#pragma once
// Where the game sends its messages. The TCP server delivers them to the
// connected players; users who are not connected (simulated players,
// players gone) receive nothing.
#include <cstddef>
#include <cstdint>

namespace velsrv {

class Outbox {
 public:
  virtual ~Outbox() = default;
  virtual void SendTo(std::uint32_t userId, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
                      std::size_t size) = 0;
  // To every player who has entered the game.
  virtual void Broadcast(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) = 0;
};

}  // namespace velsrv
