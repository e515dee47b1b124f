#include "tests/server/serverfixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace veltest {

std::string UniformGoodsXml(int count) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<goodsList sharePrice=\"10000\">\n";
  for (int i = 1; i <= count; ++i) {
    xml += "  <goods id=\"" + std::to_string(500 + i) + "\" name=\"测试商品" + std::to_string(i) + "\" value=\"" +
           std::to_string(100 * i) + "\" picture=\"goods_0" + std::to_string(i % 10) +
           ".png\" shares=\"10\" minPurchase=\"30000\" remainderThreshold=\"10000\"/>\n";
  }
  return xml + "</goodsList>\n";
}

void ServerFixture::SetUp() {
  temp_ = std::make_unique<veltest::TempDir>("server-test");
  ASSERT_FALSE(temp_->Path().empty());
  dir_ = temp_->Path();
  std::ofstream(dir_ + "/goods.xml") << UniformGoodsXml();
}

void ServerFixture::TearDown() {
  server_.Stop();
  temp_.reset();
}

velsrv::ServerOptions ServerFixture::Options() const {
  velsrv::ServerOptions o;
  o.dbPath = dir_ + "/game.db";
  o.goodsFile = dir_ + "/goods.xml";
  o.bots = 0;
  o.lotSeconds = kLotSeconds;
  o.pauseSeconds = kPauseSeconds;
  o.initialCoins = 1000000;
  o.seed = 42;
  o.clock = const_cast<plat::FakeClock*>(&clock_);
  o.tickMs = 0;
  o.durable = false;  // a test needs no power-cut safety, only speed
  o.RelaxAccountChecksForTests();
  o.plain = true;  // the test client speaks the frames in clear; TLS has tests of its own
  return o;
}

void ServerFixture::StartServer(const velsrv::ServerOptions& options) {
  std::string error;
  ASSERT_TRUE(server_.Start(0, options, &error)) << error;
  ASSERT_NE(server_.Port(), 0);
}

void ServerFixture::AdvanceSeconds(std::uint32_t seconds) {
  clock_.Advance(static_cast<std::uint64_t>(seconds) * 1000);
  server_.Tick();
}

}  // namespace veltest
