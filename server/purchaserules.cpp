#include "server/purchaserules.h"

#include <algorithm>

#include "client/core/cmd_velmora.h"

namespace velsrv {

std::uint32_t MinPurchaseShares(std::uint32_t left, std::uint32_t sharePrice, std::uint32_t minAmount,
                                std::uint32_t remainderThreshold) {
  std::uint64_t n = 0;
  if (sharePrice != 0) n = (static_cast<std::uint64_t>(minAmount) + sharePrice - 1) / sharePrice;
  else if (minAmount != 0) n = left;  // a free share never reaches an amount: the rule falls back to all
  n = std::min<std::uint64_t>(n, left);
  const std::uint64_t leftover = static_cast<std::uint64_t>(left - n) * sharePrice;
  if (leftover <= remainderThreshold) n = left;
  return static_cast<std::uint32_t>(n);
}

std::uint8_t CheckShareCount(std::uint32_t shares, std::uint32_t left, std::uint32_t minShares) {
  if (shares == 0) return BUY_RESULT_BAD_SHARES;
  if (shares > left) return BUY_RESULT_SHARES_SHORT;
  if (shares < minShares) return BUY_RESULT_BAD_SHARES;
  return BUY_RESULT_OK;
}

std::uint32_t DrawWinner(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& holdings, std::mt19937_64& rng) {
  std::uint64_t total = 0;
  for (const auto& h : holdings) total += h.second;
  if (total == 0) return 0;
  std::uniform_int_distribution<std::uint64_t> pick(0, total - 1);
  std::uint64_t ticket = pick(rng);
  for (const auto& h : holdings) {
    if (ticket < h.second) return h.first;
    ticket -= h.second;
  }
  return 0;  // unreachable: the tickets cover exactly total
}

}  // namespace velsrv
