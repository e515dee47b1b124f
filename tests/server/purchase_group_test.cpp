// Purchases stored in groups: the purchases of one turn of the server's loop
// are one transaction, each is answered only after it, answers keep their
// order per buyer, and a group can neither over-sell a lot nor lose coins.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <future>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "server/auction.h"
#include "server/goodscatalogue.h"
#include "server/outbox.h"
#include "server/store.h"
#include "tests/server/serverfixture.h"

namespace veltest {
namespace {

namespace net = plat::net;
using velsrv::Auction;
using velsrv::BUY_RESULT_SERVER_ERROR;

struct Sent {
  std::uint32_t userId = 0;  // 0: to everybody
  std::uint16_t mainCmd = 0;
  std::uint16_t subCmd = 0;
  std::vector<std::uint8_t> payload;
};

class RecordingOutbox final : public velsrv::Outbox {
 public:
  void SendTo(std::uint32_t userId, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
              std::size_t size) override {
    if (exitAtFirstAnswer && mainCmd == MDM_GF_GAME && subCmd == SUB_S_BUY_RESULT) std::_Exit(3);
    Record(userId, mainCmd, subCmd, data, size);
  }
  void Broadcast(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) override {
    Record(0, mainCmd, subCmd, data, size);
  }

  // The purchase answers one buyer got, in order.
  std::vector<int> Answers(std::uint32_t userId) const {
    std::vector<int> codes;
    for (const Sent& s : sent)
      if (s.userId == userId && s.subCmd == SUB_S_BUY_RESULT && s.mainCmd == MDM_GF_GAME) codes.push_back(s.payload[0]);
    return codes;
  }
  std::size_t Count(std::uint16_t mainCmd, std::uint16_t subCmd) const {
    std::size_t n = 0;
    for (const Sent& s : sent) n += s.mainCmd == mainCmd && s.subCmd == subCmd;
    return n;
  }

  std::vector<Sent> sent;
  bool exitAtFirstAnswer = false;  // a crash right after the commit

 private:
  void Record(std::uint32_t userId, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    sent.push_back({userId, mainCmd, subCmd, std::vector<std::uint8_t>(bytes, bytes + size)});
  }
};

// The game without the network: a store file, a manual clock, recorded messages.
class GroupTest : public ServerFixture {
 protected:
  void OpenGame(std::uint32_t initialCoins = 1000000, std::uint32_t reliefCoins = 100000) {
    std::string error;
    ASSERT_TRUE(catalogue_.LoadFile(dir_ + "/goods.xml", &error)) << error;
    store_ = velsrv::Store::Open(Db(), false, &error, 20);
    ASSERT_TRUE(store_) << error;
    velsrv::AuctionOptions options;
    options.lotSeconds = kLotSeconds;
    options.pauseSeconds = kPauseSeconds;
    options.initialCoins = initialCoins;
    options.reliefCoins = reliefCoins;
    game_ = std::make_unique<Auction>(catalogue_, *store_, clock_, options, out_);
    ASSERT_TRUE(game_->Start(&error)) << error;
    lot_ = game_->CurrentLot()->goodsId;
  }
  void CloseGame() {
    game_.reset();
    store_.reset();
  }
  std::uint32_t Player(const char* name) { return game_->EnsurePlayer(name, false)->id; }
  long long Coins(std::uint32_t id) { return store_->FindPlayer(id)->coins; }
  std::string Db() const { return dir_ + "/game.db"; }
  // Runs SQL on a connection of its own, as another program would.
  void ExecElsewhere(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(Db().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }

  // Run in a child process: a group of three buyers, and an exit as the first answer is sent.
  void BuyThenDieAtTheFirstAnswer() {
    OpenGame();
    const std::uint32_t a = Player("a"), b = Player("b"), c = Player("c");
    game_->Buy(a, lot_, 3);
    game_->Buy(b, lot_, 4);
    game_->Buy(c, lot_, 1);  // under the minimum: refused, answered after the commit
    out_.exitAtFirstAnswer = true;
    game_->CommitPurchases();
    std::_Exit(0);
  }

  velsrv::GoodsCatalogue catalogue_;
  std::unique_ptr<velsrv::Store> store_;
  RecordingOutbox out_;
  std::unique_ptr<Auction> game_;
  std::uint32_t lot_ = 0;
};

TEST_F(GroupTest, PurchasesOfATurnAreStoredTogetherAndAnsweredOnlyAfterTheCommit) {
  OpenGame();
  const std::uint32_t alice = Player("alice"), bob = Player("bob");
  EXPECT_FALSE(game_->Buy(alice, lot_, 3));
  EXPECT_EQ(game_->BuyAll(bob, lot_ + 1000), std::optional<std::uint8_t>(BUY_RESULT_NO_GOODS));  // answered at once
  EXPECT_FALSE(game_->Buy(bob, lot_, 4));
  EXPECT_EQ(out_.Answers(bob), std::vector<int>{BUY_RESULT_NO_GOODS});
  // Nothing of the group is stored, counted or told before its commit.
  EXPECT_TRUE(out_.Answers(alice).empty());
  EXPECT_EQ(out_.Count(MDM_GF_GAME, SUB_S_BUY_NOTIFY), 0u);
  EXPECT_EQ(store_->SumPaid(), 0);
  EXPECT_EQ(game_->CurrentLot()->soldShares, 0u);
  EXPECT_EQ(game_->CurrentLot()->waitingShares, 7u);

  game_->CommitPurchases();
  EXPECT_EQ(game_->PurchaseGroups().groups, 1u);
  EXPECT_EQ(game_->PurchaseGroups().purchases, 2u);
  EXPECT_EQ(out_.Answers(alice), std::vector<int>{BUY_RESULT_OK});
  EXPECT_EQ(out_.Answers(bob), (std::vector<int>{BUY_RESULT_NO_GOODS, BUY_RESULT_OK}));
  EXPECT_EQ(out_.Count(MDM_GF_GAME, SUB_S_BUY_NOTIFY), 2u);
  EXPECT_EQ(store_->SumPaid(), 7 * static_cast<long long>(kPrice));
  EXPECT_EQ(Coins(bob), 1000000 - 4 * static_cast<long long>(kPrice));
  EXPECT_EQ(game_->CurrentLot()->soldShares, 7u);
  EXPECT_EQ(game_->HeldShares(bob), 4u);

  game_->CommitPurchases();  // nothing waits: no empty transaction
  EXPECT_EQ(game_->PurchaseGroups().groups, 1u);
}

TEST_F(GroupTest, AGroupCannotOverSellTheLotAndItClosesOnceAfterTheCommit) {
  OpenGame();
  const std::uint32_t a = Player("a"), b = Player("b"), c = Player("c"), d = Player("d"), e = Player("e");
  game_->Buy(a, lot_, 4);
  game_->Buy(b, lot_, 4);
  game_->Buy(c, lot_, 4);  // 2 left after the two before it
  game_->BuyAll(d, lot_);  // the 2 left
  game_->Buy(e, lot_, 3);  // sold out within the group
  game_->BuyAll(e, lot_);
  game_->CommitPurchases();

  EXPECT_EQ(out_.Answers(a), std::vector<int>{BUY_RESULT_OK});
  EXPECT_EQ(out_.Answers(b), std::vector<int>{BUY_RESULT_OK});
  EXPECT_EQ(out_.Answers(c), std::vector<int>{BUY_RESULT_SHARES_SHORT});
  EXPECT_EQ(out_.Answers(d), std::vector<int>{BUY_RESULT_OK});
  EXPECT_EQ(out_.Answers(e), (std::vector<int>{BUY_RESULT_NO_AUCTION_GOODS, BUY_RESULT_NO_AUCTION_GOODS}));
  EXPECT_EQ(store_->SumPaid(), static_cast<long long>(kShares) * kPrice);
  EXPECT_EQ(store_->SumCoins() + store_->SumPaid(), 5 * 1000000ll);

  // Exactly the lot's shares announced, then one result, after the last of them.
  std::uint32_t announced = 0;
  std::size_t lastNotice = 0, result = 0, results = 0;
  for (std::size_t i = 0; i < out_.sent.size(); ++i) {
    const Sent& s = out_.sent[i];
    if (s.subCmd == SUB_S_BUY_NOTIFY && s.mainCmd == MDM_GF_GAME) {
      CMD_GF_VELMORA_BUY_NTF ntf;
      std::memcpy(&ntf, s.payload.data(), sizeof(ntf));
      announced += ntf.shares;
      lastNotice = i;
    }
    if (s.subCmd == SUB_S_AUCTION_RESULT && s.mainCmd == MDM_GF_GAME) {
      result = i;
      ++results;
    }
  }
  EXPECT_EQ(announced, kShares);
  ASSERT_EQ(results, 1u);
  EXPECT_GT(result, lastNotice);
  EXPECT_FALSE(game_->CurrentLot());  // the pause after a won lot
}

TEST_F(GroupTest, ABuyersCoinsCountItsWaitingPurchasesAndItsAnswersKeepTheirOrder) {
  OpenGame(70000, 0);  // seven shares each, no relief
  const std::uint32_t alice = Player("alice");
  EXPECT_FALSE(game_->Buy(alice, lot_, 4));
  EXPECT_FALSE(game_->Buy(alice, lot_, 99));  // refused, but answered behind the purchase before it
  EXPECT_FALSE(game_->Buy(alice, lot_, 3));
  EXPECT_FALSE(game_->Buy(alice, lot_, 3));  // the coins are spent by the two waiting purchases
  EXPECT_TRUE(out_.Answers(alice).empty());
  game_->CommitPurchases();
  EXPECT_EQ(out_.Answers(alice),
            (std::vector<int>{BUY_RESULT_OK, BUY_RESULT_SHARES_SHORT, BUY_RESULT_OK, BUY_RESULT_COINS_SHORT}));
  EXPECT_EQ(Coins(alice), 0);
  EXPECT_EQ(store_->SumPaid(), 70000);
}

// Another program adds a rule that refuses the third buyer's row: the
// transaction fails in its middle, after two purchases of the group went in.
TEST_F(GroupTest, AFailedGroupAnswersNoneAsStoredAndLeavesEveryCoin) {
  OpenGame();
  const std::uint32_t alice = Player("alice"), bob = Player("bob"), carol = Player("carol"), dave = Player("dave"),
                      erin = Player("erin");
  ExecElsewhere("CREATE TRIGGER refuse BEFORE INSERT ON purchases WHEN NEW.player_id = " + std::to_string(carol) +
                " BEGIN SELECT RAISE(ABORT, 'refused'); END");
  game_->Buy(alice, lot_, 3);
  game_->Buy(bob, lot_, 3);
  game_->Buy(carol, lot_, 4);  // the last four
  game_->Buy(dave, lot_, 3);   // sold out by the group: refused because of it
  const auto candidate = game_->CandidateIds().front();
  EXPECT_EQ(game_->Buy(erin, candidate, 3), std::optional<std::uint8_t>(BUY_RESULT_NOT_CURRENT));
  game_->CommitPurchases();

  for (std::uint32_t id : {alice, bob, carol, dave}) {
    EXPECT_EQ(out_.Answers(id), std::vector<int>{BUY_RESULT_SERVER_ERROR}) << id;
    EXPECT_EQ(Coins(id), 1000000);
  }
  EXPECT_EQ(out_.Answers(erin), std::vector<int>{BUY_RESULT_NOT_CURRENT});
  EXPECT_EQ(out_.Count(MDM_GF_GAME, SUB_S_BUY_NOTIFY), 0u);
  EXPECT_EQ(out_.Count(net::kMainLogin, net::kSubUserRecord), 0u);
  EXPECT_EQ(store_->SumPaid(), 0);
  EXPECT_EQ(game_->PurchaseGroups().failedGroups, 1u);
  EXPECT_EQ(game_->PurchaseGroups().purchases, 0u);
  EXPECT_EQ(game_->CurrentLot()->soldShares, 0u);

  // Once the rule is gone the whole lot is still for sale.
  ExecElsewhere("DROP TRIGGER refuse");
  game_->BuyAll(carol, lot_);
  game_->CommitPurchases();
  EXPECT_EQ(out_.Answers(carol).back(), BUY_RESULT_OK);
  EXPECT_EQ(store_->SumPaid(), static_cast<long long>(kShares) * kPrice);
}

// The process dies between the commit and the first answer: everything the
// group took is stored with its purchases, and the next start refunds it.
TEST_F(GroupTest, CrashBetweenTheCommitAndTheAnswersLeavesTheStoreWhole) {
  GTEST_FLAG_SET(death_test_style, "fast");  // the child shares this test's folder
  EXPECT_EXIT(BuyThenDieAtTheFirstAnswer(), ::testing::ExitedWithCode(3), "");

  std::string error;
  store_ = velsrv::Store::Open(Db(), false, &error);
  ASSERT_TRUE(store_) << error;
  EXPECT_EQ(store_->SumPaid(), 7 * static_cast<long long>(kPrice));
  EXPECT_EQ(store_->SumCoins() + store_->SumPaid(), 3 * 1000000ll);
  EXPECT_EQ(store_->FindPlayerByName("b")->coins, 1000000 - 4 * static_cast<long long>(kPrice));
  EXPECT_EQ(store_->OpenLotIds().size(), 1u);
  store_.reset();

  OpenGame();  // the lot left open is refunded
  EXPECT_EQ(store_->SumPaid(), 0);
  EXPECT_EQ(store_->SumCoins(), 3 * 1000000ll);
}

// Over the network: the purchases that arrive while the server's thread is
// busy are read in one turn of its loop and stored in one commit.
TEST_F(GroupTest, PurchasesFromSeveralClientsInOneTurnShareOneCommit) {
  StartServer();
  TestClient clients[3];
  std::uint32_t lot = 0;
  const char* names[3] = {"alice", "bob", "carol"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(clients[i].Connect(server_.Port()));
    ASSERT_TRUE(clients[i].Login(names[i]));
    auto scene = clients[i].WaitFor(net::kMainScene, SCENE_STATUS_FREE);
    ASSERT_TRUE(scene);
    for (const auto& g : scene->AsList<CMD_GF_VELMORA_GOODS_ITEM>())
      if (g.state == GOODS_STATE_SELLING) lot = g.goodsId;
  }
  Auction::GroupStats before;
  server_.Inspect([&](Auction& game, velsrv::Store&) { before = game.PurchaseGroups(); });

  std::promise<void> busy, release;
  std::thread blocker([&] {
    server_.Inspect([&](Auction&, velsrv::Store&) {
      busy.set_value();
      release.get_future().wait();
    });
  });
  busy.get_future().wait();
  const std::uint32_t shares[3] = {3, 3, 4};  // in any order: the whole lot
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(clients[i].SendRecord(MDM_GF_GAME, SUB_C_BUY, MakeBuyRequest(lot, shares[i])));
  for (TestClient& c : clients) ASSERT_TRUE(c.WaitDelivered());
  release.set_value();
  blocker.join();

  for (TestClient& c : clients) {
    auto rsp = c.WaitFor(MDM_GF_GAME, SUB_S_BUY_RESULT);
    ASSERT_TRUE(rsp);
    EXPECT_EQ(rsp->As<CMD_GF_VELMORA_BUY_RSP>().result, BUY_RESULT_OK);
  }
  server_.Inspect([&](Auction& game, velsrv::Store& db) {
    EXPECT_EQ(game.PurchaseGroups().groups, before.groups + 1);
    EXPECT_EQ(game.PurchaseGroups().purchases, before.purchases + 3);
    EXPECT_EQ(db.SumPaid(), 10 * static_cast<long long>(kPrice));
  });
  auto result = clients[0].WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->As<CMD_GF_VELMORA_AUCTION_RESULT_NTF>().kind, AUCTION_RESULT_WON);
}

// Frames a client sends after a purchase are handled after its answer: a
// pong still tells that everything before it was answered.
TEST_F(GroupTest, AClientsLaterRequestsAreAnsweredAfterItsWaitingPurchase) {
  StartServer();
  TestClient alice;
  ASSERT_TRUE(alice.Connect(server_.Port()));
  ASSERT_TRUE(alice.Login("alice"));
  auto scene = alice.WaitFor(net::kMainScene, SCENE_STATUS_FREE);
  ASSERT_TRUE(scene);
  std::uint32_t lot = 0;
  for (const auto& g : scene->AsList<CMD_GF_VELMORA_GOODS_ITEM>())
    if (g.state == GOODS_STATE_SELLING) lot = g.goodsId;
  alice.ClearInbox();

  std::string burst;  // one write: buy, ping, buy too many, buy
  const auto buy3 = MakeBuyRequest(lot, 3), buy11 = MakeBuyRequest(lot, 11), buy4 = MakeBuyRequest(lot, 4);
  const std::uint32_t token = 77;
  ASSERT_TRUE(net::AppendFrame(burst, MDM_GF_GAME, SUB_C_BUY, &buy3, sizeof(buy3)));
  ASSERT_TRUE(net::AppendFrame(burst, net::kMainHeartbeat, net::kSubPing, &token, sizeof(token)));
  ASSERT_TRUE(net::AppendFrame(burst, MDM_GF_GAME, SUB_C_BUY, &buy11, sizeof(buy11)));
  ASSERT_TRUE(net::AppendFrame(burst, MDM_GF_GAME, SUB_C_BUY, &buy4, sizeof(buy4)));
  ASSERT_TRUE(alice.SendRaw(burst.data(), burst.size()));
  ASSERT_TRUE(alice.WaitForCount(MDM_GF_GAME, SUB_S_BUY_RESULT, 3));

  std::vector<int> order;  // answers as they came; -1 for the pong
  for (const Frame& f : alice.Inbox()) {
    if (f.mainCmd == MDM_GF_GAME && f.subCmd == SUB_S_BUY_RESULT) order.push_back(f.payload[0]);
    if (f.mainCmd == net::kMainHeartbeat && f.subCmd == net::kSubPong) order.push_back(-1);
  }
  EXPECT_EQ(order, (std::vector<int>{BUY_RESULT_OK, -1, BUY_RESULT_SHARES_SHORT, BUY_RESULT_OK}));
  server_.Inspect([](Auction& game, velsrv::Store& db) {
    EXPECT_EQ(game.CurrentLot()->soldShares, 7u);
    EXPECT_EQ(db.SumPaid(), 7 * static_cast<long long>(kPrice));
  });
}

}  // namespace
}  // namespace veltest
