#pragma once
// Tells a render device apart from an earlier one that lived at the same address.
//
// Pixel textures remember their device textures by device pointer. Tests (and a game that
// recreates its window) destroy devices and make new ones, which may reuse the address;
// handles of the old device would then name other textures of the new one. Each device gets
// a 1 x 1 mark texture holding a number of its own; when the number read back differs, the
// device is new and every copy made for that address is forgotten. One per plat::Runtime.
#include <cstdint>
#include <vector>

#include "platform/render/hge.h"

namespace plat {

class DeviceRegistry {
 public:
  DeviceRegistry() = default;
  // Frees the marks on devices still alive.
  ~DeviceRegistry();
  DeviceRegistry(const DeviceRegistry&) = delete;
  DeviceRegistry& operator=(const DeviceRegistry&) = delete;

  // Call before using textures made for `device` (once per frame is enough).
  void Validate(HGE* device);
  // Whether `device` is the device validated last at its address (it must be alive). Unlike
  // Validate it changes nothing.
  bool Recognises(HGE* device) const;
  // What is known about `device` is dropped (it is about to go away).
  void Forget(const HGE* device);

 private:
  struct Mark {
    HGE* device;
    HTEXTURE tex;
    std::uint32_t value;
  };
  bool Matches(const Mark& m) const;

  std::vector<Mark> m_marks;
  std::uint32_t m_next = 1;
};

// Drops every texture copy made for a device; call it before destroying a device whose
// address may come back (the registry also notices by itself).
void ForgetRenderDevice(const HGE* device);

// Validate and Recognises on the current runtime's registry; with no runtime nothing is
// validated and no device is recognised.
void ValidateDevice(HGE* device);
bool DeviceRecognised(HGE* device);

}  // namespace plat
