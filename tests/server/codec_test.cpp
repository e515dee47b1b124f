// The frame codec the server and the client transport share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/net/framedecoder.h"
#include "platform/net/frameencoder.h"
#include "platform/net/wirereader.h"

namespace {

using plat::net::FrameDecoder;
using plat::net::FrameView;

TEST(FrameCodec, HeaderIsLittleEndianLengthMainSub) {
  const std::uint8_t payload[3] = {0xAA, 0xBB, 0xCC};
  std::vector<std::uint8_t> out;
  ASSERT_TRUE(plat::net::AppendFrame(out, 0x0164, 0x0B02, payload, sizeof(payload)));
  const std::vector<std::uint8_t> expected = {3, 0, 0, 0, 0x64, 0x01, 0x02, 0x0B, 0xAA, 0xBB, 0xCC};
  EXPECT_EQ(out, expected);
}

TEST(FrameCodec, DecodesAHeaderSplitAcrossReadsByteByByte) {
  const std::string body = "hello";
  std::string wire;
  ASSERT_TRUE(plat::net::AppendFrame(wire, 100, 8, body.data(), body.size()));
  FrameDecoder d;
  FrameView f;
  for (std::size_t i = 0; i + 1 < wire.size(); ++i) {
    d.Feed(&wire[i], 1);
    ASSERT_EQ(d.Next(&f), FrameDecoder::Status::NeedMore) << "after byte " << i;
  }
  d.Feed(&wire.back(), 1);
  ASSERT_EQ(d.Next(&f), FrameDecoder::Status::Ready);
  EXPECT_EQ(f.header.mainCmd, 100);
  EXPECT_EQ(f.header.subCmd, 8);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(f.payload), f.size), body);
  EXPECT_EQ(d.Next(&f), FrameDecoder::Status::NeedMore);
  EXPECT_EQ(d.Buffered(), 0u);
}

TEST(FrameCodec, SeveralFramesInOneReadComeOutInOrder) {
  std::string wire;
  for (std::uint16_t sub = 1; sub <= 5; ++sub) {
    const std::string body(sub - 1, static_cast<char>('a' + sub));  // the first one is empty
    ASSERT_TRUE(plat::net::AppendFrame(wire, 2, sub, body.data(), body.size()));
  }
  wire += std::string("\x09\x00\x00", 3);  // the start of a sixth header
  FrameDecoder d;
  d.Feed(wire.data(), wire.size());
  FrameView f;
  for (std::uint16_t sub = 1; sub <= 5; ++sub) {
    ASSERT_EQ(d.Next(&f), FrameDecoder::Status::Ready);
    EXPECT_EQ(f.header.subCmd, sub);
    EXPECT_EQ(f.size, sub - 1u);
  }
  EXPECT_EQ(d.Next(&f), FrameDecoder::Status::NeedMore);
  EXPECT_EQ(d.Buffered(), 3u);
}

TEST(FrameCodec, OversizedLengthIsMalformedForGood) {
  std::string wire;
  const std::string big(plat::net::kMaxFramePayload, 'x');
  ASSERT_TRUE(plat::net::AppendFrame(wire, 100, 1, big.data(), big.size()));  // the largest allowed
  FrameDecoder d;
  d.Feed(wire.data(), wire.size());
  FrameView f;
  ASSERT_EQ(d.Next(&f), FrameDecoder::Status::Ready);
  EXPECT_EQ(f.size, plat::net::kMaxFramePayload);

  const std::uint8_t huge[8] = {0xFF, 0xFF, 0xFF, 0x7F, 100, 0, 1, 0};
  d.Feed(huge, sizeof(huge));
  EXPECT_EQ(d.Next(&f), FrameDecoder::Status::Malformed);
  // Good frames after a broken header are never trusted.
  std::string next;
  plat::net::AppendFrame(next, 0, 0, nullptr, 0);
  d.Feed(next.data(), next.size());
  EXPECT_EQ(d.Next(&f), FrameDecoder::Status::Malformed);
  EXPECT_TRUE(d.IsMalformed());
  d.Reset();
  d.Feed(next.data(), next.size());
  EXPECT_EQ(d.Next(&f), FrameDecoder::Status::Ready);
}

TEST(FrameCodec, OneByteOverTheLimitIsRefusedByBothSides) {
  const std::uint8_t header[8] = {0x00, 0x00, 0x01, 0x00, 100, 0, 1, 0};  // 65536
  FrameDecoder d;
  d.Feed(header, sizeof(header));
  FrameView f;
  EXPECT_EQ(d.Next(&f), FrameDecoder::Status::Malformed);

  std::string out = "keep";
  const std::string big(plat::net::kMaxFramePayload + 1, 'x');
  EXPECT_FALSE(plat::net::AppendFrame(out, 100, 1, big.data(), big.size()));
  EXPECT_FALSE(plat::net::AppendFrame(out, 100, 1, nullptr, 4));
  EXPECT_EQ(out, "keep");
}

}  // namespace

namespace {

struct TwoWords {
  std::uint32_t a;
  std::uint32_t b;
};

// Records are taken at their exact size only; a header may be read from a longer one; a read
// never goes past the given size, even from an unaligned place.
TEST(WireReader, ExactAndPrefixReadsStayInsideTheBuffer) {
  std::uint8_t bytes[1 + sizeof(TwoWords) + 1] = {};
  bytes[1] = 7;
  bytes[5] = 9;
  const std::uint8_t* odd = bytes + 1;  // unaligned
  const auto exact = plat::net::ReadExact<TwoWords>(odd, sizeof(TwoWords));
  ASSERT_TRUE(exact);
  EXPECT_EQ(exact->a, 7u);
  EXPECT_EQ(exact->b, 9u);
  EXPECT_FALSE(plat::net::ReadExact<TwoWords>(odd, sizeof(TwoWords) - 1));
  EXPECT_FALSE(plat::net::ReadExact<TwoWords>(odd, sizeof(TwoWords) + 1));
  EXPECT_FALSE(plat::net::ReadExact<TwoWords>(nullptr, sizeof(TwoWords)));

  EXPECT_FALSE(plat::net::ReadPrefix<TwoWords>(odd, sizeof(TwoWords) - 1));
  const auto head = plat::net::ReadPrefix<TwoWords>(odd, sizeof(TwoWords) + 1);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->b, 9u);
}

}  // namespace
