#include "platform/frame/userdata.h"

#include <cstring>

namespace plat {

namespace {

// Length of the longest prefix of at most `limit` bytes that ends on a character boundary.
std::size_t GbkPrefixLength(std::string_view s, std::size_t limit) {
  std::size_t pos = 0;
  while (pos < s.size()) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    const std::size_t len = (lead >= 0x81 && lead <= 0xFE && pos + 1 < s.size()) ? 2 : 1;
    if (pos + len > limit) break;
    pos += len;
  }
  return pos;
}

}  // namespace

tagUserData MakeUserData(std::uint32_t userId, std::string_view nickNameGbk, std::uint32_t coins,
                         std::uint32_t bankCoins) {
  tagUserData user;
  user.dwUserID = userId;
  const std::size_t len = GbkPrefixLength(nickNameGbk, kNickNameSize - 1);
  std::memcpy(user.szNickName, nickNameGbk.data(), len);
  user.szNickName[len] = '\0';
  user.dwCoins = coins;
  user.dwBankCoins = bankCoins;
  return user;
}

}  // namespace plat
