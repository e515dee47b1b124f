#include "tests/client/core/clientharness.h"

#include "platform/frame/mainwindow.h"

namespace clienttest {

const char kMeNick[] = "Alice";

namespace {

veltest::HeadlessClient::Options Me() {
  veltest::HeadlessClient::Options options;
  options.userId = kMeId;
  options.nicknameGbk = kMeNick;
  options.coins = kMeCoins;
  options.bank = kMeBank;
  options.assetRoot = VELMORA_ASSET_DIR;
  return options;
}

}  // namespace

Client& Client::Get() {
  static Client client;
  return client;
}

Client::Client() : m_client(Me()) {}

// The scene goes straight to the dialog (its trace captured, not printed), unlike the
// harness's ResetScene, which queues it.
void Client::Reset() {
  SetUser(true);
  m_client.CloseWindows();
  CaptureStdout([&] { Scene(SCENE_STATUS_PLAY, Bytes(DefaultScene())); });
  AfxGetMainWnd()->ClearPosted();
  Step(1);
  Transport().Clear();
}

bool Client::Game(std::uint16_t subCmd, const std::vector<std::uint8_t>& bytes) {
  return Dlg().OnGameMessage(subCmd, bytes.empty() ? nullptr : bytes.data(),
                             static_cast<std::uint16_t>(bytes.size()));
}

bool Client::Scene(std::uint8_t status, const std::vector<std::uint8_t>& bytes) {
  return Dlg().OnGameScene(status, false, bytes.empty() ? nullptr : bytes.data(),
                           static_cast<std::uint16_t>(bytes.size()));
}

}  // namespace clienttest
