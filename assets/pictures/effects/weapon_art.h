#pragma once
// The weapons of the player's car and what they fire (image list 2).
//
// Roof weapons: "GunAnim_1" .. "GunAnim_6" (the machine gun swinging up from
// lying folded back on the roof to pointing forward), "GunShooting" (the
// raised gun with its muzzle flash) and "RocketAnim_1" .. "RocketAnim_6"
// (the launcher opening its lids and pushing its four rockets forward).
// The car draws the weapon turned about the car's centre with the pivot row
// (H/2)/114 - 0.6 + the car's offset, so every frame is 40 x 114 and its
// top lands (0.6 - offset) * 114 pixels behind the car's nose; the mount sits
// at row 54, where the roofs of all six cars overlap. "GunShooting" is 33
// rows taller at the top (40 x 147): with the firing pivot adjustment that
// keeps the gun within half a pixel of where it stood on every car and
// leaves the room above the muzzle for the flash.
//
// Rockets: "Rocket" (12 x 24, nose up; a launch puts its left edge 6
// pixels left of the launch point), "EngineFire" (18 x 50, 6 patterns,
// nozzle at the top) and "Explosion" (the rocket blast, 64 x 64, 14
// patterns). The rocket draws its flame either unturned, 12 pixels left and
// 2 up from its own corner and shifted by half the flame's size, or turned
// about its centre with the flame's pivot 0.22 of the flame's height above
// the flame's top; with these sizes both land the nozzle on the rocket's tail.
#include <string>

#include "assets/catalog.h"

namespace weapons {

inline constexpr int FrameWidth = 40, FrameHeight = 114;
inline constexpr int FlashRoom = 33;  // extra rows on top of "GunShooting"
inline constexpr int MountRow = 54;   // the mount's centre in a weapon frame

}  // namespace weapons

void AddWeaponArt(TImageItems& res2);
// Each car with the raised gun, the firing gun and the raised launcher at
// the headings -64, 0 and 64, placed by the race's own formula; every
// frame enlarged over three roof colours and the unfolding on three cars;
// the rocket with its flame drawn both ways, and the blast's patterns.
void WriteWeaponPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
