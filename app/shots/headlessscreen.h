#pragma once
// The screen of a screenshot program: reads `--assets DIR` and `--out DIR`, points the asset
// root at DIR, owns a headless 1280 x 720 device and writes its frames as PNG files.
#include <filesystem>
#include <memory>
#include <string>

#include "platform/frame/frametopwindow.h"
#include "platform/render/renderdevice.h"

namespace plat {
class GuiRunner;
}

namespace shots {

class HeadlessScreen {
 public:
  static constexpr int kWidth = plat::kGameAreaWidth;
  static constexpr int kHeight = plat::kGameAreaHeight;

  // `program` starts every line the screen prints.
  explicit HeadlessScreen(std::string program);
  // Parses the options, makes the output folder and the device; false (said on stderr) when
  // no renderer can be made.
  bool Open(int argc, char** argv);

  plat::RenderDevice& Device() { return *m_device; }
  const std::filesystem::path& Out() const { return m_out; }
  // Writes the current frame to <out>/<name>.
  bool Save(const std::string& name);
  // Draws two frames of the runner (tiles create their like area on the first), then saves.
  bool Shoot(plat::GuiRunner& runner, const std::string& name);

 private:
  std::string m_program;
  std::filesystem::path m_out = "shots";
  std::unique_ptr<plat::RenderDevice> m_device;
};

}  // namespace shots
