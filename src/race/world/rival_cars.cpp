#include "race/world/rival_cars.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "race/player/car_tables.h"
#include "race/player/player.h"
#include "race/player/rockets.h"
#include "race/race_state.h"
#include "race/world/finish_line.h"
#include "race/world/scroll_background.h"
#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "shell/frame_rate.h"
#include "shell/random.h"
#include "shell/sound.h"
#include "sprites/image_list.h"
#include "sprites/sprite.h"

TCar* Cars = nullptr;

// clang-format off
const TQuadPoint CarQuad[RivalKinds + 1][7][4] = {
    {},
    {{}, {{0, 23}, {38, 0}, {55, 133}, {94, 113}},   {{58, 0}, {95, 18}, {1, 113}, {40, 132}},
         {{28, 2}, {67, 2}, {27, 130}, {69, 130}},   {{30, 131}, {67, 131}, {70, 3}, {27, 3}},
         {{1, 115}, {37, 133}, {95, 20}, {57, 1}},   {{95, 115}, {60, 133}, {41, 0}, {2, 19}}},
    {{}, {{0, 25}, {41, 0}, {67, 164}, {119, 137}},  {{78, 0}, {119, 24}, {1, 136}, {53, 165}},
         {{33, 2}, {89, 2}, {29, 163}, {89, 163}},   {{89, 161}, {31, 161}, {89, 2}, {27, 2}},
         {{40, 165}, {0, 140}, {118, 28}, {67, 1}},  {{119, 140}, {79, 165}, {53, 1}, {0, 28}}},
    {{}, {{1, 13}, {13, 6}, {24, 54}, {33, 48}},     {{20, 6}, {32, 13}, {1, 48}, {9, 53}},
         {{9, 7}, {24, 7}, {10, 54}, {22, 54}},      {{9, 50}, {24, 50}, {23, 0}, {10, 0}},
         {{14, 52}, {1, 45}, {33, 7}, {24, 4}},      {{33, 45}, {19, 52}, {9, 2}, {0, 12}}},
    {{}, {{0, 23}, {34, 0}, {58, 131}, {92, 109}},   {{60, 0}, {92, 23}, {0, 110}, {34, 131}},
         {{26, 1}, {70, 1}, {23, 131}, {68, 131}},   {{69, 129}, {25, 129}, {70, 1}, {24, 1}},
         {{33, 132}, {0, 108}, {92, 22}, {58, 1}},   {{92, 108}, {59, 132}, {34, 1}, {-1, 22}}},
    {{}, {{0, 28}, {60, 0}, {90, 231}, {167, 192}},  {{108, 0}, {167, 30}, {2, 192}, {78, 230}},
         {{48, 4}, {120, 4}, {38, 227}, {126, 227}}, {{120, 228}, {47, 228}, {126, 6}, {40, 6}},
         {{62, 232}, {0, 201}, {166, 40}, {87, 1}},  {{167, 201}, {104, 232}, {79, 1}, {1, 40}}},
};
// clang-format on

const int SpawnOfsDown[RivalKinds + 1] = {0, -14, -24, 4, -18, -55};
const int SpawnOfsUp[RivalKinds + 1] = {0, -14, -24, 36, -6, -40};

namespace {

// About one column across per two rows along: the diagonal of the road's
// drifting pieces.
constexpr double DiagonalX = 0.44961132;
constexpr double DiagonalY = 0.8932243;

// The start end of the track, below which a car comes back driving up.
constexpr double BottomY = 107856;  // 72 * 1498

constexpr double ExplosionFrames = 13;
constexpr double ExplosionRate = 20;  // frames per second

const std::string ExplosionSound = "Explosion";
const std::string BlastImage = "ExplosionBig";

TQuad OutlineAt(const TRivalCar& car, double left, double top) {
  TQuad q;
  for (int k = 0; k < 4; ++k) {
    q.P[k].X = left + CarQuad[car.Kind][car.Orientation][k].X;
    q.P[k].Y = top + CarQuad[car.Kind][car.Orientation][k].Y;
  }
  return q;
}

bool QuadsMayOverlap(const TQuad& a, const TQuad& b) {
  for (const TQuadPoint& p : a.P)
    if (PointNearQuad(p.X, p.Y, b)) return true;
  for (const TQuadPoint& p : b.P)
    if (PointNearQuad(p.X, p.Y, a)) return true;
  return false;
}

// The first column of map row r holding tile, searched from the left
// (or from the right); 0 when the row has none.
int FirstColumnWith(int r, uint8_t tile) {
  for (int c = 1; c <= MapColumns; ++c)
    if (TileOrGround(r, c) == tile) return c;
  return 0;
}
int LastColumnWith(int r, uint8_t tile) {
  for (int c = MapColumns; c >= 1; --c)
    if (TileOrGround(r, c) == tile) return c;
  return 0;
}

}  // namespace

bool PointNearQuad(double px, double py, const TQuad& quad) {
  double left = quad.P[0].X, right = left, top = quad.P[0].Y, bottom = top;
  for (int k = 1; k < 4; ++k) {
    left = std::min(left, quad.P[k].X);
    right = std::max(right, quad.P[k].X);
    top = std::min(top, quad.P[k].Y);
    bottom = std::max(bottom, quad.P[k].Y);
  }
  const double side = std::max(right - left, bottom - top);
  return px >= left - side && px <= right + side && py >= top - side && py <= bottom + side;
}

int RandomCarKind() {
  int k = Random(5) + 1;
  if (k == 5) k = Random(2) != 0 ? 5 : 3;
  return k;
}

TCar::TCar() : TMyImageSprite(2, "Car7", 0, 0, 9) { PlaceCars(); }

int TCar::Count() const { return std::clamp(CarCount, 0, CarSlots); }

void TCar::RemoveCar(int i) {
  Car[i].Speed = 0;
  Car[i].Orientation = 0;
}

void TCar::PlaceCars() {
  std::fill(std::begin(Car), std::end(Car), TRivalCar{});
  const int length = TrackLength;
  const int count = Count();
  LeftEdgeColumn = FirstColumnWith(1536 - length, 1);
  RightEdgeColumn = LastColumnWith(1495, 4);

  // One car a row at most, rows four apart, between the finish end and a
  // few rows above the start line.
  bool taken[MapRows + 1] = {};
  const int span = length - 46;
  // Draws until a free row turns up; a row range too short for the count
  // (never with the game's levels) leaves the rest of the slots empty.
  int freeRows = 0;
  for (int r = std::max(1536 - length, 0); r <= std::min(span + 1535 - length, MapRows); ++r)
    if (r % 4 == 0) ++freeRows;
  auto pickRow = [&] {
    int r;
    do {
      r = Random(span) + 1536 - length;
    } while (r % 4 != 0 || r < 0 || r > MapRows || taken[r]);
    taken[r] = true;
    return r;
  };
  const int oncoming = static_cast<int>(std::nearbyint(count / 2.0));
  for (int i = 1; i <= count && i <= freeRows; ++i) {
    const int r = pickRow();
    TRivalCar& car = Car[i];
    if (i <= oncoming) {
      const int c = FirstColumnWith(r, 1);
      if (c == 0) continue;  // inside a split or a transition: no lane edge
      car.Kind = static_cast<uint8_t>(RandomCarKind());
      car.Orientation = 4;
      car.X = 72.0 * (c + 1) + SpawnOfsDown[car.Kind];
      car.Speed = -5;
    } else {
      const int c = LastColumnWith(r, 4);
      if (c == 0) continue;
      car.Kind = static_cast<uint8_t>(RandomCarKind());
      car.Orientation = 3;
      car.X = 72.0 * (c - 1) + SpawnOfsUp[car.Kind];
      car.Speed = 6;
    }
    car.Y = 72.0 * r;
    car.OnScreen = 1;
    car.Exploding = 0;
  }
}

void TCar::ExplodeCar(int i) {
  Car[i].Exploding = 1;
  Car[i].Speed = 0;
}

void TCar::RespawnCar(int i, TCarEnd end) {
  TRivalCar& car = Car[i];
  car.Kind = static_cast<uint8_t>(RandomCarKind());
  if (end == TCarEnd::Bottom) {
    car.Orientation = 3;
    car.X = 72.0 * (RightEdgeColumn - 1) + SpawnOfsUp[car.Kind];
    car.Y = BottomY;
    car.Speed = 6;
  } else {
    car.Orientation = 4;
    car.X = 72.0 * (LeftEdgeColumn + 1) + SpawnOfsDown[car.Kind];
    car.Y = 72.0 * (1536 - TrackLength);
    car.Speed = -5;
  }
  car.OnScreen = 1;
  car.Exploding = 0;
  ClearOverlaps(i);
}

TQuad TCar::ScreenOutline(int i) const {
  const TRivalCar& car = Car[i];
  return OutlineAt(car, car.X - 72.0 * MapCol + Background->X, car.Y - 72.0 * MapRow + Background->Y);
}

void TCar::ClearOverlaps(int i) {
  if (Background == nullptr) return;
  const TQuad mine = ScreenOutline(i);
  const int count = Count();
  for (int j = 1; j <= count; ++j) {
    if (j == i || Car[j].Orientation == 0) continue;
    const TQuad other = ScreenOutline(j);
    if (QuadsMayOverlap(mine, other) && QuadsOverlap(mine, other)) RemoveCar(j);
  }
}

void TCar::DoMove(int moveCount) {
  TMyImageSprite::DoMove(moveCount);
  if (Player == nullptr || Background == nullptr) return;
  const double f = 0.5 * SpeedFactor;
  const int count = Count();
  const bool noDamage = (Finish != nullptr && Finish->Crossed != 0) || Player->TimeUp;
  for (int i = 1; i <= count; ++i) {
    TRivalCar& car = Car[i];
    if (car.Orientation == 0) continue;
    const double s = car.Speed;
    switch (car.Orientation) {
      case 1:
      case 6:
        car.X -= s * DiagonalX * f;
        car.Y -= s * DiagonalY * f;
        break;
      case 2:
      case 5:
        car.X += s * DiagonalX * f;
        car.Y -= s * DiagonalY * f;
        break;
      default:
        car.Y -= s * f;
        break;
    }

    const double left = car.X - 72.0 * MapCol + Background->X;
    const double top = car.Y - 72.0 * MapRow + Background->Y;
    const int sx = SpriteRound(left);
    const int sy = SpriteRound(top);
    car.OnScreen = (sx >= -170 && sx <= 870 && sy >= -240 && sy <= 601) ? 1 : 0;

    if (car.OnScreen) {
      const TQuad outline = OutlineAt(car, left, top);
      if (!Player->Wrecked) {
        const bool overlap = QuadsMayOverlap(outline, Player->Corners) && QuadsOverlap(outline, Player->Corners);
        if (!overlap) {
          car.Touching = 0;
        } else if (car.Touching == 0) {
          // One hit per contact: the car must leave the player's car before
          // it can hit again.
          car.Touching = 1;
          if (Player->ClearCarsNearby) {
            // The player has just been put back on the road after a wreck:
            // a car in the way goes rather than wrecking it again.
            RemoveCar(i);
            Player->ClearCarsNearby = false;
          }
          if (Player->Speed10 > 0) Player->ClearCarsNearby = false;
          if (sy > Player->Y && car.Speed >= 1) {
            // Run into from behind: shoved forward.
            if (!noDamage) Player->LoseDamagePoint();
            Player->Speed = 1.5 * 10 * car.Speed;
          } else if (car.Speed < 0) {
            // Head-on: the oncoming car is destroyed and the player thrown
            // back.
            if (!noDamage) Player->LoseDamagePoint();
            Player->ScaleSpeed(-0.2);
            ExplodeCar(i);
            PlaySound(ExplosionSound);
          } else if (car.Speed > 0) {
            if (!noDamage) Player->LoseDamagePoint();
            Player->ScaleSpeed(0.2);
          }
        }
      }
      // A car taken off the road above is gone: nothing left to hit.
      if (car.Orientation != 0 && !car.Exploding) {
        const double ox = 72.0 * MapCol - Background->X;
        const double oy = 72.0 * MapRow - Background->Y;
        TQuad world = outline;
        for (TQuadPoint& p : world.P) {
          p.X += ox;
          p.Y += oy;
        }
        for (int k = 1; k <= RocketPool; ++k) {
          TRocket* rocket = Rockets[k];
          if (rocket == nullptr || !rocket->Active || rocket->Exploding) continue;
          if (!PointNearQuad(rocket->WorldX, rocket->WorldY, world) ||
              !PointInQuad(rocket->WorldX, rocket->WorldY, world))
            continue;
          PlaySound(ExplosionSound);
          ExplodeCar(i);
          AddScore(10);
          // Spent on the car: no blast of its own.
          rocket->Reset();
          break;
        }
      }
    }
    if (car.Orientation == 0) continue;

    if (car.Exploding) {
      car.ExplosionFrame += ExplosionRate * FrameMs / 1000.0;
      if (car.ExplosionFrame >= ExplosionFrames) {
        car.Exploding = 0;
        car.Orientation = 0;  // empty until the next level
        continue;
      }
    }

    // Steering: the road's edge tiles under the car's middle say where the
    // lane goes; a later match wins.
    const double cy = car.Y + CarHalfHeight[6 + car.Kind];
    const double cx = car.X + CarHalfWidth[6 + car.Kind];
    const uint8_t a = TileAt(cy, cx - 72);
    const uint8_t b = TileAt(cy, cx);
    const uint8_t c = TileAt(cy, cx + 72);
    if (car.Orientation <= 3) {
      if (a == 15 && b == 14) car.Orientation = 1;
      if (b == 7 && c == 8) car.Orientation = 2;
      if (b == 3 && c == 4) car.Orientation = 3;
    } else {
      if (a == 9 && b == 10) car.Orientation = 5;
      if (b == 19 && c == 18) car.Orientation = 6;
      if (a == 1 && b == 2) car.Orientation = 4;
    }

    if (car.Y > BottomY) {
      RespawnCar(i, TCarEnd::Bottom);
    } else if (car.Y < 72.0 * (1535 - TrackLength)) {
      RespawnCar(i, TCarEnd::Top);
    }
  }
}

void TCar::DrawTraffic(TSurface& surface) {
  if (Background == nullptr) return;
  const int count = Count();
  for (int i = 1; i <= count; ++i) {
    const TRivalCar& car = Car[i];
    if (car.OnScreen == 0 || car.Orientation == 0) continue;
    const int sx = SpriteRound(car.X - MapCol * 72.0 + Background->X);
    const int sy = SpriteRound(car.Y - MapRow * 72.0 + Background->Y);
    const int row = 6 + car.Kind;
    if (car.Exploding) {
      if (Blast == nullptr) Blast = &MDXImageList2.Find(BlastImage);
      Blast->Draw(surface, sx + CarHalfWidth[row] - 32, sy + CarHalfHeight[row] - 32,
                  static_cast<int>(car.ExplosionFrame));
    } else {
      TPictureCollectionItem*& picture = Pictures[car.Kind];
      if (picture == nullptr) picture = &MDXImageList2.Find(CarImage[row]);
      picture->Draw(surface, sx, sy, car.Orientation - 1);
    }
  }
}
