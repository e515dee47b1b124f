#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "client/data/goodscatalogue.h"
#include "platform/text/assetpath.h"
#include "testing/tempdir.h"

namespace {

const std::string kGbkDecl = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n";

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir.Path().empty()); }
  // Loads a document from a real file, as the game does.
  bool LoadFile(const std::string& xml) { return catalogue.Load(dir.Write("cfg.xml", xml)); }
  std::string Text(std::uint32_t id) {
    const std::string* d = catalogue.Find(id);
    return d ? *d : "<not found>";
  }

  veltest::TempDir dir{"catalogue"};
  CGoodsCatalogue catalogue;
};

}  // namespace

TEST_F(CatalogueTest, EntriesOfAnyNameFirstOneWinsNestedIgnored) {
  ASSERT_TRUE(LoadFile(kGbkDecl +
                       "<!-- goods -->\n"
                       "<Config>\n"
                       "  <Goods goodsID=\"1001\" description=\"first\"/>\n"
                       "  <Item goodsID=\"1002\" description=\"other name\" extra=\"x\"/>\n"
                       "  <Goods goodsID=\"1001\" description=\"second\"/>\n"
                       "  <Goods goodsID=\"1003\"><Goods goodsID=\"1004\" description=\"nested\"/></Goods>\n"
                       "  <Goods description=\"no id\"/>\n"
                       "  <Goods GOODSID=\"1005\" description=\"wrong case\"/>\n"
                       "</Config>\n"));
  EXPECT_EQ(Text(1001), "first");
  EXPECT_EQ(Text(1002), "other name");
  EXPECT_EQ(Text(1003), "");  // missing description: an empty text
  EXPECT_EQ(Text(1004), "<not found>");
  EXPECT_EQ(Text(1005), "<not found>");
  EXPECT_EQ(Text(0), "<not found>");  // the entry without goodsID is skipped, not key 0
  EXPECT_EQ(catalogue.Size(), 3u);
}

TEST_F(CatalogueTest, GoodsIdFollowsAtoi) {
  ASSERT_TRUE(LoadFile("<r>"
                       "<g goodsID=\"  7\" description=\"seven\"/>"
                       "<g goodsID=\"7\" description=\"dup seven\"/>"
                       "<g goodsID=\"-1\" description=\"minus one\"/>"
                       "<g goodsID=\"12abc\" description=\"twelve\"/>"
                       "<g goodsID=\"+13\" description=\"thirteen\"/>"
                       "<g goodsID=\"abc\" description=\"zero\"/>"
                       "<g goodsID=\"99999999999\" description=\"big\"/>"
                       "<g goodsID=\"-99999999999\" description=\"small\"/>"
                       "</r>"));
  EXPECT_EQ(Text(7), "seven");
  EXPECT_EQ(Text(4294967295u), "minus one");
  EXPECT_EQ(Text(12), "twelve");
  EXPECT_EQ(Text(13), "thirteen");
  EXPECT_EQ(Text(0), "zero");
  EXPECT_EQ(Text(2147483647u), "big");
  EXPECT_EQ(Text(2147483648u), "small");
  EXPECT_EQ(CGoodsCatalogue::ParseGoodsId("\t\n 42 7"), 42u);
  EXPECT_EQ(CGoodsCatalogue::ParseGoodsId("- 5"), 0u);
  EXPECT_EQ(CGoodsCatalogue::ParseGoodsId(""), 0u);
}

TEST_F(CatalogueTest, TextIsDecodedButOtherwiseUnchanged) {
  ASSERT_TRUE(LoadFile(kGbkDecl + "<r><g goodsID=\"1\" description=\"A &amp; B &lt;&gt; &#65;\"/>"
                                  "<g goodsID=\"2\" description=\"line one\r\nline  two\"/></r>"));
  EXPECT_EQ(Text(1), "A & B <> A");
  EXPECT_EQ(Text(2), "line one\nline  two");
}

TEST_F(CatalogueTest, GbkBytesAreKeptAsRead) {
  // "中" D6 D0, "乗" 81 5C (trail byte is a backslash), "价值" BC DB D6 B5.
  const std::string gbk = "\xD6\xD0\x81\x5C\xBC\xDB\xD6\xB5 9";
  ASSERT_TRUE(LoadFile(kGbkDecl + "<r><g goodsID=\"1001\" description=\"" + gbk + "\"/></r>"));
  EXPECT_EQ(Text(1001), gbk);
}

TEST_F(CatalogueTest, BadFilesEndQuietlyAndEmpty) {
  EXPECT_FALSE(catalogue.Load(dir.Path() + "/missing.xml"));
  EXPECT_FALSE(LoadFile(""));
  EXPECT_FALSE(LoadFile("<r><g goodsID=\"1\" description=\"x\"/>"));  // root never closed
  EXPECT_FALSE(LoadFile("<r><g goodsID=\"1\" description=\"ab\xEF"));  // cut inside a multi-byte step
  EXPECT_FALSE(LoadFile("<r><g goodsID=\"1\" description=\"x\"/></s>"));
  LoadFile(kGbkDecl + "<!-- nothing else -->");  // no root element
  EXPECT_TRUE(LoadFile("<r/>"));
  EXPECT_TRUE(LoadFile("<r>text only<!-- c --></r>"));
  EXPECT_TRUE(catalogue.Empty());
}

TEST_F(CatalogueTest, DefaultPathResolvesUnderTheAssetRoot) {
  dir.Write("Velmora/config/AuctionGoodsCfg.xml", "<r><g goodsID=\"5\" description=\"five\"/></r>");
  const std::string oldRoot = plat::AssetRoot();
  plat::SetAssetRoot(dir.Path());
  const bool loaded = catalogue.LoadDefault();
  plat::SetAssetRoot(oldRoot);
  EXPECT_TRUE(loaded);
  EXPECT_EQ(Text(5), "five");

  // In-memory documents take the same path through the parser.
  CGoodsCatalogue fromText;
  EXPECT_TRUE(fromText.LoadText("<r><g goodsID=\"6\" description=\"six\"/></r>"));
  ASSERT_NE(fromText.Find(6), nullptr);
  EXPECT_EQ(*fromText.Find(6), "six");
}
