#include "client/views/goodsimage.h"

#include <map>
#include <memory>
#include <string>

#include "platform/text/assetpath.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/runtime.h"

namespace {

struct Picture {
  std::unique_ptr<OrvHgeImage> image;
  std::uint64_t lastUse = 0;
};

struct PictureCache {
  std::map<std::uint32_t, Picture> byId;
  std::uint64_t uses = 0;
};

PictureCache& Cache() {
  static PictureCache cache;
  return cache;
}

// Frees room for one more picture; a scan of at most kMaxGoodsPictures entries, only when a
// new id is loaded.
void PushOutLeastRecent(PictureCache& cache) {
  auto oldest = cache.byId.begin();
  for (auto it = cache.byId.begin(); it != cache.byId.end(); ++it)
    if (it->second.lastUse < oldest->second.lastUse) oldest = it;
  const std::string path = plat::AssetPath(oldest->second.image->Path());
  cache.byId.erase(oldest);
  if (plat::Runtime* rt = plat::Runtime::Current()) rt->Textures().DropUnused(path);
}

}  // namespace

bool IsSafePictureName(std::string_view fileName) {
  if (fileName.empty()) return false;
  // Byte scan on purpose: a GBK trail byte 0x5C would still turn into '/' in the asset path.
  if (fileName.find_first_of("/\\") != std::string_view::npos) return false;
  if (fileName.find("..") != std::string_view::npos) return false;
  return fileName.find('\0') == std::string_view::npos;
}

OrvHgeImage* GetGoodsImage(std::uint32_t goodsId, std::string_view fileName) {
  PictureCache& cache = Cache();
  // An id that already has its picture keeps it.
  if (auto it = cache.byId.find(goodsId); it != cache.byId.end()) {
    it->second.lastUse = ++cache.uses;
    return it->second.image.get();
  }
  // A refused name opens nothing.
  if (!IsSafePictureName(fileName)) return nullptr;
  std::string path(kGoodsPictureDir);
  path.append(fileName.data(), fileName.size());
  if (path.size() > kGoodsPicturePathMax) path.resize(kGoodsPicturePathMax);
  auto image = std::make_unique<OrvHgeImage>(path.c_str(), true);
  // An image object that loaded nothing is 0 x 0: no entry, so it is retried.
  if (!image->IsValid()) return nullptr;
  if (cache.byId.size() >= kMaxGoodsPictures) PushOutLeastRecent(cache);
  Picture& entry = cache.byId[goodsId];
  entry.image = std::move(image);
  entry.lastUse = ++cache.uses;
  return entry.image.get();
}

std::size_t GoodsImageCount() { return Cache().byId.size(); }

bool HasGoodsImage(std::uint32_t goodsId) { return Cache().byId.count(goodsId) != 0; }
