#pragma once
// Frame-level messages: everything on the wire that is not a game record.
// Game messages travel under kMainGame with the sub-commands and records of
// client/core/cmd_velmora.h.
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace plat::net {

// Main commands.
constexpr std::uint16_t kMainHeartbeat = 0;  // either side, any sub, payload ignored
constexpr std::uint16_t kMainLogin = 1;      // login and the user record
constexpr std::uint16_t kMainScene = 2;      // S->C, sub = scene status, payload = goods list
constexpr std::uint16_t kMainGame = 100;     // game messages and requests

// Sub-commands of kMainHeartbeat. Any other sub is a plain keep-alive.
constexpr std::uint16_t kSubPing = 1;  // C->S, payload of up to kMaxPingPayload bytes
constexpr std::uint16_t kSubPong = 2;  // S->C, the ping's payload echoed
constexpr std::size_t kMaxPingPayload = 64;

// Sub-commands of kMainLogin.
constexpr std::uint16_t kSubLoginRequest = 1;  // C->S NetLoginRequest
constexpr std::uint16_t kSubUserRecord = 2;    // S->C NetUserRecord, at login and on every balance change
constexpr std::uint16_t kSubLoginRefused = 3;  // S->C NetLoginRefused, then the server closes
constexpr std::uint16_t kSubNotice = 4;        // S->C NetNotice: a word for this player (shown on the status line)

// 2: the login carries a password. A version 1 login is answered with a refusal that asks
// the player to update the game.
constexpr std::uint32_t kProtocolVersion = 2;
constexpr std::uint32_t kProtocolVersionNoPassword = 1;
constexpr std::size_t kNetNicknameLen = 32;
constexpr std::size_t kNetReasonLen = 64;
constexpr std::size_t kNetPasswordLen = 128;
constexpr std::size_t kNetNoticeLen = 128;

// Texts are GBK, zero-terminated inside the field unless they fill it.
struct NetLoginRequest {
  char nickname[kNetNicknameLen];
  std::uint32_t protocolVersion;
  char password[kNetPasswordLen];  // UTF-8 as typed, zero-padded; 1 to 128 bytes
};

// The login of version 1 clients: a nickname alone.
struct NetLoginRequestV1 {
  char nickname[kNetNicknameLen];
  std::uint32_t protocolVersion;
};

struct NetUserRecord {
  std::uint32_t userId;
  char nickname[kNetNicknameLen];
  std::uint32_t coins;
  std::uint32_t bankCoins;
};

struct NetLoginRefused {
  char reason[kNetReasonLen];
};

static_assert(sizeof(NetLoginRequest) == 164 && std::is_trivially_copyable_v<NetLoginRequest>);
static_assert(sizeof(NetLoginRequestV1) == 36 && std::is_trivially_copyable_v<NetLoginRequestV1>);
struct NetNotice {
  char text[kNetNoticeLen];
};

static_assert(sizeof(NetNotice) == 128 && std::is_trivially_copyable_v<NetNotice>);
static_assert(sizeof(NetUserRecord) == 44 && std::is_trivially_copyable_v<NetUserRecord>);
static_assert(sizeof(NetLoginRefused) == 64 && std::is_trivially_copyable_v<NetLoginRefused>);

}  // namespace plat::net
