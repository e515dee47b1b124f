// The frame owns the toolkit's state: frames run one after another in one process each start
// fresh, and what a frame made for a device is given back when it goes.
#include "tests/platform/frame/framefixture.h"

#include "platform/render/renderdevice.h"
#include "platform/toolkit/runtime.h"

namespace frametest {
namespace {

// Lives longer than any frame, as the game's static windows do.
class LongLivedWindow : public OrvHgeWindow {
 public:
  void OnTimer(unsigned id) override { fired.push_back(id); }
  std::vector<unsigned> fired;
};

TEST_F(FrameTest, FramesInSequenceEachStartWithNoTimersOfTheOneBefore) {
  plat::Runtime* const outer = plat::Runtime::Current();
  LongLivedWindow window;
  StartFrame();
  EXPECT_EQ(plat::Runtime::Current(), &frame->RuntimeState());
  window.SetTimer(1, 100);
  clock.Advance(100);
  frame->Step();
  EXPECT_EQ(window.fired, std::vector<unsigned>({1}));

  frame.reset();
  app.reset();
  EXPECT_EQ(plat::Runtime::Current(), outer);
  EXPECT_FALSE(window.HasTimer(1));

  StartFrame();
  EXPECT_EQ(frame->RuntimeState().Timers().Count(), 0u);
  clock.Advance(1000);
  frame->Step();
  EXPECT_EQ(window.fired, std::vector<unsigned>({1}));  // the old timer did not come along
  window.SetTimer(2, 100);
  clock.Advance(100);
  frame->Step();
  EXPECT_EQ(window.fired, std::vector<unsigned>({1, 2}));
}

TEST_F(FrameTest, ADestroyedFrameGivesBackItsImagesAndFontsOnTheDevice) {
  auto device = plat::RenderDevice::CreateHeadless(1280, 720);
  ASSERT_NE(device, nullptr);
  const std::size_t before = device->TextureCount();
  for (int run = 0; run < 2; ++run) {
    StartFrame(device.get());
    frame->ShowStatus("status", true);  // the status line draws with the frame's own font
    frame->Step();
    EXPECT_GT(device->TextureCount(), before);
    EXPECT_GT(frame->RuntimeState().Textures().Size(), 0u);  // the rule button's picture
    frame.reset();
    app.reset();
    // Under AddressSanitizer a widget reaching into the dead frame's state would be reported.
    EXPECT_EQ(device->TextureCount(), before) << "run " << run;
  }
}

}  // namespace
}  // namespace frametest
