#include "assets/pictures/town/tile_art.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "assets/paint/paint.h"
#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "shell/random.h"
#include "assets/pictures/town/tile_paint.h"
#include "assets/pictures/town/tile_parts.h"

using namespace paint;

namespace {

constexpr int kSheetColumns = 8;
constexpr int kPatterns = kSheetColumns * kSheetColumns;
constexpr int kLastCode = 60;
constexpr uint32_t kPreviewSeed = 7;

// The same item's pattern at (x, y) of a canvas.
void DrawTile(const TCanvas& canvas, const TPictureCollectionItem& tiles, int code, int x, int y) {
  const int columns = tiles.Picture.Width / tiles.Width();
  TSurface one;
  one.Resize(tiles.Width(), tiles.Height());
  for (int row = 0; row < one.Height; ++row) {
    const uint32_t* from =
        tiles.Picture.Row((code / columns) * tiles.Height() + row) + (code % columns) * tiles.Width();
    std::copy(from, from + one.Width, one.Row(row));
  }
  BlitSurface(canvas, one, x, y);
}

// A stretch of the map, rows r0.. and columns c0.., drawn from the tiles.
void WriteTown(const TPictureCollectionItem& tiles, int r0, int c0, int rows, int columns, const std::string& path) {
  TCanvas town(columns * tiles::kTile, rows * tiles::kTile);
  for (int row = 0; row < rows; ++row)
    for (int col = 0; col < columns; ++col)
      DrawTile(town, tiles, TileOrGround(r0 + row, c0 + col), col * tiles::kTile, row * tiles::kTile);
  WritePng(town, path);
}

struct TSpot {
  const char* Name;
  int Left, Right;  // two tiles side by side that only this piece lays
};
// Pieces of road worth a look, found by a pair of tiles only they lay.
constexpr TSpot kSpots[] = {
    {"step_right", 28, 9}, {"step_left", 17, 29}, {"split", 17, 9},   {"join", 11, 19},
    {"median", 18, 10},    {"lane", 1, 33},       {"house", 24, 58},  {"walled_block", 40, 40},
};

}  // namespace

void AddTileArt(TImageItems& res2) {
  tiles::TTileSlots slots(kPatterns);
  tiles::PaintRoadTiles(slots);
  tiles::PaintYardTiles(slots);
  tiles::PaintBuildingTiles(slots);
  for (int code = kLastCode + 1; code < kPatterns; ++code) slots[code] = slots[0];
  TSurface sheet;
  sheet.Resize(kSheetColumns * tiles::kTile, kSheetColumns * tiles::kTile);
  for (int code = 0; code < kPatterns; ++code) {
    const TSurface& tile = slots[code];
    if (tile.Width != tiles::kTile || tile.Height != tiles::kTile)
      throw std::runtime_error("Tiles: no picture for tile code " + std::to_string(code));
    const int x0 = (code % kSheetColumns) * tiles::kTile, y0 = (code / kSheetColumns) * tiles::kTile;
    for (int y = 0; y < tiles::kTile; ++y) std::copy(tile.Row(y), tile.Row(y) + tiles::kTile, sheet.Row(y0 + y) + x0);
  }
  res2.push_back(OpaquePicture("Tiles", std::move(sheet), tiles::kTile, tiles::kTile));
}

void WriteTilePreviews(const TImageItems&, const TImageItems& res2, const std::string& dir) {
  const TPictureCollectionItem& tiles = FindPicture(res2, "Tiles");
  const std::string out = dir + "/tiles";
  std::filesystem::create_directories(out);

  // Numbered sheet, a gap between the tiles.
  constexpr int kGap = 14;
  TCanvas sheet(kSheetColumns * (tiles::kTile + kGap), kSheetColumns * (tiles::kTile + kGap));
  cairo_t* cr = sheet.Cr();
  cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
  cairo_paint(cr);
  SelectFont(cr, DisplayFace(12));
  for (int code = 0; code <= kLastCode; ++code) {
    const int x = (code % kSheetColumns) * (tiles::kTile + kGap), y = (code / kSheetColumns) * (tiles::kTile + kGap);
    DrawTile(sheet, tiles, code, x, y + kGap);
    cairo_set_source_rgb(cr, 0.9, 0.9, 0.85);
    cairo_move_to(cr, x + 2, y + kGap - 3);
    cairo_show_text(cr, std::to_string(code).c_str());
  }
  WritePng(sheet, out + "/sheet.png");

  // A town as the game builds it for a long level: the start, and the
  // first place of each piece further up.
  Randomize(kPreviewSeed);
  TrackLength = 1300;
  GenerateTrack();
  WriteTown(tiles, 1480, 308, 20, 30, out + "/town_start.png");
  for (const TSpot& spot : kSpots) {
    bool found = false;
    for (int row = MapRows - TrackLength; row < 1480 && !found; ++row)
      for (int col = 8; col + 8 < MapColumns && !found; ++col)
        if (Tile(row, col) == spot.Left && Tile(row, col + 1) == spot.Right) {
          WriteTown(tiles, row - 6, col - 6, 12, 14, out + "/town_" + spot.Name + ".png");
          found = true;
        }
  }
}
