#include "platform/render/letterbox.h"

#include <algorithm>

namespace plat {

Letterbox Letterbox::Fit(int gameW, int gameH, int windowW, int windowH) {
  Letterbox box;
  box.gameWidth = gameW;
  box.gameHeight = gameH;
  if (gameW <= 0 || gameH <= 0 || windowW <= 0 || windowH <= 0) return box;
  // Compare windowW / windowH with gameW / gameH without rounding: 64-bit cross products.
  const long long wide = static_cast<long long>(windowW) * gameH;
  const long long tall = static_cast<long long>(windowH) * gameW;
  if (wide >= tall) {  // bars left and right
    box.h = windowH;
    box.w = static_cast<int>(tall / gameH);
  } else {  // bars above and below
    box.w = windowW;
    box.h = static_cast<int>(wide / gameW);
  }
  box.x = (windowW - box.w) / 2;
  box.y = (windowH - box.h) / 2;
  return box;
}

void Letterbox::WindowToGame(int wx, int wy, int* gx, int* gy) const {
  if (Empty()) {
    *gx = 0;
    *gy = 0;
    return;
  }
  // Pixel centres map to pixel centres; the result is clamped into the game picture.
  const long long px = (2LL * (wx - x) + 1) * gameWidth / (2LL * w);
  const long long py = (2LL * (wy - y) + 1) * gameHeight / (2LL * h);
  *gx = static_cast<int>(std::clamp<long long>(px, 0, gameWidth - 1));
  *gy = static_cast<int>(std::clamp<long long>(py, 0, gameHeight - 1));
}

}  // namespace plat
