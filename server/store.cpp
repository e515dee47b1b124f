#include "server/store.h"

#include <set>

#include "server/nickname.h"
#include "server/sqlitetransaction.h"

namespace velsrv {

namespace {

constexpr long long kLotOpen = 1;
constexpr long long kLotWon = 2;
constexpr long long kLotFailed = 3;

const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value INTEGER NOT NULL);
INSERT OR IGNORE INTO meta(key, value) VALUES('goods_number', 0);
INSERT OR IGNORE INTO meta(key, value) VALUES('granted', 0);
CREATE TABLE IF NOT EXISTS players(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  nickname BLOB NOT NULL UNIQUE,
  coins INTEGER NOT NULL CHECK(coins >= 0),
  bank INTEGER NOT NULL DEFAULT 0,
  bot INTEGER NOT NULL DEFAULT 0,
  name_key TEXT,
  password_hash TEXT);
CREATE TABLE IF NOT EXISTS lots(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  goods_number INTEGER NOT NULL,
  goods_id INTEGER NOT NULL,
  goods_name BLOB NOT NULL,
  goods_value INTEGER NOT NULL,
  total_shares INTEGER NOT NULL,
  share_price INTEGER NOT NULL,
  state INTEGER NOT NULL,
  winner_id INTEGER REFERENCES players(id),
  winner_shares INTEGER NOT NULL DEFAULT 0,
  draw_time TEXT NOT NULL DEFAULT '');
CREATE INDEX IF NOT EXISTS lots_state ON lots(state, id);
CREATE TABLE IF NOT EXISTS purchases(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  lot_id INTEGER NOT NULL REFERENCES lots(id),
  player_id INTEGER NOT NULL REFERENCES players(id),
  shares INTEGER NOT NULL CHECK(shares > 0),
  coins INTEGER NOT NULL CHECK(coins >= 0),
  buy_time TEXT NOT NULL,
  refunded INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS purchases_player ON purchases(player_id, id);
CREATE INDEX IF NOT EXISTS purchases_lot ON purchases(lot_id);
)sql";

// After the upgrade of an older database, so that the column exists.
const char* const kAccountIndex = "CREATE UNIQUE INDEX IF NOT EXISTS players_key ON players(name_key)";

const char* const kPlayerColumns = "SELECT id, nickname, coins, bank, bot, password_hash FROM players ";

struct StatementSql {
  SqliteStatement Store::*member;
  const char* sql;
};

}  // namespace

std::unique_ptr<Store> Store::Open(const std::string& path, bool durable, std::string* error,
                                   std::uint32_t busyWaitMs) {
  std::unique_ptr<Store> store(new Store());
  if (!store->Init(path, durable, busyWaitMs, error)) return nullptr;
  return store;
}

// Reads the whole file's structure; a damaged database is refused before
// anything is written to it, or sales would go on over broken tables.
bool Store::Check(std::string* error) {
  SqliteStatement check;
  if (!check.Prepare(db_, "PRAGMA quick_check(5)", error)) {
    if (error) *error = "not a usable database (" + *error + "); nothing was written to it";
    return false;
  }
  std::string problems;
  while (check.Step()) {
    const std::string line = check.Bytes(0);
    if (line == "ok") return true;
    problems += (problems.empty() ? "" : "; ") + line;
  }
  if (!check.Done()) problems = db_.LastError();
  if (error) *error = "damaged database (quick_check: " + problems + "); refused, nothing was written to it";
  return false;
}

bool Store::Init(const std::string& path, bool durable, std::uint32_t busyWaitMs, std::string* error) {
  const bool inMemory = path.empty() || path == ":memory:";
  if (!inMemory && !owner_.Acquire(path, error)) return false;
  if (!db_.Open(path, error, busyWaitMs)) return false;
  if (!Check(error)) return false;
  // WAL keeps readers and the single writer apart and survives a crash of the process.
  if (!db_.Exec("PRAGMA journal_mode=WAL", error)) return false;
  if (!db_.Exec(durable ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL", error)) return false;
  if (!db_.Exec("PRAGMA foreign_keys=ON", error)) return false;
  if (!db_.Exec(kSchema, error)) return false;
  if (!UpgradeAccounts(error)) return false;
  if (!db_.Exec(kAccountIndex, error)) return false;

  const std::string byId = std::string(kPlayerColumns) + "WHERE id = ?1";
  const std::string byName = std::string(kPlayerColumns) + "WHERE nickname = ?1";
  const std::string byKey = std::string(kPlayerColumns) + "WHERE name_key = ?1";
  const StatementSql statements[] = {
      {&Store::findPlayer_, byId.c_str()},
      {&Store::findPlayerByName_, byName.c_str()},
      {&Store::findPlayerByKey_, byKey.c_str()},
      {&Store::claimPassword_, "UPDATE players SET password_hash = ?2 WHERE id = ?1 AND password_hash IS NULL"},
      {&Store::setPassword_, "UPDATE players SET password_hash = ?2 WHERE id = ?1"},
      {&Store::insertPlayer_,
       "INSERT INTO players(nickname, coins, bot, name_key, password_hash) VALUES(?1, ?2, ?3, ?4, ?5)"},
      {&Store::nextNumber_, "UPDATE meta SET value = value + ?1 WHERE key = 'goods_number' RETURNING value"},
      {&Store::insertLot_,
       "INSERT INTO lots(goods_number, goods_id, goods_name, goods_value, total_shares, share_price, state) "
       "VALUES(?1, ?2, ?3, ?4, ?5, ?6, 1)"},
      {&Store::takeCoins_, "UPDATE players SET coins = coins - ?2 WHERE id = ?1 AND coins >= ?2"},
      {&Store::insertPurchase_,
       "INSERT INTO purchases(lot_id, player_id, shares, coins, buy_time) VALUES(?1, ?2, ?3, ?4, ?5)"},
      {&Store::closeWon_,
       "UPDATE lots SET state = 2, winner_id = ?2, winner_shares = ?3, draw_time = ?4 WHERE id = ?1 AND state = 1"},
      {&Store::refundCoins_,
       "UPDATE players SET coins = coins + (SELECT COALESCE(SUM(coins), 0) FROM purchases "
       "WHERE lot_id = ?1 AND player_id = players.id AND refunded = 0) "
       "WHERE id IN (SELECT player_id FROM purchases WHERE lot_id = ?1 AND refunded = 0)"},
      {&Store::refundedBalances_,
       "SELECT DISTINCT p.id, p.coins FROM players p JOIN purchases u ON u.player_id = p.id "
       "WHERE u.lot_id = ?1 AND u.refunded = 0 ORDER BY p.id"},
      {&Store::markRefunded_, "UPDATE purchases SET refunded = 1 WHERE lot_id = ?1"},
      {&Store::closeFailed_, "UPDATE lots SET state = 3, draw_time = ?2 WHERE id = ?1 AND state = 1"},
      {&Store::openLots_, "SELECT id FROM lots WHERE state = 1 ORDER BY id"},
      {&Store::recentWins_,
       "SELECT l.id, l.goods_number, l.goods_name, p.nickname, l.winner_shares, l.draw_time "
       "FROM lots l JOIN players p ON p.id = l.winner_id WHERE l.state = 2 ORDER BY l.id DESC LIMIT ?1"},
      {&Store::playerPurchases_,
       "SELECT u.id, l.goods_id, u.shares, u.buy_time, l.goods_name, l.goods_value "
       "FROM purchases u JOIN lots l ON l.id = u.lot_id WHERE u.player_id = ?1 ORDER BY u.id DESC LIMIT ?2"},
      {&Store::sumCoins_, "SELECT COALESCE(SUM(coins), 0) FROM players"},
      {&Store::sumPaid_, "SELECT COALESCE(SUM(coins), 0) FROM purchases WHERE refunded = 0"},
      {&Store::refundsDue_,
       "SELECT u.player_id, l.goods_number, SUM(u.coins) FROM purchases u JOIN lots l ON l.id = u.lot_id "
       "WHERE u.lot_id = ?1 AND u.refunded = 0 GROUP BY u.player_id ORDER BY u.player_id"},
      {&Store::topUp_, "UPDATE players SET coins = ?2 WHERE id = ?1 AND coins < ?2 AND bot = 0"},
      {&Store::addGranted_, "UPDATE meta SET value = value + ?1 WHERE key = 'granted'"},
      {&Store::sumGranted_, "SELECT value FROM meta WHERE key = 'granted'"},
  };
  for (const StatementSql& s : statements) {
    if (!(this->*s.member).Prepare(db_, s.sql, error)) return false;
  }
  static_assert(kLotOpen == 1 && kLotWon == 2 && kLotFailed == 3, "the statements above spell the states out");
  return true;
}

std::optional<PlayerRow> Store::ReadPlayer(SqliteStatement& st) {
  if (!st.Step()) return std::nullopt;
  PlayerRow row;
  row.id = static_cast<std::uint32_t>(st.Int(0));
  row.nickname = st.Bytes(1);
  row.coins = st.Int(2);
  row.bankCoins = st.Int(3);
  row.bot = st.Int(4) != 0;
  row.passwordHash = st.Bytes(5);
  return row;
}

bool Store::UpgradeAccounts(std::string* error) {
  bool hasKey = false;
  {
    SqliteStatement columns;
    if (!columns.Prepare(db_, "SELECT name FROM pragma_table_info('players')", error)) return false;
    while (columns.Step()) hasKey = hasKey || columns.Bytes(0) == "name_key";
  }
  if (hasKey) return true;
  SqliteTransaction tx(db_);
  if (!tx.Began()) {
    if (error) *error = db_.LastError();
    return false;
  }
  if (!db_.Exec("ALTER TABLE players ADD COLUMN name_key TEXT", error)) return false;
  if (!db_.Exec("ALTER TABLE players ADD COLUMN password_hash TEXT", error)) return false;
  SqliteStatement all;
  SqliteStatement setKey;
  if (!all.Prepare(db_, "SELECT id, nickname FROM players ORDER BY id", error)) return false;
  if (!setKey.Prepare(db_, "UPDATE players SET name_key = ?2 WHERE id = ?1", error)) return false;
  // The oldest account keeps a normal form that several names share: it is the one players
  // knew first; the later look-alikes lose their login but not their coins or history.
  std::set<std::string> taken;
  while (all.Step()) {
    const std::string nickname = all.Bytes(1);
    const auto key = NicknameKey(nickname);
    if (!key || !taken.insert(*key).second) {
      unreachable_.push_back(nickname);
      continue;
    }
    if (!setKey.Reset().Bind(1, all.Int(0)).BindText(2, *key).Run()) {
      if (error) *error = db_.LastError();
      return false;
    }
  }
  if (!all.Done() || !tx.Commit()) {
    if (error) *error = db_.LastError();
    return false;
  }
  return true;
}

std::optional<PlayerRow> Store::FindPlayer(std::uint32_t id) {
  auto row = ReadPlayer(findPlayer_.Reset().Bind(1, id));
  findPlayer_.Reset();
  return row;
}

std::optional<PlayerRow> Store::FindPlayerByName(const std::string& nicknameGbk) {
  auto row = ReadPlayer(findPlayerByName_.Reset().BindBlob(1, nicknameGbk));
  findPlayerByName_.Reset();
  return row;
}

std::optional<PlayerRow> Store::FindPlayerByKey(const std::string& key) {
  auto row = ReadPlayer(findPlayerByKey_.Reset().BindText(1, key));
  findPlayerByKey_.Reset();
  return row;
}

bool Store::ClaimPassword(std::uint32_t playerId, const std::string& passwordHash) {
  return claimPassword_.Reset().Bind(1, playerId).BindText(2, passwordHash).Run() && db_.Changes() == 1;
}

bool Store::SetPassword(std::uint32_t playerId, const std::string& passwordHash) {
  return setPassword_.Reset().Bind(1, playerId).BindText(2, passwordHash).Run() && db_.Changes() == 1;
}

std::optional<PlayerRow> Store::CreatePlayer(const std::string& nicknameGbk, long long coins, bool bot,
                                             const std::string& passwordHash) {
  const auto key = NicknameKey(nicknameGbk);
  if (!key) return std::nullopt;
  insertPlayer_.Reset().BindBlob(1, nicknameGbk).Bind(2, coins).Bind(3, bot ? 1 : 0).BindText(4, *key);
  if (passwordHash.empty()) insertPlayer_.BindNull(5);
  else insertPlayer_.BindText(5, passwordHash);
  if (!insertPlayer_.Run()) return std::nullopt;
  PlayerRow row;
  row.id = static_cast<std::uint32_t>(db_.LastInsertId());
  row.nickname = nicknameGbk;
  row.coins = coins;
  row.bot = bot;
  row.passwordHash = passwordHash;
  return row;
}

std::uint32_t Store::AllocateGoodsNumber(std::uint32_t count) {
  if (count == 0) return 0;
  long long last = 0;
  if (nextNumber_.Reset().Bind(1, count).Step()) last = nextNumber_.Int(0);
  // The row comes before the statement ends; only a finished run is stored.
  const bool stored = last != 0 && !nextNumber_.Step() && nextNumber_.Done();
  nextNumber_.Reset();
  if (!stored || last < count || last > 0xFFFFFFFFll) return 0;
  return static_cast<std::uint32_t>(last - count + 1);
}

long long Store::OpenLot(const LotRow& lot) {
  if (!insertLot_.Reset()
           .Bind(1, lot.goodsNumber)
           .Bind(2, lot.goodsId)
           .BindBlob(3, lot.goodsName)
           .Bind(4, lot.goodsValue)
           .Bind(5, lot.totalShares)
           .Bind(6, lot.sharePrice)
           .Run())
    return 0;
  return db_.LastInsertId();
}

Store::PurchaseStatus Store::Purchase(long long lotId, std::uint32_t playerId, std::uint32_t shares, long long cost,
                                      const std::string& buyTime, long long* newCoins) {
  std::vector<GroupPurchase> one(1);
  one[0].playerId = playerId;
  one[0].shares = shares;
  one[0].cost = cost;
  one[0].buyTime = buyTime;
  if (!PurchaseGroup(lotId, one)) return PurchaseStatus::Failed;
  if (one[0].coinsShort) return PurchaseStatus::CoinsShort;
  if (newCoins) *newCoins = one[0].newCoins;
  return PurchaseStatus::Ok;
}

bool Store::PurchaseGroup(long long lotId, std::vector<GroupPurchase>& group) {
  if (group.empty()) return true;
  SqliteTransaction tx(db_);
  if (!tx.Began()) return false;
  for (GroupPurchase& p : group) {
    if (!takeCoins_.Reset().Bind(1, p.playerId).Bind(2, p.cost).Run()) return false;
    // An update that matched no row wrote nothing: the rest of the group stands.
    p.coinsShort = db_.Changes() != 1;
    if (p.coinsShort) continue;
    if (!insertPurchase_.Reset().Bind(1, lotId).Bind(2, p.playerId).Bind(3, p.shares).Bind(4, p.cost).BindText(5, p.buyTime).Run())
      return false;
    auto player = FindPlayer(p.playerId);
    if (!player) return false;
    p.newCoins = player->coins;
  }
  return tx.Commit();
}

bool Store::CloseWon(long long lotId, std::uint32_t winnerId, std::uint32_t winnerShares, const std::string& drawTime) {
  return closeWon_.Reset().Bind(1, lotId).Bind(2, winnerId).Bind(3, winnerShares).BindText(4, drawTime).Run() &&
         db_.Changes() == 1;
}

std::optional<std::vector<Balance>> Store::CloseFailed(long long lotId, const std::string& drawTime) {
  SqliteTransaction tx(db_);
  if (!tx.Began()) return std::nullopt;
  if (!refundCoins_.Reset().Bind(1, lotId).Run()) return std::nullopt;
  std::vector<Balance> balances;
  refundedBalances_.Reset().Bind(1, lotId);
  while (refundedBalances_.Step()) {
    balances.push_back({static_cast<std::uint32_t>(refundedBalances_.Int(0)), refundedBalances_.Int(1)});
  }
  if (!refundedBalances_.Done()) return std::nullopt;
  if (!markRefunded_.Reset().Bind(1, lotId).Run()) return std::nullopt;
  if (!closeFailed_.Reset().Bind(1, lotId).BindText(2, drawTime).Run()) return std::nullopt;
  if (!tx.Commit()) return std::nullopt;
  return balances;
}

std::vector<long long> Store::OpenLotIds() {
  std::vector<long long> ids;
  openLots_.Reset();
  while (openLots_.Step()) ids.push_back(openLots_.Int(0));
  openLots_.Reset();
  return ids;
}

std::vector<WinRow> Store::RecentWins(std::size_t limit) {
  std::vector<WinRow> rows;
  recentWins_.Reset().Bind(1, static_cast<long long>(limit));
  while (recentWins_.Step()) {
    WinRow r;
    r.lotId = recentWins_.Int(0);
    r.goodsNumber = static_cast<std::uint32_t>(recentWins_.Int(1));
    r.goodsName = recentWins_.Bytes(2);
    r.winnerName = recentWins_.Bytes(3);
    r.winnerShares = static_cast<std::uint32_t>(recentWins_.Int(4));
    r.drawTime = recentWins_.Bytes(5);
    rows.push_back(std::move(r));
  }
  recentWins_.Reset();
  return rows;
}

std::vector<PurchaseRow> Store::PlayerPurchases(std::uint32_t playerId, std::size_t limit) {
  std::vector<PurchaseRow> rows;
  playerPurchases_.Reset().Bind(1, playerId).Bind(2, static_cast<long long>(limit));
  while (playerPurchases_.Step()) {
    PurchaseRow r;
    r.purchaseId = playerPurchases_.Int(0);
    r.goodsId = static_cast<std::uint32_t>(playerPurchases_.Int(1));
    r.shares = static_cast<std::uint32_t>(playerPurchases_.Int(2));
    r.buyTime = playerPurchases_.Bytes(3);
    r.goodsName = playerPurchases_.Bytes(4);
    r.goodsValue = static_cast<std::uint32_t>(playerPurchases_.Int(5));
    rows.push_back(std::move(r));
  }
  playerPurchases_.Reset();
  return rows;
}

long long Store::SumCoins() {
  long long sum = sumCoins_.Reset().Step() ? sumCoins_.Int(0) : -1;
  sumCoins_.Reset();
  return sum;
}

std::vector<RefundDue> Store::RefundsDue(long long lotId) {
  std::vector<RefundDue> due;
  refundsDue_.Reset().Bind(1, lotId);
  while (refundsDue_.Step()) {
    due.push_back({static_cast<std::uint32_t>(refundsDue_.Int(0)), static_cast<std::uint32_t>(refundsDue_.Int(1)),
                   refundsDue_.Int(2)});
  }
  refundsDue_.Reset();
  return due;
}

std::optional<long long> Store::TopUpCoins(std::uint32_t playerId, long long coins) {
  SqliteTransaction tx(db_);
  if (!tx.Began()) return std::nullopt;
  auto before = FindPlayer(playerId);
  if (!before || before->bot || before->coins >= coins) return std::nullopt;
  if (!topUp_.Reset().Bind(1, playerId).Bind(2, coins).Run() || db_.Changes() != 1) return std::nullopt;
  if (!addGranted_.Reset().Bind(1, coins - before->coins).Run()) return std::nullopt;
  if (!tx.Commit()) return std::nullopt;
  return coins - before->coins;
}

long long Store::SumGranted() {
  long long sum = sumGranted_.Reset().Step() ? sumGranted_.Int(0) : -1;
  sumGranted_.Reset();
  return sum;
}

long long Store::SumPaid() {
  long long sum = sumPaid_.Reset().Step() ? sumPaid_.Int(0) : -1;
  sumPaid_.Reset();
  return sum;
}

}  // namespace velsrv
