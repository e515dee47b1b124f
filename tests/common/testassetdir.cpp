#include "tests/common/testassetdir.h"

#include <cstdlib>
#include <system_error>

#include <SDL.h>
#include <SDL_image.h>

namespace testutil {

bool WriteSolidPng(const std::filesystem::path& file, int w, int h, std::uint32_t argb) {
  std::filesystem::create_directories(file.parent_path());
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (s == nullptr) return false;
  SDL_FillRect(s, nullptr, argb);
  const bool ok = IMG_SavePNG(s, file.string().c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

TestAssetDir::TestAssetDir(const std::string& prefix) : m_dir(prefix) {}

bool TestAssetDir::WriteImages(const TestImage* images, std::size_t count) const {
  if (Root().empty()) return false;
  bool ok = true;
  for (std::size_t i = 0; i < count; ++i) ok &= WriteSolidPng(Path(images[i].path), images[i].w, images[i].h, images[i].argb);
  return ok;
}

}  // namespace testutil
