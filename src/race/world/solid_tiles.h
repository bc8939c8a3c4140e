#pragma once
// The roadside tiles the car cannot drive through: posts, walls and
// garages, each solid over one rectangle of its tile.
#include <cstdint>

#include "sprites/quad.h"

// The obstacle of tile code t whose tile's top-left corner is at (x0, y0) on
// screen, as corners in order around it (top-left, top-right, bottom-right,
// bottom-left); false for a tile the car drives over.
bool SolidTileQuad(uint8_t t, double x0, double y0, TQuad& quad);

// The end of the road's scroll step in the race: every solid tile of the
// view (and of the row and column just beyond it) that overlaps the car
// stops it and costs it a damage point, one hit per tile.
void TestSolidTiles();
