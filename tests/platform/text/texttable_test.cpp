// The font's table of kept texts: every text found again, by its whole text and not its hash.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/text/texttable.h"

namespace {

using plat::TextTable;

// Every text hashes alike, so each lookup walks the one chain and must compare texts.
struct OneHash {
  std::size_t operator()(const std::string&) const { return 7; }
};

TEST(TextTable, FindsEveryTextAgainThroughGrowthAndEqualHashes) {
  TextTable<std::string, int> table;
  TextTable<std::string, int, OneHash> colliding;
  EXPECT_EQ(table.Find("a"), nullptr);  // empty: nothing, and no crash
  std::map<std::string, int> expected;
  std::map<std::string, const int*> addresses;
  for (int n = 0; n < 300; ++n) {
    // Short and long texts (inline and on the heap), one a prefix of the next, and the empty one.
    const std::string text = n == 0 ? std::string() : std::string(n % 40, 'x') + std::to_string(n);
    addresses[text] = &table.Insert(text, n);
    colliding.Insert(text, n);
    expected[text] = n;
  }
  EXPECT_EQ(table.Size(), expected.size());
  for (const auto& [text, value] : expected) {
    const int* got = table.Find(text);
    ASSERT_NE(got, nullptr) << text;
    EXPECT_EQ(*got, value);
    EXPECT_EQ(got, addresses[text]) << "an entry moved while the table grew";
    ASSERT_NE(colliding.Find(text), nullptr) << text;
    EXPECT_EQ(*colliding.Find(text), value);
  }
  EXPECT_EQ(table.Find("x"), nullptr);  // a prefix of kept texts
  EXPECT_EQ(colliding.Find("xx"), nullptr);
}

TEST(TextTable, ClearsAndIsUsableAgain) {
  TextTable<std::u16string, int> table;
  table.Insert(u"金币", 1);
  table.Clear();
  EXPECT_EQ(table.Size(), 0u);
  EXPECT_EQ(table.Find(u"金币"), nullptr);
  table.Insert(u"金币", 2);
  ASSERT_NE(table.Find(u"金币"), nullptr);
  EXPECT_EQ(*table.Find(u"金币"), 2);
}

}  // namespace
