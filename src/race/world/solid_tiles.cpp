#include "race/world/solid_tiles.h"

#include "race/player/player.h"
#include "race/world/scroll_background.h"
#include "race/world/track_map.h"

namespace {

struct TObstacle {
  double Left, Top, Right, Bottom;  // relative to the tile's top-left corner
};

// Posts stand on the side of their tile next to the sidewalk; the walled
// block's top wall runs along the bottom of its tiles, its left wall down
// their right edge, and its garages fill the top-left of theirs.
bool ObstacleOf(uint8_t t, TObstacle& o) {
  switch (t) {
    case 59: o = {0, 0, 35, 72}; return true;
    case 39: o = {37, 0, 72, 72}; return true;
    case 40: o = {0, 58, 72, 72}; return true;
    case 41: o = {65, 0, 72, 68}; return true;
    case 42:
    case 43:
    case 44: o = {0, 0, 64, 64}; return true;
    default: return false;
  }
}

}  // namespace

bool SolidTileQuad(uint8_t t, double x0, double y0, TQuad& quad) {
  TObstacle o;
  if (!ObstacleOf(t, o)) return false;
  // The overlap test sums the angles between neighbouring corners, which
  // measures the rectangle only with its corners taken round it; corners
  // taken top-left, top-right, bottom-left, bottom-right would cross over
  // and reach up to 30 pixels past a wall's face, stopping the car short of
  // what the player sees.
  quad.P[0] = {x0 + o.Left, y0 + o.Top};
  quad.P[1] = {x0 + o.Right, y0 + o.Top};
  quad.P[2] = {x0 + o.Right, y0 + o.Bottom};
  quad.P[3] = {x0 + o.Left, y0 + o.Bottom};
  return true;
}

void TestSolidTiles() {
  if (Player == nullptr || Background == nullptr) return;
  // The grid's first row and column are not tested; the row and column
  // just past it, off screen, are.
  for (int i = 1; i <= 10; ++i) {
    for (int j = 1; j <= 13; ++j) {
      const uint8_t t = TileOrGround(MapRow + i, MapCol + j);
      TQuad wall;
      // A bounce moves the road at once, so each tile is placed anew.
      if (!SolidTileQuad(t, Background->X + 72 * j, Background->Y + 72 * i, wall)) continue;
      if (!QuadsOverlap(wall, Player->Corners) || Player->Energy <= 0 || Player->Wrecked) continue;
      if (Player->Speed > 0) Player->BounceBack(-100);
      else Player->ScaleSpeed(-1);
      Player->LoseDamagePoint();
    }
  }
}
