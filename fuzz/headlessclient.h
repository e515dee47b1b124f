#pragma once
// The whole game client without a window: the real frame loop with the
// game's application, dialog and main view drawing into a 1280 x 720
// headless device, on a test clock. The game's windows are process-wide, so
// a process makes one of these and reuses it (ResetScene between uses).
// Shared by the dialog fuzz target, the soak test and the frame benchmarks.
#include <cstdint>
#include <memory>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "platform/frame/gameframe.h"
#include "testing/recordingtransport.h"
#include "platform/render/renderdevice.h"
#include "platform/toolkit/clock.h"

class CGameClientDlg;
class COrvGameClientView;

namespace velfuzz {

class HeadlessClient {
 public:
  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 720;
  static constexpr std::uint32_t kUserId = 7;
  static constexpr std::uint32_t kUserCoins = 1000000;
  // The lot of the default scene: slot 7, 100 shares of 10000 coins.
  static constexpr std::uint32_t kLotGoodsId = 1007;

  // transport null: requests are kept by Recorder(). Otherwise it must
  // outlive the client.
  explicit HeadlessClient(plat::ITransport* transport = nullptr);
  ~HeadlessClient();
  HeadlessClient(const HeadlessClient&) = delete;
  HeadlessClient& operator=(const HeadlessClient&) = delete;

  plat::GameFrame& Frame() { return *m_frame; }
  CGameClientDlg& Dlg();
  COrvGameClientView& View();
  plat::RenderDevice& Device() { return *m_device; }
  plat::TestClock& Clock() { return m_clock; }
  plat::RecordingTransport& Recorder() { return m_recorder; }

  // Moves the clock on, then runs one frame step (input, messages, timers, draw).
  void Step(std::uint64_t advanceMs = 0);
  // The local user present, every window closed, no notices, no marks, the
  // default scene delivered and nothing recorded as sent.
  void ResetScene();
  // Queues a server message for the next step, as the transport would.
  void PushGame(std::uint16_t subCmd, const void* data, std::size_t size);
  void PushScene(std::uint8_t status, const void* data, std::size_t size);

  // Six candidates (goods 1001..1006 on tiles 0..5) and the lot 1007.
  static std::vector<CMD_GF_VELMORA_GOODS_ITEM> DefaultScene();

 private:
  plat::TestClock m_clock{100000};
  plat::ScopedClock m_clockScope{&m_clock};
  std::unique_ptr<plat::RenderDevice> m_device;
  plat::RecordingTransport m_recorder;
  std::unique_ptr<plat::GameFrame> m_frame;
};

}  // namespace velfuzz
