#pragma once
// "Tiles" (image list 2): the town's 72 x 72 tiles, pattern number = tile
// code, in an 8 x 8 sheet; the patterns past the last code repeat plain
// ground.
#include <string>

#include "assets/catalog.h"

void AddTileArt(TImageItems& res2);
// A numbered sheet of every tile, and stretches of a town as the track
// builder lays it (the start, a step, a split, a median...) drawn from them.
void WriteTilePreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
