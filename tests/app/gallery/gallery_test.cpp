#include <gtest/gtest.h>

#include "app/gallery/galleryoptions.h"
#include "app/gallery/galleryscreen.h"
#include "tests/platform/toolkit/toolkittestsupport.h"

namespace {

TEST(GalleryOptionsTest, ReadsTheProgramOptionsAndRefusesBadOnes) {
  gallery::Options o;
  std::string error;
  ASSERT_TRUE(gallery::ParseOptions({"--headless", "--frames", "5", "--screenshot", "a.png", "--assets", "d"},
                                    &o, &error));
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 5);
  EXPECT_EQ(o.screenshot, "a.png");
  EXPECT_EQ(o.assets, "d");
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--frames", "0"}, {"--frames", "3x"}, {"--frames"}, {"--bogus"},
        {"--frames", "99999999999"}}) {
    EXPECT_FALSE(gallery::ParseOptions(bad, &o, &error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(GalleryScreenTest, TheDemoInputClicksTypesAndHovers) {
  auto device = plat::RenderDevice::CreateHeadless(gallery::GalleryScreen::kWidth, gallery::GalleryScreen::kHeight);
  plat::FakeClock clock(0);
  plat::ScopedClock useClock(&clock);
  plat::GuiRunner runner;
  gallery::GalleryScreen screen;
  runner.SetTop(&screen);
  screen.QueueDemoInput(runner.Input());
  for (int i = 0; i < 3; ++i) {
    runner.Logic();
    device->BeginFrame(0.0f);
    runner.Draw();
    device->EndFrame();
  }
  EXPECT_EQ(screen.Clicks(), 2);  // the disabled button's click is ignored
  EXPECT_EQ(screen.LastCommand(), gallery::GalleryScreen::kBtnClick);
  EXPECT_EQ(runner.Input().Pending(), 0u);
}

}  // namespace
