#include "race/player/player_weapons.h"

#include <cmath>

#include "race/player/player.h"
#include "race/race_state.h"
#include "shell/frame_rate.h"
#include "shell/sound.h"

const std::string GunAnimNames[WeaponFrames + 1] = {"",          "GunAnim_1", "GunAnim_2", "GunAnim_3",
                                                    "GunAnim_4", "GunAnim_5", "GunAnim_6"};
const std::string RocketAnimNames[WeaponFrames + 1] = {"",
                                                       "RocketAnim_1",
                                                       "RocketAnim_2",
                                                       "RocketAnim_3",
                                                       "RocketAnim_4",
                                                       "RocketAnim_5",
                                                       "RocketAnim_6"};
const std::string GunShootingImage = "GunShooting";

namespace {

const std::string GunSound = "MachineGun";
const std::string RocketSound = "Rocket";
const std::string AppearSound = "WeaponAppear";

const std::string& FrameImage(uint8_t kind, int frame) {
  return kind == WeaponGun ? GunAnimNames[frame] : RocketAnimNames[frame];
}

}  // namespace

// The weapon picture of the current kind and frame, centred over the car's
// roof.
void TPlayer::ShowWeaponFrame() {
  WeaponSprite->SetImageCentered(FrameImage(WeaponKind, WeaponFrame), std::trunc(X + 0.5 * Width),
                                 std::trunc(Y + 0.6 * Height));
}

void TPlayer::GiveBonus(uint8_t kind) {
  switch (kind) {
    case BonusLife:
      Lives += 1;
      break;
    case BonusNitro:
      NitroOn = true;
      Nitro = NitroPerPickup;
      break;
    case WeaponGun:
    case WeaponRockets:
      // The same weapon again only refills; the other one is swapped in and
      // unfolds from the start.
      DropWeapon(kind == WeaponGun ? WeaponRockets : WeaponGun);
      if (WeaponKind != kind) WeaponFrame = 1;
      WeaponKind = kind;
      Ammo = kind == WeaponGun ? GunAmmo : RocketAmmo;
      ShowWeaponFrame();
      break;
    default:
      break;
  }
}

// Leaves WeaponKind alone: with no ammunition the weapon folds away over
// the next ticks and the fold clears the kind at its end.
void TPlayer::DropWeapon(uint8_t kind) {
  switch (kind) {
    case BonusNitro:
      NitroOn = false;
      Nitro = 0;
      break;
    case WeaponGun:
      StopSound(GunSound);
      GunSoundOn = false;
      Ammo = 0;
      break;
    case WeaponRockets:
      StopSound(RocketSound);
      Ammo = 0;
      break;
    default:
      break;
  }
}

void TPlayer::DropAllWeapons() {
  DropWeapon(WeaponGun);
  DropWeapon(WeaponRockets);
  DropWeapon(BonusNitro);
  WeaponKind = 0;
}

void TPlayer::WeaponUnfold() {
  // Restarts on every tick of the first frame: the sound is heard whole
  // from the tick the weapon starts to rise.
  if (WeaponFrame == 1) PlaySound(AppearSound);
  WeaponTimer -= FrameMs;
  if (WeaponTimer < 1) {
    WeaponTimer = WeaponFrameMs;
    WeaponFrame += 1;
    ShowWeaponFrame();
  }
}

void TPlayer::WeaponFold() {
  if (WeaponFrame < 2) {
    WeaponKind = 0;
    return;
  }
  if (WeaponFrame == WeaponFrames) PlaySound(AppearSound);
  WeaponTimer -= FrameMs;
  if (WeaponTimer < 1) {
    WeaponTimer = WeaponFrameMs;
    WeaponFrame -= 1;
    ShowWeaponFrame();
  }
}

// The muzzle picture has shown its time: back to the weapon's own frame,
// centred where the muzzle was.
void TPlayer::FinishShot() {
  if (WeaponTimer > 0) WeaponTimer -= FrameMs;
  if (WeaponTimer < 1) {
    WeaponTimer = 0;
    // With no weapon on the roof nothing is drawn there, so the picture
    // may stay as it is.
    if (WeaponKind == WeaponGun || WeaponKind == WeaponRockets) {
      WeaponSprite->SetImageCentered(FrameImage(WeaponKind, WeaponFrame), WeaponSprite->X + WeaponSprite->Width / 2.0,
                                     WeaponSprite->Y + WeaponSprite->Height / 2.0);
    }
    Shooting = false;
  }
}

void DropWeapon(uint8_t kind) {
  if (Player != nullptr) Player->DropWeapon(kind);
}

void DropAllWeapons() {
  if (Player != nullptr) Player->DropAllWeapons();
}
