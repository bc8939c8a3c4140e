#include <cmath>
#include <set>

#include "shell/random.h"
#include "support/town_test_world.h"

namespace {

class RivalCars : public TownWorld {
 protected:
  void SetUp() override {
    TownWorld::SetUp();
    Cars = new TCar();
    Cars->PlaceCars();
  }

  // Car 1 alone on the road, kind 1, its picture's top-left at screen
  // point (sx, sy).
  TRivalCar& OnlyCar(uint8_t orientation, int speed, double sx, double sy) {
    CarCount = 1;
    std::fill(std::begin(Cars->Car), std::end(Cars->Car), TRivalCar{});
    TRivalCar& car = Cars->Car[1];
    car.Kind = 1;
    car.Orientation = orientation;
    car.Speed = speed;
    car.X = WorldX(sx);
    car.Y = WorldY(sy);
    return car;
  }
};

// Where each kind sits across its column, from the left of the column to
// the left of its picture: oncoming in the road's second column, driving up
// in its third (the motorbike near the kerb, the others near the middle).
const double OncomingLeft[6] = {0, -14, -24, 4, -18, -55};
const double UpLeft[6] = {0, -14, -24, 36, -6, -40};

struct TLevelTraffic {
  int Level, Length, Count;
};

TEST_F(RivalCars, EachLevelPlacesItsTrafficOneCarARowFourRowsApart) {
  StraightRoad();
  for (const TLevelTraffic t : {TLevelTraffic{1, 300, 10}, TLevelTraffic{2, 500, 40}, TLevelTraffic{3, 700, 90},
                                TLevelTraffic{4, 900, 160}, TLevelTraffic{5, 1100, 200}, TLevelTraffic{6, 1300, 200}}) {
    Randomize(static_cast<uint32_t>(t.Level));
    TrackLength = t.Length;
    CarCount = std::min(10 * t.Level * t.Level, 200);
    Cars->PlaceCars();
    std::set<int> rows;
    int placed = 0;
    for (int i = 1; i <= CarSlots; ++i) {
      const TRivalCar& car = Cars->Car[i];
      if (car.Orientation == 0) continue;
      ++placed;
      ASSERT_LE(i, CarCount);
      ASSERT_GE(car.Kind, 1);
      ASSERT_LE(car.Kind, 5);
      const int row = static_cast<int>(car.Y) / 72;
      EXPECT_EQ(car.Y, 72.0 * row);
      EXPECT_EQ(row % 4, 0) << "level " << t.Level << " car " << i;
      EXPECT_GE(row, 1536 - t.Length);
      EXPECT_LE(row, 1489);
      EXPECT_TRUE(rows.insert(row).second) << "two cars on row " << row;
      if (i <= t.Count / 2) {
        // Oncoming, in the road's second column.
        EXPECT_EQ(car.Orientation, 4);
        EXPECT_EQ(car.Speed, -5);
        EXPECT_EQ(car.X, 72.0 * (LeftEdge + 1) + OncomingLeft[car.Kind]);
      } else {
        EXPECT_EQ(car.Orientation, 3);
        EXPECT_EQ(car.Speed, 6);
        EXPECT_EQ(car.X, 72.0 * (LeftEdge + 3) + UpLeft[car.Kind]);
      }
    }
    EXPECT_EQ(placed, t.Count) << "level " << t.Level;
  }
}

TEST_F(RivalCars, ARowWithoutARoadEdgeLeavesItsSlotEmpty) {
  // No left edge anywhere: none of the oncoming half can be placed.
  StraightRoad();
  for (int r = 1; r <= MapRows; ++r) Tile(r, LeftEdge) = 2;
  TrackLength = 500;
  CarCount = 40;
  Cars->PlaceCars();
  int placed = 0;
  for (int i = 1; i <= CarSlots; ++i) placed += Cars->Car[i].Orientation != 0;
  EXPECT_EQ(placed, 20);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(Cars->Car[i].Orientation, 0) << i;
}

TEST_F(RivalCars, KindsComeInTheirProportions) {
  Randomize(99);
  int seen[6] = {};
  const int draws = 100000;
  for (int n = 0; n < draws; ++n) seen[RandomCarKind()] += 1;
  const double expected[6] = {0, 0.2, 0.2, 0.3, 0.2, 0.1};
  for (int k = 1; k <= 5; ++k) EXPECT_NEAR(seen[k] / double(draws), expected[k], 0.01) << "kind " << k;
}

struct TCrash {
  const char* Name;
  uint8_t Orientation;
  int Speed;
  double ScreenY;
  double PlayerSpeedAfter;
  bool Explodes;
};

// The player's car (picture 64 x 156 at (365, 400)) has its outline at
// about x 366..428, y 404..552; a kind-1 car with its picture at x 349
// lies across it.
const TCrash Crashes[] = {
    {"run into from behind", 3, 6, 450, 90, false},
    {"head-on with an oncoming car", 4, -5, 300, -20, true},
    {"into a car ahead", 3, 6, 300, 20, false},
};

TEST_F(RivalCars, TheThreeCollisionsCostADamagePointUnlessTheLevelIsOver) {
  Finish = new TFinish();
  for (const TCrash& c : Crashes) {
    for (const char* when : {"racing", "after the finish", "at time-up"}) {
      const std::string label = std::string(c.Name) + ", " + when;
      const bool racing = std::string(when) == "racing";
      Finish->Crossed = std::string(when) == "after the finish";
      Player->TimeUp = std::string(when) == "at time-up";
      Player->Energy = 3;
      SetSpeed(100);
      TRivalCar& car = OnlyCar(c.Orientation, c.Speed, 349, c.ScreenY);
      TakePlayed();
      RecordSoundCalls = true;
      Cars->DoMove(11);
      EXPECT_EQ(Player->Energy, racing ? 2 : 3) << label;
      EXPECT_DOUBLE_EQ(Player->Speed, c.PlayerSpeedAfter) << label;
      EXPECT_EQ(car.Exploding, c.Explodes ? 1 : 0) << label;
      EXPECT_EQ(car.Touching, 1) << label;
      const std::vector<std::string> played = TakePlayed();
      EXPECT_EQ(std::count(played.begin(), played.end(), "Explosion"), c.Explodes ? 1 : 0) << label;
      if (c.Explodes) {
        EXPECT_EQ(car.Speed, 0) << label;
      }
    }
  }
}

TEST_F(RivalCars, OneHitPerContactUntilTheCarsPartAgain) {
  SetSpeed(100);
  TRivalCar& car = OnlyCar(3, 6, 349, 450);
  Cars->DoMove(11);
  EXPECT_EQ(Player->Energy, 2);
  for (int t = 0; t < 5; ++t) {
    Player->Speed = 100;
    Cars->DoMove(11);
    EXPECT_EQ(Player->Energy, 2);
    EXPECT_EQ(Player->Speed, 100);  // no second shove while still touching
  }
  car.X = WorldX(100);  // beside the player's car
  Cars->DoMove(11);
  EXPECT_EQ(car.Touching, 0);
  car.X = WorldX(349);
  Cars->DoMove(11);
  EXPECT_EQ(Player->Energy, 1);
}

TEST_F(RivalCars, AWreckedCarIsNotHitButTheTrafficStillMoves) {
  Player->Wrecked = true;
  TRivalCar& car = OnlyCar(3, 6, 349, 450);
  const double y = car.Y;
  Cars->DoMove(11);
  EXPECT_EQ(Player->Energy, 3);
  EXPECT_EQ(car.Touching, 0);
  EXPECT_DOUBLE_EQ(car.Y, y - 3);  // 6 * 0.5 pixels up the road per tick
}

TEST_F(RivalCars, ACarMetJustAfterTheRespawnIsRemovedNotHit) {
  TRivalCar& car = OnlyCar(3, 6, 349, 450);
  Player->ClearCarsNearby = true;
  SetSpeed(0);
  Cars->DoMove(11);
  EXPECT_EQ(car.Orientation, 0);
  EXPECT_EQ(car.Speed, 0);
  EXPECT_FALSE(Player->ClearCarsNearby);
  EXPECT_EQ(Player->Energy, 3);
}

TEST_F(RivalCars, TheRespawnedCarClearsTheRoadWithin720PixelsOnItsNextMove) {
  CarCount = 4;
  std::fill(std::begin(Cars->Car), std::end(Cars->Car), TRivalCar{});
  const double screenY[5] = {0, -320, 1120, 1121, -321};
  for (int i = 1; i <= 4; ++i) {
    Cars->Car[i].Kind = 2;
    Cars->Car[i].Orientation = 4;
    Cars->Car[i].X = WorldX(0);
    Cars->Car[i].Y = WorldY(screenY[i]);
  }
  Player->ClearCarsNearby = true;
  Player->DoMove(11);
  EXPECT_EQ(Cars->Car[1].Orientation, 0);
  EXPECT_EQ(Cars->Car[2].Orientation, 0);
  EXPECT_EQ(Cars->Car[3].Orientation, 4);
  EXPECT_EQ(Cars->Car[4].Orientation, 4);
  EXPECT_FALSE(Player->ClearCarsNearby);
}

TEST_F(RivalCars, ARocketThroughACarScoresTenAndIsSpent) {
  CreateRockets();
  TRivalCar& car = OnlyCar(3, 0, 100, 100);
  // Kind 1 facing up: its outline spans about 28..68 across, 2..130 down.
  Rockets[1]->Active = true;
  Rockets[1]->WorldX = car.X + 48;
  Rockets[1]->WorldY = car.Y + 60;
  Score = 0;
  Cars->DoMove(11);
  EXPECT_EQ(Score, 10);
  EXPECT_EQ(car.Exploding, 1);
  EXPECT_FALSE(Rockets[1]->Active);
  EXPECT_FALSE(Rockets[1]->Exploding);
  // The burning wreck does not stop a second rocket.
  Rockets[2]->Active = true;
  Rockets[2]->WorldX = car.X + 48;
  Rockets[2]->WorldY = car.Y + 60;
  Cars->DoMove(11);
  EXPECT_EQ(Score, 10);
  EXPECT_TRUE(Rockets[2]->Active);
  // A rocket just beside the outline flies on.
  TRivalCar& other = OnlyCar(3, 0, 100, 100);
  Rockets[2]->WorldX = other.X + 20;
  Cars->DoMove(11);
  EXPECT_TRUE(Rockets[2]->Active);
  EXPECT_EQ(other.Exploding, 0);
}

TEST_F(RivalCars, TheBlastLasts13FramesAt20ASecondThenTheSlotIsEmpty) {
  TRivalCar& car = OnlyCar(3, 6, 100, -200);
  Cars->ExplodeCar(1);
  EXPECT_EQ(car.Speed, 0);
  // 0.22 of a frame per 11 ms tick: 59 ticks reach 12.98, the 60th 13.2.
  for (int t = 0; t < 59; ++t) Cars->DoMove(11);
  EXPECT_EQ(car.Exploding, 1);
  EXPECT_NEAR(car.ExplosionFrame, 12.98, 1e-9);
  Cars->DoMove(11);
  EXPECT_EQ(car.Exploding, 0);
  EXPECT_EQ(car.Orientation, 0);
}

struct TSteer {
  uint8_t From;
  uint8_t A, B, C;
  uint8_t To;
};

TEST_F(RivalCars, TheRoadEdgeUnderTheCarsMiddleSteersIt) {
  const TSteer cases[] = {{3, 15, 14, 2, 1}, {3, 2, 7, 8, 2}, {1, 2, 3, 4, 3}, {3, 9, 10, 2, 3},
                          {4, 9, 10, 2, 5},  {4, 2, 19, 18, 6}, {5, 1, 2, 2, 4}, {4, 15, 14, 2, 4}};
  // Kind 1 (half size 49 x 67) with its middle in the middle of map tile
  // (1310, 330).
  for (const TSteer& s : cases) {
    Tile(1310, 329) = s.A;
    Tile(1310, 330) = s.B;
    Tile(1310, 331) = s.C;
    TRivalCar& car = OnlyCar(s.From, 0, 0, 0);
    car.X = 72.0 * 330 + 36 - 49;
    car.Y = 72.0 * 1310 + 36 - 67;
    Cars->DoMove(11);
    EXPECT_EQ(car.Orientation, s.To) << int(s.From) << ": " << int(s.A) << " " << int(s.B) << " " << int(s.C);
  }
}

TEST_F(RivalCars, CarsLeavingEitherEndComeBackAtTheOtherAsTheOtherTraffic) {
  StraightRoad();
  Cars->PlaceCars();  // finds the road edges: 320 at the finish end, 324 at the start
  TRivalCar& down = OnlyCar(4, -5, 0, 0);
  down.Y = 107856 - 1;  // moves 2.5 down, past the start end
  Cars->DoMove(11);
  EXPECT_EQ(down.Orientation, 3);
  EXPECT_EQ(down.Speed, 6);
  EXPECT_EQ(down.Y, 107856);
  EXPECT_EQ(down.X, 72.0 * 323 + UpLeft[down.Kind]);

  TRivalCar& up = OnlyCar(3, 6, 0, 0);
  up.Y = 72.0 * (1535 - 300) + 1;  // moves 3 up, beyond the finish end
  Cars->DoMove(11);
  EXPECT_EQ(up.Orientation, 4);
  EXPECT_EQ(up.Speed, -5);
  EXPECT_EQ(up.Y, 72.0 * 1236);
  EXPECT_EQ(up.X, 72.0 * 321 + OncomingLeft[up.Kind]);
}

TEST_F(RivalCars, ARespawnedCarRemovesTheCarsItLandsOn) {
  StraightRoad();
  Cars->PlaceCars();
  CarCount = 3;
  std::fill(std::begin(Cars->Car), std::end(Cars->Car), TRivalCar{});
  // A lorry waiting at the start end, and a car far up the road.
  Cars->Car[2] = TRivalCar{5, 3, 72.0 * 323 - 40, 107856 - 60, 6, 0, 0, 0, 0};
  Cars->Car[3] = TRivalCar{1, 3, 72.0 * 323 - 14, 90000, 6, 0, 0, 0, 0};
  Cars->RespawnCar(1, TCarEnd::Bottom);
  EXPECT_EQ(Cars->Car[1].Orientation, 3);
  EXPECT_EQ(Cars->Car[2].Orientation, 0);
  EXPECT_EQ(Cars->Car[2].Speed, 0);
  EXPECT_EQ(Cars->Car[3].Orientation, 3);
}

}  // namespace
