#pragma once
// Defaults the program takes from its surroundings.
#include <string>

namespace velapp {

// The login name when it is plain printable ASCII of 1 to 31 bytes, else "玩家" (UTF-8).
std::string DefaultNickname();
// ~/.local/share/velmora (XDG_DATA_HOME respected), created private to the user; empty when
// there is no home or the folder cannot be made.
std::string DataDir();
// ~/.local/share/velmora/game.db (XDG_DATA_HOME respected), its folder created; ":memory:"
// when there is no home to keep it in or the folder cannot be made.
std::string DefaultDatabasePath();
// The installed copy's shared files, else the source tree's assets (a program run from its
// build folder), else ./assets: the first that holds the game's images.
std::string FindAssetsDir();
// Where this copy takes its files from when not told, for --help: no folder is created.
std::string DescribeDefaults();
// Whether a folder holds the game's images (checked by one file every screen needs).
bool LooksLikeAssetsDir(const std::string& dir);

// What the environment offers for a window, judged before SDL looks (SDL's own probing prints
// library noise when Wayland cannot work, ahead of the program's explanation).
enum class DisplayAccess {
  None,     // no X display and no way to reach Wayland: a window cannot open
  X11Only,  // an X display, but Wayland cannot work (no XDG_RUNTIME_DIR): do not probe it
  Any,      // let SDL choose (also whenever SDL_VIDEODRIVER names a driver)
};
DisplayAccess CheckDisplayAccess();

}  // namespace velapp
