#pragma once
// Shared set-up for the view tests: a headless device, a private asset folder with small
// images of known sizes, a dialog that records the window messages it is sent, goods lots in
// the process-wide store and the draw log.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/data/buydata.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"
#include "platform/render/renderdevice.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgewindow.h"

class CBuyPanel;

namespace views5 {

// Sizes of the test images.
constexpr int kStripW = 100, kStripH = 90;         // sale-status strip: three 30 px frames
constexpr int kButtonFrameW = 40, kButtonH = 30;   // every button frame of the buy panel
constexpr int kBoxW = 340, kBoxH = 170;            // message box background
constexpr int kRedFrameW = 128, kRedH = 36;        // message box button frame

// Writes the test images once and points the asset root at them.
void InstallTestAssets();
std::string TestAssetRoot();

struct SentMessage {
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

class NullClassicView : public CGameFrameView {
 public:
  NullClassicView() : CGameFrameView(true, 16) {}
  void ResetGameView() override {}
  void RectifyGameView(int, int) override {}
  void DrawGameView(gcn::Graphics*, int, int) override {}
  bool IsValid() const override { return true; }
};

// Registers itself as the running dialog while it lives.
class RecordingDialog : public CGameFrameDlg {
 public:
  RecordingDialog();
  ~RecordingDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnGameMessage(std::uint16_t, const void*, std::uint16_t) override { return false; }
  bool OnGameScene(std::uint8_t, bool, const void*, std::uint16_t) override { return false; }
  void SetCoins(std::uint32_t coins);

  std::vector<SentMessage> sent;

 private:
  NullClassicView m_view;
};

// Stands in for the main view: passes clicks and edit events to a buy panel.
class PanelHostView : public OrvHgeWindow {
 public:
  explicit PanelHostView(CBuyPanel* panel);
  void OnCommand(int id) override;
  void action(const gcn::ActionEvent& e) override;
  void SetPanel(CBuyPanel* panel) { m_panel = panel; }

 private:
  CBuyPanel* m_panel;
};

// A goods record with the given fields (name and picture as UTF-8).
CMD_GF_VELMORA_GOODS_ITEM MakeGoods(std::uint32_t goodsId, std::uint32_t state, const std::string& nameUtf8,
                                    const std::string& picture);
// Replaces the store's list by these records.
void SetGoodsList(const std::vector<CMD_GF_VELMORA_GOODS_ITEM>& records);
// A lot on sale with the purchase fields set; the rest as MakeGoods.
CMD_GF_VELMORA_GOODS_ITEM MakeLot(std::uint32_t goodsId, std::uint32_t total, std::uint32_t sold,
                                  std::uint32_t price, std::uint32_t minPurchase, std::uint32_t threshold);

// Draw records whose kind and content match.
std::vector<plat::DrawRecord> Find(const std::vector<plat::DrawRecord>& log, plat::DrawRecord::Kind kind,
                                   const std::string& what);
// Text records drawn, in order (UTF-8).
std::vector<std::string> Texts(const std::vector<plat::DrawRecord>& log);
bool SameColor(const gcn::Color& a, const gcn::Color& b);

// A headless device, a graphics object over it and a draw log for every test.
class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs draw with the log recording and a full-screen clip; returns what was drawn.
  template <class F>
  std::vector<plat::DrawRecord> Capture(F draw) {
    std::vector<plat::DrawRecord> log;
    plat::ScopedDrawLog scope(&log);
    m_graphics->_beginDraw();
    draw(m_graphics.get());
    m_graphics->_endDraw();
    return log;
  }

  std::unique_ptr<plat::RenderDevice> m_device;
  std::unique_ptr<OrvHgeGraphics> m_graphics;
};

}  // namespace views5
