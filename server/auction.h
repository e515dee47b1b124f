#pragma once
// The game: seven listed goods, one lot on sale in slot 7 (tile 6, which the
// client never draws), six candidates in slots 1..6 on tiles 0..5 collecting
// likes. A lot closes when sold out (winner drawn by shares held) or when its
// time runs out (every buyer refunded). After a short pause the most liked
// candidate moves into slot 7 and opens, and a waiting goods item takes the
// candidate's slot; when nothing waits, a new batch is listed instead.
// Single-threaded: the owner calls everything from one thread.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "platform/time/clock.h"
#include "server/goodscatalogue.h"
#include "server/outbox.h"
#include "server/store.h"

namespace velsrv {

// Purchase answer when the store failed; the client shows nothing for it.
constexpr std::uint8_t BUY_RESULT_SERVER_ERROR = 9;

struct AuctionOptions {
  std::uint32_t lotSeconds = 60;
  std::uint32_t pauseSeconds = 5;       // between a lot's result and the next lot
  std::uint32_t initialCoins = 1000000;  // granted once to every new player
  std::uint64_t seed = 1;
  // A lot that could not be stored, or a close whose refund could not be
  // stored, is tried again this often (game time).
  std::uint32_t retryMs = 500;
  // A player (never a simulated one) whose coins cannot pay for one share is topped up to
  // reliefCoins, at most once per reliefIntervalSeconds.
  std::uint32_t reliefCoins = 100000;
  std::uint32_t reliefIntervalSeconds = 3600;
};

class Auction {
 public:
  static constexpr std::size_t kSlots = MAX_LISTED_GOODS;
  static constexpr std::size_t kLotSlotIndex = kSlots - 1;  // slot 7, tile 6
  static constexpr std::size_t kHistoryRows = 30;
  static constexpr std::size_t kMyBuyRows = 50;
  static constexpr std::size_t kLuckyRows = 10;

  using Logger = std::function<void(const std::string&)>;

  // What a player (or a simulated one) can see of the lot on sale.
  struct LotView {
    std::uint32_t goodsId = 0;
    std::uint32_t goodsNumber = 0;
    std::uint32_t totalShares = 0;
    std::uint32_t soldShares = 0;     // stored
    std::uint32_t waitingShares = 0;  // bought in this turn, not stored yet
    std::uint32_t sharePrice = 0;
    std::uint32_t minShares = 0;
    std::uint64_t openedMs = 0;
    std::uint64_t deadlineMs = 0;
  };

  Auction(const GoodsCatalogue& catalogue, Store& store, plat::Clock& clock, const AuctionOptions& options, Outbox& out,
          Logger log = nullptr);

  // Refunds lots a previous run left open, lists the first batch and opens a lot.
  bool Start(std::string* error);

  // The player whose nickname reads the same (NicknameKey), created with the initial grant if new.
  std::optional<PlayerRow> EnsurePlayer(const std::string& nicknameGbk, bool bot);
  // A new account with its password hash and the initial grant; nullopt when the name's
  // normal form is taken.
  std::optional<PlayerRow> CreateAccount(const std::string& nicknameGbk, const std::string& passwordHash);
  // Sends a player who has just entered everything its screens need.
  bool Enter(std::uint32_t userId);

  // A purchase that passes its checks waits in the group until CommitPurchases stores the group
  // in one transaction; its buyer is answered (SUB_S_BUY_RESULT) only after that. The result
  // code when the buyer was answered at once, nothing when the answer waits for the commit.
  std::optional<std::uint8_t> Buy(std::uint32_t userId, std::uint32_t goodsId, std::uint32_t shares);
  std::optional<std::uint8_t> BuyAll(std::uint32_t userId, std::uint32_t goodsId);
  // Stores the waiting purchases together and answers every one of them, in arrival order. When
  // the store fails, none is stored and each gets BUY_RESULT_SERVER_ERROR. The owner calls it
  // once per turn of its loop; Tick calls it first.
  void CommitPurchases();
  bool HasPendingPurchases() const { return !pending_.empty(); }
  struct GroupStats {
    std::uint64_t groups = 0;        // committed
    std::uint64_t purchases = 0;     // stored by them
    std::uint64_t failedGroups = 0;  // the store refused; nothing of them was stored
  };
  const GroupStats& PurchaseGroups() const { return groupStats_; }
  // True when the like counted; the liker always gets its marks back.
  bool Like(std::uint32_t userId, std::uint32_t goodsId);

  // Closes a lot whose time ran out, opens the next one after the pause,
  // stores refunds the database refused earlier.
  void Tick();
  // Lots whose refund is waiting for the database.
  std::size_t PendingRefunds() const { return pendingRefunds_.size(); }

  std::optional<LotView> CurrentLot() const;
  std::vector<std::uint32_t> CandidateIds() const;
  bool HasLiked(std::uint32_t userId, std::uint32_t goodsId) const;
  std::uint32_t LikeCount(std::uint32_t goodsId) const;
  std::uint32_t HeldShares(std::uint32_t userId) const;
  // Shares of the player's purchases waiting for the group's commit.
  std::uint32_t WaitingShares(std::uint32_t userId) const;
  // The listed goods as the given player's client sees them, slots 1..7.
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> GoodsListFor(std::uint32_t userId) const;

 private:
  struct Listing {
    const GoodsDef* goods = nullptr;
    std::uint32_t number = 0;
    std::uint32_t state = GOODS_STATE_CANDIDATE;
  };
  struct OpenLot {
    long long lotId = 0;
    std::uint64_t openedMs = 0;
    std::uint64_t deadlineMs = 0;
    std::uint32_t sold = 0;
    std::map<std::uint32_t, std::uint32_t> holdings;  // user id -> shares, in user order
  };
  enum class Phase { Selling, Pause };

  // A purchase waiting for its group's commit, or a refusal waiting behind one.
  struct PendingBuy {
    std::uint32_t userId = 0;
    std::uint32_t goodsId = 0;
    std::uint8_t code = BUY_RESULT_OK;  // OK: to be stored; otherwise the answer already decided
    bool byGroup = false;               // that answer rests on the group's earlier purchases
    std::size_t stored = 0;             // index in the store's group (code OK)
    PlayerRow player;                   // the buyer (code OK)
  };

  std::optional<std::uint8_t> Purchase(std::uint32_t userId, std::uint32_t goodsId, std::uint32_t shares, bool all);
  void Acknowledge(PendingBuy& entry, const GroupPurchase& purchase);
  void Reply(std::uint32_t userId, std::uint8_t code);
  // Reply, and relief for a buyer short of coins.
  void Answer(std::uint32_t userId, std::uint8_t code);
  struct PendingRefund {
    long long lotId = 0;
    std::uint32_t goodsNumber = 0;
    std::string drawTime;
  };

  bool ListNewBatch();
  bool OpenLotInSlot();
  void CloseLot(bool soldOut);
  void OpenNext();
  void LotNotOpened();
  bool Refund(const PendingRefund& lot);
  void RetryRefunds();
  int MostLikedCandidate() const;
  const Listing* FindListing(std::uint32_t goodsId) const;
  CMD_GF_VELMORA_GOODS_ITEM ItemRecord(std::size_t index, std::uint32_t userId) const;
  // Tops a broke player up (see AuctionOptions) and says so; true when coins were granted.
  bool GrantReliefIfBroke(std::uint32_t userId);
  // A line for one player's status line (UTF-8 here, GBK on the wire).
  void SendNotice(std::uint32_t userId, const std::string& utf8);
  void SendUserRecord(const PlayerRow& player);
  void SendUserRecord(std::uint32_t userId);
  void SendLikeState(std::uint32_t userId);
  void BroadcastLikeUpdate();
  void BroadcastGoodsList();
  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> HistoryRecords();
  void BroadcastHistory();
  void SendMyBuyRecords(std::uint32_t userId);
  void SendLuckyUsers(std::uint32_t userId);
  void Log(const std::string& line) const;

  template <typename T>
  void BroadcastRecord(std::uint16_t sub, const T& record) {
    out_.Broadcast(MDM_GF_GAME, sub, &record, sizeof(T));
  }
  template <typename T>
  void SendRecord(std::uint32_t userId, std::uint16_t sub, const T& record) {
    out_.SendTo(userId, MDM_GF_GAME, sub, &record, sizeof(T));
  }

  const GoodsCatalogue& catalogue_;
  Store& store_;
  plat::Clock& clock_;
  AuctionOptions options_;
  Outbox& out_;
  Logger log_;
  std::mt19937_64 rng_;

  std::array<std::optional<Listing>, kSlots> slots_;
  std::deque<const GoodsDef*> waiting_;
  std::optional<OpenLot> lot_;
  Phase phase_ = Phase::Pause;
  std::uint64_t pauseEndsMs_ = 0;
  int nextSlot_ = -1;  // candidate index promoted after the pause; -1: a new batch
  bool openFailing_ = false;  // the last attempt to open a lot was refused by the store
  std::vector<PendingRefund> pendingRefunds_;
  std::uint64_t refundRetryMs_ = 0;
  std::map<std::uint32_t, std::set<std::uint32_t>> likes_;  // goods id -> users, this period
  // Refunds of lots the last run left open, explained to each buyer when it next enters.
  std::map<std::uint32_t, std::vector<RefundDue>> refundNotes_;
  std::map<std::uint32_t, std::uint64_t> lastReliefMs_;  // user id -> game time of the last grant

  // The purchase group of this turn.
  std::vector<PendingBuy> pending_;
  std::vector<GroupPurchase> pendingStore_;
  std::uint32_t pendingShares_ = 0;
  struct Waiting {
    long long coins = 0;
    std::uint32_t shares = 0;
  };
  std::map<std::uint32_t, Waiting> pendingByUser_;  // what each buyer's purchases in the group take
  GroupStats groupStats_;
};

}  // namespace velsrv
