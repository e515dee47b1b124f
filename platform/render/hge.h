#pragma once
// The renderer interface the game's drawing code is written against (HGE style).
//
// Callers may rely on:
//  - hgeCreate(HGE_VERSION) returns the current device and counts a reference; every such
//    pointer is given back with Release(). Any other version gives nullptr. With no device yet
//    a headless 1280 x 720 one is created; that implicit device is destroyed by the Release that
//    drops its last reference. A device made with plat::RenderDevice::Create* belongs to its
//    owner and must outlive every pointer handed out for it.
//  - Colours are 32-bit ARGB (0xAARRGGBB). Coordinates are screen pixels, origin top-left.
//  - Drawing never crashes on bad handles: an unknown or freed texture draws nothing and
//    reports width/height 0 and a null lock.
//  - Single UI thread: no call is synchronised.
#include <cstdint>
#include <memory>
#include <vector>

using HTEXTURE = std::uintptr_t;
constexpr int HGE_VERSION = 0x180;

enum {
  BLEND_COLORMUL = 0,    // vertex colour multiplies the texture
  BLEND_COLORADD = 1,    // accepted; drawn like BLEND_COLORMUL (SDL has no additive vertex colour)
  BLEND_ALPHABLEND = 2,  // source-over alpha blending
  BLEND_ALPHAADD = 0,    // additive blending (when BLEND_ALPHABLEND is not set)
  BLEND_NOZWRITE = 0,
  BLEND_DEFAULT = BLEND_COLORMUL | BLEND_ALPHABLEND
};

struct hgeVertex {
  float x, y, z;      // screen position; z is ignored
  std::uint32_t col;  // ARGB
  float tx, ty;       // texture coordinates 0..1
};

struct hgeQuad {
  hgeVertex v[4];  // top-left, top-right, bottom-right, bottom-left
  HTEXTURE tex;    // 0 = untextured (vertex colours only)
  int blend;       // BLEND_* flags
};

class HGE {
 public:
  // Gives back one reference from hgeCreate.
  virtual void Release() = 0;
  // Seconds of the last frame (set by the frame loop).
  virtual float Timer_GetDelta() = 0;
  // Clip rectangle in screen coordinates, clamped to the screen. All four 0 = whole screen.
  // A rectangle that is empty (or negative, or off screen) makes later drawing draw nothing.
  virtual void Gfx_SetClipping(int x = 0, int y = 0, int w = 0, int h = 0) = 0;
  // Any quad (rotated, scaled, sheared); the vertex colours multiply the texture; alpha
  // blending when quad->blend has BLEND_ALPHABLEND.
  virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;
  virtual void Gfx_RenderLine(float x1, float y1, float x2, float y2,
                              std::uint32_t color = 0xFFFFFFFF) = 0;
  // 0 on failure (size <= 0 or too large); contents fully transparent (0x00000000).
  virtual HTEXTURE Texture_Create(int width, int height) = 0;
  // A texture of pixels the caller shares instead of copying (width * height ARGB values, rows
  // width apart), which the caller must not change while it holds them shared. A writable lock
  // gives the texture its own copy first. 0 on failure or when pixels is too small. The default
  // copies them into Texture_Create's texture.
  virtual HTEXTURE Texture_CreateShared(int width, int height,
                                        std::shared_ptr<const std::vector<std::uint32_t>> pixels);
  // Full file path; any format SDL2_image reads. 0 if missing or unreadable.
  virtual HTEXTURE Texture_Load(const char* path) = 0;
  virtual void Texture_Free(HTEXTURE tex) = 0;
  // Row width in pixels of the locked memory (never smaller than asked); 0 for a bad handle.
  virtual int Texture_GetWidth(HTEXTURE tex, bool original = false) = 0;
  virtual int Texture_GetHeight(HTEXTURE tex, bool original = false) = 0;
  // Pointer to pixel (left, top) of the texture's ARGB pixels; rows are Texture_GetWidth pixels
  // apart. width or height 0 = the whole texture. The memory holds the texture's current
  // contents (readable). Unless readOnly, the locked rectangle is uploaded on Unlock.
  // nullptr for a bad handle, a rectangle outside the texture, or a texture already locked.
  virtual std::uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly = true, int left = 0,
                                      int top = 0, int width = 0, int height = 0) = 0;
  virtual void Texture_Unlock(HTEXTURE tex) = 0;
  // SDL_Window* of the game window, nullptr when headless.
  virtual void* System_GetWindowHandle() = 0;
  // A number that no other device of this process has had, or 0 when the device has none:
  // what was made for a device at some address is its own while this number is the same.
  virtual std::uint64_t Instance() const { return 0; }

  // A run of draw calls that the same inputs always turn into the same quads (a text: its
  // characters, place, colours and glyph pages). The key must hold all of those inputs, exactly
  // (no hash): equal keys mean equal calls. Between Gfx_BeginRun and Gfx_EndRun the caller makes
  // its calls; a later frame may then call Gfx_RepeatRun with the same key at the same place of
  // its calls instead: true means the device took the last frame's calls again and the caller
  // makes none. Devices that do not keep frames answer false and ignore runs.
  struct RunKey {
    std::uint64_t words[8];
  };
  virtual bool Gfx_RepeatRun(const RunKey& key) {
    (void)key;
    return false;
  }
  virtual void Gfx_BeginRun(const RunKey& key) { (void)key; }
  virtual void Gfx_EndRun() {}

  // A run whose calls depend on an origin (x, y) only by having it added to every position (a
  // text that scrolls): the key holds all the other inputs. Gfx_BeginRunAt opens it with the
  // origin the caller draws from, Gfx_EndRun closes it. A later frame may call Gfx_RepeatRunAt
  // with the same key and any origin: true means the device drew the last frame's calls of that
  // run moved by the difference of the origins (as the caller's calls would have drawn) and the
  // caller makes none. Devices take over only where the move is exact (whole pixels).
  virtual bool Gfx_RepeatRunAt(const RunKey& key, float x, float y) {
    (void)key;
    (void)x;
    (void)y;
    return false;
  }
  virtual void Gfx_BeginRunAt(const RunKey& key, float x, float y) {
    (void)key;
    (void)x;
    (void)y;
  }

 protected:
  virtual ~HGE() = default;
};

// The shared current device (one reference more), nullptr for a version other than HGE_VERSION.
HGE* hgeCreate(int version);

namespace plat {
// Tests: while set, hgeCreate returns this object (its Release is the fake's business).
// nullptr restores the real devices.
void SetHgeOverride(HGE* fake);
// Whether `device` is a render device alive now (or the test override): a pointer to one that is
// gone must not be used.
bool IsLiveDevice(const HGE* device);
}  // namespace plat
