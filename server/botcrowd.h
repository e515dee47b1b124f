#pragma once
// Simulated players: they like candidates and buy shares at random, with
// pauses of a few seconds, through the same rules as everybody else. They pace
// themselves: together they take a lot only gradually and leave a share of it
// to people, finishing it only in its last seconds. A bot
// that runs out of coins retires and a new player takes its seat.
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "server/auction.h"

namespace velsrv {

class BotCrowd {
 public:
  BotCrowd(Auction& auction, Store& store, plat::Clock& clock, int count, std::uint64_t seed, bool paced = true);

  // Seats the bots (existing ones with coins left are reused). False when
  // no player could be found or created.
  bool Start();
  void Tick();

 private:
  struct Bot {
    std::uint32_t userId = 0;
    std::uint64_t nextActionMs = 0;
  };

  bool Seat(Bot* bot);
  void Act(Bot& bot);
  std::uint64_t Pause();
  // Shares the bots may still buy of this lot now (pacing, and a share left to people).
  std::uint32_t BotRoom(const Auction::LotView& lot) const;
  static std::string NameOf(std::uint32_t index);

  Auction& auction_;
  Store& store_;
  plat::Clock& clock_;
  int count_;
  bool paced_;
  std::mt19937_64 rng_;
  std::vector<Bot> bots_;
  // Every bot seated so far: a retired one's shares still count against the crowd's part.
  std::set<std::uint32_t> everSeated_;
  std::uint32_t nextNameIndex_ = 0;
};

}  // namespace velsrv
