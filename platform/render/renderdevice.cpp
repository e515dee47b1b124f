#include "platform/render/renderdevice.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/render/spanblend.h"

namespace plat {
namespace {

// Devices alive, oldest first; the last one is current. Never destroyed: static objects may
// still give back references during exit.
std::vector<RenderDevice*>& LiveDevices() {
  static auto* devices = new std::vector<RenderDevice*>();
  return *devices;
}

HGE* g_override = nullptr;

// Coordinates beyond this are treated as garbage: the software rasteriser works in fixed point.
constexpr float kMaxCoordinate = 1.0e6f;
constexpr int kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

SDL_Color ToSdlColor(std::uint32_t argb) {
  return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                   static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

bool Sane(float v) { return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate; }

// How far a texture coordinate times the texture size may be from a whole texel and still
// count as one: float coordinates like 17/140 are not exact.
constexpr float kTexelSlack = 1.0e-3f;

// v as a whole number when it is one (within kTexelSlack).
bool WholeNumber(float v, int* out) {
  const float r = std::round(v);
  if (std::fabs(v - r) > kTexelSlack) return false;
  *out = static_cast<int>(r);
  return true;
}

int SdlBlendFor(int hgeBlend) {
  return (hgeBlend & BLEND_ALPHABLEND) ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_ADD;
}

}  // namespace

void SetHgeOverride(HGE* fake) { g_override = fake; }

std::unique_ptr<RenderDevice> RenderDevice::CreateHeadless(int w, int h) {
  if (w <= 0 || h <= 0 || w > DeviceTexture::kMaxSide || h > DeviceTexture::kMaxSide)
    return nullptr;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return nullptr;
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
  if (!renderer) {
    SDL_FreeSurface(surface);
    return nullptr;
  }
  return std::unique_ptr<RenderDevice>(new RenderDevice(nullptr, surface, renderer, w, h, false));
}

std::unique_ptr<RenderDevice> RenderDevice::CreateWindowed(const char* title, int w, int h,
                                                           std::string* error) {
  auto fail = [error](const char* what) {
    if (error) *error = std::string(what) + ": " + SDL_GetError();
    return nullptr;
  };
  if (w <= 0 || h <= 0) {
    if (error) *error = "bad window size";
    return nullptr;
  }
  bool ownsVideo = false;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("SDL video init");
    ownsVideo = true;
  }
  SDL_Window* window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_SHOWN);
  if (!window) {
    auto r = fail("SDL_CreateWindow");
    if (ownsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return r;
  }
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer) {
    auto r = fail("SDL_CreateRenderer");
    SDL_DestroyWindow(window);
    if (ownsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return r;
  }
  auto device = std::unique_ptr<RenderDevice>(new RenderDevice(window, nullptr, renderer, w, h, ownsVideo));
  // The game draws at its own size; EndFrame scales that picture into the window. Without
  // render targets the game is drawn straight into the window, unscaled.
  if (SDL_RenderTargetSupported(renderer)) {
    device->m_target =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w, h);
    if (device->m_target != nullptr) {
      SDL_SetTextureScaleMode(device->m_target, SDL_ScaleModeLinear);
      SDL_SetRenderTarget(renderer, device->m_target);
    }
  }
  return device;
}

RenderDevice::RenderDevice(SDL_Window* window, SDL_Surface* surface, SDL_Renderer* renderer,
                           int w, int h, bool ownsVideo)
    : m_window(window), m_surface(surface), m_renderer(renderer), m_width(w), m_height(h),
      m_ownsVideo(ownsVideo), m_clipX1(w), m_clipY1(h) {
  SetDrawBlend(SDL_BLENDMODE_BLEND);
  LiveDevices().push_back(this);
}

RenderDevice::~RenderDevice() {
  auto& live = LiveDevices();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  m_textures.clear();  // before the renderer that owns them
  if (m_target) SDL_DestroyTexture(m_target);
  SDL_DestroyRenderer(m_renderer);
  if (m_window) SDL_DestroyWindow(m_window);
  if (m_surface) SDL_FreeSurface(m_surface);
  if (m_ownsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void RenderDevice::Release() {
  if (m_refs > 0) --m_refs;
  if (m_implicit && m_refs == 0) delete this;
}

void RenderDevice::Gfx_SetClipping(int x, int y, int w, int h) {
  if (x == 0 && y == 0 && w == 0 && h == 0) {
    m_clipEmpty = false;
    m_clipX0 = m_clipY0 = 0;
    m_clipX1 = m_width;
    m_clipY1 = m_height;
    SDL_RenderSetClipRect(m_renderer, nullptr);
    return;
  }
  // 64-bit so that huge rectangles cannot overflow.
  const long long x0 = std::max<long long>(x, 0);
  const long long y0 = std::max<long long>(y, 0);
  const long long x1 = std::min<long long>(static_cast<long long>(x) + w, m_width);
  const long long y1 = std::min<long long>(static_cast<long long>(y) + h, m_height);
  if (w <= 0 || h <= 0 || x1 <= x0 || y1 <= y0) {
    // SDL would treat an empty rectangle as "no clipping"; draw nothing instead.
    m_clipEmpty = true;
    return;
  }
  m_clipEmpty = false;
  m_clipX0 = static_cast<int>(x0);
  m_clipY0 = static_cast<int>(y0);
  m_clipX1 = static_cast<int>(x1);
  m_clipY1 = static_cast<int>(y1);
  const SDL_Rect r{m_clipX0, m_clipY0, m_clipX1 - m_clipX0, m_clipY1 - m_clipY0};
  SDL_RenderSetClipRect(m_renderer, &r);
}

void RenderDevice::Gfx_RenderQuad(const hgeQuad* quad) {
  if (!quad || m_clipEmpty) return;
  SDL_Vertex v[4];
  for (int i = 0; i < 4; ++i) {
    const hgeVertex& s = quad->v[i];
    if (!Sane(s.x) || !Sane(s.y) || !std::isfinite(s.tx) || !std::isfinite(s.ty)) return;
    v[i].position = SDL_FPoint{s.x, s.y};
    v[i].color = ToSdlColor(s.col);
    v[i].tex_coord = SDL_FPoint{s.tx, s.ty};
  }
  int blend = SdlBlendFor(quad->blend);
  bool opaque = blend == SDL_BLENDMODE_BLEND;
  for (const hgeVertex& s : quad->v) opaque = opaque && (s.col >> 24) == 0xFF;
  SDL_Texture* texture = nullptr;
  if (quad->tex) {
    DeviceTexture* t = Find(quad->tex);
    if (!t) return;
    // Blending opaque pixels is a copy; the software renderer copies several times faster.
    if (opaque && t->IsOpaque()) blend = SDL_BLENDMODE_NONE;
    if (BlitUnscaled(*quad, *t, blend)) return;
    t->UseBlend(blend);
    texture = t->Sdl();
  } else {
    SetDrawBlend(opaque ? SDL_BLENDMODE_NONE : blend);
  }
  SDL_RenderGeometry(m_renderer, texture, v, 4, kQuadIndices, 6);
}

// Most of a frame is whole textures or atlas cells drawn at their own size on whole pixels.
// Headless, those are drawn here straight into the surface: opaque runs are copied, transparent
// ones skipped, and only the rest blended, which SDL would do pixel by pixel for the whole
// rectangle. Anything else (scaled, rotated, shaded corners, additive) is left to SDL.
bool RenderDevice::BlitUnscaled(const hgeQuad& quad, DeviceTexture& texture, int sdlBlend) {
  if (!m_surface || sdlBlend == SDL_BLENDMODE_ADD) return false;
  const hgeVertex* v = quad.v;
  const std::uint32_t colour = v[0].col;
  if (v[1].col != colour || v[2].col != colour || v[3].col != colour) return false;
  if (v[0].y != v[1].y || v[3].y != v[2].y || v[0].x != v[3].x || v[1].x != v[2].x) return false;
  if (v[0].tx != v[3].tx || v[1].tx != v[2].tx || v[0].ty != v[1].ty || v[3].ty != v[2].ty)
    return false;
  int x0, y0, x1, y1, u0, t0, u1, t1;
  if (!WholeNumber(v[0].x, &x0) || !WholeNumber(v[0].y, &y0) || !WholeNumber(v[2].x, &x1) ||
      !WholeNumber(v[2].y, &y1) || !WholeNumber(v[0].tx * texture.Width(), &u0) ||
      !WholeNumber(v[0].ty * texture.Height(), &t0) ||
      !WholeNumber(v[2].tx * texture.Width(), &u1) ||
      !WholeNumber(v[2].ty * texture.Height(), &t1))
    return false;
  // Unscaled and not mirrored, inside the texture.
  if (x1 <= x0 || y1 <= y0 || x1 - x0 != u1 - u0 || y1 - y0 != t1 - t0) return false;
  if (u0 < 0 || t0 < 0 || u1 > texture.Width() || t1 > texture.Height()) return false;
  if ((colour >> 24) == 0) return true;  // fully transparent: nothing to draw

  const int cx0 = std::max(x0, m_clipX0), cx1 = std::min(x1, m_clipX1);
  const int cy0 = std::max(y0, m_clipY0), cy1 = std::min(y1, m_clipY1);
  if (cx0 >= cx1 || cy0 >= cy1) return true;
  Flush();  // anything SDL still holds goes first
  const PixelSpans& spans = texture.Spans();
  if (spans.Height() != texture.Height()) return false;
  const bool plain = colour == 0xFFFFFFFFu;
  // Source columns that land inside the clip.
  const int su0 = u0 + (cx0 - x0), su1 = u0 + (cx1 - x0);
  const int w = texture.Width();
  auto* target = static_cast<std::uint8_t*>(m_surface->pixels);
  for (int y = cy0; y < cy1; ++y) {
    const int sy = t0 + (y - y0);
    const std::uint32_t* srcRow = texture.Pixels() + static_cast<std::size_t>(sy) * w;
    auto* dstRow = reinterpret_cast<std::uint32_t*>(target + static_cast<std::size_t>(y) *
                                                                 m_surface->pitch);
    // Atlas rows hold many runs: start at the first one reaching the drawn columns.
    const PixelSpans::Run* end = spans.RowEnd(sy);
    const PixelSpans::Run* r = std::partition_point(
        spans.RowBegin(sy), end, [su0](const PixelSpans::Run& run) { return run.x1 <= su0; });
    for (; r != end && r->x0 < su1; ++r) {
      const int a = std::max<int>(r->x0, su0), b = std::min<int>(r->x1, su1);
      std::uint32_t* dst = dstRow + (x0 + (a - u0));
      if (plain && r->opaque)
        std::memcpy(dst, srcRow + a, sizeof(std::uint32_t) * (b - a));
      else if (plain)
        BlendSpan(dst, srcRow + a, b - a);
      else
        BlendSpanModulated(dst, srcRow + a, b - a, colour);
    }
  }
  return true;
}

void RenderDevice::Gfx_RenderLine(float x1, float y1, float x2, float y2, std::uint32_t color) {
  if (m_clipEmpty || !Sane(x1) || !Sane(y1) || !Sane(x2) || !Sane(y2)) return;
  const SDL_Color c = ToSdlColor(color);
  SetDrawBlend(SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(m_renderer, c.r, c.g, c.b, c.a);
  SDL_RenderDrawLineF(m_renderer, x1, y1, x2, y2);
}

void RenderDevice::FillRect(int x, int y, int w, int h, std::uint32_t argb) {
  if (m_clipEmpty || w <= 0 || h <= 0) return;
  const SDL_Color c = ToSdlColor(argb);
  SetDrawBlend(SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(m_renderer, c.r, c.g, c.b, c.a);
  const SDL_Rect r{x, y, w, h};
  SDL_RenderFillRect(m_renderer, &r);
}

HTEXTURE RenderDevice::Adopt(std::unique_ptr<DeviceTexture> tex) {
  if (!tex) return 0;
  const HTEXTURE handle = m_nextHandle++;
  m_textures.emplace(handle, std::move(tex));
  return handle;
}

HTEXTURE RenderDevice::Texture_Create(int width, int height) {
  return Adopt(DeviceTexture::Create(m_renderer, width, height, nullptr, 0));
}

HTEXTURE RenderDevice::Texture_Load(const char* path) {
  if (!path || !*path) return 0;
  SDL_Surface* loaded = IMG_Load(path);
  if (!loaded) return 0;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!argb) return 0;
  HTEXTURE handle = 0;
  if (SDL_LockSurface(argb) == 0) {
    handle = Adopt(DeviceTexture::Create(m_renderer, argb->w, argb->h,
                                         static_cast<const std::uint32_t*>(argb->pixels),
                                         argb->pitch / int(sizeof(std::uint32_t))));
    SDL_UnlockSurface(argb);
  }
  SDL_FreeSurface(argb);
  return handle;
}

void RenderDevice::Texture_Free(HTEXTURE tex) { m_textures.erase(tex); }

DeviceTexture* RenderDevice::Find(HTEXTURE tex) {
  auto it = m_textures.find(tex);
  return it == m_textures.end() ? nullptr : it->second.get();
}

const DeviceTexture* RenderDevice::Find(HTEXTURE tex) const {
  auto it = m_textures.find(tex);
  return it == m_textures.end() ? nullptr : it->second.get();
}

int RenderDevice::Texture_GetWidth(HTEXTURE tex, bool) {
  const DeviceTexture* t = Find(tex);
  return t ? t->Width() : 0;
}

int RenderDevice::Texture_GetHeight(HTEXTURE tex, bool) {
  const DeviceTexture* t = Find(tex);
  return t ? t->Height() : 0;
}

std::uint32_t* RenderDevice::Texture_Lock(HTEXTURE tex, bool readOnly, int left, int top,
                                          int width, int height) {
  DeviceTexture* t = Find(tex);
  return t ? t->Lock(readOnly, left, top, width, height) : nullptr;
}

void RenderDevice::Texture_Unlock(HTEXTURE tex) {
  if (DeviceTexture* t = Find(tex)) t->Unlock();
}

void* RenderDevice::System_GetWindowHandle() { return m_window; }

void RenderDevice::SetDrawBlend(int sdlBlend) {
  if (sdlBlend == m_drawBlend) return;
  if (SDL_SetRenderDrawBlendMode(m_renderer, static_cast<SDL_BlendMode>(sdlBlend)) == 0)
    m_drawBlend = sdlBlend;
}

void RenderDevice::BeginFrame(float deltaSeconds, std::uint32_t clearArgb) {
  m_delta = deltaSeconds;
  Gfx_SetClipping();
  const SDL_Color c = ToSdlColor(clearArgb);
  SDL_SetRenderDrawColor(m_renderer, c.r, c.g, c.b, c.a);
  SDL_RenderClear(m_renderer);
}

void RenderDevice::EndFrame() {
  if (!m_window) {
    Flush();
    return;
  }
  if (m_target == nullptr) {
    SDL_RenderPresent(m_renderer);
    return;
  }
  SDL_SetRenderTarget(m_renderer, nullptr);
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(m_renderer, &outW, &outH);
  const Letterbox box = Letterbox::Fit(m_width, m_height, outW, outH);
  SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
  SDL_RenderClear(m_renderer);
  if (!box.Empty()) {
    const SDL_Rect dst{box.x, box.y, box.w, box.h};
    SDL_RenderCopy(m_renderer, m_target, nullptr, &dst);
  }
  SDL_RenderPresent(m_renderer);
  SDL_SetRenderTarget(m_renderer, m_target);
}

Letterbox RenderDevice::PresentBox() const {
  if (!m_window || m_target == nullptr) return Letterbox::Fit(m_width, m_height, m_width, m_height);
  int w = 0, h = 0;
  SDL_GetWindowSize(m_window, &w, &h);
  return Letterbox::Fit(m_width, m_height, w, h);
}

bool RenderDevice::IsMinimized() const {
  return m_window != nullptr && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) != 0;
}

bool RenderDevice::IsFullscreen() const {
  return m_window != nullptr && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0;
}

bool RenderDevice::ToggleFullscreen() {
  if (!m_window) return false;
  const bool on = !IsFullscreen();
  SDL_SetWindowFullscreen(m_window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  return IsFullscreen();
}

void RenderDevice::Flush() const { SDL_RenderFlush(m_renderer); }

std::uint32_t RenderDevice::ReadPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
  Flush();
  if (m_surface) {
    const auto* row = static_cast<const std::uint8_t*>(m_surface->pixels) +
                      static_cast<std::size_t>(y) * m_surface->pitch;
    return reinterpret_cast<const std::uint32_t*>(row)[x];
  }
  std::uint32_t pixel = 0;
  const SDL_Rect r{x, y, 1, 1};
  SDL_RenderReadPixels(m_renderer, &r, SDL_PIXELFORMAT_ARGB8888, &pixel, sizeof pixel);
  return pixel;
}

std::unique_ptr<std::uint32_t[]> RenderDevice::ReadBack() const {
  std::unique_ptr<std::uint32_t[]> pixels(
      new std::uint32_t[static_cast<std::size_t>(m_width) * m_height]);
  if (SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.get(),
                           m_width * int(sizeof(std::uint32_t))) != 0)
    return nullptr;
  return pixels;
}

bool RenderDevice::SavePng(const std::string& path) const {
  Flush();
  if (m_surface) return IMG_SavePNG(m_surface, path.c_str()) == 0;
  auto pixels = ReadBack();
  if (!pixels) return false;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(pixels.get(), m_width, m_height, 32,
                                                      m_width * int(sizeof(std::uint32_t)),
                                                      SDL_PIXELFORMAT_ARGB8888);
  if (!s) return false;
  const bool ok = IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

}  // namespace plat

HGE* hgeCreate(int version) {
  using plat::RenderDevice;
  if (version != HGE_VERSION) return nullptr;
  if (plat::g_override) return plat::g_override;
  auto& live = plat::LiveDevices();
  RenderDevice* device = live.empty() ? nullptr : live.back();
  if (!device) {
    std::unique_ptr<RenderDevice> made =
        RenderDevice::CreateHeadless(RenderDevice::kDefaultWidth, RenderDevice::kDefaultHeight);
    if (!made) return nullptr;
    made->m_implicit = true;
    device = made.release();
  }
  device->AddRef();
  return device;
}
