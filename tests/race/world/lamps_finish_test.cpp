#include "support/player_test_world.h"
#include "race/world/finish_line.h"
#include "race/world/lamps.h"
#include "race/world/track_generator.h"

namespace {

class LampsAndFinish : public PlayerWorld {
 protected:
  void SetUp() override {
    PlayerWorld::SetUp();
    for (const char* name : {"Lamp_L", "Lamp_R", "Lamp_RL", "Lamp_RR", "Lamp_LR", "Lamp_LL"}) AddPicture(name, 80, 40, 1);
    AddPicture("FinishLine", 72, 24, 1);
    MDXImageList2.Reindex();
    Lamps = new TLamp();
  }
  void TearDown() override {
    Lamps = nullptr;
    Finish = nullptr;
    PlayerWorld::TearDown();
  }
  // A left road edge whose lamp post lands inside the car standing at
  // (365, 400): grid column 5 puts the post at x 372, grid row 6 at y 441.
  void PlaceLampUnderTheCar(int mapRow) {
    MapRow = mapRow;
    Tile(MapRow + 6, MapCol + 5) = 1;
    Background->X = Background->Y = 0;
  }
};

TEST_F(LampsAndFinish, APostHitLikeAWallOnlyOnEveryFifthRow) {
  struct TCase {
    int MapRow;
    double Speed;
    bool Hit;
  };
  for (const TCase c : {TCase{994, 80, true}, TCase{995, 80, false}, TCase{994, 0, true}, TCase{994, -10, true}}) {
    std::fill(std::begin(TrackMap), std::end(TrackMap), RoadTile);
    PlaceLampUnderTheCar(c.MapRow);
    Player->Energy = 3;
    Player->Wrecked = 0;
    SetSpeed(c.Speed);
    Lamps->DoMove(11);
    EXPECT_EQ(Player->Energy, c.Hit ? 2 : 3) << c.MapRow << " " << c.Speed;
    // Forward into a post reverses the car at -100; standing or reversing
    // only flips the sign.
    const double expected = !c.Hit ? c.Speed : c.Speed > 0 ? -100 : -c.Speed;
    EXPECT_DOUBLE_EQ(Player->Speed, expected) << c.MapRow << " " << c.Speed;
  }
  // A wrecked car passes through.
  Player->Energy = 3;
  Player->Wrecked = 1;
  SetSpeed(80);
  Lamps->DoMove(11);
  EXPECT_EQ(Player->Energy, 3);
}

TEST_F(LampsAndFinish, CrossedOnTheFirstTickTheLineIsBelowTheCar) {
  TrackLength = 300;  // the line lies on map row 1250, world y 90000
  Finish = new TFinish();
  EXPECT_DOUBLE_EQ(Finish->FinishY, 90000);
  MapRow = 1245;  // the line at screen y 360 + Background.Y
  for (const auto& [y, crossed] : {std::pair{39.0, 0}, std::pair{40.0, 0}, std::pair{40.5, 1}}) {
    Finish->Crossed = 0;
    Background->Y = y;
    Finish->DoMove(11);
    EXPECT_EQ(Finish->Crossed, crossed) << y;
  }
}

}  // namespace
