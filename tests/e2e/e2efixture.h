#pragma once
// The real client (headless, the real frame loop and TCP transport) against the real server
// on loopback, in one process. The server's game clock is manual, so lots close only when the
// test says; everything else is polled with deadlines while the frame keeps stepping.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/velmora/gamesession.h"
#include "testing/fakeclock.h"
#include "server/server.h"
#include "testing/tempdir.h"
#include "tests/common/minijson.h"

class CGameClientDlg;
namespace gcn {
class Widget;
}

namespace veltest {

class E2eFixture : public ::testing::Test {
 protected:
  static constexpr int kWaitMs = 8000;
  static constexpr std::uint32_t kInitialCoins = 1000000;
  static constexpr std::uint32_t kSharePrice = 10000;

  void SetUp() override;
  void TearDown() override;

  // Every goods item with `shares` shares and a minimum purchase of `minShares`.
  void WriteGoods(std::uint32_t shares, std::uint32_t minShares);
  velsrv::ServerOptions ServerOptions();
  void StartServer(std::uint16_t port = 0);
  // The client logs in as `nicknameUtf8` and waits for a lot on sale.
  void StartClient(const std::string& nicknameUtf8);

  // The client as the program runs it with --input SCRIPT --state-json FILE (headless,
  // joining the test's server), logged in with a lot on sale before the script's first frame.
  void StartScripted(const std::string& nicknameUtf8, const std::string& script, int firstFrame);
  // Steps until the frame count reaches `frame`; after each step, up to half a millisecond for
  // the server to answer, as a paced run would give it.
  void RunTo(int frame);
  // Steps until `done` holds; a failure when that takes until `frame`.
  void WaitBefore(const std::function<bool()>& done, int frame, const char* what);
  // The state the program writes with --state-json, written and read back now.
  Json State();
  // The server's game clock moves on and the game ticks.
  void AdvanceGame(std::uint32_t seconds);

  // Steps the frame until `done` holds; false at the deadline.
  bool StepUntil(const std::function<bool()>& done, int timeoutMs = kWaitMs);
  // Returns as soon as a message from the server (or the transport's status) waits for the
  // next step, or after `limit` when none comes: the frame loop itself never blocks on it.
  void AwaitServer(std::chrono::microseconds limit);
  // Moves onto the widget's centre, then clicks it, a frame each, like a player would.
  void Click(gcn::Widget* widget);
  CGameClientDlg* Dialog() const;
  std::uint32_t ClientCoins() const;
  std::uint32_t ServerCoins(std::uint32_t userId);
  std::string StatusUtf8() const;

  std::unique_ptr<TempDir> temp;
  std::string dir;
  std::string statePath;
  plat::FakeClock clock;
  velsrv::Server server;
  std::unique_ptr<velapp::GameSession> session;
};

}  // namespace veltest
