#pragma once
// The player's small race with the town's inhabitants added: stand-in
// pictures for the traffic, the pedestrians, the pickups and the rockets,
// their sounds, and a straight road of plain tiles. Each test makes the
// managers it needs.
#include <algorithm>
#include <string>

#include "support/player_test_world.h"
#include "race/player/car_tables.h"
#include "race/player/rockets.h"
#include "race/world/bonuses.h"
#include "race/world/finish_line.h"
#include "race/world/pedestrians.h"
#include "race/world/rival_cars.h"
#include "race/world/track_generator.h"

class TownWorld : public PlayerWorld {
 protected:
  void SetUp() override {
    PlayerWorld::SetUp();
    for (int k = 1; k <= RivalKinds; ++k)
      AddPicture(CarImage[6 + k], 2 * CarHalfWidth[6 + k], 2 * CarHalfHeight[6 + k], 6);
    for (const char* who : {"Man_", "Girl_"}) {
      for (const char* way : {"Left", "Right", "Up", "Down"}) AddPicture(std::string(who) + way, 54, 54, 5);
      AddPicture(std::string(who) + "Laying", 54, 54, 1);
    }
    for (int t = 1; t <= 8; ++t) AddPicture(BonusImage[t], 35, 34, 1);
    AddPicture("Rocket", 12, 30, 1);
    AddPicture("EngineFire", 12, 24, 4);
    AddPicture("Explosion", 64, 64, 8);
    AddPicture("FinishLine", 72, 24, 1);
    MDXImageList2.Reindex();
    AddWave("KillW", false);
    MDXWaveList.Reindex();
    // The new pictures moved the list's items: the road and the car are
    // made again so that they hold no stale picture.
    MDXSpriteEngine.Clear();
    Background = new TScrollBackground(2, 10, 13, "Tiles");
    Player = new TPlayer(PlayerScreenX, PlayerScreenY);
    TrackLength = 300;
    CarCount = 10;
    BonusCount = 10;
    // Far enough down the map that a car near the view is between the two
    // ends of a level-1 road and is not recycled.
    MapRow = 1300;
    Background->X = Background->Y = 0;
  }

  void TearDown() override {
    Cars = nullptr;
    Men = nullptr;
    Bonuses = nullptr;
    Finish = nullptr;
    for (TRocket*& r : Rockets) r = nullptr;
    PlayerWorld::TearDown();
  }

  // World point of screen point (sx, sy) in the current view.
  static double WorldX(double sx) { return sx + 72.0 * MapCol - Background->X; }
  static double WorldY(double sy) { return sy + 72.0 * MapRow - Background->Y; }

  // A town of one straight road on every row: left edge (1) in column
  // LeftEdge, road (2) across, right edge (4) in column LeftEdge + 4.
  static constexpr int LeftEdge = 320;
  static void StraightRoad() {
    std::fill(std::begin(TrackMap), std::end(TrackMap), uint8_t{0});
    for (int r = 1; r <= MapRows; ++r) {
      Tile(r, LeftEdge) = 1;
      for (int c = LeftEdge + 1; c <= LeftEdge + 3; ++c) Tile(r, c) = 2;
      Tile(r, LeftEdge + 4) = 4;
    }
  }
};
