#include "platform/toolkit/pixeltexture.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <utility>

#include "platform/toolkit/deviceregistry.h"

namespace plat {

namespace {
// Made with the first texture and freed with the last: pixel textures of static objects die
// after every other static, so no static set could be relied on then.
std::unordered_set<PixelTexture*>* g_alive = nullptr;

void AddAlive(PixelTexture* t) {
  if (!g_alive) g_alive = new std::unordered_set<PixelTexture*>();
  g_alive->insert(t);
}

void RemoveAlive(PixelTexture* t) {
  if (!g_alive) return;
  g_alive->erase(t);
  if (g_alive->empty()) {
    delete g_alive;
    g_alive = nullptr;
  }
}
}  // namespace

PixelTexture::PixelTexture(int width, int height)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_pixels(std::make_shared<std::vector<std::uint32_t>>(
          static_cast<std::size_t>(m_width) * m_height, 0u)) {
  AddAlive(this);
}

PixelTexture::PixelTexture(int width, int height, std::vector<std::uint32_t> pixels)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_pixels(std::make_shared<std::vector<std::uint32_t>>(std::move(pixels))) {
  m_pixels->resize(static_cast<std::size_t>(m_width) * m_height, 0u);
  AddAlive(this);
}

PixelTexture::PixelTexture(PixelTexture&& other) noexcept
    : m_width(other.m_width),
      m_height(other.m_height),
      m_pixels(std::move(other.m_pixels)),
      m_version(other.m_version),
      m_copies(std::move(other.m_copies)) {
  other.m_width = other.m_height = 0;
  other.m_pixels = std::make_shared<std::vector<std::uint32_t>>();
  other.m_copies.clear();
  AddAlive(this);
}

PixelTexture::~PixelTexture() {
  RemoveAlive(this);
  // A texture made and dropped again (an evicted picture) would otherwise hold its device
  // texture until the device goes. Only a device the registry still recognises is touched:
  // another device at a reused address has other textures behind the same handles.
  for (const Copy& c : m_copies)
    if (IsLiveDevice(c.device) && DeviceRecognised(c.device))
      c.device->Texture_Free(c.tex);
}

void PixelTexture::ForgetDeviceEverywhere(const HGE* device) {
  if (g_alive)
    for (PixelTexture* t : *g_alive) t->ForgetDevice(device);
}

std::uint32_t PixelTexture::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
  return (*m_pixels)[static_cast<std::size_t>(y) * m_width + x];
}

std::uint32_t* PixelTexture::Pixels() {
  if (m_pixels.use_count() > 1) m_pixels = std::make_shared<std::vector<std::uint32_t>>(*m_pixels);
  return m_pixels->data();
}

bool PixelTexture::Upload(HGE* device, HTEXTURE tex) const {
  std::uint32_t* dst = device->Texture_Lock(tex, false);
  if (!dst) return false;
  const int pitch = device->Texture_GetWidth(tex);
  for (int y = 0; y < m_height; ++y)
    std::memcpy(dst + static_cast<std::size_t>(y) * pitch,
                m_pixels->data() + static_cast<std::size_t>(y) * m_width,
                static_cast<std::size_t>(m_width) * sizeof(std::uint32_t));
  device->Texture_Unlock(tex);
  return true;
}

HTEXTURE PixelTexture::On(HGE* device) {
  if (!device || m_width == 0 || m_height == 0) return 0;
  auto it = std::find_if(m_copies.begin(), m_copies.end(),
                         [&](const Copy& c) { return c.device == device; });
  const std::uint64_t instance = device->Instance();
  // A handle of another device that lived at the same address no longer matches: remake.
  // Devices that tell themselves apart are recognised by their number, others by the size.
  if (it != m_copies.end() &&
      (instance != 0 ? it->instance != instance
                     : device->Texture_GetWidth(it->tex, true) != m_width ||
                           device->Texture_GetHeight(it->tex, true) != m_height)) {
    m_copies.erase(it);
    it = m_copies.end();
  }
  if (it == m_copies.end()) {
    const HTEXTURE tex = device->Texture_CreateShared(m_width, m_height, m_pixels);
    if (!tex) return 0;
    m_copies.push_back(Copy{device, tex, m_version, instance});
    return tex;
  }
  if (it->version != m_version) {
    if (!Upload(device, it->tex)) return 0;
    it->version = m_version;
  }
  return it->tex;
}

void PixelTexture::ForgetDevice(const HGE* device) {
  m_copies.erase(std::remove_if(m_copies.begin(), m_copies.end(),
                                [&](const Copy& c) { return c.device == device; }),
                 m_copies.end());
}

}  // namespace plat
