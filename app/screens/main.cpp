// velmora-screens: runs the real frame, dialog and main view headless through a short game
// (scene, purchases, a won lot, a like) and writes screenshots of the whole game screen.
//   velmora-screens [--assets DIR] [--out DIR]
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/shots/headlessscreen.h"
#include "app/shots/shotgoods.h"
#include "client/core/cmd_velmora.h"
#include "client/core/gameclientdlg.h"
#include "client/views/buypanel.h"
#include "client/views/messageview.h"
#include "client/views/msgbox.h"
#include "platform/frame/globalunits.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgebutton.h"
#include "testing/headlessclient.h"

namespace {

constexpr std::uint32_t kFirstNumber = 21;
constexpr std::uint32_t kOtherBuyer = 9;
constexpr std::uint32_t kMeId = 7;
constexpr std::uint64_t kFrameMs = 16;
constexpr int kOneSecond = 62;  // frames of 16 ms

CMD_GF_VELMORA_GOODS_ITEM MakeItem(const shots::ShotGoods& g, std::uint32_t slot, std::uint32_t tile,
                                   std::uint32_t state) {
  CMD_GF_VELMORA_GOODS_ITEM r = shots::MakeGoodsRecord(g, slot, tile, state);
  r.goodsNumber = kFirstNumber + slot - 1;
  r.likeCount = 3 * slot + 4;
  shots::SetSaleTerms(r);
  return r;
}

// Candidates in slots 1 to 6 on tiles 0 to 5, the lot on sale in slot 7.
std::vector<std::uint8_t> SceneBytes() {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> list;
  for (std::uint32_t i = 0; i < 7; ++i)
    list.push_back(MakeItem(shots::kShotGoods[i], i + 1, i, i == 6 ? GOODS_STATE_SELLING : GOODS_STATE_CANDIDATE));
  list.back().soldShares = 37;
  const auto* p = reinterpret_cast<const std::uint8_t*>(list.data());
  return std::vector<std::uint8_t>(p, p + list.size() * sizeof(list[0]));
}

CMD_GF_VELMORA_LUCKY_USER_RSP Lucky(const char* winnerUtf8, const char* goodsUtf8, std::uint32_t number,
                                    std::uint32_t shares, const char* time) {
  CMD_GF_VELMORA_LUCKY_USER_RSP r{};
  r.goodsNumber = number;
  r.winnerShares = shares;
  SetFieldText(r.drawTime, time);
  SetFieldText(r.goodsName, plat::Utf8ToGbk(goodsUtf8));
  SetFieldText(r.winnerNickname, plat::Utf8ToGbk(winnerUtf8));
  return r;
}

CMD_GF_VELMORA_BUY_NTF Bought(std::uint32_t userId, std::uint32_t goodsId, std::uint32_t shares,
                              const char* time) {
  CMD_GF_VELMORA_BUY_NTF n{};
  n.userId = userId;
  n.goodsId = goodsId;
  n.shares = shares;
  SetFieldText(n.buyTime, time);
  return n;
}

bool Play(veltest::HeadlessClient& s, shots::HeadlessScreen& screen) {
  bool ok = true;
  plat::FakeServer& server = s.Server();
  server.Scene(SCENE_STATUS_PLAY, false, SceneBytes());
  s.Run(3);

  const CMD_GF_VELMORA_LUCKY_USER_RSP lucky[] = {
      Lucky("幸运星", "黄金项链", 18, 42, "2026-12-09 11:40:00"),
      Lucky("小明", "游戏主机", 19, 17, "2026-12-09 11:50:00")};
  server.Game(SUB_S_LUCKY_USER, lucky, sizeof(lucky));
  CMD_GF_VELMORA_MY_BUY_RECORD_RSP mine{};
  mine.shares = 6;
  mine.goodsValue = 3599;
  SetFieldText(mine.buyTime, "2026-12-09 11:20:13");
  SetFieldText(mine.goodsName, plat::Utf8ToGbk("平板电脑"));
  server.GameRecord(SUB_S_MY_BUY_RECORD, mine);
  s.Run(kOneSecond);

  // The player buys the minimum; the server confirms and announces it, two others buy too.
  s.Click(*GetBuyPanel().BuyButton());
  const CMD_GF_VELMORA_BUY_RSP okResult{BUY_RESULT_OK};
  server.GameRecord(SUB_S_BUY_RESULT, okResult);
  server.GameRecord(SUB_S_BUY_NOTIFY, Bought(kMeId, 1007, 3, "2026-12-09 12:01:05"));
  server.GameRecord(SUB_S_BUY_NOTIFY, Bought(kOtherBuyer, 1007, 10, "2026-12-09 12:01:09"));
  s.Run(kOneSecond / 2);
  ok &= screen.Save("purchase.png");
  s.Click(*GetMsgBox().OkButton());
  server.GameRecord(SUB_S_BUY_NOTIFY, Bought(kMeId, 1007, 8, "2026-12-09 12:02:30"));
  s.Run(2);
  s.Click(*GetMsgBox().OkButton());

  // The lot closes with a winner; the next one opens.
  CMD_GF_VELMORA_AUCTION_RESULT_NTF won{};
  won.kind = AUCTION_RESULT_WON;
  SetFieldText(won.winnerNickname, plat::Utf8ToGbk("幸运星"));
  won.goodsNumber = kFirstNumber + 6;
  won.nextGoodsNumber = kFirstNumber + 2;
  SetFieldText(won.drawTime, "2026-12-09 12:05:00");
  won.winnerShares = 40;
  server.GameRecord(SUB_S_AUCTION_RESULT, won);
  const CMD_GF_VELMORA_AUCTION_START_NTF next{kFirstNumber + 2};
  server.GameRecord(SUB_S_AUCTION_START, next);
  s.Run(kOneSecond);
  ok &= screen.Save("won.png");
  s.Click(*GetMsgBox().OkButton());

  // Like the candidate on tile 1; the server answers with the new count.
  s.MoveTo(80, 440);
  s.ClickAt(80, 440);
  const CMD_GF_VELMORA_LIKE_UPDATE_ENTRY likes[] = {{0, 1002, 11}, {0, 0, 0}};
  server.Game(SUB_S_LIKE_UPDATE, likes, sizeof(likes));
  s.Run(kOneSecond);
  ok &= screen.Save("game.png");

  auto* dlg = static_cast<CGameClientDlg*>(CGlobalUnits::s_pGameFrameDlg);
  s.Click(*dlg->GetGameClientView().GetMessageView()->MyBuyButton());
  s.Run(2);
  ok &= screen.Save("game_mybuys.png");

  s.Click(*GetMsgBox().OkButton());
  s.MoveTo(850, 140);  // the picture of tile 3
  s.Run(2);
  ok &= screen.Save("description.png");
  s.MoveTo(450, 250);  // the lot's picture in the buy panel
  s.Run(2);
  ok &= screen.Save("description_lot.png");

  s.MoveTo(700, 40);  // off every picture, so no callout lies over the rules
  dlg->OnGameRule();
  s.Run(2);
  ok &= screen.Save("rules.png");

  for (const plat::SentMessage& m : s.Recorder().Sent())
    std::printf("velmora-screens: sent main %u sub %u, %zu bytes\n", m.mainCmd, m.subCmd, m.bytes.size());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  shots::HeadlessScreen screen("velmora-screens");
  if (!screen.Open(argc, argv)) return 1;
  veltest::HeadlessClient::Options options;
  options.userId = kMeId;
  options.nicknameGbk = plat::Utf8ToGbk("夺宝达人");
  options.coins = 860000;
  options.bank = 125000;
  options.clockStartMs = 1000;
  options.device = &screen.Device();
  options.logRejected = true;
  options.stepMs = kFrameMs;
  veltest::HeadlessClient session(options);
  if (!session.Started()) {
    std::fprintf(stderr, "velmora-screens: %s\n", session.Error().c_str());
    return 1;
  }
  return Play(session, screen) ? 0 : 1;
}
