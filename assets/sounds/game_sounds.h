#pragma once
// The race's sound effects, one function per concern; each adds its items to
// the sound archive (Sounds.dxw).
#include "assets/catalog.h"

// The car's engine: idle, the four gears, the shift blip, the coasting note
// and the top-speed whine (engine_sounds.cpp).
void AddEngineSounds(TWaveItems& sounds);
// What the car does on the road besides its engine: tyre skid, horn, nitro,
// crashes (race_sounds.cpp).
void AddRaceSounds(TWaveItems& sounds);
// Machine gun, rocket launch, explosions, the weapon unfolding (weapon_sounds.cpp).
void AddWeaponSounds(TWaveItems& sounds);
// Pickups and the last-seconds clock (pickup_sounds.cpp).
void AddPickupSounds(TWaveItems& sounds);
// The cries of a pedestrian who is hit, a man's and a woman's (cry_sounds.cpp).
void AddCrySounds(TWaveItems& sounds);
