#pragma once
// Everything the server thread owns: the event loop, the listening socket,
// the sessions, the game and its store. Used only through Server.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include <asio.hpp>

#include "server/accountdesk.h"
#include "server/addresslimit.h"
#include "server/auction.h"
#include "server/botcrowd.h"
#include "platform/time/clock.h"
#include "server/goodscatalogue.h"
#include "server/outbox.h"
#include "server/serveroptions.h"
#include "server/session.h"
#include "server/store.h"
#include "server/tlsidentity.h"

namespace velsrv {

class ServerCore final : public Outbox, public Session::Host {
 public:
  explicit ServerCore(const ServerOptions& options);
  ~ServerCore() override;

  // Loads, recovers and binds; runs nothing yet.
  bool Init(std::uint16_t port, std::string* error);
  std::uint16_t Port() const { return port_; }
  const ServerOptions& Options() const { return options_; }
  // Of the certificate every connection is offered; empty for a plain server.
  const std::string& Fingerprint() const { return identity_.fingerprint; }
  asio::io_context& Io() { return io_; }
  // On the server thread: closes the listener, the timers and every session.
  void Shutdown();

  void GameTick();
  // Stores the purchases of this turn of the loop together, answers them and lets their
  // connections go on (posted once a turn has purchases waiting).
  void CommitPurchases();
  // Closes connections that are over their time limits.
  void Housekeeping();
  Auction& Game() { return *auction_; }
  Store& Db() { return *store_; }
  std::size_t PeerCount() const { return sessions_.size(); }
  std::size_t PlayerCount() const { return byUser_.size(); }
  std::uint64_t RefusedFrames() const { return refusedFrames_; }
  std::uint64_t DroppedPeers() const { return droppedPeers_; }

  // Outbox
  void SendTo(std::uint32_t userId, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
              std::size_t size) override;
  void Broadcast(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) override;

  // Session::Host
  void OnFrame(Session& session, const plat::net::FrameView& frame) override;
  void OnClosed(Session& session) override;

 private:
  void Accept();
  void ScheduleGameTick();
  void ScheduleHousekeeping();
  void Admit(asio::ip::tcp::socket socket);
  void Refuse(Session& session);
  void RefuseLogin(Session& session, const std::string& reasonUtf8);
  void ReplyNoUser(Session& session);
  bool SetUpTls(const asio::ip::address& bindAddress, std::string* error);
  void OnLogin(Session& session, const plat::net::FrameView& frame);
  void EnterPlayer(Session& session, const PlayerRow& player);
  void OnGame(Session& session, const plat::net::FrameView& frame);
  // After a purchase: holds the buyer's connection while its answer waits for the commit.
  void AfterPurchase(Session& session, bool answered);
  void ScheduleCommit();
  void Log(const std::string& line) const;

  ServerOptions options_;
  plat::Clock* clock_;
  plat::Clock* connectionClock_;
  AddressLimit perAddress_;
  GoodsCatalogue catalogue_;
  std::unique_ptr<Store> store_;
  std::unique_ptr<Auction> auction_;
  std::unique_ptr<BotCrowd> bots_;

  // Declared after the game so it is destroyed first, with every handler
  // that still refers to a session.
  asio::io_context io_;
  TlsIdentity identity_;
  std::unique_ptr<asio::ssl::context> tls_;  // null: plain
  asio::ip::tcp::acceptor acceptor_;
  asio::steady_timer gameTimer_;
  asio::steady_timer houseTimer_;
  std::map<std::uint64_t, std::shared_ptr<Session>> sessions_;
  std::map<std::uint32_t, Session*> byUser_;
  std::map<std::uint64_t, std::string> addressOf_;  // session id -> remote address counted in perAddress_
  std::uint64_t nextSessionId_ = 1;
  std::uint16_t port_ = 0;
  std::uint64_t lastHeartbeatMs_ = 0;
  std::uint64_t refusedFrames_ = 0;
  std::uint64_t droppedPeers_ = 0;
  std::set<std::uint64_t> loginsPending_;  // sessions whose login is being checked
  std::vector<std::uint64_t> heldForCommit_;  // sessions waiting for the purchase group's commit
  bool commitPosted_ = false;
  bool shutDown_ = false;
  // Last: its worker is stopped before the event loop it answers on goes away.
  std::unique_ptr<AccountDesk> desk_;
};

}  // namespace velsrv
