#pragma once
// Where the transport connects and how patient it is.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace plat {

class Clock;

struct TcpTransportOptions {
  std::string host = "127.0.0.1";
  std::uint16_t port = 0;
  std::string nicknameGbk;  // the login name, 1 to 31 bytes
  std::string password;     // UTF-8, 1 to 128 bytes; never logged
  // TLS with the server's certificate pinned on first use in this file (KnownServers; empty:
  // pinned for this run only). Off only for a server on the same machine.
  bool tls = true;
  std::string knownServersPath;

  std::uint32_t connectTimeoutMs = 3000;
  std::uint32_t loginTimeoutMs = 10000;  // connected, but no user record yet
  std::uint32_t retryFirstMs = 250;      // first reconnect delay, doubled after every failure
  std::uint32_t retryMaxMs = 5000;
  // A ping goes out after this long without sending anything; the pong proves the server is
  // alive. 0: no pings.
  std::uint32_t pingIntervalMs = 5000;
  // Nothing received for this long drops the connection (a peer that vanished). 0: never.
  std::uint32_t silenceTimeoutMs = 20000;
  std::size_t maxQueuedBytes = 256 * 1024;
  // Received messages waiting for the UI thread are held to this many bytes: while the queue is
  // full nothing more is read. A server that keeps it full for floodMs is dropped as a flood.
  std::size_t maxInboundBytes = 1024 * 1024;
  std::uint32_t floodMs = 5000;

  // Time for the time-outs, pings and retry delays above. Null: the steady clock. Must outlive
  // the transport's run.
  Clock* clock = nullptr;

  // Console lines (UTF-8), from either thread. Null: stderr.
  std::function<void(const std::string&)> log;
};

}  // namespace plat
