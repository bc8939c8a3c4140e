// The player's settings file beside the saves: what it keeps, what it
// refuses, and that the options file beside it stays the design's five lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/system_locale.h"
#include "shell/highscores.h"
#include "shell/key_bindings.h"
#include "shell/language.h"
#include "shell/options_file.h"
#include "shell/player_settings.h"
#include "shell/save_files.h"
#include "shell/settings.h"
#include "sprites/image_list.h"

namespace {

namespace fs = std::filesystem;

class PlayerSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SavedFolder = SaveFolder;
    // A table of cases names its tests "Name/3": one folder, not a folder in
    // a folder that the removal at the end would leave behind.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    Folder = fs::temp_directory_path() / ("voltrace2-settings-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    SaveFolder = Folder.string();
    SetDefaultPlayerSettings("");
  }
  void TearDown() override {
    SetDefaultPlayerSettings("");
    SaveFolder = SavedFolder;
    fs::remove_all(Folder);
  }
  void Write(const std::string& text) { std::ofstream(Folder / "settings", std::ios::binary) << text; }
  std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Loads and gives back what the load said on stderr.
  std::string Load(const std::string& locale = "") {
    ::testing::internal::CaptureStderr();
    LoadPlayerSettings(locale);
    return ::testing::internal::GetCapturedStderr();
  }
  static bool AtDefaults() {
    for (int a = 0; a < RaceActionCount; ++a)
      for (int i = 0; i < 2; ++i)
        if (Bindings[a].Keys[i] != DefaultBindings[a].Keys[i] ||
            Bindings[a].PadButtons[i] != DefaultBindings[a].PadButtons[i])
          return false;
    return MusicVolume == 100 && EffectsVolume == 100 && GhostOn == 0;
  }
  fs::path Folder;
  std::string SavedFolder;
};

TEST_F(PlayerSettingsTest, WhatIsSavedComesBackAndTheOptionsFileStaysTheDesigns) {
  int holder = -1;
  ASSERT_EQ(BindKey(raAccelerate, 26, holder), brBound);  // W
  ASSERT_EQ(BindPadButton(raFire, pbRightShoulder, holder), brTaken) << "the handbrake has both shoulders";
  ASSERT_EQ(BindPadButton(raHandbrake, pbLeftShoulder, holder), brBound);
  ASSERT_EQ(BindPadButton(raFire, pbRightShoulder, holder), brBound);
  MusicVolume = 30;
  EffectsVolume = 0;
  GhostOn = 1;
  SetLanguage(lgEnglish);
  const std::string options = OptionsFileText();
  ASSERT_TRUE(SavePlayerSettings());
  EXPECT_FALSE(fs::exists(Folder / "settings.new")) << "the new file is renamed into place";
  EXPECT_EQ(Read(Folder / "settings"), PlayerSettingsText());
  EXPECT_EQ(OptionsFileText(), options) << "the new settings do not touch the options file";
  EXPECT_EQ(std::count(options.begin(), options.end(), '\n'), 5);

  SetDefaultPlayerSettings("");
  ASSERT_TRUE(AtDefaults());
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(Bindings[raAccelerate].Keys[0], 26);
  EXPECT_EQ(Bindings[raAccelerate].Keys[1], NoKey);
  EXPECT_EQ(Bindings[raFire].PadButtons[0], pbRightShoulder);
  EXPECT_EQ(Bindings[raHandbrake].PadButtons[1], NoPadButton);
  EXPECT_EQ(MusicVolume, 30);
  EXPECT_EQ(EffectsVolume, 0);
  EXPECT_EQ(GhostOn, 1);
  EXPECT_EQ(Language, lgEnglish);
  EXPECT_EQ(PictureVariantSuffix, "_En") << "English pictures go with the English texts";
}

// A file that is not ours, whole or in one line, gives every default and
// says so once.
class DamagedSettings : public PlayerSettingsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DamagedSettings, FallBackToTheDefaultsWithOneLine) {
  Write(GetParam());
  MusicVolume = 50;
  GhostOn = 1;
  const std::string said = Load("ru_RU.UTF-8");
  EXPECT_TRUE(AtDefaults());
  EXPECT_EQ(Language, lgRussian);
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("settings"), std::string::npos) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedSettings,
    ::testing::Values("options\r\n1\r\n1\r\n",                                          // not a settings file
                      "voltrace2-settings 1\r\nmusic 55\r\n",                            // not a step of 10
                      "voltrace2-settings 1\r\neffects 110\r\n",                         // above full
                      "voltrace2-settings 1\r\nmusic loud\r\n",                          // words for a number
                      "voltrace2-settings 1\r\nlanguage de\r\n",                         // no such language
                      "voltrace2-settings 1\r\nghost 2\r\n",                             // a switch is 0 or 1
                      "voltrace2-settings 1\r\nghost 1\r\nspeed 3\r\n",                  // a good line, then a bad one
                      "voltrace2-settings 1\r\nspeed 3\r\n",                             // no such setting
                      "voltrace2-settings 1\r\nmusic 50 60\r\n",                         // more than one value
                      "voltrace2-settings 1\r\naccelerate 29 0 11 -1\r\n",               // Z, fire's key, twice
                      "voltrace2-settings 1\r\nhorn 41 0 3 -1\r\n",                      // Esc is the game's
                      "voltrace2-settings 1\r\nhorn 11 0 1 -1\r\n",                      // so is the pad's B
                      "voltrace2-settings 1\r\nhorn 11 0 15 -1\r\n",                     // no such pad button
                      "voltrace2-settings 1\r\nhorn 600 0 3 -1\r\n",                     // no such key
                      "voltrace2-settings 1\r\nhorn 11 0\r\n",                           // cut short
                      "voltrace2-settings 1\r\nbrake 81 0 12 -1\r\nbrake 81 0 12 -1\r\n"  // twice
                      ));

TEST_F(PlayerSettingsTest, AnOlderFileKeepsTheLinesItHasWithoutAWord) {
  Write("voltrace2-settings 1\r\nmusic 40\r\n\r\n");
  GhostOn = 1;
  EXPECT_EQ(Load("en_GB.UTF-8"), "");
  EXPECT_EQ(GhostOn, 0) << "a file from before the ghost leaves it off";
  EXPECT_EQ(MusicVolume, 40);
  EXPECT_EQ(EffectsVolume, 100);
  EXPECT_EQ(Language, lgEnglish) << "no language line: the system's";
}

struct TLocaleCase {
  const char* Locale;
  uint8_t Language;
};

class FirstStartLanguage : public PlayerSettingsTest, public ::testing::WithParamInterface<TLocaleCase> {};

TEST_P(FirstStartLanguage, FollowsTheSystemLocale) {
  EXPECT_EQ(Load(GetParam().Locale), "") << "no file is no damage";
  EXPECT_EQ(Language, GetParam().Language);
  EXPECT_TRUE(AtDefaults());
}

INSTANTIATE_TEST_SUITE_P(Locales, FirstStartLanguage,
                         ::testing::Values(TLocaleCase{"", lgRussian}, TLocaleCase{"ru_RU.UTF-8", lgRussian},
                                           TLocaleCase{"ru", lgRussian}, TLocaleCase{"uk_UA.UTF-8", lgRussian},
                                           TLocaleCase{"en_US.UTF-8", lgEnglish}, TLocaleCase{"de_DE@euro", lgEnglish},
                                           TLocaleCase{"rue_UA", lgEnglish}));

// LC_ALL over LC_MESSAGES over LANG; "C" names no language.
TEST(SystemLocale, TakesTheVariablesInThePosixOrder) {
  const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::string saved[3];
  bool had[3];
  for (int i = 0; i < 3; ++i) {
    const char* v = std::getenv(names[i]);
    had[i] = v != nullptr;
    saved[i] = v ? v : "";
  }
  setenv("LANG", "de_DE.UTF-8", 1);
  setenv("LC_MESSAGES", "en_GB.UTF-8", 1);
  setenv("LC_ALL", "ru_RU.UTF-8", 1);
  EXPECT_EQ(LocaleFromEnvironment(), "ru_RU.UTF-8");
  unsetenv("LC_ALL");
  EXPECT_EQ(LocaleFromEnvironment(), "en_GB.UTF-8");
  setenv("LC_MESSAGES", "", 1);
  EXPECT_EQ(LocaleFromEnvironment(), "de_DE.UTF-8");
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(LocaleFromEnvironment(), "");
  for (int i = 0; i < 3; ++i) {
    if (had[i]) setenv(names[i], saved[i].c_str(), 1);
    else unsetenv(names[i]);
  }
}

}  // namespace
