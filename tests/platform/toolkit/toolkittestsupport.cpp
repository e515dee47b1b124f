#include "tests/platform/toolkit/toolkittestsupport.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <functional>

#include <unistd.h>

#include "platform/toolkit/deviceregistry.h"

namespace tktest {

namespace {
std::string Write(const std::string& path, int w, int h, const std::function<std::uint32_t(int, int)>& pixel) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return "";
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < w; ++x) row[x] = pixel(x, y);
  }
  const bool ok = IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok ? path : "";
}
}  // namespace

std::string WriteStrip(TempDir& dir, const std::string& name, int frameW, int h,
                       const std::vector<std::uint32_t>& colours) {
  const int frames = static_cast<int>(colours.size());
  return Write(dir.File(name), frameW * frames, h,
               [&](int x, int) { return colours[x / frameW]; });
}

std::string WritePattern(TempDir& dir, const std::string& name, int w, int h, bool checker) {
  return Write(dir.File(name), w, h, [&](int x, int y) {
    return !checker || (x + y) % 2 == 0 ? 0xFFFFFFFFu : 0xFF000000u;
  });
}

// ---- fake rasteriser -------------------------------------------------------------------

namespace {
int g_glyphCalls = 0;

class FakeRasterizer : public plat::GlyphRasterizer {
 public:
  bool CreateFont(const std::string&, int heightPx, int, bool) override {
    m_size = heightPx;
    return heightPx > 0;
  }
  int Ascent() const override { return m_size * 3 / 4; }
  long GetGlyph(char16_t code, unsigned format, plat::GlyphMetrics* m, unsigned bufferSize,
                void* buffer) override {
    const bool space = code == u' ';
    const unsigned w = space ? 1 : (code < 0x80 ? m_size / 2 : m_size);
    const unsigned h = space ? 1 : m_size;
    m->blackBoxX = w;
    m->blackBoxY = h;
    m->originX = 0;
    m->originY = Ascent();
    m->cellIncX = static_cast<short>(code < 0x80 ? m_size / 2 : m_size);
    m->cellIncY = 0;
    const unsigned row = plat::GlyphRowBytes(format, w);
    if (row == 0) return plat::GDI_ERROR;
    const unsigned need = row * h;
    if (!buffer || bufferSize == 0) return need;
    if (bufferSize < need) return plat::GDI_ERROR;
    ++g_glyphCalls;
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (unsigned y = 0; y < h; ++y)
      for (unsigned i = 0; i < row; ++i) {
        std::uint8_t v = 0;
        if (!space && format == plat::GGO_GRAY8_BITMAP && i < w) v = kFakeGray;
        if (!space && format == plat::GGO_BITMAP && i * 8 < w) {
          const unsigned bits = std::min(8u, w - i * 8);
          v = static_cast<std::uint8_t>(0xFF00u >> bits);
        }
        out[y * row + i] = v;
      }
    return need;
  }

 private:
  int m_size = 0;
};
}  // namespace

std::unique_ptr<plat::GlyphRasterizer> MakeFakeRasterizer() { return std::make_unique<FakeRasterizer>(); }
int FakeGlyphCalls() { return g_glyphCalls; }
void ResetFakeGlyphCalls() { g_glyphCalls = 0; }

// ---- GUI fixture -------------------------------------------------------------------------

GuiTest::GuiTest() : m_device(plat::RenderDevice::CreateHeadless(kW, kH)) {
  m_runner = std::make_unique<plat::GuiRunner>();
  m_top.setSize(kW, kH);
  m_runner->SetTop(&m_top);
}

GuiTest::~GuiTest() {
  m_runner.reset();
  plat::ForgetRenderDevice(m_device.get());
}

void GuiTest::Frame() {
  m_runner->Logic();
  m_runner->Logic();
  DrawOnly();
}

void GuiTest::DrawOnly() {
  m_device->BeginFrame(0.016f, kBackground);
  m_runner->Draw();
  m_device->EndFrame();
}

}  // namespace tktest
