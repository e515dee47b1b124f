#include "fuzz/headlessclient.h"

#include <cstdio>

#include "client/core/gameclientapp.h"
#include "client/core/gameclientdlg.h"
#include "client/views/gamerule.h"
#include "client/views/msgbox.h"
#include "client/views/orvgameclientview.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "platform/frame/mainwindow.h"
#include "platform/frame/userdata.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"

namespace velfuzz {

namespace {

const char kNickname[] = "Tester";
constexpr std::uint32_t kFirstGoodsId = 1001;
constexpr std::uint32_t kCandidates = 6;
constexpr std::uint32_t kLotSlot = 7;
constexpr std::uint32_t kLotShares = 100;
constexpr std::uint32_t kSharePrice = 10000;
constexpr std::uint32_t kLotSeconds = 60;

struct Goods {
  const char* nameUtf8;
  std::uint32_t value;
};
constexpr Goods kGoods[] = {{"金龙手表", 3888},   {"翡翠手镯", 5888},   {"智能手机", 4999}, {"笔记本电脑", 6999},
                            {"山地自行车", 2599}, {"电动滑板车", 1999}, {"单反相机", 7999}};

CMD_GF_VELMORA_GOODS_ITEM MakeGoods(std::uint32_t index, std::uint32_t state) {
  CMD_GF_VELMORA_GOODS_ITEM g{};
  g.goodsId = kFirstGoodsId + index;
  g.goodsNumber = 51 + index;
  g.goodsValue = kGoods[index].value;
  g.slot = index + 1;
  g.tileIndex = index;
  g.state = state;
  g.likeCount = 3;
  SetFieldText(g.goodsName, plat::Utf8ToGbk(kGoods[index].nameUtf8));
  char picture[32];
  std::snprintf(picture, sizeof(picture), "goods_%02u.png", index + 1);
  SetFieldText(g.pictureFile, picture);
  return g;
}

tagUserData LocalUser() { return plat::MakeUserData(HeadlessClient::kUserId, kNickname, HeadlessClient::kUserCoins, 0); }

}  // namespace

std::vector<CMD_GF_VELMORA_GOODS_ITEM> HeadlessClient::DefaultScene() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  for (std::uint32_t i = 0; i < kCandidates; ++i) list.push_back(MakeGoods(i, GOODS_STATE_CANDIDATE));
  CMD_GF_VELMORA_GOODS_ITEM lot = MakeGoods(kLotSlot - 1, GOODS_STATE_SELLING);
  lot.totalShares = kLotShares;
  lot.sharePrice = kSharePrice;
  lot.minPurchase = 5 * kSharePrice;
  lot.secondsLeft = kLotSeconds;
  list.push_back(lot);
  return list;
}

HeadlessClient::HeadlessClient(plat::ITransport* transport) {
  plat::SetAssetRoot(VELMORA_ASSET_DIR);
  m_device = plat::RenderDevice::CreateHeadless(kWidth, kHeight);
  plat::GameFrameOptions options;
  options.localUser = LocalUser();
  options.logRejected = false;
  GetGameClientApp();
  m_frame = std::make_unique<plat::GameFrame>(m_device.get(), transport ? transport : &m_recorder, options);
  m_frame->Start();
}

HeadlessClient::~HeadlessClient() {
  m_frame.reset();
  CSystemNotice::ClearAll();  // the notices' fonts hold textures of the device
}

CGameClientDlg& HeadlessClient::Dlg() { return *static_cast<CGameClientDlg*>(m_frame->Dialog()); }

COrvGameClientView& HeadlessClient::View() { return Dlg().GetGameClientView(); }

void HeadlessClient::Step(std::uint64_t advanceMs) {
  m_clock.Advance(advanceMs);
  m_frame->Step();
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

void HeadlessClient::ResetScene() {
  const tagUserData me = LocalUser();
  m_frame->SetLocalUser(&me, 0, false);
  GetMsgBox().Close();
  GetGameRule().setVisible(false);
  GetSellRecord().setVisible(false);
  for (std::uint32_t t = 0; t < kLotSlot; ++t) {
    View().GetTile(t)->SetLiked(false);
    View().GetTile(t)->SetHover(false);
  }
  CSystemNotice::ClearAll();
  m_frame->Messages().Clear();
  const auto scene = DefaultScene();
  PushScene(SCENE_STATUS_PLAY, scene.data(), scene.size() * sizeof(scene[0]));
  AfxGetMainWnd()->ClearPosted();
  Step(1);
  m_recorder.Clear();
}

}  // namespace velfuzz
