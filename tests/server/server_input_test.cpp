// Bad peers: broken framing, wrong records, floods and peers that do not
// read are refused or dropped while the others play on.
#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "server/auction.h"
#include "server/gbktext.h"
#include "testing/fakeclock.h"
#include "tests/server/serverfixture.h"

namespace veltest {
namespace {

namespace net = plat::net;

class InputTest : public ServerFixture {
 protected:
  // Logs a player in and returns the goods id of the lot on sale.
  std::uint32_t EnterAndFindLot(TestClient& c, const std::string& name) {
    EXPECT_TRUE(c.Connect(server_.Port()));
    EXPECT_TRUE(c.Login(name));
    auto scene = c.WaitFor(net::kMainScene, SCENE_STATUS_FREE);
    EXPECT_TRUE(scene);
    if (!scene) return 0;
    for (const auto& g : scene->AsList<CMD_GF_VELMORA_GOODS_ITEM>())
      if (g.state == GOODS_STATE_SELLING) return g.goodsId;
    return 0;
  }

  int Buy(TestClient& c, std::uint32_t goodsId, std::uint32_t shares) {
    if (!c.SendRecord(MDM_GF_GAME, SUB_C_BUY, MakeBuyRequest(goodsId, shares))) return -1;
    auto rsp = c.WaitFor(MDM_GF_GAME, SUB_S_BUY_RESULT);
    return rsp ? rsp->As<CMD_GF_VELMORA_BUY_RSP>().result : -1;
  }

  std::optional<std::string> RefusalOf(const std::string& nicknameGbk, std::uint32_t version) {
    TestClient c;
    EXPECT_TRUE(c.Connect(server_.Port()));
    net::NetLoginRequest req{};
    SetFieldText(req.nickname, nicknameGbk);
    req.protocolVersion = version;
    SetFieldText(req.password, TestClient::kPassword);
    c.SendRecord(net::kMainLogin, net::kSubLoginRequest, req);
    auto refused = c.WaitFor(net::kMainLogin, net::kSubLoginRefused);
    EXPECT_TRUE(c.WaitClosed());
    if (!refused) return std::nullopt;
    return FieldText(refused->As<net::NetLoginRefused>().reason);
  }
};

TEST_F(InputTest, WrongRecordsAreRefusedAndThePeerStays) {
  StartServer();
  TestClient alice, mallory;
  const std::uint32_t lot = EnterAndFindLot(alice, "alice");
  EnterAndFindLot(mallory, "mallory");

  const std::uint8_t junk[3] = {1, 2, 3};
  ASSERT_TRUE(mallory.Send(77, 1, junk, sizeof(junk)));           // unknown main command
  ASSERT_TRUE(mallory.Send(MDM_GF_GAME, SUB_C_BUY, junk, 3));     // buy of the wrong size
  ASSERT_TRUE(mallory.Send(MDM_GF_GAME, 99, nullptr, 0));         // unknown game request
  ASSERT_TRUE(mallory.Send(net::kMainScene, 0, nullptr, 0));      // clients send no scenes
  auto like = MakeLikeRequest(lot);
  like.likeCount = 50;  // a like counts one, never more
  ASSERT_TRUE(mallory.SendRecord(MDM_GF_GAME, SUB_C_LIKE, like));
  ASSERT_TRUE(mallory.Send(net::kMainHeartbeat, 0, nullptr, 0));  // keep-alive: ignored, not refused
  ASSERT_TRUE(mallory.Sync());  // still connected and answered
  EXPECT_EQ(mallory.Count(MDM_GF_GAME, SUB_S_BUY_RESULT), 0u);  // nothing was taken for a purchase
  EXPECT_EQ(server_.GetStats().refusedFrames, 5u);
  EXPECT_EQ(Buy(alice, lot, 3), BUY_RESULT_OK);
  server_.Inspect([&](velsrv::Auction& game, velsrv::Store&) { EXPECT_EQ(game.LikeCount(lot), 0u); });
}

TEST_F(InputTest, BrokenFramingDropsOnlyThatPeer) {
  StartServer();
  TestClient alice;
  const std::uint32_t lot = EnterAndFindLot(alice, "alice");

  TestClient oversized;
  EnterAndFindLot(oversized, "oversized");
  std::uint8_t header[net::kFrameHeaderSize];
  net::FrameHeader h;
  h.length = 65536;  // one byte over what any message may carry
  h.mainCmd = MDM_GF_GAME;
  h.subCmd = SUB_C_BUY;
  net::WriteFrameHeader(h, header);
  ASSERT_TRUE(oversized.SendRaw(header, sizeof(header)));
  EXPECT_TRUE(oversized.WaitClosed());

  TestClient garbage;  // never logs in, sends noise
  ASSERT_TRUE(garbage.Connect(server_.Port()));
  std::string noise(4096, '\xA7');
  ASSERT_TRUE(garbage.SendRaw(noise.data(), noise.size()));
  EXPECT_TRUE(garbage.WaitClosed());

  TestClient half;  // a frame cut short, then gone
  ASSERT_TRUE(half.Connect(server_.Port()));
  ASSERT_TRUE(half.SendRaw(header, 5));
  half.Disconnect();

  EXPECT_EQ(Buy(alice, lot, 3), BUY_RESULT_OK);
  EXPECT_TRUE(alice.Sync());
  EXPECT_EQ(server_.GetStats().players, 1u);
}

TEST_F(InputTest, FloodOfRefusedFramesIsDisconnected) {
  StartServer();
  TestClient alice, flood;
  const std::uint32_t lot = EnterAndFindLot(alice, "alice");
  EnterAndFindLot(flood, "flood");
  std::string frames;
  for (int i = 0; i < 200; ++i) net::AppendFrame(frames, 55, 55, nullptr, 0);
  ASSERT_TRUE(flood.SendRaw(frames.data(), frames.size()));
  EXPECT_TRUE(flood.WaitClosed());
  EXPECT_EQ(Buy(alice, lot, 3), BUY_RESULT_OK);
}

TEST_F(InputTest, PeerThatDoesNotReadIsDroppedWithBoundedQueue) {
  velsrv::ServerOptions o = Options();
  o.maxQueuedBytes = 64 * 1024;
  StartServer(o);
  TestClient alice, sleeper;
  const std::uint32_t lot = EnterAndFindLot(alice, "alice");
  ASSERT_TRUE(sleeper.Connect(server_.Port(), 4096));
  ASSERT_TRUE(sleeper.Login("sleeper"));
  // Each like request is answered with 92 bytes the sleeper never reads.
  std::string requests;
  const auto ping = MakeLikeRequest(0);
  for (int i = 0; i < 200000; ++i) net::AppendFrame(requests, MDM_GF_GAME, SUB_C_LIKE, &ping, sizeof(ping));
  sleeper.SendRaw(requests.data(), requests.size());  // may fail once the server has dropped it
  EXPECT_TRUE(sleeper.WaitClosed(10000));
  EXPECT_GE(server_.GetStats().droppedPeers, 1u);
  EXPECT_EQ(Buy(alice, lot, 3), BUY_RESULT_OK);
}

TEST_F(InputTest, BadLoginsAreRefusedWithAReason) {
  StartServer();
  const std::string badName = RefusalOf("", net::kProtocolVersion).value_or("none");
  EXPECT_FALSE(badName.empty());
  EXPECT_TRUE(RefusalOf("   ", net::kProtocolVersion));
  EXPECT_TRUE(RefusalOf(std::string("a\x01" "b"), net::kProtocolVersion));
  EXPECT_TRUE(RefusalOf(std::string("\x81\x20"), net::kProtocolVersion));  // not GBK
  EXPECT_TRUE(RefusalOf("alice", net::kProtocolVersion + 1));
  // A login of the wrong size.
  TestClient c;
  ASSERT_TRUE(c.Connect(server_.Port()));
  ASSERT_TRUE(c.Send(net::kMainLogin, net::kSubLoginRequest, "bob", 3));
  EXPECT_TRUE(c.WaitFor(net::kMainLogin, net::kSubLoginRefused));
  EXPECT_TRUE(c.WaitClosed());
  EXPECT_EQ(server_.GetStats().players, 0u);
}

TEST_F(InputTest, SecondLoginOfTheSameNameTakesOver) {
  StartServer();
  TestClient first, second;
  EnterAndFindLot(first, "alice");
  const std::uint32_t lot = EnterAndFindLot(second, "alice");
  EXPECT_EQ(first.UserId(), second.UserId());
  EXPECT_TRUE(first.WaitFor(net::kMainLogin, net::kSubLoginRefused));
  EXPECT_TRUE(first.WaitClosed());
  EXPECT_EQ(Buy(second, lot, 3), BUY_RESULT_OK);
  EXPECT_EQ(server_.GetStats().players, 1u);
}

// Idle logins from one host cannot take every slot: the one over the cap is
// told why, and a freed slot can be used again.
TEST_F(InputTest, ConnectionsPerAddressAreCappedWithAClearRefusal) {
  velsrv::ServerOptions o = Options();
  o.maxPerAddress = 3;
  StartServer(o);
  TestClient idle[3];
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(idle[i].Connect(server_.Port()));
    ASSERT_TRUE(idle[i].Login("idle" + std::to_string(i)));
  }
  // The refusal reaches a client that sent its login at once and is never read: the
  // connection must not be reset under it.
  for (int attempt = 0; attempt < 5; ++attempt) {
    TestClient extra;
    ASSERT_TRUE(extra.Connect(server_.Port()));
    const std::string login(sizeof(net::NetLoginRequest) + 8, 'x');
    extra.SendRaw(login.data(), login.size());
    auto refused = extra.WaitFor(net::kMainLogin, net::kSubLoginRefused);
    ASSERT_TRUE(refused) << "attempt " << attempt;
    EXPECT_EQ(FieldText(refused->As<net::NetLoginRefused>().reason),
              velsrv::Utf8ToGbk("同一地址的连接过多").value());
    EXPECT_TRUE(extra.WaitClosed());
  }

  ASSERT_TRUE(idle[0].HangUp());
  EXPECT_EQ(server_.GetStats().peers, 2u);
  TestClient again;
  const std::uint32_t lot = EnterAndFindLot(again, "again");
  EXPECT_EQ(Buy(again, lot, 3), BUY_RESULT_OK);
}

TEST_F(InputTest, FullServerRefusesWithAReasonInsteadOfSilence) {
  velsrv::ServerOptions o = Options();
  o.maxPeers = 2;
  StartServer(o);
  TestClient a, b, c;
  ASSERT_TRUE(a.Connect(server_.Port()) && a.Login("a"));
  ASSERT_TRUE(b.Connect(server_.Port()) && b.Login("b"));
  ASSERT_TRUE(c.Connect(server_.Port()));
  auto refused = c.WaitFor(net::kMainLogin, net::kSubLoginRefused);
  ASSERT_TRUE(refused);
  EXPECT_EQ(FieldText(refused->As<net::NetLoginRefused>().reason), velsrv::Utf8ToGbk("服务器已满").value());
  EXPECT_TRUE(a.Sync() && b.Sync());
}

// A player connection that sends nothing (not even the keep-alive) and one
// that stops in the middle of a frame are closed; a quiet player who pings
// stays. Connection time is a manual clock.
TEST_F(InputTest, IdleAndStalledConnectionsAreEvicted) {
  plat::FakeClock wall;
  velsrv::ServerOptions o = Options();
  o.connectionClock = &wall;
  o.idleTimeoutMs = 60000;
  o.frameTimeoutMs = 10000;
  StartServer(o);
  TestClient silent, pinger, staller;
  ASSERT_TRUE(silent.Connect(server_.Port()) && silent.Login("silent"));
  ASSERT_TRUE(pinger.Connect(server_.Port()) && pinger.Login("pinger"));
  ASSERT_TRUE(staller.Connect(server_.Port()) && staller.Login("staller"));

  // A ping, then the first bytes of a purchase that never completes.
  std::string bytes;
  const std::uint32_t token = 7;
  ASSERT_TRUE(net::AppendFrame(bytes, net::kMainHeartbeat, net::kSubPing, &token, sizeof(token)));
  std::string buy;
  ASSERT_TRUE(net::AppendFrame(buy, MDM_GF_GAME, SUB_C_BUY, "12345678", 8));
  bytes += buy.substr(0, 10);
  ASSERT_TRUE(staller.SendRaw(bytes.data(), bytes.size()));
  ASSERT_TRUE(staller.WaitFor(net::kMainHeartbeat, net::kSubPong));

  wall.Advance(9000);
  ASSERT_TRUE(staller.SendRaw(buy.data() + 10, 1));  // trickling does not extend the frame's time
  ASSERT_TRUE(pinger.Sync());
  server_.Housekeep();
  EXPECT_EQ(server_.GetStats().peers, 3u);
  wall.Advance(2000);
  server_.Housekeep();
  EXPECT_TRUE(staller.WaitClosed());
  EXPECT_EQ(server_.GetStats().players, 2u);  // 11 s of silence is fine

  for (int i = 0; i < 6; ++i) {
    wall.Advance(10000);
    ASSERT_TRUE(pinger.Sync());
    server_.Housekeep();
  }
  EXPECT_TRUE(silent.WaitClosed());  // a minute without a word
  EXPECT_TRUE(pinger.Sync());
  EXPECT_EQ(server_.GetStats().players, 1u);
}

TEST_F(InputTest, SimulatedPlayersMakeALivingGame) {
  velsrv::ServerOptions o = Options();
  o.bots = 4;
  o.lotSeconds = 20;
  StartServer(o);
  TestClient watcher;
  ASSERT_TRUE(watcher.Connect(server_.Port()));
  ASSERT_TRUE(watcher.Login("watcher"));
  // Ten game minutes in quarter seconds, no sleeping.
  for (int i = 0; i < 2400; ++i) {
    clock_.Advance(250);
    server_.Tick();
  }
  ASSERT_TRUE(watcher.Sync());
  EXPECT_GT(watcher.Count(MDM_GF_GAME, SUB_S_BUY_NOTIFY), 10u);
  EXPECT_GT(watcher.Count(MDM_GF_GAME, SUB_S_AUCTION_RESULT), 5u);
  EXPECT_GT(watcher.Count(MDM_GF_GAME, SUB_S_AUCTION_START), 5u);
  server_.Inspect([&](velsrv::Auction&, velsrv::Store& db) {
    // Coins only move between players and lots: every grant is accounted for.
    long long players = 0;
    for (std::uint32_t id = 1; db.FindPlayer(id); ++id) ++players;
    EXPECT_GE(players, 5);
    EXPECT_EQ(db.SumCoins() + db.SumPaid(), players * static_cast<long long>(o.initialCoins));
  });
}

}  // namespace
}  // namespace veltest

namespace veltest {
namespace {

// With the program's defaults (one-minute lots, the real goods, as many simulated players as
// the game starts with), the crowd never sells a lot out in its first 20 seconds, holds at
// most 70% of it before its last 10, and still buys and wins: people have time and shares.
TEST_F(InputTest, SimulatedPlayersPaceThemselvesAndLeaveSharesToPeople) {
  velsrv::ServerOptions o = Options();
  const velsrv::ServerOptions defaults;
  o.lotSeconds = defaults.lotSeconds;
  o.pauseSeconds = defaults.pauseSeconds;
  o.goodsFile = std::string(VELMORA_ASSET_DIR) + "/server/goods.xml";
  o.bots = 8;
  std::mutex mu;
  std::vector<std::pair<std::uint64_t, std::string>> lines;
  o.log = [&](const std::string& line) {
    std::lock_guard<std::mutex> lock(mu);
    lines.emplace_back(clock_.NowMs(), line);
  };
  StartServer(o);
  TestClient watcher;
  ASSERT_TRUE(watcher.Connect(server_.Port()));
  ASSERT_TRUE(watcher.Login("watcher"));

  int overCap = 0;
  for (int i = 0; i < 20 * 60 * 4; ++i) {  // twenty game minutes in quarter seconds
    clock_.Advance(250);
    server_.Tick();
    server_.Inspect([&](velsrv::Auction& game, velsrv::Store&) {
      const auto lot = game.CurrentLot();
      if (!lot) return;
      const std::uint64_t now = clock_.NowMs();
      const bool endgame = lot->deadlineMs - now <= 10000 && now - lot->openedMs >= 20000;
      if (!endgame && lot->soldShares * 100 > lot->totalShares * 70) ++overCap;
    });
  }
  ASSERT_TRUE(watcher.Sync());
  EXPECT_EQ(overCap, 0);

  // Every lot's life from its "open" line to its "won"/"failed" line.
  std::map<std::string, std::uint64_t> opened;
  int won = 0, failed = 0;
  std::lock_guard<std::mutex> lock(mu);
  for (const auto& [ms, line] : lines) {
    std::smatch m;
    if (std::regex_search(line, m, std::regex("^lot (\\d+) open"))) {
      opened[m[1]] = ms;
    } else if (std::regex_search(line, m, std::regex("^lot (\\d+) (won|failed)"))) {
      ASSERT_TRUE(opened.count(m[1])) << line;
      EXPECT_GE(ms - opened[m[1]], 20000u) << line;
      (m[2] == "won" ? won : failed)++;
    }
  }
  EXPECT_GE(won, 5) << "the crowd still finishes lots";
  EXPECT_GT(watcher.Count(MDM_GF_GAME, SUB_S_BUY_NOTIFY), 100u) << "and the hall is busy";
  EXPECT_GE(won + failed, 15);
}

}  // namespace
}  // namespace veltest
