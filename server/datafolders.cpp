#include "server/datafolders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace velsrv {

namespace fs = std::filesystem;

namespace {

const char* const kGoodsFile = "server/goods.xml";

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr ? std::string(v) : std::string();
}

bool IsFolder(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

}  // namespace

std::string UserDataFolder(const std::string& name) {
  fs::path base;
  if (const std::string xdg = Env("XDG_DATA_HOME"); !xdg.empty() && xdg[0] == '/') {
    base = xdg;
  } else if (const std::string home = Env("HOME"); !home.empty() && home[0] == '/') {
    base = fs::path(home) / ".local" / "share";
  } else {
    return std::string();
  }
  return (base / name).string();
}

bool MakeDataFolder(const std::string& dir, std::string* error) {
  const fs::path path(dir);
  if (IsFolder(path)) return true;
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  if (ec) {
    if (error) *error = "cannot create " + path.parent_path().string() + ": " + ec.message();
    return false;
  }
  if (::mkdir(path.c_str(), 0700) != 0 && !(errno == EEXIST && IsFolder(path))) {
    if (error) *error = "cannot create " + dir + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

std::string InstalledDataFolderFor(const std::string& programPath) {
  if (programPath.empty()) return std::string();
  const fs::path dir = fs::path(programPath).parent_path() / VELMORA_INSTALL_DATA_FROM_BIN;
  if (!IsFolder(dir)) return std::string();
  return dir.lexically_normal().string();
}

std::string InstalledDataFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return std::string();
  return InstalledDataFolderFor(self.string());
}

std::vector<std::string> AssetFolderCandidates() {
  std::vector<std::string> dirs;
  if (std::string installed = InstalledDataFolder(); !installed.empty())
    dirs.push_back(std::move(installed));
#ifdef VELMORA_SOURCE_ASSET_DIR
  dirs.push_back(VELMORA_SOURCE_ASSET_DIR);
#endif
  dirs.push_back("assets");
  return dirs;
}

std::string DefaultGoodsFile() {
  const std::vector<std::string> dirs = AssetFolderCandidates();
  for (const std::string& dir : dirs) {
    const fs::path file = fs::path(dir) / kGoodsFile;
    std::error_code ec;
    if (fs::is_regular_file(file, ec)) return file.string();
  }
  return (fs::path(dirs.back()) / kGoodsFile).string();
}

std::string DefaultServerDatabasePath() {
  const std::string dir = UserDataFolder("velmora-server");
  if (dir.empty()) return std::string();
  return (fs::path(dir) / "velmora-server.db").string();
}

}  // namespace velsrv
