#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/script_support.h"

namespace {

// From the main menu (after the fade-in) into the options screen.
const std::string ToOptions = "wait 50\nmouse 120 370\nwait 1\nclick\nwait 1\n";

TEST(OptionsScript, EscEndsTypingFirstAndLeavesSecond) {
  const TScriptResult r = RunScript(ToOptions +
                                    "dump\n"
                                    "mouse 130 450\nwait 1\nclick\nwait 1\ndump\n"
                                    "key down Esc\nwait 1\nkey up Esc\nwait 1\ndump\n"
                                    "key down Esc\nwait 1\nkey up Esc\nwait 1\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "GameScreen"), 3);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "HoverButton"), 5) << "back is preselected";
  EXPECT_EQ(JsonNumber(r.Dumps[1], "CountryEditActive"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[2], "CountryEditActive"), 0);
  EXPECT_EQ(JsonNumber(r.Dumps[2], "GameScreen"), 3);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "GameScreen"), 1);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "HoverButton"), 4) << "the menu comes back on its options item";
}

TEST(OptionsScript, CountryStopsAtSixteenCharactersOrItsWidth) {
  const TScriptResult r = RunScript(ToOptions +
                                    "mouse 130 450\nwait 1\nclick\nwait 1\n"
                                    "key down Backspace\nkey up Backspace\n"  // the default text loses one underscore
                                    "dump\n"
                                    "type 12345678901234567890\nwait 1\ndump\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "key down Backspace\nkey up Backspace\n"
                                    "type ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ\nwait 1\ndump\n"
                                    "type Ё!\nwait 1\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(JsonText(r.Dumps[0], "Country"), "\"______\"");
  // Digits are narrow: the sixteenth character is where it stops.
  EXPECT_EQ(JsonText(r.Dumps[1], "Country"), "\"______1234567890\"");
  // Wide letters stop at the width limit, before sixteen.
  const std::string wide = JsonText(r.Dumps[2], "Country");
  const size_t letters = (wide.size() - 2) / 2;  // two UTF-8 bytes a letter
  EXPECT_GT(letters, 3u);
  EXPECT_LT(letters, 16u);
  EXPECT_EQ(JsonText(r.Dumps[3], "Country"), wide) << "Ё and ! are not typed";
}

TEST(OptionsScript, MusicSoundAndDisplayTogglesActAtOnce) {
  const TScriptResult r = RunScript(ToOptions +
                                    "dump\n"
                                    "mouse 130 330\nwait 1\nclick\ndump\n"
                                    "click\ndump\n"
                                    "mouse 130 390\nwait 1\nclick\ndump\n"
                                    "mouse 130 260\nwait 1\nclick\ndump\n");
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 5u);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "MusicOn"), 0);
  EXPECT_EQ(JsonText(r.Dumps[1], "Music"), "\"\"") << "music off stops the tune";
  EXPECT_EQ(JsonNumber(r.Dumps[2], "MusicOn"), 1);
  EXPECT_NE(JsonText(r.Dumps[2], "Sounds").find("PlayMusic Data/Music/Menu.xm"), std::string::npos);
  EXPECT_EQ(JsonNumber(r.Dumps[3], "SoundOn"), 0);
  EXPECT_EQ(JsonText(r.Dumps[4], "Sounds"), "[]") << "with sound off not even the click sounds";
  EXPECT_EQ(JsonNumber(r.Dumps[4], "FullScreen"), 1);
}

std::string Press(const char* key) { return std::string("key down ") + key + "\nwait 1\nkey up " + key + "\nwait 1\n"; }

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The ghost switch, over the first row: off at first, on by Enter, kept
// for the next run in the player's settings; the options file is the five
// lines it always was, to the byte.
TEST(OptionsScript, GhostSwitchIsKeptBesideAnUnchangedOptionsFile) {
  TGameFolder game;
  const TScriptResult first =
      RunScript(ToOptions + "dump\n" + Press("Up") + Press("Up") + Press("Up") + Press("Up") + "dump\n" +
                    Press("Up") + "dump\n" + Press("Enter") + "dump\n" + Press("Down") + "dump\n" +
                    "close\nwait 1\nkey down Y\nwait 1\n",
                game.Root.string());
  ASSERT_EQ(first.ExitCode, 0) << first.Output;
  ASSERT_EQ(first.Dumps.size(), 5u);
  const auto ghostFrame = [](const std::string& dump) {
    const std::string buttons = JsonText(dump, "Buttons");
    const size_t at = buttons.find("10 Opt_Ghost ");
    return at == std::string::npos ? -1 : buttons[at + 13] - '0';
  };
  EXPECT_EQ(ghostFrame(first.Dumps[0]), 1) << "off";
  EXPECT_EQ(JsonNumber(first.Dumps[1], "HoverButton"), 1);
  EXPECT_EQ(JsonNumber(first.Dumps[2], "HoverButton"), 10) << "Up from the first row";
  EXPECT_EQ(ghostFrame(first.Dumps[2]), 0) << "off, hovered";
  EXPECT_EQ(ghostFrame(first.Dumps[3]), 2) << "on, hovered";
  EXPECT_EQ(JsonNumber(first.Dumps[4], "HoverButton"), 1) << "Down goes back to the first row";
  EXPECT_EQ(ghostFrame(first.Dumps[4]), 3) << "on";
  EXPECT_EQ(FileText(game.Root / "Data/Save/options"), "0\r\n1\r\n1\r\n_______\r\n\xD2\x34\xA2\x26\r\n");
  EXPECT_NE(FileText(game.Root / "Data/Save/settings").find("\r\nghost 1\r\n"), std::string::npos);

  // Read back: on; a click turns it off again.
  const TScriptResult second =
      RunScript(ToOptions + "dump\nmouse 560 220\nwait 1\nclick\nwait 1\ndump\n", game.Root.string());
  ASSERT_EQ(second.ExitCode, 0) << second.Output;
  ASSERT_EQ(second.Dumps.size(), 2u);
  EXPECT_EQ(ghostFrame(second.Dumps[0]), 3);
  EXPECT_EQ(ghostFrame(second.Dumps[1]), 0) << "off, under the mouse";
}

}  // namespace
