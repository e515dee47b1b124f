#pragma once
// Everything that survives a restart: players and coins, lots, purchases.
// Each group of purchases with its coin movements, and each refund of a
// failed lot, is one transaction. Texts (nicknames, goods names) are stored as GBK bytes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/ownerlock.h"
#include "server/sqlitedatabase.h"
#include "server/sqlitestatement.h"

namespace velsrv {

struct PlayerRow {
  std::uint32_t id = 0;
  std::string nickname;  // GBK
  long long coins = 0;
  long long bankCoins = 0;
  bool bot = false;
  std::string passwordHash;  // empty: none yet (a simulated player, or an account from before passwords)
};

struct LotRow {
  std::uint32_t goodsNumber = 0;
  std::uint32_t goodsId = 0;
  std::string goodsName;  // GBK
  std::uint32_t goodsValue = 0;
  std::uint32_t totalShares = 0;
  std::uint32_t sharePrice = 0;
};

struct WinRow {
  long long lotId = 0;
  std::uint32_t goodsNumber = 0;
  std::string goodsName;
  std::string winnerName;
  std::uint32_t winnerShares = 0;
  std::string drawTime;
};

struct PurchaseRow {
  long long purchaseId = 0;
  std::uint32_t goodsId = 0;
  std::uint32_t shares = 0;
  std::string buyTime;
  std::string goodsName;
  std::uint32_t goodsValue = 0;
};

struct Balance {
  std::uint32_t playerId = 0;
  long long coins = 0;
};

// One purchase of a group stored together (Store::PurchaseGroup).
struct GroupPurchase {
  std::uint32_t playerId = 0;
  std::uint32_t shares = 0;
  long long cost = 0;
  std::string buyTime;
  // Filled in when the group is stored.
  bool coinsShort = false;  // the player had too few coins: nothing of this one was stored
  long long newCoins = 0;   // the player's balance right after this purchase
};

// Coins a player is owed for a lot that is to be refunded.
struct RefundDue {
  std::uint32_t playerId = 0;
  std::uint32_t goodsNumber = 0;
  long long coins = 0;
};

class Store {
 public:
  enum class PurchaseStatus { Ok, CoinsShort, Failed };

  // durable: every commit reaches the disk (synchronous=FULL); otherwise a
  // process crash still loses nothing, only a power cut may. The file is held
  // exclusively (OwnerLock) and checked (quick_check) before anything is
  // written to it; a database another process locks is waited for at most
  // busyWaitMs per operation.
  static std::unique_ptr<Store> Open(const std::string& path, bool durable, std::string* error,
                                     std::uint32_t busyWaitMs = 250);

  std::optional<PlayerRow> FindPlayer(std::uint32_t id);
  std::optional<PlayerRow> FindPlayerByName(const std::string& nicknameGbk);
  // The player whose nickname has this normal form (NicknameKey).
  std::optional<PlayerRow> FindPlayerByKey(const std::string& key);
  // Fails when the nickname has no normal form or its normal form is taken.
  std::optional<PlayerRow> CreatePlayer(const std::string& nicknameGbk, long long coins, bool bot,
                                        const std::string& passwordHash = std::string());
  // Gives an account its first password (one made before passwords existed); false when it
  // already has one.
  bool ClaimPassword(std::uint32_t playerId, const std::string& passwordHash);
  // Replaces the password, whatever it was (the owner of an embedded server resets its own).
  bool SetPassword(std::uint32_t playerId, const std::string& passwordHash);

  // Accounts an older database held whose normal form another, older account already had:
  // they keep their coins but no login reaches them. Filled by the upgrade at open.
  const std::vector<std::string>& UnreachableAfterUpgrade() const { return unreachable_; }

  // The first of `count` consecutive goods numbers, stored before it is
  // returned. Goods numbers never repeat, across restarts too. 0 on failure.
  std::uint32_t AllocateGoodsNumber(std::uint32_t count = 1);

  // A lot opened for sale; its id, or 0 on failure.
  long long OpenLot(const LotRow& lot);
  // Takes cost coins from the player and records the purchase, or nothing.
  PurchaseStatus Purchase(long long lotId, std::uint32_t playerId, std::uint32_t shares, long long cost,
                          const std::string& buyTime, long long* newCoins);
  // Stores purchases of one lot in one transaction, in order, so that a durable store pays one
  // sync for all of them. A purchase its player cannot pay for is marked and skipped; the others
  // stay. False when the transaction failed: then nothing of the group was stored.
  bool PurchaseGroup(long long lotId, std::vector<GroupPurchase>& group);
  bool CloseWon(long long lotId, std::uint32_t winnerId, std::uint32_t winnerShares, const std::string& drawTime);
  // Returns every buyer's coins; the new balances of those refunded.
  std::optional<std::vector<Balance>> CloseFailed(long long lotId, const std::string& drawTime);
  // Lots a previous run left open (it stopped mid-sale).
  std::vector<long long> OpenLotIds();

  // Won lots, newest first.
  std::vector<WinRow> RecentWins(std::size_t limit);
  // The player's purchases, newest first.
  std::vector<PurchaseRow> PlayerPurchases(std::uint32_t playerId, std::size_t limit);

  // What each buyer of a lot is owed when it is refunded (before CloseFailed).
  std::vector<RefundDue> RefundsDue(long long lotId);
  // Relief for a broke player (never a simulated one): coins raised to `coins`, the grant
  // counted. The coins granted, or nothing when the player has that much already.
  std::optional<long long> TopUpCoins(std::uint32_t playerId, long long coins);

  // Audit figures: coins held by all players, coins paid for lots not refunded, coins granted
  // as relief (players' starting grants are not counted here).
  long long SumCoins();
  long long SumPaid();
  long long SumGranted();

  // Why the last operation failed ("database is locked", ...), for logs.
  std::string LastError() const { return db_.LastError(); }

 private:
  Store() = default;
  bool Init(const std::string& path, bool durable, std::uint32_t busyWaitMs, std::string* error);
  bool Check(std::string* error);
  std::optional<PlayerRow> ReadPlayer(SqliteStatement& st);
  // Adds the account columns to a database from before accounts had passwords.
  bool UpgradeAccounts(std::string* error);

  OwnerLock owner_;  // released after the database is closed
  SqliteDatabase db_;
  std::vector<std::string> unreachable_;
  SqliteStatement findPlayer_, findPlayerByName_, findPlayerByKey_, claimPassword_, setPassword_, insertPlayer_, nextNumber_, insertLot_, takeCoins_,
      insertPurchase_, closeWon_, refundCoins_, markRefunded_, closeFailed_, refundedBalances_, openLots_,
      recentWins_, playerPurchases_, sumCoins_, sumPaid_, refundsDue_, topUp_, addGranted_, sumGranted_;
};

}  // namespace velsrv
