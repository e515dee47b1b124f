#pragma once
// Where a fixed-size game picture goes in a window of any size: scaled as large as fits with
// its aspect kept, centred, the rest black bars. Window points map back to game pixels through
// the same transform, so the pointer hits what it is drawn over.
namespace plat {

struct Letterbox {
  int gameWidth = 0;
  int gameHeight = 0;
  // The picture's rectangle in window pixels.
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;

  // The largest rectangle of the game's aspect that fits in the window, centred. A window
  // with no area (minimised) gives an empty rectangle.
  static Letterbox Fit(int gameW, int gameH, int windowW, int windowH);

  bool Empty() const { return w <= 0 || h <= 0; }
  // Game pixel under a window point (outside the picture: clamped to its edge).
  void WindowToGame(int wx, int wy, int* gx, int* gy) const;
  // Whether the picture covers the window exactly, pixel for pixel.
  bool IsIdentity() const { return x == 0 && y == 0 && w == gameWidth && h == gameHeight; }
};

}  // namespace plat
