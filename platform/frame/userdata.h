#pragma once
// The local player's account record as the frame hands it to the game.
#include <cstdint>
#include <string_view>

constexpr std::size_t kNickNameSize = 32;

struct tagUserData {
  std::uint32_t dwUserID = 0;
  char szNickName[kNickNameSize] = {};  // GBK, always NUL-terminated inside the array
  std::uint32_t dwCoins = 0;            // gold coins at hand (what purchases are paid from)
  std::uint32_t dwBankCoins = 0;        // coins kept in the frame's bank (shown, never spent)
};

namespace plat {

// Builds a record; a nickname longer than 31 bytes is cut before the character that does not
// fit, so a double-byte GBK character is never split.
tagUserData MakeUserData(std::uint32_t userId, std::string_view nickNameGbk, std::uint32_t coins,
                         std::uint32_t bankCoins);

}  // namespace plat
