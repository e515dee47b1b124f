// The store under pressure from outside: another process locking the
// database, a second server on the same file, a damaged file.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <thread>

#include "client/core/cmd_velmora.h"
#include "platform/net/framemessages.h"
#include "server/auction.h"
#include "server/store.h"
#include "tests/server/serverfixture.h"

namespace veltest {
namespace {

namespace net = plat::net;
using Item = CMD_GF_VELMORA_GOODS_ITEM;
using Ms = std::chrono::milliseconds;

std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

// Another connection holding the database, as sqlite3 or a backup tool would.
class ExternalLock {
 public:
  explicit ExternalLock(const std::string& path) {
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    held_ = sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  ~ExternalLock() {
    Release();
    sqlite3_close(db_);
  }
  bool Held() const { return held_; }
  void Release() {
    if (held_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    held_ = false;
  }

 private:
  sqlite3* db_ = nullptr;
  bool held_ = false;
};

int Buy(TestClient& c, std::uint32_t goodsId, std::uint32_t shares) {
  if (!c.SendRecord(MDM_GF_GAME, SUB_C_BUY, MakeBuyRequest(goodsId, shares))) return -1;
  auto rsp = c.WaitFor(MDM_GF_GAME, SUB_S_BUY_RESULT);
  return rsp ? rsp->As<CMD_GF_VELMORA_BUY_RSP>().result : -1;
}

std::vector<Item> EnterGoods(TestClient& c, std::uint16_t port, const std::string& name) {
  EXPECT_TRUE(c.Connect(port));
  EXPECT_TRUE(c.Login(name)) << name;
  auto scene = c.WaitFor(net::kMainScene, SCENE_STATUS_FREE);
  return scene ? scene->AsList<Item>() : std::vector<Item>();
}

Item LotOf(const std::vector<Item>& goods) {
  for (const Item& g : goods) {
    if (g.state == GOODS_STATE_SELLING) return g;
  }
  ADD_FAILURE() << "no lot on sale";
  return Item{};
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ContentionTest : public ServerFixture {
 protected:
  std::string Db() const { return dir_ + "/game.db"; }
};

// A 3 s lock while a new player logs in and another buys: only those
// operations fail, each after a bounded wait, and purchases are stored again
// within a second of the lock's end without anything else happening.
TEST_F(ContentionTest, ThreeSecondLockCostsOnlyTheOperationsItOverlapped) {
  StartServer();
  TestClient alice;
  const Item lot = LotOf(EnterGoods(alice, server_.Port(), "alice"));

  std::promise<bool> taken;
  std::atomic<std::uint64_t> releasedAt{0};
  std::thread holder([&] {
    ExternalLock lock(Db());
    taken.set_value(lock.Held());
    std::this_thread::sleep_for(Ms(3000));  // the lock another program holds, in real time
    lock.Release();
    releasedAt = NowMs();
  });
  const bool locked = taken.get_future().get();
  if (!locked) holder.join();
  ASSERT_TRUE(locked);

  TestClient carol;
  ASSERT_TRUE(carol.Connect(server_.Port()));
  EXPECT_FALSE(carol.Login("carol"));  // a new player cannot be stored now
  EXPECT_TRUE(carol.WaitFor(net::kMainLogin, net::kSubLoginRefused, 100));

  // Purchases during the lock fail one by one, each answered within the wait.
  int failed = 0;
  std::uint64_t storedAt = 0;
  const std::uint64_t giveUpAt = NowMs() + 5000;
  while (storedAt == 0 && NowMs() < giveUpAt) {
    const std::uint64_t asked = NowMs();
    const int code = Buy(alice, lot.goodsId, 3);
    if (code == BUY_RESULT_OK) {
      storedAt = NowMs();
    } else {
      ASSERT_EQ(code, velsrv::BUY_RESULT_SERVER_ERROR);
      EXPECT_LT(NowMs() - asked, 1500u) << "a purchase waited too long for the lock";
      ++failed;
      std::this_thread::sleep_for(Ms(50));
    }
  }
  holder.join();
  EXPECT_GT(failed, 3);
  ASSERT_NE(storedAt, 0u) << "no purchase was stored after the lock ended";
  EXPECT_LT(storedAt - releasedAt.load(), 1000u);

  // Everything works again, the new login included; only the stored purchase moved coins.
  TestClient dave;
  ASSERT_TRUE(dave.Connect(server_.Port()));
  EXPECT_TRUE(dave.Login("dave"));
  EXPECT_EQ(Buy(alice, lot.goodsId, 3), BUY_RESULT_OK);
  server_.Inspect([&](velsrv::Auction&, velsrv::Store& db) {
    EXPECT_EQ(db.SumPaid(), 6 * static_cast<long long>(kPrice));
    EXPECT_EQ(db.SumCoins() + db.SumPaid(), 2 * 1000000);
  });
}

// The lock overlaps the end of a lot and the opening of the next: the close
// is announced, the refund waits for the store, and no lot opens (nothing is
// announced) until it can be stored; then the game resumes by itself.
TEST_F(ContentionTest, LotThatCannotBeStoredDoesNotOpenUntilTheStoreIsBack) {
  velsrv::ServerOptions o = Options();
  o.busyWaitMs = 20;
  StartServer(o);
  TestClient alice;
  const Item lot = LotOf(EnterGoods(alice, server_.Port(), "alice"));
  ASSERT_EQ(Buy(alice, lot.goodsId, 3), BUY_RESULT_OK);
  alice.ClearInbox();
  {
    ExternalLock lock(Db());
    ASSERT_TRUE(lock.Held());
    AdvanceSeconds(kLotSeconds);  // time over: the lot fails, its refund cannot be stored yet
    EXPECT_TRUE(alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_RESULT));
    AdvanceSeconds(kPauseSeconds);
    AdvanceSeconds(1);
    ASSERT_TRUE(alice.Sync());
    EXPECT_EQ(alice.Count(MDM_GF_GAME, SUB_S_AUCTION_START), 0u);
    EXPECT_EQ(alice.Count(MDM_GF_GAME, SUB_S_EXCHANGE_GOODS), 0u);
    EXPECT_EQ(alice.Count(MDM_GF_GAME, SUB_S_GOODS_LIST), 0u);
    EXPECT_EQ(Buy(alice, lot.goodsId, 3), BUY_RESULT_NO_AUCTION_GOODS);
    server_.Inspect([](velsrv::Auction& game, velsrv::Store&) { EXPECT_EQ(game.PendingRefunds(), 1u); });
  }
  alice.ClearInbox();
  clock_.Advance(500);
  server_.Tick();
  auto start = alice.WaitFor(MDM_GF_GAME, SUB_S_AUCTION_START);
  ASSERT_TRUE(start);
  auto coins = alice.WaitFor(net::kMainLogin, net::kSubUserRecord);
  ASSERT_TRUE(coins);
  EXPECT_EQ(coins->As<net::NetUserRecord>().coins, 1000000u);  // the refund reached her
  server_.Inspect([](velsrv::Auction& game, velsrv::Store& db) {
    EXPECT_EQ(game.PendingRefunds(), 0u);
    EXPECT_EQ(db.SumPaid(), 0);
    EXPECT_TRUE(game.CurrentLot());
  });
}

// A player entering while no number can be stored must not see numbers that a
// restart would hand out again.
TEST_F(ContentionTest, NoGoodsNumberIsAnnouncedTwiceAcrossARestart) {
  std::ofstream(dir_ + "/goods.xml") << UniformGoodsXml(7);  // nothing waits: a new batch follows each lot
  velsrv::ServerOptions o = Options();
  o.busyWaitMs = 20;
  std::map<std::uint32_t, std::uint32_t> seen;  // goods number -> goods id
  auto note = [&](const std::vector<Item>& goods) {
    for (const Item& g : goods) {
      auto [it, fresh] = seen.emplace(g.goodsNumber, g.goodsId);
      EXPECT_TRUE(fresh || it->second == g.goodsId) << "goods number " << g.goodsNumber << " announced twice";
    }
  };
  StartServer(o);
  {
    TestClient alice, bob;
    note(EnterGoods(alice, server_.Port(), "alice"));
    ExternalLock lock(Db());
    ASSERT_TRUE(lock.Held());
    AdvanceSeconds(kLotSeconds);
    AdvanceSeconds(kPauseSeconds);
    note(EnterGoods(bob, server_.Port(), "alice"));  // an existing player can still enter
    server_.Stop();
  }
  StartServer(o);
  TestClient carol;
  const auto after = EnterGoods(carol, server_.Port(), "carol");
  ASSERT_EQ(after.size(), MAX_LISTED_GOODS);
  for (const Item& g : after) EXPECT_EQ(seen.count(g.goodsNumber), 0u) << g.goodsNumber << " handed out again";
}

TEST_F(ContentionTest, SecondServerOnTheSameDatabaseIsRefused) {
  StartServer();
  velsrv::Server second;
  std::string error;
  velsrv::ServerOptions o = Options();
  EXPECT_FALSE(second.Start(0, o, &error));
  EXPECT_NE(error.find(Db()), std::string::npos) << error;
  EXPECT_NE(error.find("in use by another server"), std::string::npos) << error;
  // The same file through another path is the same database.
  ASSERT_EQ(::symlink(Db().c_str(), (dir_ + "/alias.db").c_str()), 0);
  o.dbPath = dir_ + "/alias.db";
  EXPECT_FALSE(second.Start(0, o, &error));

  // The program exits at once, non-zero, naming the database and the reason.
  const std::string command = std::string(VELMORA_SERVER_PROGRAM) + " --port 0 --quiet --goods " + dir_ +
                              "/goods.xml --db " + Db() + " 2>&1";
  FILE* program = ::popen(command.c_str(), "r");
  ASSERT_NE(program, nullptr);
  char text[512] = {};
  const std::size_t got = std::fread(text, 1, sizeof(text) - 1, program);
  const int status = ::pclose(program);
  const std::string output(text, got);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_NE(output.find(Db()), std::string::npos) << output;
  EXPECT_NE(output.find("in use by another server (process " + std::to_string(::getpid()) + ")"),
            std::string::npos)
      << output;

  // The first one kept going; once it stops, the database is free again.
  TestClient alice;
  EXPECT_EQ(Buy(alice, LotOf(EnterGoods(alice, server_.Port(), "alice")).goodsId, 3), BUY_RESULT_OK);
  server_.Stop();
  EXPECT_TRUE(second.Start(0, Options(), &error)) << error;
}

// kill -9 in the middle of a sale: the lock dies with the process (no stale
// owner), and the next start refunds the open lot so no coin is lost.
TEST_F(ContentionTest, KilledServerLeavesNoStaleOwnerAndLosesNoCoin) {
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  const std::string goods = dir_ + "/goods.xml";
  const std::string db = Db();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    ::execl(VELMORA_SERVER_PROGRAM, VELMORA_SERVER_PROGRAM, "--port", "0", "--plain", "--quiet", "--bots", "0",
            "--goods", goods.c_str(), "--db", db.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  // "velmora-server listening on 127.0.0.1:PORT"
  std::string printed;
  char chunk[256];
  ssize_t got = 0;
  while (printed.find('\n', printed.find("listening on ")) == std::string::npos &&
         (got = ::read(out[0], chunk, sizeof(chunk))) > 0)
    printed.append(chunk, static_cast<std::size_t>(got));
  ::close(out[0]);
  const std::size_t at = printed.find("listening on ");
  const std::size_t colon = at == std::string::npos ? at : printed.find(':', at);
  const int port = colon == std::string::npos ? 0 : std::atoi(printed.c_str() + colon + 1);
  if (port <= 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    FAIL() << "the server program did not start: " << printed;
  }
  {
    TestClient alice;
    const Item lot = LotOf(EnterGoods(alice, static_cast<std::uint16_t>(port), "alice"));
    EXPECT_EQ(Buy(alice, lot.goodsId, 3), BUY_RESULT_OK);
    EXPECT_EQ(Buy(alice, lot.goodsId, 4), BUY_RESULT_OK);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
  StartServer();
  server_.Inspect([](velsrv::Auction&, velsrv::Store& db) {
    auto alice = db.FindPlayer(1);
    ASSERT_TRUE(alice);
    EXPECT_EQ(alice->coins, 1000000);  // the open lot was refunded at the start
    EXPECT_EQ(db.SumPaid(), 0);
  });
}

TEST_F(ContentionTest, DatabaseLockedAtStartIsRefusedAfterABoundedWait) {
  StartServer();
  server_.Stop();
  ExternalLock lock(Db());
  ASSERT_TRUE(lock.Held());
  std::string error;
  const std::uint64_t asked = NowMs();
  EXPECT_FALSE(server_.Start(0, Options(), &error));
  EXPECT_LT(NowMs() - asked, 3000u);
  EXPECT_NE(error.find("locked"), std::string::npos) << error;
  lock.Release();
  EXPECT_TRUE(server_.Start(0, Options(), &error)) << error;
}

TEST_F(ContentionTest, DamagedDatabaseIsRefusedAndLeftUntouched) {
  StartServer();
  {
    TestClient alice;
    EnterGoods(alice, server_.Port(), "alice");
  }
  server_.Stop();
  std::string bytes = ReadFile(Db());
  ASSERT_GE(bytes.size(), 3 * 4096u);
  for (std::size_t i = 4096; i < 2 * 4096; ++i) bytes[i] = static_cast<char>(0xA5 ^ (i * 7));
  std::ofstream(Db(), std::ios::binary | std::ios::trunc) << bytes;

  std::string error;
  EXPECT_FALSE(server_.Start(0, Options(), &error));
  EXPECT_NE(error.find(Db()), std::string::npos) << error;
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  EXPECT_EQ(ReadFile(Db()), bytes);
  EXPECT_FALSE(std::ifstream(Db() + "-wal").good());

  // Not a database at all: refused the same way.
  std::ofstream(Db(), std::ios::binary | std::ios::trunc) << std::string(8192, 'x');
  EXPECT_FALSE(server_.Start(0, Options(), &error));
  EXPECT_NE(error.find(Db()), std::string::npos) << error;
  EXPECT_EQ(ReadFile(Db()), std::string(8192, 'x'));
}

}  // namespace
}  // namespace veltest
