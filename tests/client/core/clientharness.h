#pragma once
// One running client per test process: the real frame loop with the game's application,
// dialog and main view on a headless device, a recording transport and a test clock. The
// game's windows are process-wide and built once, so every test shares this client and
// starts from Reset().
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/core/cmd_velmora.h"
#include "client/core/gameclientdlg.h"
#include "platform/frame/gameframe.h"
#include "testing/recordingtransport.h"
#include "platform/render/renderdevice.h"
#include "platform/toolkit/clock.h"

namespace clienttest {

constexpr std::uint32_t kMeId = 7;
constexpr std::uint32_t kMeCoins = 1000000;
constexpr std::uint32_t kMeBank = 2500;
extern const char kMeNick[];  // ASCII, so letter case can be varied

// The default scene: goods 1001..1006 are candidates in slots 1..6 on tiles 0..5; goods 1007
// is the lot on sale in slot 7 (tile 6), 100 shares of 10000 coins, minimum purchase 5 shares.
constexpr std::uint32_t kLotId = 1007;
constexpr std::uint32_t kLotNumber = 57;
constexpr std::uint32_t kLotMinShares = 5;
constexpr std::uint32_t kLotSeconds = 60;

CMD_GF_VELMORA_GOODS_ITEM MakeGoods(std::uint32_t goodsId, std::uint32_t slot,
                                    std::uint32_t tileIndex, std::uint32_t state);
std::vector<CMD_GF_VELMORA_GOODS_ITEM> DefaultScene();

template <class T>
std::vector<std::uint8_t> Bytes(const T& record) {
  std::vector<std::uint8_t> out(sizeof(T));
  std::memcpy(out.data(), &record, sizeof(T));
  return out;
}
template <class T>
std::vector<std::uint8_t> Bytes(const std::vector<T>& records) {
  std::vector<std::uint8_t> out(records.size() * sizeof(T));
  if (!records.empty()) std::memcpy(out.data(), records.data(), out.size());
  return out;
}

class Client {
 public:
  static Client& Get();
  ~Client();

  plat::GameFrame& Frame() { return *m_frame; }
  CGameClientDlg& Dlg() { return *static_cast<CGameClientDlg*>(m_frame->Dialog()); }
  COrvGameClientView& View() { return Dlg().GetGameClientView(); }
  plat::RecordingTransport& Transport() { return m_transport; }
  plat::TestClock& Clock() { return m_clock; }
  plat::RenderDevice& Device() { return *m_device; }

  // Back to the default scene with the local user present, nothing open, no marks, nothing
  // sent and the clock one step on.
  void Reset();
  // The game-message and scene hooks, answering what the dialog answered.
  bool Game(std::uint16_t subCmd, const std::vector<std::uint8_t>& bytes);
  bool Scene(std::uint8_t status, const std::vector<std::uint8_t>& bytes);
  // Advances the clock, then runs one frame step.
  void Step(std::uint64_t advanceMs = 0);
  void SetUser(bool present);
  // Mouse input through the frame's input phase (one step each).
  void MoveTo(int x, int y);
  void ClickAt(int x, int y);

 private:
  Client();

  plat::TestClock m_clock{100000};
  plat::ScopedClock m_clockScope{&m_clock};
  std::unique_ptr<plat::RenderDevice> m_device;
  plat::RecordingTransport m_transport;
  std::unique_ptr<plat::GameFrame> m_frame;
};

class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    client.Reset();
    ASSERT_TRUE(client.Frame().IsRunning());
  }

  Client& client = Client::Get();
};

// Everything written to stdout while f runs.
template <class F>
std::string CaptureStdout(F f) {
  ::testing::internal::CaptureStdout();
  f();
  return ::testing::internal::GetCapturedStdout();
}

}  // namespace clienttest
