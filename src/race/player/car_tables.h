#pragma once
// Sizes and pictures of every car on the road, indexed from 1: entries 1..6
// are the player's cars (by SelectedCar), 7..11 the rival kinds 1..5.
#include <string>

constexpr int PlayerCarCount = 6;
constexpr int CarKindCount = 11;

extern const std::string CarImage[CarKindCount + 1];
extern const int CarHalfWidth[CarKindCount + 1];
extern const int CarHalfHeight[CarKindCount + 1];

// The player's cars only.
extern const int CarBodyWidth[PlayerCarCount + 1];
// How far each body corner lies from the car's centre, as a share of the
// corner radius; one table per corner (front-left, front-right, rear-right,
// rear-left), all equal today but tunable apart.
extern const double CornerScale[4][PlayerCarCount + 1];

// Pivot of the roof weapon along the car, as a share of the weapon image's
// height: GunPivotOffset for the folded or unfolded weapon, ShotPivotAdjust
// added while the machine gun shows its muzzle flash.
extern const double GunPivotOffset[PlayerCarCount + 1];
extern const double ShotPivotAdjust[PlayerCarCount + 1];
