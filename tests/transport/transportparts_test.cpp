// The transport's small parts where a slip would lose or corrupt data: the output queue and
// the reconnect delay.
#include <gtest/gtest.h>

#include "platform/net/frameheader.h"
#include "platform/transport/outboundqueue.h"
#include "platform/transport/reconnectbackoff.h"

namespace {

TEST(ReconnectBackoff, DoublesUpToTheCeilingAndStartsOverAfterReset) {
  plat::ReconnectBackoff b(100, 700);
  EXPECT_EQ(b.Next(), 100u);
  EXPECT_EQ(b.Next(), 200u);
  EXPECT_EQ(b.Next(), 400u);
  EXPECT_EQ(b.Next(), 700u);
  EXPECT_EQ(b.Next(), 700u);
  b.Reset();
  EXPECT_EQ(b.Next(), 100u);
  // Near the top of the range the doubling must not wrap to a tiny delay.
  plat::ReconnectBackoff big(3000000000u, 4000000000u);
  EXPECT_EQ(big.Next(), 3000000000u);
  EXPECT_EQ(big.Next(), 4000000000u);
  plat::ReconnectBackoff zero(0, 0);
  EXPECT_EQ(zero.Next(), 1u);
}

TEST(OutboundQueue, WritesFramesWholeAcrossPartialWritesAndCountsTheLost) {
  plat::OutboundQueue q(64);
  const std::uint8_t a[40] = {1, 2, 3, 4};
  ASSERT_TRUE(q.Push(100, 1, a, 4));
  ASSERT_TRUE(q.Push(1, 1, nullptr, 0));
  ASSERT_TRUE(q.Push(100, 2, a, 2));
  EXPECT_EQ(q.QueuedBytes(), 12u + 8u + 10u);
  // Over the limit: refused, nothing half-queued.
  EXPECT_FALSE(q.Push(100, 3, a, 40));
  EXPECT_EQ(q.QueuedBytes(), 30u);
  EXPECT_FALSE(q.Push(100, 3, nullptr, 4));

  ASSERT_EQ(q.HeadSize(), 12u);
  EXPECT_EQ(q.HeadData()[8], 1);
  q.Consume(10);
  ASSERT_EQ(q.HeadSize(), 2u);
  EXPECT_EQ(q.HeadData()[0], 3);
  q.Consume(2 + 8);  // the rest of the first and the whole second frame
  ASSERT_EQ(q.HeadSize(), 10u);
  EXPECT_EQ(plat::net::ReadFrameHeader(q.HeadData()).subCmd, 2);
  q.Consume(3);
  // The partly written game frame was not delivered either.
  EXPECT_EQ(q.Clear(100), 1u);
  EXPECT_TRUE(q.Empty());
  EXPECT_EQ(q.QueuedBytes(), 0u);
  EXPECT_EQ(q.HeadData(), nullptr);
}

}  // namespace
