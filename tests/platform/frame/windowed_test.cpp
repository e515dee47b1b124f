// The windowed loop: SDL events are pumped in the input phase and a quit event closes.
#include <SDL.h>

#include "tests/platform/frame/framefixture.h"

#include "platform/render/renderdevice.h"

namespace frametest {
namespace {

TEST_F(FrameTest, WindowedRunPumpsSdlAndEndsOnQuit) {
  std::string error;
  auto device = plat::RenderDevice::CreateWindowed("frame test", 1280, 720, &error);
  if (!device) GTEST_SKIP() << "no SDL video here: " << error;
  StartFrame(device.get());
  Dlg().View().SetCyrmEnable(COrvGameFrameView::kCyrmLeave, false);
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.x = 30;
  motion.motion.y = 40;
  ASSERT_EQ(SDL_PushEvent(&motion), 1);
  EXPECT_EQ(frame->Run(1), 1);
  EXPECT_EQ(frame->Input().MouseX(), 30);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  EXPECT_EQ(frame->Run(100), 1);  // the quit arrives in the first step's input phase
  EXPECT_FALSE(frame->IsRunning());
}

}  // namespace
}  // namespace frametest
