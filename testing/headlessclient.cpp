#include "testing/headlessclient.h"

#include <guichan/widget.hpp>

#include "client/core/gameclientapp.h"
#include "client/core/gameclientdlg.h"
#include "client/views/gamerule.h"
#include "client/views/msgbox.h"
#include "client/views/orvgameclientview.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "platform/frame/mainwindow.h"
#include "platform/text/assetpath.h"
#include "testing/goodsrecord.h"

namespace veltest {

namespace {

constexpr std::uint32_t kCandidates = 6;
constexpr std::uint32_t kLotShares = 100;
constexpr std::uint32_t kSharePrice = 10000;

HeadlessClient::Options SourceTreeOptions(plat::ITransport* transport) {
  HeadlessClient::Options options;
  options.transport = transport;
  options.assetRoot = VELMORA_ASSET_DIR;
  return options;
}

}  // namespace

std::vector<CMD_GF_VELMORA_GOODS_ITEM> HeadlessClient::DefaultScene() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  for (std::uint32_t i = 0; i < kCandidates; ++i) list.push_back(CatalogueGoods(1001 + i));
  CMD_GF_VELMORA_GOODS_ITEM lot = CatalogueGoods(kLotGoodsId).State(GOODS_STATE_SELLING);
  lot.totalShares = kLotShares;
  lot.sharePrice = kSharePrice;
  lot.minPurchase = kLotMinShares * kSharePrice;
  lot.secondsLeft = kLotSeconds;
  list.push_back(lot);
  return list;
}

HeadlessClient::HeadlessClient(plat::ITransport* transport) : HeadlessClient(SourceTreeOptions(transport)) {}

HeadlessClient& HeadlessClient::Shared() {
  static HeadlessClient client;
  return client;
}

HeadlessClient::HeadlessClient(const Options& options) : m_options(options), m_clock(options.clockStartMs) {
  if (m_options.assetRoot) plat::SetAssetRoot(m_options.assetRoot);
  m_device = m_options.device;
  if (!m_device) {
    m_ownDevice = plat::RenderDevice::CreateHeadless(kWidth, kHeight);
    m_device = m_ownDevice.get();
  }
  plat::GameFrameOptions frameOptions;
  frameOptions.localUser = User();
  frameOptions.logRejected = m_options.logRejected;
  GetGameClientApp();  // the application the frame starts from
  m_frame = std::make_unique<plat::GameFrame>(m_device, m_options.transport ? m_options.transport : &m_recorder,
                                              frameOptions);
  m_started = m_frame->Start();
  if (!m_started) m_error = m_frame->LastError();
}

HeadlessClient::~HeadlessClient() {
  m_server.reset();
  m_frame.reset();
  CSystemNotice::ClearAll();  // the notices' fonts hold textures of the device
}

tagUserData HeadlessClient::User() const {
  return plat::MakeUserData(m_options.userId, m_options.nicknameGbk, m_options.coins, m_options.bank);
}

CGameClientDlg& HeadlessClient::Dlg() { return *static_cast<CGameClientDlg*>(m_frame->Dialog()); }

COrvGameClientView& HeadlessClient::View() { return Dlg().GetGameClientView(); }

plat::FakeServer& HeadlessClient::Server() {
  if (!m_server) m_server = std::make_unique<plat::FakeServer>(m_frame->Messages());
  return *m_server;
}

void HeadlessClient::Step(std::uint64_t advanceMs) {
  m_clock.Advance(advanceMs);
  m_frame->Step();
}

void HeadlessClient::Run(int frames) {
  for (int i = 0; i < frames; ++i) Step(m_options.stepMs);
}

void HeadlessClient::MoveTo(int x, int y) {
  m_frame->InjectMouseMove(x, y);
  Step(m_options.stepMs);
}

void HeadlessClient::ClickAt(int x, int y) {
  m_frame->InjectClick(x, y);
  Step(m_options.stepMs);
}

void HeadlessClient::Click(gcn::Widget& widget) {
  int x = 0, y = 0;
  widget.getAbsolutePosition(x, y);
  ClickAt(x + widget.getWidth() / 2, y + widget.getHeight() / 2);
}

void HeadlessClient::SetUser(bool present) {
  const tagUserData me = User();
  m_frame->SetLocalUser(present ? &me : nullptr, 0, false);
}

void HeadlessClient::PushGame(std::uint16_t subCmd, const void* data, std::size_t size) {
  plat::ServerMessage msg;
  msg.kind = plat::ServerMessage::Kind::Game;
  msg.subCmd = subCmd;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (size > 0) msg.bytes.assign(bytes, bytes + size);
  m_frame->Messages().Push(std::move(msg));
}

void HeadlessClient::PushScene(std::uint8_t status, const void* data, std::size_t size) {
  plat::ServerMessage msg;
  msg.kind = plat::ServerMessage::Kind::Scene;
  msg.status = status;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (size > 0) msg.bytes.assign(bytes, bytes + size);
  m_frame->Messages().Push(std::move(msg));
}

void HeadlessClient::CloseWindows() {
  GetMsgBox().Close();
  GetGameRule().setVisible(false);
  GetSellRecord().setVisible(false);
  for (std::uint32_t t = 0; t <= kCandidates; ++t) {
    View().GetTile(t)->SetLiked(false);
    View().GetTile(t)->SetHover(false);
  }
  CSystemNotice::ClearAll();
}

void HeadlessClient::ResetScene() {
  SetUser(true);
  CloseWindows();
  m_frame->Messages().Clear();
  const auto scene = DefaultScene();
  PushScene(SCENE_STATUS_PLAY, scene.data(), scene.size() * sizeof(scene[0]));
  AfxGetMainWnd()->ClearPosted();
  Step(1);
  m_recorder.Clear();
}

}  // namespace veltest
