#include "server/loginlimiter.h"

#include <algorithm>

namespace velsrv {

std::uint64_t LoginLimiter::WaitIn(FailureTable& table, const std::string& key, std::uint64_t now) {
  auto it = table.find(key);
  if (it == table.end()) return 0;
  if (now - it->second.lastMs >= limits_.forgetMs && now >= it->second.lockedUntilMs) {
    table.erase(it);
    return 0;
  }
  return it->second.lockedUntilMs > now ? it->second.lockedUntilMs - now : 0;
}

std::uint64_t LoginLimiter::WaitMs(const std::string& address, const std::string& account) {
  const std::uint64_t now = clock_.NowMs();
  return std::max(WaitIn(byAddress_, address, now), WaitIn(byAccount_, account, now));
}

void LoginLimiter::Fail(FailureTable& table, const LoginLimits::Backoff& backoff, const std::string& key,
                        std::uint64_t now) {
  if (table.find(key) == table.end()) MakeRoom(table, now);
  Failures& f = table[key];
  if (f.count > 0 && now - f.lastMs >= limits_.forgetMs) f = Failures();
  ++f.count;
  f.lastMs = now;
  if (f.count <= backoff.freeFailures) return;
  const unsigned doublings = std::min(f.count - backoff.freeFailures - 1, 30u);
  const std::uint64_t delay =
      std::min<std::uint64_t>(static_cast<std::uint64_t>(backoff.firstDelayMs) << doublings, backoff.maxDelayMs);
  f.lockedUntilMs = now + delay;
}

void LoginLimiter::RecordFailure(const std::string& address, const std::string& account) {
  const std::uint64_t now = clock_.NowMs();
  Fail(byAddress_, limits_.address, address, now);
  if (!account.empty()) Fail(byAccount_, limits_.account, account, now);
}

void LoginLimiter::RecordSuccess(const std::string& account) { byAccount_.erase(account); }

bool LoginLimiter::TakeNewAccount(const std::string& address) {
  const std::uint64_t now = clock_.NowMs();
  auto it = buckets_.find(address);
  if (it == buckets_.end()) {
    MakeRoom(buckets_, now);
    it = buckets_.emplace(address, Bucket{static_cast<double>(limits_.newAccountBurst), now}).first;
  }
  Bucket& b = it->second;
  if (limits_.newAccountRefillMs > 0) {
    b.tokens = std::min<double>(limits_.newAccountBurst,
                                b.tokens + static_cast<double>(now - b.updatedMs) / limits_.newAccountRefillMs);
  }
  b.updatedMs = now;
  if (b.tokens < 1.0) return false;
  b.tokens -= 1.0;
  return true;
}

void LoginLimiter::ReturnNewAccount(const std::string& address) {
  auto it = buckets_.find(address);
  if (it != buckets_.end())
    it->second.tokens = std::min<double>(limits_.newAccountBurst, it->second.tokens + 1.0);
}

void LoginLimiter::MakeRoom(FailureTable& table, std::uint64_t now) {
  if (table.size() < limits_.maxEntries) return;
  for (auto it = table.begin(); it != table.end();) {
    const bool stale = now - it->second.lastMs >= limits_.forgetMs && now >= it->second.lockedUntilMs;
    it = stale ? table.erase(it) : std::next(it);
  }
  if (table.size() < limits_.maxEntries) return;
  // Still full: a flood of addresses; the entry heard from longest ago goes.
  auto oldest = std::min_element(table.begin(), table.end(),
                                 [](const auto& a, const auto& b) { return a.second.lastMs < b.second.lastMs; });
  table.erase(oldest);
}

void LoginLimiter::MakeRoom(std::unordered_map<std::string, Bucket>& table, std::uint64_t now) {
  if (table.size() < limits_.maxEntries) return;
  // A bucket refilled to the brim holds nothing worth keeping.
  const std::uint64_t full = static_cast<std::uint64_t>(limits_.newAccountRefillMs) * limits_.newAccountBurst;
  for (auto it = table.begin(); it != table.end();) it = now - it->second.updatedMs >= full ? table.erase(it) : std::next(it);
  if (table.size() < limits_.maxEntries) return;
  auto oldest = std::min_element(table.begin(), table.end(),
                                 [](const auto& a, const auto& b) { return a.second.updatedMs < b.second.updatedMs; });
  table.erase(oldest);
}

}  // namespace velsrv
