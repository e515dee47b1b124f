#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "include/array.h"

namespace {

using RowArray = CArrayTemplate<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP, const CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP&>;

CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP Row(std::uint32_t n) {
  CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP row;
  std::memset(&row, static_cast<int>(n & 0xFF), sizeof(row));  // every byte, fields and tails
  row.goodsNumber = n;
  return row;
}

bool IsZero(const void* p, std::size_t n) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < n; ++i)
    if (b[i] != 0) return false;
  return true;
}

// Snapshot of everything observable, to prove a throwing call changed nothing.
struct Snapshot {
  std::int32_t count, capacity;
  std::vector<unsigned char> bytes;
  explicit Snapshot(RowArray& a) : count(a.GetCount()), capacity(a.GetCapacity()) {
    for (std::int32_t i = 0; i < count; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(&a.ElementAt(i));
      bytes.insert(bytes.end(), p, p + sizeof(CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP));
    }
  }
  bool operator==(const Snapshot& o) const { return count == o.count && capacity == o.capacity && bytes == o.bytes; }
};

}  // namespace

TEST(ArrayTemplate, AutomaticGrowthByFive) {
  RowArray rows;
  EXPECT_EQ(rows.GetCount(), 0);
  EXPECT_EQ(rows.GetCapacity(), 0);
  std::vector<std::int32_t> capacities;
  for (std::uint32_t i = 0; i < 30; ++i) {
    EXPECT_EQ(rows.Add(Row(i)), static_cast<std::int32_t>(i));
    if (capacities.empty() || capacities.back() != rows.GetCapacity()) capacities.push_back(rows.GetCapacity());
  }
  EXPECT_EQ(capacities, (std::vector<std::int32_t>{5, 10, 15, 20, 25, 30}));
  for (std::uint32_t i = 0; i < 30; ++i) {
    const auto expected = Row(i);
    EXPECT_EQ(std::memcmp(&rows.ElementAt(static_cast<std::int32_t>(i)), &expected, sizeof(expected)), 0) << i;
  }
}

TEST(ArrayTemplate, StepFollowsCountAndGrowStep) {
  CArrayTemplate<std::uint32_t, std::uint32_t> big;
  big.SetSize(80);  // count 0: step 4
  EXPECT_EQ(big.GetCapacity(), 84);
  big.SetSize(85);  // count 80: step 10
  EXPECT_EQ(big.GetCapacity(), 95);
  big.SetSize(20000);  // count 85: step 10
  EXPECT_EQ(big.GetCapacity(), 20010);
  big.SetSize(20011);  // count 20000: step capped at 1024
  EXPECT_EQ(big.GetCapacity(), 20011 + 1024);

  CArrayTemplate<std::uint32_t, std::uint32_t> stepped;
  stepped.SetGrowStep(2);
  stepped.Add(1);
  EXPECT_EQ(stepped.GetCapacity(), 3);
  EXPECT_THROW(stepped.SetGrowStep(-1), CInvalidArgException);
}

TEST(ArrayTemplate, RemoveAllKeepsTheBufferAndSizeZeroFills) {
  RowArray rows;
  for (std::uint32_t i = 1; i <= 12; ++i) rows.Add(Row(i));
  const auto* buffer = &rows.ElementAt(0);
  const std::int32_t capacity = rows.GetCapacity();
  rows.RemoveAll();
  EXPECT_EQ(rows.GetCount(), 0);
  EXPECT_EQ(rows.GetCapacity(), capacity);
  rows.SetSize(12);  // grows again within the same buffer: all zero bytes
  EXPECT_EQ(&rows.ElementAt(0), buffer);
  for (std::int32_t i = 0; i < 12; ++i) EXPECT_TRUE(IsZero(&rows.ElementAt(i), sizeof(Row(0)))) << i;

  rows.SetAtGrow(3, Row(9));
  rows.SetSize(2);  // shrinking clears what falls off
  rows.SetSize(4);
  EXPECT_TRUE(IsZero(&rows.ElementAt(3), sizeof(Row(0))));

  rows.SetAtGrow(8, Row(8));  // a gap is filled with zero records
  EXPECT_EQ(rows.GetCount(), 9);
  EXPECT_TRUE(IsZero(&rows.ElementAt(6), sizeof(Row(0))));
  EXPECT_EQ(rows.ElementAt(8).goodsNumber, 8u);
}

TEST(ArrayTemplate, InvalidArgumentsThrowAndChangeNothing) {
  RowArray rows;
  for (std::uint32_t i = 1; i <= 6; ++i) rows.Add(Row(i));
  const Snapshot before(rows);
  EXPECT_THROW(rows.ElementAt(-1), CInvalidArgException);
  EXPECT_THROW(rows.ElementAt(6), CInvalidArgException);
  EXPECT_THROW(rows.SetAtGrow(-1, Row(7)), CInvalidArgException);
  EXPECT_THROW(rows.SetSize(-1), CInvalidArgException);
  EXPECT_THROW(rows.AllocMemory(-5), CInvalidArgException);
  const RowArray& constRows = rows;
  EXPECT_THROW(constRows.ElementAt(100), CInvalidArgException);
  EXPECT_TRUE(Snapshot(rows) == before);

  RowArray empty;
  EXPECT_THROW(empty.ElementAt(0), CInvalidArgException);
  EXPECT_EQ(empty.GetCapacity(), 0);
}

TEST(ArrayTemplate, AddingAnOwnElementSurvivesGrowth) {
  RowArray rows;
  for (std::uint32_t i = 1; i <= 5; ++i) rows.Add(Row(i));
  ASSERT_EQ(rows.GetCapacity(), 5);
  // The argument refers into the buffer that this Add replaces.
  rows.Add(rows.ElementAt(2));
  const auto expected = Row(3);
  EXPECT_EQ(std::memcmp(&rows.ElementAt(5), &expected, sizeof(expected)), 0);
}
