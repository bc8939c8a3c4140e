#pragma once
// The people of the town: men and women walking the sidewalks, choosing
// their way at corners and junctions, all held by one sprite. They can be
// run over, shot down or blown away, and the horn makes them run.
#include <cstdint>

#include "gfx/surface.h"
#include "sprites/my_image_sprite.h"

constexpr int ManSlots = 600;

// Direction codes; 1..4 walk.
constexpr uint8_t ManLying = 0;
constexpr uint8_t ManLeft = 1;
constexpr uint8_t ManRight = 2;
constexpr uint8_t ManUp = 3;
constexpr uint8_t ManDown = 4;
constexpr uint8_t ManBlownAway = 255;

struct TPedestrian {
  uint8_t Active = 0;
  uint8_t IsGirl = 0;
  double X = 0, Y = 0;  // world position; the picture is drawn 27 pixels up and left
  uint8_t Direction = 0;
  uint8_t NextDirection = 0;  // taken on entering the next tile
  uint8_t Visible = 0;
  uint8_t Speed = 0;  // 3..5 walking, 8 frightened, 0 lying
  double AnimPos = 0;  // 0..4
  int32_t CurCol = 0, CurRow = 0;
  int32_t AheadCol = 0, AheadRow = 0;
  double ScareTimer = 0;  // ms of fright left
};

struct TPictureCollectionItem;

class TMan : public TMyImageSprite {
 public:
  // The race's pedestrian sprite, with the current town's people placed.
  TMan();
  void DoMove(int moveCount) override;
  void DoDraw() override;

  // Empties every slot and puts people on the sidewalks beside the road.
  void PlaceMen();
  // The horn: the people on screen run for a second.
  void Scare();
  // The fright is over for everyone on screen: back to a walking pace.
  void Calm();
  // Shot down by the machine gun: lies where it stood, 10 pixels up and left.
  void LayDown(int i);

  TPedestrian Man[ManSlots + 1];
  uint8_t Scared = 0;

 private:
  // Man_ and Girl_ pictures by direction 0..4; looked up when first drawn.
  TPictureCollectionItem* Pictures[2][5] = {};
};

extern TMan* Men;

// The sidewalk rule: the choice code (0 back, 1 straight, 2 left, 3 right,
// 4..7 random between some of them) for someone walking in direction d who
// has just stepped onto tile.
int Navigate(int d, uint8_t tile);
// The direction a choice code gives from direction d; the random codes draw.
uint8_t ApplyChoice(int d, int choice);
