#pragma once
// Shared pieces of the toolkit tests: a headless device with a GUI, test pictures written as
// PNG files, a predictable glyph rasteriser and small recording windows.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <guichan/actionlistener.hpp>

#include "platform/render/glyphrasterizer.h"
#include "platform/render/renderdevice.h"
#include "testing/fakeclock.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgewindow.h"
#include "testing/tempdir.h"

namespace tktest {

constexpr std::uint32_t kBackground = 0xFF000000;

// A folder under /tmp removed with the object.
struct TempDir : veltest::TempDir {
  TempDir() : veltest::TempDir("toolkit-test") {}
};

// Frames of frameW x h, side by side, each one solid colour (ARGB). Returns the full path.
std::string WriteStrip(TempDir& dir, const std::string& name, int frameW, int h,
                       const std::vector<std::uint32_t>& colours);
// A w x h picture of one-pixel black and white squares (checker) or all white.
std::string WritePattern(TempDir& dir, const std::string& name, int w, int h, bool checker);

// Glyphs as solid boxes: ASCII size/2 wide, others size wide, all size high; the space is
// empty. Gray bitmaps hold kFakeGray (half coverage).
constexpr int kFakeGray = 32;
std::unique_ptr<plat::GlyphRasterizer> MakeFakeRasterizer();
int FakeGlyphCalls();  // bitmap requests since the last reset
void ResetFakeGlyphCalls();

class ScopedRasterizer {
 public:
  explicit ScopedRasterizer(plat::RasterizerFactory f) { plat::SetRasterizerFactory(f); }
  ~ScopedRasterizer() { plat::SetRasterizerFactory(nullptr); }
};

class RecordingWindow : public OrvHgeWindow {
 public:
  void OnCommand(int id) override { commands.push_back(id); }
  void OnTimer(unsigned id) override { timers.push_back(id); }
  std::vector<int> commands;
  std::vector<unsigned> timers;
};

struct ActionRecorder : gcn::ActionListener {
  void action(const gcn::ActionEvent& e) override { ids.push_back(e.getId()); }
  std::vector<std::string> ids;
};

// Headless device (kW x kH), test clock, GUI with a RecordingWindow as top.
class GuiTest : public ::testing::Test {
 protected:
  static constexpr int kW = 320, kH = 240;
  GuiTest();
  ~GuiTest() override;

  void Frame();  // logic twice (input of both kinds in order), then a drawn frame
  void DrawOnly();
  std::uint32_t Pixel(int x, int y) const { return m_device->ReadPixel(x, y); }

  std::unique_ptr<plat::RenderDevice> m_device;
  plat::FakeClock m_clock{0};
  plat::ScopedClock m_useClock{&m_clock};
  TempDir m_dir;
  RecordingWindow m_top;
  std::unique_ptr<plat::GuiRunner> m_runner;
};

}  // namespace tktest
