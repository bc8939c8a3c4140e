#pragma once
// The traffic: cars driving up the road with the player and oncoming cars
// driving down, all held by one sprite that moves, steers, crashes and
// recycles them. The player's car draws them in its own draw pass.
#include <cstdint>

#include "gfx/surface.h"
#include "sprites/my_image_sprite.h"
#include "sprites/quad.h"

struct TPictureCollectionItem;

constexpr int CarSlots = 200;
constexpr int RivalKinds = 5;

// One car of the traffic; Orientation 0 is an empty slot.
struct TRivalCar {
  uint8_t Kind = 0;         // 1..5, car table row 6 + Kind
  uint8_t Orientation = 0;  // 1 up-left, 2 up-right, 3 up, 4 down, 5 down-left, 6 down-right
  double X = 0, Y = 0;      // world position of the picture's top-left
  int32_t Speed = 0;        // 6 driving up, -5 oncoming, 0 removed or exploding
  uint8_t OnScreen = 0;
  uint8_t Exploding = 0;
  double ExplosionFrame = 0;  // 0..13
  uint8_t Touching = 0;       // overlapped the player's car last tick
};

// Each kind's outline in each orientation, four corners relative to the
// picture's top-left; the corner order is part of the outline.
extern const TQuadPoint CarQuad[RivalKinds + 1][7][4];
// Where a new car sits across its lane, by kind: oncoming cars in the
// road's second column, cars driving up in the column left of the edge.
extern const int SpawnOfsDown[RivalKinds + 1];
extern const int SpawnOfsUp[RivalKinds + 1];

enum class TCarEnd { Bottom, Top };

class TCar : public TMyImageSprite {
 public:
  // The race's traffic sprite, with the current level's cars placed.
  TCar();
  void DoMove(int moveCount) override;
  // The player's car draws the traffic, so that it shares its depth.
  void DoDraw() override {}

  // Empties every slot and places the level's traffic on the current town.
  void PlaceCars();
  // The slots the level's traffic uses: 1..Count().
  int Count() const;
  // Takes car i off the road for the rest of the level.
  void RemoveCar(int i);
  void ExplodeCar(int i);
  void RespawnCar(int i, TCarEnd end);
  // Every other car under car i's outline leaves the road for the level.
  void ClearOverlaps(int i);
  // Car i's outline on the screen, unrounded.
  TQuad ScreenOutline(int i) const;
  // Called from the player's draw pass: every car on screen, in index order.
  void DrawTraffic(TSurface& surface);

  TRivalCar Car[CarSlots + 1];  // 1..CarCount used
  int LeftEdgeColumn = 0;   // first left edge of the road at the finish end
  int RightEdgeColumn = 0;  // last right edge of the road near the start

 private:
  // Looked up on the first car drawn after the race opened.
  TPictureCollectionItem* Pictures[RivalKinds + 1] = {};
  TPictureCollectionItem* Blast = nullptr;
};

extern TCar* Cars;

// Kinds 1, 2 and 4 come with chance 0.2 each, motorbikes (3) with 0.3 and
// lorries (5) with 0.1.
int RandomCarKind();

// False only when the point certainly lies outside the quad: it is further
// from the quad's bounding box than the box's longer side, where the four
// corners span less than a quarter turn seen from it. Skips the costly test
// without changing its answer, whatever the corner order.
bool PointNearQuad(double px, double py, const TQuad& quad);
