#pragma once
// Decides logins: reads the login record, applies the nickname rules and the rate limits,
// and checks or sets the password. Hashing runs on a worker thread of its own (argon2id takes
// tens of milliseconds and 64 MiB), one check at a time, so the game's loop never waits for
// it; the answer comes back on the server thread. Passwords are wiped from memory after use
// and never logged.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <asio.hpp>

#include "platform/net/framedecoder.h"
#include "server/loginlimiter.h"
#include "server/serveroptions.h"
#include "server/store.h"

namespace velsrv {

class Auction;

struct LoginVerdict {
  bool admitted = false;
  PlayerRow player;        // admitted
  std::string reasonUtf8;  // refused: what the player is told
};

// The key the limits count an address under: IPv4 as is, IPv6 by its /64 network (one
// machine usually holds a whole one).
// An address that does not parse is its own key.
std::string AddressKey(const std::string& address);

class AccountDesk {
 public:
  using Answer = std::function<void(const LoginVerdict&)>;
  using Logger = std::function<void(const std::string&)>;

  AccountDesk(asio::io_context& io, Auction& auction, Store& store, plat::Clock& clock, const ServerOptions& options,
              Logger log);
  ~AccountDesk();  // abandons checks not yet begun, waits for the one running
  AccountDesk(const AccountDesk&) = delete;
  AccountDesk& operator=(const AccountDesk&) = delete;

  // On the server thread. `answer` runs on the server thread, now or when the check is done.
  void Check(const std::string& addressKey, const plat::net::FrameView& frame, Answer answer);

 private:
  struct Request;
  void Refuse(const Answer& answer, const std::string& reasonUtf8) const;
  // Runs `work` on the worker, then `then` with its result on the server thread.
  void Offload(const std::string& addressKey, std::function<std::string()> work,
               std::function<void(const std::string&)> then);
  void CheckPassword(const std::shared_ptr<Request>& req, const PlayerRow& player);
  void SetFirstPassword(const std::shared_ptr<Request>& req, const PlayerRow& player);
  void CreateAccount(const std::shared_ptr<Request>& req);
  void Log(const std::string& line) const;

  asio::io_context& io_;
  Auction& auction_;
  Store& store_;
  PasswordCost cost_;
  std::size_t minPasswordBytes_;
  std::size_t maxPending_;
  std::size_t maxPendingPerAddress_;
  LoginLimiter limiter_;
  Logger log_;
  std::size_t pending_ = 0;
  std::map<std::string, std::size_t> pendingByAddress_;
  asio::thread_pool worker_{1};
};

}  // namespace velsrv
