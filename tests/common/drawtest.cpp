#include "tests/common/drawtest.h"

namespace testutil {
namespace {

constexpr int kScreenW = 1280;
constexpr int kScreenH = 720;

}  // namespace

void DrawTest::SetUp() {
  m_device = plat::RenderDevice::CreateHeadless(kScreenW, kScreenH);
  ASSERT_NE(m_device, nullptr);
  m_graphics = std::make_unique<OrvHgeGraphics>(m_device.get());
}

void DrawTest::TearDown() {
  m_graphics.reset();
  m_device.reset();
}

}  // namespace testutil
