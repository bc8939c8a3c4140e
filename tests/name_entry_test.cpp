// The windows after a race with a score good enough for the table: the name
// entry, its send box, the sending notice and the highscores screen. Runs
// the real game in-process on the headless machine, from the build folder.
#include <gtest/gtest.h>

#include "gfx/cp1251.h"
#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "race/race.h"
#include "race/race_state.h"
#include "screens/activate_item.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/main_window.h"
#include "shell/settings.h"

namespace {

class NameEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    ResetHighScores();
    Tick(50);
    CloseMainMenuAndRace();
  }
  void TearDown() override {
    ResetGame();
    Platform = nullptr;
  }
  void Tick(int n) {
    for (int i = 0; i < n; ++i) MDXTimerTimer(11);
  }
  void Type(const std::string& utf8) {
    for (char c : Cp1251FromUtf8(utf8)) FormKeyPress(static_cast<unsigned char>(c));
  }
  // Straight into a race with a score worth a place, then the leave question.
  void CloseMainMenuAndRace() {
    SelectItem(1);  // car selection
    Tick(2);
    SelectItem(3);  // start
    Tick(200);      // past the level message
    ASSERT_EQ(GameScreen, 6);
    Score = 3000;
    OpenOverlay(2);
    Tick(1);
    SelectItem(11);  // yes, leave
    Tick(1);
  }
  THeadlessPlatform Machine;
};

TEST_F(NameEntryTest, EnterWithTheBoxTickedSendsAndShowsTheTable) {
  ASSERT_EQ(OverlayWindow, 8) << "a qualifying score asks for a name";
  Type("Пётр!");  // ё and ! are not name characters
  Tick(1);
  EXPECT_EQ(PlayerName, Cp1251FromUtf8("Птр"));
  FormKeyPress(13);
  EXPECT_EQ(SendChosen, 1);
  EXPECT_EQ(OverlayWindow, 9);
  EXPECT_TRUE(Machine.HttpRequests.empty()) << "the notice is shown for a frame first";
  Tick(1);
  EXPECT_TRUE(Machine.HttpRequests.empty());
  Tick(1);
  ASSERT_EQ(Machine.HttpRequests.size(), 1u);
  EXPECT_NE(Machine.HttpRequests[0].Url.find("/cgi/version.pl?hs&prg=Voltrace2&inf="), std::string::npos);
  EXPECT_EQ(GameScreen, 4);
  EXPECT_EQ(OverlayWindow, 0);
  EXPECT_EQ(HighScores[6].Name, Cp1251FromUtf8("Птр")) << "3000 goes below the old 3000";
  EXPECT_EQ(HighScores[6].Score, 3000);
}

TEST_F(NameEntryTest, UntickedBoxGoesStraightToTheTable) {
  ASSERT_EQ(OverlayWindow, 8);
  MDXDrawMouseMove(180, 390);
  MDXDrawClick();  // the send box: ticked -> empty
  Type("Ann");
  FormKeyPress(13);
  EXPECT_EQ(SendChosen, 0);
  EXPECT_EQ(GameScreen, 4);
  EXPECT_TRUE(Machine.HttpRequests.empty());
}

TEST_F(NameEntryTest, NameStopsAtTwelveCharacters) {
  Type("abcdefghijklmnop");
  EXPECT_EQ(PlayerName, "abcdefghijkl");
  FormKeyPress(8);
  EXPECT_EQ(PlayerName, "abcdefghijk");
}

}  // namespace
