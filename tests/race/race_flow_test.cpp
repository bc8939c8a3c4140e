#include <gtest/gtest.h>

#include "race/race.h"
#include "race/race_state.h"
#include "race/world/track_generator.h"
#include "shell/random.h"

namespace {

struct TLevelCase {
  int Level, TrackLength, TimeLeft, BonusCount, CarCount;
};

void PrintTo(const TLevelCase& c, std::ostream* os) { *os << "level " << c.Level; }

class LevelTable : public ::testing::TestWithParam<TLevelCase> {};

TEST_P(LevelTable, EachLevelGetsItsRoadTimeAndTraffic) {
  const TLevelCase c = GetParam();
  Randomize(7);
  SetLevel(c.Level);
  EXPECT_EQ(Level, c.Level);
  EXPECT_EQ(TrackLength, c.TrackLength);
  EXPECT_EQ(TimeLeft, c.TimeLeft);
  EXPECT_EQ(BonusCount, c.BonusCount);
  EXPECT_EQ(CarCount, c.CarCount);
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelTable,
                         ::testing::Values(TLevelCase{1, 300, 54000, 10, 10}, TLevelCase{2, 500, 90000, 20, 40},
                                           TLevelCase{3, 700, 126000, 30, 90}, TLevelCase{4, 900, 162000, 40, 160},
                                           TLevelCase{5, 1100, 198000, 50, 200}, TLevelCase{6, 1300, 234000, 60, 200},
                                           TLevelCase{7, 1300, 234000, 70, 200}, TLevelCase{8, 1300, 224000, 80, 200},
                                           TLevelCase{20, 1300, 104000, 200, 200},
                                           TLevelCase{21, 1300, 94000, 400, 200},
                                           TLevelCase{25, 1300, 60000, 400, 200},
                                           TLevelCase{40, 1300, 60000, 400, 200}));

}  // namespace
