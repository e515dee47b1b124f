#include "platform/text/assetpath.h"
#include "platform/text/textconv.h"

#include <gtest/gtest.h>

namespace {

using plat::kReplacementChar;

const std::string kZhongWenGbk = "\xD6\xD0\xCE\xC4";  // 中文

TEST(TextConv, KnownCharactersBothWays) {
  EXPECT_EQ(plat::Utf8ToGbk("中文"), kZhongWenGbk);
  EXPECT_EQ(plat::GbkToUtf16(kZhongWenGbk), u"中文");
  EXPECT_EQ(plat::GbkToUtf8("ab" + kZhongWenGbk + "7"), "ab中文7");
  EXPECT_EQ(plat::Utf16ToGbk(u"价值 %d"), plat::Utf8ToGbk("价值 %d"));
  EXPECT_EQ(plat::GbkToUtf16(""), u"");
  EXPECT_EQ(plat::GbkToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

// Every two-byte GBK code that decodes to one character must encode back to the same bytes;
// this also exercises the cached descriptors across thousands of calls.
TEST(TextConv, AllDoubleByteCodesRoundTrip) {
  int decoded = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
      const std::u16string u = plat::GbkToUtf16(gbk);
      if (u.size() != 1 || u[0] == kReplacementChar) continue;
      ++decoded;
      ASSERT_EQ(plat::Utf16ToGbk(u), gbk) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_GT(decoded, 21000);  // GBK has 21886 two-byte characters
}

TEST(TextConv, BadAndTruncatedGbkBytesBecomeReplacementWithoutLosingTheTail) {
  // A byte that starts nothing.
  EXPECT_EQ(plat::GbkToUtf16("\xFF" "abc"), u"\uFFFDabc");
  EXPECT_EQ(plat::GbkToUtf16("\xFF\xFF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(plat::GbkToUtf16("\xD6\xD0\xFF\xCE\xC4"), u"中\uFFFD文");
  // A lead byte cut off at the end.
  EXPECT_EQ(plat::GbkToUtf16("ab\xD6"), u"ab\uFFFD");
  EXPECT_EQ(plat::GbkToUtf8("\xD6\xD0\xD6"), "中\xEF\xBF\xBD");
  // A lead byte before a byte that cannot be a trail byte: only the lead is bad.
  EXPECT_EQ(plat::GbkToUtf16("\xD6" "0x"), u"\uFFFD0x");
  EXPECT_EQ(plat::GbkToUtf16("\xD6\x7F"), u"\uFFFD\x7F");
  // A lead byte before 0x40..0x7E is a valid character and takes that letter.
  const std::u16string swallowed = plat::GbkToUtf16("\x81\x41" "b");
  ASSERT_EQ(swallowed.size(), 2u);
  EXPECT_NE(swallowed[0], kReplacementChar);
  EXPECT_EQ(swallowed[1], u'b');
}

TEST(TextConv, LongMixedInputKeepsEveryCharacter) {
  std::string gbk;
  std::u16string expected;
  for (int i = 0; i < 5000; ++i) {
    gbk += kZhongWenGbk;
    gbk += '\xFF';  // starts no GBK character
    gbk += 'z';
    expected += u"中文\uFFFDz";
  }
  gbk += '\xD6';
  expected += kReplacementChar;
  const std::u16string got = plat::GbkToUtf16(gbk);
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

TEST(TextConv, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(plat::Utf16ToGbk(u"a\u0E01b"), "a?b");              // Thai is not in GBK
  EXPECT_EQ(plat::Utf16ToGbk(u"x\U0001F600y"), "x?y");           // one '?' for a pair
  EXPECT_EQ(plat::Utf16ToGbk(std::u16string{u'x', 0xD800, u'y'}), "x?y");  // lone surrogate
  EXPECT_EQ(plat::Utf16ToGbk(std::u16string{u'中', 0xD800}), "\xD6\xD0?");
  EXPECT_EQ(plat::Utf8ToGbk("中\xE0\xB8\x81文"), "\xD6\xD0?\xCE\xC4");
}

TEST(TextConv, Utf8InvalidSequencesAndSurrogates) {
  EXPECT_EQ(plat::Utf8ToUtf16("a\xC3"), u"a\uFFFD");           // cut off
  EXPECT_EQ(plat::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");   // overlong
  EXPECT_EQ(plat::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(plat::Utf8ToUtf16("\xE4\xB8" "a"), u"\uFFFD\uFFFDa");
  const std::u16string pair = plat::Utf8ToUtf16("\xF0\x9F\x98\x80");
  ASSERT_EQ(pair.size(), 2u);
  EXPECT_EQ(pair[0], 0xD83D);
  EXPECT_EQ(pair[1], 0xDE00);
  EXPECT_EQ(plat::Utf16ToUtf8(pair), "\xF0\x9F\x98\x80");
  EXPECT_EQ(plat::Utf16ToUtf8(std::u16string{0xDC00, u'a'}), "\xEF\xBF\xBD" "a");
}

TEST(AssetPath, JoinsRootAndConvertsBackslashes) {
  const std::string saved = plat::AssetRoot();
  EXPECT_EQ(plat::AssetPath("Velmora\\config\\AuctionGoodsCfg.xml"),
            saved + "/Velmora/config/AuctionGoodsCfg.xml");
  plat::SetAssetRoot("/opt/game/assets/");
  EXPECT_EQ(plat::AssetRoot(), "/opt/game/assets");
  EXPECT_EQ(plat::AssetPath("Velmora/Image/Bg.jpg"), "/opt/game/assets/Velmora/Image/Bg.jpg");
  EXPECT_EQ(plat::AssetPath("/abs\\x.png"), "/abs/x.png");
  plat::SetAssetRoot("");
  EXPECT_EQ(plat::AssetRoot(), ".");
  plat::SetAssetRoot(saved);
}

}  // namespace
