#include "tests/client/core/clientharness.h"

#include "client/core/gameclientapp.h"
#include "client/data/buydata.h"
#include "client/views/gamerule.h"
#include "client/views/msgbox.h"
#include "client/views/sellrecord.h"
#include "client/views/systemnotice.h"
#include "platform/frame/mainwindow.h"
#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"

namespace clienttest {

const char kMeNick[] = "Alice";

namespace {
// The shared catalogue: ids 1001.. with their names (UTF-8) and values.
struct CatalogueEntry {
  const char* nameUtf8;
  std::uint32_t value;
};
constexpr CatalogueEntry kCatalogue[] = {
    {"金龙手表", 3888}, {"翡翠手镯", 5888},   {"智能手机", 4999},   {"笔记本电脑", 6999},
    {"山地自行车", 2599}, {"电动滑板车", 1999}, {"单反相机", 7999},
};
constexpr std::uint32_t kFirstId = 1001;
}  // namespace

CMD_GF_VELMORA_GOODS_ITEM MakeGoods(std::uint32_t goodsId, std::uint32_t slot,
                                    std::uint32_t tileIndex, std::uint32_t state) {
  CMD_GF_VELMORA_GOODS_ITEM g{};
  const CatalogueEntry& c = kCatalogue[(goodsId - kFirstId) % std::size(kCatalogue)];
  g.goodsId = goodsId;
  g.goodsNumber = 51 + (goodsId - kFirstId);
  g.goodsValue = c.value;
  g.slot = slot;
  g.tileIndex = tileIndex;
  g.state = state;
  g.likeCount = 3;
  SetFieldText(g.goodsName, plat::Utf8ToGbk(c.nameUtf8));
  char picture[32];
  std::snprintf(picture, sizeof(picture), "goods_%02u.png", goodsId - kFirstId + 1);
  SetFieldText(g.pictureFile, picture);
  return g;
}

std::vector<CMD_GF_VELMORA_GOODS_ITEM> DefaultScene() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  for (std::uint32_t i = 0; i < 6; ++i)
    list.push_back(MakeGoods(kFirstId + i, i + 1, i, GOODS_STATE_CANDIDATE));
  CMD_GF_VELMORA_GOODS_ITEM lot = MakeGoods(kLotId, 7, 6, GOODS_STATE_SELLING);
  lot.totalShares = 100;
  lot.sharePrice = 10000;
  lot.minPurchase = kLotMinShares * 10000;
  lot.secondsLeft = kLotSeconds;
  list.push_back(lot);
  return list;
}

Client& Client::Get() {
  static Client client;
  return client;
}

Client::Client() {
  plat::SetAssetRoot(VELMORA_ASSET_DIR);
  m_device = plat::RenderDevice::CreateHeadless(1280, 720);
  plat::GameFrameOptions options;
  options.localUser = plat::MakeUserData(kMeId, kMeNick, kMeCoins, kMeBank);
  options.logRejected = false;
  GetGameClientApp();  // the application the frame starts from
  m_frame = std::make_unique<plat::GameFrame>(m_device.get(), &m_transport, options);
  m_frame->Start();
}

Client::~Client() {
  m_frame.reset();
  CSystemNotice::ClearAll();  // the notices' fonts hold textures of the device
}

void Client::Reset() {
  SetUser(true);
  GetMsgBox().Close();
  GetGameRule().setVisible(false);
  GetSellRecord().setVisible(false);
  for (std::uint32_t t = 0; t < 7; ++t) {
    View().GetTile(t)->SetLiked(false);
    View().GetTile(t)->SetHover(false);
  }
  CSystemNotice::ClearAll();
  CaptureStdout([&] { Scene(SCENE_STATUS_PLAY, Bytes(DefaultScene())); });
  AfxGetMainWnd()->ClearPosted();
  Step(1);
  m_transport.Clear();
}

bool Client::Game(std::uint16_t subCmd, const std::vector<std::uint8_t>& bytes) {
  return Dlg().OnGameMessage(subCmd, bytes.empty() ? nullptr : bytes.data(),
                             static_cast<std::uint16_t>(bytes.size()));
}

bool Client::Scene(std::uint8_t status, const std::vector<std::uint8_t>& bytes) {
  return Dlg().OnGameScene(status, false, bytes.empty() ? nullptr : bytes.data(),
                           static_cast<std::uint16_t>(bytes.size()));
}

void Client::Step(std::uint64_t advanceMs) {
  m_clock.Advance(advanceMs);
  m_frame->Step();
}

void Client::SetUser(bool present) {
  const tagUserData me = plat::MakeUserData(kMeId, kMeNick, kMeCoins, kMeBank);
  m_frame->SetLocalUser(present ? &me : nullptr, 0, false);
}

void Client::MoveTo(int x, int y) {
  m_frame->InjectMouseMove(x, y);
  Step();
}

void Client::ClickAt(int x, int y) {
  m_frame->InjectClick(x, y);
  Step();
}

}  // namespace clienttest
