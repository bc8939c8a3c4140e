#pragma once
#include <cstdint>
#include <string>

#include "sprites/my_image_sprite.h"

// The blinking text cursor of the country box and the name entry. A cursor
// whose box does not have the focus stays hidden.
class TMyCursor : public TMyImageSprite {
 public:
  TMyCursor(int listNo, int blinkMs, int z, double y, double x, const std::string& imageName);
  void DoMove(int moveCount) override;

  int32_t BlinkMs = 0;
  int32_t BlinkTimer = 0;
  uint8_t Blinking = 0;
};
