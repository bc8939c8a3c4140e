#pragma once
#include <string>

// The runner's `map FILE`: a .png name gets a picture of the whole town of
// the current level (the built area, a few pixels a tile, coloured by the
// tiles' roles); any other name gets the raw map, 1500 x 650 bytes, row 1
// first and column 1 first in each row.
bool WriteTownMap(const std::string& path);
