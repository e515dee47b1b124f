#pragma once
// Base of the view tests: a headless device and the frame's graphics object on it, and a way
// to see what a piece of drawing code draws.
#include <memory>

#include <gtest/gtest.h>

#include "platform/render/renderdevice.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "tests/common/drawlogquery.h"

namespace testutil {

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs draw with the log recording inside a whole-screen clip; returns what was drawn.
  template <class F>
  DrawLog Capture(F draw) {
    DrawLog log;
    plat::ScopedDrawLog scope(&log);
    m_graphics->_beginDraw();
    draw(m_graphics.get());
    m_graphics->_endDraw();
    return log;
  }

  std::unique_ptr<plat::RenderDevice> m_device;
  std::unique_ptr<OrvHgeGraphics> m_graphics;
};

}  // namespace testutil
