#pragma once
#include <cstdint>
#include <string>

#include "sprites/background_sprite.h"

// How far the world moves per tick before the frame scaling; set by the race
// from the car's heading and speed.
extern double ScrollDX, ScrollDY;

// The road of the race, and the still full-screen picture of every menu
// screen (a 1 x 1 map of "MMBG").
class TScrollBackground : public TBackgroundSprite {
 public:
  TScrollBackground(int listNo, int mapHeight, int mapWidth, const std::string& imageName);
  void DoMove(int moveCount) override;
  void SetImage(const std::string& imageName);
  void SetImage(const std::string& imageName, int listNo);
  using TBackgroundSprite::SetImage;
  void Kill();

  uint8_t ListNo = 1;
  double VelocityX = 0, VelocityY = 0;
  uint8_t Killed = 0;
};

// The background of the current screen: the road in the race, the menu
// picture elsewhere. Killed when its screen closes.
extern TScrollBackground* Background;
