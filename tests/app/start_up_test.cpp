// The script runner starts the game through the game's own start-up, so a
// game folder that cannot be saved in behaves in a script as it does for a
// player: the saves go to the player's data folder, and the game says so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/script_support.h"

namespace {

namespace fs = std::filesystem;

// Leaves the game at once through the close button and its question, so
// that the exit saves are written.
const char* const LeaveAtOnce = "wait 2\nclose\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 1\n";

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DataHome = Game.Root / "xdg";
    const char* old = std::getenv("XDG_DATA_HOME");
    OldDataHome = old ? old : "";
    HadDataHome = old != nullptr;
    setenv("XDG_DATA_HOME", DataHome.c_str(), 1);
  }
  void TearDown() override {
    if (HadDataHome) setenv("XDG_DATA_HOME", OldDataHome.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
  }
  TGameFolder Game;
  fs::path DataHome;
  std::string OldDataHome;
  bool HadDataHome = false;
};

TEST_F(StartUpTest, AWritableGameFolderKeepsTheSavesBesideTheGame) {
  const TScriptResult r = RunScript(LeaveAtOnce, Game.Root.string());
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  EXPECT_NE(r.Output.find("voltrace2: saving in"), std::string::npos) << r.Output;
  EXPECT_TRUE(fs::is_regular_file(Game.Root / "Data/Save/hs")) << r.Output;
  EXPECT_TRUE(fs::is_regular_file(Game.Root / "Data/Save/options"));
  EXPECT_FALSE(fs::exists(DataHome)) << "the player's folder is not even asked for";
}

TEST_F(StartUpTest, AGameFolderThatCannotBeSavedInSendsTheSavesToThePlayersFolder) {
  // A plain file where the save folder belongs: no folder can be made there,
  // whoever runs the test (root included).
  std::ofstream(Game.Root / "Data/Save") << "not a folder\n";
  const TScriptResult r = RunScript(LeaveAtOnce, Game.Root.string());
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  const fs::path userSaves = DataHome / "voltrace2" / "Save";
  EXPECT_NE(r.Output.find("saving in " + userSaves.string()), std::string::npos) << r.Output;
  EXPECT_TRUE(fs::is_regular_file(userSaves / "hs")) << r.Output;
  EXPECT_TRUE(fs::is_regular_file(userSaves / "options"));
  EXPECT_TRUE(fs::is_regular_file(Game.Root / "Data/Save")) << "the game's folder is left as it was";
}

}  // namespace
