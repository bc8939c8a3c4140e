#pragma once
// The pickups on the road: points, an extra life, nitro, the machine gun
// and the rocket launcher, all held by one sprite. They lie still in the
// town and are collected by driving over them.
#include <cstdint>

#include "sprites/my_image_sprite.h"

constexpr int BonusSlots = 400;

struct TPickup {
  uint8_t Active = 0;
  int32_t Col = 0, Row = 0;  // the map tile it lies in
  uint8_t Type = 0;          // 1..8: 10, 20, 50, 100 points, life, nitro, gun, rockets
};

struct TPictureCollectionItem;

class TBonus : public TMyImageSprite {
 public:
  // The race's pickup sprite, with the current town's pickups placed.
  TBonus();
  void DoMove(int moveCount) override;
  void DoDraw() override;

  // Empties every slot and scatters the level's pickups over the road.
  void PlaceBonuses();

  TPickup Pickup[BonusSlots + 1];  // 1..BonusCount used

 private:
  TPictureCollectionItem* Pictures[9] = {};
};

extern TBonus* Bonuses;

// What each pickup type is worth and gives.
extern const char* const BonusImage[9];
extern const int BonusPoints[9];
