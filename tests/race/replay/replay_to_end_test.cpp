// Playing a recording through to its end in-process, as the score service
// does to trust a score: a genuine game ends with its own score, a changed
// one does not, and drawing the frames changes nothing in the race.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/headless_platform.h"
#include "race/replay/replay_keep.h"
#include "race/replay/replay_run.h"
#include "race/replay/replay_scripts.h"
#include "screens/main_menu.h"
#include "shell/game_state.h"
#include "shell/main_window.h"
#include "support/script_support.h"
#include "tools/state_dump.h"

namespace {

// A minute of restless driving at the rate, recorded by the runner in a game
// folder of its own; once per rate for the whole run.
const TRecording& RecordedAt(int hz) {
  static std::map<int, TRecording> recorded;
  if (auto it = recorded.find(hz); it != recorded.end()) return it->second;
  TGameFolder game;
  const std::string file = (game.Root / "game.vrec").string();
  const TScriptResult r = RunScript(ToRaceAt(hz, 40 + static_cast<uint32_t>(hz)) +
                                        RestlessDriving(hz, static_cast<uint32_t>(hz), 60) + "replay save " + file + "\n",
                                    game.Root.string());
  TRecording recording;
  std::string error;
  if (r.ExitCode != 0 || !ReadRecordingFile(file, recording, error))
    throw std::runtime_error("cannot record a game: " + r.Output + error);
  return recorded[hz] = recording;
}

class ReplayToEndAt : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    Recording = RecordedAt(GetParam());
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    // The score service plays recordings with no screen open.
    CloseMainMenu();
  }
  void TearDown() override {
    ResetGame();
    Platform = nullptr;
  }
  // A race tick from three fifths into the game on which the car drives
  // straight on: the accelerator there must show in the path.
  size_t LateRaceTick() const {
    size_t point = 0;
    for (size_t i = 0; i < Recording.Ticks.size(); ++i) {
      const TRecordedTick& t = Recording.Ticks[i];
      if (t.Kind != rtRace) continue;
      const TGhostPoint& p = Recording.Path[point++];
      if (i < Recording.Ticks.size() * 3 / 5 || point < 2 || point >= Recording.Path.size()) continue;
      const TGhostPoint& before = Recording.Path[point - 2];
      if (p.Visible && (t.Keys & (rkLeft | rkRight)) == 0 && (p.TownX != before.TownX || p.TownY != before.TownY))
        return i;
    }
    throw std::runtime_error("the car never drives straight on late in the game");
  }
  THeadlessPlatform Machine;
  TRecording Recording;
};

TEST_P(ReplayToEndAt, AGenuineGameEndsWithItsOwnScore) {
  ASSERT_GT(Recording.FinalScore, 0) << "a game that scored nothing would prove little";
  SelectedCar = 6;
  const TReplayOutcome o = ReplayToEnd(Recording, MaxRecordedTicks);
  EXPECT_TRUE(o.Finished) << o.Error;
  EXPECT_EQ(o.Score, Recording.FinalScore);
  EXPECT_EQ(o.Level, Recording.FinalLevel);
  EXPECT_EQ(o.Ticks, Recording.Ticks.size());
  EXPECT_EQ(GameScreen, 0) << "no race is left behind";
  EXPECT_EQ(SelectedCar, 6) << "the player's car choice is given back";
}

struct TTamper {
  const char* Name;
  std::function<void(TRecording&, size_t lateRaceTick)> Change;
  const char* Says;
};

TEST_P(ReplayToEndAt, AChangedGameIsNotTrusted) {
  static const TTamper Cases[] = {
      {"score", [](TRecording& r, size_t) { r.FinalScore += 5; }, "ends at score"},
      {"level", [](TRecording& r, size_t) { r.FinalLevel += 1; }, "ends at score"},
      {"seed", [](TRecording& r, size_t) { r.RandomState += 1; }, "path"},
      {"car", [](TRecording& r, size_t) { r.SelectedCar = r.SelectedCar % 6 + 1; }, "path"},
      {"one tick's accelerator", [](TRecording& r, size_t i) { r.Ticks[i].Keys ^= rkAccelerate; }, "path"},
      {"one tick's frame time", [](TRecording& r, size_t i) { r.Ticks[i].SpeedFactor *= 1.5; }, "path"},
      {"a window frame as a race frame", [](TRecording& r, size_t) { r.Ticks[0].Kind = rtRace; }, "follow"},
      {"a race frame more", [](TRecording& r, size_t i) { r.Ticks.push_back(r.Ticks[i]); }, ""},
      {"the tick cap", nullptr, "longer than"},
  };
  for (const TTamper& t : Cases) {
    TRecording changed = Recording;
    if (t.Change) t.Change(changed, LateRaceTick());
    const uint32_t cap = t.Change ? MaxRecordedTicks : static_cast<uint32_t>(Recording.Ticks.size() - 1);
    const TReplayOutcome o = ReplayToEnd(changed, cap);
    EXPECT_FALSE(o.Finished) << t.Name;
    EXPECT_NE(o.Error.find(t.Says), std::string::npos) << t.Name << ": " << o.Error;
  }
}

TEST_P(ReplayToEndAt, DrawingTheFramesChangesNothingInTheRace) {
  std::vector<std::string> drawn, undrawn;
  const TReplayOutcome a = PlayRecording(Recording, MaxRecordedTicks, true, [&](uint32_t) { drawn.push_back(DumpRace()); });
  const TReplayOutcome b =
      PlayRecording(Recording, MaxRecordedTicks, false, [&](uint32_t) { undrawn.push_back(DumpRace()); });
  EXPECT_TRUE(a.Finished && b.Finished) << a.Error << b.Error;
  ASSERT_EQ(drawn.size(), undrawn.size());
  for (size_t i = 0; i < drawn.size(); ++i) ASSERT_EQ(drawn[i], undrawn[i]) << "frame " << i;
}

INSTANTIATE_TEST_SUITE_P(Rates, ReplayToEndAt, ::testing::Values(60, 85, 144),
                         [](const auto& info) { return std::to_string(info.param) + "Hz"; });

}  // namespace
