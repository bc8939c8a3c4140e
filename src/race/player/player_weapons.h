#pragma once
// The weapon the car carries on its roof, and the pickups handed out by the
// bonuses.
#include <cstdint>
#include <string>

// Pickup kinds as GiveBonus takes them; WeaponKind holds 0, 3 or 4.
constexpr uint8_t BonusLife = 1;
constexpr uint8_t BonusNitro = 2;
constexpr uint8_t WeaponGun = 3;
constexpr uint8_t WeaponRockets = 4;

constexpr int GunAmmo = 25;
constexpr int RocketAmmo = 20;
constexpr double NitroPerPickup = 100;
// The weapon unfolds and folds through six pictures, one per 100 ms; it
// fires only at the last.
constexpr int WeaponFrames = 6;
constexpr int WeaponFrameMs = 100;

// "GunAnim_1".."GunAnim_6" and "RocketAnim_1".."RocketAnim_6", by frame.
extern const std::string GunAnimNames[WeaponFrames + 1];
extern const std::string RocketAnimNames[WeaponFrames + 1];
extern const std::string GunShootingImage;

// The race's calls on the player's car: expiring a used-up pickup each tick
// and emptying the car at a level start. Nothing happens without a car.
void DropWeapon(uint8_t kind);
void DropAllWeapons();
