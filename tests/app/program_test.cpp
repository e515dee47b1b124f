// The velmora program itself with scripted input and its state written at exit: a script is
// checked before anything starts, and its keys reach the game at their frames.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/common/minijson.h"

namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/velmora-program-XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir = templ;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Runs the program headless with its own in-memory server and no simulated players.
  ProgramRun Velmora(const std::string& args) {
    const std::string cmd = std::string("SDL_VIDEODRIVER=dummy '") + VELMORA_BINARY +
                            "' --assets '" VELMORA_ASSET_DIR "' --db :memory: --bots 0 " + args + " >'" +
                            dir + "/out' 2>'" + dir + "/err'";
    const int status = std::system(cmd.c_str());
    ProgramRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(dir + "/out");
    r.err = ReadFile(dir + "/err");
    return r;
  }

  std::string dir;
};

TEST_F(ProgramTest, ScriptedKeysReachTheGameAndTheStateIsWrittenAtExit) {
  // F1 opens the rules, F2 the bank over them; Escape closes only the topmost, the bank.
  const std::string script = Write("play.txt", "# rules, bank, escape\n3 key F1\n4 key F2\n6 key Escape\n");
  const std::string state = dir + "/state.json";
  const ProgramRun r = Velmora("--headless --frames 12 --input '" + script + "' --state-json '" + state + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string text = ReadFile(state);
  const auto json = veltest::ParseJson(text);
  ASSERT_TRUE(json.has_value()) << text;
  for (const char* key : {"coins", "lot", "panel.shown", "panel.chosen", "panel.minimum", "panel.field",
                          "panel.buy_enabled", "panel.add_enabled", "panel.reduce_enabled", "msgbox",
                          "windows.rule", "windows.history", "windows.bank", "callout", "lucky_lines",
                          "my_lines", "connected"}) {
    EXPECT_NE(json->At(key), nullptr) << key << " missing in " << text;
  }
  ASSERT_NE(json->At("windows.rule"), nullptr);
  EXPECT_TRUE(json->At("windows.rule")->boolean) << text;
  EXPECT_FALSE(json->At("windows.bank")->boolean) << text;
  EXPECT_FALSE(json->At("windows.history")->boolean) << text;
  EXPECT_EQ(json->At("frame")->number, 12) << text;
}

TEST_F(ProgramTest, ABadScriptLineStopsTheStartWithItsNumber) {
  const std::string script = Write("bad.txt", "1 move 10 10\n\n3 click ten 10\n");
  const std::string state = dir + "/state.json";
  const ProgramRun r = Velmora("--headless --frames 5 --input '" + script + "' --state-json '" + state + "'");
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.err.find("line 3"), std::string::npos) << r.err;
  EXPECT_FALSE(std::ifstream(state).good()) << "nothing ran, nothing written";

  const ProgramRun missing = Velmora("--headless --frames 5 --input '" + dir + "/none.txt'");
  EXPECT_NE(missing.exitCode, 0);
  EXPECT_NE(missing.err.find("none.txt"), std::string::npos) << missing.err;
}

TEST_F(ProgramTest, HelpDescribesScriptsAndState) {
  const ProgramRun r = Velmora("--help");
  ASSERT_EQ(r.exitCode, 0);
  for (const char* words : {"--input FILE", "--state-json FILE", "click X Y", "key NAME", "text STRING", "F11"})
    EXPECT_NE(r.out.find(words), std::string::npos) << words;
}

}  // namespace
