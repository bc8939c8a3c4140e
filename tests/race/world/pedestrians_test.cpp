#include <map>

#include "race/player/player_marks.h"
#include "shell/random.h"
#include "support/town_test_world.h"

namespace {

class Pedestrians : public TownWorld {
 protected:
  void SetUp() override {
    TownWorld::SetUp();
    Men = new TMan();
    for (TPedestrian& m : Men->Man) m = TPedestrian{};
  }

  // Pedestrian 1, walking in direction d at speed 5, its position at
  // screen point (sx, sy) (the picture's top-left is 27 up and left).
  TPedestrian& Walker(uint8_t d, double sx, double sy, uint8_t girl = 0) {
    TPedestrian& m = Men->Man[1];
    m = TPedestrian{};
    m.Active = 1;
    m.IsGirl = girl;
    m.Direction = m.NextDirection = d;
    m.Speed = 5;
    m.Visible = 1;
    m.X = WorldX(sx);
    m.Y = WorldY(sy);
    return m;
  }
};

struct TBlood {
  int Before, After;
};

TEST_F(Pedestrians, RunOverScoresFiveSlowsTheCarAndStartsABloodTrail) {
  for (const TBlood b : {TBlood{0, 50}, TBlood{10, 30}, TBlood{40, 40}}) {
    for (uint8_t girl : {0, 1}) {
      TPedestrian& m = Walker(ManUp, 400, 450, girl);  // on the player's car
      const double x = m.X, y = m.Y;
      BloodTrail = b.Before;
      Score = 0;
      SetSpeed(100);
      TakePlayed();
      RecordSoundCalls = true;
      Men->DoMove(11);
      EXPECT_EQ(Score, 5);
      EXPECT_DOUBLE_EQ(Player->Speed, 90);
      EXPECT_EQ(BloodTrail, b.After) << b.Before;
      EXPECT_EQ(m.Direction, ManLying);
      EXPECT_EQ(m.Speed, 0);
      EXPECT_DOUBLE_EQ(m.X, x - 10);
      EXPECT_DOUBLE_EQ(m.Y, y - 10);
      const std::vector<std::string> played = TakePlayed();
      EXPECT_NE(std::find(played.begin(), played.end(), girl ? "KillW" : "Kill"), played.end());
      // Driving over the figure lying there does nothing more.
      for (int t = 0; t < 50; ++t) Men->DoMove(11);
      EXPECT_EQ(Score, 5);
      EXPECT_DOUBLE_EQ(Player->Speed, 90);
      EXPECT_DOUBLE_EQ(m.X, x - 10);
    }
  }
}

TEST_F(Pedestrians, ARocketBlowsAwayWalkersAndLyingFiguresAlike) {
  CreateRockets();
  for (uint8_t d : {ManLeft, ManLying}) {
    TPedestrian& m = Walker(d, 100, 100);
    Rockets[1]->Reset();
    Rockets[1]->Active = true;
    Rockets[1]->WorldX = m.X + 10;
    Rockets[1]->WorldY = m.Y + 10;
    const double x = m.X;
    Score = 0;
    Men->DoMove(11);
    EXPECT_EQ(Score, 5);
    EXPECT_EQ(m.Direction, ManBlownAway);
    EXPECT_DOUBLE_EQ(m.X, x - 10);
    EXPECT_TRUE(Rockets[1]->Exploding);
    EXPECT_DOUBLE_EQ(Rockets[1]->WorldX, x + 10 - 32);
    // Gone: neither moved nor hit again.
    Men->DoMove(11);
    EXPECT_EQ(Score, 5);
  }
}

TEST_F(Pedestrians, TheHornScaresThoseOnScreenUntilTheLastSecondRunsOut) {
  Player->KeyHorn = true;
  Player->DoMove(11);
  EXPECT_EQ(Men->Scared, 1);
  Men->Calm();

  TPedestrian& seen = Walker(ManDown, 100, 100);
  TPedestrian& unseen = Men->Man[2];
  unseen = seen;
  unseen.Visible = 0;
  unseen.X = WorldX(3000);
  unseen.Speed = 4;
  Men->Scare();
  EXPECT_EQ(seen.Speed, 8);
  EXPECT_EQ(seen.ScareTimer, 1000);
  EXPECT_EQ(unseen.Speed, 4);
  // 11 ms a tick: 10 ms are left after 90 ticks, the 91st ends the fright.
  for (int t = 0; t < 90; ++t) Men->DoMove(11);
  EXPECT_EQ(Men->Scared, 1);
  EXPECT_EQ(seen.Speed, 8);
  Men->DoMove(11);
  EXPECT_EQ(Men->Scared, 0);
  EXPECT_GE(seen.Speed, 3);
  EXPECT_LE(seen.Speed, 5);
  EXPECT_EQ(seen.ScareTimer, 0);
  EXPECT_EQ(unseen.Speed, 4);
}

TEST_F(Pedestrians, AWalkerTurnsBackAtTheEndOfItsSidewalk) {
  // A strip of vertical sidewalk, map rows 1100..1105 of column 340, plain
  // ground above it; far from the view.
  std::fill(std::begin(TrackMap), std::end(TrackMap), uint8_t{0});
  for (int r = 1100; r <= 1105; ++r) Tile(r, 340) = 23;
  TPedestrian& m = Men->Man[1];
  m = TPedestrian{};
  m.Active = 1;
  m.Direction = m.NextDirection = ManUp;
  m.Speed = 5;
  m.X = 72 * 340 + 36;
  m.Y = 72 * 1103 + 36;
  double highest = m.Y;
  bool turned = false;
  for (int t = 0; t < 1500 && !turned; ++t) {
    Men->DoMove(11);
    highest = std::min(highest, m.Y);
    turned = m.Direction == ManDown;
  }
  ASSERT_TRUE(turned);
  // It stepped onto the ground tile above and came straight back.
  EXPECT_LT(highest, 72 * 1100);
  EXPECT_GE(highest, 72 * 1099);
  EXPECT_EQ(m.CurRow, 1099);
  for (int t = 0; t < 300; ++t) Men->DoMove(11);
  EXPECT_GT(m.Y, 72 * 1100);
  EXPECT_EQ(m.Direction, ManDown);
}

struct TNavigateCase {
  int D;
  uint8_t Tile;
  int Choice;
};

TEST_F(Pedestrians, TheSidewalkRuleAndItsChoices) {
  const TNavigateCase cases[] = {{3, 23, 1}, {1, 23, 0}, {1, 24, 1}, {3, 24, 0}, {2, 25, 7}, {1, 26, 2},
                                 {3, 26, 3}, {2, 27, 3}, {3, 27, 2}, {2, 28, 2}, {4, 28, 3}, {1, 29, 3},
                                 {4, 29, 2}, {2, 58, 6}, {3, 58, 4}, {4, 58, 5}, {1, 58, 0}, {1, 60, 6},
                                 {3, 60, 5}, {4, 60, 4}, {3, 30, 0}, {3, 22, 0}, {3, 61, 0}, {3, 0, 0}};
  for (const TNavigateCase& c : cases) EXPECT_EQ(Navigate(c.D, c.Tile), c.Choice) << c.D << " on " << int(c.Tile);
  // The walker's own left and right: walking up, left is 1 and right 2.
  EXPECT_EQ(ApplyChoice(ManUp, 0), ManDown);
  EXPECT_EQ(ApplyChoice(ManUp, 2), ManLeft);
  EXPECT_EQ(ApplyChoice(ManDown, 2), ManRight);
  EXPECT_EQ(ApplyChoice(ManLeft, 3), ManUp);
  // Walking up past a side street (58): on up or into it, even odds.
  Randomize(5);
  std::map<int, int> seen;
  for (int n = 0; n < 10000; ++n) seen[ApplyChoice(ManUp, Navigate(ManUp, 58))] += 1;
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_NEAR(seen[ManUp] / 10000.0, 0.5, 0.03);
  EXPECT_NEAR(seen[ManLeft] / 10000.0, 0.5, 0.03);
}

TEST_F(Pedestrians, WalkersLeavingTheTownAreGoneForTheLevel) {
  // Walking left at the town's left edge: the next frame takes it to
  // x 355, and the step after that it is gone.
  TPedestrian& m = Walker(ManLeft, 0, 0);
  m.X = 365;
  m.AnimPos = 0.99;
  Men->DoMove(11);
  EXPECT_DOUBLE_EQ(m.X, 355);
  EXPECT_EQ(m.Active, 1);
  Men->DoMove(11);
  EXPECT_EQ(m.Active, 0);
  const double x = m.X;
  for (int t = 0; t < 100; ++t) Men->DoMove(11);
  EXPECT_DOUBLE_EQ(m.X, x);
  // The other edges, standing still on them.
  for (const auto& [x0, y0, gone] : {std::tuple{46656.0, 5000.0, true}, std::tuple{46655.0, 5000.0, false},
                                      std::tuple{5000.0, 360.0, true}, std::tuple{5000.0, 361.0, false},
                                      std::tuple{5000.0, 107856.0, true}, std::tuple{5000.0, 107855.0, false}}) {
    TPedestrian& s = Walker(ManLying, 0, 0);
    s.X = x0;
    s.Y = y0;
    Men->DoMove(11);
    EXPECT_EQ(s.Active, gone ? 0 : 1) << x0 << "," << y0;
  }
}

TEST_F(Pedestrians, EveryoneIsPlacedOnASidewalkBesideTheRoad) {
  for (int level : {1, 6}) {
    Randomize(static_cast<uint32_t>(40 + level));
    TrackLength = level == 1 ? 300 : 1300;
    GenerateTrack();
    Men->PlaceMen();
    int placed = 0;
    for (int i = 1; i <= ManSlots; ++i) {
      const TPedestrian& m = Men->Man[i];
      if (!m.Active) continue;
      ++placed;
      const int c = static_cast<int>(m.X - 36) / 72;
      const int r = static_cast<int>(m.Y) / 72;
      ASSERT_EQ(m.X, 72.0 * c + 36);
      ASSERT_EQ(r % 5, 0);
      const uint8_t t = Tile(r, c);
      EXPECT_TRUE((t >= 23 && t <= 29) || t == 58 || t == 60) << int(t);
      EXPECT_GE(m.Direction, 1);
      EXPECT_LE(m.Direction, 4);
      EXPECT_TRUE(t != 23 || m.Direction >= 3);
      EXPECT_GE(m.Speed, 3);
      EXPECT_LE(m.Speed, 5);
      EXPECT_LE(i, 518);
    }
    EXPECT_GT(placed, level == 1 ? 20 : 150) << "level " << level;
  }
}

TEST_F(Pedestrians, TheRightHandSweepStartsFromTheLeftHandSweepsLastRange) {
  // A town with one road edge only: a left edge (1) on the placement's last
  // row, 1490, with a sidewalk (23) down the 19 columns left of it on every
  // row, and no right edge anywhere.
  std::fill(std::begin(TrackMap), std::end(TrackMap), uint8_t{0});
  for (int r = 1; r <= MapRows; ++r)
    for (int c = 281; c <= 299; ++c) Tile(r, c) = 23;
  Tile(1490, 300) = 1;
  TrackLength = 300;
  Randomize(3);
  Men->PlaceMen();
  // Rows 1200 to 1490 in fives: slots 1..59 on the left, 60..118 on the
  // right. The left sweep finds its range on row 1490 only.
  for (int i = 1; i <= 58; ++i) EXPECT_EQ(Men->Man[i].Active, 0) << i;
  const TPedestrian& last = Men->Man[59];
  ASSERT_EQ(last.Active, 1) << "this seed's range on row 1490 is not empty";
  EXPECT_EQ(last.Y, 72.0 * 1490);
  // With no right edge on any row the range stays the one row 1490 gave,
  // and everyone of the right-hand sweep stands in its first column.
  for (int i = 60; i <= 118; ++i) {
    const TPedestrian& m = Men->Man[i];
    EXPECT_EQ(m.Active, 1) << i;
    EXPECT_EQ(m.X, last.X) << i;
    EXPECT_EQ(m.Y, 72.0 * (1200 + 5 * (i - 60))) << i;
  }
  EXPECT_EQ(Men->Man[119].Active, 0);
}

}  // namespace
