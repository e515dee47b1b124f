#pragma once
// Where the programs keep their files: the user's data folder (XDG base directories) and the
// shared files of an installed copy.
#include <string>
#include <vector>

namespace velsrv {

// $XDG_DATA_HOME/<name>, else $HOME/.local/share/<name>; empty when neither gives an absolute
// folder (a relative XDG_DATA_HOME is ignored, as the XDG rules say). Nothing is created.
std::string UserDataFolder(const std::string& name);

// Creates dir with its parents. Folders made here are private to the user (0700): they hold
// players' records and the server's keys. False with a reason when dir is not a usable folder.
bool MakeDataFolder(const std::string& dir, std::string* error);

// The shared files of a copy installed as <prefix>/<bin>/<program>: <prefix>/<data>/velmora,
// found from the program's own location, so any prefix works. Empty when that folder is missing
// (a program run from its build folder).
std::string InstalledDataFolder();
std::string InstalledDataFolderFor(const std::string& programPath);

// Where to look for the game's assets, best first: the installed copy's shared files, the
// source tree's assets (a program run from its build folder), "assets" under the working folder.
std::vector<std::string> AssetFolderCandidates();

// The server's goods file when none is given: server/goods.xml in the first candidate folder
// that has one, else in the last candidate.
std::string DefaultGoodsFile();

// The standalone server's database when none is given: velmora-server.db in the user's data
// folder "velmora-server"; empty when the user has no data folder.
std::string DefaultServerDatabasePath();

}  // namespace velsrv
