// Edge cases of the server records as they arrive through the real dialog
// (the lower layers test the same rules in isolation).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "client/core/gameclientdlg.h"
#include "client/views/messageview.h"
#include "client/views/msgbox.h"
#include "client/views/orvgameclientview.h"
#include "client/views/sellrecord.h"
#include "testing/headlessclient.h"

namespace {

veltest::HeadlessClient& Client() { return veltest::HeadlessClient::Shared(); }

template <class T>
bool Send(std::uint16_t sub, const std::vector<T>& records) {
  std::vector<std::uint8_t> bytes(records.size() * sizeof(T));
  if (!bytes.empty()) std::memcpy(bytes.data(), records.data(), bytes.size());
  return Client().Dlg().OnGameMessage(sub, bytes.data(), static_cast<std::uint16_t>(bytes.size()));
}

class AuditEdgeCases : public ::testing::Test {
 protected:
  void SetUp() override {
    ::testing::internal::CaptureStdout();  // the client's trace lines
    Client().ResetScene();
  }
  void TearDown() override { ::testing::internal::GetCapturedStdout(); }
};

TEST_F(AuditEdgeCases, HistoryKeepsThirtyRowsAndIsNotTakenForLuckyUsers) {
  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> history(31);
  for (std::size_t i = 0; i < history.size(); ++i) {
    history[i] = {};
    history[i].goodsNumber = static_cast<std::uint32_t>(100 + i);
    SetFieldText(history[i].winnerNickname, "w" + std::to_string(i));
  }
  EXPECT_TRUE(Send(SUB_S_RECENTLY_RESULT, history));
  EXPECT_EQ(GetSellRecord().GetRowCount(), 30);

  // The same 116 bytes under the lucky-user code are read with that layout:
  // a winner line appears and the history stays as it was.
  MessageView* view = Client().View().GetMessageView();
  const std::size_t lines = view->LuckyUserLines().size();
  std::vector<CMD_GF_VELMORA_LUCKY_USER_RSP> lucky(1);
  std::memcpy(lucky.data(), history.data(), sizeof(lucky[0]));
  EXPECT_TRUE(Send(SUB_S_LUCKY_USER, lucky));
  EXPECT_EQ(view->LuckyUserLines().size(), lines + 3);
  EXPECT_EQ(GetSellRecord().GetRowCount(), 30);
}

TEST_F(AuditEdgeCases, FullLengthNicknameIsReadToTheEndOfItsField) {
  std::vector<CMD_GF_VELMORA_AUCTION_RESULT_NTF> result(1);
  result[0] = {};
  result[0].kind = AUCTION_RESULT_WON;
  std::memset(result[0].winnerNickname, 'N', sizeof(result[0].winnerNickname));  // no terminator
  result[0].goodsNumber = 57;
  result[0].winnerShares = 3;
  EXPECT_TRUE(Send(SUB_S_AUCTION_RESULT, result));
  EXPECT_EQ(GetMsgBox().GetWinnerName(), std::string(sizeof(result[0].winnerNickname), 'N'));
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_OTHER_WON);
}

TEST_F(AuditEdgeCases, EmptyGoodsListEmptiesTheStoreAndLaterMessagesFindNothing) {
  EXPECT_TRUE(Send(SUB_S_GOODS_LIST, std::vector<CMD_GF_VELMORA_GOODS_ITEM>{}));
  // With nothing stored a purchase notice and a start are harmless.
  std::vector<CMD_GF_VELMORA_BUY_NTF> notice(1);
  notice[0] = {};
  notice[0].userId = veltest::HeadlessClient::kUserId;
  notice[0].goodsId = veltest::HeadlessClient::kLotGoodsId;
  notice[0].shares = 2;
  EXPECT_TRUE(Send(SUB_S_BUY_NOTIFY, notice));
  EXPECT_EQ(GetMsgBox().GetKind(), MSGBOX_NONE);
  EXPECT_FALSE(Send(SUB_S_AUCTION_START, std::vector<CMD_GF_VELMORA_AUCTION_START_NTF>{{57}}));
  Client().Step(1000);  // the countdown tick finds no lot
  EXPECT_TRUE(Client().Frame().IsRunning());
}

}  // namespace
