// The transport's small parts where a slip would lose or corrupt data: the output queue and
// the reconnect delay, the inbound back-pressure.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/frame/servermessagequeue.h"
#include "platform/net/frameheader.h"
#include "platform/transport/inboundgate.h"
#include "platform/transport/outboundqueue.h"
#include "platform/transport/reconnectbackoff.h"

namespace {

TEST(InboundGate, StopsReadingAtTheLimitAndCallsASustainedFullQueueAFlood) {
  plat::InboundGate gate(1000, 5000);
  EXPECT_TRUE(gate.MayRead(999, 100));
  EXPECT_FALSE(gate.MayRead(1000, 200));
  EXPECT_FALSE(gate.Flooded(200));
  // The UI thread drains it between frames and it fills again at once: still one flood.
  for (std::uint64_t t = 210; t < 5200; t += 20) {
    EXPECT_TRUE(gate.MayRead(100, t));
    gate.MayRead(1000, t + 10);
  }
  EXPECT_FALSE(gate.Flooded(5190));
  EXPECT_TRUE(gate.Flooded(5210));
  gate.Reset();
  EXPECT_FALSE(gate.Flooded(5210));
}

TEST(InboundGate, AQuietSecondEndsTheEpisode) {
  plat::InboundGate gate(1000, 5000);
  gate.MayRead(1000, 1000);
  for (std::uint64_t t = 1100; t <= 3000; t += 100) gate.MayRead(1000, t);
  EXPECT_TRUE(gate.MayRead(10, 4000));  // a second without a full queue
  EXPECT_FALSE(gate.Flooded(4000));
  for (std::uint64_t t = 4100; t <= 8000; t += 100) gate.MayRead(1000, t);
  EXPECT_FALSE(gate.Flooded(8000));  // counted from 4100, not from 1000
  EXPECT_FALSE(gate.Flooded(9100));  // nothing full since 8000: over
  EXPECT_FALSE(gate.MayRead(1000, 9100));  // full again: a new episode
  EXPECT_FALSE(gate.Flooded(9100));
}

TEST(ServerMessageQueue, CountsTheBytesItHolds) {
  plat::ServerMessageQueue q;
  plat::ServerMessage big;
  big.bytes.assign(5000, 1);
  plat::ServerMessage text;
  text.kind = plat::ServerMessage::Kind::Status;
  text.text = "abc";
  ASSERT_TRUE(q.Push(big));
  ASSERT_TRUE(q.Push(text));
  EXPECT_EQ(q.Bytes(), 2 * sizeof(plat::ServerMessage) + 5003);
  q.Take(1);
  EXPECT_EQ(q.Bytes(), sizeof(plat::ServerMessage) + 3);
  big.bytes.assign(plat::ServerMessageQueue::kMaxBodySize + 1, 0);
  EXPECT_FALSE(q.Push(big));  // refused, not counted
  q.Clear();
  EXPECT_EQ(q.Bytes(), 0u);
}

TEST(ServerMessageQueue, WaitNotEmptyWakesOnAPushFromAnotherThread) {
  plat::ServerMessageQueue q;
  EXPECT_FALSE(q.WaitNotEmpty(std::chrono::milliseconds(0)));
  std::thread pusher([&q] { q.Push(plat::ServerMessage()); });
  EXPECT_TRUE(q.WaitNotEmpty(std::chrono::seconds(10)));
  pusher.join();
  EXPECT_EQ(q.Size(), 1u);
}

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
