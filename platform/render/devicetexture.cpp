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
  std::unique_ptr<DeviceTexture> tex(new (std::nothrow) DeviceTexture(renderer, w, h));
  if (!tex) return nullptr;
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
  tex->UseBlend(SDL_BLENDMODE_BLEND);
  return tex;
}

std::unique_ptr<DeviceTexture> DeviceTexture::CreateShared(
    SDL_Renderer* renderer, int w, int h, std::shared_ptr<const std::vector<std::uint32_t>> pixels) {
  if (!renderer || !pixels || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide ||
      pixels->size() < static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
    return nullptr;
  std::unique_ptr<DeviceTexture> tex(new (std::nothrow) DeviceTexture(renderer, w, h));
  if (!tex) return nullptr;
  tex->m_shared = std::move(pixels);
  tex->UseBlend(SDL_BLENDMODE_BLEND);
  return tex;
}

DeviceTexture::DeviceTexture(SDL_Renderer* renderer, int w, int h)
    : m_renderer(renderer), m_width(w), m_height(h) {}

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
    if (m_shared) {
      // The maker's pixels stay as they are: this texture writes into its own from now on.
      try {
        const auto count = static_cast<std::ptrdiff_t>(static_cast<std::size_t>(m_width) * m_height);
        m_pixels.assign(m_shared->begin(), m_shared->begin() + count);
      } catch (const std::bad_alloc&) {
        m_locked = false;
        return nullptr;
      }
      m_shared.reset();
    }
    ++m_version;
    m_scaled.Clear();
    return &m_pixels[first + left];
  }
  // A copy, so that writing through a read-only lock cannot reach what is drawn.
  const std::size_t count = static_cast<std::size_t>(height) * m_width;
  try {
    m_readCopy.assign(Pixels() + first, Pixels() + first + count);
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
  m_scaled.Clear();  // also what was written between the lock and now
  if (!m_texture) return;  // made from the pixels when SDL first needs it
  const SDL_Rect r{m_lockX, m_lockY, m_lockW, m_lockH};
  SDL_UpdateTexture(m_texture, &r, &m_pixels[static_cast<std::size_t>(m_lockY) * m_width + m_lockX],
                    m_width * int(sizeof(std::uint32_t)));
}

SDL_Texture* DeviceTexture::Sdl() {
  if (m_texture || m_sdlFailed) return m_texture;
  SDL_Texture* t = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888,
                                     SDL_TEXTUREACCESS_STATIC, m_width, m_height);
  if (!t || SDL_UpdateTexture(t, nullptr, Pixels(), m_width * int(sizeof(std::uint32_t))) != 0) {
    if (t) SDL_DestroyTexture(t);
    m_sdlFailed = true;
    return nullptr;
  }
  m_texture = t;
  m_sdlBlend = -1;
  UseBlend(m_blend);
  return m_texture;
}

const PixelSpans& DeviceTexture::Spans() {
  if (m_spansStale) {
    m_spans.Build(Pixels(), m_width, m_height, m_width);
    m_spansStale = false;
  }
  return m_spans;
}

void DeviceTexture::UseBlend(int sdlBlend) {
  m_blend = sdlBlend;
  if (!m_texture || sdlBlend == m_sdlBlend) return;
  if (SDL_SetTextureBlendMode(m_texture, static_cast<SDL_BlendMode>(sdlBlend)) == 0)
    m_sdlBlend = sdlBlend;
}

}  // namespace plat
