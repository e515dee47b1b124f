#include "server/servercore.h"

#include <cstring>
#include <filesystem>
#include <random>

#include "client/core/cmd_velmora.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "server/gbktext.h"

namespace velsrv {

namespace net = plat::net;

namespace {

const char* const kDefaultGoodsFile = "assets/server/goods.xml";
constexpr std::uint32_t kHousekeepingMs = 1000;

// Reasons shown to a refused player.
const char* const kReasonElsewhere = "账号已在别处登录";
const char* const kReasonServer = "服务器繁忙";
const char* const kReasonFull = "服务器已满";
const char* const kReasonPerAddress = "同一地址的连接过多";

// Connections that are only told why they were refused, beyond maxPeers.
constexpr std::size_t kRefusalSlots = 16;

}  // namespace

ServerCore::ServerCore(const ServerOptions& options)
    : options_(options),
      clock_(options.clock ? options.clock : &plat::Steady()),
      connectionClock_(options.connectionClock ? options.connectionClock : &plat::Steady()),
      perAddress_(options.maxPerAddress),
      acceptor_(io_),
      gameTimer_(io_),
      houseTimer_(io_) {}

ServerCore::~ServerCore() = default;

void ServerCore::Log(const std::string& line) const {
  if (options_.log) options_.log(line);
}

bool ServerCore::Init(std::uint16_t port, std::string* error) {
  const std::string goodsFile = options_.goodsFile.empty() ? kDefaultGoodsFile : options_.goodsFile;
  if (!catalogue_.LoadFile(goodsFile, error)) return false;
  std::string dbError;
  store_ = Store::Open(options_.dbPath, options_.durable, &dbError, options_.busyWaitMs);
  if (!store_) {
    if (error) *error = options_.dbPath + ": " + dbError;
    return false;
  }
  std::uint64_t seed = options_.seed;
  if (seed == 0) seed = (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
  AuctionOptions game;
  game.lotSeconds = options_.lotSeconds;
  game.pauseSeconds = options_.pauseSeconds;
  game.initialCoins = options_.initialCoins;
  game.reliefCoins = options_.reliefCoins;
  game.reliefIntervalSeconds = options_.reliefIntervalSeconds;
  game.seed = seed;
  auction_ = std::make_unique<Auction>(catalogue_, *store_, *clock_, game, *this, options_.log);
  if (!auction_->Start(error)) return false;
  bots_ = std::make_unique<BotCrowd>(*auction_, *store_, *clock_, options_.bots, seed ^ 0x9E3779B97F4A7C15ull,
                                     options_.pacedBots);
  if (!bots_->Start()) {
    if (error) *error = "could not seat the simulated players";
    return false;
  }
  for (const std::string& name : store_->UnreachableAfterUpgrade())
    Log("account " + GbkToUtf8Lossy(name) + " reads the same as an older account; it cannot log in any more");
  desk_ = std::make_unique<AccountDesk>(io_, *auction_, *store_, *clock_, options_, options_.log);

  asio::error_code ec;
  const asio::ip::address address = asio::ip::make_address(options_.bindAddress, ec);
  if (ec) {
    if (error) *error = "bad bind address " + options_.bindAddress;
    return false;
  }
  if (!SetUpTls(address, error)) return false;
  const asio::ip::tcp::endpoint endpoint(address, port);
  acceptor_.open(endpoint.protocol(), ec);
  if (!ec) acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true), ec);
  if (!ec) acceptor_.bind(endpoint, ec);
  if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    if (error) *error = "cannot listen on " + options_.bindAddress + ":" + std::to_string(port) + ": " + ec.message();
    return false;
  }
  port_ = acceptor_.local_endpoint().port();
  lastHeartbeatMs_ = connectionClock_->NowMs();
  Accept();
  ScheduleGameTick();
  ScheduleHousekeeping();
  return true;
}

bool ServerCore::SetUpTls(const asio::ip::address& bindAddress, std::string* error) {
  std::string why;
  if (options_.plain) {
    // Clear text may not leave the machine: passwords travel in the login.
    if (!bindAddress.is_loopback()) {
      if (error) *error = "a plain (unencrypted) listener is allowed only on a loopback address, not " + options_.bindAddress;
      return false;
    }
    return true;
  }
  const bool givenFiles = !options_.certFile.empty() || !options_.keyFile.empty();
  bool ok = false;
  if (givenFiles) {
    if (options_.certFile.empty() || options_.keyFile.empty()) {
      if (error) *error = "give both a certificate and its key";
      return false;
    }
    ok = LoadOrCreateIdentity(options_.certFile, options_.keyFile, false, &identity_, &why);
  } else if (options_.dbPath == ":memory:" || options_.dbPath.empty()) {
    ok = CreateIdentity(&identity_, &why);
  } else {
    const std::string cert = CertPathBeside(options_.dbPath);
    const bool fresh = !std::filesystem::exists(cert);
    ok = LoadOrCreateIdentity(cert, KeyPathBeside(options_.dbPath), true, &identity_, &why);
    if (ok && fresh) Log("made a new certificate " + cert + " and its key " + KeyPathBeside(options_.dbPath));
  }
  if (ok) tls_ = MakeServerContext(identity_, &why);
  if (!tls_) {
    if (error) *error = why;
    return false;
  }
  return true;
}

void ServerCore::Shutdown() {
  // Purchases already accepted are stored and answered, not left to chance.
  if (auction_) auction_->CommitPurchases();
  shutDown_ = true;
  asio::error_code ec;
  acceptor_.close(ec);
  gameTimer_.cancel();
  houseTimer_.cancel();
  auto sessions = sessions_;  // closing edits the map
  for (auto& entry : sessions) entry.second->Close();
}

void ServerCore::Accept() {
  acceptor_.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
    if (shutDown_) return;
    if (!ec) Admit(std::move(socket));
    Accept();
  });
}

void ServerCore::Admit(asio::ip::tcp::socket socket) {
  asio::error_code ec;
  const auto remote = socket.remote_endpoint(ec);
  if (ec) return;  // gone already
  const std::string address = remote.address().to_string();
  const char* refusal = nullptr;
  if (sessions_.size() >= options_.maxPeers) refusal = kReasonFull;
  else if (!perAddress_.TryAdd(address)) refusal = kReasonPerAddress;
  if (refusal != nullptr && sessions_.size() >= options_.maxPeers + kRefusalSlots) {
    socket.close(ec);  // too busy even to explain
    ++droppedPeers_;
    return;
  }
  const std::uint64_t id = nextSessionId_++;
  auto stream = tls_ ? MakeTlsStream(std::move(socket), *tls_) : MakePlainStream(std::move(socket));
  auto session = std::make_shared<Session>(std::move(stream), *this, id, options_.maxQueuedBytes, *connectionClock_);
  sessions_[id] = session;
  if (refusal != nullptr) {
    Log("connection from " + address + " refused: " + (refusal == kReasonFull ? "server full" : "too many from that address"));
    ++droppedPeers_;
    RefuseLogin(*session, refusal);  // said at once, without reading anything
    session->Start(false);
    return;
  }
  addressOf_[id] = address;
  session->Start();
}

void ServerCore::ScheduleGameTick() {
  if (options_.tickMs == 0 || shutDown_) return;
  gameTimer_.expires_after(std::chrono::milliseconds(options_.tickMs));
  gameTimer_.async_wait([this](const asio::error_code& ec) {
    if (ec || shutDown_) return;
    GameTick();
    ScheduleGameTick();
  });
}

void ServerCore::GameTick() {
  auction_->Tick();
  bots_->Tick();
  ScheduleCommit();
}

// Posted behind the handlers already due, so that every purchase read in this turn of the
// loop joins the group: a durable store then pays one sync for all of them.
void ServerCore::ScheduleCommit() {
  if (commitPosted_ || shutDown_ || !auction_->HasPendingPurchases()) return;
  commitPosted_ = true;
  asio::post(io_, [this] {
    commitPosted_ = false;
    if (!shutDown_) CommitPurchases();
  });
}

void ServerCore::CommitPurchases() {
  auction_->CommitPurchases();
  std::vector<std::uint64_t> held;
  held.swap(heldForCommit_);
  for (std::uint64_t id : held) {
    auto it = sessions_.find(id);
    if (it == sessions_.end()) continue;
    auto session = it->second;  // its frames may close it
    session->Resume();
  }
  ScheduleCommit();
}

void ServerCore::AfterPurchase(Session& session, bool answered) {
  if (answered) return;
  session.Hold();
  heldForCommit_.push_back(session.Id());
  ScheduleCommit();
}

void ServerCore::ScheduleHousekeeping() {
  if (shutDown_) return;
  houseTimer_.expires_after(std::chrono::milliseconds(kHousekeepingMs));
  houseTimer_.async_wait([this](const asio::error_code& ec) {
    if (ec || shutDown_) return;
    Housekeeping();
    ScheduleHousekeeping();
  });
}

void ServerCore::Housekeeping() {
  const std::uint64_t now = connectionClock_->NowMs();
  std::vector<std::shared_ptr<Session>> stale;
  for (auto& entry : sessions_) {
    Session& s = *entry.second;
    const bool loginOverdue = s.UserId() == 0 && now - s.OpenedAtMs() > options_.loginTimeoutMs;
    const bool writeStalled = s.WriteStartedMs() != 0 && now - s.WriteStartedMs() > options_.writeTimeoutMs;
    const bool idle = s.UserId() != 0 && now - s.LastReceivedMs() > options_.idleTimeoutMs;
    const bool frameStalled = s.PartialFrameSinceMs() != 0 && now - s.PartialFrameSinceMs() > options_.frameTimeoutMs;
    if (idle) Log("player " + std::to_string(s.UserId()) + " sent nothing for too long; closing its connection");
    if (loginOverdue || writeStalled || idle || frameStalled) stale.push_back(entry.second);
  }
  for (auto& s : stale) s->Drop();
  // Keeps idle connections alive and finds peers that vanished.
  if (now - lastHeartbeatMs_ >= options_.heartbeatMs) {
    lastHeartbeatMs_ = now;
    Broadcast(net::kMainHeartbeat, 0, nullptr, 0);
  }
}

void ServerCore::Refuse(Session& session) {
  ++refusedFrames_;
  if (!session.CountRefused()) session.Drop();
}

void ServerCore::OnClosed(Session& session) {
  if (session.WasDropped()) ++droppedPeers_;
  auto address = addressOf_.find(session.Id());
  if (address != addressOf_.end()) {
    perAddress_.Remove(address->second);
    addressOf_.erase(address);
  }
  auto user = byUser_.find(session.UserId());
  if (user != byUser_.end() && user->second == &session) byUser_.erase(user);
  loginsPending_.erase(session.Id());
  sessions_.erase(session.Id());
}

// ---------------------------------------------------------------------------
// Outbox

void ServerCore::SendTo(std::uint32_t userId, std::uint16_t mainCmd, std::uint16_t subCmd, const void* data,
                        std::size_t size) {
  auto it = byUser_.find(userId);
  if (it != byUser_.end()) it->second->Send(mainCmd, subCmd, data, size);
}

void ServerCore::Broadcast(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) {
  if (byUser_.empty()) return;
  auto frame = std::make_shared<std::string>();
  if (!net::AppendFrame(*frame, mainCmd, subCmd, data, size)) {
    Log("message too large to send: main " + std::to_string(mainCmd) + " sub " + std::to_string(subCmd));
    return;
  }
  std::vector<Session*> receivers;
  receivers.reserve(byUser_.size());
  for (auto& entry : byUser_) receivers.push_back(entry.second);
  // A receiver that overflows closes and leaves byUser_, hence the copy.
  std::shared_ptr<const std::string> shared = std::move(frame);
  for (Session* s : receivers) s->Send(shared);
}

// ---------------------------------------------------------------------------
// Frames

void ServerCore::OnFrame(Session& session, const net::FrameView& frame) {
  switch (frame.header.mainCmd) {
    case net::kMainHeartbeat:
      if (frame.header.subCmd == net::kSubPing && frame.size <= net::kMaxPingPayload)
        session.Send(net::kMainHeartbeat, net::kSubPong, frame.payload, frame.size);
      return;
    case net::kMainLogin:
      if (frame.header.subCmd == net::kSubLoginRequest) {
        OnLogin(session, frame);
        return;
      }
      break;
    case net::kMainGame:
      OnGame(session, frame);
      return;
    default:
      break;
  }
  Refuse(session);
}

void ServerCore::RefuseLogin(Session& session, const std::string& reasonUtf8) {
  net::NetLoginRefused refused{};
  SetFieldText(refused.reason, Utf8ToGbk(reasonUtf8).value_or(std::string()));
  session.Send(net::kMainLogin, net::kSubLoginRefused, &refused, sizeof(refused));
  session.CloseWhenSent();
}

void ServerCore::OnLogin(Session& session, const net::FrameView& frame) {
  // One identity per connection, and one login at a time.
  if (session.UserId() != 0 || loginsPending_.count(session.Id()) != 0) {
    Refuse(session);
    return;
  }
  const auto owned = sessions_.find(session.Id());
  if (owned == sessions_.end()) return;
  loginsPending_.insert(session.Id());
  std::weak_ptr<Session> weak = owned->second;
  const std::uint64_t id = session.Id();
  const auto address = addressOf_.find(id);
  const std::string addressKey = AddressKey(address != addressOf_.end() ? address->second : std::string());
  desk_->Check(addressKey, frame, [this, weak, id](const LoginVerdict& verdict) {
    loginsPending_.erase(id);
    auto s = weak.lock();
    if (!s || !s->IsOpen() || shutDown_) return;
    if (!verdict.admitted) RefuseLogin(*s, verdict.reasonUtf8);
    else EnterPlayer(*s, verdict.player);
  });
}

void ServerCore::EnterPlayer(Session& session, const PlayerRow& player) {
  auto previous = byUser_.find(player.id);
  if (previous != byUser_.end()) {
    // The newer connection wins: the old one is likely a peer that vanished.
    Session* old = previous->second;
    byUser_.erase(previous);
    old->SetUserId(0);
    RefuseLogin(*old, kReasonElsewhere);
  }
  session.SetUserId(player.id);
  byUser_[player.id] = &session;
  Log("player " + GbkToUtf8Lossy(player.nickname) + " entered (id " + std::to_string(player.id) + ")");
  if (!auction_->Enter(player.id)) RefuseLogin(session, kReasonServer);
}

// A purchase from a connection that has not logged in has no buyer.
void ServerCore::ReplyNoUser(Session& session) {
  CMD_GF_VELMORA_BUY_RSP rsp{BUY_RESULT_NO_USER};
  session.Send(MDM_GF_GAME, SUB_S_BUY_RESULT, &rsp, sizeof(rsp));
}

void ServerCore::OnGame(Session& session, const net::FrameView& frame) {
  const std::uint32_t userId = session.UserId();
  switch (frame.header.subCmd) {
    case SUB_C_BUY: {
      auto req = ReadClientRequest<SUB_C_BUY>(frame.payload, frame.size);
      if (!req) break;
      if (userId == 0) ReplyNoUser(session);
      else AfterPurchase(session, auction_->Buy(userId, req->goodsId, req->shares).has_value());
      return;
    }
    case SUB_C_BUY_ALL: {
      auto req = ReadClientRequest<SUB_C_BUY_ALL>(frame.payload, frame.size);
      if (!req) break;
      if (userId == 0) ReplyNoUser(session);
      else AfterPurchase(session, auction_->BuyAll(userId, req->goodsId).has_value());
      return;
    }
    case SUB_C_LIKE: {
      auto req = ReadClientRequest<SUB_C_LIKE>(frame.payload, frame.size);
      if (!req || userId == 0 || req->likeCount != LIKE_REQUEST_COUNT) break;
      auction_->Like(userId, req->goodsId);
      return;
    }
    default:
      break;
  }
  Refuse(session);
}

}  // namespace velsrv
