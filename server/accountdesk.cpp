#include "server/accountdesk.h"

#include <sodium.h>

#include <algorithm>
#include <cstddef>

#include "client/core/cmd_velmora.h"
#include "platform/net/framemessages.h"
#include "platform/net/wirereader.h"
#include "server/auction.h"
#include "server/gbktext.h"
#include "server/nickname.h"
#include "server/passwordhash.h"

namespace velsrv {

namespace net = plat::net;

namespace {

// Reasons shown to a refused player (at most 63 bytes of GBK).
const char* const kReasonBadLogin = "登录请求无效";
const char* const kReasonVersion = "客户端版本不符";
const char* const kReasonUpdate = "游戏版本过旧，请更新游戏后再登录";
const char* const kReasonBadName = "昵称无效";
const char* const kReasonBlankName = "昵称不能只有空格";
const char* const kReasonNameTaken = "昵称已被占用，请换一个";
const char* const kReasonNoPassword = "请输入密码";
const char* const kReasonWrongPassword = "密码错误";
const char* const kReasonBusy = "服务器繁忙，请稍后再试";
const char* const kReasonTooManyNew = "新建账号过于频繁，请稍后再试";

std::string ShortPasswordReason(std::size_t minBytes) { return "密码至少需要" + std::to_string(minBytes) + "个字符"; }

std::string WaitReason(std::uint64_t waitMs) {
  return "登录失败次数过多，请" + std::to_string((waitMs + 999) / 1000) + "秒后再试";
}

// 1 to 31 bytes of valid GBK without control characters.
bool IsAcceptableNickname(const std::string& gbk) {
  if (gbk.empty() || gbk.size() >= net::kNetNicknameLen) return false;
  for (unsigned char c : gbk) {
    if (c < 0x20 || c == 0x7F) return false;  // GBK trail bytes are never below 0x40
  }
  return GbkToUtf8(gbk).has_value();
}

}  // namespace

std::string AddressKey(const std::string& text) {
  asio::error_code ec;
  const asio::ip::address address = asio::ip::make_address(text, ec);
  if (ec) return text;
  if (address.is_v6()) {
    const asio::ip::address_v6 v6 = address.to_v6();
    if (v6.is_v4_mapped()) return asio::ip::make_address_v4(asio::ip::v4_mapped, v6).to_string();
    asio::ip::address_v6::bytes_type bytes = v6.to_bytes();
    std::fill(bytes.begin() + 8, bytes.end(), 0);
    return asio::ip::address_v6(bytes).to_string() + "/64";
  }
  return address.to_string();
}

// A login in flight: the password is wiped when the last holder lets go.
struct AccountDesk::Request {
  std::string address;
  std::string nickname;
  std::string key;
  std::string password;
  Answer answer;
  ~Request() { sodium_memzero(password.data(), password.size()); }
};

AccountDesk::AccountDesk(asio::io_context& io, Auction& auction, Store& store, plat::Clock& clock,
                         const ServerOptions& options, Logger log)
    : io_(io),
      auction_(auction),
      store_(store),
      cost_(options.passwordCost),
      minPasswordBytes_(options.minPasswordBytes),
      maxPending_(options.maxPendingLogins),
      maxPendingPerAddress_(options.maxPendingLoginsPerAddress),
      limiter_(clock, options.loginLimits),
      log_(std::move(log)) {}

AccountDesk::~AccountDesk() {
  worker_.stop();
  worker_.join();
}

void AccountDesk::Log(const std::string& line) const {
  if (log_) log_(line);
}

void AccountDesk::Refuse(const Answer& answer, const std::string& reasonUtf8) const {
  LoginVerdict verdict;
  verdict.reasonUtf8 = reasonUtf8;
  answer(verdict);
}

void AccountDesk::Check(const std::string& addressKey, const net::FrameView& frame, Answer answer) {
  const auto head = net::ReadPrefix<net::NetLoginRequestV1>(frame.payload, frame.size);
  const std::uint32_t version = head ? head->protocolVersion : 0;
  if (version == net::kProtocolVersionNoPassword) return Refuse(answer, kReasonUpdate);
  auto record = net::ReadExact<net::NetLoginRequest>(frame.payload, frame.size);
  if (!record) return Refuse(answer, kReasonBadLogin);
  if (version != net::kProtocolVersion) {
    sodium_memzero(&*record, sizeof(*record));
    return Refuse(answer, kReasonVersion);
  }

  auto req = std::make_shared<Request>();
  req->nickname = FieldText(record->nickname);
  req->password = FieldText(record->password);
  sodium_memzero(&*record, sizeof(*record));
  req->address = addressKey;
  req->answer = std::move(answer);
  if (!IsAcceptableNickname(req->nickname)) return Refuse(req->answer, kReasonBadName);
  const auto key = NicknameKey(req->nickname);
  if (!key) return Refuse(req->answer, kReasonBlankName);
  req->key = *key;
  if (req->password.empty()) return Refuse(req->answer, kReasonNoPassword);
  if (const std::uint64_t wait = limiter_.WaitMs(req->address, req->key); wait > 0)
    return Refuse(req->answer, WaitReason(wait));
  if (pending_ >= maxPending_ || pendingByAddress_[req->address] >= maxPendingPerAddress_) {
    if (pendingByAddress_[req->address] == 0) pendingByAddress_.erase(req->address);
    return Refuse(req->answer, kReasonBusy);
  }

  const auto player = store_.FindPlayerByKey(req->key);
  if (!player) return CreateAccount(req);
  // The same normal form under other bytes is a look-alike of someone else's name.
  if (player->bot || player->nickname != req->nickname) return Refuse(req->answer, kReasonNameTaken);
  if (player->passwordHash.empty()) return SetFirstPassword(req, *player);
  CheckPassword(req, *player);
}

void AccountDesk::Offload(const std::string& addressKey, std::function<std::string()> work,
                          std::function<void(const std::string&)> then) {
  ++pending_;
  ++pendingByAddress_[addressKey];
  asio::post(worker_, [this, addressKey, work = std::move(work), then = std::move(then)]() mutable {
    std::string result = work();
    asio::post(io_, [this, addressKey, result = std::move(result), then = std::move(then)]() mutable {
      --pending_;
      auto it = pendingByAddress_.find(addressKey);
      if (it != pendingByAddress_.end() && --it->second == 0) pendingByAddress_.erase(it);
      then(result);
      sodium_memzero(result.data(), result.size());
    });
  });
}

void AccountDesk::CheckPassword(const std::shared_ptr<Request>& req, const PlayerRow& player) {
  const std::string hash = player.passwordHash;
  const std::uint32_t id = player.id;
  Offload(
      req->address, [req, hash] { return std::string(VerifyPassword(hash, req->password) ? "1" : ""); },
      [this, req, id](const std::string& ok) {
        auto current = store_.FindPlayer(id);
        if (ok.empty() || !current) {
          limiter_.RecordFailure(req->address, req->key);
          Log("login of " + GbkToUtf8Lossy(req->nickname) + " from " + req->address + " refused: wrong password");
          return Refuse(req->answer, kReasonWrongPassword);
        }
        limiter_.RecordSuccess(req->key);
        LoginVerdict verdict;
        verdict.admitted = true;
        verdict.player = *current;
        req->answer(verdict);
      });
}

void AccountDesk::SetFirstPassword(const std::shared_ptr<Request>& req, const PlayerRow& player) {
  if (req->password.size() < minPasswordBytes_) return Refuse(req->answer, ShortPasswordReason(minPasswordBytes_));
  const PasswordCost cost = cost_;
  const std::uint32_t id = player.id;
  Offload(
      req->address, [req, cost] { return HashPassword(req->password, cost).value_or(std::string()); },
      [this, req, id](const std::string& hash) {
        // Another login may have claimed the account meanwhile; then this one has to prove it.
        if (hash.empty() || !store_.ClaimPassword(id, hash)) return Refuse(req->answer, kReasonBusy);
        Log("account " + GbkToUtf8Lossy(req->nickname) + " (id " + std::to_string(id) + ") now has a password");
        auto current = store_.FindPlayer(id);
        if (!current) return Refuse(req->answer, kReasonBusy);
        LoginVerdict verdict;
        verdict.admitted = true;
        verdict.player = *current;
        req->answer(verdict);
      });
}

void AccountDesk::CreateAccount(const std::shared_ptr<Request>& req) {
  if (req->password.size() < minPasswordBytes_) return Refuse(req->answer, ShortPasswordReason(minPasswordBytes_));
  if (!limiter_.TakeNewAccount(req->address)) {
    Log("new account " + GbkToUtf8Lossy(req->nickname) + " from " + req->address + " refused: too many");
    return Refuse(req->answer, kReasonTooManyNew);
  }
  const PasswordCost cost = cost_;
  Offload(
      req->address, [req, cost] { return HashPassword(req->password, cost).value_or(std::string()); },
      [this, req](const std::string& hash) {
        auto created = hash.empty() ? std::nullopt : auction_.CreateAccount(req->nickname, hash);
        if (!created) {
          limiter_.ReturnNewAccount(req->address);
          // Most likely the same name was made by another login in the meantime.
          return Refuse(req->answer, hash.empty() ? kReasonBusy : kReasonNameTaken);
        }
        LoginVerdict verdict;
        verdict.admitted = true;
        verdict.player = *created;
        req->answer(verdict);
      });
}

}  // namespace velsrv
