// The traffic, the pedestrians, the pickups and the rockets at the edges
// of the map and far beyond them: every step and every draw must stay
// inside its own arrays, the map and the back surface (the sanitizer build
// checks the reads and writes), and the town itself is never written.
#include <numeric>

#include "support/town_test_world.h"

namespace {

class TownEdges : public TownWorld {
 protected:
  void SetUp() override {
    TownWorld::SetUp();
    // A town of plain ground with a few sidewalk and edge tiles on its
    // borders, where a careless step would read past them.
    std::fill(std::begin(TrackMap), std::end(TrackMap), uint8_t{0});
    for (int c = 1; c <= MapColumns; ++c) Tile(1, c) = Tile(MapRows, c) = 24;
    for (int r = 1; r <= MapRows; ++r) Tile(r, 1) = Tile(r, MapColumns) = 23;
    Tile(MapRows, 1) = 1;
    Tile(1, MapColumns) = 4;
    Men = new TMan();
    Bonuses = new TBonus();
    Cars = new TCar();
    CreateRockets();
  }

  static uint64_t TownSum() {
    uint64_t sum = 0;
    for (size_t i = 0; i < sizeof TrackMap; ++i) sum = sum * 31 + TrackMap[i];
    return sum;
  }

  void StepAndDraw(int ticks) {
    for (int t = 0; t < ticks; ++t) {
      MDXSpriteEngine.Move(FrameMs);
      UpdateRockets();
      MDXSpriteEngine.Draw();
    }
  }
};

const double Far[] = {-1e9, -1e6, -500, 0, 35.9, 360, 46656, 72.0 * 651, 72.0 * 1501, 1e6, 1e9};

TEST_F(TownEdges, NothingReachesOutsideItsArraysOrTheMapWhereverItStands) {
  const uint64_t town = TownSum();
  for (const auto& [row, col] : {std::pair{1, 1}, std::pair{1490, 637}, std::pair{0, 0}, std::pair{1500, 650}}) {
    MapRow = row;
    MapCol = col;
    CarCount = CarSlots;
    BonusCount = BonusSlots;
    TrackLength = 1300;
    int i = 1;
    for (double x : Far) {
      for (double y : Far) {
        // Every kind in every orientation somewhere on the list.
        TRivalCar& car = Cars->Car[i];
        car = TRivalCar{static_cast<uint8_t>(1 + i % 5), static_cast<uint8_t>(1 + i % 6), x, y, i % 2 ? 6 : -5,
                        1, static_cast<uint8_t>(i % 7 == 0), 12.9, 0};
        TPedestrian& man = Men->Man[i];
        man = TPedestrian{};
        man.Active = man.Visible = 1;
        man.Direction = man.NextDirection = static_cast<uint8_t>(1 + i % 4);
        man.Speed = 8;
        man.X = x;
        man.Y = y;
        // Entering the tile ahead at once: the sidewalk rule reads it.
        man.AheadCol = static_cast<int32_t>(std::nearbyint(std::clamp(x, -2e9, 2e9))) / 72;
        man.AheadRow = static_cast<int32_t>(std::nearbyint(std::clamp(y, -2e9, 2e9))) / 72;
        Bonuses->Pickup[i] = TPickup{1, static_cast<int32_t>(std::clamp(x / 72, -1e9, 1e9)),
                                     static_cast<int32_t>(std::clamp(y / 72, -1e9, 1e9)), static_cast<uint8_t>(1 + i % 8)};
        ++i;
      }
    }
    for (int k = 1; k <= RocketPool; ++k) Rockets[k]->Launch(Far[k * 2], Far[10 - k], 40, k * 50 - 128);
    Rockets[5]->Explode();
    StepAndDraw(30);
    Player->FireGunRay(17, -1e6, 1e6);
    Player->FireGunRay(-40, 397, 478);
    for (int c = 1; c <= 3; ++c) Cars->RespawnCar(c, c % 2 ? TCarEnd::Bottom : TCarEnd::Top);
    Cars->PlaceCars();
    Men->PlaceMen();
    Bonuses->PlaceBonuses();
    StepAndDraw(5);
  }
  EXPECT_EQ(TownSum(), town);
  // Whoever stood outside the town has gone; no car is left beyond either
  // end of the road.
  for (int i = 1; i <= ManSlots; ++i) {
    const TPedestrian& m = Men->Man[i];
    if (m.Active) {
      EXPECT_GT(m.X, 360 - 2 * 8);
      EXPECT_LT(m.Y, 107856 + 2 * 8);
    }
  }
}

}  // namespace
