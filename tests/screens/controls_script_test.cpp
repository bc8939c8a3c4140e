// The player's own settings through the real game: binding the race's keys
// on the controls screen, the volumes and the language on the options
// screen, and all of them kept for the next run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/script_support.h"

namespace {

const std::string ToOptions = "wait 50\nmouse 120 370\nwait 1\nclick\nwait 1\n";
const std::string ToControls = ToOptions + "mouse 660 540\nwait 1\nclick\nwait 2\n";
// The controls screen's row of an action (0 accelerate .. 8 pause).
std::string Row(int action) { return "mouse 300 " + std::to_string(232 + 25 * action + 12) + "\nwait 1\n"; }
const std::string Press = "wait 1\n";

std::string Binding(const std::string& dump, int action) {
  const std::string list = JsonText(dump, "Bindings");
  size_t at = 0;
  for (int i = 0; i <= action; ++i) at = list.find('"', i == 0 ? 0 : list.find('"', at + 1) + 1);
  return list.substr(at + 1, list.find('"', at + 1) - at - 1);
}

TEST(ControlsScript, ATakenKeyIsRefusedWithAMessageAndAFreeOneIsBound) {
  const TScriptResult r = RunScript(ToControls + "dump\n" + Row(3) + "click\nwait 2\n" +
                                    "key down Up\nwait 1\nkey up Up\nwait 1\ndump\n" +
                                    "scancode down 7\nwait 1\nscancode up 7\nwait 1\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 3u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "GameScreen"), 7);
  EXPECT_EQ(Binding(r.Dumps[0], 3), "79 0 14 -1") << "steering right starts on the Right arrow and the D-pad";
  EXPECT_EQ(JsonNumber(r.Dumps[1], "ControlsListening"), 3) << "a refused key leaves the row waiting";
  EXPECT_EQ(Binding(r.Dumps[1], 3), "79 0 14 -1");
  EXPECT_EQ(Binding(r.Dumps[1], 0), "82 0 11 -1") << "nor does it take the key away from accelerating";
  EXPECT_NE(JsonText(r.Dumps[1], "ControlsMessage").find("Up"), std::string::npos) << r.Dumps[1];
  EXPECT_EQ(JsonNumber(r.Dumps[2], "ControlsListening"), -1);
  EXPECT_EQ(Binding(r.Dumps[2], 3), "7 0 14 -1") << "D binds; the pad button stays";
  EXPECT_EQ(JsonText(r.Dumps[2], "ControlsMessage"), "\"\"");
}

TEST(ControlsScript, PadButtonsBindEscStopsWaitingAndTheDefaultsComeBack) {
  const TScriptResult r = RunScript(ToControls + Row(7) + "click\nwait 2\npad down LB\nwait 1\npad up LB\nwait 1\n" +
                                    "pad down Back\nwait 1\npad up Back\nwait 1\ndump\n" + Row(8) +
                                    "click\nwait 2\nkey down Esc\nwait 1\nkey up Esc\nwait 1\ndump\n" +
                                    "mouse 150 540\nwait 1\nclick\nwait 1\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 3u);
  EXPECT_EQ(Binding(r.Dumps[0], 7), "11 0 4 -1") << "LB is the handbrake's; Back is free and binds to the horn";
  EXPECT_EQ(JsonNumber(r.Dumps[1], "ControlsListening"), -1);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "GameScreen"), 7) << "Esc only stops the waiting";
  EXPECT_EQ(Binding(r.Dumps[1], 8), "19 0 6 -1");
  EXPECT_EQ(Binding(r.Dumps[2], 7), "11 0 3 -1") << "the defaults give the horn Y again";
}

// The race answers to the bound key, at any frame rate.
class ReboundRace : public ::testing::TestWithParam<int> {};

TEST_P(ReboundRace, AcceleratesOnTheBoundKeyOnly) {
  const std::string hz = std::to_string(GetParam());
  const TScriptResult r =
      RunScript("refresh " + hz + "\n" + ToControls + Row(0) + "click\nwait 2\nscancode down 26\nwait 1\n" +
                "scancode up 26\nwait 1\nkey down Esc\nwait 1\nkey up Esc\nwait 1\n"  // back to the options
                "key down Esc\nwait 1\nkey up Esc\nwait 1\n"                          // and the menu
                "mouse 400 55\nwait 1\nclick\nwait 2\nmouse 300 500\nwait 1\nclick\nwait 400\n"
                "key down Up\nwait 100\nkey up Up\ndump\n"
                "scancode down 26\nwait 100\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 2u);
  ASSERT_EQ(JsonNumber(r.Dumps[0], "GameScreen"), 6) << r.Dumps[0];
  EXPECT_EQ(JsonNumber(r.Dumps[0], "Speed"), 0) << "Up no longer accelerates";
  EXPECT_GT(JsonNumber(r.Dumps[1], "Speed"), 5) << "W does";
}

INSTANTIATE_TEST_SUITE_P(Rates, ReboundRace, ::testing::Values(60, 85, 144));

TEST(OptionsVolumes, StepAtOnceAndTheSwitchesStillMute) {
  const TScriptResult r = RunScript(ToOptions +
                                    "mouse 130 330\nwait 1\n"
                                    "key down Left\nwait 1\nkey up Left\nwait 1\n"
                                    "key down Left\nwait 1\nkey up Left\nwait 1\ndump\n"
                                    "click\nwait 1\ndump\n"
                                    "mouse 426 404\nwait 1\nclick\nwait 1\ndump\n"
                                    "mouse 626 404\nwait 1\nclick\nwait 1\n"
                                    "mouse 130 330\nwait 1\nclick\nwait 1\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "MusicVolume"), 80);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "SpeakerMusicVolume"), 80) << "heard at once";
  EXPECT_EQ(JsonNumber(r.Dumps[0], "MusicOn"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "MusicOn"), 0) << "the row's switch still mutes";
  EXPECT_EQ(JsonText(r.Dumps[1], "Music"), "\"\"");
  EXPECT_EQ(JsonNumber(r.Dumps[1], "MusicVolume"), 80) << "and keeps the level for when it is back";
  EXPECT_EQ(JsonNumber(r.Dumps[2], "EffectsVolume"), 0) << "a click at the slider's left end silences";
  EXPECT_EQ(JsonNumber(r.Dumps[2], "SpeakerEffectsVolume"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "EffectsVolume"), 100);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "MusicOn"), 1);
  EXPECT_NE(JsonText(r.Dumps[3], "Sounds").find("PlayMusic Data/Music/Menu.xm"), std::string::npos);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Chosen in one run, there in the next; the options file keeps its five
// lines; a first start takes the system's language.
TEST(PlayerSettingsScript, KeptForTheNextRunBesideAnUnchangedOptionsFile) {
  TGameFolder game;
  const TScriptResult first =
      RunScript("locale en_US.UTF-8\n" + ToOptions + "dump\nmouse 130 330\nwait 1\nkey down Left\nwait 1\n"
                "key up Left\nwait 1\nmouse 100 540\nwait 1\nclick\nwait 2\ndump\n"
                "mouse 660 540\nwait 1\nclick\nwait 2\n" + Row(6) + "click\nwait 2\nscancode down 10\nwait 1\n"
                "close\nwait 1\nkey down Y\nwait 1\n",
                game.Root.string());
  ASSERT_EQ(first.ExitCode, 0) << first.Output;
  ASSERT_EQ(first.Dumps.size(), 2u);
  EXPECT_EQ(JsonText(first.Dumps[0], "Language"), "\"en\"") << "the first start speaks the system's language";
  EXPECT_NE(JsonText(first.Dumps[0], "Buttons").find("Opt_Lang_En"), std::string::npos) << first.Dumps[0];
  EXPECT_EQ(JsonText(first.Dumps[1], "Language"), "\"ru\"");
  EXPECT_NE(JsonText(first.Dumps[1], "Buttons").find("Opt_Keys "), std::string::npos) << "the screen is Russian now";
  const std::string options = ReadFile(game.Root / "Data/Save/options");
  EXPECT_EQ(options, "0\r\n1\r\n1\r\n_______\r\n" + options.substr(options.find("_______\r\n") + 9));
  EXPECT_EQ(std::count(options.begin(), options.end(), '\n'), 5);
  EXPECT_NE(ReadFile(game.Root / "Data/Save/settings").find("nitro 10 0 2 -1"), std::string::npos);

  const TScriptResult second = RunScript("locale en_US.UTF-8\n" + ToOptions + "dump\n", game.Root.string());
  ASSERT_EQ(second.ExitCode, 0) << second.Output;
  ASSERT_EQ(second.Dumps.size(), 1u);
  EXPECT_EQ(JsonText(second.Dumps[0], "Language"), "\"ru\"") << "the choice outweighs the locale";
  EXPECT_EQ(JsonNumber(second.Dumps[0], "MusicVolume"), 90);
  EXPECT_EQ(JsonNumber(second.Dumps[0], "SpeakerMusicVolume"), 90);
  EXPECT_EQ(Binding(second.Dumps[0], 6), "10 0 2 -1");
}

}  // namespace
