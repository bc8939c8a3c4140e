#pragma once
// The town tiles by concern; each fills its codes' slots of the sheet.
#include <vector>

#include "gfx/surface.h"

namespace tiles {

// Slot c holds the 72 x 72 picture of tile code c.
using TTileSlots = std::vector<TSurface>;

// Roads, their steps and lane tiles, sidewalks and side-street joins:
// codes 1 to 29, 33 to 35, 58 and 60.
void PaintRoadTiles(TTileSlots& slots);
// Plain ground, plaza decorations, roadside obstacles and the 2 x 2 yard
// objects: codes 0, 30 to 32, 36 to 39, 45 to 48 and 59.
void PaintYardTiles(TTileSlots& slots);
// The walled block and the house: codes 40 to 44 and 49 to 57.
void PaintBuildingTiles(TTileSlots& slots);

}  // namespace tiles
