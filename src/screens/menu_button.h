#pragma once
#include <cstdint>
#include <string>

#include "sprites/my_image_sprite.h"

// A picture button of the menus and question windows with a normal and a
// hovered look.
class TMenuButton : public TMyImageSprite {
 public:
  TMenuButton(int listSel, const std::string& activeImage, const std::string& normalImage, int activeFrame,
              int normalFrame, double x, double y);
  void Highlight();
  void Unhighlight();

  std::string ActiveImage;
  std::string NormalImage;
  int ActiveFrame = 0;
  int NormalFrame = 0;
  int HitWidth = -1;
  int HitHeight = -1;
  uint8_t Highlighted = 0;
  uint8_t RaiseOnHover = 0;
};
