#pragma once
// The view onto the town's tile map: the map row and column of the view's
// top-left tile.
extern int MapRow;
extern int MapCol;
