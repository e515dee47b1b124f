// Reference for the windowed cost: a 1280x720 window that presents one static full-screen texture
// 60 times a second through SDL's default renderer, and updates a 495x20 strip of it each frame
// (what a scrolling notice band needs). The floor a 2D game pays just to be on screen.
// present_floor [SECONDS [WINDOW_X]]: WINDOW_X places the window (default: centred), so that it can
// share a display with the game without covering it.
#include <SDL2/SDL.h>
#include <stdlib.h>
#include <string.h>
int main(int argc, char** argv) {
  int seconds = argc > 1 ? atoi(argv[1]) : 20;
  int wx = argc > 2 ? atoi(argv[2]) : SDL_WINDOWPOS_CENTERED;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* w = SDL_CreateWindow("floor", wx, SDL_WINDOWPOS_CENTERED, 1280, 720, SDL_WINDOW_SHOWN);
  SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_ACCELERATED);
  if (!r) r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
  SDL_Texture* t = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, 1280, 720);
  static Uint32 px[1280 * 720];
  for (int i = 0; i < 1280 * 720; ++i) px[i] = 0xFF800000u | (i & 0xFF);
  SDL_UpdateTexture(t, NULL, px, 1280 * 4);
  Uint32 end = SDL_GetTicks() + seconds * 1000u;
  int frame = 0;
  while (SDL_GetTicks() < end) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {}
    SDL_Rect band = {250, 78, 495, 20};
    for (int y = 0; y < 20; ++y) for (int x = 0; x < 495; ++x) px[(78 + y) * 1280 + 250 + x] = 0xFF000000u | ((x + frame) & 0xFF);
    SDL_UpdateTexture(t, &band, px + 78 * 1280 + 250, 1280 * 4);
    SDL_RenderCopy(r, t, NULL, NULL);
    SDL_RenderPresent(r);
    ++frame;
    SDL_Delay(16);
  }
  SDL_DestroyTexture(t); SDL_DestroyRenderer(r); SDL_DestroyWindow(w); SDL_Quit();
  return 0;
}
