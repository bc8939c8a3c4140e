// The exit saves as one change: a game stopped at any moment of them, or
// one whose files cannot be written, starts next time with the old table
// and its settings or with the new ones, never with a table thrown away
// for a checksum of the other game.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "gfx/cp1251.h"
#include "shell/highscores.h"
#include "shell/options_file.h"
#include "shell/save_pair.h"
#include "shell/settings.h"

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

int StopAt = -1;

bool StopHere(int step, const char*) {
  if (step == StopAt) _exit(0);  // the process dies here, mid-save
  return false;
}

class SavePair : public ::testing::Test {
 protected:
  void SetUp() override {
    Home = fs::current_path();
    Folder = fs::temp_directory_path() / ("voltrace2-pair-" + std::to_string(getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    fs::current_path(Folder);
    SetGame("Old");
    ASSERT_TRUE(SaveOptionsAndHighScores());
  }
  void TearDown() override {
    SaveStepHook = nullptr;
    fs::current_path(Home);
    fs::remove_all(Folder);
  }
  // Only the pair is left once a start has run.
  static void ExpectOnlyThePair() {
    for (const auto& e : fs::directory_iterator("Data/Save")) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name == "options" || name == "hs") << name << " left behind";
    }
  }
  fs::path Home, Folder;
};

TEST_F(SavePair, AStopAtEveryStepGivesTheOldPairOrTheNewOne) {
  int olds = 0, news = 0, step = 0;
  for (;; ++step) {
    ASSERT_LT(step, 30) << "the save never got to its end";
    SetGame("New");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      StopAt = step;
      SaveStepHook = StopHere;
      _exit(SaveOptionsAndHighScores() ? 3 : 4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    const int code = WEXITSTATUS(status);
    ASSERT_NE(code, 4) << "the save failed at step " << step;
    const std::string seen = Start();
    EXPECT_NE(seen, "mixed") << "stopped before step " << step;
    ExpectOnlyThePair();
    (seen == "Old" ? olds : news) += 1;
    if (code == 3) break;  // ran to its end: every step has had its stop
    // Back to the old pair for the next stop.
    SetGame("Old");
    ASSERT_TRUE(SaveOptionsAndHighScores());
  }
  EXPECT_GE(step, 7) << "the stops covered too few steps";
  EXPECT_GE(olds, 4) << "stops while writing keep the old pair";
  EXPECT_GE(news, 3) << "stops after the commit give the new pair";
}

// Kills at random moments of saves running back to back, by a real signal.
TEST_F(SavePair, RandomKillsNeverMixTheTwoGames) {
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

class SavePairBlocked : public SavePair, public ::testing::WithParamInterface<const char*> {};

// Something in the way of either new file: the save reports the failure and
// the old pair stays, both files of it.
TEST_P(SavePairBlocked, AFailedWriteOfEitherFileKeepsTheOldPair) {
  fs::create_directories(fs::path("Data/Save") / GetParam());
  SetGame("New");
  EXPECT_FALSE(SaveOptionsAndHighScores());
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

}  // namespace
