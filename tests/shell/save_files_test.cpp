#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gfx/cp1251.h"
#include "platform/headless_platform.h"
#include "shell/highscores.h"
#include "shell/main_window.h"
#include "shell/options_file.h"
#include "shell/save_files.h"
#include "shell/settings.h"

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh folder of its own, where Data/Save is made.
class SaveFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Home = fs::current_path();
    Folder = fs::temp_directory_path() / ("voltrace2-save-" + std::to_string(getpid()) + "-" +
                                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    fs::current_path(Folder);
    SetDefaultOptions();
    ResetHighScores();
  }
  void TearDown() override {
    fs::current_path(Home);
    fs::remove_all(Folder);
  }
  static void Write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The game's own start-up, in this folder: the archives are the build's,
  // the save files the test's.
  void LoadAll() {
    fs::create_directories("Data");
    for (const char* kind : {"Res", "Fonts"})
      if (!fs::exists(fs::path("Data") / kind)) fs::create_directory_symlink(Home / "Data" / kind, fs::path("Data") / kind);
    THeadlessPlatform machine;
    Platform = &machine;
    // Whatever the test left in the settings stays there, so the start-up
    // has to set every one of them itself.
    uint8_t fullScreen = FullScreen, musicOn = MusicOn, soundOn = SoundOn;
    std::string country = Country;
    ResetGame();
    FullScreen = fullScreen;
    MusicOn = musicOn;
    SoundOn = soundOn;
    Country = country;
    FormCreate(1);
    fullScreen = FullScreen;
    musicOn = MusicOn;
    soundOn = SoundOn;
    country = Country;
    ResetGame();  // frees the menu; the settings that were read are put back
    Platform = nullptr;
    FullScreen = fullScreen;
    MusicOn = musicOn;
    SoundOn = soundOn;
    Country = country;
  }
  static bool IsDefaultTable() {
    for (int i = 1; i <= 10; ++i)
      if (HighScores[i].Name != Cp1251FromUtf8("Ваня") || HighScores[i].Score != (11 - i) * 500) return false;
    return true;
  }
  fs::path Home, Folder;
};

TEST_F(SaveFilesTest, ChecksumsOfTheKnownTables) {
  EXPECT_EQ(Checksum(), std::string("\xD2\x34\xA2\x26"));
  for (int i = 1; i <= 10; ++i) HighScores[i] = {"", 0};
  HighScores[1] = {"abc", 7};
  EXPECT_EQ(Checksum(), std::string("\x48\xA2\xA3"));
  // Only as many score digits count as the longest name is long.
  ResetHighScores();
  const std::string before = Checksum();
  HighScores[1].Score = 10000;
  const std::string tenThousand = Checksum();
  HighScores[1].Score = 10009;
  EXPECT_EQ(Checksum(), tenThousand);
  EXPECT_NE(tenThousand, before);
}

TEST_F(SaveFilesTest, NoFilesGiveTheDefaults) {
  FullScreen = 1;
  Country = "x";
  HighScores[3].Score = 1;
  LoadAll();
  EXPECT_EQ(FullScreen, 0);
  EXPECT_EQ(MusicOn, 1);
  EXPECT_EQ(SoundOn, 1);
  EXPECT_EQ(Country, "_______");
  EXPECT_TRUE(IsDefaultTable());
}

TEST_F(SaveFilesTest, RoundTripKeepsCyrillicNamesNegativeScoresAndSettings) {
  HighScores[1] = {Cp1251FromUtf8("Ёжик в тумане"), 2147483647};
  HighScores[10] = {"", -25};
  FullScreen = 1;
  MusicOn = 0;
  Country = Cp1251FromUtf8("Россия");
  ASSERT_TRUE(SaveOptions());
  ASSERT_TRUE(SaveHighScores());
  EXPECT_EQ(Read("Data/Save/options").substr(0, 9), "1\r\n0\r\n1\r\n");
  ResetHighScores();
  SetDefaultOptions();
  LoadAll();
  EXPECT_EQ(HighScores[1].Name, Cp1251FromUtf8("Ёжик в тумане"));
  EXPECT_EQ(HighScores[1].Score, 2147483647);
  EXPECT_EQ(HighScores[10].Name, "");
  EXPECT_EQ(HighScores[10].Score, -25);
  EXPECT_EQ(FullScreen, 1);
  EXPECT_EQ(MusicOn, 0);
  EXPECT_EQ(Country, Cp1251FromUtf8("Россия"));
}

TEST_F(SaveFilesTest, SwitchesReadAnyNonZeroAsOn) {
  Write("Data/Save/options", "2\r\n0\r\n7\r\nRU\r\n\r\n");
  LoadOptions();
  EXPECT_EQ(FullScreen, 1);
  EXPECT_EQ(MusicOn, 0);
  EXPECT_EQ(SoundOn, 1);
  EXPECT_EQ(Country, "RU");
}

TEST_F(SaveFilesTest, EditedTruncatedOrGarbageTablesGiveTheDefaultTable) {
  HighScores[2] = {"Max", 4700};
  ASSERT_TRUE(SaveOptions());
  ASSERT_TRUE(SaveHighScores());
  const std::string good = Read("Data/Save/hs");
  const std::string edited = [&] {
    std::string s = good;
    s.replace(s.find("4700"), 4, "9700");
    return s;
  }();
  for (const std::string& hs : {edited, good.substr(0, good.size() / 2), std::string("\x01\xFFgarbage\r\nnot a number\r\n"),
                                std::string()}) {
    Write("Data/Save/hs", hs);
    ResetHighScores();
    HighScores[2] = {"Max", 4700};
    LoadAll();
    EXPECT_TRUE(IsDefaultTable()) << hs;
  }
  Write("Data/Save/hs", good);  // the untouched file still loads
  LoadAll();
  EXPECT_EQ(HighScores[2].Name, "Max");
}

TEST_F(SaveFilesTest, OptionsThatDoNotParseGiveTheDefaults) {
  Write("Data/Save/options", "full\r\n1\r\n1\r\nRU\r\nxx\r\n");
  FullScreen = 1;
  LoadOptions();
  EXPECT_EQ(FullScreen, 0);
  EXPECT_EQ(Country, "_______");
}

// A file cut short is still read line by line: the lines that are there
// count, a missing line reads as empty, and an empty switch keeps its
// default (full screen off, music and sound on).
TEST_F(SaveFilesTest, ShortOptionsFilesKeepWhatTheyHold) {
  struct TCase {
    const char* Text;
    int FullScreen, MusicOn, SoundOn;
    const char* Country;
  };
  const TCase cases[] = {
      {"2\r\n0\r\n7\r\n", 1, 0, 1, ""},
      {"2\r\n0\r\n7", 1, 0, 1, ""},
      {"0\r\n1\r\n0\r\nRU", 0, 1, 0, "RU"},
      {"1\r\n", 1, 1, 1, ""},
      {"\r\n0\r\n", 0, 0, 1, ""},
      {"", 0, 1, 1, ""},
  };
  for (const TCase& c : cases) {
    Write("Data/Save/options", c.Text);
    FullScreen = 1;
    MusicOn = SoundOn = 0;
    HSChecksum = "old";
    LoadOptions();
    EXPECT_EQ(FullScreen, c.FullScreen) << c.Text;
    EXPECT_EQ(MusicOn, c.MusicOn) << c.Text;
    EXPECT_EQ(SoundOn, c.SoundOn) << c.Text;
    EXPECT_EQ(Country, c.Country) << c.Text;
    EXPECT_EQ(HSChecksum, "") << c.Text;
  }
}

// Without its checksum line the options keep their settings; only the table
// goes back to the default one.
TEST_F(SaveFilesTest, MissingChecksumLineResetsOnlyTheTable) {
  HighScores[2] = {"Max", 4700};
  ASSERT_TRUE(SaveHighScores());
  Write("Data/Save/options", "1\r\n0\r\n1\r\nRU\r\n");
  LoadAll();
  EXPECT_TRUE(IsDefaultTable());
  EXPECT_EQ(FullScreen, 1);
  EXPECT_EQ(MusicOn, 0);
  EXPECT_EQ(SoundOn, 1);
  EXPECT_EQ(Country, "RU");
}

// A table is twenty lines: one cut after its tenth name (nineteen lines),
// or with a score no 32-bit number holds, is not the game's table and gives
// the default one; leading zeros are only zeros.
TEST_F(SaveFilesTest, ATableCutAfterItsTenthNameOrWithAHugeScoreIsTheDefault) {
  std::string nineteen;
  for (int i = 1; i <= 10; ++i) nineteen += "Max" + std::to_string(i) + "\r\n" + (i < 10 ? std::to_string(1100 - 100 * i) + "\r\n" : "");
  const auto withScore = [&](const std::string& score) { return nineteen + score + "\r\n"; };
  ASSERT_EQ(std::count(nineteen.begin(), nineteen.end(), '\n'), 19);
  const struct {
    std::string Text;
    int32_t Tenth;  // the tenth score read, 0 for the default table
  } cases[] = {
      {nineteen, 0},
      {nineteen + "\r\n", 0},
      {withScore("12345678901234567890"), 0},
      {withScore("18446744073709551616"), 0},  // 2 to the 64th: 0 once wrapped
      {withScore("-99999999999999999999"), 0},
      {withScore("2147483648"), 0},
      {withScore("00000000000000000042"), 42},
      {withScore("-2147483648"), INT32_MIN},
  };
  for (const auto& c : cases) {
    Write("Data/Save/hs", c.Text);
    for (int i = 1; i <= 10; ++i) HighScores[i] = {"x", 1};
    LoadHighScores();
    if (c.Tenth == 0) {
      EXPECT_TRUE(IsDefaultTable()) << c.Text;
    } else {
      EXPECT_EQ(HighScores[9].Name, "Max9") << c.Text;
      EXPECT_EQ(HighScores[10].Score, c.Tenth) << c.Text;
    }
  }
  // The same for a switch of the options: twenty digits of a value that
  // fits are that value; any other twenty digits are not our file.
  Write("Data/Save/options", "00000000000000000001\r\n0\r\n1\r\nRU\r\n\r\n");
  LoadOptions();
  EXPECT_EQ(FullScreen, 1);
  EXPECT_EQ(Country, "RU");
  Write("Data/Save/options", "18446744073709551617\r\n0\r\n1\r\nRU\r\n\r\n");
  LoadOptions();
  EXPECT_EQ(FullScreen, 0);
  EXPECT_EQ(MusicOn, 1);
  EXPECT_EQ(Country, "_______");
}

TEST_F(SaveFilesTest, AFailedSaveLeavesTheOldFileWhole) {
  ASSERT_TRUE(SaveHighScores());
  const std::string old = Read("Data/Save/hs");
  // Something in the way of the new file: the write fails half way.
  fs::create_directories("Data/Save/hs.new");
  HighScores[1].Score = 99999;
  EXPECT_FALSE(SaveHighScores());
  EXPECT_EQ(Read("Data/Save/hs"), old);
}

TEST_F(SaveFilesTest, MissingFolderIsCreated) {
  ASSERT_FALSE(fs::exists("Data/Save"));
  EXPECT_TRUE(SaveOptions());
  EXPECT_TRUE(fs::exists("Data/Save/options"));
}

struct TEntryCase {
  int32_t Score;
  bool Qualifies;
  int Slot;  // where it lands after sorting; 11 = dropped out
};

void PrintTo(const TEntryCase& c, std::ostream* os) { *os << "score " << c.Score; }

class HighScoreEntryTest : public ::testing::TestWithParam<TEntryCase> {};

TEST_P(HighScoreEntryTest, NewScoreLandsBelowEqualScores) {
  const TEntryCase c = GetParam();
  ResetHighScores();
  EXPECT_EQ(Qualifies(c.Score), c.Qualifies);
  HighScores[11] = {"new", c.Score};
  SortHighScores();
  int slot = 0;
  for (int i = 1; i <= 11; ++i)
    if (HighScores[i].Name == "new") slot = i;
  EXPECT_EQ(slot, c.Slot);
  if (c.Slot == 10) {
    EXPECT_EQ(HighScores[11].Score, 500);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, HighScoreEntryTest,
                         ::testing::Values(TEntryCase{500, false, 11}, TEntryCase{501, true, 10},
                                           TEntryCase{3000, true, 6}, TEntryCase{9000, true, 1},
                                           TEntryCase{-5, false, 11}),
                         [](const auto& info) { return "Score" + std::to_string(info.index); });

}  // namespace
