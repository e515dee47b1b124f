#pragma once
// ARGB pixels kept in memory and mirrored into textures of the devices that draw them.
//
// A device texture is made (or refreshed after a change) on first use by that device, so
// images and glyph pages outlive devices and survive a change of device. When this object dies
// its textures on devices still alive (and known to the registry as the same device) are
// freed; those of a device that is gone died with it.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/render/hge.h"

namespace plat {

class PixelTexture {
 public:
  PixelTexture(int width, int height);  // transparent
  PixelTexture(int width, int height, std::vector<std::uint32_t> pixels);
  ~PixelTexture();
  PixelTexture(const PixelTexture&) = delete;
  PixelTexture& operator=(const PixelTexture&) = delete;
  PixelTexture(PixelTexture&& other) noexcept;
  PixelTexture& operator=(PixelTexture&&) = delete;

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // For writing: pixels a device still shares are copied first, so its texture keeps drawing
  // what it was given until the next upload.
  std::uint32_t* Pixels();
  const std::uint32_t* Pixels() const { return m_pixels->data(); }
  std::uint32_t Pixel(int x, int y) const;  // 0 outside
  // After writing Pixels(): every device copy is refreshed at its next use.
  void MarkChanged() { ++m_version; }
  // Raised by MarkChanged: a texture made from an earlier version no longer shows these pixels.
  std::uint64_t Version() const { return m_version; }

  // The texture on a device, made or refreshed as needed; 0 when the device cannot make one.
  HTEXTURE On(HGE* device);
  // Drop what is known about a device (it is going away or was replaced).
  void ForgetDevice(const HGE* device);
  std::size_t DeviceCopies() const { return m_copies.size(); }
  // ForgetDevice on every PixelTexture alive.
  static void ForgetDeviceEverywhere(const HGE* device);

 private:
  struct Copy {
    HGE* device;
    HTEXTURE tex;
    std::uint64_t version;
    std::uint64_t instance;  // the device's Instance() when the copy was made
  };
  bool Upload(HGE* device, HTEXTURE tex) const;

  int m_width, m_height;
  // Shared with the device textures made from them (one copy of a picture, not one per
  // device texture); never changed while shared.
  std::shared_ptr<std::vector<std::uint32_t>> m_pixels;
  std::uint64_t m_version = 1;
  std::vector<Copy> m_copies;
};

}  // namespace plat
