#pragma once
// An in-process server on a loopback port with a manual clock and its own
// temporary folder (database, goods file).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "testing/fakeclock.h"
#include "server/server.h"
#include "testing/tempdir.h"
#include "tests/server/testclient.h"

namespace veltest {

// Seven or more goods with the same simple figures, so every lot behaves
// alike whatever the shuffle draws: 10 shares of 10000, minimum 3 shares,
// a leftover of one share is sold with the rest.
std::string UniformGoodsXml(int count = 8);

class ServerFixture : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kShares = 10;
  static constexpr std::uint32_t kPrice = 10000;
  static constexpr std::uint32_t kLotSeconds = 60;
  static constexpr std::uint32_t kPauseSeconds = 3;

  void SetUp() override;
  void TearDown() override;

  velsrv::ServerOptions Options() const;
  void StartServer(const velsrv::ServerOptions& options);
  void StartServer() { StartServer(Options()); }
  // Moves game time on and runs one tick.
  void AdvanceSeconds(std::uint32_t seconds);

  std::unique_ptr<TempDir> temp_;
  std::string dir_;
  plat::FakeClock clock_;
  velsrv::Server server_;
};

}  // namespace veltest
