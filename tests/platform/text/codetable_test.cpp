// The font's table of code units: every code found again after growth and collisions.
#include <gtest/gtest.h>

#include <map>

#include "platform/text/codetable.h"

namespace {

using plat::CodeTable;

TEST(CodeTable, FindsEveryCodeAgainThroughGrowthAndCollisions) {
  CodeTable<int> table;
  std::map<char16_t, int> expected;
  EXPECT_EQ(table.Find(u'a'), nullptr);  // empty: nothing, and no crash
  // Codes a power of two apart land on the same slot of every table size up to it; mixed with
  // runs of neighbours (digits, CJK) and the ends of the range.
  std::vector<char16_t> codes;
  for (char16_t c = u'0'; c <= u'9'; ++c) codes.push_back(c);
  for (unsigned k = 1; k < 40; ++k) codes.push_back(static_cast<char16_t>(0x100 * k));
  for (char16_t c = 0x4E00; c < 0x4E00 + 300; c += 3) codes.push_back(c);
  codes.push_back(0);
  codes.push_back(0xFFFF);
  int n = 0;
  for (char16_t c : codes) {
    table.Insert(c, ++n);
    expected[c] = n;
    for (const auto& [code, value] : expected) {  // nothing lost by this insertion
      const int* got = table.Find(code);
      ASSERT_NE(got, nullptr) << "code " << code << " after inserting " << c;
      EXPECT_EQ(*got, value);
    }
  }
  EXPECT_EQ(table.Size(), expected.size());
  EXPECT_EQ(table.Find(0x4E01), nullptr);  // between inserted neighbours
  EXPECT_EQ(table.Find(0x2800), nullptr);  // on a crowded slot chain, absent
}

TEST(CodeTable, ReplacesAndClears) {
  CodeTable<int> table;
  table.Insert(u'x', 1);
  table.Insert(u'x', 2);
  EXPECT_EQ(table.Size(), 1u);
  EXPECT_EQ(*table.Find(u'x'), 2);
  table.Clear();
  EXPECT_EQ(table.Size(), 0u);
  EXPECT_EQ(table.Find(u'x'), nullptr);
  table.Insert(u'y', 3);  // usable again after a clear
  EXPECT_EQ(*table.Find(u'y'), 3);
}

}  // namespace
