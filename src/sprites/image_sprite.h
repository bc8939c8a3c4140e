#pragma once
#include "sprites/image_list.h"
#include "sprites/sprite.h"

// A sprite that shows one pattern of a picture item and can animate.
class TImageSprite : public TSprite {
 public:
  using TSprite::TSprite;
  void DoDraw() override;
  void DoMove(int moveCount) override;
  TRect GetBoundsRect() const override;
  virtual void SetImage(TPictureCollectionItem* item);

  int AnimCount = 0;
  bool AnimLooped = false;
  double AnimPos = 0;
  double AnimSpeed = 0;
  int AnimStart = 0;
  TPictureCollectionItem* Image = nullptr;
};
