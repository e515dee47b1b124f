// The transport against the real auction server on loopback: login, scene, a purchase and its
// answers, and a restart of the server on the same port and database.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "client/core/cmd_velmora.h"
#include "platform/frame/servermessagequeue.h"
#include "platform/text/textconv.h"
#include "platform/transport/tcptransport.h"
#include "testing/fakeclock.h"
#include "server/server.h"
#include "testing/tempdir.h"
#include "tests/platform/transport/transportwatch.h"

namespace {

using plat::ServerMessage;
using Kind = plat::ServerMessage::Kind;

class TransportServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    temp = std::make_unique<veltest::TempDir>("transport");
    ASSERT_FALSE(temp->Path().empty());
    dir = temp->Path();
    std::ofstream(dir + "/goods.xml")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<goodsList sharePrice=\"10000\">\n"
        << [] {
             std::string rows;
             for (int i = 1; i <= 8; ++i)
               rows += "<goods id=\"" + std::to_string(700 + i) + "\" name=\"货" + std::to_string(i) +
                       "\" value=\"99\" picture=\"goods_01.png\" shares=\"10\" minPurchase=\"30000\" "
                       "remainderThreshold=\"0\"/>\n";
             return rows;
           }()
        << "</goodsList>\n";
  }
  void TearDown() override {
    transport.Stop();
    server.Stop();
    temp.reset();
  }
  velsrv::ServerOptions Options() {
    velsrv::ServerOptions o;
    o.dbPath = dir + "/game.db";
    o.goodsFile = dir + "/goods.xml";
    o.bots = 0;
    o.seed = 7;
    o.clock = &clock;
    o.tickMs = 0;
    o.durable = false;
    o.RelaxAccountChecksForTests();
    o.plain = true;
    return o;
  }
  // The next message (after the last one found) that matches, taking from the queue as needed.
  std::optional<ServerMessage> WaitFor(const std::function<bool(const ServerMessage&)>& match) {
    const int found = inbox.WaitFor(match, cursor);
    if (found < 0) return std::nullopt;
    cursor = static_cast<std::size_t>(found) + 1;
    return inbox.all[cursor - 1];
  }

  std::unique_ptr<veltest::TempDir> temp;
  std::string dir;
  plat::FakeClock clock;  // the game's
  plat::FakeClock wire;   // the transport's
  velsrv::Server server;
  plat::ServerMessageQueue queue;
  veltest::Inbox inbox{queue};
  std::size_t cursor = 0;
  plat::TcpTransport transport;
};

TEST_F(TransportServerTest, LogsInBuysAndComesBackAfterARestart) {
  std::string error;
  ASSERT_TRUE(server.Start(0, Options(), &error)) << error;
  const std::uint16_t port = server.Port();
  plat::TcpTransportOptions t;
  t.port = port;
  t.nicknameGbk = plat::Utf8ToGbk("测试玩家");
  t.password = "test-password";
  t.tls = false;
  t.retryFirstMs = 20;
  t.retryMaxMs = 100;
  t.clock = &wire;
  t.log = [](const std::string&) {};
  ASSERT_TRUE(transport.Start(queue, t, &error)) << error;

  auto user = WaitFor([](const ServerMessage& m) { return m.kind == Kind::UserData; });
  ASSERT_TRUE(user);
  EXPECT_EQ(plat::GbkToUtf8(user->user.szNickName), "测试玩家");
  EXPECT_EQ(user->user.dwCoins, 1000000u);
  auto scene = WaitFor([](const ServerMessage& m) { return m.kind == Kind::Scene; });
  ASSERT_TRUE(scene);
  auto goods = ReadSceneGoods(scene->bytes.data(), scene->bytes.size());
  ASSERT_TRUE(goods);
  ASSERT_EQ(goods->Count(), MAX_LISTED_GOODS);
  std::optional<CMD_GF_VELMORA_GOODS_ITEM> lot;
  for (std::size_t i = 0; i < goods->Count(); ++i)
    if ((*goods)[i].state == GOODS_STATE_SELLING) lot = (*goods)[i];
  ASSERT_TRUE(lot);

  const CMD_GF_VELMORA_BUY_REQ buy{lot->goodsId, 3};
  ASSERT_TRUE(transport.Send(MDM_GF_GAME, SUB_C_BUY, reinterpret_cast<const std::uint8_t*>(&buy),
                             sizeof(buy)));
  auto result = WaitFor([](const ServerMessage& m) {
    return m.kind == Kind::Game && m.subCmd == SUB_S_BUY_RESULT;
  });
  ASSERT_TRUE(result);
  auto rsp = ReadServerRecord<SUB_S_BUY_RESULT>(result->bytes.data(), result->bytes.size());
  ASSERT_TRUE(rsp);
  EXPECT_EQ(rsp->result, BUY_RESULT_OK);
  auto paid = WaitFor([](const ServerMessage& m) {
    return m.kind == Kind::UserData && m.user.dwCoins == 1000000u - 30000u;
  });
  EXPECT_TRUE(paid);

  // The server goes away mid-sale and comes back on the same port and database: the
  // transport says so, logs in again, and the open lot's coins are back.
  server.Stop();
  EXPECT_TRUE(WaitFor([](const ServerMessage& m) {
    return m.kind == Kind::Status && plat::GbkToUtf8(m.text).find("连接已断开") != std::string::npos;
  }));
  ASSERT_TRUE(server.Start(port, Options(), &error)) << error;
  ASSERT_TRUE(veltest::EndPause(wire, t.retryFirstMs));
  auto back = WaitFor([](const ServerMessage& m) { return m.kind == Kind::UserData; });
  ASSERT_TRUE(back);
  EXPECT_EQ(back->user.dwUserID, user->user.dwUserID);
  EXPECT_EQ(back->user.dwCoins, 1000000u);
  EXPECT_TRUE(WaitFor([](const ServerMessage& m) { return m.kind == Kind::Scene; }));
  EXPECT_EQ(transport.GetStats().logins, 2u);
}

}  // namespace
