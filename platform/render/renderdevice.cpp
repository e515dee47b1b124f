#include "platform/render/renderdevice.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/render/spanblend.h"

namespace plat {
namespace {

// Devices alive, oldest first; the last one is current. Made with the first device and freed
// with the last, so static objects giving back references at exit find no list, not a dead one.
std::vector<RenderDevice*>* g_liveDevices = nullptr;

void AddLiveDevice(RenderDevice* device) {
  if (!g_liveDevices) g_liveDevices = new std::vector<RenderDevice*>();
  g_liveDevices->push_back(device);
}

void RemoveLiveDevice(RenderDevice* device) {
  if (!g_liveDevices) return;
  auto& live = *g_liveDevices;
  live.erase(std::remove(live.begin(), live.end(), device), live.end());
  if (live.empty()) {
    delete g_liveDevices;
    g_liveDevices = nullptr;
  }
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

// v as a whole number when it is one (within kTexelSlack). Rounded by hand: std::round is a
// library call, and a quad asks eight times.
bool WholeNumber(float v, int* out) {
  if (!(std::fabs(v) < 4194304.0f)) return false;  // 2^22: v + 0.5f is exact below
  const int n = static_cast<int>(v + (v < 0.0f ? -0.5f : 0.5f));
  if (std::fabs(v - static_cast<float>(n)) > kTexelSlack) return false;
  *out = n;
  return true;
}

int SdlBlendFor(int hgeBlend) {
  return (hgeBlend & BLEND_ALPHABLEND) ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_ADD;
}

}  // namespace

void SetHgeOverride(HGE* fake) { g_override = fake; }

bool IsLiveDevice(const HGE* device) {
  if (!device) return false;
  if (device == g_override) return true;
  if (!g_liveDevices) return false;
  const auto& live = *g_liveDevices;
  return std::find(live.begin(), live.end(), device) != live.end();
}

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
                                                           std::string* error, Present present) {
  auto fail = [error](const char* what) {
    if (error) *error = std::string(what) + ": " + SDL_GetError();
    return nullptr;
  };
  if (w <= 0 || h <= 0 || w > DeviceTexture::kMaxSide || h > DeviceTexture::kMaxSide) {
    if (error) *error = "bad window size";
    return nullptr;
  }
  bool ownsVideo = false;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("SDL video init");
    ownsVideo = true;
  }
  auto quitVideo = [ownsVideo] {
    if (ownsVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  };
  SDL_Window* window = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, w, h, SDL_WINDOW_SHOWN);
  if (!window) {
    auto r = fail("SDL_CreateWindow");
    quitVideo();
    return r;
  }
  // The game is drawn by the same software renderer as headless, into a picture of its own
  // size; only what changed goes on to the window.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
  if (!renderer) {
    auto r = fail("software renderer");
    if (surface) SDL_FreeSurface(surface);
    SDL_DestroyWindow(window);
    quitVideo();
    return r;
  }
  auto device = std::unique_ptr<RenderDevice>(new RenderDevice(window, surface, renderer, w, h, ownsVideo));
  if (present == Present::kFromEnvironment) {
    const char* env = std::getenv("VELMORA_PRESENT");
    present = env && std::strcmp(env, "texture") == 0 ? Present::kStreamingTexture
                                                      : Present::kWindowSurface;
  }
  const Present other = present == Present::kWindowSurface ? Present::kStreamingTexture
                                                            : Present::kWindowSurface;
  if (!device->SetUpPresent(present) && !device->SetUpPresent(other)) return fail("window output");
  SDL_AddEventWatch(&RenderDevice::WatchWindow, device.get());
  device->m_watching = true;
  return device;
}

bool RenderDevice::SetUpPresent(Present present) {
  if (present == Present::kWindowSurface) {
    // A window with a renderer cannot have a surface too, so the texture way is tried second.
    m_windowSurface = SDL_GetWindowSurface(m_window);
    return m_windowSurface != nullptr;
  }
  m_windowRenderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED);
  if (!m_windowRenderer) m_windowRenderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
  if (!m_windowRenderer) return false;
  m_stream = SDL_CreateTexture(m_windowRenderer, SDL_PIXELFORMAT_ARGB8888,
                               SDL_TEXTUREACCESS_STREAMING, m_width, m_height);
  if (!m_stream) {
    SDL_DestroyRenderer(m_windowRenderer);
    m_windowRenderer = nullptr;
    return false;
  }
  SDL_SetTextureScaleMode(m_stream, SDL_ScaleModeLinear);
  SDL_SetTextureBlendMode(m_stream, SDL_BLENDMODE_NONE);
  return true;
}

int RenderDevice::WatchWindow(void* device, SDL_Event* event) {
  auto* self = static_cast<RenderDevice*>(device);
  if (event->type != SDL_WINDOWEVENT || event->window.windowID != SDL_GetWindowID(self->m_window))
    return 0;
  switch (event->window.event) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
      // What the window showed may be gone: the next push is the whole window.
      self->m_windowInvalid.store(true, std::memory_order_relaxed);
      break;
    default:
      break;
  }
  return 0;
}

RenderDevice::RenderDevice(SDL_Window* window, SDL_Surface* surface, SDL_Renderer* renderer,
                           int w, int h, bool ownsVideo)
    : m_window(window), m_surface(surface), m_renderer(renderer), m_width(w), m_height(h),
      m_ownsVideo(ownsVideo), m_clipX1(w), m_clipY1(h) {
  m_wholeScreen.push_back(IRect{0, 0, w, h});
  static std::uint64_t devicesMade = 0;
  m_instance = ++devicesMade;
  SetDrawBlend(SDL_BLENDMODE_BLEND);
  const char* full = std::getenv("VELMORA_FULL_REDRAW");
  m_tracking = surface != nullptr && !(full && *full && std::strcmp(full, "0") != 0);
  // SDL scales by nearest sampling unless told to filter; then its scaling is left to it.
  const char* quality = SDL_GetHint(SDL_HINT_RENDER_SCALE_QUALITY);
  m_scaleKept = !quality || std::strcmp(quality, "0") == 0 || SDL_strcasecmp(quality, "nearest") == 0;
  AddLiveDevice(this);
}

RenderDevice::~RenderDevice() {
  RemoveLiveDevice(this);
  if (m_watching) SDL_DelEventWatch(&RenderDevice::WatchWindow, this);
  m_slots.clear();  // the textures go before the renderer that owns them
  if (m_stream) SDL_DestroyTexture(m_stream);
  if (m_windowRenderer) SDL_DestroyRenderer(m_windowRenderer);
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
    if (!m_tracking) SetSdlClip(CurrentClip());  // for callers drawing through Sdl()
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
  if (!m_tracking) SetSdlClip(CurrentClip());
}

void RenderDevice::SetSdlClip(const IRect& clip) {
  if (m_sdlClipKnown && clip == m_sdlClip) return;
  m_sdlClip = clip;
  m_sdlClipKnown = true;
  if (clip == IRect{0, 0, m_width, m_height}) {
    SDL_RenderSetClipRect(m_renderer, nullptr);
    return;
  }
  const SDL_Rect r{clip.x0, clip.y0, clip.x1 - clip.x0, clip.y1 - clip.y0};
  SDL_RenderSetClipRect(m_renderer, &r);
}

namespace {

// Pixels a shape spanning [lo, hi] may touch, with a pixel to spare for SDL's rasterisers.
IRect Around(float xlo, float ylo, float xhi, float yhi) {
  return {static_cast<int>(std::floor(xlo)) - 1, static_cast<int>(std::floor(ylo)) - 1,
          static_cast<int>(std::ceil(xhi)) + 1, static_cast<int>(std::ceil(yhi)) + 1};
}

// An unscaled, unmirrored rectangle of texels on whole pixels with one colour: drawn by spans.
bool PlaceUnscaled(const hgeVertex* v, int texW, int texH, DrawCommand::Placement& p) {
  const std::uint32_t colour = v[0].col;
  if (v[1].col != colour || v[2].col != colour || v[3].col != colour) return false;
  if (v[0].y != v[1].y || v[3].y != v[2].y || v[0].x != v[3].x || v[1].x != v[2].x) return false;
  if (v[0].tx != v[3].tx || v[1].tx != v[2].tx || v[0].ty != v[1].ty || v[3].ty != v[2].ty)
    return false;
  int x0, y0, x1, y1, u0, t0, u1, t1;
  if (!WholeNumber(v[0].x, &x0) || !WholeNumber(v[0].y, &y0) || !WholeNumber(v[2].x, &x1) ||
      !WholeNumber(v[2].y, &y1) || !WholeNumber(v[0].tx * texW, &u0) ||
      !WholeNumber(v[0].ty * texH, &t0) || !WholeNumber(v[2].tx * texW, &u1) ||
      !WholeNumber(v[2].ty * texH, &t1))
    return false;
  if (x1 <= x0 || y1 <= y0 || x1 - x0 != u1 - u0 || y1 - y0 != t1 - t0) return false;
  if (u0 < 0 || t0 < 0 || u1 > texW || t1 > texH) return false;
  p = {true, x0, y0, x1, y1, u0, t0, colour, false, 0, 0};
  return true;
}

}  // namespace

bool RenderDevice::Describe(DrawCommand& c) {
  const DrawCommand::Key& k = c.key;
  const IRect clip = k.clip;
  if (k.kind == DrawCommand::Kind::kLine) {
    c.bounds = Around(std::min(k.v[0].x, k.v[1].x), std::min(k.v[0].y, k.v[1].y),
                      std::max(k.v[0].x, k.v[1].x), std::max(k.v[0].y, k.v[1].y))
                   .Intersect(clip);
    return !c.bounds.Empty();
  }
  if (k.kind == DrawCommand::Kind::kFill) {
    const long long x = static_cast<long long>(k.v[0].x), y = static_cast<long long>(k.v[0].y);
    const long long x1 = std::min<long long>(x + static_cast<long long>(k.v[1].x), m_width);
    const long long y1 = std::min<long long>(y + static_cast<long long>(k.v[1].y), m_height);
    c.bounds = IRect{static_cast<int>(std::max<long long>(x, 0)),
                     static_cast<int>(std::max<long long>(y, 0)), static_cast<int>(x1),
                     static_cast<int>(y1)}
                   .Intersect(clip);
    c.clipSafe = true;  // every pixel of a fill is blended alone
    return !c.bounds.Empty();
  }
  DeviceTexture* t = nullptr;
  if (k.tex) {
    TextureSlot* slot = FindSlot(k.tex);
    if (!slot) return false;
    t = slot->texture.get();
    c.key.texVersion = slot->version;
    slot->usedInFrame = m_frameNo;
  }
  if (t && m_surface && (k.blend & BLEND_ALPHABLEND) &&
      PlaceUnscaled(k.v, t->Width(), t->Height(), c.placement) &&
      t->Spans().Height() == t->Height()) {
    const DrawCommand::Placement& p = c.placement;
    if ((p.colour >> 24) == 0) return false;  // fully transparent
    c.bounds = IRect{p.x0, p.y0, p.x1, p.y1}.Intersect(clip);
    c.clipSafe = true;
    c.opaque = (p.colour >> 24) == 0xFF && t->IsOpaque();
    return !c.bounds.Empty();
  }
  c.placement = DrawCommand::Placement{};
  ScaledBlit scaled;
  if (t && m_scaleKept && (k.blend & BLEND_ALPHABLEND) &&
      PlanScaledBlit(k.v, t->Width(), t->Height(), clip, m_width, m_height, &scaled)) {
    // Where SDL would scale this rectangle, the scaled pixels depend on this clip and nothing
    // else: drawn from a kept copy, any part of them comes out the same.
    const IRect& d = scaled.dst;
    c.placement = DrawCommand::Placement{true, d.x0, d.y0, d.x1, d.y1, scaled.src.x0, scaled.src.y0,
                                         k.v[0].col, true, scaled.src.x1, scaled.src.y1};
    c.bounds = d;
    c.clipSafe = true;
    c.opaque = (k.v[0].col >> 24) == 0xFF && t->IsOpaque();
    return true;
  }
  float xlo = k.v[0].x, xhi = xlo, ylo = k.v[0].y, yhi = ylo;
  for (const hgeVertex& s : k.v) {
    xlo = std::min(xlo, s.x);
    xhi = std::max(xhi, s.x);
    ylo = std::min(ylo, s.y);
    yhi = std::max(yhi, s.y);
  }
  c.bounds = Around(xlo, ylo, xhi, yhi).Intersect(clip);
  return !c.bounds.Empty();
}

bool RenderDevice::Submit(DrawCommand& c) {
  if (!Describe(c)) return false;
  if (m_inFrame) {
    c.Seal();
    m_commands.Add(c);
    if (m_immediate) Execute(c, c.key.clip);
    return true;
  }
  m_prevValid = false;  // drawn outside a tracked frame: the surface no longer matches the last frame
  Execute(c, c.key.clip);
  return true;
}

namespace {

DrawCommand NewCommand(DrawCommand::Kind kind, const IRect& clip) {
  DrawCommand c;
  std::memset(static_cast<void*>(&c.key), 0, sizeof c.key);
  c.key.kind = kind;
  c.key.clip = clip;
  return c;
}

}  // namespace

namespace {

bool SameBits(float a, float b) {
  std::uint32_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}

}  // namespace

bool RenderDevice::RepeatsLastFrame(const hgeQuad& quad) {
  // Most calls of a steady frame are the last frame's calls in the same order. Such a call is
  // the last frame's command again: its placement, bounds and hash need not be worked out.
  if (!m_inFrame || m_immediate) return false;
  const DrawCommand* last = m_commands.LastAtNext();
  if (!last) return false;
  const DrawCommand::Key& k = last->key;
  if (k.kind != DrawCommand::Kind::kQuad || k.tex != quad.tex || k.blend != quad.blend ||
      k.clip != CurrentClip())
    return false;
  for (int i = 0; i < 4; ++i) {
    const hgeVertex& a = k.v[i];
    const hgeVertex& b = quad.v[i];
    if (a.col != b.col || !SameBits(a.x, b.x) || !SameBits(a.y, b.y) || !SameBits(a.tx, b.tx) ||
        !SameBits(a.ty, b.ty))
      return false;
  }
  if (k.tex) {
    TextureSlot* slot = FindSlot(k.tex);
    if (!slot || slot->version != k.texVersion) return false;
    slot->usedInFrame = m_frameNo;
  }
  m_commands.Repeat();
  return true;
}

bool RenderDevice::Gfx_RepeatRun(const RunKey& key) {
  if (!m_inFrame || m_immediate || m_runOpen) return false;
  const std::size_t at = m_commands.Size();
  while (m_lastRunAt < m_lastRuns.size() && m_lastRuns[m_lastRunAt].first < at) ++m_lastRunAt;
  if (m_lastRunAt == m_lastRuns.size()) return false;
  const Run& run = m_lastRuns[m_lastRunAt];
  if (run.first != at || run.first + run.count > m_commands.LastSize() ||
      std::memcmp(&run.key, &key, sizeof key) != 0 || run.clip != CurrentClip())
    return false;
  TextureSlot* slots[Run::kMaxTextures] = {};
  for (int i = 0; i < Run::kMaxTextures && run.tex[i]; ++i) {
    slots[i] = FindSlot(run.tex[i]);
    if (!slots[i] || slots[i]->version != run.version[i]) return false;  // new pixels
  }
  for (TextureSlot* slot : slots)
    if (slot) slot->usedInFrame = m_frameNo;
  for (std::size_t i = 0; i < run.count; ++i) m_commands.Repeat();
  m_repeatedRunCalls += run.count;
  m_runs.push_back(run);
  ++m_lastRunAt;
  return true;
}

void RenderDevice::Gfx_BeginRun(const RunKey& key) {
  m_movableOpen = false;
  m_runOpen = m_inFrame && !m_immediate;
  if (!m_runOpen) return;
  m_open = Run{};
  m_open.key = key;
  m_open.clip = CurrentClip();
  m_open.first = m_commands.Size();
}

void RenderDevice::Gfx_EndRun() {
  if (!m_runOpen) return;
  m_runOpen = false;
  const bool movable = m_movableOpen;
  m_movableOpen = false;
  const IRect clip = CurrentClip();
  if (!m_inFrame || m_immediate || clip != m_open.clip) {
    if (m_open.atOrigin) m_runCalls.resize(m_openMovable.calls);
    return;
  }
  if (m_open.atOrigin) {
    // Its key leaves the origin out: never taken over as a run at a fixed place.
    if (!movable) {
      m_runCalls.resize(m_openMovable.calls);
      return;
    }
    MovableRun& run = m_openMovable;
    run.count = m_runCalls.size() - run.calls;
    // Every command made since it opened is one of its calls, or it cannot be taken over.
    if (run.drawn == m_commands.Size() - run.first)
      m_movableRuns.push_back(run);
    else
      m_runCalls.resize(run.calls);
    return;
  }
  m_open.count = m_commands.Size() - m_open.first;
  int textures = 0;
  for (std::size_t i = m_open.first; i < m_commands.Size(); ++i) {
    const DrawCommand::Key& k = m_commands[i].key;
    if (!k.tex) continue;
    int t = 0;
    while (t < textures && m_open.tex[t] != k.tex) ++t;
    if (t < textures) {
      if (m_open.version[t] != k.texVersion) return;  // changed within the run: not kept
      continue;
    }
    if (textures == Run::kMaxTextures) return;  // too many to check cheaply: not kept
    m_open.tex[textures] = k.tex;
    m_open.version[textures] = k.texVersion;
    ++textures;
  }
  m_runs.push_back(m_open);
}

namespace {

// Runs longer than this are drawn call by call: each call of a run that moves is checked and
// kept whole, which should stay cheap.
constexpr std::size_t kMaxMovableCalls = 512;

// A whole number that a float holds exactly, also after adding another one of them (both are
// below 2^20): positions moved by whole pixels come out as a fresh draw computes them.
bool ExactWhole(float v) {
  return std::fabs(v) <= kMaxCoordinate && static_cast<float>(static_cast<int>(v)) == v;
}

// A call that moves exactly: an unscaled textured rectangle on whole pixels, drawn by spans.
bool MovesExactly(const DrawCommand& c) {
  const DrawCommand::Key& k = c.key;
  if (k.kind != DrawCommand::Kind::kQuad || !k.tex || !c.placement.valid || c.placement.scaled ||
      (c.placement.colour >> 24) == 0)
    return false;
  for (const hgeVertex& v : k.v)
    if (!ExactWhole(v.x) || !ExactWhole(v.y)) return false;
  return true;
}

}  // namespace

void RenderDevice::ForgetRuns() {
  m_runs.clear();
  m_lastRuns.clear();
  m_movableRuns.clear();
  m_lastMovableRuns.clear();
  m_runCalls.clear();
  m_lastRunCalls.clear();
}

void RenderDevice::Gfx_BeginRunAt(const RunKey& key, float x, float y) {
  Gfx_BeginRun(key);
  if (!m_runOpen) return;
  m_open.atOrigin = true;
  m_openMovable = MovableRun{};
  m_openMovable.calls = m_runCalls.size();
  if (m_clipEmpty || !ExactWhole(x) || !ExactWhole(y)) return;
  m_movableOpen = true;
  m_openMovable.key = key;
  m_openMovable.clip = m_open.clip;
  m_openMovable.x = x;
  m_openMovable.y = y;
  m_openMovable.first = m_open.first;
}

void RenderDevice::RecordRunCall(const DrawCommand& c, bool drawn) {
  if (!MovesExactly(c) || m_runCalls.size() - m_openMovable.calls >= kMaxMovableCalls) {
    m_movableOpen = false;
    m_runCalls.resize(m_openMovable.calls);
    return;
  }
  m_runCalls.push_back(RunCall{c, drawn});
  if (drawn) ++m_openMovable.drawn;
}

bool RenderDevice::CanMove(const MovableRun& run, float dx, float dy) {
  for (std::size_t i = 0; i < run.count; ++i) {
    const DrawCommand& c = m_lastRunCalls[run.calls + i].command;
    const TextureSlot* slot = FindSlot(c.key.tex);
    if (!slot || slot->version != c.key.texVersion) return false;  // gone, or new pixels
    for (const hgeVertex& v : c.key.v)
      if (!Sane(v.x + dx) || !Sane(v.y + dy)) return false;  // a fresh call would be dropped
  }
  return true;
}

bool RenderDevice::Gfx_RepeatRunAt(const RunKey& key, float x, float y) {
  if (!m_inFrame || m_immediate || m_runOpen || m_clipEmpty || !ExactWhole(x) || !ExactWhole(y))
    return false;
  const IRect clip = CurrentClip();
  const MovableRun* found = nullptr;
  for (const MovableRun& r : m_lastMovableRuns) {
    if (std::memcmp(&r.key, &key, sizeof key) != 0) continue;
    if (r.clip == clip) found = &r;
    break;
  }
  if (!found) return false;
  const MovableRun& run = *found;
  // Both origins are whole and small: the differences and the moved positions are exact.
  const float dx = x - run.x, dy = y - run.y;
  if (!CanMove(run, dx, dy)) return false;
  MovableRun next = run;
  next.x = x;
  next.y = y;
  next.first = m_commands.Size();
  next.calls = m_runCalls.size();
  next.drawn = 0;
  // Unmoved at the same place of the frame: the last frame's commands are shared as they are.
  const bool inPlace = dx == 0.0f && dy == 0.0f && run.first == next.first &&
                       run.first + run.drawn <= m_commands.LastSize();
  const int ix = static_cast<int>(dx), iy = static_cast<int>(dy);
  for (std::size_t i = 0; i < run.count; ++i) {
    m_runCalls.push_back(m_lastRunCalls[run.calls + i]);
    RunCall& call = m_runCalls.back();
    DrawCommand& c = call.command;
    FindSlot(c.key.tex)->usedInFrame = m_frameNo;
    if (inPlace) {
      if (call.drawn) m_commands.Repeat();
    } else {
      for (hgeVertex& v : c.key.v) {
        v.x += dx;
        v.y += dy;
      }
      DrawCommand::Placement& p = c.placement;
      p.x0 += ix;
      p.x1 += ix;
      p.y0 += iy;
      p.y1 += iy;
      // Glyphs leave the clip and others come into it, as they would drawn afresh.
      c.bounds = IRect{p.x0, p.y0, p.x1, p.y1}.Intersect(clip);
      call.drawn = !c.bounds.Empty();
      if (call.drawn) {
        c.Seal();
        m_commands.Add(c);
      }
    }
    if (call.drawn) ++next.drawn;
  }
  m_movableRuns.push_back(next);
  m_repeatedRunCalls += next.drawn;
  if (!inPlace) m_movedRunCalls += next.drawn;
  return true;
}

void RenderDevice::Gfx_RenderQuad(const hgeQuad* quad) {
  if (!quad || m_clipEmpty) {
    m_movableOpen = false;
    return;
  }
  if (RepeatsLastFrame(*quad)) {
    if (m_movableOpen) RecordRunCall(m_commands[m_commands.Size() - 1], true);
    return;
  }
  for (const hgeVertex& s : quad->v)
    if (!Sane(s.x) || !Sane(s.y) || !std::isfinite(s.tx) || !std::isfinite(s.ty)) {
      m_movableOpen = false;
      return;
    }
  DrawCommand c = NewCommand(DrawCommand::Kind::kQuad, CurrentClip());
  for (int i = 0; i < 4; ++i) {
    const hgeVertex& s = quad->v[i];
    c.key.v[i].x = s.x;
    c.key.v[i].y = s.y;
    c.key.v[i].col = s.col;
    c.key.v[i].tx = s.tx;
    c.key.v[i].ty = s.ty;
  }
  c.key.tex = quad->tex;
  c.key.blend = quad->blend;
  const bool drawn = Submit(c);
  if (m_movableOpen) RecordRunCall(c, drawn);
}

void RenderDevice::Execute(const DrawCommand& c, const IRect& clip) {
  const DrawCommand::Key& k = c.key;
  switch (k.kind) {
    case DrawCommand::Kind::kLine: {
      SetSdlClip(clip);
      const SDL_Color col = ToSdlColor(k.v[0].col);
      SetDrawBlend(SDL_BLENDMODE_BLEND);
      SDL_SetRenderDrawColor(m_renderer, col.r, col.g, col.b, col.a);
      SDL_RenderDrawLineF(m_renderer, k.v[0].x, k.v[0].y, k.v[1].x, k.v[1].y);
      return;
    }
    case DrawCommand::Kind::kFill: {
      SetSdlClip(clip);
      const SDL_Color col = ToSdlColor(k.v[0].col);
      SetDrawBlend(SDL_BLENDMODE_BLEND);
      SDL_SetRenderDrawColor(m_renderer, col.r, col.g, col.b, col.a);
      const SDL_Rect r{static_cast<int>(k.v[0].x), static_cast<int>(k.v[0].y),
                       static_cast<int>(k.v[1].x), static_cast<int>(k.v[1].y)};
      SDL_RenderFillRect(m_renderer, &r);
      return;
    }
    case DrawCommand::Kind::kQuad:
      break;
  }
  DeviceTexture* t = nullptr;
  if (k.tex) {
    t = Find(k.tex);
    if (!t) return;
    if (c.placement.valid) {
      if (c.placement.scaled)
        BlitScaled(c.placement, *t, clip);
      else
        BlitUnscaled(c, *t, clip);
      return;
    }
  }
  SDL_Vertex v[4];
  for (int i = 0; i < 4; ++i) {
    const hgeVertex& s = k.v[i];
    v[i].position = SDL_FPoint{s.x, s.y};
    v[i].color = ToSdlColor(s.col);
    v[i].tex_coord = SDL_FPoint{s.tx, s.ty};
  }
  int blend = SdlBlendFor(k.blend);
  bool opaque = blend == SDL_BLENDMODE_BLEND;
  for (const hgeVertex& s : k.v) opaque = opaque && (s.col >> 24) == 0xFF;
  SDL_Texture* texture = nullptr;
  SetSdlClip(clip);
  if (t) {
    // Blending opaque pixels is a copy; the software renderer copies several times faster.
    if (opaque && t->IsOpaque()) blend = SDL_BLENDMODE_NONE;
    t->UseBlend(blend);
    texture = t->Sdl();
    if (!texture) return;  // without it SDL would draw the quad untextured
  } else {
    SetDrawBlend(opaque ? SDL_BLENDMODE_NONE : blend);
  }
  SDL_RenderGeometry(m_renderer, texture, v, 4, kQuadIndices, 6);
}

// Most of a frame is whole textures or atlas cells drawn at their own size on whole pixels.
// Headless, those are drawn here straight into the surface: opaque runs are copied, transparent
// ones skipped, and only the rest blended, which SDL would do pixel by pixel for the whole
// rectangle. Anything else (rotated, shaded corners, additive) is left to SDL.
void RenderDevice::BlitUnscaled(const DrawCommand& c, DeviceTexture& texture, const IRect& clip) {
  const DrawCommand::Placement& p = c.placement;
  const PixelSpans& spans = texture.Spans();
  if (spans.Height() != texture.Height()) return;
  BlitSpans(texture.Pixels(), texture.Width(), spans, p, clip);
}

// Scaled rectangles are drawn from the texture's kept copy at that size, made the first time;
// when the device keeps no more copies, each row is scaled as it is drawn.
void RenderDevice::BlitScaled(const DrawCommand::Placement& p, DeviceTexture& texture,
                              const IRect& clip) {
  const IRect from{p.u0, p.t0, p.u1, p.t1};
  const int w = p.x1 - p.x0, h = p.y1 - p.y0;
  DrawCommand::Placement at = p;
  at.u0 = 0;
  at.t0 = 0;
  if (const ScaledCopies::Copy* copy = texture.Scaled(from, w, h)) {
    BlitSpans(copy->pixels.data(), w, copy->spans, at, clip);
    return;
  }
  const IRect r = clip.Intersect(IRect{p.x0, p.y0, p.x1, p.y1});
  if (r.Empty()) return;
  Flush();
  m_scaleRow.resize(static_cast<std::size_t>(r.x1 - r.x0));
  const bool copy = p.colour == 0xFFFFFFFFu && texture.IsOpaque();
  auto* target = static_cast<std::uint8_t*>(m_surface->pixels);
  for (int y = r.y0; y < r.y1; ++y) {
    ScaleRow(texture.Pixels(), texture.Width(), from, w, h, y - p.y0, r.x0 - p.x0, r.x1 - p.x0,
             m_scaleRow.data());
    auto* dst = reinterpret_cast<std::uint32_t*>(target + static_cast<std::size_t>(y) *
                                                              m_surface->pitch) + r.x0;
    if (copy)
      std::memcpy(dst, m_scaleRow.data(), sizeof(std::uint32_t) * m_scaleRow.size());
    else
      BlendSpanModulated(dst, m_scaleRow.data(), r.x1 - r.x0, p.colour);
  }
}

void RenderDevice::BlitSpans(const std::uint32_t* pixels, int pitch, const PixelSpans& spans,
                             const DrawCommand::Placement& p, const IRect& clip) {
  const int cx0 = std::max(p.x0, clip.x0), cx1 = std::min(p.x1, clip.x1);
  const int cy0 = std::max(p.y0, clip.y0), cy1 = std::min(p.y1, clip.y1);
  if (cx0 >= cx1 || cy0 >= cy1) return;
  Flush();  // anything SDL still holds goes first
  const std::size_t surfacePitch = static_cast<std::size_t>(m_surface->pitch) / sizeof(std::uint32_t);
  const int firstRow = p.t0 + (cy0 - p.y0);
  RunsBlit b;
  b.spans = &spans;
  b.src = pixels + static_cast<std::size_t>(firstRow) * pitch;
  b.srcPitch = static_cast<std::size_t>(pitch);
  b.dst = static_cast<std::uint32_t*>(m_surface->pixels) + static_cast<std::size_t>(cy0) * surfacePitch + cx0;
  b.dstPitch = surfacePitch;
  b.firstRow = firstRow;
  b.rows = cy1 - cy0;
  b.col0 = p.u0 + (cx0 - p.x0);  // the source columns that land inside the clip
  b.col1 = p.u0 + (cx1 - p.x0);
  b.colour = p.colour;
  BlitRuns(b);
}

void RenderDevice::Gfx_RenderLine(float x1, float y1, float x2, float y2, std::uint32_t color) {
  m_movableOpen = false;  // a run that moves is made of rectangles only
  if (m_clipEmpty || !Sane(x1) || !Sane(y1) || !Sane(x2) || !Sane(y2)) return;
  DrawCommand c = NewCommand(DrawCommand::Kind::kLine, CurrentClip());
  c.key.v[0].x = x1;
  c.key.v[0].y = y1;
  c.key.v[1].x = x2;
  c.key.v[1].y = y2;
  c.key.v[0].col = color;
  Submit(c);
}

void RenderDevice::FillRect(int x, int y, int w, int h, std::uint32_t argb) {
  m_movableOpen = false;
  if (m_clipEmpty || w <= 0 || h <= 0) return;
  DrawCommand c = NewCommand(DrawCommand::Kind::kFill, CurrentClip());
  // Held as floats in the key: exact for the sizes a screen can have.
  if (std::abs(x) > (1 << 24) || std::abs(y) > (1 << 24) || w > (1 << 24) || h > (1 << 24)) {
    // Beyond what a float holds exactly: clamp to an equivalent rectangle.
    const long long x0 = std::max<long long>(x, -1), y0 = std::max<long long>(y, -1);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + w, m_width + 1LL);
    const long long y1 = std::min<long long>(static_cast<long long>(y) + h, m_height + 1LL);
    if (x1 <= x0 || y1 <= y0) return;
    x = static_cast<int>(x0);
    y = static_cast<int>(y0);
    w = static_cast<int>(x1 - x0);
    h = static_cast<int>(y1 - y0);
  }
  c.key.v[0].x = static_cast<float>(x);
  c.key.v[0].y = static_cast<float>(y);
  c.key.v[1].x = static_cast<float>(w);
  c.key.v[1].y = static_cast<float>(h);
  c.key.v[0].col = argb;
  Submit(c);
}

HTEXTURE RenderDevice::Adopt(std::unique_ptr<DeviceTexture> tex) {
  if (!tex) return 0;
  std::uint32_t index;
  if (!m_freeSlots.empty()) {
    index = m_freeSlots.back();
    m_freeSlots.pop_back();
  } else {
    if (m_slots.empty()) m_slots.emplace_back();  // index 0: handle 0 is never a texture
    index = static_cast<std::uint32_t>(m_slots.size());
    m_slots.emplace_back();
  }
  TextureSlot& slot = m_slots[index];
  slot.width = tex->Width();
  slot.height = tex->Height();
  slot.version = tex->Version();
  slot.usedInFrame = 0;
  slot.texture = std::move(tex);
  slot.texture->SetScaledBudget(&m_scaledBudget);
  ++m_textureCount;
  return (static_cast<HTEXTURE>(slot.generation) << 32) | index;
}

HTEXTURE RenderDevice::Texture_Create(int width, int height) {
  return Adopt(DeviceTexture::Create(m_renderer, width, height, nullptr, 0));
}

HTEXTURE RenderDevice::Texture_CreateShared(int width, int height,
                                            std::shared_ptr<const std::vector<std::uint32_t>> pixels) {
  return Adopt(DeviceTexture::CreateShared(m_renderer, width, height, std::move(pixels)));
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

void RenderDevice::Texture_Free(HTEXTURE tex) {
  if (!Find(tex)) return;
  TextureSlot& slot = m_slots[tex & 0xFFFFFFFFu];
  if (slot.usedInFrame == m_frameNo) Interrupt();
  slot.texture.reset();
  ++slot.generation;  // the old handle stays dead when the slot is used again
  m_freeSlots.push_back(static_cast<std::uint32_t>(tex & 0xFFFFFFFFu));
  --m_textureCount;
}

const RenderDevice::TextureSlot* RenderDevice::FindSlot(HTEXTURE tex) const {
  const HTEXTURE index = tex & 0xFFFFFFFFu;
  if (index == 0 || index >= m_slots.size()) return nullptr;
  const TextureSlot& slot = m_slots[index];
  return slot.generation == (tex >> 32) && slot.texture ? &slot : nullptr;
}

RenderDevice::TextureSlot* RenderDevice::FindSlot(HTEXTURE tex) {
  return const_cast<TextureSlot*>(static_cast<const RenderDevice*>(this)->FindSlot(tex));
}

DeviceTexture* RenderDevice::Find(HTEXTURE tex) {
  const TextureSlot* slot = FindSlot(tex);
  return slot ? slot->texture.get() : nullptr;
}

const DeviceTexture* RenderDevice::Find(HTEXTURE tex) const {
  return const_cast<RenderDevice*>(this)->Find(tex);
}

int RenderDevice::Texture_GetWidth(HTEXTURE tex, bool) {
  const TextureSlot* slot = FindSlot(tex);
  return slot ? slot->width : 0;
}

int RenderDevice::Texture_GetHeight(HTEXTURE tex, bool) {
  const TextureSlot* slot = FindSlot(tex);
  return slot ? slot->height : 0;
}

std::uint32_t* RenderDevice::Texture_Lock(HTEXTURE tex, bool readOnly, int left, int top,
                                          int width, int height) {
  TextureSlot* slot = FindSlot(tex);
  if (!slot) return nullptr;
  // The kept commands of this frame must see the pixels they were given.
  if (!readOnly && slot->usedInFrame == m_frameNo) Interrupt();
  std::uint32_t* pixels = slot->texture->Lock(readOnly, left, top, width, height);
  slot->version = slot->texture->Version();
  return pixels;
}

void RenderDevice::Texture_Unlock(HTEXTURE tex) {
  if (TextureSlot* slot = FindSlot(tex)) {
    slot->texture->Unlock();
    slot->version = slot->texture->Version();
  }
}

void* RenderDevice::System_GetWindowHandle() { return m_window; }

void RenderDevice::SetDrawBlend(int sdlBlend) {
  if (sdlBlend == m_drawBlend) return;
  if (SDL_SetRenderDrawBlendMode(m_renderer, static_cast<SDL_BlendMode>(sdlBlend)) == 0)
    m_drawBlend = sdlBlend;
}

void RenderDevice::BeginFrame(float deltaSeconds, std::uint32_t clearArgb) {
  if (m_inFrame) {
    EndTrackedFrame();
    m_push.Invalidate();  // that frame never reached the window
  }
  m_delta = deltaSeconds;
  Gfx_SetClipping();
  ++m_frameNo;
  if (m_tracking) {
    m_inFrame = true;
    m_immediate = false;
    m_clear = clearArgb;
    if (m_commands.Size() != 0) {
      // A recording cut short (tracking turned off in it) never became the last frame.
      m_commands.Clear();
      ForgetRuns();
      m_prevValid = false;
    }
    m_lastRunAt = 0;
    m_runOpen = false;
    m_movableOpen = false;
    return;
  }
  SetSdlClip(CurrentClip());
  const SDL_Color c = ToSdlColor(clearArgb);
  SDL_SetRenderDrawColor(m_renderer, c.r, c.g, c.b, c.a);
  SDL_RenderClear(m_renderer);
}

void RenderDevice::EndFrame() {
  const bool tracked = m_inFrame;
  if (m_inFrame) EndTrackedFrame();
  Flush();
  if (!m_window) return;
  PushToWindow(tracked ? m_dirty.Rects() : m_wholeScreen);
}

void RenderDevice::PushToWindow(const std::vector<IRect>& changed) {
  m_pushed.clear();
  if (m_windowInvalid.exchange(false, std::memory_order_relaxed)) m_push.Invalidate();
  if (IsMinimized()) {
    ++m_present.hidden;
    m_push.Invalidate();  // this frame's changes are not on the window
    return;
  }
  if (m_stream)
    PushToTexture(changed);
  else
    PushToSurface(changed);
  if (m_pushed.empty()) {
    ++m_present.unchanged;
    return;
  }
  ++m_present.pushes;
  if (m_push.Full()) ++m_present.fullPushes;
  for (const IRect& r : m_pushed) m_present.pushedPixels += static_cast<std::uint64_t>(r.Area());
}

namespace {

bool IsXrgb8888(const SDL_Surface* s) {
  const SDL_PixelFormat* f = s->format;
  return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u &&
         f->Bmask == 0x000000FFu && s->pitch % 4 == 0;
}

}  // namespace

void RenderDevice::PushToSurface(const std::vector<IRect>& changed) {
  SDL_Surface* ws = SDL_GetWindowSurface(m_window);  // made again after a resize
  if (!ws) {
    m_push.Invalidate();
    return;
  }
  if (ws != m_windowSurface) {
    m_windowSurface = ws;
    m_push.Invalidate();
  }
  if (!m_push.Plan(m_width, m_height, ws->w, ws->h, changed)) return;
  if (SDL_MUSTLOCK(ws) && SDL_LockSurface(ws) != 0) {
    m_push.Invalidate();
    return;
  }
  // Scaled straight into the window's pixels when they are laid out like ours.
  const bool direct = IsXrgb8888(ws);
  std::uint32_t* out;
  std::size_t pitch;
  if (direct) {
    out = static_cast<std::uint32_t*>(ws->pixels);
    pitch = static_cast<std::size_t>(ws->pitch / 4);
  } else {
    m_staging.resize(static_cast<std::size_t>(ws->w) * ws->h);
    out = m_staging.data();
    pitch = static_cast<std::size_t>(ws->w);
  }
  const Letterbox& box = m_push.Box();
  if (m_push.Full()) FillBars(out, pitch, ws->w, ws->h, box);
  const auto* src = static_cast<const std::uint32_t*>(m_surface->pixels);
  const std::size_t srcPitch = static_cast<std::size_t>(m_surface->pitch / 4);
  std::uint32_t* boxOrigin = out + static_cast<std::size_t>(box.y) * pitch + box.x;
  const IRect boxRect{box.x, box.y, box.x + box.w, box.y + box.h};
  std::vector<SDL_Rect>& rects = m_sdlRects;
  rects.clear();
  for (const IRect& r : m_push.Rects()) {
    const IRect inner = r.Intersect(boxRect);
    if (!inner.Empty())
      m_push.Map().Scale(src, srcPitch, boxOrigin, pitch,
                         IRect{inner.x0 - box.x, inner.y0 - box.y, inner.x1 - box.x, inner.y1 - box.y});
    if (!direct) {
      const std::size_t offset = static_cast<std::size_t>(r.y0) * pitch + r.x0;
      SDL_ConvertPixels(r.x1 - r.x0, r.y1 - r.y0, SDL_PIXELFORMAT_ARGB8888, out + offset,
                        static_cast<int>(pitch * 4), ws->format->format,
                        static_cast<std::uint8_t*>(ws->pixels) + static_cast<std::size_t>(r.y0) * ws->pitch +
                            static_cast<std::size_t>(r.x0) * ws->format->BytesPerPixel,
                        ws->pitch);
    }
    rects.push_back(SDL_Rect{r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0});
    m_pushed.push_back(r);
  }
  if (SDL_MUSTLOCK(ws)) SDL_UnlockSurface(ws);
  if (SDL_UpdateWindowSurfaceRects(m_window, rects.data(), static_cast<int>(rects.size())) != 0)
    m_push.Invalidate();
}

void RenderDevice::PushToTexture(const std::vector<IRect>& changed) {
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(m_windowRenderer, &outW, &outH);
  if (!m_push.Plan(m_width, m_height, outW, outH, changed)) return;
  const auto* pixels = static_cast<const std::uint8_t*>(m_surface->pixels);
  for (const IRect& g : m_push.Full() ? m_wholeScreen : changed) {
    const IRect r = g.Intersect(m_wholeScreen[0]);
    if (r.Empty()) continue;
    const SDL_Rect sr{r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0};
    SDL_UpdateTexture(m_stream, &sr,
                      pixels + static_cast<std::size_t>(r.y0) * m_surface->pitch + r.x0 * 4,
                      m_surface->pitch);
    m_pushed.push_back(r);
  }
  // The back buffer holds nothing reliable after a present: the whole window is drawn.
  const Letterbox& box = m_push.Box();
  SDL_SetRenderDrawColor(m_windowRenderer, 0, 0, 0, 255);
  SDL_RenderClear(m_windowRenderer);
  const SDL_Rect dst{box.x, box.y, box.w, box.h};
  SDL_RenderCopy(m_windowRenderer, m_stream, nullptr, &dst);
  SDL_RenderPresent(m_windowRenderer);
}

Letterbox RenderDevice::PresentBox() const {
  if (!m_window) return Letterbox::Fit(m_width, m_height, m_width, m_height);
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

void RenderDevice::SetDirtyTracking(bool on) {
  on = on && m_surface != nullptr;
  if (on == m_tracking) return;
  if (m_inFrame) {
    Interrupt();
    m_inFrame = false;
  }
  m_tracking = on;
  m_prevValid = false;
}

SDL_Renderer* RenderDevice::Sdl() {
  SetDirtyTracking(false);
  m_sdlClipKnown = false;  // the caller may set its own
  return m_renderer;
}

void RenderDevice::ClearRect(const IRect& r, std::uint32_t argb) {
  Flush();
  auto* target = static_cast<std::uint8_t*>(m_surface->pixels);
  for (int y = r.y0; y < r.y1; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(target + static_cast<std::size_t>(y) *
                                                              m_surface->pitch);
    std::fill(row + r.x0, row + r.x1, argb);
  }
}

void RenderDevice::Replay(const IRect& r) {
  // Whatever lies under the last opaque command covering r is hidden: start there, no clear.
  std::size_t first = 0;
  bool covered = false;
  for (std::size_t i = m_commands.Size(); i-- > 0;) {
    const FrameCommands::Brief& b = m_commands.BriefAt(i);
    if (b.opaque && b.bounds.Contains(r)) {
      first = i;
      covered = true;
      break;
    }
  }
  if (!covered) ClearRect(r, m_clear);
  for (std::size_t i = first; i < m_commands.Size(); ++i) {
    if (!m_commands.BriefAt(i).bounds.Intersects(r)) continue;
    const DrawCommand& c = m_commands[i];
    // What SDL draws may depend on the clip: those are drawn whole (r was grown to hold them).
    Execute(c, c.clipSafe ? c.key.clip.Intersect(r) : c.key.clip);
  }
}

void RenderDevice::ReplayInFull() { Replay(IRect{0, 0, m_width, m_height}); }

void RenderDevice::Interrupt() {
  if (!m_inFrame || m_immediate) return;
  ReplayInFull();
  m_immediate = true;
}

void RenderDevice::EndTrackedFrame() {
  m_inFrame = false;
  m_dirty.Clear();
  const IRect screen{0, 0, m_width, m_height};
  if (m_immediate) {
    m_dirty.Add(screen);
    ++m_stats.interrupted;
  } else {
    if (!m_prevValid || m_clear != m_prevClear)
      m_dirty.Add(screen);
    else
      m_commands.AddChangedBounds(m_dirty);
    // A command SDL draws is drawn whole wherever it is touched; that may touch others.
    for (bool grown = !m_dirty.Empty(); grown;) {
      grown = false;
      for (std::size_t i = 0; i < m_commands.Size(); ++i) {
        const FrameCommands::Brief& c = m_commands.BriefAt(i);
        if (c.clipSafe || !m_dirty.Touches(c.bounds) || m_dirty.Covers(c.bounds)) continue;
        m_dirty.Add(c.bounds);
        grown = true;
      }
    }
    for (const IRect& r : m_dirty.Rects()) Replay(r);
  }
  Flush();
  const long long area = m_dirty.Area();
  ++m_stats.frames;
  m_stats.redrawnPixels += static_cast<std::uint64_t>(area);
  m_stats.lastRedrawnPixels = area;
  if (area == screen.Area()) ++m_stats.fullFrames;
  if (area == 0) ++m_stats.unchangedFrames;
  if (m_verify) VerifyFrame();
  m_commands.NextFrame();
  std::swap(m_runs, m_lastRuns);
  m_runs.clear();
  std::swap(m_movableRuns, m_lastMovableRuns);
  m_movableRuns.clear();
  std::swap(m_runCalls, m_lastRunCalls);
  m_runCalls.clear();
  m_prevValid = true;
  m_prevClear = m_clear;
}

void RenderDevice::VerifyFrame() {
  const std::size_t w = static_cast<std::size_t>(m_width);
  m_verifyCopy.resize(w * m_height);
  const auto* target = static_cast<const std::uint8_t*>(m_surface->pixels);
  for (int y = 0; y < m_height; ++y)
    std::memcpy(&m_verifyCopy[y * w], target + static_cast<std::size_t>(y) * m_surface->pitch,
                w * sizeof(std::uint32_t));
  // The frame again the old way: clear everything, then every call with its own clip.
  const IRect screen{0, 0, m_width, m_height};
  ClearRect(screen, m_clear);
  for (std::size_t i = 0; i < m_commands.Size(); ++i) Execute(m_commands[i], m_commands[i].key.clip);
  Flush();
  std::uint64_t wrong = 0;
  for (int y = 0; y < m_height; ++y) {
    const auto* row =
        reinterpret_cast<const std::uint32_t*>(target + static_cast<std::size_t>(y) * m_surface->pitch);
    for (std::size_t x = 0; x < w; ++x) wrong += row[x] != m_verifyCopy[y * w + x];
  }
  if (wrong) {
    ++m_stats.mismatchedFrames;
    m_stats.mismatchedPixels += wrong;
  }
}

void RenderDevice::Flush() const { SDL_RenderFlush(m_renderer); }

std::uint32_t RenderDevice::ReadPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
  const_cast<RenderDevice*>(this)->Interrupt();  // what was drawn so far, on the surface
  Flush();
  const auto* row = static_cast<const std::uint8_t*>(m_surface->pixels) +
                    static_cast<std::size_t>(y) * m_surface->pitch;
  return reinterpret_cast<const std::uint32_t*>(row)[x];
}

bool RenderDevice::SavePng(const std::string& path) const {
  const_cast<RenderDevice*>(this)->Interrupt();
  Flush();
  return IMG_SavePNG(m_surface, path.c_str()) == 0;
}

}  // namespace plat

HTEXTURE HGE::Texture_CreateShared(int width, int height,
                                   std::shared_ptr<const std::vector<std::uint32_t>> pixels) {
  if (!pixels || width <= 0 || height <= 0 ||
      pixels->size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return 0;
  const HTEXTURE tex = Texture_Create(width, height);
  std::uint32_t* dst = tex ? Texture_Lock(tex, false) : nullptr;
  if (!dst) {
    if (tex) Texture_Free(tex);
    return 0;
  }
  const int pitch = Texture_GetWidth(tex);
  for (int y = 0; y < height; ++y)
    std::memcpy(dst + static_cast<std::size_t>(y) * pitch,
                pixels->data() + static_cast<std::size_t>(y) * width,
                static_cast<std::size_t>(width) * sizeof(std::uint32_t));
  Texture_Unlock(tex);
  return tex;
}

HGE* hgeCreate(int version) {
  using plat::RenderDevice;
  if (version != HGE_VERSION) return nullptr;
  if (plat::g_override) return plat::g_override;
  RenderDevice* device = plat::g_liveDevices ? plat::g_liveDevices->back() : nullptr;
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
