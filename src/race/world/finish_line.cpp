#include "race/world/finish_line.h"

#include <cmath>

#include "gfx/surface.h"
#include "race/player/player.h"
#include "race/world/scroll_background.h"
#include "race/world/track_generator.h"
#include "race/world/track_map.h"

TFinish* Finish = nullptr;

namespace {
// The road's edge columns on the finish row, found once per level: the
// line is drawn over the columns between them.
int FirstEdgeColumn = 0, LastEdgeColumn = 0;
}  // namespace

TFinish::TFinish() : TMyImageSprite(2, "FinishLine", 0, 0, 5) { Place(); }

void PlaceFinish() {
  if (Finish) Finish->Place();
}

void TFinish::Place() {
  FinishY = 72.0 * (1550 - TrackLength);
  Y = FinishY;
  Crossed = 0;
  const int row = static_cast<int>(FinishY) / 72;
  FirstEdgeColumn = LastEdgeColumn = 0;
  for (int c = 1; c <= MapColumns && FirstEdgeColumn == 0; ++c)
    if (TileOrGround(row, c) == 1) FirstEdgeColumn = c;
  for (int c = MapColumns; c >= 1 && LastEdgeColumn == 0; --c)
    if (TileOrGround(row, c) == 4) LastEdgeColumn = c;
}

void TFinish::DoMove(int moveCount) {
  (void)moveCount;
  if (!Background) return;
  Y = FinishY - 72.0 * MapRow + Background->Y;
  if (Player && Y > Player->Y) Crossed = 1;
}

void TFinish::DoDraw() {
  if (!Background || !Image || FirstEdgeColumn == 0 || LastEdgeColumn == 0) return;
  const int x0 = static_cast<int>(std::nearbyint(Background->X));
  const int y = static_cast<int>(std::nearbyint(Background->Y) + FinishY - 72.0 * MapRow);
  for (int c = FirstEdgeColumn + 1; c <= LastEdgeColumn - 1; ++c) Image->Draw(BackSurface, x0 + 72 * (c - MapCol), y, 0);
}
