// The TCP transport against a scripted peer: login, ordered delivery, framing faults, lost
// connections, refusals and silence.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <mutex>

#include "platform/frame/servermessagequeue.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "platform/text/textconv.h"
#include "platform/transport/tcptransport.h"
#include "testing/fakeclock.h"
#include "tests/platform/transport/testpeer.h"
#include "tests/platform/transport/transportwatch.h"

namespace {

namespace net = plat::net;
using plat::ServerMessage;
using plat::TcpTransport;
using Kind = plat::ServerMessage::Kind;

// Real time, for the sockets; only a failing test waits this long.
constexpr int kWaitMs = 10000;

net::NetUserRecord UserRecord(std::uint32_t id, const char* name, std::uint32_t coins) {
  net::NetUserRecord rec{};
  rec.userId = id;
  std::strncpy(rec.nickname, name, sizeof(rec.nickname));
  rec.coins = coins;
  rec.bankCoins = 7;
  return rec;
}

class TransportTest : public ::testing::Test {
 protected:
  plat::TcpTransportOptions Options() {
    plat::TcpTransportOptions o;
    o.port = peer.Port();
    o.nicknameGbk = "tester";
    o.password = "test-password";
    o.tls = false;  // the scripted peer speaks in clear
    o.retryFirstMs = 10;
    o.retryMaxMs = 40;
    o.connectTimeoutMs = 1000;
    o.clock = &clock;
    o.log = [this](const std::string& line) {
      std::lock_guard<std::mutex> lock(logMutex);
      logLines.push_back(line);
    };
    return o;
  }
  void StartTransport(const plat::TcpTransportOptions& o) {
    std::string error;
    ASSERT_TRUE(transport.Start(queue, o, &error)) << error;
  }
  // Accepts the transport's connection, checks its login and answers with a user record.
  std::unique_ptr<veltest::PeerConnection> AcceptLogin(std::uint32_t coins = 500) {
    auto conn = peer.Accept(kWaitMs);
    if (!conn) return nullptr;
    auto login = conn->ReadFrame(kWaitMs);
    if (!login || login->mainCmd != net::kMainLogin || login->subCmd != net::kSubLoginRequest ||
        login->payload.size() != sizeof(net::NetLoginRequest))
      return nullptr;
    const auto rec = UserRecord(42, "tester", coins);
    conn->SendFrame(net::kMainLogin, net::kSubUserRecord, &rec, sizeof(rec));
    return conn;
  }
  bool LogMentions(const std::string& part) {
    std::lock_guard<std::mutex> lock(logMutex);
    for (const auto& l : logLines)
      if (l.find(part) != std::string::npos) return true;
    return false;
  }

  bool WaitState(TcpTransport::State state) { return inbox.WaitState(transport, state); }

  plat::FakeClock clock;
  veltest::TestPeer peer;
  plat::ServerMessageQueue queue;
  veltest::Inbox inbox{queue};
  std::mutex logMutex;
  std::vector<std::string> logLines;
  TcpTransport transport;  // last: stopped before the peer and the queue go
};

TEST_F(TransportTest, LogsInDeliversInOrderAndSends) {
  StartTransport(Options());
  auto conn = peer.Accept(kWaitMs);
  ASSERT_TRUE(conn);
  auto login = conn->ReadFrame(kWaitMs);
  ASSERT_TRUE(login);
  ASSERT_EQ(login->mainCmd, net::kMainLogin);
  ASSERT_EQ(login->payload.size(), sizeof(net::NetLoginRequest));
  net::NetLoginRequest req;
  std::memcpy(&req, login->payload.data(), sizeof(req));
  EXPECT_STREQ(req.nickname, "tester");
  EXPECT_EQ(req.protocolVersion, net::kProtocolVersion);

  // Not logged in yet: a request is refused, and the player is told.
  const std::uint8_t early[] = {1, 2};
  EXPECT_FALSE(transport.Send(100, 1, early, sizeof(early)));
  EXPECT_GE(inbox.WaitStatus("操作未发送"), 0);

  // A user record, a scene and three game messages; the first part dribbles in a byte at a
  // time, the rest arrives in one write.
  std::vector<std::uint8_t> wire;
  const auto rec = UserRecord(42, "tester", 500);
  net::AppendFrame(wire, net::kMainLogin, net::kSubUserRecord, &rec, sizeof(rec));
  const std::vector<std::uint8_t> scene(3 * 128, 0xAB);
  net::AppendFrame(wire, net::kMainScene, 0, scene.data(), scene.size());
  for (std::uint8_t i = 1; i <= 3; ++i) {
    const std::uint8_t body[] = {i, static_cast<std::uint8_t>(i * 2)};
    net::AppendFrame(wire, 100, i, body, i == 2 ? 0 : sizeof(body));
  }
  for (std::size_t i = 0; i < 60; ++i) ASSERT_TRUE(conn->SendRaw(&wire[i], 1));
  ASSERT_TRUE(conn->SendRaw(wire.data() + 60, wire.size() - 60));

  ASSERT_GE(inbox.WaitFor([](const ServerMessage& m) { return m.kind == Kind::Game && m.subCmd == 3; }), 0);
  std::vector<ServerMessage> delivered;
  for (const auto& m : inbox.all)
    if (m.kind != Kind::Status && m.kind != Kind::ClearStatus) delivered.push_back(m);
  ASSERT_EQ(delivered.size(), 5u);
  EXPECT_EQ(delivered[0].kind, Kind::UserData);
  EXPECT_TRUE(delivered[0].hasUser);
  EXPECT_EQ(delivered[0].user.dwUserID, 42u);
  EXPECT_STREQ(delivered[0].user.szNickName, "tester");
  EXPECT_EQ(delivered[0].user.dwCoins, 500u);
  EXPECT_EQ(delivered[0].user.dwBankCoins, 7u);
  EXPECT_EQ(delivered[1].kind, Kind::Scene);
  EXPECT_EQ(delivered[1].bytes, scene);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(delivered[2 + i].kind, Kind::Game);
    EXPECT_EQ(delivered[2 + i].subCmd, i + 1);
  }
  EXPECT_TRUE(delivered[3].bytes.empty());
  EXPECT_EQ(delivered[4].bytes, (std::vector<std::uint8_t>{3, 6}));
  // Going online takes the "not sent" text away.
  EXPECT_GE(inbox.WaitKind(Kind::ClearStatus), 0);
  EXPECT_EQ(transport.GetState(), TcpTransport::State::Online);

  const std::uint8_t req2[] = {9, 8, 7, 6, 5, 4, 3, 2};
  ASSERT_TRUE(transport.Send(100, 1, req2, sizeof(req2)));
  auto got = conn->ReadFrame(kWaitMs);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->mainCmd, 100);
  EXPECT_EQ(got->subCmd, 1);
  EXPECT_EQ(got->payload, std::vector<std::uint8_t>(req2, req2 + sizeof(req2)));
  // Bad arguments never reach the wire.
  EXPECT_FALSE(transport.Send(100, 1, nullptr, 4));
  const std::vector<std::uint8_t> huge(net::kMaxFramePayload + 1);
  EXPECT_FALSE(transport.Send(100, 1, huge.data(), huge.size()));
}

TEST_F(TransportTest, IgnoresUnknownFramesAndWrongSizedRecordsButKeepsTheLine) {
  StartTransport(Options());
  auto conn = AcceptLogin();
  ASSERT_TRUE(conn);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  const std::uint8_t junk[43] = {};
  conn->SendFrame(7, 1, junk, sizeof(junk));                                 // unknown main
  conn->SendFrame(net::kMainLogin, net::kSubUserRecord, junk, sizeof(junk));  // short record
  conn->SendFrame(net::kMainScene, 300, junk, sizeof(junk));                 // status > 255
  conn->SendFrame(net::kMainHeartbeat, 0, nullptr, 0);
  conn->SendFrame(100, 5, junk, 4);
  ASSERT_GE(inbox.WaitFor([](const ServerMessage& m) { return m.kind == Kind::Game && m.subCmd == 5; }), 0);
  EXPECT_EQ(inbox.OfKind(Kind::UserData).size(), 1u);
  EXPECT_TRUE(inbox.OfKind(Kind::Scene).empty());
  EXPECT_EQ(transport.GetStats().framesIgnored, 4u);
  EXPECT_EQ(transport.GetStats().losses, 0u);
  EXPECT_EQ(transport.GetState(), TcpTransport::State::Online);
}

TEST_F(TransportTest, MalformedFrameClosesThenReconnectsWithAFreshLogin) {
  StartTransport(Options());
  auto conn = AcceptLogin();
  ASSERT_TRUE(conn);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  std::vector<std::uint8_t> wire;
  const std::uint8_t body[] = {1};
  net::AppendFrame(wire, 100, 1, body, 1);
  std::uint8_t bad[net::kFrameHeaderSize];
  net::WriteFrameHeader({static_cast<std::uint32_t>(net::kMaxFramePayload + 1), 100, 2}, bad);
  wire.insert(wire.end(), bad, bad + sizeof(bad));
  net::AppendFrame(wire, 100, 3, body, 1);  // after the bad header: never trusted
  ASSERT_TRUE(conn->SendRaw(wire.data(), wire.size()));

  EXPECT_TRUE(conn->WaitClosed(kWaitMs));
  EXPECT_GE(inbox.WaitStatus("连接已断开"), 0);
  ASSERT_TRUE(veltest::EndPause(clock, Options().retryFirstMs));
  auto second = AcceptLogin(400);
  ASSERT_TRUE(second);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  ASSERT_GE(inbox.WaitFor([](const ServerMessage& m) {
    return m.kind == Kind::UserData && m.user.dwCoins == 400;
  }), 0);
  const auto games = inbox.OfKind(Kind::Game);
  ASSERT_EQ(games.size(), 1u);
  EXPECT_EQ(games[0].subCmd, 1);
  EXPECT_EQ(transport.GetStats().malformed, 1u);
  EXPECT_EQ(transport.GetStats().logins, 2u);
  EXPECT_TRUE(LogMentions("malformed"));
}

TEST_F(TransportTest, LostConnectionIsShownRequestsAreRefusedAndTheLoginRepeats) {
  StartTransport(Options());
  auto conn = AcceptLogin();
  ASSERT_TRUE(conn);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  peer.StopListening();  // the server is gone for a while
  conn->Close();

  const int lost = inbox.WaitStatus("连接已断开");
  ASSERT_GE(lost, 0);
  EXPECT_TRUE(inbox.all[static_cast<std::size_t>(lost)].persistent);
  const std::uint8_t req[] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_FALSE(transport.Send(100, 1, req, sizeof(req)));
  const int refused = inbox.WaitStatus("操作未发送", static_cast<std::size_t>(lost));
  ASSERT_GE(refused, 0);
  EXPECT_TRUE(inbox.all[static_cast<std::size_t>(refused)].persistent);
  ASSERT_TRUE(veltest::AwaitPause(clock, Options().retryFirstMs));  // logged before the pause
  EXPECT_TRUE(LogMentions("lost"));
  EXPECT_GE(transport.GetStats().requestsRefused, 1u);
}

TEST_F(TransportTest, ReconnectsToAServerThatComesBack) {
  auto options = Options();
  StartTransport(options);
  auto conn = AcceptLogin();
  ASSERT_TRUE(conn);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  conn->Close();
  // The transport comes back on its own after the first retry delay and logs in again; the
  // offline text goes.
  ASSERT_TRUE(veltest::EndPause(clock, options.retryFirstMs));
  auto again = AcceptLogin(321);
  ASSERT_TRUE(again);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  const int user = inbox.WaitFor([](const ServerMessage& m) {
    return m.kind == Kind::UserData && m.user.dwCoins == 321;
  });
  ASSERT_GE(user, 0);
  EXPECT_GE(inbox.WaitKind(Kind::ClearStatus, static_cast<std::size_t>(user) - 1), 0);
  const std::uint8_t req[] = {4, 4};
  EXPECT_TRUE(transport.Send(100, 3, req, sizeof(req)));
  auto got = again->ReadFrame(kWaitMs);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->subCmd, 3);
}

TEST_F(TransportTest, RefusedLoginIsShownAndNotRetried) {
  StartTransport(Options());
  auto conn = peer.Accept(kWaitMs);
  ASSERT_TRUE(conn);
  ASSERT_TRUE(conn->ReadFrame(kWaitMs));
  net::NetLoginRefused refused{};
  const std::string reason = plat::Utf8ToGbk("昵称已被占用");
  std::memcpy(refused.reason, reason.data(), reason.size());
  conn->SendFrame(net::kMainLogin, net::kSubLoginRefused, &refused, sizeof(refused));
  conn->Close();

  ASSERT_GE(inbox.WaitStatus("昵称已被占用"), 0);
  ASSERT_TRUE(WaitState(TcpTransport::State::Refused));
  // Retrying would be refused again: however long the wait, no second attempt comes.
  ASSERT_TRUE(veltest::AdvanceAndSettle(clock, 100 * Options().retryMaxMs));
  EXPECT_FALSE(peer.Accept(0));
  EXPECT_EQ(transport.GetStats().connectAttempts, 1u);
  const std::uint8_t req[] = {1};
  EXPECT_FALSE(transport.Send(100, 1, req, 1));
  EXPECT_GE(inbox.WaitFor([](const ServerMessage& m) {
    const std::string t = plat::GbkToUtf8(m.text);
    return m.kind == Kind::Status && t.find("操作未发送") != std::string::npos &&
           t.find("昵称已被占用") != std::string::npos;
  }), 0);
}

TEST_F(TransportTest, SilentServerIsDroppedAfterPings) {
  auto options = Options();
  options.pingIntervalMs = 30;
  options.silenceTimeoutMs = 300;
  StartTransport(options);
  auto conn = AcceptLogin();
  ASSERT_TRUE(conn);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  // The server reads but never answers the pings.
  ASSERT_TRUE(veltest::EndPause(clock, options.pingIntervalMs));
  auto ping = conn->ReadFrame(kWaitMs, true);
  ASSERT_TRUE(ping);
  EXPECT_EQ(ping->mainCmd, net::kMainHeartbeat);
  EXPECT_EQ(ping->subCmd, net::kSubPing);
  // Not yet: pings alone are no answer, but the line stays until the silence time is up.
  ASSERT_TRUE(veltest::AdvanceAndSettle(clock, options.silenceTimeoutMs - options.pingIntervalMs - 1));
  EXPECT_EQ(transport.GetStats().timeouts, 0u);
  clock.Advance(1);
  EXPECT_TRUE(conn->WaitClosed(kWaitMs));
  EXPECT_GE(transport.GetStats().timeouts, 1u);
  ASSERT_TRUE(veltest::EndPause(clock, options.retryFirstMs));
  EXPECT_TRUE(peer.Accept(kWaitMs));  // and tries again
}

TEST_F(TransportTest, ConnectedButNeverAnsweredLoginTimesOut) {
  auto options = Options();
  options.loginTimeoutMs = 200;
  options.silenceTimeoutMs = 0;
  StartTransport(options);
  auto conn = peer.Accept(kWaitMs);
  ASSERT_TRUE(conn);
  ASSERT_TRUE(veltest::EndPause(clock, options.loginTimeoutMs));
  EXPECT_TRUE(conn->WaitClosed(kWaitMs));
  EXPECT_EQ(transport.GetStats().timeouts, 1u);
}

TEST_F(TransportTest, NobodyListeningIsRetriedWithBackoffAndStopIsPrompt) {
  auto options = Options();
  options.port = veltest::UnusedPort();
  StartTransport(options);
  ASSERT_GE(inbox.WaitStatus("无法连接服务器"), 0);
  // The delays double from the first up to the ceiling: 10, 20, 40, 40.
  for (std::uint32_t delay : {10u, 20u, 40u}) ASSERT_TRUE(veltest::EndPause(clock, delay)) << delay;
  ASSERT_TRUE(veltest::AwaitPause(clock, 40));
  EXPECT_GE(transport.GetStats().connectAttempts, 3u);
  EXPECT_TRUE(LogMentions("retrying in"));
  // Stop wakes a thread that would otherwise wait for the clock forever.
  transport.Stop();
  EXPECT_EQ(transport.GetState(), TcpTransport::State::Stopped);
  const auto attempts = transport.GetStats().connectAttempts;
  clock.Advance(10 * options.retryMaxMs);
  EXPECT_EQ(transport.GetStats().connectAttempts, attempts);
}

// A server that sends faster than the game takes its messages: the reader stops at the queue's
// limit, so TCP holds the sender back and memory stays put; a queue kept full that long is a
// flood, and the line is dropped with a word on the status line.
TEST_F(TransportTest, FloodIsHeldAtTheQueueLimitThenDroppedWithAStatus) {
  auto o = Options();
  o.maxInboundBytes = 256 * 1024;
  o.floodMs = 500;
  StartTransport(o);
  auto conn = AcceptLogin();
  ASSERT_TRUE(conn);
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));

  const std::vector<std::uint8_t> body(60000, 0x5A);
  std::vector<std::uint8_t> frame;
  ASSERT_TRUE(net::AppendFrame(frame, net::kMainGame, 4, body.data(), body.size()));
  // Nobody takes from the queue meanwhile; the flood ends when the transport hangs up. Time
  // passes only while the transport holds the sender back.
  const std::size_t sent = conn->Flood(frame, kWaitMs, [this] { clock.Advance(100); });
  EXPECT_EQ(transport.GetStats().floods, 1u);
  // One read's frames may land past the limit, never more.
  EXPECT_LE(queue.Bytes(), o.maxInboundBytes + 2 * (frame.size() + sizeof(ServerMessage)));
  EXPECT_GT(queue.Bytes(), o.maxInboundBytes / 2);
  // Without back-pressure a loopback flood of that long moves gigabytes.
  EXPECT_LT(sent, 64u << 20);
  EXPECT_TRUE(conn->WaitClosed(kWaitMs));
  EXPECT_GE(inbox.WaitStatus("消息过多"), 0);
  // The console hears of it before the pause, which is the longest delay.
  ASSERT_TRUE(veltest::AwaitPause(clock, o.retryMaxMs));
  EXPECT_TRUE(LogMentions("flood"));
}

TEST_F(TransportTest, StartRejectsOptionsThatCannotWork) {
  std::string error;
  auto options = Options();
  options.nicknameGbk.clear();
  EXPECT_FALSE(transport.Start(queue, options, &error));
  options.nicknameGbk = std::string(32, 'a');
  EXPECT_FALSE(transport.Start(queue, options, &error));
  options.nicknameGbk = "ok";
  options.port = 0;
  EXPECT_FALSE(transport.Start(queue, options, &error));
  EXPECT_FALSE(error.empty());
  options.port = peer.Port();
  EXPECT_TRUE(transport.Start(queue, options, &error));
  EXPECT_FALSE(transport.Start(queue, options, &error));
}

}  // namespace
