#include "race/player/rockets.h"

#include <cmath>
#include <string>

#include "race/player/player.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"
#include "shell/frame_rate.h"
#include "shell/sound.h"
#include "sprites/image_list.h"

TRocket* Rockets[RocketPool + 1] = {};

namespace {

const std::string RocketImage = "Rocket";
const std::string FlameImage = "EngineFire";
const std::string BlastImage = "Explosion";
const std::string ExplosionSound = "Explosion";

constexpr int FlameRate = 10;
constexpr int BlastRate = 20;

int Trunc(double v) { return static_cast<int>(v); }

}  // namespace

TRocket::TRocket(double x, double y, int speed, int angle) : TMyImageSprite(2, RocketImage, x, y, 9) {
  RocketAngle = angle;
  RocketSpeed = speed;
  Active = false;
  // Pooled rockets are out of sight until launched.
  Visible = false;
  Flame = TMyImageSprite::CreateAt(2, FlameImage, std::trunc(x - 2), std::trunc(y - 12), 9);
  Flame->AnimRate = FlameRate;
  Flame->AnimLooped = true;
  Flame->Visible = false;
}

void TRocket::KillWithFlame() {
  Flame->Kill();
  Kill();
}

void TRocket::Launch(double x, double y, int speedBonus, int angle) {
  Active = true;
  Visible = true;
  X = x;
  Y = y;
  WorldX = x + MapCol * 72.0 - Background->X;
  WorldY = y + MapRow * 72.0 - Background->Y;
  RocketAngle = angle;
  RocketSpeed = SpriteRound(Player->Speed10) + speedBonus;
  Exploding = false;
  SetAnimation(RocketImage, 0);
}

void TRocket::DoMove(int moveCount) {
  if (!Active) return;
  TMyImageSprite::DoMove(moveCount);
  const double a = RocketAngle * TurnToRadians;
  WorldX += std::sin(a) * RocketSpeed * 0.5 * SpeedFactor;
  WorldY -= std::cos(a) * RocketSpeed * 0.5 * SpeedFactor;
  if (Background != nullptr) {
    X = WorldX - MapCol * 72.0 + Background->X;
    Y = WorldY - MapRow * 72.0 + Background->Y;
  }
  Flame->X = X - 12;
  Flame->Y = Y - 2;
}

void TRocket::Explode() {
  SetAnimation(BlastImage, BlastRate);
  RocketSpeed = 0;
  Exploding = true;
  WorldX -= 32;
  WorldY -= 32;
  PlaySound(ExplosionSound);
}

void TRocket::Reset() {
  Active = false;
  Visible = false;
  X = 0;
  Y = -1000;
  WorldX = 0;
  WorldY = 0;
  RocketSpeed = 0;
  RocketAngle = 0;
}

void TRocket::DoDraw() {
  if (!Visible || Image == nullptr) return;
  TSurface& surface = Engine != nullptr ? *Engine->Surface : BackSurface;
  const int cx = Trunc(X + Width / 2.0);
  const int cy = Trunc(Y + Height / 2.0);
  if (RocketAngle != 0) {
    Image->DrawRotate(surface, cx, cy, Width, Height, Trunc(AnimPos), 0.5, 0.5, RocketAngle);
  } else {
    TMyImageSprite::DoDraw();
  }
  if (Exploding) return;
  const TPictureCollectionItem* flame = Flame->Image;
  if (RocketAngle != 0) {
    // The pivot lies above the flame picture, on the rocket's middle, so the
    // flame swings behind the rocket as it turns.
    flame->DrawRotate(surface, cx, cy, flame->Width(), flame->Height(), Trunc(Flame->AnimPos), 0.5, -0.22,
                      RocketAngle);
  } else {
    flame->Draw(surface, Trunc(Flame->X + Flame->Width / 2.0), Trunc(Flame->Y + Flame->Height / 2.0),
                Trunc(Flame->AnimPos));
  }
}

void CreateRockets() {
  for (int k = 1; k <= RocketPool; ++k) Rockets[k] = new TRocket(0, -1000, 0, 0);
}

void LaunchRocket(double x, double y, int speedBonus, int angle) {
  for (int k = 1; k <= RocketPool; ++k) {
    if (Rockets[k] != nullptr && !Rockets[k]->Active) {
      Rockets[k]->Launch(x, y, speedBonus, angle);
      return;
    }
  }
}

void UpdateRockets() {
  for (int k = 1; k <= RocketPool; ++k) {
    TRocket* r = Rockets[k];
    if (r == nullptr || !r->Active) continue;
    if (r->Exploding && r->AnimPosBeforeMove > r->AnimPos) {
      // The blast has played once through.
      r->Reset();
    } else if (r->Y > PlayfieldBottom || r->Y + r->Height + r->Flame->Height < 0 || r->X < 0 ||
               r->X + r->Width > PlayfieldRight) {
      r->Reset();
    }
  }
}

void FreeRockets() {
  for (int k = 1; k <= RocketPool; ++k) {
    if (Rockets[k] != nullptr) Rockets[k]->KillWithFlame();
    Rockets[k] = nullptr;
  }
}
