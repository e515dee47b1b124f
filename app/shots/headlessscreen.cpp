#include "app/shots/headlessscreen.h"

#include <cstdio>
#include <cstring>
#include <system_error>
#include <utility>

#include "platform/text/assetpath.h"
#include "platform/toolkit/guirunner.h"

namespace shots {
namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;
constexpr int kFramesPerShot = 2;

}  // namespace

HeadlessScreen::HeadlessScreen(std::string program) : m_program(std::move(program)) {}

bool HeadlessScreen::Open(int argc, char** argv) {
  std::string assets = VELMORA_ASSET_DIR;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--assets") == 0)
      assets = argv[i + 1];
    else if (std::strcmp(argv[i], "--out") == 0)
      m_out = argv[i + 1];
  }
  plat::SetAssetRoot(assets);
  std::error_code ec;
  std::filesystem::create_directories(m_out, ec);

  m_device = plat::RenderDevice::CreateHeadless(kWidth, kHeight);
  if (!m_device) {
    std::fprintf(stderr, "%s: cannot make a headless renderer\n", m_program.c_str());
    return false;
  }
  return true;
}

bool HeadlessScreen::Save(const std::string& name) {
  const std::string file = (m_out / name).string();
  if (!m_device->SavePng(file)) {
    std::fprintf(stderr, "%s: cannot write %s\n", m_program.c_str(), file.c_str());
    return false;
  }
  std::printf("%s: wrote %s\n", m_program.c_str(), file.c_str());
  return true;
}

bool HeadlessScreen::Shoot(plat::GuiRunner& runner, const std::string& name) {
  for (int i = 0; i < kFramesPerShot; ++i) {
    runner.Logic();
    m_device->BeginFrame(kFrameSeconds);
    runner.Draw();
    m_device->EndFrame();
  }
  return Save(name);
}

}  // namespace shots
