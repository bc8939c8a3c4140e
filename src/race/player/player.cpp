#include "race/player/player.h"

#include <cmath>
#include <numbers>

#include "race/player/car_tables.h"
#include "race/player/player_marks.h"
#include "race/player/player_weapons.h"
#include "race/race_state.h"
#include "race/world/finish_line.h"
#include "race/world/pedestrians.h"
#include "race/world/rival_cars.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"
#include "shell/frame_rate.h"
#include "shell/game_state.h"
#include "shell/sound.h"

TPlayer* Player = nullptr;

namespace {

const std::string NitroImage = "NitroAnim";
const std::string HornSound = "Horn";
const std::string GunSound = "MachineGun";

int Sign(double v) { return (v > 0) - (v < 0); }

}  // namespace

TPlayer::TPlayer(double x, double y) : TMyImageSprite(2, CarImage[SelectedCar], x, y, 9) {
  WeaponFrame = 1;
  Energy = 3;
  ResetMarks();

  const double w = Width, h = Height;
  RearRadius = std::sqrt((h / 2) * (h / 2) + (w / 2) * (w / 2)) - 25;
  RearAngle = std::atan((w / 2) / (h / 2)) / (2 * std::numbers::pi) * 256;
  CentreX = x + w / 2;
  CentreY = y + h / 2;
  const double p = CarBodyWidth[SelectedCar];
  // The product of the body's and the picture's half-widths, not the body's
  // squared: the outline was tuned with it.
  CornerRadius = std::sqrt((h / 2) * (h / 2) + (p / 2) * (w / 2));
  CornerAngle = std::atan((p / 2) / (h / 2)) / (2 * std::numbers::pi) * 256;

  // The attached sprites are hidden: the car's own draw shows them, so that
  // they turn with it.
  NitroFlameLeft = TMyImageSprite::CreateAt(2, NitroImage, x + 8, y + h - 8, 7);
  NitroFlameLeft->Visible = false;
  NitroFlameLeft->AnimRate = 10;
  NitroFlameRight = TMyImageSprite::CreateAt(2, NitroImage, x + w - 8 - 16, y + h - 8, 7);
  NitroFlameRight->Visible = false;
  NitroFlameRight->AnimRate = 10;
  WeaponSprite = TMyImageSprite::CreateCentered(2, RocketAnimNames[1], x + 0.5 * w, y + 0.6 * h, 10);
  WeaponSprite->Visible = false;
  ComputeCorners();
}

void TPlayer::KillWithAttachments() {
  NitroFlameLeft->Kill();
  NitroFlameRight->Kill();
  WeaponSprite->Kill();
  Kill();
}

void TPlayer::ComputeCorners() {
  const double a[4] = {Heading - CornerAngle, Heading + CornerAngle, Heading + 128 - CornerAngle,
                       Heading + 128 + CornerAngle};
  for (int k = 0; k < 4; ++k) {
    const double r = CornerRadius * CornerScale[k][SelectedCar];
    Corners.P[k].X = CentreX + r * std::sin(a[k] * TurnToRadians);
    Corners.P[k].Y = CentreY - r * std::cos(a[k] * TurnToRadians);
  }
}

void TPlayer::DoMove(int moveCount) {
  TMyImageSprite::DoMove(moveCount);
  if (Collided) {
    Collided = false;
    return;
  }
  ComputeCorners();
  if (ClearCarsNearby) {
    // Back on the road after a wreck: the traffic within 720 pixels above
    // or below goes, so the car does not come back to life inside a car.
    // The rival cars read this flag as well.
    if (Cars != nullptr && Background != nullptr) {
      const int count = Cars->Count();
      for (int i = 1; i <= count; ++i) {
        const TRivalCar& car = Cars->Car[i];
        if (car.Kind == 0 || car.Orientation == 0) continue;
        const double screenY = car.Y - MapRow * 72.0 + Background->Y;
        if (screenY >= Y - 720 && screenY <= Y + 720) Cars->RemoveCar(i);
      }
    }
    ClearCarsNearby = false;
  }
  if (Wrecked) {
    WreckStep();
    return;
  }
  if ((Finish != nullptr && Finish->Crossed != 0) || TimeUp) {
    EndOfLevelStep();
    return;
  }
  Drive();
}

void TPlayer::Drive() {
  OnRoad = CheckOnRoad();
  UpdateEngineSound();

  // The horn starts once per key press and stops on release.
  if (!KeyHorn) {
    HornOn = false;
    StopSound(HornSound);
  } else if (!HornOn) {
    HornOn = true;
    if (Men != nullptr) Men->Scare();
    PlaySound(HornSound);
  }

  UpdateAttachedSprites();

  const double w = Width, h = Height;
  double a = Heading + RearAngle - 128;
  RearLeftX = X + w / 2 + RearRadius * std::sin(a * TurnToRadians);
  RearLeftY = Y + h / 2 - RearRadius * std::cos(a * TurnToRadians);
  // The right wheel sits 4 units round from the mirror of the left one.
  a = Heading - RearAngle - 128 + 4;
  RearRightX = X + w / 2 + RearRadius * std::sin(a * TurnToRadians);
  RearRightY = Y + h / 2 - RearRadius * std::cos(a * TurnToRadians);

  if ((KeyHandbrake && std::fabs(Speed10) > 0.1) || BloodTrail > 0) {
    // A new pair once the world has carried the last right-wheel mark far
    // enough; faster cars lay them a little closer.
    const double d = std::hypot(RearRightX - MarkX[MarkNext], RearRightY - MarkY[MarkNext]);
    if (d >= 12 - Speed10 * 0.5 * SpeedFactor) {
      AddMark(RearLeftX, RearLeftY, Heading);
      AddMark(RearRightX, RearRightY, Heading);
    }
  }
  PruneMarks();

  if (Shooting) FinishShot();
  if (WeaponFrame < WeaponFrames && WeaponKind != 0 && Ammo >= 1) WeaponUnfold();
  if (WeaponFrame >= 1 && WeaponKind != 0 && Ammo <= 0) WeaponFold();
  if (WeaponKind != 0 && FireCooldown >= 0) FireCooldown -= FrameMs;

  if (!KeyHandbrake) {
    if (KeyLeft) SteerLeft();
    if (KeyRight) SteerRight();
  }
  if (KeyDown) {
    ApplyBrake();
  } else {
    ReleaseBrake();
  }
  if (!KeyUp && !KeyDown) Coast();
  if (KeyHandbrake) ApplyHandbrake();
  const bool nitroBurns = KeyNitro && NitroOn;
  if (nitroBurns) {
    NitroBoost();
    BurnNitro();
  }
  if (KeyUp && !nitroBurns) Accelerate();
  if (!OnRoad && Speed > 80) Drag = 0.5;

  Speed -= Drag * SpeedFactor;
  // The snap catches the last step of a coast, which is as small as the
  // tick: unscaled, it would also swallow every step of a start from a
  // standstill on a display of 255 Hz or more.
  if (Speed > 0 && Speed < 0.1 * SpeedFactor) Speed = 0;
  if (Speed < -15) Speed = -15;
  if (KeyHandbrake && Speed > -1 && Speed < 1) Speed = 0;
  Speed10 = Speed / 10;
  Heading = SpriteRound(Steer / 2);

  if (KeyFire && WeaponFrame == WeaponFrames) {
    if (WeaponKind == WeaponGun && !GunSoundOn) {
      GunSoundOn = true;
      PlaySound(GunSound);
    }
    Fire();
  } else if (WeaponKind == WeaponGun) {
    GunSoundOn = false;
    StopSound(GunSound);
  }

  // The map ends a few rows below the start line: no reversing off it.
  if (MapRow == 1490 && Speed < 0) {
    Speed10 = 0;
    Speed = 0;
  }
}

double TPlayer::SteerRate() const {
  const double rate = Speed > 0 ? Speed / 50 : -Speed / 5;
  return rate > 1 ? 1 : rate;
}

void TPlayer::SteerLeft() {
  // Mirrored while reversing, as a real car's rear swings the other way.
  Steer -= SteerRate() * Sign(Speed10) * SpeedFactor;
  ClampSteer();
}

void TPlayer::SteerRight() {
  Steer += SteerRate() * Sign(Speed10) * SpeedFactor;
  ClampSteer();
}

void TPlayer::ClampSteer() {
  if (Steer < -128) Steer = -128;
  if (Steer > 128) Steer = 128;
}

double TPlayer::AccelerationAt() const {
  const double a = Speed > 0 ? 100 / (Speed * std::sqrt(2 * Speed)) : 0.3;
  return a > 0.3 ? 0.3 : a;
}

double TPlayer::CoastDrag() const {
  // A reversing car keeps rolling backwards.
  if (Speed <= 0) return 0;
  const double d = (0.3 - AccelerationAt()) / 2;
  return d < 0.05 ? 0.05 : d;
}

void TPlayer::Accelerate() {
  // 160 is the top speed under power; above it the engine only holds it.
  if (Speed > 160) {
    Coast();
  } else {
    Speed += AccelerationAt() * SpeedFactor;
  }
}

void TPlayer::Coast() { Drag = CoastDrag(); }

void TPlayer::ApplyBrake() { Drag = 0.3; }

void TPlayer::ReleaseBrake() { Drag = 0; }

void TPlayer::ApplyHandbrake() {
  if (Speed > 0) Drag = 0.6;
  if (Speed < 0) Drag = -0.6;
}

void TPlayer::NitroBoost() {
  Speed += 0.6 * SpeedFactor;
  if (Speed > 170) Speed = 170;
}

void TPlayer::BurnNitro() {
  if (Nitro > 0) {
    Nitro -= 0.5 * SpeedFactor;
    FlameShown = true;
  }
}

bool TPlayer::IsRoadTile(int x, int y) {
  // Integer division truncates toward zero, so a point just left of or
  // above the map falls in column or row 0: off the map, plain ground.
  const int row = y / TileSize;
  const int column = x / TileSize;
  const auto t = static_cast<int8_t>(TileOrGround(row, column));
  return (t >= 1 && t <= 22) || t == 33 || t == 34 || t == 35;
}

bool TPlayer::CheckOnRoad() const {
  const double ox = MapCol * TileSize - SpriteRound(Background->X);
  const double oy = MapRow * TileSize - SpriteRound(Background->Y);
  for (const TQuadPoint& c : Corners.P) {
    if (!IsRoadTile(SpriteRound(ox + c.X), SpriteRound(oy + c.Y))) return false;
  }
  return true;
}

void TPlayer::UpdateAttachedSprites() {
  const double w = Width, h = Height;
  NitroFlameLeft->X = std::trunc(X + 8);
  NitroFlameLeft->Y = std::trunc(Y + h - 8);
  NitroFlameRight->X = std::trunc(X + w - 8 - 16);
  NitroFlameRight->Y = std::trunc(Y + h - 8);
  // Its top-left goes where it was centred at creation; the draw places the
  // weapon by the car's centre anyway.
  WeaponSprite->X = std::trunc(X + 0.5 * w);
  WeaponSprite->Y = std::trunc(Y + 0.6 * h);
  // Marks lie on the road and move with it, free slots included.
  const double dx = ScrollDX * 0.5 * SpeedFactor;
  const double dy = ScrollDY * 0.5 * SpeedFactor;
  for (int i = 1; i <= MarkSlots; ++i) {
    MarkX[i] += dx;
    MarkY[i] += dy;
  }
}
