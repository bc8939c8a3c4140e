// What happens to the car when the town hits back: damage points, the
// bounce off a wall, the wreck and the way back to the road, and the
// coasting stop at the end of a level.
#include <cmath>
#include <string>

#include "race/player/burnt_car.h"
#include "race/player/car_tables.h"
#include "race/player/player.h"
#include "race/player/player_marks.h"
#include "race/player/player_weapons.h"
#include "race/race_state.h"
#include "race/world/scroll_background.h"
#include "race/world/scroll_velocity.h"
#include "race/world/track_map.h"
#include "shell/frame_rate.h"
#include "shell/game_state.h"
#include "shell/sound.h"

namespace {

const std::string ExplosionImage = "ExplosionBig";
const std::string ExplosionSound = "Explosion";
const std::string CollisionSound = "Collision";
const std::string NeutralSound = "Neutral";

constexpr int DamagePoints = 3;
constexpr int RespawnMs = 2000;
constexpr int ExplosionRate = 15;
constexpr double EndOfLevelBraking = 0.8;

// The search for a start tile never looks at a view lower than this: the
// view's top row cannot go further down while driving.
constexpr int LowestViewRow = 1490;

int Sign(double v) { return (v > 0) - (v < 0); }

}  // namespace

void TPlayer::LoseDamagePoint() {
  Energy -= 1;
  if (Energy == 0) {
    Energy = DamagePoints;
    Lives -= 1;
    Wreck();
  }
}

void TPlayer::ScaleSpeed(double k) {
  Speed *= k;
  Speed10 *= k;
  StopPlayerSounds(false);
  ResumePlayerSounds(false);
  PlaySound(CollisionSound);
}

void TPlayer::BounceBack(double k) {
  // The world is pushed back at once, so the car's own step this tick must
  // not move it again.
  Collided = true;
  Speed = Sign(Speed) * k;
  Speed10 = Sign(Speed10) * k / 10;
  UpdateScrollVelocity();
  Background->X += ScrollDX * 0.5 * SpeedFactor;
  Background->Y += ScrollDY * 0.5 * SpeedFactor;
  StopPlayerSounds(false);
  ResumePlayerSounds(false);
  PlaySound(CollisionSound);
}

void TPlayer::SetWrecked(bool flag) {
  Wrecked = flag;
  SndMaxed = SndAccel = SndShift = SndSlowed = SndNeutral = SndBrake = SndNitro = false;
  GunSoundOn = false;
  HornOn = false;
}

void TPlayer::Wreck() {
  SetWrecked(true);
  DropAllWeapons();
  WeaponFrame = 1;
  Speed = 0;
  Speed10 = 0;
  MakeBurntCar(MDXImageList2.Find(CarImage[SelectedCar]));
  SetAnimation(ExplosionImage, ExplosionRate);
  PlaySound(ExplosionSound);
  StopPlayerSounds(false);
  RespawnTimer = RespawnMs;
}

void TPlayer::WreckStep() {
  // The blast loops until the car is back; each time round it checks
  // whether there is a life to come back with.
  if (AnimPosBeforeMove > AnimPos) {
    if (Lives > 0) {
      if (!StartPlaced) PlaceAtStart();
      SetAnimation(CarImage[SelectedCar], 0);
    } else {
      Visible = false;
    }
  }
  if (RespawnTimer > 0) {
    RespawnTimer -= FrameMs;
    return;
  }
  if (Lives > 0) {
    if (!StartPlaced) PlaceAtStart();
    Revive();
  } else {
    // The race opens the game-over window; told again every tick until it
    // is open.
    ReportRaceEvent(reLastLifeLost);
  }
}

// The map rows grow downwards and the car drives up, so the road already
// driven lies below the view: the search starts five rows below the view's
// top row and goes down to the nearest start tile.
void TPlayer::PlaceAtStart() {
  int r = MapRow + 5;
  bool found = false;
  int column = 0;
  uint8_t code = 0;
  // A view at the bottom rows already shows the start straight, and a map
  // without a start tile below the view has nowhere better to offer: in
  // both cases the view and the car's heading stay as they are, and only
  // the rest of the placement is done. The search never reads past the
  // map's last row.
  while (!found && MapRow < LowestViewRow && r <= MapRows) {
    for (int c = MapColumns; c >= 1; --c) {
      const uint8_t t = Tile(r, c);
      if (t == 4 || t == 12 || t == 17) {
        code = t;
        column = c;
        found = true;
        break;
      }
    }
    r += 1;
  }
  if (found) {
    // Each start tile faces the road's direction there: straight up on a
    // straight, about 27 degrees right or left on a step.
    switch (code) {
      case 4:
        Steer = 0;
        MapCol = column - 6;
        break;
      case 12:
        Steer = 38;
        MapCol = column - 7;
        break;
      default:
        Steer = -38;
        MapCol = column - 4;
        break;
    }
    Heading = SpriteRound(Steer / 2);
    MapRow = r - 5;
    Background->X = 0;
    Background->Y = 0;
  }
  StartPlaced = true;
  ClearCarsNearby = true;
  ReportRaceEvent(reStartPlaced);
}

void TPlayer::Revive() {
  TimeUp = false;
  Wrecked = false;
  StartPlaced = false;
  EndHandled = false;
  BloodTrail = 0;
  Speed10 = 0;
  Speed = 0;
  SetAnimation(CarImage[SelectedCar], 0);
}

void TPlayer::EndOfLevelStep() {
  UpdateAttachedSprites();
  if (!EndHandled) {
    EndHandled = true;
    SetWrecked(false);
    StopPlayerSounds(true);
    SetEngineSound(NeutralSound);
    // The muzzle picture goes at once.
    WeaponTimer = 0;
    FinishShot();
  }
  if (Speed > 0) {
    Speed -= EndOfLevelBraking * SpeedFactor;
    Speed10 = Speed / 10;
  } else {
    // A car reversing when the level ended stops at once.
    Speed10 = 0;
  }
  if (Speed > 0) return;
  StopPlayerSounds(true);
  ReportRaceEvent(reCarStopped);
}
