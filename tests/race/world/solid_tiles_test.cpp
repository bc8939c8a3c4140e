// Walls, garages and posts stop the car: the road's scroll step tests the
// solid tiles of the view against the car's outline.
#include <cmath>
#include <ostream>

#include "support/player_test_world.h"
#include "race/world/solid_tiles.h"

namespace {

class SolidTiles : public PlayerWorld {
 protected:
  void SetUp() override {
    PlayerWorld::SetUp();
    GameScreen = 6;
  }
  void TearDown() override {
    GameScreen = 0;
    PlayerWorld::TearDown();
  }
  // The tile shown at row i, column j of the road's grid.
  static void Put(int i, int j, uint8_t code) { Tile(MapRow + i, MapCol + j) = code; }
  // A 2 x 2 pixel car standing at (x, y) on screen; the road tests the
  // outline the car had when the tick began.
  static void ProbeAt(double x, double y) {
    Player->Corners.P[0] = {x, y};
    Player->Corners.P[1] = {x + 2, y};
    Player->Corners.P[2] = {x + 2, y + 2};
    Player->Corners.P[3] = {x, y + 2};
  }
};

// Car 1 at heading 0: its outline's front corners stand at y 403.98 (0.95
// of the corner radius sqrt(78^2 + 32.5 * 32), at atan(32.5 / 78) from
// straight ahead, above the centre at y 478) and x 366.16 and 427.84; its
// rear corners at y 552.02.
constexpr double kFrontY = 403.98;

struct ProbeCase {
  const char* Name;
  uint8_t Code;
  int Row, Column;  // grid cell of the tile
  double X, Y;      // the probe's top-left corner on screen
  bool Hit;
};
void PrintTo(const ProbeCase& c, std::ostream* os) { *os << c.Name; }

class SolidTileProbe : public SolidTiles, public testing::WithParamInterface<ProbeCase> {};

TEST_P(SolidTileProbe, HitsExactlyWhereTheTileIsSolid) {
  const ProbeCase& c = GetParam();
  Put(c.Row, c.Column, c.Code);
  ProbeAt(c.X, c.Y);
  Tick();
  EXPECT_EQ(Player->Energy, c.Hit ? 2 : 3);
}

// The tile at grid cell (5, 5) has its top-left corner at (360, 360). Each
// rectangle is probed 1 pixel inside each of its sides and 3 pixels
// outside, at the middle of that side.
INSTANTIATE_TEST_SUITE_P(
    Player, SolidTileProbe,
    testing::Values(
        // 59: x 0..35, y 0..72
        ProbeCase{"Post59Left", 59, 5, 5, 361, 395, true}, ProbeCase{"Post59Right", 59, 5, 5, 392, 395, true},
        ProbeCase{"Post59PastRight", 59, 5, 5, 398, 395, false},
        ProbeCase{"Post59Top", 59, 5, 5, 376, 361, true}, ProbeCase{"Post59Bottom", 59, 5, 5, 376, 429, true},
        // 39: x 37..72
        ProbeCase{"Post39Left", 39, 5, 5, 398, 395, true}, ProbeCase{"Post39PastLeft", 39, 5, 5, 392, 395, false},
        ProbeCase{"Post39Right", 39, 5, 5, 429, 395, true},
        // 40: y 58..72, the whole width
        ProbeCase{"TopWallFace", 40, 5, 5, 395, 419, true}, ProbeCase{"TopWallAboveFace", 40, 5, 5, 395, 413, false},
        // Well clear of the wall, where crossed corners would still report one.
        ProbeCase{"TopWallHalfATileAbove", 40, 5, 5, 395, 395, false},
        ProbeCase{"TopWallLeftEnd", 40, 5, 5, 361, 425, true}, ProbeCase{"TopWallRightEnd", 40, 5, 5, 429, 425, true},
        // 41: x 65..72, y 0..68
        ProbeCase{"LeftWall", 41, 5, 5, 426, 395, true}, ProbeCase{"LeftWallPastLeft", 41, 5, 5, 420, 395, false},
        ProbeCase{"LeftWallEnd", 41, 5, 5, 426, 425, true}, ProbeCase{"LeftWallBelowEnd", 41, 5, 5, 426, 431, false},
        // 42, 43, 44: x 0..64, y 0..64
        ProbeCase{"Garage42", 42, 5, 5, 421, 421, true}, ProbeCase{"Garage42PastRight", 42, 5, 5, 427, 395, false},
        ProbeCase{"Garage42Below", 42, 5, 5, 395, 427, false}, ProbeCase{"Garage43", 43, 5, 5, 361, 361, true},
        ProbeCase{"Garage44", 44, 5, 5, 421, 361, true}, ProbeCase{"Garage44Below", 44, 5, 5, 361, 427, false},
        // Everything else is driven over, buildings included.
        ProbeCase{"Lawn", 0, 5, 5, 395, 395, false}, ProbeCase{"Sidewalk", 23, 5, 5, 395, 395, false},
        ProbeCase{"YardRoof", 45, 5, 5, 395, 395, false}, ProbeCase{"House", 53, 5, 5, 395, 395, false},
        ProbeCase{"Fountain", 31, 5, 5, 395, 395, false},
        // The grid's first row and column are not tested; the row and
        // column beyond its last are.
        ProbeCase{"FirstRow", 42, 0, 5, 380, 20, false}, ProbeCase{"FirstColumn", 42, 5, 0, 20, 380, false},
        ProbeCase{"SecondRowAndColumn", 42, 1, 1, 92, 92, true},
        ProbeCase{"BeyondTheLastRowAndColumn", 42, 10, 13, 72 * 13 + 20, 740, true}),
    [](const testing::TestParamInfo<ProbeCase>& info) { return std::string(info.param.Name); });

struct HitCase {
  const char* Name;
  double Speed;
  std::vector<std::pair<int, int>> Garages;  // grid cells of solid tiles
  double SpeedAfter;
  int EnergyAfter, LivesAfter;
  bool Wrecked;
  int Collisions;
};
void PrintTo(const HitCase& c, std::ostream* os) { *os << c.Name; }

class SolidTileHit : public SolidTiles, public testing::WithParamInterface<HitCase> {};

// The car's own outline against garages beside and under it. The road
// starts at Y -36; at speed 50 it scrolls 2.5 pixels first, so a tile of
// grid row i stands at y 72 i - 33.5: row 6 reaches the car's front
// (398.5 .. 462.5), rows 7 and 8 its left side.
TEST_P(SolidTileHit, EachTileTouchedIsOneHit) {
  const HitCase& c = GetParam();
  Background->Y = -36;
  for (auto [i, j] : c.Garages) Put(i, j, i == 6 ? 42 : 59);
  SetSpeed(c.Speed);
  RecordSoundCalls = true;
  Tick();
  EXPECT_NEAR(Player->Speed, c.SpeedAfter, 1e-9);
  EXPECT_NEAR(Player->Speed10, c.SpeedAfter / 10, 1e-9);
  EXPECT_EQ(Player->Energy, c.EnergyAfter);
  EXPECT_EQ(Lives, c.LivesAfter);
  EXPECT_EQ(Player->Wrecked, c.Wrecked);
  const std::vector<std::string> played = TakePlayed();
  EXPECT_EQ(std::count(played.begin(), played.end(), "Collision"), c.Collisions);
}

INSTANTIATE_TEST_SUITE_P(
    Player, SolidTileHit,
    testing::Values(
        // Forward: pushed back at speed -100.
        HitCase{"Forward", 50, {{6, 5}}, -100, 2, 3, false, 1},
        // Reversing or standing: the speed only changes sign (and the car's
        // own step, not skipped this time, coasts 0.05 off it).
        HitCase{"Reversing", -10, {{6, 5}}, 9.95, 2, 3, false, 1},
        HitCase{"Standing", 0, {{6, 5}}, 0, 2, 3, false, 1},
        // Two tiles, two hits: the first pushes the car back, the second
        // finds it reversing and turns it forward again.
        HitCase{"TwoTilesOneTick", 50, {{6, 5}, {7, 5}}, 100, 1, 3, false, 2},
        // The third hit wrecks the car: a new life's damage points, one
        // life less, standing still.
        HitCase{"ThreeTilesOneTick", 50, {{6, 5}, {7, 5}, {8, 5}}, 0, 3, 2, true, 3},
        // Nothing beside the car: no hit.
        HitCase{"Clear", 50, {{6, 4}, {8, 6}}, 49.95, 3, 3, false, 0}),
    [](const testing::TestParamInfo<HitCase>& info) { return std::string(info.param.Name); });

TEST_F(SolidTiles, AWreckedCarAndOneWithoutDamagePointsPassThrough) {
  Put(6, 5, 42);
  Background->Y = -36;
  Player->Energy = 0;
  Tick();
  EXPECT_EQ(Player->Energy, 0);
  Player->Energy = 3;
  Player->Wreck();
  Tick();
  EXPECT_EQ(Player->Energy, 3);
  EXPECT_EQ(Lives, 3);
}

TEST_F(SolidTiles, OnlyTheRaceTestsThem) {
  GameScreen = 1;
  Put(6, 5, 42);
  Background->Y = -36;
  Tick();
  EXPECT_EQ(Player->Energy, 3);
}

// Driving up into the top wall of a walled block, the car is stopped at the
// wall's face and pushed back, again and again, until the third time
// wrecks it.
TEST_F(SolidTiles, DrivingIntoAWallStopsTheCarThereUntilTheThirdHitWrecksIt) {
  const int wallRow = MapRow + 4;  // its face is at y 360 on screen
  for (int j = 3; j <= 7; ++j) Tile(wallRow, MapCol + j) = 40;
  Background->Y = -36;
  auto face = [&] { return 72.0 * (wallRow - MapRow) + Background->Y + 72; };
  Player->KeyUp = true;
  SetSpeed(40);
  std::vector<int> energy;
  for (int t = 0; t < 2000 && !Player->Wrecked; ++t) {
    const int e = Player->Energy;
    Tick();
    if (Player->Energy == e && !Player->Wrecked) {
      ASSERT_LT(face(), kFrontY) << "the car drove into the wall, tick " << t;
      continue;
    }
    energy.push_back(Player->Wrecked ? 0 : Player->Energy);
    if (Player->Wrecked) break;
    // The face had just reached the car's front, within this tick's step,
    // when the push-back moved it five pixels away.
    EXPECT_GE(face() + 5, kFrontY - 0.5) << "hit too early, tick " << t;
    EXPECT_LT(face() + 5, kFrontY + 4) << "hit too late, tick " << t;
    EXPECT_DOUBLE_EQ(Player->Speed, -100);
  }
  EXPECT_EQ(energy, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(Player->Energy, 3);
  EXPECT_EQ(Lives, 2);
}

}  // namespace
