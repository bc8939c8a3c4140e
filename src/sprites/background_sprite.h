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

  // True when the drawn chips paint every pixel of the engine's surface with
  // no key-coloured hole: whatever was on the surface before cannot show.
  bool CoversSurface();

  TPictureCollectionItem* Image = nullptr;
  int MapWidth = 0, MapHeight = 0;
  std::vector<int> Map;  // written through SetChip, which keeps the window current
  std::vector<unsigned char> CollisionMap;
  bool Tile = false;

 private:
  // The whole map composed into one picture, drawn with one copy a row and
  // composed again only when a chip or the image changes (the road's 13 x 10
  // window moves a tile at a time, far less often than it is drawn). Only
  // for maps of more than one chip whose patterns have no key-coloured
  // pixels, so it draws exactly what the chips would.
  void Recompose();
  bool PatternSolid(int index);
  void DrawChips(TSurface& dest, int x0, int y0);

  TSurface Window;
  bool WindowDirty = true;
  bool WindowUsable = false;
  bool ChipsSolid = false;  // every chip a pattern with no key-coloured pixel
  const TPictureCollectionItem* SolidFor = nullptr;  // the image PatternSolidity describes
  std::vector<signed char> PatternSolidity;          // -1 not yet looked at, 0 keyed holes, 1 solid
};
