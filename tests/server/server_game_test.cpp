// The game over loopback: rounds, refunds, result codes, restarts.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "client/core/cmd_velmora.h"
#include "platform/net/framemessages.h"
#include "server/auction.h"
#include "server/gbktext.h"
#include "server/store.h"
#include "tests/server/serverfixture.h"

namespace veltest {
namespace {

namespace net = plat::net;
using Item = CMD_GF_VELMORA_GOODS_ITEM;

struct Entry {
  std::vector<Item> goods;
  std::vector<CMD_GF_VELMORA_LIKE_STATE_ENTRY> likes;
  std::vector<CMD_GF_VELMORA_MY_BUY_RECORD_RSP> myBuys;
  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> history;
  std::vector<CMD_GF_VELMORA_LUCKY_USER_RSP> lucky;
};

// Logs in and collects everything sent on entry, in the order it is sent.
Entry Enter(TestClient& client, std::uint16_t port, const std::string& nickname) {
  Entry e;
  EXPECT_TRUE(client.Connect(port));
  EXPECT_TRUE(client.Login(nickname));
  auto scene = client.WaitFor(net::kMainScene, SCENE_STATUS_FREE);
  auto likes = client.WaitFor(MDM_GF_GAME, SUB_S_LIKE_STATE);
  auto mine = client.WaitFor(MDM_GF_GAME, SUB_S_MY_BUY_RECORD);
  auto history = client.WaitFor(MDM_GF_GAME, SUB_S_RECENTLY_RESULT);
  auto lucky = client.WaitFor(MDM_GF_GAME, SUB_S_LUCKY_USER);
  EXPECT_TRUE(scene && likes && mine && history && lucky) << nickname << " missed part of the entry";
  if (!(scene && likes && mine && history && lucky)) return e;
  EXPECT_EQ(scene->payload.size() % sizeof(Item), 0u);
  e.goods = scene->AsList<Item>();
  EXPECT_EQ(likes->payload.size(), LIKE_ENTRY_COUNT * sizeof(CMD_GF_VELMORA_LIKE_STATE_ENTRY));
  e.likes = likes->AsList<CMD_GF_VELMORA_LIKE_STATE_ENTRY>();
  e.myBuys = mine->AsList<CMD_GF_VELMORA_MY_BUY_RECORD_RSP>();
  e.history = history->AsList<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP>();
  e.lucky = lucky->AsList<CMD_GF_VELMORA_LUCKY_USER_RSP>();
  return e;
}

const Item* LotOf(const std::vector<Item>& goods) {
  for (const Item& g : goods) {
    if (g.state == GOODS_STATE_SELLING) return &g;
  }
  return nullptr;
}

const Item* SlotOf(const std::vector<Item>& goods, std::uint32_t slot) {
  for (const Item& g : goods) {
    if (g.slot == slot) return &g;
  }
  return nullptr;
}

int Buy(TestClient& c, std::uint32_t goodsId, std::uint32_t shares) {
  if (!c.SendRecord(MDM_GF_GAME, SUB_C_BUY, MakeBuyRequest(goodsId, shares))) return -1;
  auto rsp = c.WaitFor(MDM_GF_GAME, SUB_S_BUY_RESULT);
  return rsp ? rsp->As<CMD_GF_VELMORA_BUY_RSP>().result : -1;
}

int BuyAll(TestClient& c, std::uint32_t goodsId) {
  if (!c.SendRecord(MDM_GF_GAME, SUB_C_BUY_ALL, MakeBuyAllRequest(goodsId))) return -1;
  auto rsp = c.WaitFor(MDM_GF_GAME, SUB_S_BUY_RESULT);
  return rsp ? rsp->As<CMD_GF_VELMORA_BUY_RSP>().result : -1;
}

std::uint32_t LikeCountIn(const Frame& update, std::uint32_t goodsId) {
  for (const auto& e : update.AsList<CMD_GF_VELMORA_LIKE_UPDATE_ENTRY>()) {
    if (e.goodsId == goodsId) return e.likeCount;
  }
  return ~0u;
}

std::uint32_t CoinsOf(TestClient& c) {
  auto rec = c.WaitFor(net::kMainLogin, net::kSubUserRecord);
  return rec ? rec->As<net::NetUserRecord>().coins : ~0u;
}

class GameTest : public ServerFixture {};

TEST_F(GameTest, EntryShowsSevenGoodsWithTheLotInSlotSeven) {
  StartServer();
  TestClient alice;
  Entry e = Enter(alice, server_.Port(), "阿丽");
  ASSERT_EQ(e.goods.size(), MAX_LISTED_GOODS);
  const Item* lot = LotOf(e.goods);
  ASSERT_NE(lot, nullptr);
  EXPECT_EQ(lot->slot, 7u);
  EXPECT_EQ(lot->tileIndex, 6u);
  EXPECT_EQ(lot->secondsLeft, kLotSeconds);
  std::set<std::uint32_t> ids, numbers, tiles;
  for (const Item& g : e.goods) {
    ids.insert(g.goodsId);
    numbers.insert(g.goodsNumber);
    EXPECT_EQ(g.sharePrice, kPrice);
    EXPECT_EQ(g.totalShares, kShares);
    EXPECT_EQ(g.minPurchase, 30000u);
    EXPECT_FALSE(FieldText(g.goodsName).empty());
    if (g.state == GOODS_STATE_CANDIDATE) {
      EXPECT_EQ(g.tileIndex, g.slot - 1);  // the client's tile loops pair slot i+1 with tile i
      tiles.insert(g.tileIndex);
    }
  }
  EXPECT_EQ(ids.size(), 7u);
  EXPECT_EQ(numbers.size(), 7u);
  EXPECT_EQ(tiles, (std::set<std::uint32_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(e.myBuys.empty());
  EXPECT_TRUE(e.history.empty());
  EXPECT_TRUE(e.lucky.empty());
}

TEST_F(GameTest, FullRoundWithTwoPlayers) {
  StartServer();
  TestClient alice, bob;
  Entry ea = Enter(alice, server_.Port(), "alice");
  Entry eb = Enter(bob, server_.Port(), "bob");
  const Item lot = *LotOf(ea.goods);
  const Item liked = *SlotOf(ea.goods, 3);
  const Item other = *SlotOf(ea.goods, 5);

  // Likes: one per player per candidate; both players see the counts.
  ASSERT_TRUE(alice.SendRecord(MDM_GF_GAME, SUB_C_LIKE, MakeLikeRequest(liked.goodsId)));
  auto up = bob.WaitFor(MDM_GF_GAME, SUB_S_LIKE_UPDATE);
  ASSERT_TRUE(up);
  EXPECT_EQ(LikeCountIn(*up, liked.goodsId), 1u);
  auto mark = alice.WaitFor(MDM_GF_GAME, SUB_S_LIKE_STATE);
  ASSERT_TRUE(mark);
  bool marked = false;
  for (const auto& m : mark->AsList<CMD_GF_VELMORA_LIKE_STATE_ENTRY>())
    if (m.goodsId == liked.goodsId) marked = m.liked != 0 && m.likeCount == 1;
  EXPECT_TRUE(marked);
  ASSERT_TRUE(bob.SendRecord(MDM_GF_GAME, SUB_C_LIKE, MakeLikeRequest(liked.goodsId)));
  ASSERT_TRUE(bob.SendRecord(MDM_GF_GAME, SUB_C_LIKE, MakeLikeRequest(other.goodsId)));
  ASSERT_TRUE(alice.SendRecord(MDM_GF_GAME, SUB_C_LIKE, MakeLikeRequest(liked.goodsId)));  // repeat: not counted
  ASSERT_TRUE(alice.Sync());
  ASSERT_TRUE(bob.Sync());
  server_.Inspect([&](velsrv::Auction& game, velsrv::Store&) {
    EXPECT_EQ(game.LikeCount(liked.goodsId), 2u);
    EXPECT_EQ(game.LikeCount(other.goodsId), 1u);
    EXPECT_EQ(game.LikeCount(lot.goodsId), 0u);
  });

  // Purchases from both: 4 by alice, the remaining 6 by bob with buy-all.
  EXPECT_EQ(Buy(alice, lot.goodsId, 4), BUY_RESULT_OK);
  auto seen = bob.WaitFor(MDM_GF_GAME, SUB_S_BUY_NOTIFY);
  ASSERT_TRUE(seen);
  const auto ntf = seen->As<CMD_GF_VELMORA_BUY_NTF>();
  EXPECT_EQ(ntf.userId, alice.UserId());
  EXPECT_EQ(ntf.goodsId, lot.goodsId);
  EXPECT_EQ(ntf.shares, 4u);
  EXPECT_EQ(FieldText(ntf.buyTime).size(), 19u);
  EXPECT_EQ(CoinsOf(alice), 1000000u - 4 * kPrice);

  EXPECT_EQ(BuyAll(bob, lot.goodsId), BUY_RESULT_OK);
  EXPECT_EQ(CoinsOf(bob), 1000000u - 6 * kPrice);

  // Sold out: both hear the same winner, who holds the shares announced.
  for (TestClient* c : {&alice, &bob}) {
    auto res = c->WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT);
    ASSERT_TRUE(res);
    const auto r = res->As<CMD_GF_VELMORA_AUCTION_RESULT_NTF>();
    EXPECT_EQ(r.kind, AUCTION_RESULT_WON);
    EXPECT_EQ(r.goodsNumber, lot.goodsNumber);
    EXPECT_EQ(r.nextGoodsNumber, liked.goodsNumber);  // most liked candidate
    const std::string winner = FieldText(r.winnerNickname);
    ASSERT_TRUE(winner == "alice" || winner == "bob") << winner;
    EXPECT_EQ(r.winnerShares, winner == "alice" ? 4u : 6u);
    auto history = c->WaitFor(MDM_GF_GAME, SUB_S_RECENTLY_RESULT);
    ASSERT_TRUE(history);
    ASSERT_EQ(history->payload.size(), sizeof(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP));
    EXPECT_EQ(FieldText(history->As<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP>().winnerNickname), winner);
  }

  // After the pause: the liked candidate moves to slot 7 and opens, a waiting
  // goods item takes its slot, and the likes of the new period start at 0.
  AdvanceSeconds(kPauseSeconds);
  for (TestClient* c : {&alice, &bob}) {
    auto first = c->WaitFor(MDM_GF_GAME, SUB_S_EXCHANGE_GOODS);
    auto second = c->WaitFor(MDM_GF_GAME, SUB_S_EXCHANGE_GOODS);
    auto start = c->WaitFor(MDM_GF_GAME, SUB_S_AUCTION_START);
    // Then the whole list, on which a client resets its buy panel and its countdown.
    auto list = c->WaitFor(MDM_GF_GAME, SUB_S_GOODS_LIST);
    auto reset = c->WaitFor(MDM_GF_GAME, SUB_S_LIKE_UPDATE);
    ASSERT_TRUE(first && second && start && list && reset);
    const auto listed = list->AsList<Item>();
    const Item* listedLot = LotOf(listed);
    ASSERT_NE(listedLot, nullptr);
    EXPECT_EQ(listedLot->goodsId, liked.goodsId);
    EXPECT_EQ(listedLot->secondsLeft, kLotSeconds);
    EXPECT_EQ(listedLot->heldShares, 0u);
    const Item incoming = first->As<Item>();
    const Item opened = second->As<Item>();
    EXPECT_EQ(incoming.slot, liked.slot);
    EXPECT_EQ(incoming.tileIndex, liked.tileIndex);
    EXPECT_EQ(incoming.state, GOODS_STATE_CANDIDATE);
    EXPECT_EQ(incoming.likeCount, 0u);
    EXPECT_TRUE(std::none_of(ea.goods.begin(), ea.goods.end(),
                             [&](const Item& g) { return g.goodsId == incoming.goodsId; }));
    EXPECT_EQ(opened.slot, 7u);
    EXPECT_EQ(opened.tileIndex, 6u);
    EXPECT_EQ(opened.goodsId, liked.goodsId);
    EXPECT_EQ(opened.state, GOODS_STATE_SELLING);
    EXPECT_EQ(opened.soldShares, 0u);
    EXPECT_EQ(opened.secondsLeft, kLotSeconds);
    EXPECT_EQ(start->As<CMD_GF_VELMORA_AUCTION_START_NTF>().goodsNumber, liked.goodsNumber);
    EXPECT_EQ(LikeCountIn(*reset, other.goodsId), 0u);
  }
  // The next lot is open for business.
  EXPECT_EQ(Buy(alice, liked.goodsId, 3), BUY_RESULT_OK);
  EXPECT_TRUE(bob.WaitFor(MDM_GF_GAME, SUB_S_BUY_NOTIFY));
}

TEST_F(GameTest, FailedLotRefundsEveryBuyer) {
  StartServer();
  TestClient alice, bob;
  Entry ea = Enter(alice, server_.Port(), "alice");
  Enter(bob, server_.Port(), "bob");
  const Item lot = *LotOf(ea.goods);
  EXPECT_EQ(Buy(alice, lot.goodsId, 3), BUY_RESULT_OK);
  EXPECT_EQ(Buy(bob, lot.goodsId, 4), BUY_RESULT_OK);  // 3 shares stay unsold
  ASSERT_TRUE(alice.Sync());
  ASSERT_TRUE(bob.Sync());
  alice.ClearInbox();
  bob.ClearInbox();

  AdvanceSeconds(kLotSeconds);
  for (TestClient* c : {&alice, &bob}) {
    auto res = c->WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT);
    ASSERT_TRUE(res);
    const auto r = res->As<CMD_GF_VELMORA_AUCTION_RESULT_NTF>();
    EXPECT_EQ(r.kind, AUCTION_RESULT_FAILED);
    EXPECT_EQ(r.goodsNumber, lot.goodsNumber);
    EXPECT_TRUE(FieldText(r.winnerNickname).empty());
    EXPECT_EQ(CoinsOf(*c), 1000000u);  // every coin paid comes back
  }
  server_.Inspect([](velsrv::Auction&, velsrv::Store& db) {
    EXPECT_EQ(db.SumPaid(), 0);
    EXPECT_EQ(db.SumCoins(), 2 * 1000000);
    EXPECT_TRUE(db.RecentWins(10).empty());  // a failed lot is not a sale
  });
}

TEST_F(GameTest, EveryPurchaseResultCodeForItsReason) {
  velsrv::ServerOptions o = Options();
  o.initialCoins = 60000;  // six shares' worth
  o.reliefCoins = 0;       // no top-up: a spent player stays spent here
  StartServer(o);
  TestClient alice, bob, stranger;
  Entry ea = Enter(alice, server_.Port(), "alice");
  Enter(bob, server_.Port(), "bob");
  const Item lot = *LotOf(ea.goods);
  const Item candidate = *SlotOf(ea.goods, 1);

  ASSERT_TRUE(stranger.Connect(server_.Port()));  // connected, never logged in
  EXPECT_EQ(Buy(stranger, lot.goodsId, 3), BUY_RESULT_NO_USER);
  EXPECT_EQ(BuyAll(stranger, lot.goodsId), BUY_RESULT_NO_USER);

  EXPECT_EQ(Buy(alice, 987654, 3), BUY_RESULT_NO_GOODS);
  EXPECT_EQ(Buy(alice, candidate.goodsId, 3), BUY_RESULT_NOT_CURRENT);
  EXPECT_EQ(Buy(alice, lot.goodsId, 0), BUY_RESULT_BAD_SHARES);
  EXPECT_EQ(Buy(alice, lot.goodsId, 2), BUY_RESULT_BAD_SHARES);  // minimum is 3 shares
  EXPECT_EQ(Buy(alice, lot.goodsId, 11), BUY_RESULT_SHARES_SHORT);
  EXPECT_EQ(Buy(alice, lot.goodsId, 7), BUY_RESULT_COINS_SHORT);
  EXPECT_EQ(BuyAll(alice, lot.goodsId), BUY_RESULT_COINS_SHORT);  // 10 shares, 6 affordable
  EXPECT_EQ(Buy(alice, lot.goodsId, 6), BUY_RESULT_OK);
  EXPECT_EQ(Buy(bob, lot.goodsId, 5), BUY_RESULT_SHARES_SHORT);  // 4 left
  EXPECT_EQ(Buy(bob, lot.goodsId, 3), BUY_RESULT_BAD_SHARES);    // 1 would be left over: all 4 or nothing
  EXPECT_EQ(Buy(alice, lot.goodsId, 4), BUY_RESULT_COINS_SHORT);  // alice has spent everything

  clock_.Advance(kLotSeconds * 1000);  // time is up, the close has not run yet
  EXPECT_EQ(Buy(bob, lot.goodsId, 4), BUY_RESULT_TIME_OVER);
  server_.Tick();  // the lot fails; the pause begins
  EXPECT_EQ(Buy(bob, lot.goodsId, 4), BUY_RESULT_NO_AUCTION_GOODS);
  EXPECT_EQ(BuyAll(bob, candidate.goodsId), BUY_RESULT_NO_AUCTION_GOODS);

  // Refused requests move no coins.
  server_.Inspect([](velsrv::Auction&, velsrv::Store& db) { EXPECT_EQ(db.SumCoins(), 2 * 60000); });
}

TEST_F(GameTest, RestartKeepsBalancesPurchasesAndHistory) {
  std::uint32_t wonNumber = 0, wonValue = 0, aliceCoins = 0, lastNumber = 0;
  std::string winner;
  {
    StartServer();
    TestClient alice, bob;
    Entry ea = Enter(alice, server_.Port(), "小明");
    Enter(bob, server_.Port(), "bob");
    const Item lot = *LotOf(ea.goods);
    wonNumber = lot.goodsNumber;
    wonValue = lot.goodsValue;
    EXPECT_EQ(Buy(alice, lot.goodsId, 5), BUY_RESULT_OK);
    EXPECT_EQ(BuyAll(bob, lot.goodsId), BUY_RESULT_OK);
    auto res = alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT);
    ASSERT_TRUE(res);
    winner = FieldText(res->As<CMD_GF_VELMORA_AUCTION_RESULT_NTF>().winnerNickname);
    AdvanceSeconds(kPauseSeconds);
    auto start = alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_START);
    ASSERT_TRUE(start);
    const std::uint32_t next = start->As<CMD_GF_VELMORA_AUCTION_START_NTF>().goodsNumber;
    lastNumber = next;
    std::uint32_t nextId = 0;
    for (const Item& g : ea.goods) nextId = g.goodsNumber == next ? g.goodsId : nextId;
    // Bought, acknowledged, and then the server stops in the middle of the sale.
    EXPECT_EQ(Buy(alice, nextId, 3), BUY_RESULT_OK);
    alice.ClearInbox();
    server_.Stop();
    aliceCoins = 1000000 - 5 * kPrice;  // the open lot's coins come back after the restart
  }
  StartServer();
  TestClient alice;
  Entry again = Enter(alice, server_.Port(), "小明");
  server_.Inspect([&](velsrv::Auction&, velsrv::Store& db) {
    auto player = db.FindPlayerByName(velsrv::Utf8ToGbk("小明").value());
    ASSERT_TRUE(player);
    EXPECT_EQ(player->coins, aliceCoins);
    EXPECT_EQ(db.SumPaid(), 10 * static_cast<long long>(kPrice));  // only the won lot stays paid
  });
  ASSERT_EQ(again.history.size(), 1u);
  EXPECT_EQ(again.history[0].goodsNumber, wonNumber);
  EXPECT_EQ(FieldText(again.history[0].winnerNickname), winner);
  ASSERT_EQ(again.lucky.size(), 1u);
  EXPECT_EQ(again.lucky[0].goodsNumber, wonNumber);
  ASSERT_EQ(again.myBuys.size(), 2u);  // both purchases, the refunded one included
  EXPECT_EQ(again.myBuys[0].shares, 5u);
  EXPECT_EQ(again.myBuys[1].shares, 3u);
  EXPECT_EQ(again.myBuys[0].goodsValue, wonValue);
  // Goods numbers never repeat across a restart.
  for (const Item& g : again.goods) EXPECT_GT(g.goodsNumber, lastNumber);
}

TEST_F(GameTest, NewBatchFollowsWhenNothingWaits) {
  StartServer();  // eight goods: seven listed, one waiting
  TestClient alice;
  Enter(alice, server_.Port(), "alice");
  AdvanceSeconds(kLotSeconds);  // first lot fails; the one waiting item comes in next
  auto first = alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT);
  ASSERT_TRUE(first);
  EXPECT_NE(first->As<CMD_GF_VELMORA_AUCTION_RESULT_NTF>().nextGoodsNumber, 0u);
  AdvanceSeconds(kPauseSeconds);
  ASSERT_TRUE(alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_START));
  ASSERT_TRUE(alice.WaitFor(MDM_GF_GAME, SUB_S_GOODS_LIST));  // every new lot comes with the list
  AdvanceSeconds(kLotSeconds);
  auto second = alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->As<CMD_GF_VELMORA_AUCTION_RESULT_NTF>().nextGoodsNumber, 0u);
  AdvanceSeconds(kPauseSeconds);
  auto list = alice.WaitFor(MDM_GF_GAME, SUB_S_GOODS_LIST);
  auto start = alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_START);
  ASSERT_TRUE(list && start);
  const auto goods = list->AsList<Item>();
  ASSERT_EQ(goods.size(), MAX_LISTED_GOODS);
  const Item* lot = LotOf(goods);
  ASSERT_NE(lot, nullptr);
  EXPECT_EQ(lot->slot, 7u);
  EXPECT_EQ(start->As<CMD_GF_VELMORA_AUCTION_START_NTF>().goodsNumber, lot->goodsNumber);
  EXPECT_EQ(Buy(alice, lot->goodsId, 3), BUY_RESULT_OK);
}

TEST_F(GameTest, StartReportsWhatIsWrong) {
  StartServer();
  velsrv::Server second;
  std::string error;
  velsrv::ServerOptions o = Options();
  o.dbPath = dir_ + "/other.db";
  EXPECT_FALSE(second.Start(server_.Port(), o, &error));  // the port is taken
  EXPECT_NE(error.find("listen"), std::string::npos) << error;
  o.goodsFile = dir_ + "/missing.xml";
  EXPECT_FALSE(second.Start(0, o, &error));
  EXPECT_FALSE(error.empty());
  o = Options();
  o.dbPath = dir_ + "/no/such/dir/game.db";
  EXPECT_FALSE(second.Start(0, o, &error));
  o = Options();
  o.bindAddress = "not-an-address";
  EXPECT_FALSE(second.Start(0, o, &error));
  EXPECT_FALSE(second.IsRunning());
}

TEST_F(GameTest, UserRecordAtLoginCarriesTheNicknameBytes) {
  StartServer();
  TestClient c;
  ASSERT_TRUE(c.Connect(server_.Port()));
  net::NetLoginRequest req{};
  const std::string gbk = velsrv::Utf8ToGbk("玩家一号").value();
  SetFieldText(req.nickname, gbk);
  req.protocolVersion = net::kProtocolVersion;
  SetFieldText(req.password, TestClient::kPassword);
  ASSERT_TRUE(c.SendRecord(net::kMainLogin, net::kSubLoginRequest, req));
  auto rec = c.WaitFor(net::kMainLogin, net::kSubUserRecord);
  ASSERT_TRUE(rec);
  ASSERT_EQ(rec->payload.size(), sizeof(net::NetUserRecord));
  const auto user = rec->As<net::NetUserRecord>();
  EXPECT_EQ(FieldText(user.nickname), gbk);  // winners are compared byte for byte
  EXPECT_EQ(user.coins, 1000000u);
  EXPECT_NE(user.userId, 0u);
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

std::string NoticeText(const Frame& f) { return velsrv::GbkToUtf8Lossy(FieldText(f.As<net::NetNotice>().text)); }

TEST_F(GameTest, ABrokePlayerIsToppedUpOnceAnHourAndTold) {
  velsrv::ServerOptions o = Options();
  o.initialCoins = 30000;  // three shares' worth
  StartServer(o);
  TestClient alice;
  Entry ea = Enter(alice, server_.Port(), "alice");
  const Item lot = *LotOf(ea.goods);

  // Three shares spend everything: the relief follows at once, with a word on screen.
  EXPECT_EQ(Buy(alice, lot.goodsId, 3), BUY_RESULT_OK);
  EXPECT_EQ(CoinsOf(alice), 0u);
  EXPECT_EQ(CoinsOf(alice), 100000u);
  auto notice = alice.WaitFor(net::kMainLogin, net::kSubNotice);
  ASSERT_TRUE(notice);
  EXPECT_NE(NoticeText(*notice).find("100000"), std::string::npos) << NoticeText(*notice);

  // Broke again within the hour: nothing more.
  EXPECT_EQ(BuyAll(alice, lot.goodsId), BUY_RESULT_OK);  // 7 shares: 30000 left
  ASSERT_TRUE(alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT));  // sold out: the pause runs
  AdvanceSeconds(kPauseSeconds);
  ASSERT_TRUE(alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_START));
  auto list = alice.WaitFor(MDM_GF_GAME, SUB_S_GOODS_LIST);
  ASSERT_TRUE(list);
  const Item next = *LotOf(list->AsList<Item>());
  EXPECT_EQ(Buy(alice, next.goodsId, 3), BUY_RESULT_OK);  // 0 left
  EXPECT_EQ(Buy(alice, next.goodsId, 3), BUY_RESULT_COINS_SHORT);
  ASSERT_TRUE(alice.Sync());
  EXPECT_EQ(alice.Count(net::kMainLogin, net::kSubNotice), 0u);

  // An hour on, being broke brings the relief again.
  AdvanceSeconds(3600);  // the lot fails (refunding alice's 30000)...
  EXPECT_TRUE(alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT));
  AdvanceSeconds(kPauseSeconds);
  auto third = alice.WaitFor(MDM_GF_GAME, SUB_S_GOODS_LIST);
  ASSERT_TRUE(third);
  const Item lot3 = *LotOf(third->AsList<Item>());
  EXPECT_EQ(Buy(alice, lot3.goodsId, 3), BUY_RESULT_OK);  // ...which she spends again
  EXPECT_TRUE(alice.WaitFor(net::kMainLogin, net::kSubNotice));
  server_.Inspect([](velsrv::Auction&, velsrv::Store& db) {
    EXPECT_EQ(db.SumGranted(), 100000 + 100000);
    EXPECT_EQ(db.FindPlayer(1)->coins, 100000);
  });
}

TEST_F(GameTest, ARefundAfterAStopIsExplainedWhenTheBuyerComesBack) {
  std::uint32_t number = 0;
  {
    StartServer();
    TestClient alice, bob;
    Entry ea = Enter(alice, server_.Port(), "alice");
    Enter(bob, server_.Port(), "bob");
    const Item lot = *LotOf(ea.goods);
    number = lot.goodsNumber;
    EXPECT_EQ(Buy(alice, lot.goodsId, 4), BUY_RESULT_OK);
    server_.Stop();
  }
  StartServer();
  TestClient alice, bob;
  Enter(alice, server_.Port(), "alice");
  auto notice = alice.WaitFor(net::kMainLogin, net::kSubNotice);
  ASSERT_TRUE(notice);
  const std::string text = NoticeText(*notice);
  EXPECT_NE(text.find(std::to_string(number) + "号商品"), std::string::npos) << text;
  EXPECT_NE(text.find("40000"), std::string::npos) << text;
  // Told once; bob bought nothing and hears nothing.
  TestClient again;
  alice.Disconnect();
  Enter(again, server_.Port(), "alice");
  Enter(bob, server_.Port(), "bob");
  ASSERT_TRUE(again.Sync() && bob.Sync());
  EXPECT_EQ(again.Count(net::kMainLogin, net::kSubNotice), 0u);
  EXPECT_EQ(bob.Count(net::kMainLogin, net::kSubNotice), 0u);
}

}  // namespace
}  // namespace veltest
