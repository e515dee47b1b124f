#pragma once
// One texture of a RenderDevice: a CPU copy of its pixels, which locks hand out and the device
// draws from itself, plus SDL's own texture, made only when SDL first has to draw it (scaled,
// rotated or shaded): most textures are only ever drawn at their size and never need SDL's copy.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/render/pixelspans.h"
#include "platform/render/scaledblit.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace plat {

class DeviceTexture {
 public:
  static constexpr int kMaxSide = 16384;

  // nullptr on failure. pixels (optional) holds w * h ARGB values; otherwise transparent.
  static std::unique_ptr<DeviceTexture> Create(SDL_Renderer* renderer, int w, int h,
                                               const std::uint32_t* pixels, int pitchPixels);
  // Draws from pixels shared with its maker (w * h values) until a writable lock copies them.
  static std::unique_ptr<DeviceTexture> CreateShared(
      SDL_Renderer* renderer, int w, int h,
      std::shared_ptr<const std::vector<std::uint32_t>> pixels);
  ~DeviceTexture();
  DeviceTexture(const DeviceTexture&) = delete;
  DeviceTexture& operator=(const DeviceTexture&) = delete;

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // SDL's texture, made from the pixels on first use; nullptr when SDL cannot make it.
  SDL_Texture* Sdl();

  std::uint32_t* Lock(bool readOnly, int left, int top, int width, int height);
  void Unlock();
  // Every pixel has alpha 255: blending it over the frame equals copying it.
  bool IsOpaque() { return Spans().AllOpaque(); }
  // The CPU copy of the pixels, Width() per row.
  const std::uint32_t* Pixels() const { return m_shared ? m_shared->data() : m_pixels.data(); }
  // The pixels' runs worth drawing, rebuilt after the pixels changed.
  const PixelSpans& Spans();
  // The SDL blend mode for SDL's drawing; set on SDL's texture when it differs from the last.
  void UseBlend(int sdlBlend);
  // Changes whenever the pixels may have changed (at every writable lock and its unlock).
  std::uint64_t Version() const { return m_version; }
  // The pixels of from scaled to w x h as SDL scales them, kept until the pixels change or the
  // texture goes; nullptr when budget (see SetScaledBudget) has no room for them.
  const ScaledCopies::Copy* Scaled(const IRect& from, int w, int h) {
    return m_scaled.Get(Pixels(), m_width, from, w, h);
  }
  void SetScaledBudget(ScaledBudget* budget) { m_scaled.SetBudget(budget); }
  std::size_t ScaledCount() const { return m_scaled.Count(); }

 private:
  DeviceTexture(SDL_Renderer* renderer, int w, int h);

  SDL_Renderer* m_renderer = nullptr;
  SDL_Texture* m_texture = nullptr;
  bool m_sdlFailed = false;  // not retried every draw
  int m_width = 0;
  int m_height = 0;
  static constexpr std::size_t kKeptReadCopy = 4096;  // pixels

  std::vector<std::uint32_t> m_pixels;  // empty while the pixels are shared
  std::shared_ptr<const std::vector<std::uint32_t>> m_shared;
  std::vector<std::uint32_t> m_readCopy;  // what a read-only lock hands out
  bool m_locked = false;
  bool m_lockReadOnly = true;
  int m_lockX = 0, m_lockY = 0, m_lockW = 0, m_lockH = 0;
  int m_blend = -1;      // the blend mode wanted
  int m_sdlBlend = -1;   // the one SDL's texture has
  PixelSpans m_spans;
  bool m_spansStale = true;
  std::uint64_t m_version = 0;
  ScaledCopies m_scaled;
};

}  // namespace plat
