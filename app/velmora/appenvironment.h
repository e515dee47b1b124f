#pragma once
// Defaults the program takes from its surroundings.
#include <string>

namespace velapp {

// The login name when it is plain printable ASCII of 1 to 31 bytes, else "玩家" (UTF-8).
std::string DefaultNickname();
// ~/.local/share/velmora (XDG_DATA_HOME respected), created; empty when there is no home.
std::string DataDir();
// ~/.local/share/velmora/game.db (XDG_DATA_HOME respected), its folder created; ":memory:"
// when there is no home to keep it in.
std::string DefaultDatabasePath();
// ./assets when it holds the game's images, else the source tree's assets folder.
std::string FindAssetsDir();
// Whether a folder holds the game's images (checked by one file every screen needs).
bool LooksLikeAssetsDir(const std::string& dir);

}  // namespace velapp
