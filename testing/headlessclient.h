#pragma once
// The whole game client without a window: the real frame loop with the game's application,
// dialog and main view drawing into a headless device, on a test clock. The game's windows are
// process-wide, so a process makes one of these and reuses it (ResetScene between uses).
// Shared by the client tests, the dialog fuzz target, the soak test, the frame and message
// benchmarks and the screenshot program.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "platform/frame/frametopwindow.h"
#include "platform/frame/gameframe.h"
#include "platform/frame/userdata.h"
#include "platform/render/renderdevice.h"
#include "testing/fakeclock.h"
#include "testing/fakeserver.h"
#include "testing/recordingtransport.h"

class CGameClientDlg;
class COrvGameClientView;

namespace gcn {
class Widget;
}

namespace veltest {

class HeadlessClient {
 public:
  static constexpr int kWidth = plat::kGameAreaWidth;
  static constexpr int kHeight = plat::kGameAreaHeight;
  static constexpr std::uint32_t kUserId = 7;
  static constexpr std::uint32_t kUserCoins = 1000000;
  // The lot of the default scene: slot 7, 100 shares of 10000 coins, 5 shares at least.
  static constexpr std::uint32_t kLotGoodsId = 1007;
  static constexpr std::uint32_t kLotMinShares = 5;
  static constexpr std::uint32_t kLotSeconds = 60;

  struct Options {
    // The local user (nickname in GBK).
    std::uint32_t userId = kUserId;
    std::string nicknameGbk = "Tester";
    std::uint32_t coins = kUserCoins;
    std::uint32_t bank = 0;
    std::uint64_t clockStartMs = 100000;
    // Not owned; null: requests are kept by Recorder(). Otherwise it must outlive the client.
    plat::ITransport* transport = nullptr;
    // Not owned; null: a kWidth x kHeight headless device of the client's own.
    plat::RenderDevice* device = nullptr;
    // Null: the asset root is left as it is.
    const char* assetRoot = nullptr;
    bool logRejected = false;
    // How far the clock moves before each step that Run and the mouse input take.
    std::uint64_t stepMs = 0;
  };

  // Starts the frame: see Started() and Error().
  explicit HeadlessClient(const Options& options);
  // The default user on the source tree's assets.
  explicit HeadlessClient(plat::ITransport* transport = nullptr);
  ~HeadlessClient();
  HeadlessClient(const HeadlessClient&) = delete;
  HeadlessClient& operator=(const HeadlessClient&) = delete;

  // The process's one client with the default user, made on first use and kept to the end of
  // the process. A frame refuses to start beside another, so every part of a program that keeps
  // a client for many uses (tests, fuzzing, benchmarks) shares this one.
  static HeadlessClient& Shared();

  bool Started() const { return m_started; }
  const std::string& Error() const { return m_error; }

  plat::GameFrame& Frame() { return *m_frame; }
  CGameClientDlg& Dlg();
  COrvGameClientView& View();
  plat::RenderDevice& Device() { return *m_device; }
  plat::FakeClock& Clock() { return m_clock; }
  plat::RecordingTransport& Recorder() { return m_recorder; }
  // A fake server feeding the frame's queue, made on first use.
  plat::FakeServer& Server();

  // Moves the clock on, then runs one frame step (input, messages, timers, draw).
  void Step(std::uint64_t advanceMs = 0);
  // n steps, the clock moving the options' stepMs before each.
  void Run(int frames);
  // Mouse input through the frame's input phase (one step each).
  void MoveTo(int x, int y);
  void ClickAt(int x, int y);
  // Clicks the middle of a widget wherever it sits in the widget tree.
  void Click(gcn::Widget& widget);

  // The local user present (the one of the options) or absent.
  void SetUser(bool present);
  // Every window closed, no notices, no likes or hover marks.
  void CloseWindows();
  // The local user present, every window closed, the default scene delivered and nothing
  // recorded as sent.
  void ResetScene();
  // Queues a server message for the next step, as the transport would.
  void PushGame(std::uint16_t subCmd, const void* data, std::size_t size);
  void PushScene(std::uint8_t status, const void* data, std::size_t size);

  // Six candidates (goods 1001..1006 in slots 1..6 on tiles 0..5) and the lot 1007.
  static std::vector<CMD_GF_VELMORA_GOODS_ITEM> DefaultScene();

 private:
  tagUserData User() const;

  Options m_options;
  plat::FakeClock m_clock;
  plat::ScopedClock m_clockScope{&m_clock};
  std::unique_ptr<plat::RenderDevice> m_ownDevice;
  plat::RenderDevice* m_device = nullptr;
  plat::RecordingTransport m_recorder;
  std::unique_ptr<plat::GameFrame> m_frame;
  std::unique_ptr<plat::FakeServer> m_server;
  bool m_started = false;
  std::string m_error;
};

}  // namespace veltest
