// The velmora program itself with scripted input and its state written at exit: a script is
// checked before anything starts, and its keys reach the game at their frames.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "testing/tempdir.h"
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
    ASSERT_FALSE(temp.Path().empty());
    dir = temp.Path();
  }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Runs the program headless with its own in-memory server and no simulated players.
  ProgramRun Velmora(const std::string& args, const std::string& env = "",
                     const std::string& bots = "--bots 0") {
    const std::string cmd = env + "SDL_VIDEODRIVER=dummy '" + VELMORA_BINARY +
                            "' --assets '" VELMORA_ASSET_DIR "' --db :memory: " + bots + " " + args + " >'" +
                            dir + "/out' 2>'" + dir + "/err'";
    const int status = std::system(cmd.c_str());
    ProgramRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(dir + "/out");
    r.err = ReadFile(dir + "/err");
    return r;
  }

  veltest::TempDir temp{"program"};
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

// The same scripted game drawn both ways: with VELMORA_CHECK_FRAMES every frame redrawn in part
// is drawn again in full and compared pixel for pixel. Lots open and close every two seconds,
// simulated players buy, notices cross the band, windows and boxes open and close, the pointer
// hovers over the tiles and clicks around.
TEST_F(ProgramTest, EveryFrameRedrawnInPartEqualsTheFullRedraw) {
  std::string play = "# hover, click, windows\n";
  for (int f = 5; f < 600; f += 7) play += std::to_string(f) + " move " + std::to_string(40 + f * 2 % 1200) + " " + std::to_string(100 + f * 3 % 560) + "\n";
  for (int f = 30; f < 600; f += 60) {
    play += std::to_string(f) + " key F1\n" + std::to_string(f + 15) + " key F2\n";
    play += std::to_string(f + 25) + " key Escape\n" + std::to_string(f + 30) + " key Escape\n";
    play += std::to_string(f + 40) + " click 120 150\n" + std::to_string(f + 50) + " click 640 420\n";
    play += std::to_string(f + 55) + " key Return\n";
  }
  const std::string script = Write("play.txt", play);
  const ProgramRun r = Velmora("--headless --frames 600 --lot-seconds 2 --input '" + script + "'",
                               "VELMORA_CHECK_FRAMES=1 ", "--bots 3");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  unsigned long long frames = 0, differ = 0, pixels = 0, full = 0, unchanged = 0;
  const std::size_t at = r.err.find("frame check:");
  ASSERT_NE(at, std::string::npos) << r.err;
  ASSERT_EQ(std::sscanf(r.err.c_str() + at,
                        "frame check: %llu frames, %llu differ from a full redraw (%llu pixels); "
                        "%llu redrawn in full, %llu unchanged",
                        &frames, &differ, &pixels, &full, &unchanged),
            5)
      << r.err;
  EXPECT_EQ(frames, 600u);
  EXPECT_EQ(differ, 0u) << pixels << " pixels";
  EXPECT_LT(full * 5, frames) << "most frames must have been redrawn in part";
}

TEST_F(ProgramTest, VerboseKeepsTheServersLotLines) {
  const ProgramRun r = Velmora("--headless --frames 3 --verbose");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.err.find("[server] lot "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(" open: "), std::string::npos) << r.err;
}

TEST_F(ProgramTest, HelpDescribesScriptsAndState) {
  const ProgramRun r = Velmora("--help");
  ASSERT_EQ(r.exitCode, 0);
  for (const char* words : {"--input FILE", "--state-json FILE", "click X Y", "key NAME", "text STRING", "F11"})
    EXPECT_NE(r.out.find(words), std::string::npos) << words;
}

}  // namespace
