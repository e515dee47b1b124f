#include "platform/render/devicetexture.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace plat {

std::unique_ptr<DeviceTexture> DeviceTexture::Create(SDL_Renderer* renderer, int w, int h,
                                                     const std::uint32_t* pixels,
                                                     int pitchPixels) {
  if (!renderer || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return nullptr;
  SDL_Texture* t =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, w, h);
  if (!t) return nullptr;
  std::unique_ptr<DeviceTexture> tex(new (std::nothrow) DeviceTexture(t, w, h));
  if (!tex) {
    SDL_DestroyTexture(t);
    return nullptr;
  }
  try {
    tex->m_pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (pixels) {
    for (int y = 0; y < h; ++y)
      std::memcpy(&tex->m_pixels[static_cast<std::size_t>(y) * w],
                  pixels + static_cast<std::size_t>(y) * pitchPixels, sizeof(std::uint32_t) * w);
  }
  tex->m_spansStale = true;
  // Uploaded even when transparent: only the software backend starts textures zeroed.
  if (SDL_UpdateTexture(t, nullptr, tex->m_pixels.data(), w * int(sizeof(std::uint32_t))) != 0)
    return nullptr;
  tex->UseBlend(SDL_BLENDMODE_BLEND);
  return tex;
}

DeviceTexture::DeviceTexture(SDL_Texture* texture, int w, int h)
    : m_texture(texture), m_width(w), m_height(h) {}

DeviceTexture::~DeviceTexture() {
  if (m_texture) SDL_DestroyTexture(m_texture);
}

std::uint32_t* DeviceTexture::Lock(bool readOnly, int left, int top, int width, int height) {
  if (m_locked) return nullptr;
  if (width == 0 || height == 0) {
    left = 0;
    top = 0;
    width = m_width;
    height = m_height;
  }
  if (left < 0 || top < 0 || width < 0 || height < 0 || left >= m_width || top >= m_height)
    return nullptr;
  width = std::min(width, m_width - left);
  height = std::min(height, m_height - top);
  m_locked = true;
  m_lockReadOnly = readOnly;
  m_lockX = left;
  m_lockY = top;
  m_lockW = width;
  m_lockH = height;
  const std::size_t first = static_cast<std::size_t>(top) * m_width;
  if (!readOnly) {
    ++m_version;
    return &m_pixels[first + left];
  }
  // A copy, so that writing through a read-only lock cannot reach what is drawn.
  const std::size_t count = static_cast<std::size_t>(height) * m_width;
  try {
    m_readCopy.assign(m_pixels.begin() + first, m_pixels.begin() + first + count);
  } catch (const std::bad_alloc&) {
    m_locked = false;
    return nullptr;
  }
  return &m_readCopy[left];
}

void DeviceTexture::Unlock() {
  if (!m_locked) return;
  m_locked = false;
  if (m_lockReadOnly) {
    // Small copies are kept for the next read; a large one is not worth holding on to.
    if (m_readCopy.capacity() > kKeptReadCopy) std::vector<std::uint32_t>().swap(m_readCopy);
    return;
  }
  m_spansStale = true;
  ++m_version;
  const SDL_Rect r{m_lockX, m_lockY, m_lockW, m_lockH};
  SDL_UpdateTexture(m_texture, &r, &m_pixels[static_cast<std::size_t>(m_lockY) * m_width + m_lockX],
                    m_width * int(sizeof(std::uint32_t)));
}

const PixelSpans& DeviceTexture::Spans() {
  if (m_spansStale) {
    m_spans.Build(m_pixels.data(), m_width, m_height, m_width);
    m_spansStale = false;
  }
  return m_spans;
}

void DeviceTexture::UseBlend(int sdlBlend) {
  if (sdlBlend == m_blend) return;
  if (SDL_SetTextureBlendMode(m_texture, static_cast<SDL_BlendMode>(sdlBlend)) == 0)
    m_blend = sdlBlend;
}

}  // namespace plat
