#pragma once
// The SDL2 implementation of HGE. A software renderer draws into an ARGB8888 surface of the
// game's size, headless (no display, no SDL_Init) and windowed alike; windowed, EndFrame pushes
// the rectangles that changed into the window.
//
// Callers may rely on:
//  - a device makes itself the current one (hgeCreate returns it) from creation until it is
//    destroyed; then the device created before it (if still alive) is current again;
//  - BeginFrame resets the clip to the whole screen and clears; EndFrame presents (windowed)
//    or just finishes pending drawing (headless); ReadPixel/SavePng see everything drawn so far;
//  - textures belong to the device that made them and die with it;
//  - windowed, the game is drawn at its own size and EndFrame scales what changed into the
//    window with its aspect kept and black bars (Letterbox); the window may have any size.
//    Nothing is pushed while it is minimised or when nothing changed; after a resize, an expose
//    or a restore the whole window is pushed again.
//
// A frame between BeginFrame and EndFrame is kept as a list of draw commands and
// drawn at EndFrame, and only where it differs from the frame before (see dirtyregion.h); the
// pixels are the same as drawing every call as it comes. Reading pixels, a writable lock or a
// free of a texture already drawn in the frame, or Sdl() in the middle of a frame draw what was
// kept in full and the rest of that frame as it comes.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include <vector>

#include "platform/render/devicetexture.h"
#include "platform/render/dirtyregion.h"
#include "platform/render/hge.h"
#include "platform/render/letterbox.h"
#include "platform/render/windowpush.h"

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;
struct SDL_Window;
union SDL_Event;
struct SDL_Rect;

namespace plat {

class RenderDevice final : public HGE {
 public:
  static constexpr int kDefaultWidth = 1280;
  static constexpr int kDefaultHeight = 720;

  // nullptr when the surface or renderer cannot be made (or w, h <= 0).
  static std::unique_ptr<RenderDevice> CreateHeadless(int w, int h);
  // How a window is given its changed rectangles: the window's own surface updated by
  // rectangles, or a streaming texture updated by rectangles and drawn by SDL's renderer.
  // kFromEnvironment reads VELMORA_PRESENT ("surface" or "texture"; default surface).
  enum class Present { kFromEnvironment, kWindowSurface, kStreamingTexture };
  // Initialises SDL video when needed; nullptr with *error set (if given) on failure. When
  // the chosen way cannot be set up, the other one is used.
  static std::unique_ptr<RenderDevice> CreateWindowed(const char* title, int w, int h,
                                                      std::string* error,
                                                      Present present = Present::kFromEnvironment);
  ~RenderDevice() override;
  RenderDevice(const RenderDevice&) = delete;
  RenderDevice& operator=(const RenderDevice&) = delete;

  // HGE
  void Release() override;
  float Timer_GetDelta() override { return m_delta; }
  void Gfx_SetClipping(int x = 0, int y = 0, int w = 0, int h = 0) override;
  void Gfx_RenderQuad(const hgeQuad* quad) override;
  void Gfx_RenderLine(float x1, float y1, float x2, float y2,
                      std::uint32_t color = 0xFFFFFFFF) override;
  HTEXTURE Texture_Create(int width, int height) override;
  HTEXTURE Texture_CreateShared(int width, int height,
                                std::shared_ptr<const std::vector<std::uint32_t>> pixels) override;
  HTEXTURE Texture_Load(const char* path) override;
  void Texture_Free(HTEXTURE tex) override;
  int Texture_GetWidth(HTEXTURE tex, bool original = false) override;
  int Texture_GetHeight(HTEXTURE tex, bool original = false) override;
  std::uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly = true, int left = 0, int top = 0,
                              int width = 0, int height = 0) override;
  void Texture_Unlock(HTEXTURE tex) override;
  void* System_GetWindowHandle() override;
  std::uint64_t Instance() const override { return m_instance; }
  bool Gfx_RepeatRun(const RunKey& key) override;
  void Gfx_BeginRun(const RunKey& key) override;
  void Gfx_EndRun() override;
  bool Gfx_RepeatRunAt(const RunKey& key, float x, float y) override;
  void Gfx_BeginRunAt(const RunKey& key, float x, float y) override;

  // Frame
  void BeginFrame(float deltaSeconds, std::uint32_t clearArgb = 0xFF000000);
  void EndFrame();
  void SetDelta(float seconds) { m_delta = seconds; }

  // Windowed: where the game picture stands in the window (window coordinates, as mouse
  // events give them). Headless: the identity.
  Letterbox PresentBox() const;
  void WindowToGame(int wx, int wy, int* gx, int* gy) const { PresentBox().WindowToGame(wx, wy, gx, gy); }
  bool IsMinimized() const;
  // Windowed: between a window and the desktop's full screen. Answers the new state.
  bool ToggleFullscreen();
  bool IsFullscreen() const;

  // Pixels of the current frame (ARGB); 0 outside the screen.
  std::uint32_t ReadPixel(int x, int y) const;
  bool SavePng(const std::string& path) const;
  // Filled rectangle with alpha blending, clipped like every other drawing.
  void FillRect(int x, int y, int w, int h, std::uint32_t argb);

  // Redrawing only what changed (headless; on by default unless VELMORA_FULL_REDRAW is set to
  // something other than 0). Off, every call is drawn as it comes after a full clear.
  void SetDirtyTracking(bool on);
  bool DirtyTracking() const { return m_tracking; }
  // Checking: after each tracked frame, the frame is drawn again in full, the old way, and
  // compared pixel for pixel (Stats().mismatchedFrames). Costs a full frame; for tests.
  void SetVerifyFrames(bool on) { m_verify = on; }
  struct FrameStats {
    std::uint64_t frames = 0;          // tracked frames ended
    std::uint64_t fullFrames = 0;      // redrawn in full
    std::uint64_t unchangedFrames = 0; // nothing redrawn
    std::uint64_t redrawnPixels = 0;   // summed over the tracked frames
    std::uint64_t interrupted = 0;     // frames drawn in full part way (see above)
    std::uint64_t mismatchedFrames = 0;
    std::uint64_t mismatchedPixels = 0;
    long long lastRedrawnPixels = 0;
  };
  const FrameStats& Stats() const { return m_stats; }
  // The rectangles redrawn by the last tracked frame.

  // Textures drawn scaled (as SDL scales them: nearest texel, source over) keep their scaled
  // pixels, so that drawing them again is a copy and a blend; a texture's copies go when its
  // pixels change or it is freed, and the device keeps at most ScaledCopyLimit() bytes of them
  // (past that, rows are scaled as they are drawn). Off, SDL scales them at every draw.
  void SetScaledCopies(bool on) { m_scaleKept = on; }
  void SetScaledCopyLimit(std::size_t bytes) { m_scaledBudget.limit = bytes; }
  std::size_t ScaledCopyLimit() const { return m_scaledBudget.limit; }
  std::size_t ScaledCopyBytes() const { return m_scaledBudget.used; }
  std::uint64_t ScaledCopiesMade() const { return m_scaledBudget.made; }

  // Windowed: what EndFrame gave the window.
  struct PresentStats {
    std::uint64_t pushes = 0;      // frames that pushed something
    std::uint64_t fullPushes = 0;  // of them, the whole window
    std::uint64_t unchanged = 0;   // frames with nothing to push
    std::uint64_t hidden = 0;      // frames ended while minimised
    std::uint64_t pushedPixels = 0;
  };
  const PresentStats& PresentCounts() const { return m_present; }
  // The window rectangles the last push wrote (window surface) or the game rectangles it
  // uploaded (streaming texture).
  const std::vector<IRect>& LastPushedRects() const { return m_pushed; }
  Present PresentMethod() const {
    return m_stream ? Present::kStreamingTexture : Present::kWindowSurface;
  }

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // Drawing straight through SDL bypasses the kept commands: the first call turns tracking off.
  SDL_Renderer* Sdl();
  bool IsHeadless() const { return m_window == nullptr; }
  int RefCount() const { return m_refs; }
  // Calls taken over from the last frame as parts of repeated runs (summed over frames).
  std::uint64_t RepeatedRunCalls() const { return m_repeatedRunCalls; }
  // Of them, calls of runs that moved, drawn as the last frame's commands shifted.
  std::uint64_t MovedRunCalls() const { return m_movedRunCalls; }
  std::size_t TextureCount() const { return m_textureCount; }

 private:
  friend HGE* ::hgeCreate(int version);

  RenderDevice(SDL_Window* window, SDL_Surface* surface, SDL_Renderer* renderer, int w, int h,
               bool ownsVideo);
  void AddRef() { ++m_refs; }
  DeviceTexture* Find(HTEXTURE tex);
  const DeviceTexture* Find(HTEXTURE tex) const;
  HTEXTURE Adopt(std::unique_ptr<DeviceTexture> tex);
  void SetDrawBlend(int sdlBlend);
  void SetSdlClip(const IRect& clip);
  IRect CurrentClip() const { return {m_clipX0, m_clipY0, m_clipX1, m_clipY1}; }
  // Fills in what a command draws; false if it draws nothing.
  bool Describe(DrawCommand& c);
  // Keeps c for the frame, or draws it now; false when it draws nothing.
  bool Submit(DrawCommand& c);
  // Keeps the last frame's command at this place again when quad is what it drew.
  bool RepeatsLastFrame(const hgeQuad& quad);
  // Draws c clipped to clip (c's own clip, or a part of it).
  void Execute(const DrawCommand& c, const IRect& clip);
  void BlitUnscaled(const DrawCommand& c, DeviceTexture& texture, const IRect& clip);
  void BlitScaled(const DrawCommand::Placement& p, DeviceTexture& texture, const IRect& clip);
  // pixels (pitch per row) placed as p says, unscaled, inside clip; blended by runs.
  void BlitSpans(const std::uint32_t* pixels, int pitch, const PixelSpans& spans,
                 const DrawCommand::Placement& p, const IRect& clip);
  void ClearRect(const IRect& r, std::uint32_t argb);
  // Draws the kept commands of this frame inside r, on top of the last frame.
  void Replay(const IRect& r);
  void ReplayInFull();
  // The kept commands drawn so far, so that the rest of the frame can be drawn as it comes.
  void Interrupt();
  void EndTrackedFrame();
  void VerifyFrame();
  void Flush() const;
  // Windowed: what changed this frame into the window.
  void PushToWindow(const std::vector<IRect>& changed);
  void PushToSurface(const std::vector<IRect>& changed);
  void PushToTexture(const std::vector<IRect>& changed);
  bool SetUpPresent(Present present);
  static int WatchWindow(void* device, SDL_Event* event);

  std::uint64_t m_instance = 0;
  SDL_Window* m_window = nullptr;
  SDL_Surface* m_surface = nullptr;  // the game picture, drawn by m_renderer
  SDL_Renderer* m_renderer = nullptr;
  // Windowed with a streaming texture: the window's renderer and the texture it scales.
  SDL_Renderer* m_windowRenderer = nullptr;
  SDL_Texture* m_stream = nullptr;
  SDL_Surface* m_windowSurface = nullptr;  // the window surface last pushed to
  PushPlanner m_push;
  std::atomic<bool> m_windowInvalid{false};  // set by window events (expose, resize)
  bool m_watching = false;
  PresentStats m_present;
  std::vector<IRect> m_pushed;
  std::vector<std::uint32_t> m_staging;  // window surfaces of another pixel format
  std::vector<SDL_Rect> m_sdlRects;
  std::vector<IRect> m_wholeScreen;
  int m_width = 0;
  int m_height = 0;
  bool m_ownsVideo = false;  // this device initialised SDL video
  bool m_implicit = false;   // made by hgeCreate; dies with its last reference
  int m_refs = 0;
  float m_delta = 0.0f;
  bool m_clipEmpty = false;
  int m_clipX0 = 0, m_clipY0 = 0, m_clipX1 = 0, m_clipY1 = 0;  // drawable area, end exclusive
  int m_drawBlend = -1;  // SDL blend mode last set for untextured drawing
  IRect m_sdlClip;       // clip last given to SDL
  bool m_sdlClipKnown = false;

  bool m_scaleKept = true;
  ScaledBudget m_scaledBudget;
  std::vector<std::uint32_t> m_scaleRow;  // one row scaled as it is drawn

  // Tracking
  bool m_tracking = false;
  bool m_verify = false;
  bool m_inFrame = false;     // between BeginFrame and EndFrame, tracked
  bool m_immediate = false;   // this frame's commands are drawn as they come
  bool m_prevValid = false;   // the surface holds the last frame drawn over m_prevClear
  std::uint64_t m_repeatedRunCalls = 0;
  std::uint64_t m_movedRunCalls = 0;
  std::uint32_t m_clear = 0, m_prevClear = 0;
  std::uint64_t m_frameNo = 1;
  FrameCommands m_commands;  // this frame's and the last one's
  // Runs of calls recorded this frame and the last (in call order), and the one open now.
  struct Run {
    RunKey key;
    IRect clip;
    std::size_t first = 0, count = 0;
    static constexpr int kMaxTextures = 2;  // a text on more glyph pages is not kept as a run
    HTEXTURE tex[kMaxTextures] = {};
    std::uint64_t version[kMaxTextures] = {};
    bool atOrigin = false;  // opened with an origin: kept only as a movable run
  };
  std::vector<Run> m_runs, m_lastRuns;
  std::size_t m_lastRunAt = 0;  // where the search of m_lastRuns goes on
  bool m_runOpen = false;
  Run m_open;
  // Runs opened with an origin. Each keeps every call it made, in order, described, also the
  // ones its clip dropped (they may come into the clip when the run moves); only runs whose
  // every call is an unscaled textured rectangle on whole pixels are kept.
  struct RunCall {
    DrawCommand command;
    bool drawn = false;  // in the frame's commands (inside the clip)
  };
  struct MovableRun {
    RunKey key;
    IRect clip;
    float x = 0.0f, y = 0.0f;  // the origin it was drawn from
    std::size_t first = 0;     // its first command in the frame's commands
    std::size_t calls = 0, count = 0;  // its calls in m_runCalls
    std::size_t drawn = 0;             // of them, in the frame's commands
  };
  bool m_movableOpen = false;  // the open run was opened with an origin and is still movable
  MovableRun m_openMovable;
  std::vector<MovableRun> m_movableRuns, m_lastMovableRuns;
  std::vector<RunCall> m_runCalls, m_lastRunCalls;
  // Keeps c as a call of the open movable run, or finds that the run cannot move.
  void RecordRunCall(const DrawCommand& c, bool drawn);
  // Whether the last frame's run can be drawn at the origin moved by (dx, dy).
  bool CanMove(const MovableRun& run, float dx, float dy);
  void ForgetRuns();
  RectSet m_dirty;
  std::vector<std::uint32_t> m_verifyCopy;
  FrameStats m_stats;
  // Textures by handle: the low 32 bits index a slot, the high ones are the slot's generation,
  // so that a freed handle never finds the texture that reuses its slot.
  static_assert(sizeof(HTEXTURE) >= 8, "handles carry a generation");
  // What a frame's recording needs of a texture is kept here, so that a repeated draw call
  // does not reach the texture itself.
  struct TextureSlot {
    std::uint32_t generation = 1;
    int width = 0, height = 0;  // the texture's, answered without reaching it
    std::uint64_t version = 0;  // the texture's Version()
    std::uint64_t usedInFrame = 0;  // the frame that last drew it
    std::unique_ptr<DeviceTexture> texture;
  };
  const TextureSlot* FindSlot(HTEXTURE tex) const;
  TextureSlot* FindSlot(HTEXTURE tex);
  std::vector<TextureSlot> m_slots;
  std::vector<std::uint32_t> m_freeSlots;
  std::size_t m_textureCount = 0;
};

}  // namespace plat
