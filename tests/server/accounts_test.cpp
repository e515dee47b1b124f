// Accounts: nickname normal forms, the login limits on a manual clock, passwords through the
// real server, and the upgrade of a database from before passwords.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "client/core/cmd_velmora.h"
#include "platform/net/framemessages.h"
#include "server/accountdesk.h"
#include "server/gbktext.h"
#include "server/loginlimiter.h"
#include "testing/fakeclock.h"
#include "server/nickname.h"
#include "server/passwordhash.h"
#include "server/sqlitedatabase.h"
#include "server/store.h"
#include "tests/server/serverfixture.h"

namespace veltest {
namespace {

namespace net = plat::net;

std::string Gbk(const std::string& utf8) { return velsrv::Utf8ToGbk(utf8).value(); }

std::optional<std::string> KeyOf(const std::string& utf8) { return velsrv::NicknameKey(Gbk(utf8)); }

TEST(NicknameKey, LookAlikesShareOneForm) {
  for (const char* name : {"bob", "Bob", "BOB", "bob ", "  bob", "\u3000bob\u3000", "ｂｏｂ", "ＢＯＢ", " Ｂob　"})
    EXPECT_EQ(KeyOf(name), std::optional<std::string>("bob")) << name;
  // Full-width digits and signs fold too; other text is kept as it is.
  EXPECT_EQ(KeyOf("Ａ１！～"), std::optional<std::string>("a1!~"));
  EXPECT_EQ(KeyOf("快乐小熊"), std::optional<std::string>("快乐小熊"));
  // Only the surrounding spaces go: inner ones make another name.
  EXPECT_EQ(KeyOf("b ob"), std::optional<std::string>("b ob"));
  EXPECT_NE(KeyOf("b\u3000ob"), KeyOf("bob"));
}

TEST(NicknameKey, BlankOrInvalidNamesHaveNoForm) {
  EXPECT_FALSE(KeyOf(""));
  EXPECT_FALSE(KeyOf("   "));
  EXPECT_FALSE(KeyOf("\u3000\u3000\u3000"));
  EXPECT_FALSE(KeyOf(" \u3000 "));
  EXPECT_FALSE(velsrv::NicknameKey(std::string("\x81\x20", 2)));  // not GBK
}

TEST(PasswordHash, Argon2idRoundTrip) {
  const auto hash = velsrv::HashPassword("open sesame", velsrv::PasswordCost::Minimal());
  ASSERT_TRUE(hash);
  EXPECT_TRUE(velsrv::IsPasswordHash(*hash));
  EXPECT_EQ(hash->find("open sesame"), std::string::npos);
  EXPECT_TRUE(velsrv::VerifyPassword(*hash, "open sesame"));
  EXPECT_FALSE(velsrv::VerifyPassword(*hash, "open sesamE"));
  EXPECT_FALSE(velsrv::VerifyPassword("", "open sesame"));
  EXPECT_FALSE(velsrv::VerifyPassword("$argon2id$garbage", "open sesame"));
  // The same password hashes differently every time (a salt of its own).
  EXPECT_NE(velsrv::HashPassword("open sesame", velsrv::PasswordCost::Minimal()), hash);
}

class LimiterTest : public ::testing::Test {
 protected:
  LimiterTest() : limiter_(clock_, Limits()) {}
  static velsrv::LoginLimits Limits() {
    velsrv::LoginLimits l;
    l.address = {3, 1000, 8000};
    l.account = {2, 1000, 4000};
    l.forgetMs = 60000;
    l.newAccountBurst = 2;
    l.newAccountRefillMs = 10000;
    l.maxEntries = 8;
    return l;
  }
  plat::FakeClock clock_;
  velsrv::LoginLimiter limiter_;
};

TEST_F(LimiterTest, FailuresPerAccountGrowTheDelayUpToItsCap) {
  limiter_.RecordFailure("10.0.0.1", "alice");
  limiter_.RecordFailure("10.0.0.2", "alice");
  EXPECT_EQ(limiter_.WaitMs("10.0.0.3", "alice"), 0u);  // the free failures
  std::uint64_t expected[] = {1000, 2000, 4000, 4000};
  for (std::uint64_t delay : expected) {
    limiter_.RecordFailure("10.0.0." + std::to_string(delay), "alice");
    EXPECT_EQ(limiter_.WaitMs("10.0.0.9", "alice"), delay);
    EXPECT_EQ(limiter_.WaitMs("10.0.0.9", "bob"), 0u);  // other accounts are not held up
    clock_.Advance(delay - 1);
    EXPECT_EQ(limiter_.WaitMs("10.0.0.9", "alice"), 1u);
    clock_.Advance(1);
    EXPECT_EQ(limiter_.WaitMs("10.0.0.9", "alice"), 0u);
  }
  // The right password clears the account's count.
  limiter_.RecordSuccess("alice");
  limiter_.RecordFailure("10.0.0.7", "alice");
  EXPECT_EQ(limiter_.WaitMs("10.0.0.7", "alice"), 0u);
}

TEST_F(LimiterTest, FailuresPerAddressSpanAccountsAndAreForgottenAfterAQuietSpell) {
  for (int i = 0; i < 4; ++i) limiter_.RecordFailure("10.0.0.1", "user" + std::to_string(i));
  EXPECT_EQ(limiter_.WaitMs("10.0.0.1", "someone"), 1000u);
  EXPECT_EQ(limiter_.WaitMs("10.0.0.2", "someone"), 0u);
  // A success on its own account does not wipe the address's guesses.
  limiter_.RecordSuccess("user0");
  EXPECT_EQ(limiter_.WaitMs("10.0.0.1", "user0"), 1000u);
  clock_.Advance(60000);
  EXPECT_EQ(limiter_.WaitMs("10.0.0.1", "someone"), 0u);
  limiter_.RecordFailure("10.0.0.1", "user9");
  EXPECT_EQ(limiter_.WaitMs("10.0.0.1", "someone"), 0u);  // counting starts again
}

TEST_F(LimiterTest, NewAccountsPerAddressComeFromASlowBucket) {
  EXPECT_TRUE(limiter_.TakeNewAccount("10.0.0.1"));
  EXPECT_TRUE(limiter_.TakeNewAccount("10.0.0.1"));
  EXPECT_FALSE(limiter_.TakeNewAccount("10.0.0.1"));
  EXPECT_TRUE(limiter_.TakeNewAccount("10.0.0.2"));
  clock_.Advance(9999);
  EXPECT_FALSE(limiter_.TakeNewAccount("10.0.0.1"));
  clock_.Advance(1);
  EXPECT_TRUE(limiter_.TakeNewAccount("10.0.0.1"));
  EXPECT_FALSE(limiter_.TakeNewAccount("10.0.0.1"));
  limiter_.ReturnNewAccount("10.0.0.1");  // an account that could not be made after all
  EXPECT_TRUE(limiter_.TakeNewAccount("10.0.0.1"));
}

TEST_F(LimiterTest, TablesStayBoundedUnderAFloodOfAddresses) {
  for (int i = 0; i < 1000; ++i) {
    limiter_.RecordFailure("10.1." + std::to_string(i / 256) + "." + std::to_string(i % 256), "x" + std::to_string(i));
    limiter_.TakeNewAccount("10.2." + std::to_string(i / 256) + "." + std::to_string(i % 256));
  }
  EXPECT_LE(limiter_.Entries(), 3u * 8u);
}

TEST(AddressKey, Ipv6CountsByNetwork) {
  EXPECT_EQ(velsrv::AddressKey(std::string("192.168.1.20")), "192.168.1.20");
  EXPECT_EQ(velsrv::AddressKey(std::string("::ffff:192.168.1.20")), "192.168.1.20");
  EXPECT_EQ(velsrv::AddressKey(std::string("2001:db8:1:2:aaaa::1")),
            velsrv::AddressKey(std::string("2001:db8:1:2:bbbb::9")));
  EXPECT_NE(velsrv::AddressKey(std::string("2001:db8:1:2::1")),
            velsrv::AddressKey(std::string("2001:db8:1:3::1")));
}

class AccountTest : public ServerFixture {
 protected:
  // nullopt when admitted, else the server's reason (UTF-8).
  std::optional<std::string> Refusal(const std::string& nicknameUtf8, const std::string& password) {
    TestClient c;
    EXPECT_TRUE(c.Connect(server_.Port()));
    return RefusalOn(c, Gbk(nicknameUtf8), password);
  }
  std::optional<std::string> RefusalOn(TestClient& c, const std::string& nicknameGbk, const std::string& password) {
    net::NetLoginRequest req{};
    SetFieldText(req.nickname, nicknameGbk);
    req.protocolVersion = net::kProtocolVersion;
    SetFieldText(req.password, password);
    c.SendRecord(net::kMainLogin, net::kSubLoginRequest, req);
    c.Sync();
    for (int i = 0; i < 100; ++i) {
      if (c.Count(net::kMainLogin, net::kSubUserRecord) > 0) return std::nullopt;
      if (auto refused = c.WaitFor(net::kMainLogin, net::kSubLoginRefused, 30)) {
        EXPECT_TRUE(c.WaitClosed());
        return velsrv::GbkToUtf8(FieldText(refused->As<net::NetLoginRefused>().reason)).value_or("?");
      }
    }
    ADD_FAILURE() << "neither admitted nor refused";
    return std::string("no answer");
  }
};

TEST_F(AccountTest, FirstLoginCreatesTheAccountAndLaterOnesNeedItsPassword) {
  StartServer();
  EXPECT_EQ(Refusal("alice", "alice-secret-1"), std::nullopt);
  EXPECT_EQ(Refusal("alice", "alice-secret-2"), std::optional<std::string>("密码错误"));
  EXPECT_EQ(Refusal("alice", ""), std::optional<std::string>("请输入密码"));
  EXPECT_EQ(Refusal("alice", "alice-secret-1"), std::nullopt);
  // A new account wants a password of some length.
  const auto shortOne = Refusal("carol", "short");
  ASSERT_TRUE(shortOne);
  EXPECT_NE(shortOne->find("8"), std::string::npos) << *shortOne;

  // The database keeps argon2id hashes and never the password.
  server_.Inspect([](velsrv::Auction&, velsrv::Store& store) {
    const auto alice = store.FindPlayerByName("alice");
    ASSERT_TRUE(alice);
    EXPECT_TRUE(velsrv::IsPasswordHash(alice->passwordHash)) << alice->passwordHash;
    EXPECT_FALSE(store.FindPlayerByName("carol"));
  });
  server_.Stop();
  for (const char* file : {"/game.db", "/game.db-wal"}) {
    std::ifstream in(dir_ + file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find("alice-secret"), std::string::npos) << file;
  }
}

TEST_F(AccountTest, LookAlikeNamesAreTakenAndTheShownNameIsKept) {
  velsrv::ServerOptions o = Options();
  o.bots = 1;
  StartServer(o);
  TestClient bob;
  ASSERT_TRUE(bob.Connect(server_.Port()));
  ASSERT_EQ(RefusalOn(bob, Gbk(" Bob"), "bob-password"), std::nullopt);
  const auto record = bob.WaitFor(net::kMainLogin, net::kSubUserRecord);
  ASSERT_TRUE(record);
  EXPECT_EQ(FieldText(record->As<net::NetUserRecord>().nickname), " Bob");  // as chosen
  for (const char* name : {"bob", "BOB", " Bob ", "ｂｏｂ", "\u3000Bob"})
    EXPECT_EQ(Refusal(name, "bob-password"), std::optional<std::string>("昵称已被占用，请换一个")) << name;
  // A simulated player's name under another look.
  std::string botName;
  server_.Inspect([&](velsrv::Auction&, velsrv::Store& store) { botName = store.FindPlayer(1)->nickname; });
  TestClient c;
  ASSERT_TRUE(c.Connect(server_.Port()));
  EXPECT_EQ(RefusalOn(c, botName + Gbk("\u3000"), "some-password"), std::optional<std::string>("昵称已被占用，请换一个"));
  EXPECT_EQ(Refusal("\u3000\u3000", "some-password"), std::optional<std::string>("昵称不能只有空格"));
}

TEST_F(AccountTest, VersionOneLoginIsAskedToUpdate) {
  StartServer();
  TestClient c;
  ASSERT_TRUE(c.Connect(server_.Port()));
  net::NetLoginRequestV1 old{};
  SetFieldText(old.nickname, "alice");
  old.protocolVersion = net::kProtocolVersionNoPassword;
  c.SendRecord(net::kMainLogin, net::kSubLoginRequest, old);
  auto refused = c.WaitFor(net::kMainLogin, net::kSubLoginRefused);
  ASSERT_TRUE(refused);
  const std::string reason = velsrv::GbkToUtf8(FieldText(refused->As<net::NetLoginRefused>().reason)).value();
  EXPECT_NE(reason.find("更新"), std::string::npos) << reason;
  EXPECT_TRUE(c.WaitClosed());
}

TEST_F(AccountTest, WrongPasswordsSlowDownAndNewAccountsAreRationed) {
  velsrv::ServerOptions o = Options();
  o.loginLimits = velsrv::LoginLimits();  // the server program's limits, on the manual clock
  o.passwordCost = velsrv::PasswordCost::Minimal();
  StartServer(o);
  EXPECT_EQ(Refusal("alice", "alice-password"), std::nullopt);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Refusal("alice", "guess-" + std::to_string(i)), std::optional<std::string>("密码错误"));
  EXPECT_EQ(Refusal("alice", "guess-5"), std::optional<std::string>("密码错误"));
  // Locked now, even for the right password, until the delay has passed.
  EXPECT_EQ(Refusal("alice", "alice-password"), std::optional<std::string>("登录失败次数过多，请1秒后再试"));
  clock_.Advance(1000);
  EXPECT_EQ(Refusal("alice", "guess-6"), std::optional<std::string>("密码错误"));
  EXPECT_EQ(Refusal("alice", "alice-password"), std::optional<std::string>("登录失败次数过多，请2秒后再试"));
  clock_.Advance(2000);
  EXPECT_EQ(Refusal("alice", "alice-password"), std::nullopt);

  // alice took one of three; two more, then the address has to wait.
  EXPECT_EQ(Refusal("bob", "bob-password"), std::nullopt);
  EXPECT_EQ(Refusal("carol", "carol-password"), std::nullopt);
  EXPECT_EQ(Refusal("dave", "dave-password"), std::optional<std::string>("新建账号过于频繁，请稍后再试"));
  clock_.Advance(20000);
  EXPECT_EQ(Refusal("dave", "dave-password"), std::nullopt);
}

TEST_F(AccountTest, EmbeddingProgramSetsItsLocalPlayersPassword) {
  velsrv::ServerOptions o = Options();
  o.bots = 1;
  StartServer(o);
  // No such player yet: nothing to do, the first login makes it.
  EXPECT_TRUE(server_.SetLocalPassword("me", "local-password-1"));
  EXPECT_EQ(Refusal("me", "local-password-1"), std::nullopt);
  // A lost password file: the new password replaces the old one.
  EXPECT_TRUE(server_.SetLocalPassword("me", "local-password-2"));
  EXPECT_EQ(Refusal("me", "local-password-1"), std::optional<std::string>("密码错误"));
  EXPECT_EQ(Refusal("me", "local-password-2"), std::nullopt);
  // Never for someone else's name: a look-alike, or a simulated player.
  EXPECT_FALSE(server_.SetLocalPassword("ME", "local-password-3"));
  std::string botName;
  server_.Inspect([&](velsrv::Auction&, velsrv::Store& store) { botName = store.FindPlayer(1)->nickname; });
  EXPECT_FALSE(server_.SetLocalPassword(botName, "local-password-3"));
  EXPECT_EQ(Refusal("me", "local-password-2"), std::nullopt);
}

// The players table as it was before accounts had passwords.
const char* const kOldSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value INTEGER NOT NULL);
INSERT INTO meta(key, value) VALUES('goods_number', 0);
CREATE TABLE players(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  nickname BLOB NOT NULL UNIQUE,
  coins INTEGER NOT NULL CHECK(coins >= 0),
  bank INTEGER NOT NULL DEFAULT 0,
  bot INTEGER NOT NULL DEFAULT 0);
INSERT INTO players(nickname, coins) VALUES(CAST('bob' AS BLOB), 500), (CAST('Bob' AS BLOB), 700),
  (CAST('alice' AS BLOB), 900);
)sql";

TEST_F(AccountTest, OldDatabaseUpgradesAndItsAccountsTakeAPasswordAtTheNextLogin) {
  {
    velsrv::SqliteDatabase db;
    std::string error;
    ASSERT_TRUE(db.Open(dir_ + "/game.db", &error)) << error;
    ASSERT_TRUE(db.Exec(kOldSchema, &error)) << error;
  }
  StartServer();
  server_.Inspect([](velsrv::Auction&, velsrv::Store& store) {
    // The older of two look-alikes keeps the name; the later one keeps its coins, not its login.
    const auto bob = store.FindPlayerByKey("bob");
    ASSERT_TRUE(bob);
    EXPECT_EQ(bob->nickname, "bob");
    EXPECT_EQ(bob->coins, 500);
    ASSERT_EQ(store.UnreachableAfterUpgrade().size(), 1u);
    EXPECT_EQ(store.UnreachableAfterUpgrade()[0], "Bob");
    EXPECT_EQ(store.FindPlayerByName("Bob")->coins, 700);
    EXPECT_TRUE(store.FindPlayerByName("alice")->passwordHash.empty());
  });
  EXPECT_EQ(Refusal("Bob", "bob-password"), std::optional<std::string>("昵称已被占用，请换一个"));
  // The first login after the upgrade sets the password, and from then on it is needed.
  TestClient alice;
  ASSERT_TRUE(alice.Connect(server_.Port()));
  ASSERT_EQ(RefusalOn(alice, "alice", "alice-password"), std::nullopt);
  EXPECT_EQ(alice.WaitFor(net::kMainLogin, net::kSubUserRecord)->As<net::NetUserRecord>().coins, 900u);
  alice.Disconnect();
  EXPECT_EQ(Refusal("alice", "other-password"), std::optional<std::string>("密码错误"));
  EXPECT_EQ(Refusal("alice", "alice-password"), std::nullopt);

  // Opening the upgraded database again changes nothing.
  server_.Stop();
  StartServer();
  EXPECT_EQ(Refusal("alice", "alice-password"), std::nullopt);
  EXPECT_EQ(Refusal("bob", "bob-password"), std::nullopt);
}

}  // namespace
}  // namespace veltest
