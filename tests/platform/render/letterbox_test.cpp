// The game picture in a window of any size: aspect kept, centred, and the pointer mapped back.
#include <gtest/gtest.h>

#include "platform/render/letterbox.h"

namespace {

using plat::Letterbox;

TEST(Letterbox, FitsTheLargestPictureOfTheGamesAspectCentred) {
  const struct {
    int ww, wh, x, y, w, h;
  } cases[] = {
      {1280, 720, 0, 0, 1280, 720},     // the game's own size
      {1920, 1080, 0, 0, 1920, 1080},   // full HD: no bars
      {1000, 1000, 0, 219, 1000, 562},  // square: bars above and below
      {2000, 720, 360, 0, 1280, 720},   // wide: bars left and right
      {1281, 720, 0, 0, 1280, 720},     // one spare column goes to the right bar
      {640, 480, 0, 60, 640, 360},
      {1, 1, 0, 0, 1, 0},               // too small to show anything
  };
  for (const auto& c : cases) {
    const Letterbox box = Letterbox::Fit(1280, 720, c.ww, c.wh);
    EXPECT_EQ(box.x, c.x) << c.ww << "x" << c.wh;
    EXPECT_EQ(box.y, c.y) << c.ww << "x" << c.wh;
    EXPECT_EQ(box.w, c.w) << c.ww << "x" << c.wh;
    EXPECT_EQ(box.h, c.h) << c.ww << "x" << c.wh;
  }
  EXPECT_TRUE(Letterbox::Fit(1280, 720, 1280, 720).IsIdentity());
  EXPECT_TRUE(Letterbox::Fit(1280, 720, 0, 0).Empty());  // minimised
  EXPECT_TRUE(Letterbox::Fit(1280, 720, -5, 300).Empty());
  EXPECT_TRUE(Letterbox::Fit(0, 720, 800, 600).Empty());
}

TEST(Letterbox, MapsWindowPointsBackToGamePixels) {
  const Letterbox box = Letterbox::Fit(1280, 720, 1000, 1000);  // picture 1000 x 562 at y 219
  int gx = -1, gy = -1;
  box.WindowToGame(0, 219, &gx, &gy);
  EXPECT_EQ(gx, 0);
  EXPECT_EQ(gy, 0);
  box.WindowToGame(999, 219 + 561, &gx, &gy);
  EXPECT_EQ(gx, 1279);
  EXPECT_EQ(gy, 719);
  box.WindowToGame(500, 219 + 281, &gx, &gy);
  EXPECT_NEAR(gx, 640, 1);
  EXPECT_NEAR(gy, 360, 1);
  // In the bars: clamped to the picture's edge, never outside the game.
  box.WindowToGame(-40, 5, &gx, &gy);
  EXPECT_EQ(gx, 0);
  EXPECT_EQ(gy, 0);
  box.WindowToGame(5000, 999, &gx, &gy);
  EXPECT_EQ(gx, 1279);
  EXPECT_EQ(gy, 719);
}

TEST(Letterbox, IdentityAndDoubleSizeMapExactly) {
  const Letterbox same = Letterbox::Fit(1280, 720, 1280, 720);
  const Letterbox twice = Letterbox::Fit(1280, 720, 2560, 1440);
  for (int x : {0, 1, 639, 1279}) {
    for (int y : {0, 1, 359, 719}) {
      int gx = 0, gy = 0;
      same.WindowToGame(x, y, &gx, &gy);
      EXPECT_EQ(gx, x);
      EXPECT_EQ(gy, y);
      twice.WindowToGame(2 * x + 1, 2 * y, &gx, &gy);
      EXPECT_EQ(gx, x);
      EXPECT_EQ(gy, y);
    }
  }
  int gx = 7, gy = 7;
  Letterbox::Fit(1280, 720, 0, 0).WindowToGame(10, 10, &gx, &gy);  // nothing shown
  EXPECT_EQ(gx, 0);
  EXPECT_EQ(gy, 0);
}

}  // namespace
