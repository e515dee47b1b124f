#pragma once
// One item that arrived from the server side, waiting for the frame loop to deliver it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/frame/userdata.h"

namespace plat {

// Main commands the frame routes on.
constexpr std::uint16_t kMainCmdFrame = 1;    // frame-level messages, offered to OnFrameMessage
constexpr std::uint16_t kMainCmdGame = 100;   // the game's own messages, to OnGameMessage

struct ServerMessage {
  enum class Kind {
    Game,      // subCmd + bytes -> OnGameMessage
    Scene,     // status + lookOn + bytes -> OnGameScene
    Frame,     // subCmd + bytes -> OnFrameMessage
    UserData,  // user (or none when !hasUser) at chairId, lookOn: the local user record
    Status,    // text (GBK) on the frame's status line; persistent until replaced or cleared
    ClearStatus,
  };
  Kind kind = Kind::Game;
  std::uint16_t subCmd = 0;
  std::uint8_t status = 0;
  bool lookOn = false;
  std::vector<std::uint8_t> bytes;
  bool hasUser = false;
  tagUserData user;
  std::uint16_t chairId = 0;
  std::string text;
  bool persistent = false;
};

}  // namespace plat
