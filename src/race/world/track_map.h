#pragma once
// Folder race/world/: the tile map and its generator, the road sprite, and
// the things on the map (traffic, pedestrians, pickups, lamps, finish line,
// text cursor). Uses the lower folders, the player's car (the things on the
// map test their outlines against it and call its damage operations) and
// the race's numbers (race/race_state.h), never the race's flow or its
// windows.
//
// The town of the race: a grid of 72 x 72 pixel tiles, one byte tile code
// each, rows counted from the top and both indices starting at 1. The tile
// at (row, column) covers world x 72*column .. 72*column + 72 and world y
// 72*row .. 72*row + 72.
#include <cmath>
#include <cstdint>

constexpr int MapRows = 1500;
constexpr int MapColumns = 650;
constexpr int TileSize = 72;

// The whole town, row after row; rebuilt by GenerateTrack at every level
// start and read-only while racing.
extern uint8_t TrackMap[MapRows * MapColumns];

// The view onto the town: the map row and column of the view's top-left
// tile.
extern int MapRow;
extern int MapCol;

inline bool InsideMap(int row, int column) {
  return static_cast<unsigned>(row - 1) < static_cast<unsigned>(MapRows) &&
         static_cast<unsigned>(column - 1) < static_cast<unsigned>(MapColumns);
}

// The tile at (row, column); both must lie inside the map.
inline uint8_t& Tile(int row, int column) { return TrackMap[(row - 1) * MapColumns + (column - 1)]; }

// Beyond the town's edges there is only plain ground.
inline uint8_t TileOrGround(int row, int column) { return InsideMap(row, column) ? Tile(row, column) : 0; }

// The tile under the world point (x, y), y first: rows and columns are the
// rounded coordinates (half to even) divided by 72, truncating. Points off
// the map stand on plain ground.
inline uint8_t TileAt(double y, double x) {
  const double ry = std::nearbyint(y);
  const double rx = std::nearbyint(x);
  // Anything rounding below 72 falls in row or column 0 (or less).
  if (!(ry >= TileSize && ry < TileSize * (MapRows + 1.0))) return 0;
  if (!(rx >= TileSize && rx < TileSize * (MapColumns + 1.0))) return 0;
  return Tile(static_cast<int>(ry) / TileSize, static_cast<int>(rx) / TileSize);
}
