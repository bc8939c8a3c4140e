#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/script_support.h"
#include "shell/highscores.h"
#include "shell/options_file.h"
#include "shell/settings.h"

namespace {

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// Main menu items, after the fade-in: 1 car selection, 2 highscores, 5 help.
const std::string ToCars = "wait 50\nmouse 400 60\nwait 1\nclick\nwait 1\n";
const std::string ToHighscores = "wait 50\nmouse 400 160\nwait 1\nclick\nwait 1\n";
// The menu's sprites, marked dead by the click, are still drawn on the
// tick after it; one more tick shows the new screen alone.
const std::string ToHelp = "wait 50\nmouse 600 370\nwait 1\nclick\nwait 2\n";

TEST(CarSelectionScript, CrossFadeTakesThirteenTicksAndLocksClicks) {
  const TScriptResult r = RunScript(ToCars +
                                    "dump\n"
                                    "mouse 210 350\nwait 1\nclick\nwait 1\ndump\n"  // previous car: 1 -> 6
                                    "click\nwait 10\ndump\n"                        // ignored while fading
                                    "wait 2\ndump\n"
                                    "mouse 580 350\nwait 1\nclick\n" +
                                    Repeat("wait 1\ndump\n", 13));
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 17u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "GameScreen"), 2);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "HoverButton"), 3) << "start is preselected";
  EXPECT_EQ(JsonNumber(r.Dumps[1], "CarSwitchState"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "PendingCar"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[2], "PendingCar"), 6) << "a click during the fade changes nothing";
  EXPECT_EQ(JsonNumber(r.Dumps[3], "CarSwitchState"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "SelectedCar"), 6);
  // Next from 6 wraps to 1; the fade ends on its 13th tick.
  for (int tick = 1; tick <= 13; ++tick) {
    const std::string& d = r.Dumps[static_cast<size_t>(3 + tick)];
    EXPECT_EQ(JsonNumber(d, "CarSwitchState"), tick < 13 ? 1 : 0) << "tick " << tick;
  }
  EXPECT_EQ(JsonNumber(r.Dumps[16], "SelectedCar"), 1);
}

TEST(CarSelectionScript, LeftMovesTheHighlightBeforeItStepsAndBackKeepsTheCar) {
  const TScriptResult r = RunScript(ToCars +
                                    "mouse 580 350\nwait 1\n"  // item 2 (next)
                                    "key down Left\nwait 1\nkey up Left\nwait 1\ndump\n"
                                    "key down Left\nwait 1\nkey up Left\nwait 20\ndump\n"
                                    "mouse 450 495\nwait 1\nclick\nwait 1\ndump\n"
                                    "mouse 400 60\nwait 1\nclick\nwait 2\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "HoverButton"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "SelectedCar"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "SelectedCar"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[2], "GameScreen"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "GameScreen"), 2);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "SelectedCar"), 6) << "the chosen car stays chosen";
}

TEST(HelpScript, PagesWrapAndPicturesShowOnlyOnTheirPages) {
  const TScriptResult r = RunScript(ToHelp +
                                    "dump\n"
                                    "mouse 560 530\nwait 1\nclick\nwait 2\ndump\n"  // previous: 1 -> 5
                                    "mouse 650 460\nwait 1\nclick\nwait 2\ndump\n"  // next: 5 -> 1
                                    "click\nwait 2\ndump\n"                         // 2
                                    "doubleclick\nwait 2\ndump\n");                 // two pages: 4
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 5u);
  const int pages[5] = {1, 5, 1, 2, 4};
  // The background, three buttons, eight icons and the logo are sprites;
  // only the visible ones are drawn: 4, +1 logo on page 5, +8 icons on page 2.
  const int drawn[5] = {4, 5, 4, 12, 4};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(JsonNumber(r.Dumps[i], "HelpPage"), pages[i]) << i;
    EXPECT_EQ(JsonNumber(r.Dumps[i], "DrawCount"), drawn[i]) << "page " << pages[i];
  }
}

TEST(HighscoresScript, ClearingAsksAndResetsTheTableAtOnce) {
  TGameFolder game;
  {
    // Save files of an earlier game whose table has a new best entry.
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(game.Root);
    SetDefaultOptions();
    ResetHighScores();
    HighScores[11] = {"Max", 9000};
    SortHighScores();
    ASSERT_TRUE(SaveOptions() && SaveHighScores());
    std::filesystem::current_path(home);
  }
  // A game built without a real score service (the stand-in name never
  // resolves).
  setenv("VOLTRACE2_SCORE_SERVER", "http://www.voltrace2.example", 1);
  const TScriptResult r = RunScript(ToHighscores +
                                    Repeat("key down Up\nwait 1\nkey up Up\nwait 1\n", 3) +  // no wrap past item 1
                                    "dump\n"
                                    "click\nwait 1\ndump\n"
                                    "key down N\nwait 1\nkey up N\nwait 1\ndump\n"
                                    "click\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 1\ndump\n"
                                    "mouse 100 360\nwait 1\nclick\nwait 1\ndump\n",
                                    game.Root.string());
  unsetenv("VOLTRACE2_SCORE_SERVER");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 5u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "HoverButton"), 1);
  EXPECT_NE(JsonText(r.Dumps[0], "HighScores").find("\"Max 9000\""), std::string::npos);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "OverlayWindow"), 4);
  EXPECT_NE(JsonText(r.Dumps[2], "HighScores").find("\"Max 9000\""), std::string::npos) << "No keeps the table";
  EXPECT_EQ(JsonNumber(r.Dumps[2], "OverlayWindow"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "OverlayWindow"), 0);
  EXPECT_NE(JsonText(r.Dumps[3], "HighScores").find("\"Ваня 5000\",\"Ваня 4500\""), std::string::npos);
  // The build's stand-in service address leads nowhere: the screen says so
  // instead of opening a page that cannot load.
  EXPECT_EQ(JsonText(r.Dumps[4], "OpenedLinks"), "[]");
  EXPECT_EQ(JsonText(r.Dumps[4], "LinkNotice"), "\"Адрес онлайн-таблицы не задан\"");
}

}  // namespace
