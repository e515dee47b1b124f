// Where the login password comes from: a file, the terminal (or a clear refusal without one),
// and the built-in server's local password kept for the owner only.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/velmora/password.h"
#include "testing/tempdir.h"

namespace {

class PasswordTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.empty()); }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  static unsigned Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 0777;
  }
  veltest::TempDir temp_{"password-test"};
  const std::string dir_ = temp_.Path();
};

TEST_F(PasswordTest, FileGivesItsFirstLineWithoutTheLineEnd) {
  std::string password;
  std::string error;
  ASSERT_TRUE(velapp::ReadPasswordFile(Write("a", "s3cret pass\r\nsecond line\n"), &password, &error)) << error;
  EXPECT_EQ(password, "s3cret pass");
  ASSERT_TRUE(velapp::ReadPasswordFile(Write("b", "no line end"), &password, &error));
  EXPECT_EQ(password, "no line end");
  EXPECT_FALSE(velapp::ReadPasswordFile(Write("c", "\nsecond\n"), &password, &error));
  EXPECT_NE(error.find("no password"), std::string::npos) << error;
  EXPECT_FALSE(velapp::ReadPasswordFile(Write("d", std::string(129, 'x')), &password, &error));
  EXPECT_FALSE(velapp::ReadPasswordFile(dir_ + "/missing", &password, &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

TEST_F(PasswordTest, LocalPasswordIsMadeOnceAndKeptForTheOwnerOnly) {
  const std::string path = dir_ + "/local-password";
  std::string first;
  std::string again;
  std::string error;
  ASSERT_TRUE(velapp::LocalPassword(path, &first, &error)) << error;
  EXPECT_GE(first.size(), 24u);
  EXPECT_EQ(Mode(path), 0600u);
  ASSERT_TRUE(velapp::LocalPassword(path, &again, &error)) << error;
  EXPECT_EQ(again, first);
  // A file opened up by hand is closed again.
  ::chmod(path.c_str(), 0644);
  ASSERT_TRUE(velapp::LocalPassword(path, &again, &error));
  EXPECT_EQ(Mode(path), 0600u);
  // Without a data folder: a fresh one every time, kept nowhere.
  std::string loose;
  ASSERT_TRUE(velapp::LocalPassword("", &loose, &error));
  EXPECT_NE(loose, first);
}

TEST_F(PasswordTest, NoTerminalIsAClearRefusal) {
  // A child in a session of its own has no controlling terminal, like a service or a cron job.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::setsid();
    std::string password;
    std::string error;
    const bool asked = velapp::PromptPassword("Password: ", &password, &error);
    _exit(!asked && error.find("--password-file") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
