// Heap allocations of the messages that come all game long. This program replaces the global
// operator new with a counting one, so every allocation of the client is seen.
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/messages/allocationcounter.h"
#include "client/views/messageview.h"
#include "client/views/msgbox.h"
#include "client/views/systemnotice.h"
#include "platform/text/textconv.h"
#include "tests/client/core/clientharness.h"

namespace clienttest {
namespace {

constexpr int kWarmUp = 64;  // more lines than either list keeps

std::vector<std::uint8_t> OwnPurchase(int second) {
  CMD_GF_VELMORA_BUY_NTF n{};
  n.userId = kMeId;
  n.goodsId = kLotId;
  n.shares = 0;  // never sells the lot out, however often it comes
  char time[32];
  std::snprintf(time, sizeof time, "2026-12-09 11:%02d:%02d", second / 60 % 60, second % 60);
  SetFieldText(n.buyTime, time);
  return Bytes(n);
}

std::vector<std::uint8_t> WonResult(int second) {
  CMD_GF_VELMORA_AUCTION_RESULT_NTF r{};
  r.kind = AUCTION_RESULT_WON;
  SetFieldText(r.winnerNickname, plat::Utf8ToGbk("幸运星"));
  r.goodsNumber = kLotNumber;
  r.nextGoodsNumber = kLotNumber + 1;
  char time[32];
  std::snprintf(time, sizeof time, "2026-12-09 12:%02d:%02d", second / 60 % 60, second % 60);
  SetFieldText(r.drawTime, time);
  r.winnerShares = 30;
  return Bytes(r);
}

// Messages made before counting, so that only the dialog's work is counted.
std::vector<std::vector<std::uint8_t>> Messages(std::vector<std::uint8_t> (*make)(int), int count) {
  std::vector<std::vector<std::uint8_t>> out;
  for (int i = 0; i < count; ++i) out.push_back(make(i));
  return out;
}

// Allocations made while the dialog handles every message of the list.
std::uint64_t AllocationsHandling(Client& client, std::uint16_t sub,
                                  const std::vector<std::vector<std::uint8_t>>& messages) {
  bool accepted = true;
  const std::uint64_t before = velbench::AllocationCount();
  for (const auto& m : messages) accepted = client.Game(sub, m) && accepted;
  const std::uint64_t made = velbench::AllocationCount() - before;
  EXPECT_TRUE(accepted);
  return made;
}

using MessageAllocations = ClientTest;

TEST_F(MessageAllocations, OwnPurchaseNoticeAllocatesNothingOnceWarm) {
  AllocationsHandling(client, SUB_S_BUY_NOTIFY, Messages(OwnPurchase, kWarmUp));
  const auto steady = Messages(OwnPurchase, 200);
  EXPECT_EQ(AllocationsHandling(client, SUB_S_BUY_NOTIFY, steady), 0u);

  // Every one of them was shown as before: the box and the newest block of the list.
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_BUY_SUCCESS);
  const auto& lines = client.View().GetMessageView()->MyBuyLines();
  ASSERT_EQ(lines.size(), MessageView::kMaxLines);
  auto it = std::prev(lines.end(), 3);
  EXPECT_EQ(plat::Utf16ToUtf8(*it++), "2026-12-09 11:03:19");  // the 200th: second 199
  EXPECT_EQ(plat::Utf16ToUtf8(*it++), "购买价值7999元的 单反相机 0份");
  EXPECT_EQ(*it, u" ");
}

TEST_F(MessageAllocations, AuctionResultOnAFullBandAllocatesNothing) {
  AllocationsHandling(client, SUB_S_AUCTION_RESULT, Messages(WonResult, kWarmUp));
  ASSERT_EQ(CSystemNotice::ActiveNotices().size(), CSystemNotice::kMaxActive);
  EXPECT_EQ(AllocationsHandling(client, SUB_S_AUCTION_RESULT, Messages(WonResult, 100)), 0u);
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_OTHER_WON);
  EXPECT_EQ(CSystemNotice::RecentTexts().size(), CSystemNotice::kRecentLimit);
}

TEST_F(MessageAllocations, AuctionResultWithRoomOnTheBandAllocatesOnlyItsNotice) {
  AllocationsHandling(client, SUB_S_AUCTION_RESULT, Messages(WonResult, kWarmUp));
  // Every running notice runs out and leaves the band.
  for (const auto& notice : CSystemNotice::ActiveNotices()) notice->Update(1e6f);
  CSystemNotice::UpdateAndDrawAll();
  ASSERT_TRUE(CSystemNotice::ActiveNotices().empty());

  const auto one = Messages(WonResult, 1);
  const std::uint64_t withNotice = AllocationsHandling(client, SUB_S_AUCTION_RESULT, one);
  ASSERT_EQ(CSystemNotice::ActiveNotices().size(), 1u);
  const std::string text = CSystemNotice::ActiveNotices().front()->Text();

  // The same notice made by hand: the object, its font and its copy of the text.
  const std::uint64_t before = velbench::AllocationCount();
  {
    auto notice = std::make_unique<CSystemNotice>();
    notice->Init();
    notice->SetText(std::string(text), CSystemNotice::kBandX, CSystemNotice::kBandY);
  }
  const std::uint64_t notice = velbench::AllocationCount() - before;
  EXPECT_GT(notice, 0u);
  EXPECT_EQ(withNotice, notice);
}

}  // namespace
}  // namespace clienttest
