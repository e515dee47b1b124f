// The velmora command line: what a player types must either run as meant or be refused with a
// reason, never half-parsed.
#include <gtest/gtest.h>

#include "app/velmora/appoptions.h"

namespace {

using velapp::AppOptions;
using velapp::ParseOutcome;

ParseOutcome Parse(std::vector<std::string> args, AppOptions* out, std::string* error = nullptr) {
  std::string ignored;
  return velapp::ParseAppOptions(args, out, error ? error : &ignored);
}

TEST(AppOptions, NoArgumentsRunTheEmbeddedServerInAWindow) {
  AppOptions o;
  ASSERT_EQ(Parse({}, &o), ParseOutcome::Run);
  EXPECT_TRUE(o.embeddedServer);
  EXPECT_FALSE(o.headless);
  EXPECT_EQ(o.frames, 0);
  EXPECT_EQ(o.seconds, 0.0);
}

TEST(AppOptions, EveryOptionLandsInItsField) {
  AppOptions o;
  ASSERT_EQ(Parse({"--connect", "example.org:5555", "--name", "小明", "--headless", "--frames", "120",
                   "--seconds", "2.5", "--screenshot", "a.png", "--shot-at", "10:b.png", "--shot-at",
                   "20:dir/c:d.png", "--assets", "/x", "--input", "play.txt", "--state-json", "s.json",
                   "--password-file", "pw.txt"},
                  &o),
            ParseOutcome::Run);
  EXPECT_FALSE(o.embeddedServer);
  EXPECT_EQ(o.host, "example.org");
  EXPECT_EQ(o.port, 5555);
  EXPECT_EQ(o.nicknameUtf8, "小明");
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 120);
  EXPECT_DOUBLE_EQ(o.seconds, 2.5);
  EXPECT_EQ(o.screenshot, "a.png");
  EXPECT_EQ(o.inputScript, "play.txt");
  EXPECT_EQ(o.stateJson, "s.json");
  EXPECT_EQ(o.passwordFile, "pw.txt");
  EXPECT_TRUE(o.password.empty());  // never from the command line
  ASSERT_EQ(o.shots.size(), 2u);
  EXPECT_EQ(o.shots[0].frame, 10);
  EXPECT_EQ(o.shots[1].frame, 20);
  EXPECT_EQ(o.shots[1].path, "dir/c:d.png");  // only the first colon splits
  EXPECT_EQ(o.assetsDir, "/x");
  ASSERT_EQ(Parse({"--help"}, &o), ParseOutcome::Help);
  EXPECT_NE(velapp::HelpText().find("--shot-at"), std::string::npos);
}

TEST(AppOptions, HostAndPortForms) {
  std::string host;
  std::uint16_t port = 0;
  EXPECT_TRUE(velapp::ParseHostPort("127.0.0.1:1", &host, &port));
  EXPECT_EQ(port, 1);
  EXPECT_TRUE(velapp::ParseHostPort("[::1]:65535", &host, &port));
  EXPECT_EQ(host, "::1");
  EXPECT_EQ(port, 65535);
  for (const char* bad : {"", "host", "host:", ":80", "host:0", "host:65536", "host:80x", "::1:80",
                          "[::1]80", "[::1]:", "host:-1", "host:99999999999999999999"})
    EXPECT_FALSE(velapp::ParseHostPort(bad, &host, &port)) << bad;
}

TEST(AppOptions, BadValuesAreRefusedWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--frames", "0"},        {"--frames", "-3"},        {"--frames", "ten"},
      {"--frames", "99999999999"}, {"--seconds", "0"},     {"--seconds", "nan"},
      {"--seconds", "inf"},     {"--seconds", "1e9"},      {"--shot-at", "0:x.png"},
      {"--shot-at", "5:"},      {"--shot-at", "x.png"},    {"--connect", "nowhere"},
      {"--name", ""},           {"--lot-seconds", "0"},    {"--bots", "101"},
      {"--frames"},             {"--bogus"},               {"stray"},
      {"--connect", "h:1", "--db", "x.db"}};
  for (const auto& args : bad) {
    AppOptions o;
    std::string error;
    EXPECT_EQ(Parse(args, &o, &error), ParseOutcome::Error) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

TEST(AppOptions, PlainIsOnlyForAServerOnThisMachine) {
  AppOptions o;
  EXPECT_EQ(Parse({"--connect", "127.0.0.1:5555", "--plain"}, &o), ParseOutcome::Run);
  EXPECT_TRUE(o.plain);
  EXPECT_EQ(Parse({"--connect", "[::1]:5555", "--plain"}, &o), ParseOutcome::Run);
  EXPECT_EQ(Parse({"--connect", "localhost:5555", "--plain"}, &o), ParseOutcome::Run);
  std::string error;
  EXPECT_EQ(Parse({"--connect", "192.168.1.20:5555", "--plain"}, &o, &error), ParseOutcome::Error);
  EXPECT_NE(error.find("this machine"), std::string::npos) << error;
  EXPECT_EQ(Parse({"--connect", "127.0.0.1.example.org:5555", "--plain"}, &o), ParseOutcome::Error);
  EXPECT_EQ(Parse({"--plain"}, &o), ParseOutcome::Error);
}

TEST(AppOptions, PasswordFileIsOnlyForConnect) {
  AppOptions o;
  std::string error;
  EXPECT_EQ(Parse({"--password-file", "pw.txt"}, &o, &error), ParseOutcome::Error);
  EXPECT_NE(error.find("--connect"), std::string::npos) << error;
  EXPECT_EQ(Parse({"--connect", "h:1", "--password-file"}, &o), ParseOutcome::Error);
}

}  // namespace
