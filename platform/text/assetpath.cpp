#include "platform/text/assetpath.h"

#include <algorithm>

namespace plat {
namespace {

constexpr const char* kDefaultRoot = ".";

std::string& Root() {
  static std::string root = kDefaultRoot;
  return root;
}

}  // namespace

std::string AssetPath(const std::string& rel) {
  std::string path = rel;
  std::replace(path.begin(), path.end(), '\\', '/');
  if (!path.empty() && path.front() == '/') return path;
  if (path.empty()) return Root();
  return Root() + '/' + path;
}

void SetAssetRoot(std::string dir) {
  std::replace(dir.begin(), dir.end(), '\\', '/');
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  Root() = dir.empty() ? std::string(kDefaultRoot) : std::move(dir);
}

const std::string& AssetRoot() { return Root(); }

}  // namespace plat
