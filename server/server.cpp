#include "server/server.h"

#include <exception>
#include <future>

#include "server/nickname.h"
#include "server/passwordhash.h"
#include "server/servercore.h"

namespace velsrv {

Server::Server() = default;

Server::~Server() { Stop(); }

bool Server::Start(std::uint16_t port, const ServerOptions& options, std::string* error) {
  if (core_) {
    if (error) *error = "already running";
    return false;
  }
  auto core = std::make_unique<ServerCore>(options);
  if (!core->Init(port, error)) return false;
  core_ = std::move(core);
  port_ = core_->Port();
  ServerCore* core_ptr = core_.get();
  thread_ = std::thread([core_ptr, log = options.log] {
    for (;;) {
      try {
        core_ptr->Io().run();
        return;
      } catch (const std::exception& e) {
        // One failed handler must not take the game down with it.
        if (log) log(std::string("server error: ") + e.what());
      }
    }
  });
  return true;
}

void Server::Stop() {
  if (!core_) return;
  ServerCore* core = core_.get();
  asio::post(core->Io(), [core] {
    core->Shutdown();
    core->Io().stop();
  });
  if (thread_.joinable()) thread_.join();
  core_.reset();
  port_ = 0;
}

void Server::Tick() {
  Inspect([this](Auction&, Store&) { core_->GameTick(); });
}

void Server::Housekeep() {
  Inspect([this](Auction&, Store&) { core_->Housekeeping(); });
}

Server::Stats Server::GetStats() {
  Stats stats;
  if (!core_) return stats;
  Inspect([&](Auction&, Store&) {
    stats.peers = core_->PeerCount();
    stats.players = core_->PlayerCount();
    stats.refusedFrames = core_->RefusedFrames();
    stats.droppedPeers = core_->DroppedPeers();
  });
  return stats;
}

std::string Server::CertificateFingerprint() const { return core_ ? core_->Fingerprint() : std::string(); }

bool Server::SetLocalPassword(const std::string& nicknameGbk, const std::string& password) {
  if (!core_) return false;
  const auto key = NicknameKey(nicknameGbk);
  if (!key) return false;
  bool ok = false;
  Inspect([&](Auction&, Store& store) {
    const auto player = store.FindPlayerByKey(*key);
    if (!player) {
      ok = true;
      return;
    }
    if (player->bot || player->nickname != nicknameGbk) return;
    if (VerifyPassword(player->passwordHash, password)) {
      ok = true;
      return;
    }
    const auto hash = HashPassword(password, core_->Options().passwordCost);
    ok = hash && store.SetPassword(player->id, *hash);
  });
  return ok;
}

void Server::Inspect(const std::function<void(Auction&, Store&)>& fn) {
  if (!core_) return;
  std::promise<void> done;
  ServerCore* core = core_.get();
  asio::post(core->Io(), [&] {
    fn(core->Game(), core->Db());
    done.set_value();
  });
  done.get_future().wait();
}

}  // namespace velsrv
