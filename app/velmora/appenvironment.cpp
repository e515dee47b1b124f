#include "app/velmora/appenvironment.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "server/datafolders.h"

namespace velapp {

namespace {

const char* const kFallbackNickname = "玩家";
const char* const kProbeFile = "Velmora/Image/Bg.jpg";

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::string(v) : std::string();
}

}  // namespace

std::string DefaultNickname() {
  const std::string user = Env("USER");
  if (user.empty() || user.size() > 31) return kFallbackNickname;
  for (unsigned char c : user)
    if (c <= 0x20 || c >= 0x7F) return kFallbackNickname;
  return user;
}

std::string DataDir() {
  const std::string dir = velsrv::UserDataFolder("velmora");
  if (dir.empty() || !velsrv::MakeDataFolder(dir, nullptr)) return std::string();
  return dir;
}

std::string DefaultDatabasePath() {
  const std::string dir = DataDir();
  return dir.empty() ? ":memory:" : (std::filesystem::path(dir) / "game.db").string();
}

bool LooksLikeAssetsDir(const std::string& dir) {
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(dir) / kProbeFile, ec);
}

std::string FindAssetsDir() {
  const std::vector<std::string> dirs = velsrv::AssetFolderCandidates();
  for (const std::string& dir : dirs)
    if (LooksLikeAssetsDir(dir)) return dir;
  return dirs.back();
}

std::string DescribeDefaults() {
  const std::string data = velsrv::UserDataFolder("velmora");
  return "This copy reads its images from " + FindAssetsDir() +
         "; the built-in server keeps its database in " +
         (data.empty() ? std::string("memory only (no HOME)") : data + "/game.db") + ".\n";
}

DisplayAccess CheckDisplayAccess() {
  if (!Env("SDL_VIDEODRIVER").empty()) return DisplayAccess::Any;
  // libwayland needs an absolute XDG_RUNTIME_DIR unless it is handed a socket or a full path.
  const bool waylandReachable = Env("XDG_RUNTIME_DIR").rfind('/', 0) == 0 ||
                                Env("WAYLAND_DISPLAY").rfind('/', 0) == 0 ||
                                !Env("WAYLAND_SOCKET").empty();
  if (waylandReachable) return DisplayAccess::Any;
  return Env("DISPLAY").empty() ? DisplayAccess::None : DisplayAccess::X11Only;
}

}  // namespace velapp
