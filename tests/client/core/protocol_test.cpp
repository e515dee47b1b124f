#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "client/core/cmd_velmora.h"

namespace {

// Heap buffer of exactly n bytes, so the address sanitizer sees any read
// past the end of a message.
std::unique_ptr<unsigned char[]> Exact(std::size_t n, unsigned char fill = 0) {
  std::unique_ptr<unsigned char[]> p(new unsigned char[n ? n : 1]);
  std::memset(p.get(), fill, n ? n : 1);
  return p;
}

template <std::uint16_t Sub>
bool FixedAccepted(std::uint16_t size) {
  auto buf = Exact(size, 0x11);
  const bool read = ReadServerRecord<Sub>(buf.get(), size).has_value();
  EXPECT_EQ(read, IsServerMessageSizeValid(Sub, size)) << "code " << Sub << " size " << size;
  return read;
}

template <std::uint16_t Sub>
std::optional<std::size_t> ListCount(std::uint16_t size) {
  auto buf = Exact(size, 0x22);
  auto list = ReadServerList<Sub>(buf.get(), size);
  EXPECT_EQ(list.has_value(), IsServerMessageSizeValid(Sub, size)) << "code " << Sub << " size " << size;
  if (!list) return std::nullopt;
  // Every counted element must be readable and the one past it refused.
  typename ServerSub<Sub>::Record rec;
  for (std::size_t i = 0; i < list->Count(); ++i) EXPECT_TRUE(list->Get(i, &rec));
  EXPECT_FALSE(list->Get(list->Count(), &rec));
  return list->Count();
}

}  // namespace

TEST(ProtocolReader, FixedRecordsNeedTheExactSize) {
  EXPECT_FALSE(FixedAccepted<SUB_S_AUCTION_RESULT>(67));
  EXPECT_TRUE(FixedAccepted<SUB_S_AUCTION_RESULT>(68));
  EXPECT_FALSE(FixedAccepted<SUB_S_AUCTION_RESULT>(69));
  EXPECT_FALSE(FixedAccepted<SUB_S_AUCTION_RESULT>(0));
  EXPECT_FALSE(FixedAccepted<SUB_S_BUY_RESULT>(0));
  EXPECT_TRUE(FixedAccepted<SUB_S_BUY_RESULT>(1));
  EXPECT_FALSE(FixedAccepted<SUB_S_BUY_RESULT>(2));
  EXPECT_FALSE(FixedAccepted<SUB_S_BUY_NOTIFY>(31));
  EXPECT_TRUE(FixedAccepted<SUB_S_BUY_NOTIFY>(32));
  EXPECT_FALSE(FixedAccepted<SUB_S_BUY_NOTIFY>(33));
  EXPECT_FALSE(FixedAccepted<SUB_S_AUCTION_START>(3));
  EXPECT_TRUE(FixedAccepted<SUB_S_AUCTION_START>(4));
  EXPECT_FALSE(FixedAccepted<SUB_S_AUCTION_START>(8));
}

TEST(ProtocolReader, ListsNeedAMultipleAndMayBeEmpty) {
  for (auto count : {ListCount<SUB_S_RECENTLY_RESULT>(115), ListCount<SUB_S_RECENTLY_RESULT>(117),
                     ListCount<SUB_S_LUCKY_USER>(115), ListCount<SUB_S_LUCKY_USER>(117),
                     ListCount<SUB_S_MY_BUY_RECORD>(87), ListCount<SUB_S_MY_BUY_RECORD>(89),
                     ListCount<SUB_S_GOODS_LIST>(127), ListCount<SUB_S_GOODS_LIST>(129),
                     ListCount<SUB_S_EXCHANGE_GOODS>(255)}) {
    EXPECT_FALSE(count.has_value());
  }
  EXPECT_EQ(ListCount<SUB_S_RECENTLY_RESULT>(0), 0u);
  EXPECT_EQ(ListCount<SUB_S_RECENTLY_RESULT>(116), 1u);
  EXPECT_EQ(ListCount<SUB_S_RECENTLY_RESULT>(116 * 31), 31u);
  EXPECT_EQ(ListCount<SUB_S_LUCKY_USER>(0), 0u);
  EXPECT_EQ(ListCount<SUB_S_LUCKY_USER>(232), 2u);
  EXPECT_EQ(ListCount<SUB_S_MY_BUY_RECORD>(88), 1u);
  EXPECT_EQ(ListCount<SUB_S_GOODS_LIST>(0), 0u);
  EXPECT_EQ(ListCount<SUB_S_GOODS_LIST>(128 * 8), 8u);
  EXPECT_EQ(ListCount<SUB_S_EXCHANGE_GOODS>(256), 2u);
  EXPECT_EQ(ReadSceneGoods(nullptr, 0)->Count(), 0u);
  EXPECT_FALSE(ReadSceneGoods(nullptr, 130).has_value());
}

TEST(ProtocolReader, LikeMessagesReadAtMostSevenHeldEntries) {
  EXPECT_EQ(ListCount<SUB_S_LIKE_STATE>(0), 0u);
  EXPECT_EQ(ListCount<SUB_S_LIKE_STATE>(11), 0u);
  EXPECT_EQ(ListCount<SUB_S_LIKE_STATE>(12), 1u);
  EXPECT_EQ(ListCount<SUB_S_LIKE_STATE>(83), 6u);
  EXPECT_EQ(ListCount<SUB_S_LIKE_STATE>(84), 7u);
  EXPECT_EQ(ListCount<SUB_S_LIKE_UPDATE>(85), 7u);
  EXPECT_EQ(ListCount<SUB_S_LIKE_UPDATE>(120), 7u);
}

TEST(ProtocolReader, UnknownCodesFail) {
  EXPECT_FALSE(IsServerMessageSizeValid(0, 0));
  EXPECT_FALSE(IsServerMessageSizeValid(12, 0));
  EXPECT_FALSE(GetServerMessageShape(0xFFFF, nullptr, nullptr));
  EXPECT_EQ(ClientRequestSize(0), 0u);
  EXPECT_EQ(ClientRequestSize(4), 0u);
}

TEST(ProtocolReader, SameBytesReadWithTheLayoutOfTheirCode) {
  CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP row{};
  row.goodsNumber = 41;
  SetFieldText(row.goodsName, "ABCDEFGH");
  SetFieldText(row.winnerNickname, "nick");
  row.winnerShares = 0x01020304;
  SetFieldText(row.drawTime, "2024-01-02 03:04:05");
  auto buf = Exact(sizeof(row));
  std::memcpy(buf.get(), &row, sizeof(row));

  auto history = ReadServerList<SUB_S_RECENTLY_RESULT>(buf.get(), sizeof(row));
  ASSERT_TRUE(history && history->Count() == 1);
  const auto h = (*history)[0];
  EXPECT_EQ(h.goodsNumber, 41u);
  EXPECT_EQ(FieldText(h.goodsName), "ABCDEFGH");
  EXPECT_EQ(FieldText(h.winnerNickname), "nick");
  EXPECT_EQ(h.winnerShares, 0x01020304u);
  EXPECT_EQ(FieldText(h.drawTime), "2024-01-02 03:04:05");

  // Under code 5 the same bytes mean something else: goods number from
  // bytes 4..7 ("ABCD"), shares from 8..11 ("EFGH").
  auto lucky = ReadServerList<SUB_S_LUCKY_USER>(buf.get(), sizeof(row));
  ASSERT_TRUE(lucky && lucky->Count() == 1);
  const auto l = (*lucky)[0];
  EXPECT_EQ(l.unused0, 41u);
  EXPECT_EQ(l.goodsNumber, 0x44434241u);
  EXPECT_EQ(l.winnerShares, 0x48474645u);
  EXPECT_EQ(FieldText(l.drawTime), "");  // bytes 12.. are the zero tail of the name
  EXPECT_EQ(std::memcmp(&l, &row, sizeof(row)), 0);
}

TEST(ProtocolReader, ElementsAreCopiedFromAnyAlignment) {
  // Two goods records starting at an odd address.
  std::vector<unsigned char> raw(1 + 2 * sizeof(CMD_GF_VELMORA_GOODS_ITEM));
  for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<unsigned char>(i);
  auto list = ReadServerList<SUB_S_GOODS_LIST>(raw.data() + 1, 256);
  ASSERT_TRUE(list && list->Count() == 2);
  const auto second = (*list)[1];
  EXPECT_EQ(std::memcmp(&second, raw.data() + 1 + 128, 128), 0);
  EXPECT_EQ(list->RawAt(1), raw.data() + 1 + 128);
  EXPECT_EQ(list->RawAt(2), nullptr);
  // Out of range gives a zero record rather than bytes past the message.
  const auto none = (*list)[2];
  EXPECT_EQ(none.goodsId, 0u);
  EXPECT_EQ(none.minPurchase, 0u);
}

TEST(ProtocolText, FieldsStopAtZeroOrAtTheirEnd) {
  // Full-length nickname in a heap field of exactly 32 bytes: no zero byte.
  auto field = Exact(NICKNAME_LEN, 'N');
  EXPECT_EQ(ReadFieldText(reinterpret_cast<const char*>(field.get()), NICKNAME_LEN), std::string(32, 'N'));

  CMD_GF_VELMORA_GOODS_ITEM item{};
  std::memset(item.goodsName, 'A', sizeof(item.goodsName));
  std::memset(item.pictureFile, 'B', sizeof(item.pictureFile));
  EXPECT_EQ(FieldText(item.goodsName), std::string(32, 'A'));

  // GBK bytes come back unchanged, up to the first zero.
  const char gbk[] = "\xD6\xD0\x81\x5C";
  std::memcpy(item.goodsName, gbk, 5);
  EXPECT_EQ(FieldText(item.goodsName), std::string(gbk));
  EXPECT_EQ(FieldText(item.pictureFile), std::string(32, 'B'));
}

TEST(ProtocolText, WritingKeepsTheTerminatorAndWholeCharacters) {
  char field[6];
  SetFieldText(field, "abcdefgh");
  EXPECT_EQ(std::string(field), "abcde");
  // "ab" + two double-byte characters: the second no longer fits whole.
  SetFieldText(field, "ab\xD6\xD0\xD6\xD0");
  EXPECT_EQ(std::string(field), "ab\xD6\xD0");
  EXPECT_EQ(field[4], '\0');
  SetFieldText(field, "x");
  EXPECT_EQ(std::string(field, 6), std::string("x\0\0\0\0\0", 6));
}

TEST(ProtocolRequests, BuildersGiveTheWireBytes) {
  const auto buy = MakeBuyRequest(0x01020304, 5);
  const unsigned char buyBytes[] = {4, 3, 2, 1, 5, 0, 0, 0};
  ASSERT_EQ(sizeof(buy), ClientRequestSize(SUB_C_BUY));
  EXPECT_EQ(std::memcmp(&buy, buyBytes, sizeof(buyBytes)), 0);

  const auto all = MakeBuyAllRequest(1001);
  ASSERT_EQ(sizeof(all), ClientRequestSize(SUB_C_BUY_ALL));
  const unsigned char allBytes[] = {0xE9, 0x03, 0, 0};
  EXPECT_EQ(std::memcmp(&all, allBytes, sizeof(allBytes)), 0);

  const auto like = MakeLikeRequest(7);
  ASSERT_EQ(sizeof(like), ClientRequestSize(SUB_C_LIKE));
  const unsigned char likeBytes[] = {7, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(&like, likeBytes, sizeof(likeBytes)), 0);

  // The server side reads them back only at their exact size.
  auto back = ReadClientRequest<SUB_C_BUY>(&buy, sizeof(buy));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->shares, 5u);
  EXPECT_FALSE(ReadClientRequest<SUB_C_BUY>(&buy, 4).has_value());
  EXPECT_FALSE(ReadClientRequest<SUB_C_LIKE>(nullptr, 8).has_value());
}
