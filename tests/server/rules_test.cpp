// Purchase arithmetic, the winner draw, the goods file and the store.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "client/core/cmd_velmora.h"
#include "server/gbktext.h"
#include "server/goodscatalogue.h"
#include "server/purchaserules.h"
#include "server/store.h"

namespace {

using velsrv::MinPurchaseShares;

TEST(PurchaseRules, MinimumFollowsTheBuyPanel) {
  // 5 left, minimum 30000: 3 shares, but 2 left over are worth only 20000.
  EXPECT_EQ(MinPurchaseShares(5, 10000, 30000, 20000), 5u);
  EXPECT_EQ(MinPurchaseShares(10, 10000, 30000, 10000), 3u);
  EXPECT_EQ(MinPurchaseShares(4, 10000, 30000, 10000), 4u);
  EXPECT_EQ(MinPurchaseShares(100, 10000, 25000, 0), 3u);  // amounts round up to whole shares
  EXPECT_EQ(MinPurchaseShares(2, 10000, 30000, 0), 2u);    // never more than is left
  EXPECT_EQ(MinPurchaseShares(50, 10000, 0, 0), 0u);
  EXPECT_EQ(MinPurchaseShares(1, 10000, 0, 10000), 1u);
  // Large figures do not wrap around.
  EXPECT_EQ(MinPurchaseShares(4000000000u, 4000000000u, 4000000000u, 0), 1u);
}

TEST(PurchaseRules, ShareCountCodes) {
  EXPECT_EQ(velsrv::CheckShareCount(0, 10, 0), BUY_RESULT_BAD_SHARES);
  EXPECT_EQ(velsrv::CheckShareCount(2, 10, 3), BUY_RESULT_BAD_SHARES);
  EXPECT_EQ(velsrv::CheckShareCount(11, 10, 3), BUY_RESULT_SHARES_SHORT);
  EXPECT_EQ(velsrv::CheckShareCount(10, 10, 3), BUY_RESULT_OK);
}

TEST(PurchaseRules, WinnerChanceIsProportionalToShares) {
  std::mt19937_64 rng(7);
  std::map<std::uint32_t, int> wins;
  const int draws = 20000;
  for (int i = 0; i < draws; ++i) ++wins[velsrv::DrawWinner({{11, 30}, {22, 10}, {33, 0}}, rng)];
  EXPECT_NEAR(wins[11] / static_cast<double>(draws), 0.75, 0.02);
  EXPECT_NEAR(wins[22] / static_cast<double>(draws), 0.25, 0.02);
  EXPECT_EQ(wins.count(33), 0u);
  EXPECT_EQ(velsrv::DrawWinner({}, rng), 0u);
  // The same seed draws the same winners.
  std::mt19937_64 a(99), b(99);
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(velsrv::DrawWinner({{1, 5}, {2, 5}}, a), velsrv::DrawWinner({{1, 5}, {2, 5}}, b));
}

TEST(GoodsCatalogue, ShippedFileListsTheTwelveGoods) {
  velsrv::GoodsCatalogue c;
  std::string error;
  ASSERT_TRUE(c.LoadFile(VELMORA_ASSET_DIR "/server/goods.xml", &error)) << error;
  ASSERT_EQ(c.Goods().size(), 12u);
  const velsrv::GoodsDef* watch = c.Find(1001);
  ASSERT_NE(watch, nullptr);
  EXPECT_EQ(watch->nameUtf8, "金龙手表");
  EXPECT_EQ(watch->nameGbk, velsrv::Utf8ToGbk("金龙手表").value());
  EXPECT_EQ(watch->value, 3888u);
  EXPECT_EQ(watch->picture, "goods_01.png");
  for (const auto& g : c.Goods()) {
    EXPECT_EQ(g.sharePrice, 10000u) << g.id;
    // Every lot must be sellable by its own minimum.
    EXPECT_LE(MinPurchaseShares(g.totalShares, g.sharePrice, g.minPurchase, g.remainderThreshold), g.totalShares);
  }
  EXPECT_NE(c.Find(1012), nullptr);
  EXPECT_EQ(c.Find(1013), nullptr);
}

TEST(GoodsCatalogue, RejectsBrokenEntries) {
  const std::string ok = R"(id="1" value="1" picture="a.png" shares="1" minPurchase="0" remainderThreshold="0")";
  auto load = [](const std::string& body) {
    velsrv::GoodsCatalogue c;
    std::string error;
    const bool loaded = c.LoadText("<goodsList>" + body + "</goodsList>", &error);
    EXPECT_TRUE(loaded || !error.empty());
    return loaded;
  };
  EXPECT_TRUE(load("<goods name=\"x\" " + ok + "/>"));
  EXPECT_FALSE(load(""));
  EXPECT_FALSE(load("<goods name=\"x\" " + ok + "/><goods name=\"y\" " + ok + "/>"));  // same id twice
  EXPECT_TRUE(load("<goods name=\"" + std::string(27, 'x') + "文字\" " + ok + "/>"));   // 31 GBK bytes fit
  EXPECT_FALSE(load("<goods name=\"" + std::string(28, 'x') + "文字\" " + ok + "/>"));  // 32 do not
  EXPECT_FALSE(load(R"(<goods name="x" id="1" value="-3" picture="a.png" shares="1" minPurchase="0" remainderThreshold="0"/>)"));
  EXPECT_FALSE(load(R"(<goods name="x" id="1" value="3" picture="../a.png" shares="1" minPurchase="0" remainderThreshold="0"/>)"));
  EXPECT_FALSE(load(R"(<goods name="x" id="1" value="3" picture="a.png" shares="0" minPurchase="0" remainderThreshold="0"/>)"));
  EXPECT_FALSE(load(R"(<goods name="x" id="1" value="99999999999" picture="a.png" shares="1" minPurchase="0" remainderThreshold="0"/>)"));
  EXPECT_FALSE(load(R"(<goods name="x" id="1" picture="a.png" shares="1" minPurchase="0" remainderThreshold="0"/>)"));
  velsrv::GoodsCatalogue c;
  EXPECT_FALSE(c.LoadText("<goodsList><goods", nullptr));
  EXPECT_FALSE(c.LoadText("<other/>", nullptr));
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    store_ = velsrv::Store::Open(":memory:", false, &error);
    ASSERT_TRUE(store_) << error;
    lot_.goodsNumber = 1;
    lot_.goodsId = 1001;
    lot_.goodsName = "watch";
    lot_.goodsValue = 3888;
    lot_.totalShares = 10;
    lot_.sharePrice = 10000;
  }
  std::unique_ptr<velsrv::Store> store_;
  velsrv::LotRow lot_;
};

TEST_F(StoreTest, PurchaseTakesCoinsOrNothing) {
  auto p = store_->CreatePlayer("p", 50000, false);
  ASSERT_TRUE(p);
  EXPECT_FALSE(store_->CreatePlayer("p", 1, false));  // names are unique
  const long long lot = store_->OpenLot(lot_);
  ASSERT_NE(lot, 0);
  long long coins = -1;
  EXPECT_EQ(store_->Purchase(lot, p->id, 3, 30000, "t", &coins), velsrv::Store::PurchaseStatus::Ok);
  EXPECT_EQ(coins, 20000);
  EXPECT_EQ(store_->Purchase(lot, p->id, 3, 30000, "t", &coins), velsrv::Store::PurchaseStatus::CoinsShort);
  EXPECT_EQ(store_->FindPlayer(p->id)->coins, 20000);
  EXPECT_EQ(store_->SumPaid(), 30000);
  EXPECT_EQ(store_->PlayerPurchases(p->id, 10).size(), 1u);
}

TEST_F(StoreTest, FailedLotRefundsEachBuyerOnceAndLeftOpenLotsAreFound) {
  auto a = store_->CreatePlayer("a", 100000, false);
  auto b = store_->CreatePlayer("b", 100000, false);
  const long long lot = store_->OpenLot(lot_);
  long long coins = 0;
  store_->Purchase(lot, a->id, 3, 30000, "t", &coins);
  store_->Purchase(lot, a->id, 2, 20000, "t", &coins);
  store_->Purchase(lot, b->id, 4, 40000, "t", &coins);
  EXPECT_EQ(store_->OpenLotIds(), std::vector<long long>{lot});
  // What each buyer is owed, summed per buyer, known before the refund and not after it.
  const auto due = store_->RefundsDue(lot);
  ASSERT_EQ(due.size(), 2u);
  EXPECT_EQ(due[0].playerId, a->id);
  EXPECT_EQ(due[0].coins, 50000);
  EXPECT_EQ(due[0].goodsNumber, 1u);
  EXPECT_EQ(due[1].coins, 40000);
  auto refunded = store_->CloseFailed(lot, "t");
  ASSERT_TRUE(refunded);
  ASSERT_EQ(refunded->size(), 2u);
  EXPECT_TRUE(store_->RefundsDue(lot).empty());
  EXPECT_EQ((*refunded)[0].coins, 100000);
  EXPECT_EQ((*refunded)[1].coins, 100000);
  EXPECT_TRUE(store_->OpenLotIds().empty());
  // A second close of the same lot pays nothing out.
  auto again = store_->CloseFailed(lot, "t");
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->empty());
  EXPECT_EQ(store_->SumCoins(), 200000);
  EXPECT_EQ(store_->SumPaid(), 0);
  EXPECT_FALSE(store_->CloseWon(lot, a->id, 5, "t"));  // closed lots stay closed
}

TEST_F(StoreTest, ReliefTopsUpPeopleOnlyAndIsCounted) {
  auto poor = store_->CreatePlayer("poor", 2500, false);
  auto rich = store_->CreatePlayer("rich", 500000, false);
  auto bot = store_->CreatePlayer("bot", 0, true);
  ASSERT_TRUE(poor && rich && bot);
  EXPECT_EQ(store_->TopUpCoins(poor->id, 100000), std::optional<long long>(97500));
  EXPECT_EQ(store_->FindPlayer(poor->id)->coins, 100000);
  EXPECT_FALSE(store_->TopUpCoins(poor->id, 100000));  // has that much already
  EXPECT_FALSE(store_->TopUpCoins(rich->id, 100000));
  EXPECT_FALSE(store_->TopUpCoins(bot->id, 100000));   // simulated players get nothing
  EXPECT_FALSE(store_->TopUpCoins(9999, 100000));
  EXPECT_EQ(store_->FindPlayer(bot->id)->coins, 0);
  EXPECT_EQ(store_->SumGranted(), 97500);
  EXPECT_EQ(store_->SumCoins() - store_->SumGranted(), 2500 + 500000);
}

TEST_F(StoreTest, GoodsNumbersNeverRepeat) {
  const std::uint32_t first = store_->AllocateGoodsNumber();
  EXPECT_NE(first, 0u);
  EXPECT_EQ(store_->AllocateGoodsNumber(), first + 1);
}

}  // namespace
