// The town tiles as the generator writes them: "Tiles" holds a 72 x 72
// opaque pattern for every tile code, the tiles the track builder puts side
// by side meet without a seam, and the solid roadside tiles show something
// solid exactly where their obstacle rectangles are. Runs in the build
// folder, where the generator has written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

constexpr int kTile = 72;

const TPictureCollectionItem* Tiles() { return BuiltPicture(2, "Tiles"); }

uint32_t Pixel(int code, int x, int y) { return PatternPixel(*Tiles(), code, x, y); }

// How two tiles meet. Along their common edge, each pixel is compared with
// its neighbour across the edge, and the step is set against the steps to
// the next pixels inwards on either side: a roof's courses or a diagonal
// kerb change as fast inside a tile as across its edge, a seam only across.
struct TSeam {
  double Mean = 0;  // mean step beyond what the tiles show inside
  int Breaks = 0;   // pixels where the edge alone changes the material
};

TSeam Measure(int first, int second, bool sideBySide) {
  auto at = [&](int code, int across, int along) {
    return sideBySide ? Pixel(code, across, along) : Pixel(code, along, across);
  };
  TSeam seam;
  for (int i = 0; i < kTile; ++i) {
    const int cross = ChannelDistance(at(first, kTile - 1, i), at(second, 0, i));
    const int inside = std::max(ChannelDistance(at(first, kTile - 2, i), at(first, kTile - 1, i)),
                                ChannelDistance(at(second, 0, i), at(second, 1, i)));
    const int excess = std::max(0, cross - inside);
    seam.Mean += excess;
    if (excess > 48) ++seam.Breaks;
  }
  seam.Mean /= kTile;
  return seam;
}

bool Joins(const TSeam& seam) { return seam.Mean < 8 && seam.Breaks <= 6; }

struct TPair {
  int First, Second;
};

// Pairs the track builder lays side by side (first on the left) where one
// surface runs on across the edge: road, sidewalk, lawn, a wall. (Lawn
// meeting paving is a change of material at the edge and not measured, nor
// is a bus shelter or kiosk meeting the sidewalk: they are solid up to the
// sidewalk's edge and drawn so; the quarters of a house or yard object are
// cut from one picture.)
constexpr TPair kSideBySide[] = {
    // straight roads, their sidewalks, two roads after a split, side streets
    {1, 2}, {2, 3}, {3, 4}, {23, 1}, {4, 23}, {4, 1}, {24, 58}, {58, 1}, {4, 60}, {60, 24}, {24, 24},
    // six- and five-column roads and their transition lane
    {2, 21}, {21, 22}, {22, 3}, {1, 34}, {34, 22}, {21, 35}, {35, 4}, {1, 33}, {33, 4},
    // steps right and left with the sidewalk pieces beside them
    {25, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 26}, {28, 9}, {9, 10}, {10, 11}, {11, 12}, {12, 25},
    {27, 16}, {16, 15}, {15, 14}, {14, 13}, {13, 25}, {23, 20}, {20, 19}, {19, 18}, {18, 17}, {17, 29},
    // halves of the two steps side by side: splits, joins, medians, lanes
    {15, 7}, {7, 15}, {14, 6}, {8, 16}, {18, 10}, {10, 18}, {11, 19}, {17, 9},
    {33, 7}, {33, 10}, {15, 33}, {18, 33}, {7, 33}, {10, 33}, {33, 15}, {33, 18},
    // plazas, obstacles on their pads, lawn, walls and roofs
    {26, 24}, {24, 27}, {24, 25}, {25, 24}, {30, 31}, {31, 32}, {32, 30}, {0, 0}, {59, 0},
    {38, 0}, {48, 45}, {46, 36}, {40, 40},
};

// ... and one above the other (first on top).
constexpr TPair kStacked[] = {
    {1, 1}, {2, 2}, {3, 3}, {4, 4}, {23, 23}, {21, 21}, {22, 22}, {34, 34}, {35, 35},
    {5, 1}, {6, 2}, {7, 3}, {8, 4}, {28, 5}, {9, 6}, {10, 7}, {11, 8}, {12, 26}, {1, 9}, {2, 10}, {3, 11}, {4, 12},
    {16, 1}, {15, 2}, {14, 3}, {13, 4}, {20, 27}, {19, 16}, {18, 15}, {17, 14}, {29, 13},
    {1, 20}, {2, 19}, {3, 18}, {4, 17}, {23, 28}, {23, 25}, {25, 23}, {26, 25}, {25, 28}, {27, 25},
    // a drift going on: the next step's lower row on the last one's upper row
    {5, 9}, {6, 10}, {7, 11}, {8, 12}, {16, 20}, {15, 19}, {14, 18}, {13, 17},
    {21, 18}, {22, 10}, {7, 21}, {15, 22}, {33, 2}, {33, 3}, {33, 33}, {34, 33}, {35, 33}, {2, 33}, {3, 33},
    {23, 58}, {58, 23}, {23, 60}, {60, 23}, {27, 23}, {23, 29}, {24, 24}, {31, 30}, {32, 31},
    {0, 0}, {0, 40}, {40, 45}, {37, 0}, {48, 0}, {57, 0}, {0, 49},
};

// Pairs that do not belong together: road against sidewalk, a kerb against
// a lane line. The seam measure has to tell them apart.
constexpr TPair kMismatched[] = {{4, 2}, {23, 4}, {1, 23}, {2, 1}, {1, 1}, {4, 4}, {5, 2}, {1, 16}, {12, 4}};

TEST(GeneratedTileArt, OneOpaque72PixelPatternPerTileCode) {
  const TPictureCollectionItem* tiles = Tiles();
  ASSERT_NE(tiles, nullptr);
  EXPECT_FALSE(tiles->Transparent);
  EXPECT_EQ(tiles->PatternWidth, kTile);
  EXPECT_EQ(tiles->PatternHeight, kTile);
  EXPECT_GE(tiles->PatternCount(), 61);
}

TEST(GeneratedTileArt, NeighboursTheTrackBuilderLaysMeetWithoutSeams) {
  ASSERT_NE(Tiles(), nullptr);
  for (const TPair& p : kSideBySide) {
    const TSeam seam = Measure(p.First, p.Second, true);
    EXPECT_TRUE(Joins(seam)) << p.First << " | " << p.Second << ": mean " << seam.Mean << ", breaks " << seam.Breaks;
  }
  for (const TPair& p : kStacked) {
    const TSeam seam = Measure(p.First, p.Second, false);
    EXPECT_TRUE(Joins(seam)) << p.First << " over " << p.Second << ": mean " << seam.Mean << ", breaks "
                             << seam.Breaks;
  }
}

TEST(GeneratedTileArt, TilesThatDoNotBelongTogetherShowASeam) {
  ASSERT_NE(Tiles(), nullptr);
  for (const TPair& p : kMismatched)
    EXPECT_FALSE(Joins(Measure(p.First, p.Second, true))) << p.First << " | " << p.Second;
}

// Lawn is green above all; everything solid (brick, roofs, glass, painted
// metal) is not.
bool IsLawn(uint32_t rgb) {
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return g >= r + 6 && g >= b + 6;
}

// Paving looks like the sidewalk tile's own paving at the same spot.
bool IsPaving(int code, int x, int y) { return ChannelDistance(Pixel(code, x, y), Pixel(23, x, y)) <= 24; }

struct TSolid {
  int Code;
  int Left, Top, Right, Bottom;
  bool OnPaving;  // stands on a paved pad, which must not show inside it
};

// The obstacle rectangles of the solid tiles, relative to the tile.
constexpr TSolid kSolids[] = {
    {39, 37, 0, 72, 72, true}, {59, 0, 0, 35, 72, true}, {40, 0, 58, 72, 72, false}, {41, 65, 0, 72, 68, false},
    {42, 0, 0, 64, 64, false}, {43, 0, 0, 64, 64, false}, {44, 0, 0, 64, 64, false},
};

TEST(GeneratedTileArt, SolidTilesShowTheirObstacleWhereItStands) {
  ASSERT_NE(Tiles(), nullptr);
  constexpr int kBlur = 6;  // shadows and edging beside an obstacle
  for (const TSolid& s : kSolids) {
    int inside = 0, solidInside = 0, outside = 0, lawnOutside = 0;
    for (int y = 0; y < kTile; ++y)
      for (int x = 0; x < kTile; ++x) {
        const bool lawn = IsLawn(Pixel(s.Code, x, y));
        if (x >= s.Left && x < s.Right && y >= s.Top && y < s.Bottom) {
          ++inside;
          // Ground the car could seem to drive on: lawn, or the pad's
          // paving (a wall's concrete coping is not ground).
          solidInside += !lawn && !(s.OnPaving && IsPaving(s.Code, x, y));
        } else if (x < s.Left - kBlur || x >= s.Right + kBlur || y < s.Top - kBlur || y >= s.Bottom + kBlur) {
          ++outside;
          lawnOutside += lawn;
        }
      }
    EXPECT_GE(solidInside, inside * 85 / 100) << "tile " << s.Code << ": too little obstacle inside its rectangle, "
                                              << solidInside << " of " << inside;
    EXPECT_GE(lawnOutside, outside * 85 / 100) << "tile " << s.Code << ": obstacle drawn outside its rectangle";
  }
}

}  // namespace
