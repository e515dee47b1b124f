#include "server/botcrowd.h"

#include <algorithm>

#include "server/gbktext.h"

namespace velsrv {

namespace {

const char* const kBotNames[] = {"快乐小熊", "追风少年", "星河漫步", "橙子汽水", "夜猫子", "云端漫游",
                                 "小鱼儿",   "甜甜圈",   "幸运星",   "大胃王",   "阿福",   "风铃草"};
constexpr std::uint32_t kBotNameCount = sizeof(kBotNames) / sizeof(kBotNames[0]);

// Human-like pauses between two actions of one bot.
constexpr std::uint64_t kMinPauseMs = 1500;
constexpr std::uint64_t kMaxPauseMs = 8000;
// A bot with fewer coins than this (ten shares at the usual price) retires.
constexpr long long kRetireBelowCoins = 100000;
// Names tried before giving up on seating a bot.
constexpr std::uint32_t kMaxNameTries = 1000;
// Odds per action, in percent.
constexpr int kLikePercent = 25;
constexpr int kBuyPercent = 55;
constexpr std::uint32_t kMaxExtraShares = 3;
// Pacing: the simulated players together hold at most this share of a lot, reached only
// gradually over the ramp, so people have time and shares to play with. In a lot's last
// seconds (and never before it has been on sale for the minimum time) they may finish it,
// so the hall still sees winners.
constexpr std::uint64_t kBotSharePercent = 70;
constexpr std::uint64_t kRampMs = 30000;
constexpr std::uint64_t kMinOnSaleMs = 20000;
constexpr std::uint64_t kEndgameMs = 10000;

}  // namespace

BotCrowd::BotCrowd(Auction& auction, Store& store, plat::Clock& clock, int count, std::uint64_t seed, bool paced)
    : auction_(auction), store_(store), clock_(clock), count_(std::max(0, count)), paced_(paced), rng_(seed) {}

std::string BotCrowd::NameOf(std::uint32_t index) {
  std::string utf8 = kBotNames[index % kBotNameCount];
  if (index >= kBotNameCount) utf8 += std::to_string(index / kBotNameCount + 1);
  return Utf8ToGbk(utf8).value_or(std::string());
}

std::uint64_t BotCrowd::Pause() { return std::uniform_int_distribution<std::uint64_t>(kMinPauseMs, kMaxPauseMs)(rng_); }

bool BotCrowd::Seat(Bot* bot) {
  for (std::uint32_t tries = 0; tries < kMaxNameTries; ++tries) {
    const std::string name = NameOf(nextNameIndex_++);
    if (name.empty()) continue;
    auto player = auction_.EnsurePlayer(name, true);
    if (!player || !player->bot) continue;  // a human has taken the name
    const bool seated = std::any_of(bots_.begin(), bots_.end(), [&](const Bot& b) { return b.userId == player->id; });
    if (seated) continue;
    // Retired bots stay retired.
    if (player->coins < kRetireBelowCoins) continue;
    bot->userId = player->id;
    bot->nextActionMs = clock_.NowMs() + Pause();
    everSeated_.insert(player->id);
    return true;
  }
  return false;
}

bool BotCrowd::Start() {
  bots_.clear();
  for (int i = 0; i < count_; ++i) {
    Bot bot;
    if (!Seat(&bot)) return false;
    bots_.push_back(bot);
  }
  return true;
}

std::uint32_t BotCrowd::BotRoom(const Auction::LotView& lot) const {
  if (!paced_) return lot.totalShares;
  const std::uint64_t now = clock_.NowMs();
  const std::uint64_t age = now > lot.openedMs ? now - lot.openedMs : 0;
  const std::uint64_t remaining = lot.deadlineMs > now ? lot.deadlineMs - now : 0;
  if (age >= kMinOnSaleMs && remaining <= kEndgameMs) return lot.totalShares;
  const std::uint64_t cap =
      static_cast<std::uint64_t>(lot.totalShares) * kBotSharePercent * std::min(age, kRampMs) / (100 * kRampMs);
  std::uint64_t held = 0;
  for (std::uint32_t id : everSeated_) held += auction_.HeldShares(id) + auction_.WaitingShares(id);
  return cap > held ? static_cast<std::uint32_t>(cap - held) : 0;
}

void BotCrowd::Tick() {
  const std::uint64_t now = clock_.NowMs();
  for (Bot& bot : bots_) {
    if (bot.userId == 0 || now < bot.nextActionMs) continue;
    Act(bot);
    bot.nextActionMs = now + Pause();
  }
}

void BotCrowd::Act(Bot& bot) {
  auto lot = auction_.CurrentLot();
  if (!lot) return;
  std::uniform_int_distribution<int> percent(0, 99);
  const int roll = percent(rng_);
  if (roll < kLikePercent) {
    std::vector<std::uint32_t> open;
    for (std::uint32_t id : auction_.CandidateIds()) {
      if (!auction_.HasLiked(bot.userId, id)) open.push_back(id);
    }
    if (!open.empty()) auction_.Like(bot.userId, open[std::uniform_int_distribution<std::size_t>(0, open.size() - 1)(rng_)]);
    return;
  }
  if (roll >= kLikePercent + kBuyPercent) return;  // just watching this time

  auto player = store_.FindPlayer(bot.userId);
  if (!player) return;
  if (player->coins < kRetireBelowCoins || player->coins < static_cast<long long>(lot->minShares) * lot->sharePrice) {
    Bot replacement;
    if (Seat(&replacement)) bot = replacement;
    return;
  }
  // Purchases of this turn count too: the crowd's ones are stored together after it.
  const std::uint32_t left = lot->totalShares - lot->soldShares - lot->waitingShares;
  if (left == 0) return;
  std::uint32_t shares = lot->minShares + std::uniform_int_distribution<std::uint32_t>(0, kMaxExtraShares)(rng_);
  shares = std::min(shares, std::min(left, BotRoom(*lot)));
  const long long affordable = player->coins / lot->sharePrice;
  if (static_cast<long long>(shares) > affordable) shares = static_cast<std::uint32_t>(affordable);
  if (shares == left) {
    auction_.BuyAll(bot.userId, lot->goodsId);
  } else if (shares >= lot->minShares && shares > 0) {
    auction_.Buy(bot.userId, lot->goodsId, shares);
  }
}

}  // namespace velsrv
