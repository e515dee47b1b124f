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
#include "testing/goodsrecord.h"
#include "testing/headlessclient.h"

namespace clienttest {

constexpr std::uint32_t kMeId = 7;
constexpr std::uint32_t kMeCoins = 1000000;
constexpr std::uint32_t kMeBank = 2500;
extern const char kMeNick[];  // ASCII, so letter case can be varied

// The default scene: goods 1001..1006 are candidates in slots 1..6 on tiles 0..5; goods 1007
// is the lot on sale in slot 7 (tile 6), 100 shares of 10000 coins, minimum purchase 5 shares.
constexpr std::uint32_t kLotId = veltest::HeadlessClient::kLotGoodsId;
constexpr std::uint32_t kLotNumber = 57;
constexpr std::uint32_t kLotMinShares = veltest::HeadlessClient::kLotMinShares;
constexpr std::uint32_t kLotSeconds = veltest::HeadlessClient::kLotSeconds;

using veltest::CatalogueGoods;
inline std::vector<CMD_GF_VELMORA_GOODS_ITEM> DefaultScene() { return veltest::HeadlessClient::DefaultScene(); }

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

  plat::GameFrame& Frame() { return m_client.Frame(); }
  CGameClientDlg& Dlg() { return m_client.Dlg(); }
  COrvGameClientView& View() { return Dlg().GetGameClientView(); }
  plat::RecordingTransport& Transport() { return m_client.Recorder(); }
  plat::FakeClock& Clock() { return m_client.Clock(); }
  plat::RenderDevice& Device() { return m_client.Device(); }

  // Back to the default scene with the local user present, nothing open, no marks, nothing
  // sent and the clock one step on.
  void Reset();
  // The game-message and scene hooks, answering what the dialog answered.
  bool Game(std::uint16_t subCmd, const std::vector<std::uint8_t>& bytes);
  bool Scene(std::uint8_t status, const std::vector<std::uint8_t>& bytes);
  // Advances the clock, then runs one frame step.
  void Step(std::uint64_t advanceMs = 0) { m_client.Step(advanceMs); }
  void SetUser(bool present) { m_client.SetUser(present); }
  // Mouse input through the frame's input phase (one step each).
  void MoveTo(int x, int y) { m_client.MoveTo(x, y); }
  void ClickAt(int x, int y) { m_client.ClickAt(x, y); }

 private:
  Client();

  veltest::HeadlessClient m_client;
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
