// Ownership of the toolkit's state: what a runtime holds dies with it, and widgets that outlive
// it (as the game's static windows do) neither lose their way nor touch what is gone.
#include <gtest/gtest.h>

#include <memory>

#include "platform/toolkit/orvhgebutton.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"
#include "platform/toolkit/runtime.h"
#include "tests/platform/toolkit/toolkittestsupport.h"
#include "testing/fakeclock.h"

namespace {

using tktest::RecordingWindow;

TEST(RuntimeTest, TheNewestIsCurrentAndRuntimesMayDieInAnyOrder) {
  plat::Runtime* const outer = plat::Runtime::Current();
  auto first = std::make_unique<plat::Runtime>();
  auto second = std::make_unique<plat::Runtime>();
  EXPECT_EQ(plat::Runtime::Current(), second.get());
  first.reset();  // not the newest: the newest stays current
  EXPECT_EQ(plat::Runtime::Current(), second.get());
  second.reset();  // the dead first one must not come back
  EXPECT_EQ(plat::Runtime::Current(), outer);

  auto third = std::make_unique<plat::Runtime>();
  third.reset();
  EXPECT_EQ(plat::Runtime::Current(), outer);
}

TEST(RuntimeTest, AWindowOutlivingItsRuntimeStartsAfreshInTheNextOne) {
  plat::FakeClock clock(100);
  plat::ScopedClock useClock(&clock);
  auto inner = std::make_unique<plat::Runtime>();
  auto window = std::make_unique<RecordingWindow>();
  window->SetTimer(1, 100);
  EXPECT_TRUE(window->HasTimer(1));
  inner.reset();  // the timer goes with its runtime
  plat::Runtime& outer = *plat::Runtime::Current();
  EXPECT_FALSE(window->HasTimer(1));
  EXPECT_EQ(outer.Timers().Count(), 0u);

  window->SetTimer(2, 100);
  clock.Advance(100);
  EXPECT_EQ(outer.Timers().Dispatch(clock.NowMs()), 1u);
  EXPECT_EQ(window->timers, std::vector<unsigned>({2}));
  window.reset();  // under AddressSanitizer a touch of the dead queue would be reported
  EXPECT_EQ(outer.Timers().Count(), 0u);
}

TEST(RuntimeTest, ClicksQueuedInARuntimeDieWithIt) {
  RecordingWindow parent;
  OrvHgeButton button(&parent, 7, "", 0, 0, false);
  {
    plat::Runtime inner;
    inner.Clicks().Push(&button);
    parent.logic();  // delivers through the current runtime
    EXPECT_EQ(parent.commands, std::vector<int>({7}));
    inner.Clicks().Push(&button);
  }
  parent.logic();
  EXPECT_EQ(parent.commands, std::vector<int>({7}));
  EXPECT_TRUE(plat::Runtime::Current()->Clicks().Empty());
}

// Images cached by a runtime and the marks it put on a device are given back when it dies, while
// an image still held elsewhere keeps its pixels.
TEST(RuntimeTest, DyingGivesBackCachedImagesAndDeviceMarks) {
  tktest::TempDir dir;
  const std::string path = tktest::WriteStrip(dir, "red.png", 8, 8, {0xFFFF0000u});
  auto device = plat::RenderDevice::CreateHeadless(64, 64);
  ASSERT_NE(device, nullptr);
  const std::size_t before = device->TextureCount();
  std::unique_ptr<OrvHgeImage> kept;
  {
    plat::Runtime inner;
    OrvHgeGraphics g(device.get());
    auto dropped = std::make_unique<OrvHgeImage>(path.c_str(), false);
    kept = std::make_unique<OrvHgeImage>(path.c_str(), false);
    EXPECT_EQ(inner.Textures().Size(), 1u);  // both share one decoded picture
    device->BeginFrame(0.0f, tktest::kBackground);
    g._beginDraw();
    g.drawImage(dropped.get(), 0, 0);
    g._endDraw();
    device->EndFrame();
    EXPECT_GT(device->TextureCount(), before);
    dropped.reset();
  }
  // The mark is gone; the picture's copy lives on with the image that still holds it.
  EXPECT_EQ(device->TextureCount(), before + 1);
  ASSERT_TRUE(kept->IsValid());
  EXPECT_EQ(kept->getWidth(), 8);
  kept.reset();
  plat::ForgetRenderDevice(device.get());
}

}  // namespace
