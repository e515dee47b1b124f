#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "client/data/buydata.h"

namespace {

CMD_GF_VELMORA_GOODS_ITEM Goods(std::uint32_t id, std::uint32_t slot, std::uint32_t state = GOODS_STATE_CANDIDATE) {
  CMD_GF_VELMORA_GOODS_ITEM g{};
  g.goodsId = id;
  g.goodsNumber = id + 500;
  g.slot = slot;
  g.state = state;
  g.unused16 = 0xA5A5A5A5;
  g.unused104 = 0x5A5A5A5A;
  SetFieldText(g.goodsName, "\xD6\xD0");
  return g;
}

// Goods id of a lookup result; 0 for null.
std::uint32_t IdOf(const CBSceneItem* item) { return item ? item->goodsId : 0; }

std::vector<unsigned char> Body(const std::vector<CMD_GF_VELMORA_GOODS_ITEM>& goods) {
  std::vector<unsigned char> body(goods.size() * sizeof(CMD_GF_VELMORA_GOODS_ITEM));
  if (!goods.empty()) std::memcpy(body.data(), goods.data(), body.size());
  return body;
}

// Captures the trace lines of one store.
class TraceCapture {
 public:
  TraceCapture() : file_(std::tmpfile()) {}
  ~TraceCapture() {
    if (file_) std::fclose(file_);
  }
  std::FILE* File() const { return file_; }
  // Everything written since the last call.
  std::string Take() {
    std::fflush(file_);
    std::fseek(file_, static_cast<long>(taken_), SEEK_SET);
    std::string text;
    char buf[256];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), file_)) > 0) text.append(buf, n);
    taken_ += text.size();
    std::fseek(file_, 0, SEEK_END);
    return text;
  }

 private:
  std::FILE* file_;
  std::size_t taken_ = 0;
};

class BuyDataTest : public ::testing::Test {
 protected:
  BuyDataTest() { store.SetTraceOutput(trace.File()); }
  void Update(const std::vector<CMD_GF_VELMORA_GOODS_ITEM>& goods) {
    const auto body = Body(goods);
    store.UpdateData(body.data(), static_cast<std::uint16_t>(body.size()));
  }
  std::vector<std::uint32_t> Ids() {
    std::vector<std::uint32_t> ids;
    for (std::size_t i = 0; i < store.GetItemCount(); ++i) ids.push_back(store.GetItemAt(i)->goodsId);
    return ids;
  }

  TraceCapture trace;
  CBuyData store;
};

}  // namespace

TEST_F(BuyDataTest, TraceLinesAndCountOfRecordsReceived) {
  Update({});
  EXPECT_EQ(trace.Take(), "UpdateData\xE4\xB8\x8A\xE6\x9E\xB6\xE7\x89\xA9\xE5\x93\x81\xE6\x95\xB0\xE9\x87\x8F=0\n");
  EXPECT_EQ(store.GetItemCount(), 0u);

  std::vector<CMD_GF_VELMORA_GOODS_ITEM> eight;
  for (std::uint32_t i = 1; i <= 8; ++i) eight.push_back(Goods(1000 + i, i));
  Update(eight);
  EXPECT_EQ(trace.Take(), "UpdateData上架物品数量=8\n");
  EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{1001, 1002, 1003, 1004, 1005, 1006, 1007}));
}

TEST_F(BuyDataTest, WrongSizeLeavesTheListAsItWas) {
  Update({Goods(1, 1), Goods(2, 2)});
  CBSceneItem* before = store.GetItemById(2);
  trace.Take();
  const auto body = Body({Goods(9, 1)});
  store.UpdateData(body.data(), 127);
  store.UpdateData(body.data(), 129);
  store.UpdateData(nullptr, 128);
  EXPECT_EQ(trace.Take(), "UpdateDataUpdateDataUpdateData");
  EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{1, 2}));
  EXPECT_EQ(store.GetItemById(2), before);
}

TEST_F(BuyDataTest, DuplicateIdsAreDroppedBeforeTheLimit) {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> goods = {Goods(1, 1)};
  goods.push_back(Goods(1, 2));  // repeats the first id
  for (std::uint32_t i = 3; i <= 8; ++i) goods.push_back(Goods(i, i));
  Update(goods);
  EXPECT_EQ(Ids(), (std::vector<std::uint32_t>{1, 3, 4, 5, 6, 7, 8}));
  ASSERT_NE(store.GetItemById(1), nullptr);
  EXPECT_EQ(store.GetItemById(1)->slot, 1u);

  // AddItem on a full list drops the record.
  store.AddItem(Goods(99, 7));
  EXPECT_EQ(store.GetItemById(99), nullptr);
}

TEST_F(BuyDataTest, RecordIsCopiedWhole) {
  auto g = Goods(5, 3, GOODS_STATE_SELLING);
  std::memset(g.pictureFile, 'p', sizeof(g.pictureFile));
  g.minPurchase = 0xFEEDBEEF;
  Update({g});
  const CBSceneItem* item = store.GetItemById(5);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(std::memcmp(item, &g, sizeof(g)), 0);
}

TEST_F(BuyDataTest, LookupsFindTheFirstMatch) {
  Update({Goods(10, 2), Goods(11, 1, GOODS_STATE_SELLING), Goods(12, 3, GOODS_STATE_SELLING), Goods(13, 1)});
  EXPECT_EQ(IdOf(store.GetItemBySlot(0)), 11u);  // slot 1, first of two
  EXPECT_EQ(IdOf(store.GetItemBySlot(1)), 10u);
  EXPECT_EQ(store.GetItemBySlot(5), nullptr);
  EXPECT_EQ(store.GetItemBySlot(-1), nullptr);
  EXPECT_EQ(IdOf(store.GetCurrentItem()), 11u);
  EXPECT_EQ(IdOf(store.GetItemByNumber(512)), 12u);
  EXPECT_EQ(store.GetItemByNumber(10), nullptr);
  EXPECT_EQ(store.GetItemById(14), nullptr);
  EXPECT_EQ(store.GetItemAt(4), nullptr);

  Update({Goods(20, 1)});
  EXPECT_EQ(store.GetCurrentItem(), nullptr);
}

TEST_F(BuyDataTest, ItemsAreZeroFilledAndReusedAcrossLists) {
  Update({Goods(1, 1), Goods(2, 2)});
  CBSceneItem* first = store.GetItemById(1);
  CBSceneItem* second = store.GetItemById(2);
  Update({});
  // Old pointers still point into live pooled objects, now all zero.
  const CBSceneItem zero{};
  EXPECT_EQ(std::memcmp(first, &zero, sizeof(zero)), 0);
  EXPECT_EQ(std::memcmp(second, &zero, sizeof(zero)), 0);
  Update({Goods(3, 1), Goods(4, 2)});
  // Both come back out of the pool: no new objects.
  EXPECT_TRUE(store.GetItemById(3) == first || store.GetItemById(3) == second);
  EXPECT_TRUE(store.GetItemById(4) == first || store.GetItemById(4) == second);
  EXPECT_NE(store.GetItemById(3), store.GetItemById(4));
  EXPECT_EQ(store.GetCreatedCount(), 2u);
}

TEST_F(BuyDataTest, ObjectsCreatedEqualTheLargestList) {
  const std::size_t sizes[] = {3, 7, 0, 5, 7, 2, 9, 1, 6};
  std::uint32_t nextId = 1;
  for (std::size_t n : sizes) {
    std::vector<CMD_GF_VELMORA_GOODS_ITEM> goods;
    for (std::size_t i = 0; i < n; ++i, ++nextId) goods.push_back(Goods(nextId, static_cast<std::uint32_t>(i + 1)));
    Update(goods);
    EXPECT_EQ(store.GetItemCount(), std::min<std::size_t>(n, MAX_LISTED_GOODS));
  }
  EXPECT_EQ(store.GetCreatedCount(), MAX_LISTED_GOODS);
}

TEST(BuyDataInstance, AccessorGivesOneStore) {
  CBuyData& store = GetBuyData();
  EXPECT_EQ(&store, &GetBuyData());
  store.SetTraceOutput(nullptr);
  CMD_GF_VELMORA_GOODS_ITEM g{};
  g.goodsId = 77;
  store.UpdateData(&g, sizeof(g));
  EXPECT_EQ(GetBuyData().GetItemById(77), store.GetItemAt(0));
  store.ClearItems();
  store.SetTraceOutput(stdout);
}
