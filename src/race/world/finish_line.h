#pragma once
#include <cstdint>

#include "sprites/my_image_sprite.h"

// The chequered finish line across the road's inner columns; Crossed is
// set on the first tick the line is below the car.
class TFinish : public TMyImageSprite {
 public:
  TFinish();
  void DoMove(int moveCount) override;
  void DoDraw() override;
  // The line of the current level's road, not yet crossed.
  void Place();

  double FinishY = 0;  // world y of the line
  uint8_t Crossed = 0;
};

extern TFinish* Finish;

void PlaceFinish();
