#pragma once
// Purchase arithmetic shared by every buyer, human or simulated. It matches
// the client's buy panel, so a purchase the panel allows is accepted here.
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace velsrv {

// Smallest purchase of a lot with `left` shares: enough shares to reach the
// minimum amount (never more than left), or all of them when the leftover
// would be worth no more than the remainder threshold.
std::uint32_t MinPurchaseShares(std::uint32_t left, std::uint32_t sharePrice, std::uint32_t minAmount,
                                std::uint32_t remainderThreshold);

// Result code (BUY_RESULT_OK, _BAD_SHARES or _SHARES_SHORT) of asking for
// `shares` of a lot with `left` shares.
std::uint8_t CheckShareCount(std::uint32_t shares, std::uint32_t left, std::uint32_t minShares);

// Draws a winner with a chance proportional to the shares held; 0 when
// nobody holds any. holdings: (user id, shares).
std::uint32_t DrawWinner(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& holdings, std::mt19937_64& rng);

}  // namespace velsrv
