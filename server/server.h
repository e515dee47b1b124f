#pragma once
// The auction server as a library: Start() binds, loads the goods and the
// database and runs the game on a thread of its own until Stop().
//
//   velsrv::Server server;
//   velsrv::ServerOptions options;       // defaults: 127.0.0.1, 3 bots, 60 s lots
//   options.dbPath = "/path/velmora.db";
//   std::string error;
//   if (!server.Start(0, options, &error)) ...;   // port 0: any free port
//   connect to 127.0.0.1:server.Port() ...
//   server.Stop();                                // also done by the destructor
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "server/serveroptions.h"

namespace velsrv {

class Auction;
class ServerCore;
class Store;

class Server {
 public:
  struct Stats {
    std::size_t peers = 0;     // connections open
    std::size_t players = 0;   // connections that have entered the game
    std::uint64_t refusedFrames = 0;
    std::uint64_t droppedPeers = 0;  // closed for broken framing, floods, stalls or timeouts
  };

  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // False with a reason when the goods, the database or the port fail.
  bool Start(std::uint16_t port, const ServerOptions& options, std::string* error = nullptr);
  // The bound port (0 while stopped).
  std::uint16_t Port() const { return port_; }
  // The TLS certificate's fingerprint (plat::net::FormatFingerprint); empty when plain.
  std::string CertificateFingerprint() const;
  bool IsRunning() const { return core_ != nullptr; }
  // Closes every connection and joins the thread. Not from a server callback.
  void Stop();

  // One game tick on the server thread; returns when it has run.
  void Tick();
  // One pass of the connection time limits (as the server does every second).
  void Housekeep();
  Stats GetStats();
  // Runs fn on the server thread with the game and its store, and waits.
  // Like Tick and GetStats, never from the server thread itself.
  void Inspect(const std::function<void(Auction&, Store&)>& fn);
  // For the program that embeds the server: makes `password` the one of the player of that
  // nickname if the player exists and is not simulated (a first login creates it otherwise).
  // False when the name belongs to someone else or the store fails.
  bool SetLocalPassword(const std::string& nicknameGbk, const std::string& password);

 private:
  std::unique_ptr<ServerCore> core_;
  std::thread thread_;
  std::uint16_t port_ = 0;
};

}  // namespace velsrv
