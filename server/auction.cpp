#include "server/auction.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/net/framemessages.h"
#include "server/gbktext.h"
#include "server/nickname.h"
#include "server/purchaserules.h"
#include "server/timetext.h"

namespace velsrv {

namespace {

constexpr std::uint64_t kMsPerSecond = 1000;

std::uint32_t ClampCoins(long long coins) {
  if (coins <= 0) return 0;
  return coins > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                           : static_cast<std::uint32_t>(coins);
}

template <typename T>
void SendList(Outbox& out, std::uint32_t userId, std::uint16_t sub, const std::vector<T>& rows) {
  out.SendTo(userId, MDM_GF_GAME, sub, rows.empty() ? nullptr : rows.data(), rows.size() * sizeof(T));
}

}  // namespace

Auction::Auction(const GoodsCatalogue& catalogue, Store& store, plat::Clock& clock, const AuctionOptions& options,
                 Outbox& out, Logger log)
    : catalogue_(catalogue),
      store_(store),
      clock_(clock),
      options_(options),
      out_(out),
      log_(std::move(log)),
      rng_(options.seed) {}

void Auction::Log(const std::string& line) const {
  if (log_) log_(line);
}

bool Auction::Start(std::string* error) {
  if (catalogue_.Goods().size() < kSlots) {
    if (error) *error = "the goods file lists " + std::to_string(catalogue_.Goods().size()) + " goods; at least " +
                        std::to_string(kSlots) + " are needed";
    return false;
  }
  // A previous run stopped in the middle of a sale: its buyers get their coins back.
  for (long long lotId : store_.OpenLotIds()) {
    const std::vector<RefundDue> due = store_.RefundsDue(lotId);
    auto refunded = store_.CloseFailed(lotId, NowTimeText());
    if (!refunded) {
      if (error) *error = "could not refund lot " + std::to_string(lotId) + " left open by the last run";
      return false;
    }
    for (const RefundDue& d : due) refundNotes_[d.playerId].push_back(d);
    Log("refunded " + std::to_string(refunded->size()) + " buyers of lot " + std::to_string(lotId) +
        " left open by the last run");
  }
  if (!ListNewBatch() || !OpenLotInSlot()) {
    if (error) *error = "could not open the first lot (" + store_.LastError() + ")";
    return false;
  }
  return true;
}

std::optional<PlayerRow> Auction::EnsurePlayer(const std::string& nicknameGbk, bool bot) {
  const auto key = NicknameKey(nicknameGbk);
  if (!key) return std::nullopt;
  if (auto existing = store_.FindPlayerByKey(*key)) return existing;
  auto created = store_.CreatePlayer(nicknameGbk, options_.initialCoins, bot);
  if (created) Log("new player " + GbkToUtf8Lossy(nicknameGbk) + " (id " + std::to_string(created->id) + ")");
  return created;
}

std::optional<PlayerRow> Auction::CreateAccount(const std::string& nicknameGbk, const std::string& passwordHash) {
  auto created = store_.CreatePlayer(nicknameGbk, options_.initialCoins, false, passwordHash);
  if (created) Log("new account " + GbkToUtf8Lossy(nicknameGbk) + " (id " + std::to_string(created->id) + ")");
  return created;
}

bool Auction::Enter(std::uint32_t userId) {
  auto player = store_.FindPlayer(userId);
  if (!player) return false;
  SendUserRecord(*player);
  const auto goods = GoodsListFor(userId);
  out_.SendTo(userId, plat::net::kMainScene, SCENE_STATUS_FREE, goods.data(), goods.size() * sizeof(goods[0]));
  SendLikeState(userId);
  SendMyBuyRecords(userId);
  SendList(out_, userId, SUB_S_RECENTLY_RESULT, HistoryRecords());
  SendLuckyUsers(userId);
  auto notes = refundNotes_.find(userId);
  if (notes != refundNotes_.end()) {
    for (const RefundDue& d : notes->second) {
      SendNotice(userId, "服务器中途停止，" + std::to_string(d.goodsNumber) + "号商品流拍，已退还您" +
                             std::to_string(d.coins) + "金币");
    }
    refundNotes_.erase(notes);
  }
  GrantReliefIfBroke(userId);
  return true;
}

bool Auction::GrantReliefIfBroke(std::uint32_t userId) {
  auto player = store_.FindPlayer(userId);
  if (!player || player->bot || !lot_ || !slots_[kLotSlotIndex]) return false;
  const std::uint32_t price = slots_[kLotSlotIndex]->goods->sharePrice;
  if (player->coins >= static_cast<long long>(price) || player->coins >= options_.reliefCoins) return false;
  const std::uint64_t now = clock_.NowMs();
  auto last = lastReliefMs_.find(userId);
  const std::uint64_t interval = static_cast<std::uint64_t>(options_.reliefIntervalSeconds) * kMsPerSecond;
  if (last != lastReliefMs_.end() && now - last->second < interval) return false;
  auto granted = store_.TopUpCoins(userId, options_.reliefCoins);
  if (!granted) return false;
  lastReliefMs_[userId] = now;
  Log("relief: " + GbkToUtf8Lossy(player->nickname) + " topped up with " + std::to_string(*granted) + " coins");
  SendUserRecord(userId);
  SendNotice(userId, "金币不够买一份了：系统送您" + std::to_string(*granted) + "金币，补足到" +
                         std::to_string(options_.reliefCoins) + "（每小时最多一次）");
  return true;
}

void Auction::SendNotice(std::uint32_t userId, const std::string& utf8) {
  plat::net::NetNotice notice{};
  SetFieldText(notice.text, Utf8ToGbk(utf8).value_or(std::string()));
  out_.SendTo(userId, plat::net::kMainLogin, plat::net::kSubNotice, &notice, sizeof(notice));
}

// ---------------------------------------------------------------------------
// Purchases

std::optional<std::uint8_t> Auction::Buy(std::uint32_t userId, std::uint32_t goodsId, std::uint32_t shares) {
  return Purchase(userId, goodsId, shares, false);
}

std::optional<std::uint8_t> Auction::BuyAll(std::uint32_t userId, std::uint32_t goodsId) {
  return Purchase(userId, goodsId, 0, true);
}

void Auction::Reply(std::uint32_t userId, std::uint8_t code) {
  CMD_GF_VELMORA_BUY_RSP rsp{};
  rsp.result = code;
  SendRecord(userId, SUB_S_BUY_RESULT, rsp);
}

void Auction::Answer(std::uint32_t userId, std::uint8_t code) {
  Reply(userId, code);
  if (code == BUY_RESULT_COINS_SHORT) GrantReliefIfBroke(userId);
}

std::optional<std::uint8_t> Auction::Purchase(std::uint32_t userId, std::uint32_t goodsId, std::uint32_t shares,
                                              bool all) {
  // A refusal waits behind the buyer's purchases of the group, so that its answers keep their
  // order; one that rests on the group's purchases waits for the group's fate too.
  auto refuse = [&](std::uint8_t code, bool byGroup) -> std::optional<std::uint8_t> {
    if (!byGroup && pendingByUser_.count(userId) == 0) {
      Answer(userId, code);
      return code;
    }
    PendingBuy entry;
    entry.userId = userId;
    entry.code = code;
    entry.byGroup = byGroup;
    pending_.push_back(std::move(entry));
    pendingByUser_.emplace(userId, Waiting());
    return std::nullopt;
  };
  auto player = store_.FindPlayer(userId);
  if (!player) return refuse(BUY_RESULT_NO_USER, false);
  if (FindListing(goodsId) == nullptr) return refuse(BUY_RESULT_NO_GOODS, false);
  if (phase_ != Phase::Selling || !lot_ || !slots_[kLotSlotIndex]) return refuse(BUY_RESULT_NO_AUCTION_GOODS, false);
  const GoodsDef& goods = *slots_[kLotSlotIndex]->goods;
  if (goods.id != goodsId) return refuse(BUY_RESULT_NOT_CURRENT, false);
  if (clock_.NowMs() >= lot_->deadlineMs) return refuse(BUY_RESULT_TIME_OVER, false);

  // Shares and coins are counted after the purchases waiting in the group.
  const std::uint32_t storedLeft = goods.totalShares - lot_->sold;
  const std::uint32_t left = storedLeft - pendingShares_;
  if (left == 0) return refuse(BUY_RESULT_NO_AUCTION_GOODS, true);  // the group sells the lot out
  auto checkShares = [&](std::uint32_t available) {
    return CheckShareCount(shares, available,
                           MinPurchaseShares(available, goods.sharePrice, goods.minPurchase, goods.remainderThreshold));
  };
  if (all) {
    shares = left;
  } else {
    const std::uint8_t check = checkShares(left);
    if (check != BUY_RESULT_OK) return refuse(check, pendingShares_ > 0 && checkShares(storedLeft) == BUY_RESULT_OK);
  }
  const long long cost = static_cast<long long>(shares) * goods.sharePrice;
  const auto mine = pendingByUser_.find(userId);
  const long long waiting = mine == pendingByUser_.end() ? 0 : mine->second.coins;
  if (cost > player->coins - waiting) return refuse(BUY_RESULT_COINS_SHORT, waiting > 0 && cost <= player->coins);

  PendingBuy entry;
  entry.userId = userId;
  entry.goodsId = goodsId;
  entry.player = std::move(*player);
  entry.stored = pendingStore_.size();
  GroupPurchase purchase;
  purchase.playerId = userId;
  purchase.shares = shares;
  purchase.cost = cost;
  purchase.buyTime = NowTimeText();
  pendingStore_.push_back(std::move(purchase));
  pending_.push_back(std::move(entry));
  pendingShares_ += shares;
  Waiting& total = pendingByUser_[userId];
  total.coins += cost;
  total.shares += shares;
  return std::nullopt;
}

void Auction::CommitPurchases() {
  if (pending_.empty()) return;
  std::vector<PendingBuy> entries;
  std::vector<GroupPurchase> group;
  entries.swap(pending_);
  group.swap(pendingStore_);
  pendingShares_ = 0;
  pendingByUser_.clear();

  // Purchases wait only while their lot sells: Tick commits them before it closes one.
  const bool stored = group.empty() || (lot_ && store_.PurchaseGroup(lot_->lotId, group));
  if (!group.empty()) {
    if (stored) {
      ++groupStats_.groups;
    } else {
      ++groupStats_.failedGroups;
      Log(std::to_string(group.size()) + " purchases not stored: " + store_.LastError());
    }
  }
  for (PendingBuy& e : entries) {
    if (e.code != BUY_RESULT_OK) {
      Answer(e.userId, !stored && e.byGroup ? BUY_RESULT_SERVER_ERROR : e.code);
    } else if (!stored) {
      Reply(e.userId, BUY_RESULT_SERVER_ERROR);
    } else if (group[e.stored].coinsShort) {
      Answer(e.userId, BUY_RESULT_COINS_SHORT);
    } else {
      ++groupStats_.purchases;
      Acknowledge(e, group[e.stored]);
    }
  }
}

// A stored purchase: the lot counts it, the buyer is told, then everybody.
void Auction::Acknowledge(PendingBuy& entry, const GroupPurchase& purchase) {
  lot_->sold += purchase.shares;
  lot_->holdings[entry.userId] += purchase.shares;

  Reply(entry.userId, BUY_RESULT_OK);
  CMD_GF_VELMORA_BUY_NTF ntf{};
  ntf.userId = entry.userId;
  ntf.goodsId = entry.goodsId;
  ntf.shares = purchase.shares;
  SetFieldText(ntf.buyTime, purchase.buyTime);
  BroadcastRecord(SUB_S_BUY_NOTIFY, ntf);
  entry.player.coins = purchase.newCoins;
  SendUserRecord(entry.player);
  GrantReliefIfBroke(entry.userId);

  // Later purchases of the group were counted against this one, so none of them is stored.
  if (lot_->sold >= slots_[kLotSlotIndex]->goods->totalShares) CloseLot(true);
}

// ---------------------------------------------------------------------------
// Likes

bool Auction::Like(std::uint32_t userId, std::uint32_t goodsId) {
  bool counted = false;
  const Listing* listing = FindListing(goodsId);
  // Likes count only while a period runs, and only for candidates.
  if (phase_ == Phase::Selling && listing != nullptr && listing->state == GOODS_STATE_CANDIDATE &&
      slots_[kLotSlotIndex] && slots_[kLotSlotIndex]->goods->id != goodsId) {
    counted = likes_[goodsId].insert(userId).second;
  }
  if (counted) BroadcastLikeUpdate();
  SendLikeState(userId);
  return counted;
}

// ---------------------------------------------------------------------------
// Lot lifecycle

void Auction::Tick() {
  // Purchases accepted before a deadline are stored before the lot closes.
  CommitPurchases();
  const std::uint64_t now = clock_.NowMs();
  if (!pendingRefunds_.empty() && now >= refundRetryMs_) RetryRefunds();
  if (phase_ == Phase::Selling && lot_ && now >= lot_->deadlineMs) {
    CloseLot(false);
  } else if (phase_ == Phase::Pause && now >= pauseEndsMs_) {
    OpenNext();
  }
}

// A goods number is shown only once the store has it: a number announced but
// not stored would be handed out again after a restart.
bool Auction::ListNewBatch() {
  std::vector<const GoodsDef*> all;
  for (const GoodsDef& g : catalogue_.Goods()) all.push_back(&g);
  std::shuffle(all.begin(), all.end(), rng_);
  const std::uint32_t first = store_.AllocateGoodsNumber(static_cast<std::uint32_t>(kSlots));
  if (first == 0) return false;
  for (std::size_t i = 0; i < kSlots; ++i) {
    Listing listing;
    listing.goods = all[i];
    listing.number = first + static_cast<std::uint32_t>(i);
    slots_[i] = listing;
  }
  waiting_.assign(all.begin() + kSlots, all.end());
  likes_.clear();
  return true;
}

bool Auction::OpenLotInSlot() {
  Listing& listing = *slots_[kLotSlotIndex];
  LotRow row;
  row.goodsNumber = listing.number;
  row.goodsId = listing.goods->id;
  row.goodsName = listing.goods->nameGbk;
  row.goodsValue = listing.goods->value;
  row.totalShares = listing.goods->totalShares;
  row.sharePrice = listing.goods->sharePrice;
  const long long lotId = store_.OpenLot(row);
  if (lotId == 0) return false;
  OpenLot lot;
  lot.lotId = lotId;
  lot.openedMs = clock_.NowMs();
  lot.deadlineMs = clock_.NowMs() + static_cast<std::uint64_t>(options_.lotSeconds) * kMsPerSecond;
  lot_ = lot;
  listing.state = GOODS_STATE_SELLING;
  phase_ = Phase::Selling;
  Log("lot " + std::to_string(listing.number) + " open: " + listing.goods->nameUtf8);
  return true;
}

int Auction::MostLikedCandidate() const {
  int best = -1;
  std::size_t bestLikes = 0;
  for (std::size_t i = 0; i < kLotSlotIndex; ++i) {
    if (!slots_[i]) continue;
    auto it = likes_.find(slots_[i]->goods->id);
    const std::size_t count = it == likes_.end() ? 0 : it->second.size();
    if (best < 0 || count > bestLikes) {  // ties go to the lower slot
      best = static_cast<int>(i);
      bestLikes = count;
    }
  }
  return best;
}

void Auction::CloseLot(bool soldOut) {
  if (!lot_ || !slots_[kLotSlotIndex]) return;
  Listing& listing = *slots_[kLotSlotIndex];
  const std::string drawTime = NowTimeText();
  CMD_GF_VELMORA_AUCTION_RESULT_NTF ntf{};
  ntf.goodsNumber = listing.number;
  SetFieldText(ntf.drawTime, drawTime);

  bool won = false;
  if (soldOut) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> holdings(lot_->holdings.begin(), lot_->holdings.end());
    const std::uint32_t winnerId = DrawWinner(holdings, rng_);
    auto winner = store_.FindPlayer(winnerId);
    if (winner && store_.CloseWon(lot_->lotId, winnerId, lot_->holdings[winnerId], drawTime)) {
      won = true;
      ntf.kind = AUCTION_RESULT_WON;
      SetFieldText(ntf.winnerNickname, winner->nickname);
      ntf.winnerShares = lot_->holdings[winnerId];
      Log("lot " + std::to_string(listing.number) + " won by " + GbkToUtf8Lossy(winner->nickname) + " with " +
          std::to_string(ntf.winnerShares) + " of " + std::to_string(listing.goods->totalShares) + " shares");
    } else {
      Log("lot " + std::to_string(listing.number) + ": the win could not be stored; refunding instead");
    }
  }
  if (!won) {
    ntf.kind = AUCTION_RESULT_FAILED;
    const PendingRefund refund{lot_->lotId, listing.number, drawTime};
    if (!Refund(refund)) {
      Log("lot " + std::to_string(listing.number) + ": refund not stored (" + store_.LastError() +
          "); trying again");
      if (pendingRefunds_.empty()) refundRetryMs_ = clock_.NowMs() + options_.retryMs;
      pendingRefunds_.push_back(refund);
    }
  }
  listing.state = won ? GOODS_STATE_SOLD : GOODS_STATE_FAILED;

  nextSlot_ = waiting_.empty() ? -1 : MostLikedCandidate();
  ntf.nextGoodsNumber = nextSlot_ < 0 ? 0 : slots_[static_cast<std::size_t>(nextSlot_)]->number;
  lot_.reset();
  phase_ = Phase::Pause;
  pauseEndsMs_ = clock_.NowMs() + static_cast<std::uint64_t>(options_.pauseSeconds) * kMsPerSecond;

  BroadcastRecord(SUB_S_AUCTION_RESULT, ntf);
  if (won) BroadcastHistory();
}

bool Auction::Refund(const PendingRefund& lot) {
  auto refunded = store_.CloseFailed(lot.lotId, lot.drawTime);
  if (!refunded) return false;
  for (const Balance& b : *refunded) SendUserRecord(b.playerId);
  Log("lot " + std::to_string(lot.goodsNumber) + " failed; refunded " + std::to_string(refunded->size()) + " buyers");
  return true;
}

void Auction::RetryRefunds() {
  std::vector<PendingRefund> left;
  for (const PendingRefund& lot : pendingRefunds_) {
    if (!Refund(lot)) left.push_back(lot);
  }
  pendingRefunds_ = std::move(left);
  refundRetryMs_ = clock_.NowMs() + options_.retryMs;
}

// Nothing of the lot was announced; the listing stays as it was and the
// opening is tried again shortly, so the game resumes soon after the store.
void Auction::LotNotOpened() {
  if (!openFailing_) {
    Log("next lot not opened: the database did not store it (" + store_.LastError() + "); trying again every " +
        std::to_string(options_.retryMs) + " ms");
  }
  openFailing_ = true;
  pauseEndsMs_ = clock_.NowMs() + options_.retryMs;
}

void Auction::OpenNext() {
  if (nextSlot_ < 0) {
    const auto savedSlots = slots_;
    const auto savedWaiting = waiting_;
    const auto savedLikes = likes_;
    if (!ListNewBatch() || !OpenLotInSlot()) {
      slots_ = savedSlots;
      waiting_ = savedWaiting;
      likes_ = savedLikes;
      LotNotOpened();
      return;
    }
    BroadcastGoodsList();
  } else {
    const std::uint32_t number = store_.AllocateGoodsNumber();
    if (number == 0) {
      LotNotOpened();
      return;
    }
    const std::size_t k = static_cast<std::size_t>(nextSlot_);
    const Listing closed = *slots_[kLotSlotIndex];
    slots_[kLotSlotIndex] = *slots_[k];
    slots_[kLotSlotIndex]->state = GOODS_STATE_CANDIDATE;
    Listing incoming;
    incoming.goods = waiting_.front();
    incoming.number = number;
    slots_[k] = incoming;
    if (!OpenLotInSlot()) {
      // Put the listing back as it was; the number drawn stays unused.
      slots_[k] = slots_[kLotSlotIndex];
      slots_[kLotSlotIndex] = closed;
      LotNotOpened();
      return;
    }
    likes_.clear();
    waiting_.pop_front();
    // The candidate's slot gets the waiting goods, slot 7 the new lot: both
    // are the same for every player (nobody holds shares of a new lot yet).
    const auto candidate = ItemRecord(k, 0);
    const auto lot = ItemRecord(kLotSlotIndex, 0);
    BroadcastRecord(SUB_S_EXCHANGE_GOODS, candidate);
    BroadcastRecord(SUB_S_EXCHANGE_GOODS, lot);
  }
  if (openFailing_) {
    openFailing_ = false;
    Log("the database stores again; lot " + std::to_string(slots_[kLotSlotIndex]->number) + " opened");
  }
  CMD_GF_VELMORA_AUCTION_START_NTF start{};
  start.goodsNumber = slots_[kLotSlotIndex]->number;
  BroadcastRecord(SUB_S_AUCTION_START, start);
  // The whole list last: a client resets its buy panel to the new lot's minimum and restarts
  // its countdown on a goods list (exchanges and the start alone leave the panel as the
  // closed lot left it).
  if (nextSlot_ >= 0) BroadcastGoodsList();
  // A new period: zero counts also clear every client's liked marks.
  BroadcastLikeUpdate();
}

// ---------------------------------------------------------------------------
// Views

const Auction::Listing* Auction::FindListing(std::uint32_t goodsId) const {
  for (const auto& s : slots_) {
    if (s && s->goods->id == goodsId) return &*s;
  }
  return nullptr;
}

std::optional<Auction::LotView> Auction::CurrentLot() const {
  if (phase_ != Phase::Selling || !lot_ || !slots_[kLotSlotIndex]) return std::nullopt;
  const GoodsDef& g = *slots_[kLotSlotIndex]->goods;
  LotView v;
  v.goodsId = g.id;
  v.goodsNumber = slots_[kLotSlotIndex]->number;
  v.totalShares = g.totalShares;
  v.soldShares = lot_->sold;
  v.waitingShares = pendingShares_;
  v.sharePrice = g.sharePrice;
  v.minShares = MinPurchaseShares(g.totalShares - lot_->sold - pendingShares_, g.sharePrice, g.minPurchase, g.remainderThreshold);
  v.openedMs = lot_->openedMs;
  v.deadlineMs = lot_->deadlineMs;
  return v;
}

std::vector<std::uint32_t> Auction::CandidateIds() const {
  std::vector<std::uint32_t> ids;
  for (std::size_t i = 0; i < kLotSlotIndex; ++i) {
    if (slots_[i]) ids.push_back(slots_[i]->goods->id);
  }
  return ids;
}

bool Auction::HasLiked(std::uint32_t userId, std::uint32_t goodsId) const {
  auto it = likes_.find(goodsId);
  return it != likes_.end() && it->second.count(userId) != 0;
}

std::uint32_t Auction::LikeCount(std::uint32_t goodsId) const {
  auto it = likes_.find(goodsId);
  return it == likes_.end() ? 0 : static_cast<std::uint32_t>(it->second.size());
}

std::uint32_t Auction::HeldShares(std::uint32_t userId) const {
  if (!lot_) return 0;
  auto it = lot_->holdings.find(userId);
  return it == lot_->holdings.end() ? 0 : it->second;
}

std::uint32_t Auction::WaitingShares(std::uint32_t userId) const {
  auto it = pendingByUser_.find(userId);
  return it == pendingByUser_.end() ? 0 : it->second.shares;
}

CMD_GF_VELMORA_GOODS_ITEM Auction::ItemRecord(std::size_t index, std::uint32_t userId) const {
  CMD_GF_VELMORA_GOODS_ITEM item{};
  const Listing& listing = *slots_[index];
  const GoodsDef& g = *listing.goods;
  item.goodsId = g.id;
  item.goodsNumber = listing.number;
  item.goodsValue = g.value;
  item.slot = static_cast<std::uint32_t>(index + 1);
  item.tileIndex = static_cast<std::uint32_t>(index);
  item.totalShares = g.totalShares;
  item.sharePrice = g.sharePrice;
  item.state = listing.state;
  SetFieldText(item.goodsName, g.nameGbk);
  SetFieldText(item.pictureFile, g.picture);
  item.likeCount = LikeCount(g.id);
  item.remainderThreshold = g.remainderThreshold;
  item.minPurchase = g.minPurchase;
  if (index == kLotSlotIndex && lot_) {
    const std::uint64_t now = clock_.NowMs();
    const std::uint64_t left = lot_->deadlineMs > now ? lot_->deadlineMs - now : 0;
    item.secondsLeft = static_cast<std::uint32_t>((left + kMsPerSecond - 1) / kMsPerSecond);
    item.soldShares = lot_->sold;
    item.heldShares = HeldShares(userId);
  } else if (index == kLotSlotIndex && listing.state == GOODS_STATE_SOLD) {
    item.soldShares = g.totalShares;
  }
  return item;
}

std::vector<CMD_GF_VELMORA_GOODS_ITEM> Auction::GoodsListFor(std::uint32_t userId) const {
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> items;
  for (std::size_t i = 0; i < kSlots; ++i) {
    if (slots_[i]) items.push_back(ItemRecord(i, userId));
  }
  return items;
}

// ---------------------------------------------------------------------------
// Messages

void Auction::SendUserRecord(const PlayerRow& player) {
  plat::net::NetUserRecord rec{};
  rec.userId = player.id;
  SetFieldText(rec.nickname, player.nickname);
  rec.coins = ClampCoins(player.coins);
  rec.bankCoins = ClampCoins(player.bankCoins);
  out_.SendTo(player.id, plat::net::kMainLogin, plat::net::kSubUserRecord, &rec, sizeof(rec));
}

void Auction::SendUserRecord(std::uint32_t userId) {
  if (auto player = store_.FindPlayer(userId)) SendUserRecord(*player);
}

void Auction::SendLikeState(std::uint32_t userId) {
  CMD_GF_VELMORA_LIKE_STATE_ENTRY entries[LIKE_ENTRY_COUNT] = {};
  std::size_t n = 0;
  for (std::size_t i = 0; i < kLotSlotIndex && n < LIKE_ENTRY_COUNT; ++i) {
    if (!slots_[i]) continue;
    const std::uint32_t id = slots_[i]->goods->id;
    entries[n].goodsId = id;
    entries[n].liked = HasLiked(userId, id) ? 1 : 0;
    entries[n].likeCount = LikeCount(id);
    ++n;
  }
  out_.SendTo(userId, MDM_GF_GAME, SUB_S_LIKE_STATE, entries, sizeof(entries));
}

void Auction::BroadcastLikeUpdate() {
  CMD_GF_VELMORA_LIKE_UPDATE_ENTRY entries[LIKE_ENTRY_COUNT] = {};
  std::size_t n = 0;
  for (std::size_t i = 0; i < kLotSlotIndex && n < LIKE_ENTRY_COUNT; ++i) {
    if (!slots_[i]) continue;
    entries[n].goodsId = slots_[i]->goods->id;
    entries[n].likeCount = LikeCount(entries[n].goodsId);
    ++n;
  }
  out_.Broadcast(MDM_GF_GAME, SUB_S_LIKE_UPDATE, entries, sizeof(entries));
}

void Auction::BroadcastGoodsList() {
  // Nobody holds shares of a lot that has just opened, so one list fits all.
  const auto goods = GoodsListFor(0);
  out_.Broadcast(MDM_GF_GAME, SUB_S_GOODS_LIST, goods.data(), goods.size() * sizeof(goods[0]));
}

std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> Auction::HistoryRecords() {
  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> history;
  for (const WinRow& w : store_.RecentWins(kHistoryRows)) {
    CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP row{};
    row.goodsNumber = w.goodsNumber;
    SetFieldText(row.goodsName, w.goodsName);
    SetFieldText(row.winnerNickname, w.winnerName);
    row.winnerShares = w.winnerShares;
    SetFieldText(row.drawTime, w.drawTime);
    history.push_back(row);
  }
  return history;
}

void Auction::BroadcastHistory() {
  const auto history = HistoryRecords();
  out_.Broadcast(MDM_GF_GAME, SUB_S_RECENTLY_RESULT, history.empty() ? nullptr : history.data(),
                 history.size() * sizeof(history[0]));
}

void Auction::SendMyBuyRecords(std::uint32_t userId) {
  auto rows = store_.PlayerPurchases(userId, kMyBuyRows);
  std::reverse(rows.begin(), rows.end());  // oldest first, as the client appends
  std::vector<CMD_GF_VELMORA_MY_BUY_RECORD_RSP> records;
  for (const PurchaseRow& p : rows) {
    CMD_GF_VELMORA_MY_BUY_RECORD_RSP r{};
    r.unused0 = static_cast<std::uint32_t>(p.purchaseId);
    r.unused4 = p.goodsId;
    r.shares = p.shares;
    SetFieldText(r.buyTime, p.buyTime);
    SetFieldText(r.goodsName, p.goodsName);
    r.goodsValue = p.goodsValue;
    records.push_back(r);
  }
  SendList(out_, userId, SUB_S_MY_BUY_RECORD, records);
}

void Auction::SendLuckyUsers(std::uint32_t userId) {
  auto wins = store_.RecentWins(kLuckyRows);
  std::reverse(wins.begin(), wins.end());
  std::vector<CMD_GF_VELMORA_LUCKY_USER_RSP> records;
  for (const WinRow& w : wins) {
    CMD_GF_VELMORA_LUCKY_USER_RSP r{};
    r.unused0 = static_cast<std::uint32_t>(w.lotId);
    r.goodsNumber = w.goodsNumber;
    r.winnerShares = w.winnerShares;
    SetFieldText(r.drawTime, w.drawTime);
    SetFieldText(r.goodsName, w.goodsName);
    SetFieldText(r.winnerNickname, w.winnerName);
    records.push_back(r);
  }
  SendList(out_, userId, SUB_S_LUCKY_USER, records);
}

}  // namespace velsrv
