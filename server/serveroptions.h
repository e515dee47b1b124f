#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace velsrv {

class Clock;

struct ServerOptions {
  std::string bindAddress = "127.0.0.1";
  std::string dbPath = "velmora-server.db";  // ":memory:" keeps nothing
  std::string goodsFile;                      // empty: assets/server/goods.xml under the working directory
  int bots = 3;
  std::uint32_t lotSeconds = 60;
  std::uint32_t pauseSeconds = 5;
  std::uint32_t initialCoins = 1000000;
  std::uint64_t seed = 0;  // 0: a random seed
  // Game time; null: the steady clock. Must outlive the server.
  Clock* clock = nullptr;
  // Game tick period; 0: only Server::Tick() moves the game (tests).
  std::uint32_t tickMs = 100;
  // Every commit reaches the disk before it is acknowledged.
  bool durable = true;

  // Connection limits.
  std::size_t maxPeers = 256;
  std::size_t maxQueuedBytes = 1 << 20;
  std::uint32_t loginTimeoutMs = 10000;
  std::uint32_t writeTimeoutMs = 30000;
  std::uint32_t heartbeatMs = 15000;

  // Receives UTF-8 log lines on the server thread; null: silent.
  std::function<void(const std::string&)> log;
};

}  // namespace velsrv
