// Where the programs look for their files and whether a window can open: decided from the
// environment, so each case sets exactly the variables it is about.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "app/velmora/appenvironment.h"
#include "app/velmora/gamesession.h"
#include "server/datafolders.h"
#include "testing/tempdir.h"

namespace {

namespace fs = std::filesystem;
using velapp::DisplayAccess;

// Sets (or, with nullopt, removes) variables for one test and restores them afterwards.
class ScopedEnv {
 public:
  ScopedEnv(std::initializer_list<std::pair<const char*, std::optional<std::string>>> vars) {
    for (const auto& [name, value] : vars) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
      if (value) setenv(name, value->c_str(), 1);
      else unsetenv(name);
    }
  }
  ~ScopedEnv() {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp.Path().empty());
    dir = temp.Path();
  }
  veltest::TempDir temp{"env"};
  fs::path dir;
};

TEST(DisplayAccess, WaylandIsNotProbedWhenItCannotWork) {
  {
    ScopedEnv env{{"SDL_VIDEODRIVER", std::nullopt}, {"DISPLAY", std::nullopt},
                  {"WAYLAND_DISPLAY", std::nullopt}, {"WAYLAND_SOCKET", std::nullopt},
                  {"XDG_RUNTIME_DIR", std::nullopt}};
    EXPECT_EQ(velapp::CheckDisplayAccess(), DisplayAccess::None);
  }
  {
    ScopedEnv env{{"SDL_VIDEODRIVER", std::nullopt}, {"DISPLAY", ":0"},
                  {"WAYLAND_DISPLAY", "wayland-0"}, {"WAYLAND_SOCKET", std::nullopt},
                  {"XDG_RUNTIME_DIR", "relative/dir"}};
    EXPECT_EQ(velapp::CheckDisplayAccess(), DisplayAccess::X11Only);
  }
  {
    ScopedEnv env{{"SDL_VIDEODRIVER", std::nullopt}, {"DISPLAY", std::nullopt},
                  {"WAYLAND_DISPLAY", std::nullopt}, {"WAYLAND_SOCKET", std::nullopt},
                  {"XDG_RUNTIME_DIR", "/run/user/1000"}};
    EXPECT_EQ(velapp::CheckDisplayAccess(), DisplayAccess::Any);
  }
  {
    ScopedEnv env{{"SDL_VIDEODRIVER", std::nullopt}, {"DISPLAY", std::nullopt},
                  {"WAYLAND_DISPLAY", "/run/user/1000/wayland-0"}, {"WAYLAND_SOCKET", std::nullopt},
                  {"XDG_RUNTIME_DIR", std::nullopt}};
    EXPECT_EQ(velapp::CheckDisplayAccess(), DisplayAccess::Any);
  }
  {
    // The player's own choice of driver is left to SDL.
    ScopedEnv env{{"SDL_VIDEODRIVER", "kmsdrm"}, {"DISPLAY", std::nullopt},
                  {"WAYLAND_DISPLAY", std::nullopt}, {"WAYLAND_SOCKET", std::nullopt},
                  {"XDG_RUNTIME_DIR", std::nullopt}};
    EXPECT_EQ(velapp::CheckDisplayAccess(), DisplayAccess::Any);
  }
}

TEST(DisplayAccess, NoDisplayIsExplainedByTheGameAlone) {
  ScopedEnv env{{"SDL_VIDEODRIVER", std::nullopt}, {"DISPLAY", std::nullopt},
                {"WAYLAND_DISPLAY", std::nullopt}, {"WAYLAND_SOCKET", std::nullopt},
                {"XDG_RUNTIME_DIR", std::nullopt}};
  velapp::AppOptions options;
  options.assetsDir = VELMORA_ASSET_DIR;
  options.dbPath = ":memory:";
  options.bots = 0;
  velapp::GameSession session(options);
  std::string error;
  ::testing::internal::CaptureStderr();
  const bool started = session.Start(&error);
  const std::string noise = ::testing::internal::GetCapturedStderr();
  session.Shutdown();
  EXPECT_FALSE(started);
  EXPECT_NE(error.find("no display"), std::string::npos) << error;
  EXPECT_NE(error.find("--headless"), std::string::npos) << error;
  EXPECT_EQ(noise, "");
}

TEST(UserDataFolder, FollowsXdgThenHome) {
  {
    ScopedEnv env{{"XDG_DATA_HOME", "/data/x"}, {"HOME", "/home/p"}};
    EXPECT_EQ(velsrv::UserDataFolder("velmora"), "/data/x/velmora");
    EXPECT_EQ(velsrv::DefaultServerDatabasePath(), "/data/x/velmora-server/velmora-server.db");
  }
  {
    // A relative XDG_DATA_HOME would depend on the working folder: ignored.
    ScopedEnv env{{"XDG_DATA_HOME", "data"}, {"HOME", "/home/p"}};
    EXPECT_EQ(velsrv::UserDataFolder("velmora-server"), "/home/p/.local/share/velmora-server");
  }
  {
    ScopedEnv env{{"XDG_DATA_HOME", std::nullopt}, {"HOME", std::nullopt}};
    EXPECT_EQ(velsrv::UserDataFolder("velmora"), "");
    EXPECT_EQ(velsrv::DefaultServerDatabasePath(), "");
    EXPECT_EQ(velapp::DefaultDatabasePath(), ":memory:");
  }
}

using DataFolder = TempFolderTest;

TEST_F(DataFolder, IsMadeWithItsParentsAndPrivate) {
  const fs::path target = dir / "share" / "velmora-server";
  std::string error;
  ASSERT_TRUE(velsrv::MakeDataFolder(target.string(), &error)) << error;
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // An existing folder is fine and left as it is.
  ASSERT_EQ(::chmod(target.c_str(), 0750), 0);
  EXPECT_TRUE(velsrv::MakeDataFolder(target.string(), &error)) << error;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0750u);

  ScopedEnv env{{"XDG_DATA_HOME", dir.string()}};
  EXPECT_EQ(velapp::DefaultDatabasePath(), (dir / "velmora" / "game.db").string());
  EXPECT_TRUE(fs::is_directory(dir / "velmora"));
}

TEST_F(DataFolder, AFileInTheWayIsAnError) {
  std::ofstream(dir / "blocker") << "x";
  std::string error;
  EXPECT_FALSE(velsrv::MakeDataFolder((dir / "blocker").string(), &error));
  EXPECT_NE(error.find("blocker"), std::string::npos) << error;
  EXPECT_FALSE(velsrv::MakeDataFolder((dir / "blocker" / "below").string(), &error));
}

using InstalledFolder = TempFolderTest;

TEST_F(InstalledFolder, IsFoundBesideTheProgramUnderAnyPrefix) {
  fs::create_directories(dir / "bin");
  EXPECT_EQ(velsrv::InstalledDataFolderFor((dir / "bin" / "velmora").string()), "");
  fs::create_directories(dir / "share" / "velmora");
  EXPECT_EQ(velsrv::InstalledDataFolderFor((dir / "bin" / "velmora").string()),
            (dir / "share" / "velmora").string());
  EXPECT_EQ(velsrv::InstalledDataFolderFor(""), "");
  // A test program is not installed: the source tree's assets are found instead.
  EXPECT_EQ(velsrv::InstalledDataFolder(), "");
  EXPECT_TRUE(velapp::LooksLikeAssetsDir(velapp::FindAssetsDir()));
  EXPECT_TRUE(fs::is_regular_file(velsrv::DefaultGoodsFile()));
}

}  // namespace
