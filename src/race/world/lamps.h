#pragma once
#include "sprites/my_image_sprite.h"

// Every street lamp of the town: one sprite that tests and draws the lamps
// standing on the road-edge tiles of every fifth map row in view.
class TLamp : public TMyImageSprite {
 public:
  TLamp();
  void DoMove(int moveCount) override;
  void DoDraw() override;
};

extern TLamp* Lamps;

// Lamps need nothing per level; kept for the race, which asks the lamps to
// start afresh when they are made, when a level starts and when the car is
// back on the road after a wreck.
void ResetLamps();
