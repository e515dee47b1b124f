#include "tests/e2e/e2efixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <guichan/widget.hpp>

#include "client/core/gameclientdlg.h"
#include "app/velmora/appoptions.h"
#include "app/velmora/gamestate.h"
#include "client/data/buydata.h"
#include "platform/frame/gameframe.h"
#include "platform/text/textconv.h"
#include "server/store.h"

namespace veltest {

void E2eFixture::SetUp() {
  temp = std::make_unique<TempDir>("e2e");
  ASSERT_FALSE(temp->Path().empty());
  dir = temp->Path();
  // The goods list is process-wide: a session started in this process earlier left its last
  // scene there, which the new session would show until its own scene comes.
  GetBuyData().ClearItems();
}

void E2eFixture::TearDown() {
  if (session) session->Shutdown();
  session.reset();
  server.Stop();
  temp.reset();
}

void E2eFixture::WriteGoods(std::uint32_t shares, std::uint32_t minShares) {
  // The real catalogue's ids and pictures, so the screen shows real goods.
  std::ofstream out(dir + "/goods.xml");
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<goodsList sharePrice=\"" << kSharePrice << "\">\n";
  for (int i = 1; i <= 8; ++i) {
    char picture[32];
    std::snprintf(picture, sizeof(picture), "goods_%02d.png", i);
    out << "  <goods id=\"" << 1000 + i << "\" name=\"测试货品" << i << "\" value=\"" << 100 * i
        << "\" picture=\"" << picture << "\" shares=\"" << shares << "\" minPurchase=\""
        << minShares * kSharePrice << "\" remainderThreshold=\"0\"/>\n";
  }
  out << "</goodsList>\n";
}

velsrv::ServerOptions E2eFixture::ServerOptions() {
  velsrv::ServerOptions o;
  o.dbPath = dir + "/game.db";
  o.goodsFile = dir + "/goods.xml";
  o.bots = 0;
  o.seed = 11;
  o.initialCoins = kInitialCoins;
  o.clock = &clock;
  o.tickMs = 0;
  o.durable = false;
  o.RelaxAccountChecksForTests();  // and TLS, as a player's server has it
  return o;
}

void E2eFixture::StartServer(std::uint16_t port) {
  std::string error;
  ASSERT_TRUE(server.Start(port, ServerOptions(), &error)) << error;
}

void E2eFixture::StartClient(const std::string& nicknameUtf8) {
  velapp::AppOptions app;
  app.embeddedServer = false;
  app.host = "127.0.0.1";
  app.port = server.Port();
  app.nicknameUtf8 = nicknameUtf8;
  app.password = "e2e-password";
  app.dataDir = dir;  // the pinned certificate
  app.headless = true;
  app.assetsDir = VELMORA_ASSET_DIR;
  session = std::make_unique<velapp::GameSession>(app);
  session->TransportOptions().retryFirstMs = 20;
  session->TransportOptions().retryMaxMs = 100;
  std::string error;
  ASSERT_TRUE(session->Start(&error)) << error;
  ASSERT_TRUE(StepUntil([&] {
    return Dialog() != nullptr && Dialog()->GetMeUserData() != nullptr &&
           GetBuyData().GetCurrentItem() != nullptr;
  })) << "no lot on sale after logging in";
}

void E2eFixture::StartScripted(const std::string& nicknameUtf8, const std::string& script, int firstFrame) {
  const std::string scriptPath = dir + "/play.txt";
  std::ofstream(scriptPath, std::ios::binary) << script;
  statePath = dir + "/state.json";
  velapp::AppOptions app;
  std::string error;
  ASSERT_EQ(velapp::ParseAppOptions({"--connect", "127.0.0.1:" + std::to_string(server.Port()), "--name",
                                     nicknameUtf8, "--headless", "--assets", VELMORA_ASSET_DIR, "--input",
                                     scriptPath, "--state-json", statePath},
                                    &app, &error),
            velapp::ParseOutcome::Run)
      << error;
  app.password = "e2e-password";
  // The pinned certificate goes to the case's folder: in the user's own, another test's server
  // that had the same ephemeral port earlier would show "another certificate".
  app.dataDir = dir;
  session = std::make_unique<velapp::GameSession>(app);
  session->TransportOptions().retryFirstMs = 20;
  session->TransportOptions().retryMaxMs = 100;
  ASSERT_TRUE(session->Start(&error)) << error;
  WaitBefore([&] {
    return Dialog() != nullptr && Dialog()->GetMeUserData() != nullptr && GetBuyData().GetCurrentItem() != nullptr;
  }, firstFrame, "logged in with a lot on sale");
}

void E2eFixture::RunTo(int frame) {
  while (session->FramesRun() < frame) {
    session->Step();
    AwaitServer(std::chrono::microseconds(500));
  }
}

void E2eFixture::WaitBefore(const std::function<bool()>& done, int frame, const char* what) {
  while (!done()) {
    ASSERT_LT(session->FramesRun() + 1, frame) << "not yet " << what << " before frame " << frame;
    session->Step();
    // Generous per frame, and more so near the deadline: on a loaded machine the server's
    // answer may take a while, and the script's later frames must still come after it.
    const int framesLeft = frame - session->FramesRun();
    AwaitServer(std::chrono::milliseconds(framesLeft > 40 ? 5 : 60));
  }
}

Json E2eFixture::State() {
  std::string error;
  EXPECT_TRUE(velapp::WriteGameStateJson(*session, statePath, &error)) << error;
  std::ifstream in(statePath, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto json = ParseJson(text);
  EXPECT_TRUE(json.has_value()) << text;
  return json.value_or(Json{});
}

void E2eFixture::AdvanceGame(std::uint32_t seconds) {
  clock.Advance(static_cast<std::uint64_t>(seconds) * 1000);
  server.Tick();
}

bool E2eFixture::StepUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    session->Step();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    AwaitServer(std::chrono::milliseconds(2));
  }
}

void E2eFixture::AwaitServer(std::chrono::microseconds limit) {
  session->Frame()->Messages().WaitNotEmpty(limit);
}

void E2eFixture::Click(gcn::Widget* widget) {
  ASSERT_NE(widget, nullptr);
  int x = 0;
  int y = 0;
  widget->getAbsolutePosition(x, y);
  x += widget->getWidth() / 2;
  y += widget->getHeight() / 2;
  session->Frame()->InjectMouseMove(x, y);
  session->Step();
  session->Frame()->InjectClick(x, y);
  session->Step();
}

CGameClientDlg* E2eFixture::Dialog() const {
  return session && session->Frame() ? dynamic_cast<CGameClientDlg*>(session->Frame()->Dialog()) : nullptr;
}

std::uint32_t E2eFixture::ClientCoins() const {
  const CGameClientDlg* dlg = Dialog();
  const tagUserData* me = dlg ? dlg->GetMeUserData() : nullptr;
  return me ? me->dwCoins : 0;
}

std::uint32_t E2eFixture::ServerCoins(std::uint32_t userId) {
  long long coins = -1;
  server.Inspect([&](velsrv::Auction&, velsrv::Store& store) {
    if (auto player = store.FindPlayer(userId)) coins = player->coins;
  });
  return static_cast<std::uint32_t>(coins);
}

std::string E2eFixture::StatusUtf8() const {
  return plat::GbkToUtf8(session->Frame()->Status().Text());
}

}  // namespace veltest
