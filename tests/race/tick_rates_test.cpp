// The town at 60, 85 and 144 ticks a second (and a fast 360): traffic,
// walkers, rockets, the coast after the finish and the clock cover the same
// ground in the same seconds. The figures are the design's 85 Hz ones per
// second: a step per tick scaled by 85 / rate, or a timer counting the
// tick's milliseconds.
#include <string>

#include "race/race.h"
#include "race/race_state.h"
#include "support/town_test_world.h"

namespace {

class TickRates : public TownWorld, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    TownWorld::SetUp();
    StraightRoad();
    RefreshRate = FrameRate = GetParam();
    ResetFrameMsCarry();
    UpdateSpeedFactor();
  }
  void TearDown() override {
    RefreshRate = FrameRate = 0;
    ResetFrameMsCarry();
    SpeedFactor = 1;
    FrameMs = 15;
    TownWorld::TearDown();
  }

  int TicksIn(double seconds) const { return static_cast<int>(seconds * GetParam() + 0.5); }

  // Race ticks as far as the town goes, with the frame loop's new scale
  // after each.
  void Run(double seconds, bool clock = false) {
    for (int i = TicksIn(seconds); i > 0; --i) {
      Tick();
      if (clock) UpdateClock();
      UpdateSpeedFactor();
    }
  }
};

TEST_P(TickRates, TrafficDrivesItsPixelsASecond) {
  Cars = new TCar();
  CarCount = 2;
  std::fill(std::begin(Cars->Car), std::end(Cars->Car), TRivalCar{});
  // Off to the left of the car, so nobody touches; the player stands, so the
  // world does not scroll.
  TRivalCar& up = Cars->Car[1] = TRivalCar{1, 3, WorldX(40), WorldY(200), 6, 0, 0, 0, 0};
  TRivalCar& down = Cars->Car[2] = TRivalCar{1, 4, WorldX(180), WorldY(200), -5, 0, 0, 0, 0};
  const double upY = up.Y, downY = down.Y;
  Run(1);
  // 3 and 2.5 pixels a tick at 85 ticks a second.
  EXPECT_NEAR(upY - up.Y, 255, 1e-6);
  EXPECT_NEAR(down.Y - downY, 212.5, 1e-6);
}

TEST_P(TickRates, WalkersWalkFiftyPixelsASecondAtSpeedFive) {
  Men = new TMan();
  for (TPedestrian& m : Men->Man) m = TPedestrian{};
  for (int r = 1; r <= MapRows; ++r) Tile(r, LeftEdge - 1) = 23;
  TPedestrian& m = Men->Man[1];
  m.Active = m.Visible = 1;
  m.Direction = m.NextDirection = 3;
  m.Speed = 5;
  m.X = 72.0 * (LeftEdge - 1) + 36;
  m.Y = WorldY(300);
  const double y = m.Y;
  Run(4);
  // Five animation frames a second of the clock's time, 10 pixels each: 200
  // pixels in 4 s at full pace, 187 at the 85 Hz pace, less a step or two
  // lost where the frames wrap.
  EXPECT_EQ(m.Direction, 3);
  EXPECT_GE(y - m.Y, 165);
  EXPECT_LE(y - m.Y, 200);
}

TEST_P(TickRates, ARocketFromAStandingCarFlies765PixelsASecond) {
  CreateRockets();
  LaunchRocket(300, 300, 18, 0);
  ASSERT_EQ(Rockets[1]->RocketSpeed, 18);
  const double y = Rockets[1]->WorldY;
  Run(1);
  // 18 / 2 pixels a tick at 85 ticks a second.
  EXPECT_NEAR(y - Rockets[1]->WorldY, 765, 1e-6);
}

TEST_P(TickRates, AfterTheFinishTheCarRollsOnForItsSeconds) {
  Player->TimeUp = true;
  TimeLeft = 100000;
  SetSpeed(160);
  // 0.8 less a tick at 85 ticks a second: 68 a second, at a standstill
  // after 160 / 68 = 2.35 s.
  Run(2);
  EXPECT_NEAR(Player->Speed, 160 - 136, 1e-6);
  EXPECT_NEAR(Player->Speed10, Player->Speed / 10, 1e-9);
  EXPECT_EQ(TimeLeft, 100000) << "still rolling: no time bonus yet";
  Run(0.4);
  EXPECT_LE(Player->Speed, 0);
  EXPECT_LT(TimeLeft, 100000) << "stopped: the time bonus runs";
}

TEST_P(TickRates, TheClockRunsItsSecondsAndTicksEachOfTheLastTen) {
  TimeLeft = 54000;
  Run(2, true);
  // At least the 85 Hz pace, 935 ms a second (less a millisecond still
  // carried to the next tick), at most the true one.
  EXPECT_LE(TimeLeft, 54000 - 2 * 935 + 1);
  EXPECT_GE(TimeLeft, 54000 - 2 * 1000);

  TimeLeft = 10500;
  RecordSoundCalls = true;
  TakePlayed();
  int ticks = 0;
  for (int i = 0; i < 20 * GetParam() && !Player->TimeUp; ++i) {
    UpdateClock();
    UpdateSpeedFactor();
    for (const std::string& s : TakePlayed()) ticks += s == "Tick";
  }
  EXPECT_TRUE(Player->TimeUp);
  EXPECT_EQ(ticks, 10) << "one tick for each whole second crossed, 10 to 1";
}

INSTANTIATE_TEST_SUITE_P(Race, TickRates, testing::Values(60, 85, 144, 360),
                         [](const testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "Hz"; });

}  // namespace
