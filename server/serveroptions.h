#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "server/loginlimiter.h"
#include "server/passwordhash.h"

namespace velsrv {

struct ServerOptions {
  std::string bindAddress = "127.0.0.1";
  // Every connection speaks TLS unless `plain`, which only a loopback address may use. The
  // certificate and key: these files, or (both empty) a pair beside the database, made at the
  // first start; a database kept nowhere gets a pair kept nowhere.
  bool plain = false;
  std::string certFile;
  std::string keyFile;
  std::string dbPath = "velmora-server.db";  // ":memory:" keeps nothing
  std::string goodsFile;                      // empty: assets/server/goods.xml under the working directory
  int bots = 3;
  // Simulated players pace themselves and leave shares to people; off, they buy at full
  // speed (load tests).
  bool pacedBots = true;
  std::uint32_t lotSeconds = 60;
  std::uint32_t pauseSeconds = 5;
  std::uint32_t initialCoins = 1000000;
  // Relief for broke players: topped up to reliefCoins, at most once per interval.
  std::uint32_t reliefCoins = 100000;
  std::uint32_t reliefIntervalSeconds = 3600;
  std::uint64_t seed = 0;  // 0: a random seed
  // Game time; null: the steady clock. Must outlive the server.
  plat::Clock* clock = nullptr;
  // Game tick period; 0: only Server::Tick() moves the game (tests).
  std::uint32_t tickMs = 100;
  // Every commit reaches the disk before it is acknowledged.
  bool durable = true;
  // Longest wait for a database another process has locked, per operation
  // (real time; the game thread waits meanwhile).
  std::uint32_t busyWaitMs = 250;

  // Connection limits. Connections over a limit are told why (a login
  // refusal) and closed.
  std::size_t maxPeers = 256;
  std::size_t maxPerAddress = 8;  // open connections from one remote address
  std::size_t maxQueuedBytes = 1 << 20;
  std::uint32_t loginTimeoutMs = 10000;
  std::uint32_t writeTimeoutMs = 30000;
  std::uint32_t heartbeatMs = 15000;
  // A logged-in connection that sends nothing for this long is closed (the
  // client pings every few seconds when it has nothing else to say).
  std::uint32_t idleTimeoutMs = 60000;
  // A frame must arrive whole within this long of its first byte.
  std::uint32_t frameTimeoutMs = 10000;
  // Time for the connection limits above; null: the steady clock. Must
  // outlive the server.
  plat::Clock* connectionClock = nullptr;

  // Accounts. The server program always hashes with the interactive cost; tests that check
  // many logins pass PasswordCost::Minimal().
  PasswordCost passwordCost = PasswordCost::Interactive();
  std::size_t minPasswordBytes = 8;  // for a new account (and an old one's first password)
  LoginLimits loginLimits;
  std::size_t maxPendingLogins = 32;           // password checks waiting, all addresses
  std::size_t maxPendingLoginsPerAddress = 2;  // so parallel guesses cannot outrun the limits

  // For harnesses that log many players in from one address (tests, benchmarks, fuzzing):
  // the cheapest hashing, no limit on new accounts or on logins in flight. Never for a
  // server people play on.
  void RelaxAccountChecksForTests() {
    passwordCost = PasswordCost::Minimal();
    loginLimits.newAccountBurst = 1u << 30;
    maxPendingLogins = maxPendingLoginsPerAddress = 1u << 20;
  }

  // Receives UTF-8 log lines on the server thread; null: silent.
  std::function<void(const std::string&)> log;
};

}  // namespace velsrv
