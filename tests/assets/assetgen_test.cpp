// The generator's own helpers: XML escaping, GBK output, text wrapping and
// UTF-8 decoding of captions.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "testing/tempdir.h"
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/font.h"
#include "tools/assetgen/gbk.h"
#include "tools/assetgen/goodscatalogue.h"

namespace {
TEST(GoodsConfigWriter, SpecialCharactersSurviveAParse) {
  EXPECT_EQ(EscapeXmlAttribute("A&B<c>\"d\"'e'"), "A&amp;B&lt;c&gt;&quot;d&quot;&apos;e&apos;");
  const std::string tricky = "含有\"引号\"、<尖括号>与&符号的说明";
  const std::string xml = BuildGoodsConfig({{7, "名&称", tricky}, {8, "空", ""}});
  const veltest::TempDir dir("goods-cfg-test");
  ASSERT_FALSE(dir.Path().empty());
  const std::filesystem::path path = dir.File("goods_cfg.xml");
  {
    std::ofstream out(path, std::ios::binary);
    out << xml;
  }
  TiXmlDocument doc(path.string().c_str());
  ASSERT_TRUE(doc.LoadFile()) << doc.ErrorDesc();
  const TiXmlElement* first = doc.RootElement()->FirstChildElement();
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->Attribute("goodsID"), "7");
  EXPECT_EQ(std::string(first->Attribute("description")), Utf8ToGbk(tricky));
  EXPECT_EQ(std::string(first->Attribute("name")), Utf8ToGbk("名&称"));
  ASSERT_NE(first->NextSiblingElement(), nullptr);
  EXPECT_STREQ(first->NextSiblingElement()->Attribute("description"), "");
}

TEST(GoodsConfigWriter, GbkConversionIsExactOrFails) {
  EXPECT_EQ(Utf8ToGbk("价值 10"), "\xBC\xDB\xD6\xB5 10");
  EXPECT_EQ(Utf8ToGbk(""), "");
  EXPECT_THROW(Utf8ToGbk("\xF0\x9F\x98\x80"), std::runtime_error);  // no GBK form
  EXPECT_THROW(Utf8ToGbk("\xE4\xBD"), std::runtime_error);          // truncated
}

TEST(GoodsConfigWriter, ShippedDescriptionsAreUnique) {
  const auto& all = GoodsCatalogue();
  ASSERT_EQ(all.size(), 12u);
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(all[i].id, 1001 + i);
    for (size_t j = i + 1; j < all.size(); ++j) EXPECT_NE(all[i].description, all[j].description);
  }
}

TEST(CaptionText, DecodingRejectsBrokenUtf8) {
  EXPECT_EQ(Font::Decode("a价"), std::u32string(U"a价"));
  EXPECT_THROW(Font::Decode("\xE4\xBD"), std::runtime_error);
  EXPECT_THROW(Font::Decode("\xE4\x41\x41"), std::runtime_error);
  EXPECT_THROW(Font::Decode("\xFF"), std::runtime_error);
  EXPECT_EQ(Font::Encode(Font::Decode("商品名称：金龙")), "商品名称：金龙");
}

TEST(CaptionText, WrapKeepsWidthTextAndPunctuation) {
  const ArtContext ctx;
  const TextPainter& cjk = ctx.Cjk();
  // The twenty-first character is a comma, exactly where a 250 px line ends at 12 px.
  const std::string text = "一二三四五六七八九十一二三四五六七八九十，一二三四五六七八九十一二三四五六七八九十。末尾";
  const std::vector<std::string> lines = cjk.Wrap(text, 12, 250);
  ASSERT_GE(lines.size(), 2u);
  std::string joined;
  for (const std::string& line : lines) {
    joined += line;
    const std::u32string chars = Font::Decode(line);
    EXPECT_NE(chars.front(), U'，');
    EXPECT_NE(chars.front(), U'。');
    // Only a trailing closing mark may hang past the width.
    const std::u32string body = (chars.back() == U'，' || chars.back() == U'。') ? chars.substr(0, chars.size() - 1) : chars;
    EXPECT_LE(cjk.GetFont().Measure(Font::Encode(body), 12), 250) << line;
  }
  EXPECT_EQ(joined, text);
}
}  // namespace
