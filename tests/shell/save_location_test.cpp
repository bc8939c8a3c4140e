#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/options_file.h"
#include "shell/save_files.h"
#include "shell/save_location.h"
#include "shell/settings.h"

namespace {

namespace fs = std::filesystem;

// A game folder and a player's data folder under a fresh temporary folder.
// The tests run as root, whom permission bits do not stop; a folder that
// cannot be written is made by putting it under a plain file, where no
// folder can ever be created.
class SaveLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = fs::temp_directory_path() / ("voltrace2-saveloc-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Root);
    fs::create_directories(Root);
    std::ofstream(Root / "file") << "a plain file\n";
    GameSaves = (Root / "game" / "Data" / "Save").string();
    UserSaves = (Root / "home" / "voltrace2" / "Save").string();
    Unwritable = (Root / "file" / "Save").string();
  }
  void TearDown() override {
    fs::remove_all(Root);
    SaveFolder = "Data/Save";
    SetDefaultOptions();
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  std::function<std::string()> UserFolder() {
    return [this] {
      ++UserFolderAsked;
      return UserSaves;
    };
  }
  fs::path Root;
  std::string GameSaves, UserSaves, Unwritable;
  int UserFolderAsked = 0;
};

TEST_F(SaveLocationTest, FolderWritableCreatesTheFolderAndFailsUnderAFile) {
  EXPECT_TRUE(FolderWritable(GameSaves));
  EXPECT_TRUE(fs::is_directory(GameSaves));
  EXPECT_TRUE(fs::is_empty(GameSaves)) << "the probe file stays behind";
  EXPECT_FALSE(FolderWritable(Unwritable));
  if (geteuid() != 0) {  // a read-only folder stops only a player who is not root
    const fs::path readOnly = Root / "readonly";
    fs::create_directories(readOnly);
    chmod(readOnly.c_str(), 0555);
    EXPECT_FALSE(FolderWritable(readOnly.string()));
    chmod(readOnly.c_str(), 0755);
  }
}

// A pipe or a link left at the probe's name neither stops the start (a pipe
// opened for writing waits for a reader for ever) nor is written through.
TEST_F(SaveLocationTest, FolderWritableNeitherWaitsOnAPipeNorFollowsALink) {
  fs::create_directories(GameSaves);
  const fs::path probe = fs::path(GameSaves) / ".voltrace2-probe";
  ASSERT_EQ(mkfifo(probe.c_str(), 0644), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    alarm(5);  // a hang ends the child with SIGALRM
    _exit(FolderWritable(GameSaves) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the probe waited on the pipe";
  EXPECT_EQ(WEXITSTATUS(status), 0);

  Write(Root / "outside", "the player's own file\n");
  fs::create_symlink(Root / "outside", probe);
  EXPECT_TRUE(FolderWritable(GameSaves));
  EXPECT_EQ(Read(Root / "outside"), "the player's own file\n");
}

TEST_F(SaveLocationTest, AWritableGameFolderKeepsTheSavesBesideTheGame) {
  const std::string message = ChooseSaveFolder(GameSaves, UserFolder());
  EXPECT_EQ(SaveFolder, GameSaves);
  EXPECT_EQ(message, "voltrace2: saving in " + GameSaves);
  EXPECT_EQ(UserFolderAsked, 0) << "the player's data folder is made only when needed";
  EXPECT_FALSE(fs::exists(Root / "home"));
}

TEST_F(SaveLocationTest, AReadOnlyGameFolderSendsTheSavesHomeSeededOnce) {
  const std::string options = "1\r\n0\r\n1\r\nRussia\r\nsum\r\n", table = "Ваня\r\n5000\r\n";
  Write(fs::path(GameSaves) / "options", options);
  Write(fs::path(GameSaves) / "hs", table);
  // The game's folder reads but does not write, as on a read-only disk.
  auto gameReadOnly = [this](const std::string& folder) { return folder != GameSaves && FolderWritable(folder); };

  std::string message = ChooseSaveFolder(GameSaves, UserFolder(), gameReadOnly);
  EXPECT_EQ(SaveFolder, UserSaves);
  EXPECT_EQ(message, "voltrace2: " + GameSaves + " cannot be written; saving in " + UserSaves +
                         " (the game's own saves were copied there)");
  EXPECT_EQ(Read(fs::path(UserSaves) / "options"), options);
  EXPECT_EQ(Read(fs::path(UserSaves) / "hs"), table);
  LoadOptions();
  EXPECT_EQ(FullScreen, 1);
  EXPECT_EQ(Country, "Russia");

  // The player's own saves are never overwritten by the game's again.
  Country = "Belarus";
  ASSERT_TRUE(SaveOptions());
  message = ChooseSaveFolder(GameSaves, UserFolder(), gameReadOnly);
  EXPECT_EQ(message, "voltrace2: " + GameSaves + " cannot be written; saving in " + UserSaves);
  SetDefaultOptions();
  LoadOptions();
  EXPECT_EQ(Country, "Belarus");
  EXPECT_EQ(Read(fs::path(GameSaves) / "options"), options);
}

TEST_F(SaveLocationTest, AGameFolderThatCannotBeMadeSendsTheSavesHome) {
  const std::string message = ChooseSaveFolder(Unwritable, UserFolder());
  EXPECT_EQ(SaveFolder, UserSaves);
  EXPECT_EQ(message, "voltrace2: " + Unwritable + " cannot be written; saving in " + UserSaves);
  Country = "Ukraine";
  EXPECT_TRUE(SaveOptions());
  EXPECT_TRUE(fs::is_regular_file(fs::path(UserSaves) / "options"));
}

TEST_F(SaveLocationTest, WithNowhereToWriteTheGameReadsItsOwnSavesAndSaysSo) {
  const std::string message = ChooseSaveFolder(Unwritable, [this] { return Unwritable + "2"; });
  EXPECT_EQ(SaveFolder, Unwritable);
  EXPECT_EQ(message, "voltrace2: nowhere to save (" + Unwritable + " and " + Unwritable +
                         "2 cannot be written); settings and highscores will not be kept");
  // Exit still runs: the save fails and is reported, nothing else happens.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveOptions());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot save"), std::string::npos);

  // A desktop with no data folder at all.
  EXPECT_EQ(ChooseSaveFolder(Unwritable, [] { return std::string(); }),
            "voltrace2: nowhere to save (" + Unwritable + " cannot be written); settings and highscores will not be kept");
}

// An installed game is written by nobody, root included: its saves are the
// player's own from the first start, never seeded from the install tree.
TEST_F(SaveLocationTest, AnInstalledGameSavesOnlyInThePlayersFolder) {
  Write(fs::path(GameSaves) / "hs", "left in the install tree\r\n");
  EXPECT_EQ(ChooseInstalledSaveFolder(UserFolder()), "voltrace2: saving in " + UserSaves);
  EXPECT_EQ(SaveFolder, UserSaves);
  EXPECT_FALSE(fs::exists(fs::path(UserSaves) / "hs")) << "nothing copied from the install tree";
  ASSERT_TRUE(SaveOptions());
  EXPECT_TRUE(fs::is_regular_file(fs::path(UserSaves) / "options"));
  EXPECT_FALSE(fs::exists(fs::path(GameSaves) / "options"));
}

TEST_F(SaveLocationTest, AnInstalledGameWithNoPlayersFolderKeepsNothingAndWritesNothing) {
  for (const std::string& user : {Unwritable, std::string()}) {
    const std::string message = ChooseInstalledSaveFolder([&user] { return user; });
    EXPECT_NE(message.find("nowhere to save"), std::string::npos) << message;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SaveOptions()) << "the save fails, even for root";
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fs::exists(fs::path(GameSaves)));
  }
}

}  // namespace
