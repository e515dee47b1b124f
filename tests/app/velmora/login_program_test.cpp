// The velmora program itself against a running server: a headless login with a password file,
// and a refused one that ends the run with a non-zero status and the server's reason.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "server/server.h"
#include "server/store.h"
#include "testing/tempdir.h"

namespace {

class LoginProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.empty());
    velsrv::ServerOptions o;
    o.dbPath = dir_ + "/server.db";
    o.goodsFile = VELMORA_ASSET_DIR "/server/goods.xml";
    o.bots = 0;
    o.durable = false;
    o.RelaxAccountChecksForTests();
    std::string error;
    ASSERT_TRUE(server_.Start(0, o, &error)) << error;
  }
  void TearDown() override { server_.Stop(); }

  // Runs velmora headless for about half a second; its exit status, stderr in *err.
  int Play(const std::string& name, const std::string& password, std::string* err) {
    std::ofstream(dir_ + "/pw") << password << "\n";
    const std::string command = "XDG_DATA_HOME='" + dir_ + "/data' '" VELMORA_PROGRAM "' --headless --frames 30" +
                                " --assets '" VELMORA_ASSET_DIR "' --connect 127.0.0.1:" +
                                std::to_string(server_.Port()) + " --name " + name + " --password-file '" + dir_ +
                                "/pw' 2>'" + dir_ + "/stderr' </dev/null >/dev/null";
    const int status = std::system(command.c_str());
    std::ifstream in(dir_ + "/stderr");
    err->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  bool HasAccount(const std::string& name) {
    bool found = false;
    server_.Inspect([&](velsrv::Auction&, velsrv::Store& store) { found = store.FindPlayerByName(name).has_value(); });
    return found;
  }

  veltest::TempDir temp_{"login-program-test"};
  const std::string dir_ = temp_.Path();
  velsrv::Server server_;
};

TEST_F(LoginProgramTest, RightPasswordPlaysAndAWrongOneExitsWithTheReason) {
  std::string err;
  EXPECT_EQ(Play("alice", "alice-password", &err), 0) << err;
  EXPECT_TRUE(HasAccount("alice"));
  EXPECT_EQ(Play("alice", "alice-password", &err), 0) << err;
  EXPECT_EQ(Play("alice", "wrong-password", &err), 1) << err;
  EXPECT_NE(err.find("密码错误"), std::string::npos) << err;
  EXPECT_EQ(err.find("wrong-password"), std::string::npos) << "the password must never be printed";

  // Another certificate on the same host and port than the one pinned at the first run.
  const std::string known = dir_ + "/data/velmora/known_servers";
  std::ifstream in(known);
  const std::string pins((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_NE(pins.find(server_.CertificateFingerprint()), std::string::npos) << pins;
  const std::string forged = "SHA256:00:11";
  std::ofstream(known) << "127.0.0.1:" << server_.Port() << " " << forged << "\n";
  EXPECT_EQ(Play("alice", "alice-password", &err), 1) << err;
  EXPECT_NE(err.find(forged), std::string::npos) << err;
  EXPECT_NE(err.find(server_.CertificateFingerprint()), std::string::npos) << err;
}

}  // namespace
