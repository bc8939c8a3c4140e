#pragma once
#include "sprites/my_image_sprite.h"

// A needle drawn rotated about a fixed pivot on the surface.
class TPointer : public TMyImageSprite {
 public:
  TPointer(int listSel, const std::string& name, double centerX, double centerY, int x, int y);
  void DoDraw() override;

  double CenterX = 0, CenterY = 0;
  int PointX = 0, PointY = 0;
  int Angle = 0;
};
