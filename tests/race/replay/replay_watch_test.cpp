// Watching a kept game from the top-ten table, as a player does it: the tag
// of the entry, the replay on the race screen with its keys, and back to
// the table with nothing written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gfx/cp1251.h"
#include "race/replay/replay_keep.h"
#include "race/replay/replay_scripts.h"
#include "support/script_support.h"

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> FolderContents(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::ifstream in(e.path(), std::ios::binary);
    files[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

std::string Press(const char* key) { return std::string("key down ") + key + "\nwait 1\nkey up " + key + "\nwait 1\n"; }

class WatchingFromTheTable : public ::testing::TestWithParam<int> {};

TEST_P(WatchingFromTheTable, PlaysTheEntrysGameWithItsKeysAndWritesNothing) {
  const int hz = GetParam();
  TGameFolder game;
  const fs::path file = game.Root / "game.vrec", trace = game.Root / "watch.trace", save = game.Root / "Data/Save";
  const TScriptResult recorded =
      RunScript(ToRaceAt(hz, 3) + RestlessDriving(hz, 3, 20) + "replay save " + file.string() + "\n", game.Root.string());
  ASSERT_EQ(recorded.ExitCode, 0) << recorded.Output;
  // The game stands in the table as the tenth entry of the first start's
  // table ("Ваня", 500), so it is the best game of level 1 with a name.
  TRecording r;
  std::string error;
  ASSERT_TRUE(ReadRecordingFile(file.string(), r, error)) << error;
  r.Name = Cp1251FromUtf8("Ваня");
  r.FinalScore = 500;
  ASSERT_TRUE(WriteRecordingFile((save / "best-1.vrec").string(), r));
  const auto before = FolderContents(save);

  const TScriptResult watched = RunScript(
      "seed 8\nrefresh 75\nwait 50\n" + ToTheTable() + "wait 5\n" + Press("Right") + "dump\nreplay trace " +
          trace.string() + "\n" + Press("Enter") + "wait 20\ndump\n" + Press("P") + "dump\nwait 20\ndump\n" +
          Press("P") + Press("Right") + Press("Right") + Press("Right") + Press("Right") + Press("Right") +
          "wait 10\n" + Press("Esc") + "wait 2\ndump\n" +
          // The mouse on the tag of the tenth entry, and a click.
          "mouse 292 580\nwait 2\nclick\nwait 2\ndump\n" + Press("Esc") + "wait 2\n",
      game.Root.string());
  ASSERT_EQ(watched.ExitCode, 0) << watched.Output;
  ASSERT_EQ(watched.Dumps.size(), 6u);
  EXPECT_EQ(JsonNumber(watched.Dumps[0], "GameScreen"), 4);
  EXPECT_EQ(JsonNumber(watched.Dumps[0], "HoverButton"), 0) << "the entry's tag is chosen, not a button";
  EXPECT_EQ(JsonNumber(watched.Dumps[1], "GameScreen"), 6) << "Enter plays the chosen entry's game";
  EXPECT_EQ(JsonNumber(watched.Dumps[1], "SelectedCar"), r.SelectedCar);
  EXPECT_EQ(JsonText(watched.Dumps[2], "TimeLeft"), JsonText(watched.Dumps[3], "TimeLeft")) << "P stops the replay";
  EXPECT_EQ(JsonText(watched.Dumps[2], "MapRow"), JsonText(watched.Dumps[3], "MapRow"));
  EXPECT_EQ(JsonNumber(watched.Dumps[4], "GameScreen"), 4) << "Esc leads back to the table";
  EXPECT_EQ(JsonText(watched.Dumps[4], "HighScores"), JsonText(watched.Dumps[0], "HighScores"));
  EXPECT_EQ(JsonNumber(watched.Dumps[5], "GameScreen"), 6) << "a click on the entry's tag plays its game";

  // The trace has the last recorded frame of every frame shown: one apart
  // at the normal speed, eight apart at the fastest, which four presses of
  // the right arrow reach and a fifth does not pass.
  std::ifstream in(trace);
  std::string line;
  long last = -1, widest = 0, narrowest = 1000;
  while (std::getline(in, line)) {
    const long frame = std::stol(line);
    if (frame < last) break;  // the second watch, started by the click
    if (last >= 0) {
      widest = std::max(widest, frame - last);
      narrowest = std::min(narrowest, frame - last);
    }
    last = frame;
  }
  EXPECT_EQ(narrowest, 1);
  EXPECT_EQ(widest, 8);
  EXPECT_EQ(FolderContents(save), before) << "watching writes no save and keeps no game";
}

INSTANTIATE_TEST_SUITE_P(Rates, WatchingFromTheTable, ::testing::Values(60, 85, 144),
                         [](const auto& info) { return std::to_string(info.param) + "Hz"; });

}  // namespace
