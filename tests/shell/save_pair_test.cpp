// The exit saves as one change: a game stopped at any moment of them, or
// one whose files cannot be written, starts next time with the old table
// and its settings or with the new ones, never with a table thrown away
// for a checksum of the other game.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "gfx/cp1251.h"
#include "platform/headless_platform.h"
#include "shell/highscores.h"
#include "shell/options_file.h"
#include "shell/save_files.h"
#include "shell/save_pair.h"
#include "shell/settings.h"
#include "shell/window_place.h"
#include "sprites/archive_format.h"
#include "support/script_support.h"

namespace {

namespace fs = std::filesystem;

// The old game's table has "Old" on top, the new one "New"; each comes with
// its own country, so a mixed pair shows.
void SetGame(const char* which) {
  SetDefaultOptions();
  ResetHighScores();
  HighScores[11] = {which, 9000};
  SortHighScores();
  Country = which;
}

// What the next start-up reads: "Old", "New", or "mixed" for anything else
// (the default table, a table of one game with the country of the other).
std::string Start() {
  SetDefaultOptions();
  for (int i = 1; i <= 10; ++i) HighScores[i] = {"", 0};
  FinishInterruptedSave();
  LoadHighScores();
  LoadOptions();
  if (!HighScoresValid()) ResetHighScores();
  const std::string top = HighScores[1].Name;
  if ((top == "Old" || top == "New") && Country == top && HighScores[1].Score == 9000) return top;
  return "mixed";
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The hook's doings, shared by the tests: count the calls, fail one of
// them, end the process at one, or fail every call of one kind on a path.
int Calls = 0;
int FailAt = -1, FailWith = 0, KillAt = -1;
std::string FailCall, FailPath;
std::vector<std::string> Seen;

int Inject(const char* call, const std::string& path) {
  const int n = Calls++;
  Seen.push_back(std::string(call) + " " + fs::path(path).filename().string());
  if (n == KillAt) _exit(0);  // the process dies here, mid-save
  if (n == FailAt) return FailWith;
  if (call == FailCall && (FailPath.empty() || fs::path(path).filename() == FailPath)) return FailWith;
  return 0;
}

class SavePair : public ::testing::Test {
 protected:
  void SetUp() override {
    Home = fs::current_path();
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    Folder = fs::temp_directory_path() / ("voltrace2-pair-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    fs::current_path(Folder);
    NoFaults();
    SetGame("Old");
    ASSERT_TRUE(SaveOptionsAndHighScores());
  }
  void TearDown() override {
    NoFaults();
    SaveCallHook = nullptr;
    fs::current_path(Home);
    fs::remove_all(Folder);
  }
  static void NoFaults() {
    Calls = 0;
    FailAt = KillAt = -1;
    FailWith = 0;
    FailCall.clear();
    FailPath.clear();
    Seen.clear();
    SaveCallHook = Inject;
  }
  // Only the pair is left once a start has run.
  static void ExpectOnlyThePair() {
    for (const auto& e : fs::directory_iterator("Data/Save")) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name == "options" || name == "hs") << name << " left behind";
    }
  }
  // A save of the new game that is killed at its call N; true when the save
  // ran to its end without reaching call N.
  static bool SaveKilledAt(int n) {
    SetGame("New");
    const pid_t child = fork();
    EXPECT_GE(child, 0);
    if (child == 0) {
      NoFaults();
      KillAt = n;
      _exit(SaveOptionsAndHighScores() ? 3 : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 4) << "the save failed, killed at " << n;
    return WEXITSTATUS(status) == 3;
  }
  fs::path Home, Folder;
};

// A kill before each system call of the save in turn, on a clean folder and
// on one where an earlier crash left its commit mark behind (which must not
// bless this save's half-written files).
class SavePairKilled : public SavePair, public ::testing::WithParamInterface<bool> {};

TEST_P(SavePairKilled, AKillAtEverySystemCallGivesTheOldPairOrTheNewOne) {
  const bool staleMark = GetParam();
  int olds = 0, news = 0, n = 0;
  for (;; ++n) {
    ASSERT_LT(n, 80) << "the save never got to its end";
    if (staleMark) std::ofstream("Data/Save/save.commit");
    const bool ended = SaveKilledAt(n);
    NoFaults();
    const std::string seen = Start();
    EXPECT_NE(seen, "mixed") << "killed at call " << n;
    ExpectOnlyThePair();
    (seen == "Old" ? olds : news) += 1;
    if (ended) break;  // ran to its end: every call has had its kill
    SetGame("Old");
    ASSERT_TRUE(SaveOptionsAndHighScores());
  }
  RecordProperty("KilledCalls", n);
  EXPECT_GE(n, 20) << "the kills covered too few calls";
  EXPECT_GE(olds, 10) << "kills while writing keep the old pair";
  EXPECT_GE(news, 3) << "kills after the commit give the new pair";
  std::printf("kills: %d calls, %d left the old pair, %d the new pair, 0 mixed\n", n, olds, news - 1);
}

// Kills at random moments of saves running back to back, by a real signal.
TEST_F(SavePair, RandomKillsNeverMixTheTwoGames) {
  SaveCallHook = nullptr;
  std::mt19937 random(20261210);
  for (int kill = 0; kill < 60; ++kill) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        SetGame(i % 2 ? "Old" : "New");
        if (!SaveOptionsAndHighScores()) _exit(4);
      }
    }
    usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(200, 6000)(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";
    ASSERT_NE(Start(), "mixed") << "kill " << kill;
    ExpectOnlyThePair();
  }
}

INSTANTIATE_TEST_SUITE_P(Folders, SavePairKilled, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "StaleMark" : "Clean"; });

// Each system call of the save failing in turn, with an error the disk can
// give: the save says so when it has not kept the new pair, and the next
// start reads the old pair or the new one.
TEST_F(SavePair, AFailureAtEverySystemCallGivesTheOldPairOrTheNewOne) {
  NoFaults();
  SetGame("New");
  ASSERT_TRUE(SaveOptionsAndHighScores());
  const int total = Calls;
  const std::vector<std::string> calls = Seen;
  int olds = 0, news = 0;
  for (int n = 0; n < total; ++n) {
    SetGame("Old");
    NoFaults();
    ASSERT_TRUE(SaveOptionsAndHighScores());
    SetGame("New");
    NoFaults();
    FailAt = n;
    FailWith = EIO;
    ::testing::internal::CaptureStderr();
    const bool saved = SaveOptionsAndHighScores();
    const std::string said = ::testing::internal::GetCapturedStderr();
    NoFaults();
    const std::string seen = Start();
    EXPECT_NE(seen, "mixed") << "failed " << calls[static_cast<size_t>(n)];
    if (saved) {
      EXPECT_EQ(seen, "New") << "reported saved, failed " << calls[static_cast<size_t>(n)];
    } else {
      EXPECT_NE(said.find("cannot save"), std::string::npos) << said;
      EXPECT_FALSE(SaveFailure.empty());
    }
    ExpectOnlyThePair();
    (seen == "Old" ? olds : news) += 1;
  }
  EXPECT_GE(olds, 10);
  std::printf("failures: %d calls, %d left the old pair, %d the new pair, 0 mixed\n", total, olds, news);
}

// A failed look at a new file is no proof that it was renamed: the mark
// stays, the save says it failed, and the next start finishes it.
class SavePairLookFails : public SavePair, public ::testing::WithParamInterface<const char*> {};

TEST_P(SavePairLookFails, AtExitKeepsTheMarkAndAtTheStartReadsThePendingPair) {
  SetGame("New");
  FailCall = "lstat";
  FailPath = GetParam();
  FailWith = EIO;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveOptionsAndHighScores());
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(fs::exists("Data/Save/save.commit"));
  // The next start still cannot look: the pair waits, the start says so,
  // and its exit writes nothing over the pair.
  ::testing::internal::CaptureStderr();
  Start();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("the last save could not be finished"), std::string::npos) << said;
  EXPECT_TRUE(fs::exists("Data/Save/save.commit"));
  const std::string hs = Read("Data/Save/hs.new"), options = Read("Data/Save/options.new");
  SetGame("Old");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveOptionsAndHighScores());
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(Read("Data/Save/hs.new"), hs);
  EXPECT_EQ(Read("Data/Save/options.new"), options);
  NoFaults();
  EXPECT_EQ(Start(), "New");
  ExpectOnlyThePair();
}

INSTANTIATE_TEST_SUITE_P(Files, SavePairLookFails, ::testing::Values("hs.new", "options.new"),
                         [](const auto& info) {
                           std::string n = info.param;
                           std::replace(n.begin(), n.end(), '.', '_');
                           return n;
                         });

// Killed between the two renames, and at the next start the rename left to
// do fails: that start shows the new table read where it waits, its exit
// does not write over the pair, and a later start finishes it.
TEST_F(SavePair, AFailedRollForwardNeverSavesOverThePendingPair) {
  int between = -1;
  {
    SetGame("New");
    NoFaults();
    ASSERT_TRUE(SaveOptionsAndHighScores());
    const auto it = std::find(Seen.begin(), Seen.end(), "rename options");
    ASSERT_NE(it, Seen.end());
    between = static_cast<int>(it - Seen.begin());
    SetGame("Old");
    NoFaults();
    ASSERT_TRUE(SaveOptionsAndHighScores());
  }
  ASSERT_FALSE(SaveKilledAt(between));
  ASSERT_TRUE(fs::exists("Data/Save/options.new"));
  ASSERT_FALSE(fs::exists("Data/Save/hs.new")) << "the table was renamed";

  NoFaults();
  FailCall = "rename";
  FailWith = EACCES;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Start(), "New") << "the start shows the pending pair";
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("the last save could not be finished"), std::string::npos) << said;
  EXPECT_NE(said.find(std::strerror(EACCES)), std::string::npos) << said;

  // Its exit, still unable to rename: nothing written, and it says so.
  const std::string hs = Read("Data/Save/hs"), options = Read("Data/Save/options"),
                    pending = Read("Data/Save/options.new");
  HighScores[1].Score = 9500;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveOptionsAndHighScores());
  said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(SaveFailure.find("the last save is still unfinished"), std::string::npos) << SaveFailure;
  EXPECT_EQ(Read("Data/Save/hs"), hs);
  EXPECT_EQ(Read("Data/Save/options"), options);
  EXPECT_EQ(Read("Data/Save/options.new"), pending);
  EXPECT_TRUE(fs::exists("Data/Save/save.commit"));

  NoFaults();
  EXPECT_EQ(Start(), "New");
  ExpectOnlyThePair();
}

// Something not made by the game at a temporary name: a pipe must not hang
// the exit (and every exit after it), a link must not carry the save
// outside the folder. The save goes on in a file of its own. Run in a child
// that an alarm ends, so a hang fails the test instead of stalling it.
class SavePairForeignTemp : public SavePair,
                            public ::testing::WithParamInterface<std::tuple<const char*, const char*>> {};

TEST_P(SavePairForeignTemp, IsReplacedNeverOpened) {
  const auto [name, kind] = GetParam();
  const fs::path temp = fs::path("Data/Save") / name;
  const fs::path outside = Folder / "outside.txt";
  std::ofstream(outside) << "not the game's";
  if (std::string(kind) == "pipe")
    ASSERT_EQ(mkfifo(temp.c_str(), 0644), 0);
  else
    fs::create_symlink(outside, temp);
  SetGame("New");
  THeadlessPlatform machine;
  Platform = &machine;
  machine.SetWindowPlace(12, 34);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    alarm(10);
    _exit(SaveOptionsAndHighScores() && SaveWindowPlace() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  Platform = nullptr;
  ASSERT_TRUE(WIFEXITED(status)) << "the save hung";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Read(outside), "not the game's");
  EXPECT_EQ(Start(), "New");
  EXPECT_EQ(Read("Data/Save/window"), "12\r\n34\r\n");
  fs::remove("Data/Save/window");
  ExpectOnlyThePair();
}

INSTANTIATE_TEST_SUITE_P(Names, SavePairForeignTemp,
                         ::testing::Combine(::testing::Values("hs.new", "options.new", "window.new"),
                                            ::testing::Values("pipe", "link")),
                         [](const auto& info) {
                           std::string n = std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param);
                           std::replace(n.begin(), n.end(), '.', '_');
                           return n;
                         });

class SavePairBlocked : public SavePair, public ::testing::WithParamInterface<const char*> {};

// Something in the way of either new file: the save reports the failure and
// the old pair stays, both files of it.
TEST_P(SavePairBlocked, AFailedWriteOfEitherFileKeepsTheOldPair) {
  fs::create_directories(fs::path("Data/Save") / GetParam() / "in the way");
  SetGame("New");
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveOptionsAndHighScores());
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot save"), std::string::npos);
  fs::remove_all(fs::path("Data/Save") / GetParam());
  EXPECT_EQ(Start(), "Old");
  ExpectOnlyThePair();
}

INSTANTIATE_TEST_SUITE_P(Files, SavePairBlocked, ::testing::Values("hs.new", "options.new", "save.commit"),
                         [](const auto& info) {
                           std::string n = info.param;
                           std::replace(n.begin(), n.end(), '.', '_');
                           return n;
                         });

// A save folder that cannot be made: the message names why, not the
// missing folder a later open runs into.
class SaveFolderRefused : public SavePair, public ::testing::WithParamInterface<int> {};

TEST_P(SaveFolderRefused, TheMessageNamesTheRealReason) {
  fs::remove_all("Data");
  FailCall = "mkdir";
  FailPath = "Save";
  FailWith = GetParam();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveOptionsAndHighScores());
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(std::strerror(GetParam())), std::string::npos) << said;
  EXPECT_NE(SaveFailure.find(std::strerror(GetParam())), std::string::npos) << SaveFailure;
  EXPECT_EQ(said.find(std::strerror(ENOENT)), std::string::npos) << said;
  fs::create_directories("Data/Save");  // for the fixture's end
}

INSTANTIATE_TEST_SUITE_P(Errors, SaveFolderRefused, ::testing::Values(EROFS, ENOSPC, EACCES),
                         [](const auto& info) { return std::string(strerrorname_np(info.param)); });

// The same with a folder the player really may not write in, no hook.
TEST_F(SavePair, AFolderThatMayNotBeWrittenIsNamedAsSuch) {
  SaveCallHook = nullptr;
  fs::create_directories("locked");
  ::chmod("locked", 0555);
  SaveFolder = (Folder / "locked/Save").string();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Root may write anywhere: the saving player is somebody else.
    if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
    ::testing::internal::CaptureStderr();
    const bool saved = SaveOptionsAndHighScores();
    const std::string said = ::testing::internal::GetCapturedStderr();
    _exit(!saved && said.find(std::strerror(EACCES)) != std::string::npos &&
                  said.find(std::strerror(ENOENT)) == std::string::npos
              ? 0
              : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  SaveFolder = "Data/Save";
  ::chmod("locked", 0755);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Each new file is on the disk, and its name in the folder, before the
// mark says the pair is complete; the mark is on the disk before the first
// rename; the renames are on the disk before the mark goes. The window's
// file the same way: its new file flushed before its rename.
TEST_F(SavePair, EachNewFileAndTheFolderAreFlushedBeforeTheRename) {
  NoFaults();
  SetGame("New");
  ASSERT_TRUE(SaveOptionsAndHighScores());
  const auto at = [](const std::string& call) {
    const auto it = std::find(Seen.begin(), Seen.end(), call);
    EXPECT_NE(it, Seen.end()) << call;
    return it - Seen.begin();
  };
  const auto last = [](const std::string& call) {
    const auto it = std::find(Seen.rbegin(), Seen.rend(), call);
    return static_cast<long>(Seen.rend() - it) - 1;
  };
  const long mark = at("open save.commit");
  EXPECT_LT(at("fsync hs.new"), mark);
  EXPECT_LT(at("fsync options.new"), mark);
  EXPECT_LT(at("write options.new"), at("fsync options.new"));
  const long firstRename = at("rename hs"), secondRename = at("rename options");
  const auto folderSync = std::find(Seen.begin() + mark, Seen.end(), "fsync Save");
  ASSERT_NE(folderSync, Seen.end());
  EXPECT_LT(folderSync - Seen.begin(), firstRename) << "the mark and the new names flushed first";
  EXPECT_LT(firstRename, secondRename) << "the table first";
  const long unmark = at("unlink save.commit");
  const auto afterRenames = std::find(Seen.begin() + secondRename, Seen.end(), "fsync Save");
  EXPECT_LT(afterRenames - Seen.begin(), unmark);
  EXPECT_EQ(last("fsync Save"), static_cast<long>(Seen.size()) - 2) << "the removal flushed too";

  NoFaults();
  THeadlessPlatform machine;
  Platform = &machine;
  machine.SetWindowPlace(1, 2);
  ASSERT_TRUE(SaveWindowPlace());
  Platform = nullptr;
  EXPECT_LT(at("fsync window.new"), at("rename window"));
}

// A failed exit save is shown on the screen: after the player's Yes the
// game says so for a while before the window closes.
TEST(SaveFailedNotice, IsShownBeforeTheWindowCloses) {
  TGameFolder game;
  fs::create_directories(game.Root / "Data/Save/hs.new/in the way");
  const fs::path shot = game.Root / "notice.png";
  const TScriptResult r = RunScript(
      "wait 30\nclose\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 2\nshot " + shot.string() +
          "\ndump\nwait 150\ndump\nwait 200\ndump\n",
      game.Root.string());
  ASSERT_EQ(r.Dumps.size(), 3u) << r.Output;
  EXPECT_EQ(JsonNumber(r.Dumps[0], "Terminated"), 0);
  EXPECT_GT(JsonNumber(r.Dumps[0], "SaveFailedNoticeMs"), 2000);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "Terminated"), 0) << "about two seconds in";
  EXPECT_EQ(JsonNumber(r.Dumps[2], "Terminated"), 1) << "closed after three seconds";
  EXPECT_NE(r.Output.find("cannot save"), std::string::npos) << r.Output;
  // The shot shows the notice: the red of the timed messages in the middle
  // of a black screen, light text under it.
  std::vector<uint8_t> picture = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e'};
  const std::string png = Read(shot);
  picture.insert(picture.end(), png.begin(), png.end());
  const TSurface s = DecodePicture(picture);
  int red = 0, light = 0;
  for (int y = 240; y < 300; ++y)
    for (int x = 150; x < 650; ++x) red += s.Row(y)[x] == 0xF40909;
  for (int y = 315; y < 350; ++y)
    for (int x = 150; x < 650; ++x) light += (s.Row(y)[x] & 0xFF) > 0xC0;
  EXPECT_GT(red, 1000);
  EXPECT_GT(light, 300);

  // A key closes it at once, once it has been up long enough to be seen:
  // not a key at once after the Yes.
  const TScriptResult k = RunScript(
      "wait 30\nclose\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 2\nkey down Esc\nwait 1\nkey up Esc\ndump\n"
      "wait 60\nkey down Esc\nwait 1\ndump\n",
      game.Root.string());
  ASSERT_EQ(k.Dumps.size(), 2u) << k.Output;
  EXPECT_EQ(JsonNumber(k.Dumps[0], "Terminated"), 0);
  EXPECT_EQ(JsonNumber(k.Dumps[1], "Terminated"), 1);
}

}  // namespace
