#include "app/velmora/appenvironment.h"

#include <cstdlib>
#include <filesystem>

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
  std::filesystem::path base;
  if (const std::string xdg = Env("XDG_DATA_HOME"); !xdg.empty()) {
    base = xdg;
  } else if (const std::string home = Env("HOME"); !home.empty()) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    return std::string();
  }
  const std::filesystem::path dir = base / "velmora";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return ec ? std::string() : dir.string();
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
  if (LooksLikeAssetsDir("assets")) return "assets";
#ifdef VELMORA_SOURCE_ASSET_DIR
  if (LooksLikeAssetsDir(VELMORA_SOURCE_ASSET_DIR)) return VELMORA_SOURCE_ASSET_DIR;
#endif
  return "assets";
}

}  // namespace velapp
