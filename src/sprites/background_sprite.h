#pragma once
#include <vector>

#include "sprites/image_list.h"
#include "sprites/sprite.h"

// A grid of tile chips drawn from one picture item's patterns.
class TBackgroundSprite : public TSprite {
 public:
  using TSprite::TSprite;
  void DoDraw() override;
  TRect GetBoundsRect() const override;
  void SetMapSize(int w, int h);
  virtual void SetImage(TPictureCollectionItem* item);
  int GetChip(int x, int y) const;   // -1 outside the map
  void SetChip(int x, int y, int value);  // ignored outside the map

  TPictureCollectionItem* Image = nullptr;
  int MapWidth = 0, MapHeight = 0;
  std::vector<int> Map;
  std::vector<unsigned char> CollisionMap;
  bool Tile = false;
};
