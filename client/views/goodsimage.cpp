#include "client/views/goodsimage.h"

#include <map>
#include <memory>
#include <string>

#include "platform/toolkit/orvhgeimage.h"

namespace {

using PictureCache = std::map<std::uint32_t, std::unique_ptr<OrvHgeImage>>;

PictureCache& Cache() {
  static PictureCache cache;
  return cache;
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
  std::unique_ptr<OrvHgeImage>& entry = Cache()[goodsId];
  // A refused name opens nothing; an id that already has its picture keeps it.
  if (!entry && IsSafePictureName(fileName)) {
    std::string path(kGoodsPictureDir);
    path.append(fileName.data(), fileName.size());
    if (path.size() > kGoodsPicturePathMax) path.resize(kGoodsPicturePathMax);
    auto picture = std::make_unique<OrvHgeImage>(path.c_str(), true);
    // An image object that loaded nothing is 0 x 0: keep the entry empty so it is retried.
    if (picture->IsValid()) entry = std::move(picture);
  }
  return entry.get();
}

std::size_t GoodsImageCount() {
  std::size_t count = 0;
  for (const auto& entry : Cache()) {
    if (entry.second) ++count;
  }
  return count;
}
