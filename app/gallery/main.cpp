// The screen gallery: draws the toolkit's test screen headless (to a PNG) or in a window.
#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/gallery/galleryoptions.h"
#include "app/gallery/galleryscreen.h"
#include "platform/render/renderdevice.h"
#include "platform/text/assetpath.h"
#include "testing/fakeclock.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/runtime.h"

namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr std::uint64_t kFrameMs = 16;
constexpr const char* kDefaultHeadlessShot = "velmora-gallery.png";

void RunFrame(plat::RenderDevice& device, plat::Runtime& runtime, plat::GuiRunner& runner) {
  runtime.Timers().Dispatch(plat::GetClock().NowMs());
  runner.Logic();
  device.BeginFrame(kFrameSeconds);
  runner.Draw();
  device.EndFrame();
}

int Finish(const plat::RenderDevice& device, const std::string& shot, const gallery::GalleryScreen& screen) {
  std::printf("gallery: %d clicks (last command %d), %d timer ticks\n", screen.Clicks(), screen.LastCommand(),
              screen.Ticks());
  if (shot.empty()) return 0;
  if (!device.SavePng(shot)) {
    std::fprintf(stderr, "gallery: cannot write %s\n", shot.c_str());
    return 1;
  }
  std::printf("gallery: wrote %s\n", shot.c_str());
  return 0;
}

int RunHeadless(const gallery::Options& o) {
  auto device = plat::RenderDevice::CreateHeadless(gallery::GalleryScreen::kWidth, gallery::GalleryScreen::kHeight);
  if (!device) {
    std::fprintf(stderr, "gallery: cannot make a headless renderer\n");
    return 1;
  }
  // Headless time is frame time, so every run draws the same screen.
  plat::FakeClock clock(0);
  plat::ScopedClock useClock(&clock);
  plat::Runtime runtime;
  gallery::GalleryScreen screen;
  plat::GuiRunner runner;
  runner.SetTop(&screen);
  screen.QueueDemoInput(runner.Input());
  const int frames = o.frames > 0 ? o.frames : gallery::kDefaultHeadlessFrames;
  for (int i = 0; i < frames; ++i) {
    RunFrame(*device, runtime, runner);
    clock.Advance(kFrameMs);
  }
  return Finish(*device, o.screenshot.empty() ? kDefaultHeadlessShot : o.screenshot, screen);
}

int RunWindowed(const gallery::Options& o) {
  std::string error;
  auto device = plat::RenderDevice::CreateWindowed("Velmora gallery", gallery::GalleryScreen::kWidth,
                                                   gallery::GalleryScreen::kHeight, &error);
  if (!device) {
    std::fprintf(stderr, "gallery: no window (%s); running headless\n", error.c_str());
    return RunHeadless(o);
  }
  plat::Runtime runtime;
  gallery::GalleryScreen screen;
  plat::GuiRunner runner;
  runner.SetTop(&screen);
  screen.QueueDemoInput(runner.Input());
  SDL_StartTextInput();
  bool running = true;
  for (int frame = 0; running && (o.frames == 0 || frame < o.frames); ++frame) {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
      if (ev.type == SDL_QUIT) running = false;
      runner.Input().PushEvent(ev);
    }
    RunFrame(*device, runtime, runner);
    SDL_Delay(static_cast<Uint32>(kFrameMs));
  }
  return Finish(*device, o.screenshot, screen);
}

}  // namespace

int main(int argc, char** argv) {
  gallery::Options o;
  std::string error;
  if (!gallery::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &o, &error)) {
    std::fprintf(stderr, "gallery: %s\n%s", error.c_str(), gallery::Usage());
    return 2;
  }
  if (o.help) {
    std::printf("%s", gallery::Usage());
    return 0;
  }
  plat::SetAssetRoot(o.assets.empty() ? std::string(VELMORA_ASSET_DIR) : o.assets);
  return o.headless ? RunHeadless(o) : RunWindowed(o);
}
