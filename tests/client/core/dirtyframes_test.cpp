// Redrawing only what changed must give the very pixels of a full redraw. A scripted game runs
// through the real client with the device checking every tracked frame against the same frame
// drawn again in full, the old way (clear, then every call as it came).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "testing/headlessclient.h"
#include "platform/text/textconv.h"

namespace {

veltest::HeadlessClient& Client() { return veltest::HeadlessClient::Shared(); }

template <class T>
void Push(std::uint16_t sub, const T& record) {
  Client().PushGame(sub, &record, sizeof record);
}

CMD_GF_VELMORA_BUY_NTF Purchase(std::uint32_t user, std::uint32_t goods, int n) {
  CMD_GF_VELMORA_BUY_NTF r{};
  r.userId = user;
  r.goodsId = goods;
  r.shares = 1 + n % 5;
  std::snprintf(r.buyTime, sizeof r.buyTime, "2026-12-09 11:%02d:%02d", n / 60 % 60, n % 60);
  return r;
}

CMD_GF_VELMORA_AUCTION_RESULT_NTF Result(std::uint32_t goods, std::uint32_t next, int n) {
  CMD_GF_VELMORA_AUCTION_RESULT_NTF r{};
  r.kind = n % 3 == 2 ? AUCTION_RESULT_FAILED : AUCTION_RESULT_WON;
  SetFieldText(r.winnerNickname, plat::Utf8ToGbk(n % 2 ? "幸运星" : "买家甲"));
  r.goodsNumber = goods;
  r.nextGoodsNumber = next;
  std::snprintf(r.drawTime, sizeof r.drawTime, "2026-12-09 12:%02d:00", n % 60);
  r.winnerShares = 10 + n;
  return r;
}

// One scripted minute or so of play: lots opening and closing, purchases by others and by the
// player, notices crossing the band, boxes opened and closed, hovering over tiles, a window
// dragged, the message list scrolled and clicks here and there.
void PlayScript(veltest::HeadlessClient& c, int steps) {
  const auto scene = veltest::HeadlessClient::DefaultScene();
  std::uint32_t lot = veltest::HeadlessClient::kLotGoodsId;
  for (int s = 0; s < steps; ++s) {
    const int phase = s % 240;
    if (phase == 10) Push(SUB_S_BUY_NOTIFY, Purchase(99, lot, s));
    if (phase == 30) Push(SUB_S_BUY_NOTIFY, Purchase(veltest::HeadlessClient::kUserId, lot, s));
    if (phase == 50) Push(SUB_S_BUY_RESULT, CMD_GF_VELMORA_BUY_RSP{BUY_RESULT_COINS_SHORT});
    if (phase == 70) c.Frame().InjectKey(13);  // Enter closes the box
    if (phase == 80) Push(SUB_S_BUY_RESULT, CMD_GF_VELMORA_BUY_RSP{BUY_RESULT_SHARES_SHORT});
    if (phase == 90) {  // drag whatever window is under the press
      c.Frame().Input().InjectMousePress(640, 300);
      c.Frame().Input().InjectMouseMove(600, 280);
    }
    if (phase == 95) c.Frame().Input().InjectMouseRelease(560, 260);
    if (phase == 100) c.Frame().InjectClick(640, 420);
    if (phase >= 110 && phase < 150) c.Frame().InjectMouseMove(60 + (phase - 110) * 20, 150 + phase % 7 * 10);
    if (phase == 150) c.Frame().Input().InjectWheel(1000, 500, -2);
    if (phase == 160) c.Frame().InjectClick(120, 150);
    if (phase == 170) Push(SUB_S_AUCTION_RESULT, Result(lot, lot + 1, s));
    if (phase == 200) {
      lot = lot + 1 > veltest::HeadlessClient::kLotGoodsId + 5 ? scene.front().goodsId : lot + 1;
      Push(SUB_S_AUCTION_START, CMD_GF_VELMORA_AUCTION_START_NTF{lot});
    }
    if (phase == 220 && s / 240 % 2 == 1) {  // a new batch: the whole list again
      c.PushScene(SCENE_STATUS_PLAY, scene.data(), scene.size() * sizeof scene[0]);
    }
    if (phase == 230) c.Frame().InjectMouseMove(5, 5);
    c.Step(phase % 3 == 0 ? 40 : 16);
  }
}

TEST(DirtyFrames, ScriptedGameMatchesFullRedrawEveryFrame) {
  ::testing::internal::CaptureStdout();  // the client's trace lines
  veltest::HeadlessClient& c = Client();
  c.ResetScene();
  plat::RenderDevice& d = c.Device();
  ASSERT_TRUE(d.DirtyTracking());
  d.SetVerifyFrames(true);
  const auto before = d.Stats();
  constexpr int kSteps = 960;
  PlayScript(c, kSteps);
  d.SetVerifyFrames(false);
  ::testing::internal::GetCapturedStdout();
  const auto& after = d.Stats();
  const std::uint64_t frames = after.frames - before.frames;
  EXPECT_EQ(frames, std::uint64_t{kSteps});
  EXPECT_EQ(after.mismatchedFrames - before.mismatchedFrames, 0u)
      << (after.mismatchedPixels - before.mismatchedPixels) << " pixels differ";
  // The check means something only if most frames were drawn in part.
  const std::uint64_t full = after.fullFrames - before.fullFrames;
  std::fprintf(stderr, "%llu frames: %llu in full, %llu unchanged, %.0f pixels redrawn a frame\n",
               static_cast<unsigned long long>(frames), static_cast<unsigned long long>(full),
               static_cast<unsigned long long>(after.unchangedFrames - before.unchangedFrames),
               double(after.redrawnPixels - before.redrawnPixels) / double(frames));
  EXPECT_LT(full * 10, frames) << full << " of " << frames << " frames redrawn in full";
  EXPECT_LT(after.redrawnPixels - before.redrawnPixels,
            frames * veltest::HeadlessClient::kWidth * veltest::HeadlessClient::kHeight / 5);
  EXPECT_GT(after.unchangedFrames - before.unchangedFrames, 0u);
}

}  // namespace
