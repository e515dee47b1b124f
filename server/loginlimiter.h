#pragma once
// Slows down password guessing and account farming. Failed logins are counted per address and
// per account: after a few free failures each further one locks that address (or account)
// out for a delay that doubles every time, up to a cap; a quiet spell forgets the count. New
// accounts per address come from a small bucket that refills slowly. Memory is bounded: the
// tables keep at most a fixed number of entries and forget the stalest first.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "platform/time/clock.h"

namespace velsrv {

struct LoginLimits {
  struct Backoff {
    unsigned freeFailures;
    std::uint32_t firstDelayMs;
    std::uint32_t maxDelayMs;
  };
  // Per address: a guesser moving between accounts is slowed down hard.
  Backoff address{5, 1000, 5 * 60 * 1000};
  // Per account: milder and capped low, so a stranger cannot lock a player out for long.
  Backoff account{5, 1000, 60 * 1000};
  // Failures are forgotten after this long without a new one.
  std::uint32_t forgetMs = 15 * 60 * 1000;
  // New accounts per address: a burst of this many, then one per refill period.
  unsigned newAccountBurst = 3;
  std::uint32_t newAccountRefillMs = 20 * 1000;
  std::size_t maxEntries = 4096;  // per table
};

class LoginLimiter {
 public:
  LoginLimiter(plat::Clock& clock, const LoginLimits& limits) : clock_(clock), limits_(limits) {}

  // Milliseconds before a login from this address for this account may be checked; 0: now.
  std::uint64_t WaitMs(const std::string& address, const std::string& account);
  void RecordFailure(const std::string& address, const std::string& account);
  // A correct password clears the account's count (not the address's: one's own account
  // must not reset the count of guesses at others).
  void RecordSuccess(const std::string& account);
  // Takes one new-account allowance of the address; false when there is none left now.
  bool TakeNewAccount(const std::string& address);
  // Gives an allowance back (the account could not be made after all).
  void ReturnNewAccount(const std::string& address);

  std::size_t Entries() const { return byAddress_.size() + byAccount_.size() + buckets_.size(); }

 private:
  struct Failures {
    unsigned count = 0;
    std::uint64_t lastMs = 0;
    std::uint64_t lockedUntilMs = 0;
  };
  struct Bucket {
    double tokens = 0;
    std::uint64_t updatedMs = 0;
  };
  using FailureTable = std::unordered_map<std::string, Failures>;

  std::uint64_t WaitIn(FailureTable& table, const std::string& key, std::uint64_t now);
  void Fail(FailureTable& table, const LoginLimits::Backoff& backoff, const std::string& key, std::uint64_t now);
  void MakeRoom(FailureTable& table, std::uint64_t now);
  void MakeRoom(std::unordered_map<std::string, Bucket>& table, std::uint64_t now);

  plat::Clock& clock_;
  LoginLimits limits_;
  FailureTable byAddress_;
  FailureTable byAccount_;
  std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace velsrv
