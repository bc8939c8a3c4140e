#include <cmath>
#include <ostream>

#include "support/player_test_world.h"
#include "race/player/player_weapons.h"

namespace {

TEST_F(PlayerWorld, ThirdDamagePointWrecksTheCarAndTakesALife) {
  Player->GiveBonus(WeaponGun);
  SetSpeed(100);
  Player->LoseDamagePoint();
  Player->LoseDamagePoint();
  EXPECT_EQ(Player->Energy, 1);
  EXPECT_FALSE(Player->Wrecked);
  EXPECT_EQ(Lives, 3);

  RecordSoundCalls = true;
  Player->LoseDamagePoint();
  EXPECT_EQ(Player->Energy, 3) << "a new life starts with full damage points";
  EXPECT_EQ(Lives, 2);
  EXPECT_TRUE(Player->Wrecked);
  EXPECT_EQ(Player->Speed, 0);
  EXPECT_EQ(Player->Speed10, 0);
  EXPECT_EQ(Player->WeaponKind, 0) << "a wreck drops the weapon at once, with no fold";
  EXPECT_EQ(Player->Ammo, 0);
  EXPECT_EQ(Player->WeaponFrame, 1);
  EXPECT_EQ(Player->Image->Name, "ExplosionBig");
  EXPECT_EQ(Player->AnimRate, 15);
  EXPECT_EQ(Player->RespawnTimer, 2000);
  EXPECT_EQ(TakePlayed(), (std::vector<std::string>{"Explosion"}));
}

// After the crash the blast plays in place; when it has gone round once
// the view jumps back to the nearest start tile, and 2000 ms after the
// crash the car drives again from there, facing the tile's way.
TEST_F(PlayerWorld, WreckedCarComesBackAtAStartTileBehindIt) {
  Tile(MapRow + 9, 330) = 12;
  const int tileRow = MapRow + 9;
  Background->X = -20;
  Background->Y = -30;
  for (int i = 0; i < 3; ++i) Player->LoseDamagePoint();

  MDXSpriteEngine.Draw();
  EXPECT_DOUBLE_EQ(Player->X, 64 / 2.0 + 333) << "the blast is placed by its own picture";
  EXPECT_DOUBLE_EQ(Player->Y, 64 / 2.0 + 410);

  int placedAt = 0, revivedAt = 0;
  for (int t = 1; t <= 300 && revivedAt == 0; ++t) {
    Tick();
    if (placedAt == 0 && Player->StartPlaced) {
      placedAt = t;
      EXPECT_EQ(MapRow, tileRow - 4);
      EXPECT_EQ(MapCol, 330 - 7);
      EXPECT_EQ(Player->Heading, 19);
      EXPECT_DOUBLE_EQ(Background->X, 0);
      EXPECT_DOUBLE_EQ(Background->Y, 0);
      EXPECT_EQ(Player->Image->Name, "Car1");
      EXPECT_TRUE(Player->Wrecked) << "still wrecked until the delay ends";
      MDXSpriteEngine.Draw();
      EXPECT_DOUBLE_EQ(Player->X, PlayerScreenX);
      EXPECT_DOUBLE_EQ(Player->Y, PlayerScreenY);
    }
    if (!Player->Wrecked) revivedAt = t;
  }
  EXPECT_GT(placedAt, 1);
  EXPECT_LT(placedAt, revivedAt);
  // 182 ticks of 11 ms run the 2000 ms down.
  EXPECT_EQ(revivedAt, 183);
  EXPECT_FALSE(Player->StartPlaced);
  EXPECT_EQ(Player->Speed, 0);
  EXPECT_EQ(Lives, 2);

  Tick();
  EXPECT_FALSE(Player->ClearCarsNearby);
  EXPECT_EQ(Player->Heading, 19);
  EXPECT_EQ(MapRow, tileRow - 4);
}

TEST_F(PlayerWorld, LastLifeLostHidesTheCarAndEndsTheGame) {
  Lives = 1;
  for (int i = 0; i < 3; ++i) Player->LoseDamagePoint();
  EXPECT_EQ(Lives, 0);
  Tick(182);
  EXPECT_FALSE(Player->Visible);
  EXPECT_EQ(OverlayWindow, 0);
  Tick();
  EXPECT_EQ(OverlayWindow, 7);
  EXPECT_EQ(MapRow, 1000) << "no life to come back with: the view stays";
}

// From the crash to the game-over window the player sees the blast over a
// wreck, then nothing: the car as it was before the crash never shows
// again, not even when the blast has burnt out. The blast here is all
// see-through, so whatever of the car is drawn lies bare.
TEST_F(PlayerWorld, AfterTheLastLifeOnlyTheWreckShowsUntilTheCarIsHidden) {
  constexpr uint32_t kPaint = 0x2040E0;
  TPictureCollectionItem& car = MDXImageList2.Find("Car1");
  std::fill(car.Picture.Pixels.begin(), car.Picture.Pixels.end(), kPaint);
  TPictureCollectionItem& blast = MDXImageList2.Find("ExplosionBig");
  blast.Transparent = true;
  blast.TransparentColor = 0;
  std::fill(blast.Picture.Pixels.begin(), blast.Picture.Pixels.end(), 0u);
  auto count = [](auto pred) {
    return std::count_if(BackSurface.Pixels.begin(), BackSurface.Pixels.end(), pred);
  };
  auto drawn = [&] {
    FillSurface(BackSurface, 0);
    Player->DoDraw();
    return count([](uint32_t p) { return p != 0; });
  };
  ASSERT_GT(drawn(), 64 * 150) << "the car before the crash";

  Lives = 1;
  for (int i = 0; i < 3; ++i) Player->LoseDamagePoint();
  int wreckTicks = 0, hiddenTicks = 0;
  for (int t = 0; t < 300 && OverlayWindow != 7; ++t) {
    const auto shown = drawn();
    EXPECT_EQ(count([](uint32_t p) { return p == kPaint; }), 0) << "the car as it was, tick " << t;
    if (shown > 64 * 100) ++wreckTicks;
    if (shown == 0) ++hiddenTicks;
    EXPECT_TRUE(shown == 0 || Player->Visible) << "tick " << t;
    Tick();
  }
  EXPECT_EQ(OverlayWindow, 7);
  // The 8-pattern blast, 0.15 patterns a tick, goes round once it passes
  // 7.5, on tick 51; the window opens 2000 ms (183 ticks of 11 ms) after
  // the crash.
  EXPECT_EQ(wreckTicks, 51);
  EXPECT_EQ(hiddenTicks, 183 - 51);
}

struct StartTile {
  int rowBelow;  // rows below the view's top row
  int column;
  uint8_t code;
};

struct PlaceCase {
  const char* name;
  std::vector<StartTile> tiles;
  int mapRow;
  bool moved;
  int rowBelow, column;  // the start tile that should be chosen
  double steer;
  int heading;
  int mapCol;  // the view's column: the tile's column less 6 (tile 4), 7 (12) or 4 (17)
};
void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class PlaceAtStart : public PlayerWorld, public testing::WithParamInterface<PlaceCase> {};

TEST_P(PlaceAtStart, MovesTheViewToTheNearestStartTileBehind) {
  const PlaceCase& c = GetParam();
  MapRow = c.mapRow;
  for (const StartTile& s : c.tiles) Tile(c.mapRow + s.rowBelow, s.column) = s.code;
  Background->X = -20;
  Background->Y = -30;
  Player->Steer = 10;
  Player->Heading = 5;
  Player->PlaceAtStart();
  EXPECT_TRUE(Player->StartPlaced);
  EXPECT_TRUE(Player->ClearCarsNearby);
  if (c.moved) {
    EXPECT_EQ(MapRow, c.mapRow + c.rowBelow - 4);
    EXPECT_EQ(MapCol, c.mapCol);
    EXPECT_DOUBLE_EQ(Player->Steer, c.steer);
    EXPECT_EQ(Player->Heading, c.heading);
    EXPECT_DOUBLE_EQ(Background->X, 0);
    EXPECT_DOUBLE_EQ(Background->Y, 0);
  } else {
    EXPECT_EQ(MapRow, c.mapRow);
    EXPECT_EQ(MapCol, c.mapCol);
    EXPECT_DOUBLE_EQ(Player->Steer, 10);
    EXPECT_EQ(Player->Heading, 5);
    EXPECT_DOUBLE_EQ(Background->X, -20);
    EXPECT_DOUBLE_EQ(Background->Y, -30);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Player, PlaceAtStart,
    testing::Values(
        PlaceCase{"StraightFiveRowsDown", {{5, 400, 4}}, 1000, true, 5, 400, 0, 0, 394},
        PlaceCase{"StepRight", {{20, 330, 12}}, 1000, true, 20, 330, 38, 19, 323},
        PlaceCase{"StepLeft", {{7, 330, 17}}, 1000, true, 7, 330, -38, -19, 326},
        PlaceCase{"SearchStartsFiveRowsDown", {{4, 330, 4}, {12, 340, 4}}, 1000, true, 12, 340, 0, 0, 334},
        PlaceCase{"NearestRowWins", {{8, 330, 17}, {9, 500, 4}}, 1000, true, 8, 330, -38, -19, 326},
        PlaceCase{"RightmostInTheRowWins", {{6, 330, 4}, {6, 331, 12}}, 1000, true, 6, 331, 38, 19, 324},
        PlaceCase{"ReachesTheLastRow", {{10, 324, 4}}, 1490 - 1, true, 10, 324, 0, 0, 318},
        // The view already shows the start straight.
        PlaceCase{"BottomOfTheMapKeepsTheView", {{5, 324, 4}}, 1490, false, 0, 0, 0, 0, 300},
        PlaceCase{"NoStartTileKeepsTheView", {}, 1000, false, 0, 0, 0, 0, 300}),
    [](const testing::TestParamInfo<PlaceCase>& info) { return std::string(info.param.name); });

struct BounceCase {
  const char* name;
  int heading;
  double speed;
  double speedAfter;
  double dx, dy;  // the world's jump
};
void PrintTo(const BounceCase& c, std::ostream* os) { *os << c.name; }

class BounceBack : public PlayerWorld, public testing::WithParamInterface<BounceCase> {};

TEST_P(BounceBack, SetsTheSpeedAndMovesTheWorldOneStep) {
  const BounceCase& c = GetParam();
  Player->Heading = c.heading;
  SetSpeed(c.speed);
  Background->X = -30;
  Background->Y = -30;
  RecordSoundCalls = true;
  Player->BounceBack(-100);
  EXPECT_EQ(Player->Speed, c.speedAfter);
  EXPECT_EQ(Player->Speed10, c.speedAfter / 10);
  EXPECT_TRUE(Player->Collided);
  EXPECT_NEAR(Background->X, -30 + c.dx, 1e-9);
  EXPECT_NEAR(Background->Y, -30 + c.dy, 1e-9);
  const std::vector<std::string> played = TakePlayed();
  ASSERT_FALSE(played.empty());
  EXPECT_EQ(played.back(), "Collision");
}

INSTANTIATE_TEST_SUITE_P(Player, BounceBack,
                         testing::Values(BounceCase{"ForwardStraightUp", 0, 50, -100, 0, -5},
                                         BounceCase{"ForwardAtAnEighth", 32, 50, -100, 5 * std::sqrt(0.5),
                                                    -5 * std::sqrt(0.5)},
                                         BounceCase{"Reversing", 0, -10, 100, 0, 5},
                                         BounceCase{"Standing", 0, 0, 0, 0, 0}),
                         [](const testing::TestParamInfo<BounceCase>& info) { return std::string(info.param.name); });

TEST_F(PlayerWorld, BouncedCarSkipsOneStepThenReversesAtMinus15) {
  Player->KeyDown = true;
  SetSpeed(50);
  Player->BounceBack(-100);
  const double y = Background->Y;
  Tick();
  EXPECT_FALSE(Player->Collided);
  EXPECT_EQ(Player->Speed, -100) << "the bounce tick leaves the speed alone";
  EXPECT_NEAR(Background->Y, y - 5, 1e-9) << "and the world keeps going back";
  Tick();
  EXPECT_EQ(Player->Speed, -15);
  Tick(50);
  EXPECT_EQ(Player->Speed, -15) << "Down only holds it there";
}

TEST_F(PlayerWorld, ScaleSpeedRestoresTheEngineSound) {
  Player->SetEngineSound("Accel2");
  SetSpeed(80);
  RecordSoundCalls = true;
  Player->ScaleSpeed(0.9);
  EXPECT_DOUBLE_EQ(Player->Speed, 72);
  EXPECT_DOUBLE_EQ(Player->Speed10, 7.2);
  // The engine comes back in top gear whatever the gear was.
  EXPECT_EQ(TakePlayed(), (std::vector<std::string>{"Accel4", "Collision"}));
  Player->ScaleSpeed(-1);
  EXPECT_DOUBLE_EQ(Player->Speed, -72);
  EXPECT_DOUBLE_EQ(Player->Speed10, -7.2);
}

TEST_F(PlayerWorld, LevelEndRollsTheCarToAStopBeforeTheRaceEnds) {
  Player->TimeUp = true;
  Player->KeyUp = true;
  SetSpeed(160);
  TimeLeft = 5000;  // the race end step counts it down as the time bonus
  RecordSoundCalls = true;
  int stoppedAt = 0;
  for (int t = 1; t <= 300 && stoppedAt == 0; ++t) {
    const double before = Player->Speed;
    Tick();
    if (TimeLeft != 5000) {
      stoppedAt = t;
      break;
    }
    EXPECT_NEAR(Player->Speed, before - 0.8, 1e-9) << "the keys are ignored";
    EXPECT_DOUBLE_EQ(Player->Speed10, Player->Speed / 10);
    if (t == 1) {
      EXPECT_EQ(TakePlayed(), (std::vector<std::string>{"Neutral"}));
    }
  }
  EXPECT_GE(stoppedAt, 200);
  EXPECT_LE(stoppedAt, 201);
  EXPECT_TRUE(Player->EndHandled);
}

TEST_F(PlayerWorld, LevelEndStopsAReversingCarAtOnce) {
  Player->TimeUp = true;
  SetSpeed(-10);
  TimeLeft = 5000;
  Tick();
  EXPECT_EQ(Player->Speed10, 0);
  EXPECT_EQ(Player->Speed, -10);
  EXPECT_LT(TimeLeft, 5000) << "the race end step ran on the first tick";
}

TEST_F(PlayerWorld, WeaponPickupsSwapRefillAndDrop) {
  Player->GiveBonus(WeaponGun);
  EXPECT_EQ(Player->WeaponSprite->Image->Name, "GunAnim_1");
  // The first step comes at once, then one frame per 100 ms (10 ticks of
  // 11 ms).
  Tick(40);
  EXPECT_EQ(Player->WeaponFrame, 5);
  Tick();
  EXPECT_EQ(Player->WeaponFrame, 6);
  EXPECT_EQ(Player->WeaponSprite->Image->Name, "GunAnim_6");
  Player->GiveBonus(WeaponGun);
  EXPECT_EQ(Player->WeaponFrame, 6) << "the same weapon only refills";
  EXPECT_EQ(Player->Ammo, 25);
  Player->GiveBonus(WeaponRockets);
  EXPECT_EQ(Player->WeaponFrame, 1);
  EXPECT_EQ(Player->Ammo, 20);
  EXPECT_EQ(Player->WeaponSprite->Image->Name, "RocketAnim_1");

  Tick(60);
  Player->DropWeapon(WeaponRockets);
  EXPECT_EQ(Player->WeaponKind, WeaponRockets) << "it folds away first";
  Tick(60);
  EXPECT_EQ(Player->WeaponKind, 0);
  EXPECT_EQ(Player->WeaponFrame, 1);

  Player->GiveBonus(2);
  EXPECT_TRUE(Player->NitroOn);
  Player->GiveBonus(1);
  EXPECT_EQ(Lives, 4);
  Player->GiveBonus(WeaponGun);
  Player->DropAllWeapons();
  EXPECT_EQ(Player->WeaponKind, 0);
  EXPECT_FALSE(Player->NitroOn);
  EXPECT_EQ(Player->Nitro, 0);
}

}  // namespace
