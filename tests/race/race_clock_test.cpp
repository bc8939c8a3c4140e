#include "support/player_test_world.h"
#include "race/race.h"

namespace {

using RaceClock = PlayerWorld;

TEST_F(RaceClock, TimeUpComesWhenLessThanATickIsLeftAndTheClockHoldsThere) {
  struct TCase {
    int Before, After;
    bool TimeUp;
  };
  // FrameMs is 11: the clock only runs down while a whole tick fits, and
  // the time is up once 12 ms or less are left.
  for (const TCase c : {TCase{25, 14, false}, TCase{14, 3, true}, TCase{5, 5, true}, TCase{12, 1, true},
                        TCase{24, 13, false}}) {
    Player->TimeUp = 0;
    TimeLeft = c.Before;
    UpdateClock();
    EXPECT_EQ(TimeLeft, c.After) << c.Before;
    EXPECT_EQ(Player->TimeUp != 0, c.TimeUp) << c.Before;
  }
}

TEST_F(RaceClock, LastTenSecondsTickOncePerSecond) {
  RecordSoundCalls = true;
  TimeLeft = 12000;
  int ticks = 0;
  while (!Player->TimeUp) {
    UpdateClock();
    for (const std::string& s : TakePlayed()) ticks += s == "Tick";
  }
  EXPECT_EQ(ticks, 10);
}

TEST_F(RaceClock, TimeBonusPaysFivePointsPerWholeSecondLeft) {
  RecordSoundCalls = true;
  Player->Speed = 0;
  TimeLeft = 12500;
  Score = 100;
  while (TimeLeft >= 0) RaceEndStep();
  EXPECT_EQ(Score, 160);
  const auto played = TakePlayed();
  EXPECT_EQ(std::count(played.begin(), played.end(), "Tick"), 12);
}

}  // namespace
