#pragma once
// One texture of a RenderDevice: the SDL texture plus a CPU copy of its pixels, so that a lock
// is readable on every SDL backend and the headless device can draw straight from it.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/render/pixelspans.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace plat {

class DeviceTexture {
 public:
  static constexpr int kMaxSide = 16384;

  // nullptr on failure. pixels (optional) holds w * h ARGB values; otherwise transparent.
  static std::unique_ptr<DeviceTexture> Create(SDL_Renderer* renderer, int w, int h,
                                               const std::uint32_t* pixels, int pitchPixels);
  ~DeviceTexture();
  DeviceTexture(const DeviceTexture&) = delete;
  DeviceTexture& operator=(const DeviceTexture&) = delete;

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  SDL_Texture* Sdl() const { return m_texture; }

  std::uint32_t* Lock(bool readOnly, int left, int top, int width, int height);
  void Unlock();
  // Every pixel has alpha 255: blending it over the frame equals copying it.
  bool IsOpaque() { return Spans().AllOpaque(); }
  // The CPU copy of the pixels, Width() per row.
  const std::uint32_t* Pixels() const { return m_pixels.data(); }
  // The pixels' runs worth drawing, rebuilt after the pixels changed.
  const PixelSpans& Spans();
  // Sets the SDL blend mode when it differs from the last one set.
  void UseBlend(int sdlBlend);
  // Changes whenever the pixels may have changed (at every writable lock and its unlock).
  std::uint64_t Version() const { return m_version; }
  // The frame that last drew it (kept by the device).
  std::uint64_t UsedInFrame() const { return m_usedInFrame; }
  void MarkUsed(std::uint64_t frame) { m_usedInFrame = frame; }

 private:
  DeviceTexture(SDL_Texture* texture, int w, int h);

  SDL_Texture* m_texture = nullptr;
  int m_width = 0;
  int m_height = 0;
  static constexpr std::size_t kKeptReadCopy = 4096;  // pixels

  std::vector<std::uint32_t> m_pixels;
  std::vector<std::uint32_t> m_readCopy;  // what a read-only lock hands out
  bool m_locked = false;
  bool m_lockReadOnly = true;
  int m_lockX = 0, m_lockY = 0, m_lockW = 0, m_lockH = 0;
  int m_blend = -1;
  PixelSpans m_spans;
  bool m_spansStale = true;
  std::uint64_t m_version = 0;
  std::uint64_t m_usedInFrame = 0;
};

}  // namespace plat
