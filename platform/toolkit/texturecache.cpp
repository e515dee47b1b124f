#include "platform/toolkit/texturecache.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <vector>

namespace plat {

std::unique_ptr<TextureEntry> DecodeImageFile(const std::string& filePath) {
  SDL_Surface* loaded = IMG_Load(filePath.c_str());
  if (!loaded) return nullptr;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!argb) return nullptr;
  std::unique_ptr<TextureEntry> entry;
  if (argb->w > 0 && argb->h > 0 && SDL_LockSurface(argb) == 0) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(argb->w) * argb->h);
    for (int y = 0; y < argb->h; ++y)
      std::memcpy(pixels.data() + static_cast<std::size_t>(y) * argb->w,
                  static_cast<const std::uint8_t*>(argb->pixels) +
                      static_cast<std::size_t>(y) * argb->pitch,
                  static_cast<std::size_t>(argb->w) * sizeof(std::uint32_t));
    SDL_UnlockSurface(argb);
    entry = std::make_unique<TextureEntry>(argb->w, argb->h, std::move(pixels));
  }
  SDL_FreeSurface(argb);
  return entry;
}

bool TextureCache::DropUnused(const std::string& filePath) {
  auto it = m_entries.find(filePath);
  if (it == m_entries.end() || it->second.use_count() > 1) return false;
  m_entries.erase(it);
  return true;
}

std::shared_ptr<TextureEntry> TextureCache::Load(const std::string& filePath) {
  auto it = m_entries.find(filePath);
  if (it != m_entries.end()) return it->second;
  std::shared_ptr<TextureEntry> entry = DecodeImageFile(filePath);
  if (entry) m_entries.emplace(filePath, entry);
  return entry;
}

}  // namespace plat
