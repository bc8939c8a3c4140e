#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/script_support.h"

namespace {

std::string Dumps(int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += "wait 1\ndump\n";
  return s;
}

// The fade-in is counted in ticks: button 1 is done on tick 10, 2 on 19,
// 3 on 28, 4 and 5 on 37, 6 on 46, when the menu starts listening.
TEST(MainMenuScript, FadeInFinishesEachButtonOnItsTick) {
  const TScriptResult r = RunScript("seed 3\n" + Dumps(47));
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 47u);
  const int finishTick[7] = {0, 10, 19, 28, 37, 37, 46};
  for (int b = 1; b <= 6; ++b) {
    const std::string look = "MM_" + std::to_string(b) + "_I";
    for (int tick = 1; tick <= 46; ++tick) {
      const std::string& d = r.Dumps[static_cast<size_t>(tick - 1)];
      const bool done = JsonText(d, "Buttons").find(std::to_string(b) + " " + look + " 0 alpha=0") != std::string::npos;
      EXPECT_EQ(done, tick >= finishTick[b]) << "button " << b << " tick " << tick << "\n" << d;
    }
  }
  EXPECT_EQ(JsonNumber(r.Dumps[44], "MenuFadeIn"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[45], "MenuFadeIn"), 0);
  EXPECT_NE(JsonText(r.Dumps[0], "Sounds").find("PlaySound MenuBegin"), std::string::npos);
  EXPECT_NE(JsonText(r.Dumps[0], "Sounds").find("PlayMusic Data/Music/Menu.xm"), std::string::npos);
}

TEST(MainMenuScript, HoverIsSilentDuringTheFadeAndSoundsAfterIt) {
  const TScriptResult r = RunScript(
      "wait 2\ndump\n"
      "mouse 400 160\ndump\n"      // over item 2 while fading
      "click\ndump\n"              // a click only clicks
      "wait 50\ndump\n"
      "mouse 400 60\ndump\n"       // over item 1 after the fade
      "mouse 5 5\nwait 1\ndump\n");  // off every button: item 1 stays
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 6u);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "HoverButton"), 2);
  EXPECT_EQ(JsonText(r.Dumps[1], "Sounds"), "[]");
  EXPECT_EQ(JsonText(r.Dumps[2], "Sounds"), "[\"PlaySound Button\"]");
  EXPECT_EQ(JsonNumber(r.Dumps[2], "GameScreen"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[4], "HoverButton"), 1);
  EXPECT_EQ(JsonText(r.Dumps[4], "Sounds"), "[\"PlaySound Button\"]");
  EXPECT_EQ(JsonNumber(r.Dumps[5], "HoverButton"), 1);
  EXPECT_NE(JsonText(r.Dumps[5], "Buttons").find("1 MM_1_A"), std::string::npos);
}

struct TNavCase {
  int From;
  const char* Key;
  int To;
};

void PrintTo(const TNavCase& c, std::ostream* os) { *os << c.Key << " from " << c.From; }

class MainMenuNavigation : public ::testing::TestWithParam<TNavCase> {};

TEST_P(MainMenuNavigation, ArrowKeysFollowTheMenuLayout) {
  const TNavCase c = GetParam();
  static const int Y[7] = {0, 60, 160, 270, 370, 370, 520};
  static const int X[7] = {0, 396, 396, 396, 120, 600, 396};
  const TScriptResult r = RunScript("wait 50\nmouse " + std::to_string(X[c.From]) + " " + std::to_string(Y[c.From]) +
                                    "\nwait 1\nkey down " + c.Key + "\nwait 1\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 1u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "HoverButton"), c.To);
  EXPECT_NE(JsonText(r.Dumps[0], "Sounds").find("PlaySound Button"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Keys, MainMenuNavigation,
                         ::testing::Values(TNavCase{1, "Up", 6}, TNavCase{6, "Down", 1}, TNavCase{3, "Down", 5},
                                           TNavCase{4, "Down", 6}, TNavCase{5, "Up", 3}, TNavCase{6, "Up", 5},
                                           TNavCase{2, "Down", 3}, TNavCase{4, "Right", 5}, TNavCase{5, "Left", 4},
                                           TNavCase{4, "Left", 4}));

TEST(MainMenuScript, LeavingTheGameAsksFirstAndNoRestoresTheMenu) {
  TGameFolder game;
  const TScriptResult r = RunScript(
      "wait 50\nmouse 400 160\nwait 1\n"
      "key down Esc\nwait 1\nkey up Esc\ndump\n"
      "key down N\nwait 1\nkey up N\ndump\n"
      "close\nwait 1\ndump\n"
      "key down Y\nwait 1\ndump\n",
      game.Root.string());
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "OverlayWindow"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "HoverButton"), 12) << "No is preselected";
  EXPECT_EQ(JsonNumber(r.Dumps[1], "OverlayWindow"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "HoverButton"), 2);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "FirstButton"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "LastButton"), 6);
  EXPECT_EQ(JsonNumber(r.Dumps[2], "OverlayWindow"), 1) << "the close button asks too";
  EXPECT_EQ(JsonNumber(r.Dumps[3], "Terminated"), 1);
  EXPECT_TRUE(std::filesystem::exists(game.Root / "Data/Save/options")) << "leaving saves the settings";
  EXPECT_TRUE(std::filesystem::exists(game.Root / "Data/Save/hs"));
}

}  // namespace

namespace {

// Enter acts on the highlighted item like a click; with Alt held it switches
// the display instead and types nothing.
TEST(MainMenuScript, EnterActivatesAndAltEnterSwitchesTheDisplay) {
  TGameFolder game;
  std::ofstream(game.Root / "moregames.url") << "[InternetShortcut]\r\nURL=http://example.invalid/\r\n";
  const TScriptResult r = RunScript(
      "wait 50\nmouse 400 270\nwait 1\ndump\n"
      "key down Enter\nkey up Enter\nwait 1\ndump\n"
      "key down Alt\nkey down Enter\nkey up Enter\nkey up Alt\nwait 1\ndump\n"
      "key down Alt\nkey down Enter\nkey up Enter\nkey up Alt\nwait 1\ndump\n",
      game.Root.string());
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "HoverButton"), 3);
  EXPECT_EQ(JsonText(r.Dumps[1], "OpenedLinks"), "[\"moregames.url\"]");
  EXPECT_EQ(JsonText(r.Dumps[1], "Sounds"), "[\"PlaySound Button\"]");
  EXPECT_EQ(JsonNumber(r.Dumps[2], "FullScreen"), 1);
  EXPECT_EQ(JsonText(r.Dumps[2], "Sounds"), "[]");
  EXPECT_EQ(JsonText(r.Dumps[2], "OpenedLinks"), "[\"moregames.url\"]") << "Alt+Enter clicks nothing";
  EXPECT_EQ(JsonNumber(r.Dumps[3], "FullScreen"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "GameScreen"), 1);
}

}  // namespace
