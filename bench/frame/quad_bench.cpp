// Where the software renderer spends a frame: one alpha-blended 290 x 240
// picture drawn as textured geometry (how the device draws every quad) and
// as a plain texture copy of the same rectangle.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/render/renderdevice.h"

namespace {

constexpr int kW = 290, kH = 240;
constexpr int kIndices[6] = {0, 1, 2, 0, 2, 3};

struct Scene {
  std::unique_ptr<plat::RenderDevice> device = plat::RenderDevice::CreateHeadless(1280, 720);
  SDL_Texture* texture = nullptr;
  Scene() {
    texture = SDL_CreateTexture(device->Sdl(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kW, kH);
    std::vector<std::uint32_t> pixels(kW * kH, 0x80FF8040u);  // half transparent
    SDL_UpdateTexture(texture, nullptr, pixels.data(), kW * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  }
  ~Scene() { SDL_DestroyTexture(texture); }
};

void BM_QuadAsGeometry(benchmark::State& state) {
  Scene s;
  const SDL_Color white{255, 255, 255, 255};
  const SDL_Vertex v[4] = {{{100, 100}, white, {0, 0}},
                           {{100 + kW, 100}, white, {1, 0}},
                           {{100 + kW, 100 + kH}, white, {1, 1}},
                           {{100, 100 + kH}, white, {0, 1}}};
  for (auto _ : state) {
    SDL_RenderGeometry(s.device->Sdl(), s.texture, v, 4, kIndices, 6);
    SDL_RenderFlush(s.device->Sdl());
  }
}
BENCHMARK(BM_QuadAsGeometry)->Unit(benchmark::kMicrosecond);

void BM_QuadAsCopy(benchmark::State& state) {
  Scene s;
  const SDL_Rect dst{100, 100, kW, kH};
  for (auto _ : state) {
    SDL_RenderCopy(s.device->Sdl(), s.texture, nullptr, &dst);
    SDL_RenderFlush(s.device->Sdl());
  }
}
BENCHMARK(BM_QuadAsCopy)->Unit(benchmark::kMicrosecond);

}  // namespace
