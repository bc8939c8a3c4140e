#include "shell/random.h"
#include "support/town_test_world.h"

namespace {

class Pickups : public TownWorld {
 protected:
  void SetUp() override {
    TownWorld::SetUp();
    Bonuses = new TBonus();
  }

  int Active() const {
    int n = 0;
    for (int i = 1; i <= BonusSlots; ++i) n += Bonuses->Pickup[i].Active;
    return n;
  }
};

TEST_F(Pickups, EachLevelScattersItsCountOverTheRoadsSecondAndThirdColumns) {
  StraightRoad();
  for (const auto& [level, count] : {std::pair{1, 10}, std::pair{20, 200}, std::pair{21, 400}}) {
    Randomize(static_cast<uint32_t>(level));
    TrackLength = 300 + 1000 * (level > 1);
    BonusCount = count;
    Bonuses->PlaceBonuses();
    EXPECT_EQ(Active(), count) << "level " << level;
    for (int i = 1; i <= count; ++i) {
      const TPickup& p = Bonuses->Pickup[i];
      EXPECT_TRUE(p.Col == LeftEdge + 1 || p.Col == LeftEdge + 2) << p.Col;
      EXPECT_GE(p.Row, 1549 - TrackLength);
      EXPECT_LE(p.Row, 1494);
      EXPECT_GE(p.Type, 1);
      EXPECT_LE(p.Type, 8);
    }
  }
}

TEST_F(Pickups, NeverMoreThanTwoExtraLivesEvenWithTwoRoadsARow) {
  // Two roads side by side on every row: the left road's draws are
  // overwritten by the right road's, lives included.
  StraightRoad();
  for (int r = 1; r <= MapRows; ++r) Tile(r, LeftEdge + 20) = 1;
  TrackLength = 1300;
  BonusCount = 400;
  int levelsWithTwo = 0;
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    Randomize(seed);
    Bonuses->PlaceBonuses();
    int lives = 0;
    for (int i = 1; i <= BonusCount; ++i) {
      const TPickup& p = Bonuses->Pickup[i];
      EXPECT_EQ(p.Col > LeftEdge + 20, true) << "the right-hand road's placement stands";
      lives += p.Active && p.Type == 5;
    }
    ASSERT_LE(lives, 2) << "seed " << seed;
    levelsWithTwo += lives == 2;
  }
  EXPECT_GT(levelsWithTwo, 0);
}

struct TPickupCase {
  uint8_t Type;
  int Points;
  const char* Sound;
};

TEST_F(Pickups, DrivingOverAPickupGivesItsPointsEffectAndSound) {
  const TPickupCase cases[] = {{1, 10, "Score"}, {2, 20, "Score"}, {3, 50, "Score"}, {4, 100, "Score"},
                               {5, 50, "Bonus"}, {6, 30, "Bonus"}, {7, 20, "Bonus"}, {8, 20, "Bonus"}};
  BonusCount = 1;
  for (const TPickupCase& c : cases) {
    Player->DropAllWeapons();
    Lives = 3;
    Score = 0;
    // Tile (1306, 305) is drawn at screen (379, 451), on the player's car.
    Bonuses->Pickup[1] = TPickup{1, 305, 1306, c.Type};
    TakePlayed();
    RecordSoundCalls = true;
    Bonuses->DoMove(11);
    EXPECT_EQ(Bonuses->Pickup[1].Active, 0) << int(c.Type);
    EXPECT_EQ(Score, c.Points) << int(c.Type);
    EXPECT_EQ(TakePlayed(), std::vector<std::string>{c.Sound}) << int(c.Type);
    EXPECT_EQ(Lives, c.Type == 5 ? 4 : 3);
    EXPECT_EQ(Player->NitroOn, c.Type == 6);
    EXPECT_EQ(Player->Nitro, c.Type == 6 ? 100 : 0);
    EXPECT_EQ(Player->WeaponKind, c.Type == 7 ? 3 : c.Type == 8 ? 4 : 0);
    EXPECT_EQ(Player->Ammo, c.Type == 7 ? 25 : c.Type == 8 ? 20 : 0);
    // Gone for the level.
    Bonuses->DoMove(11);
    EXPECT_EQ(Score, c.Points);
  }
}

TEST_F(Pickups, OnlyThePlayersCarOnTopCollects) {
  BonusCount = 2;
  // Beside the car: screen (91, 91).
  Bonuses->Pickup[1] = TPickup{1, 301, 1301, 4};
  // Under the car, but under a sprite drawn above the car as well.
  Bonuses->Pickup[2] = TPickup{1, 305, 1306, 4};
  TMyImageSprite* cover = TMyImageSprite::CreateAt(2, "Tiles", 370, 440, 10);
  Bonuses->DoMove(11);
  EXPECT_EQ(Bonuses->Pickup[1].Active, 1);
  EXPECT_EQ(Bonuses->Pickup[2].Active, 1);
  EXPECT_EQ(Score, 0);
  cover->Visible = false;
  Bonuses->DoMove(11);
  EXPECT_EQ(Bonuses->Pickup[2].Active, 0);
  EXPECT_EQ(Score, 100);
}

}  // namespace
