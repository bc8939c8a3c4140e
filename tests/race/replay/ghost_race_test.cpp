// The ghost in the real game, at 60, 85 and 144 Hz: a race raced against
// the ghost of an earlier one is that same race, tick for tick, with only
// the ghost drawn in; and with the ghost on, the race starts from the
// ghost's own start, so that level 1 is its town.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/start_up.h"
#include "gfx/surface.h"
#include "platform/headless_platform.h"
#include "race/player/player.h"
#include "race/race_state.h"
#include "race/replay/ghost.h"
#include "race/replay/recording.h"
#include "screens/activate_item.h"
#include "screens/car_selection.h"
#include "shell/game_state.h"
#include "shell/main_window.h"
#include "shell/player_settings.h"
#include "shell/random.h"
#include "shell/sound.h"
#include "sprites/tick_scale.h"
#include "tools/state_dump.h"

namespace {

// What a race left behind: the state after every frame from its start, a
// hash of every frame's picture, one frame's picture whole, and the run as
// a recorder keeps it.
struct TRace {
  std::vector<std::string> States;
  std::vector<uint64_t> Pictures;
  TSurface Kept285;  // 2.85 s in: driving straight up, before the swerves
  double CarX = 0, CarY = 0;  // the car's centre on the screen then
  TRecording Kept;
};

uint64_t PictureHash() {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint32_t p : BackSurface.Pixels) h = (h ^ p) * 0x100000001b3ull;
  return h;
}

TRecording Offered;
bool OfferedRun(TRecording& out) {
  out = Offered;
  return true;
}

class GhostRace : public testing::TestWithParam<int> {
 protected:
  void TearDown() override {
    ReadBestRun = SavedReader;
    ResetGame();
    Platform = nullptr;
  }

  int Rate() const { return GetParam(); }

  void Frame() {
    Clock += 1000.0 / Rate();
    Machine->NowMs = static_cast<int64_t>(std::floor(Clock));
    RunFrame(Machine->NowMs);
  }

  // The keys of a drive with a swerve each way, by the seconds since the
  // race started (the first two under the level's message).
  void HoldKeys(double seconds) {
    Machine->Keys[gkUp] = true;
    Machine->Keys[gkLeft] = seconds >= 3 && seconds < 3.6;
    Machine->Keys[gkRight] = seconds >= 5 && seconds < 6.2;
    Machine->Keys[gkSpace] = seconds >= 7 && seconds < 7.5;
  }

  // Starts the game with this seed, goes to the car selection and starts a
  // race from it, then drives for the given seconds.
  TRace Race(uint32_t seed, bool ghost, double seconds) {
    Machine = std::make_unique<THeadlessPlatform>();
    Machine->Refresh = Rate();
    Platform = Machine.get();
    Clock = 0;
    ResetGame();
    RecordSoundCalls = true;
    FormCreate(seed);
    GhostOn = ghost;
    for (int i = 0; i < 50; ++i) Frame();
    SelectItem(1);
    Frame();
    Frame();
    DumpState(*Machine, 0);  // the menus' sounds are not the race's

    TRace race;
    race.Kept.RandomState = RandomSeed();
    race.Kept.SelectedCar = SelectedCar;
    race.Kept.RefreshRate = Rate();
    SelectItem(3);
    EXPECT_EQ(GameScreen, 6);
    const int frames = static_cast<int>(seconds * Rate());
    int level = 0;
    for (int i = 0; i < frames; ++i) {
      if (Level != level) {
        level = Level;
        race.Kept.Levels.push_back({Level, static_cast<uint32_t>(race.Kept.Ticks.size()),
                                    static_cast<uint32_t>(race.Kept.Path.size()), TownFingerprint()});
      }
      HoldKeys(static_cast<double>(i) / Rate());
      const bool raceTick = GameScreen == 6 && OverlayWindow == 0;
      const double pace = SpeedFactor;
      Frame();
      race.Kept.Ticks.push_back({static_cast<uint8_t>(raceTick ? rtRace : rtWindow), 0, 0, 0, pace});
      if (raceTick) {
        double x, y;
        CarTownPosition(x, y);
        race.Kept.Path.push_back({static_cast<float>(x), static_cast<float>(y),
                                  static_cast<int16_t>(Player->Heading), static_cast<uint8_t>(Player->Visible)});
      }
      race.States.push_back(DumpState(*Machine, i) + " random " + std::to_string(RandomSeed()));
      race.Pictures.push_back(PictureHash());
      if (i == static_cast<int>(2.85 * Rate())) {
        race.Kept285 = BackSurface;
        race.CarX = Player->CentreX;
        race.CarY = Player->CentreY;
      }
    }
    return race;
  }

  std::unique_ptr<THeadlessPlatform> Machine;
  double Clock = 0;
  bool (*SavedReader)(TRecording&) = ReadBestRun;
};

TEST_P(GhostRace, RacingTheGhostIsTheSameRaceWithTheGhostDrawnIn) {
  const TRace alone = Race(7, false, 9);
  ASSERT_FALSE(alone.Kept.Path.empty());
  ASSERT_EQ(alone.Kept.Levels.size(), 1u);

  // The ghost drives the same road a car's width to the right, so that it
  // is in the picture beside you all the way.
  Offered = alone.Kept;
  for (TGhostPoint& p : Offered.Path) p.TownX += 110;
  ReadBestRun = OfferedRun;
  // Another start-up seed: only the ghost's own start makes it the same race.
  const TRace chased = Race(8, true, 9);
  ASSERT_TRUE(HaveGhostRun());

  ASSERT_EQ(chased.States.size(), alone.States.size());
  int ghostFrames = 0;
  for (size_t i = 0; i < alone.States.size(); ++i) {
    ASSERT_EQ(chased.States[i], alone.States[i]) << "frame " << i << " of the race";
    ghostFrames += chased.Pictures[i] != alone.Pictures[i];
  }
  // In the picture on every frame: waiting at its start under the level's
  // message, then driving (it never wrecks on this drive).
  EXPECT_EQ(ghostFrames, static_cast<int>(alone.States.size()));

  // Where the pictures differ is the ghost: a car's width right of yours.
  int left = SurfaceWidth, right = -1, top = SurfaceHeight, bottom = -1;
  for (int y = 0; y < SurfaceHeight; ++y)
    for (int x = 0; x < SurfaceWidth; ++x)
      if (chased.Kept285.Row(y)[x] != alone.Kept285.Row(y)[x]) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, left);
  EXPECT_NEAR((left + right + 1) / 2.0, alone.CarX + 110, 1);
  EXPECT_NEAR((top + bottom + 1) / 2.0, alone.CarY, 1);
}

TEST_P(GhostRace, WithTheGhostOnLevelOneIsTheGhostsTown) {
  const TRace first = Race(21, false, 0.1);
  ASSERT_EQ(first.Kept.Levels.size(), 1u);
  const uint32_t town = first.Kept.Levels[0].TownFingerprint;

  Offered = first.Kept;
  ReadBestRun = OfferedRun;
  const TRace off = Race(22, false, 0.1);
  EXPECT_NE(off.Kept.Levels[0].TownFingerprint, town) << "another seed, another town";
  EXPECT_FALSE(HaveGhostRun());
  const TRace on = Race(22, true, 0.1);
  EXPECT_EQ(on.Kept.Levels[0].TownFingerprint, town);
  EXPECT_TRUE(HaveGhostRun());
}

INSTANTIATE_TEST_SUITE_P(Rates, GhostRace, testing::Values(60, 85, 144),
                         [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "Hz"; });

}  // namespace
