#pragma once
// The form of a nickname that decides whether two names are the same player: names that read
// alike in the game ("bob", "Bob", " bob", full-width "ｂｏｂ") must not be separate accounts.
// The name shown stays the exact bytes the player chose; only uniqueness uses this form.
#include <optional>
#include <string>
#include <string_view>

namespace velsrv {

// UTF-8 normal form of a GBK nickname: surrounding ASCII and ideographic spaces trimmed,
// full-width ASCII (U+FF01..U+FF5E) folded to half-width, ASCII letters lower-cased. nullopt
// when the name is not valid GBK or nothing is left after trimming.
std::optional<std::string> NicknameKey(std::string_view nicknameGbk);

}  // namespace velsrv
