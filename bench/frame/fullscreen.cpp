#include "bench/frame/fullscreen.h"

#include <cstdio>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "testing/headlessclient.h"
#include "platform/text/textconv.h"

namespace velbench {

namespace {

constexpr int kPurchases = 50;  // the most the server sends at entry
constexpr int kWinners = 2;     // each also starts a notice
constexpr int kTileX = 120, kTileY = 150;  // inside the first tile
// Game time for the notices to scroll well into their band.
constexpr int kRunInSteps = 150;
constexpr std::uint64_t kRunInStepMs = 20;

template <class T>
void Push(veltest::HeadlessClient& c, std::uint16_t sub, const std::vector<T>& records) {
  c.PushGame(sub, records.data(), records.size() * sizeof(T));
}

}  // namespace

void ShowEverything(veltest::HeadlessClient& c) {
  c.ResetScene();
  std::vector<CMD_GF_VELMORA_MY_BUY_RECORD_RSP> bought(kPurchases);
  for (int i = 0; i < kPurchases; ++i) {
    auto& r = bought[i];
    r = {};
    r.shares = 1 + i % 9;
    r.goodsValue = 3888;
    std::snprintf(r.buyTime, sizeof(r.buyTime), "2026-12-09 10:%02d:%02d", i % 60, i % 60);
    SetFieldText(r.goodsName, plat::Utf8ToGbk("金龙手表"));
  }
  Push(c, SUB_S_MY_BUY_RECORD, bought);
  std::vector<CMD_GF_VELMORA_LUCKY_USER_RSP> winners(kWinners);
  for (int i = 0; i < kWinners; ++i) {
    auto& r = winners[i];
    r = {};
    r.goodsNumber = 40 + i;
    r.winnerShares = 12 + i;
    std::snprintf(r.drawTime, sizeof(r.drawTime), "2026-12-09 09:0%d:00", i);
    SetFieldText(r.goodsName, plat::Utf8ToGbk(i ? "翡翠手镯" : "智能手机"));
    SetFieldText(r.winnerNickname, plat::Utf8ToGbk(i ? "幸运星" : "买家甲"));
  }
  Push(c, SUB_S_LUCKY_USER, winners);
  c.Step(16);
  c.Frame().InjectMouseMove(kTileX, kTileY);  // the callout, before a box covers the game
  c.Step(16);
  const CMD_GF_VELMORA_BUY_RSP coinsShort{BUY_RESULT_COINS_SHORT};
  c.PushGame(SUB_S_BUY_RESULT, &coinsShort, sizeof(coinsShort));
  for (int i = 0; i < kRunInSteps; ++i) c.Step(kRunInStepMs);
}

}  // namespace velbench
