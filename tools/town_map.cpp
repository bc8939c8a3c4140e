#include "tools/town_map.h"

#include <algorithm>
#include <cstdio>

#include "gfx/png_write.h"
#include "gfx/surface.h"
#include "race/world/track_map.h"

namespace {

// A colour that tells a tile's role at a glance.
bool IsRoad(uint8_t t) { return (t >= 1 && t <= 22) || (t >= 33 && t <= 35); }

uint32_t RoleColour(uint8_t t) {
  if (IsRoad(t)) return 0x3B3E45;                                     // road
  if (t >= 23 && t <= 29) return 0xB8B0A4;                            // sidewalk
  if (t == 58 || t == 60) return 0x8C8478;                            // side street
  if (t >= 30 && t <= 32) return 0x7FA35A;                            // plaza decoration
  if (t == 39 || t == 59 || (t >= 40 && t <= 44)) return 0x8A3B2A;    // walls
  if (t >= 49 && t <= 57) return 0xB5562E;                            // house roofs
  if (t >= 36 && t <= 38) return 0x5E7F44;                            // yard objects
  if (t >= 45 && t <= 48) return 0x6B5A45;                            // 2 x 2 objects
  return 0x4E6B3A;                                                    // ground
}

}  // namespace

bool WriteTownMap(const std::string& path) {
  const bool png = path.size() >= 4 && path.compare(path.size() - 4, 4, ".png") == 0;
  if (!png) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(TrackMap, 1, sizeof TrackMap, f) == sizeof TrackMap;
    return std::fclose(f) == 0 && ok;
  }
  // The yards fill the whole width of the map, so the picture frames the
  // roads with a margin of town on either side.
  int top = MapRows + 1, bottom = 0, left = MapColumns + 1, right = 0;
  for (int r = 1; r <= MapRows; ++r)
    for (int c = 1; c <= MapColumns; ++c)
      if (IsRoad(Tile(r, c))) {
        top = std::min(top, r);
        bottom = std::max(bottom, r);
        left = std::min(left, c);
        right = std::max(right, c);
      }
  if (bottom == 0) top = bottom = left = right = 1;
  constexpr int Margin = 24;
  top = std::max(1, top - 2);
  bottom = std::min(MapRows, bottom + 2);
  left = std::max(1, left - Margin);
  right = std::min(MapColumns, right + Margin);
  // About 1400 pixels tall at most: a level-6 town (1300 rows) gets one
  // pixel a tile, a level-1 town four.
  const int scale = std::max(1, 1400 / (bottom - top + 1));
  TSurface picture;
  picture.Resize((right - left + 1) * scale, (bottom - top + 1) * scale);
  for (int r = top; r <= bottom; ++r)
    for (int c = left; c <= right; ++c) {
      const uint32_t colour = RoleColour(Tile(r, c));
      for (int y = 0; y < scale; ++y)
        for (int x = 0; x < scale; ++x) picture.Row((r - top) * scale + y)[(c - left) * scale + x] = colour;
    }
  return WritePng(path, picture);
}
