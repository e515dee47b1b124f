#pragma once
// Shared set-up of the store view tests (goods item, buy panel, message box): a headless device,
// a private asset folder with images of known sizes, a dialog that records the messages it is
// sent, lots in the store, the draw log.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/data/buydata.h"
#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"
#include "platform/toolkit/drawlog.h"
#include "platform/toolkit/guirunner.h"
#include "platform/toolkit/orvhgewindow.h"
#include "tests/common/drawlogquery.h"
#include "tests/common/drawtest.h"
#include "testing/goodsrecord.h"

class CBuyPanel;

namespace storeviews {

using Kind = plat::DrawRecord::Kind;
using Log = testutil::DrawLog;
using testutil::SameColor;

constexpr int kStripW = 100, kStripH = 90;  // sale-status strip: three 30 px frames
constexpr int kBoxW = 340, kBoxH = 170;     // message box background

class NullClassicView : public CGameFrameView {
 public:
  NullClassicView() : CGameFrameView(true, 16) {}
  void ResetGameView() override {}
  void RectifyGameView(int, int) override {}
  void DrawGameView(gcn::Graphics*, int, int) override {}
  bool IsValid() const override { return true; }
};

// The running dialog while it lives; keeps every window message it is sent.
class RecordingDialog : public CGameFrameDlg {
 public:
  struct Sent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  RecordingDialog();
  ~RecordingDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool OnGameMessage(std::uint16_t, const void*, std::uint16_t) override { return false; }
  bool OnGameScene(std::uint8_t, bool, const void*, std::uint16_t) override { return false; }
  void SetCoins(std::uint32_t coins);

  std::vector<Sent> sent;

 private:
  NullClassicView m_view;
};

// Stands in for the main view: passes clicks and edit events to a buy panel.
class PanelHostView : public OrvHgeWindow {
 public:
  explicit PanelHostView(CBuyPanel* panel);
  void OnCommand(int id) override;
  void action(const gcn::ActionEvent& e) override;

 private:
  CBuyPanel* m_panel;
};

using veltest::MakeGoods;
CMD_GF_VELMORA_GOODS_ITEM MakeLot(std::uint32_t goodsId, std::uint32_t total, std::uint32_t sold,
                                  std::uint32_t price, std::uint32_t minPurchase, std::uint32_t threshold);
// Replaces the store's list (slots 1, 2, ... in order).
void SetGoodsList(std::vector<CMD_GF_VELMORA_GOODS_ITEM> records);

// Records of a kind whose image path ends with, or whose text equals, `what`.
Log Find(const Log& log, Kind kind, const std::string& what);
std::vector<std::string> Texts(const Log& log);

// The test images, a device, the graphics (Capture draws on a full-screen clip) and a runner.
class ViewTest : public testutil::DrawTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A scripted click on the middle of a widget of the runner's top window.
  void ClickOn(const gcn::Widget* w);

  std::unique_ptr<plat::GuiRunner> m_runner;
};

}  // namespace storeviews
