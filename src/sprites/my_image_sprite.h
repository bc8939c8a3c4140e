#pragma once
#include <string>

#include "sprites/image_sprite.h"

// The base of every game sprite: created by image name from list 1 or 2,
// with alpha drawing, a frame-rate-independent animation rate and a Kill
// that marks the sprite dead only once.
class TMyImageSprite : public TImageSprite {
 public:
  explicit TMyImageSprite(int listSel);
  // CreateAt for derived sprites: image by name, position and Z. A missing
  // image throws and leaves no sprite behind.
  TMyImageSprite(int listSel, const std::string& name, double x, double y, int z);
  static TMyImageSprite* CreateAt(int listSel, const std::string& name, double x, double y, int z);
  static TMyImageSprite* CreateCentered(int listSel, const std::string& name, double cx, double cy, int z);

  void DoDraw() override;
  void DoMove(int moveCount) override;

  void SetImageByName(const std::string& name);  // throws ELookupError
  void SetAnimation(const std::string& name, int rate);
  void SetImageCentered(const std::string& name, double cx, double cy);
  void Kill();

  unsigned char AlphaOn = 0;
  int Alpha = 0;
  int AnimRate = 0;
  unsigned char ListSel = 1;
  double AnimPosBeforeMove = 0;
  unsigned char Killed = 0;
};
