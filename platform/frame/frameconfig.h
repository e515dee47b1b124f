#pragma once
// What the frame makes of the application's configuration answers.
#include <cstdint>

namespace plat {

// Bits of the frame's flag word, one per configuration query of the application.
constexpr std::uint32_t kFrameFlagRuleButton = 0x01;  // the frame's rule button and F1
constexpr std::uint32_t kFrameFlagChatView = 0x02;    // the chat panel from the dialog's factory
constexpr std::uint32_t kFrameFlagUserFaces = 0x04;   // GetFaceImg serves face pictures
constexpr std::uint32_t kFrameFlagStatusLine = 0x08;  // the frame's status line is drawn
constexpr std::uint32_t kFrameFlagLookOn = 0x10;      // scenes for look-on users are delivered
constexpr std::uint32_t kFrameFlagBankWindow = 0x20;  // the bank window (F2 shows and hides it)
constexpr std::uint32_t kAllFrameFlags = 0x3F;

constexpr std::uint32_t kDefaultFrameRate = 60;
constexpr std::uint32_t kMaxFrameRate = 240;
constexpr std::uint32_t kDefaultStatusTimeoutMs = 5000;
// Server messages handed to the game per step when the application leaves it to the frame: a
// flood then costs a bounded slice of each frame, and input, timers and drawing keep running.
constexpr std::uint32_t kDefaultMessagesPerStep = 64;

struct FrameConfig {
  std::uint32_t flags = kAllFrameFlags;
  std::uint32_t frameRate = kDefaultFrameRate;           // windowed pacing, frames per second
  std::uint32_t messagesPerStep = 0;  // server messages per step, 0 = kDefaultMessagesPerStep
  std::uint32_t statusTimeoutMs = kDefaultStatusTimeoutMs;  // how long a transient status shows

  bool Has(std::uint32_t flag) const { return (flags & flag) != 0; }
};

}  // namespace plat
