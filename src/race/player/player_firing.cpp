// Firing the weapon on the roof: the machine gun's instant ray and the
// launcher's rockets, which leave from behind the car on alternate sides.
#include <cmath>
#include <string>

#include "race/player/player.h"
#include "race/player/player_weapons.h"
#include "race/player/rockets.h"
#include "race/race_state.h"
#include "race/world/pedestrians.h"
#include "race/world/rival_cars.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"
#include "shell/sound.h"

namespace {

constexpr int GunCooldownMs = 200;
constexpr int MuzzleMs = 100;
constexpr int RocketCooldownMs = 500;
constexpr double RayStep = 5;
constexpr double RayManBox = 50;
constexpr double LaunchDistance = 55;
constexpr int RocketSpeedBonus = 18;

const std::string RocketSound = "Rocket";
const std::string ExplosionSound = "Explosion";

}  // namespace

void TPlayer::Fire() {
  if (FireCooldown > 0) return;
  if (Ammo > 0) Ammo -= 1;
  const double w = Width, h = Height;
  if (WeaponKind == WeaponGun) {
    FireCooldown = GunCooldownMs;
    WeaponTimer = MuzzleMs;
    WeaponSprite->SetImageCentered(GunShootingImage, WeaponSprite->X + WeaponSprite->Width / 2.0,
                                   WeaponSprite->Y + WeaponSprite->Height / 2.0);
    FireGunRay(Heading, X + w / 2, Y + h / 2);
  } else if (WeaponKind == WeaponRockets) {
    PlaySound(RocketSound);
    // The two launch points lie behind the car, 121 degrees round from the
    // heading on either side; odd ammunition left fires from the right.
    const int a = Ammo % 2 == 1 ? -Heading - 86 : -Heading - 170;
    FireCooldown = RocketCooldownMs;
    const double x = std::trunc(X + (w - 12) / 2 - LaunchDistance * std::sin(a * TurnToRadians));
    const double y = std::trunc(Y + h / 2 - LaunchDistance * std::cos(a * TurnToRadians));
    // With all five rockets in flight the shot is lost, ammunition and all.
    LaunchRocket(x, y, RocketSpeedBonus, Heading);
  }
  Shooting = true;
}

void TPlayer::FireGunRay(int h, double x, double y) {
  double wx = MapCol * 72.0 + x - Background->X;
  double wy = MapRow * 72.0 + y - Background->Y;
  double sx = x, sy = y;
  const double stepX = RayStep * std::sin(h * TurnToRadians);
  const double stepY = RayStep * std::cos(h * TurnToRadians);
  bool hit = false;
  while (!hit) {
    if (sx < 0 || sx > PlayfieldRight || sy < 0 || sy > PlayfieldBottom) break;
    wx += stepX;
    wy -= stepY;
    if (Men != nullptr) {
      // Everyone inside the box at this step goes down, not only the first.
      for (int i = 1; i <= ManSlots; ++i) {
        const TPedestrian& man = Men->Man[i];
        if (man.Active != 1 || man.Direction == ManLying || man.Visible != 1) continue;
        if (wx < man.X - RayManBox || wx > man.X + RayManBox || wy < man.Y - RayManBox || wy > man.Y + RayManBox)
          continue;
        Men->LayDown(i);
        hit = true;
      }
    }
    if (Cars != nullptr) {
      const int cars = Cars->Count();
      for (int i = 1; i <= cars; ++i) {
        const TRivalCar& car = Cars->Car[i];
        if (car.OnScreen != 1 || car.Orientation == 0 || car.Speed == 0 || car.Exploding != 0) continue;
        const TQuad outline = Cars->ScreenOutline(i);
        if (!PointNearQuad(sx, sy, outline) || !PointInQuad(sx, sy, outline)) continue;
        hit = true;
        AddScore(10);
        Cars->ExplodeCar(i);
        PlaySound(ExplosionSound);
        break;
      }
    }
    sx = wx - MapCol * 72.0 + Background->X;
    sy = wy - MapRow * 72.0 + Background->Y;
  }
}
