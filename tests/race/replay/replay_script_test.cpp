#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "race/replay/replay_keep.h"
#include "race/replay/replay_scripts.h"
#include "support/script_support.h"

namespace {

namespace fs = std::filesystem;

// One line of the runner's race trace: the frame, the numbers a player sees,
// and the hash of the whole race.
struct TTraceLine {
  long Frame = 0;
  int Score = 0, Level = 0, Lives = 0, TimeLeft = 0, WeaponKind = 0, Ammo = 0;
  std::string Hash;
  std::string Text;
};

std::vector<TTraceLine> ReadTrace(const fs::path& file) {
  std::vector<TTraceLine> lines;
  std::ifstream in(file);
  std::string text;
  while (std::getline(in, text)) {
    TTraceLine l;
    std::istringstream(text) >> l.Frame >> l.Score >> l.Level >> l.Lives >> l.TimeLeft >> l.WeaponKind >> l.Ammo >> l.Hash;
    l.Text = text;
    lines.push_back(l);
  }
  return lines;
}

struct TRaceCase {
  int Hz;
  int StartLevel;
  uint32_t Seed;
  int Seconds;  // of restless driving; enough for the game to be over
  bool Fires;   // the seed's driving picks up a weapon and fires it
};

void PrintTo(const TRaceCase& c, std::ostream* os) { *os << c.Hz << " Hz from level " << c.StartLevel; }

class RecordedGame : public ::testing::TestWithParam<TRaceCase> {};

// A game recorded as it is played gives, played back in a fresh process (at
// another refresh rate, which the recording overrules), the same race after
// every recorded frame: the generator, the clock, the car, the traffic, the
// pedestrians, the pickups and the rockets. The game is the second of its
// process, so what a race leaves behind for the next one counts too.
TEST_P(RecordedGame, PlaysBackFrameForFrameInAFreshProcess) {
  const TRaceCase c = GetParam();
  TGameFolder game;
  const fs::path recording = game.Root / "game.vrec", live = game.Root / "live.trace",
                 played = game.Root / "played.trace";
  std::string script = ToRaceAt(c.Hz, c.Seed) + "wait 400\nkey down Up\nwait 200\nkey up Up\n" + LeaveTheRace() +
                       ToRace();
  if (c.StartLevel > 1) script += "level " + std::to_string(c.StartLevel) + "\n";
  script += "replay trace " + live.string() + "\n" + RestlessDriving(c.Hz, c.Seed, c.Seconds) + "wait " +
            std::to_string(4 * c.Hz) + "\nreplay save " + recording.string() + "\n";
  const TScriptResult played1 = RunScript(script, game.Root.string());
  ASSERT_EQ(played1.ExitCode, 0) << played1.Output;

  const std::vector<TTraceLine> a = ReadTrace(live);
  ASSERT_GT(a.size(), 1000u);
  // What the game went through, so that the comparison below covers it.
  bool scored = false, wrecked = false, fired = false;
  for (size_t i = 1; i < a.size(); ++i) {
    scored = scored || a[i].Score > a[i - 1].Score;
    fired = fired || (a[i].WeaponKind != 0 && a[i].Ammo < a[i - 1].Ammo);
    wrecked = wrecked || (a[i].Lives < a[i - 1].Lives && a[i].TimeLeft > 1000);
  }
  EXPECT_TRUE(scored) << "no pickup, pedestrian or car scored";
  EXPECT_TRUE(wrecked) << "the car was never wrecked";
  if (c.Fires) {
    EXPECT_TRUE(fired) << "no weapon was fired";
  }
  EXPECT_EQ(a.back().Lives, 0) << "the game is not over";
  EXPECT_EQ(a.front().Level, c.StartLevel);

  const TScriptResult played2 = RunScript("seed 77\nrefresh 75\nwait 50\n" + ToTheTable() + "replay trace " +
                                              played.string() + "\nreplay watch " + recording.string() + "\nwait " +
                                              std::to_string(a.size() + 100) + "\ndump\n",
                                          game.Root.string());
  ASSERT_EQ(played2.ExitCode, 0) << played2.Output;
  const std::vector<TTraceLine> b = ReadTrace(played);
  // The frame on which the game-over message runs out is where the live
  // game leaves for the name entry or the menu; the playback ends before it.
  ASSERT_GE(b.size() + 1, a.size());
  ASSERT_LE(b.size(), a.size());
  for (size_t i = 0; i < b.size(); ++i) ASSERT_EQ(b[i].Text, a[i].Text) << "first difference at trace line " << i;
  ASSERT_EQ(played2.Dumps.size(), 1u);
  EXPECT_EQ(JsonNumber(played2.Dumps[0], "GameScreen"), 4) << "the end of the replay leads back to the table";
}

INSTANTIATE_TEST_SUITE_P(Rates, RecordedGame,
                         ::testing::Values(TRaceCase{60, 1, 48, 200, true}, TRaceCase{85, 1, 12, 200, true},
                                           TRaceCase{144, 1, 15, 200, false}, TRaceCase{60, 3, 45, 200, true},
                                           TRaceCase{85, 2, 22, 200, false}, TRaceCase{144, 3, 26, 200, true}),
                         [](const auto& info) {
                           return std::to_string(info.param.Hz) + "HzFromLevel" + std::to_string(info.param.StartLevel);
                         });

}  // namespace

namespace {

class PausedGame : public ::testing::TestWithParam<int> {};

// The frames under a pause or the leave question change nothing and are
// not recorded; their closing is (it gives the car its sounds back, which
// sets the car's engine flags, and with the gun firing clears them), right
// before the race's next frame.
TEST_P(PausedGame, RecordsWhereEachPauseClosedAndNoFrameUnderIt) {
  const int hz = GetParam();
  TGameFolder game;
  const fs::path file = game.Root / "game.vrec";
  const auto press = [](const char* key) { return std::string("key down ") + key + "\nwait 1\nkey up " + key + "\n"; };
  const int paused = 25;
  const TScriptResult r = RunScript(ToRaceAt(hz, 4) + "wait " + std::to_string(3 * hz) + "\nkey down Up\nwait 30\n" +
                                        press("P") + "wait " + std::to_string(paused) + "\n" + press("P") + "wait 10\n" +
                                        press("Esc") + "wait " + std::to_string(paused) + "\n" + press("N") +
                                        "wait 10\nreplay save " + file.string() + "\n",
                                    game.Root.string());
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  TRecording recording;
  std::string error;
  ASSERT_TRUE(ReadRecordingFile(file.string(), recording, error)) << error;
  std::vector<size_t> resumes;
  for (size_t i = 0; i < recording.Ticks.size(); ++i)
    if (recording.Ticks[i].Kind == rtResume) resumes.push_back(i);
  ASSERT_EQ(resumes.size(), 2u);
  for (size_t i : resumes) {
    ASSERT_LT(i + 1, recording.Ticks.size());
    EXPECT_EQ(recording.Ticks[i + 1].Kind, rtRace);
  }
  // Every frame of the script from the race's start, less those under the
  // two windows (the pause from the frame P opened it to the one P closed
  // it, the question likewise), is one recorded frame.
  const size_t frames = static_cast<size_t>(3 * hz + 30 + 1 + paused + 1 + 10 + 1 + paused + 1 + 10);
  const size_t underWindows = static_cast<size_t>(2 * (paused + 1));
  EXPECT_EQ(recording.Ticks.size() - resumes.size(), frames - underWindows);
}

INSTANTIATE_TEST_SUITE_P(Rates, PausedGame, ::testing::Values(60, 85, 144),
                         [](const auto& info) { return std::to_string(info.param) + "Hz"; });

}  // namespace
