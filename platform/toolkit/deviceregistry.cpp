#include "platform/toolkit/deviceregistry.h"

#include <algorithm>

#include "platform/toolkit/pixeltexture.h"
#include "platform/toolkit/runtime.h"

namespace plat {

namespace {
// Marks carry this in their top byte, so a plain transparent or opaque pixel never matches.
constexpr std::uint32_t kMarkTag = 0x5A000000u;
constexpr std::uint32_t kMarkMask = 0x00FFFFFFu;
}  // namespace

DeviceRegistry::~DeviceRegistry() {
  for (const Mark& m : m_marks)
    if (IsLiveDevice(m.device) && Matches(m)) m.device->Texture_Free(m.tex);
}

bool DeviceRegistry::Matches(const Mark& m) const {
  std::uint32_t* px = m.device->Texture_Lock(m.tex, true);
  if (!px) return false;
  const bool same = *px == m.value;
  m.device->Texture_Unlock(m.tex);
  return same;
}

void DeviceRegistry::Validate(HGE* device) {
  if (!device) return;
  auto it = std::find_if(m_marks.begin(), m_marks.end(),
                         [&](const Mark& m) { return m.device == device; });
  if (it != m_marks.end()) {
    if (Matches(*it)) return;
    // Another device at a known address: nothing made for the old one is valid here.
    PixelTexture::ForgetDeviceEverywhere(device);
    m_marks.erase(it);
  }
  const HTEXTURE tex = device->Texture_Create(1, 1);
  if (!tex) return;
  const std::uint32_t value = kMarkTag | (m_next++ & kMarkMask);
  std::uint32_t* px = device->Texture_Lock(tex, false);
  if (!px) {
    device->Texture_Free(tex);
    return;
  }
  *px = value;
  device->Texture_Unlock(tex);
  m_marks.push_back(Mark{device, tex, value});
}

bool DeviceRegistry::Recognises(HGE* device) const {
  auto it = std::find_if(m_marks.begin(), m_marks.end(),
                         [&](const Mark& m) { return m.device == device; });
  return it != m_marks.end() && Matches(*it);
}

void DeviceRegistry::Forget(const HGE* device) {
  m_marks.erase(std::remove_if(m_marks.begin(), m_marks.end(),
                               [&](const Mark& m) { return m.device == device; }),
                m_marks.end());
}

void ForgetRenderDevice(const HGE* device) {
  PixelTexture::ForgetDeviceEverywhere(device);
  if (Runtime* rt = Runtime::Current()) rt->Devices().Forget(device);
}

void ValidateDevice(HGE* device) {
  if (Runtime* rt = Runtime::Current()) rt->Devices().Validate(device);
}

bool DeviceRecognised(HGE* device) {
  Runtime* rt = Runtime::Current();
  return rt != nullptr && rt->Devices().Recognises(device);
}

}  // namespace plat
