#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "shell/random.h"

namespace {

constexpr int kLevelLengths[] = {300, 500, 700, 900, 1100, 1300};

bool IsRoad(uint8_t t) { return (t >= 1 && t <= 22) || (t >= 33 && t <= 35); }

void Generate(uint32_t seed, int length) {
  Randomize(seed);
  TrackLength = length;
  GenerateTrack();
}

// Road tiles reachable from the start, walking between road tiles that share
// an edge.
std::vector<uint8_t> RoadReachableFromStart() {
  std::vector<uint8_t> seen(MapRows * MapColumns + 1, 0);
  std::vector<std::pair<int, int>> todo{{1499, 321}};
  seen[(1499 - 1) * MapColumns + 320] = 1;
  while (!todo.empty()) {
    const auto [r, c] = todo.back();
    todo.pop_back();
    for (const auto& [dr, dc] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
      const int nr = r + dr, nc = c + dc;
      if (!InsideMap(nr, nc) || !IsRoad(Tile(nr, nc))) continue;
      uint8_t& s = seen[(nr - 1) * MapColumns + (nc - 1)];
      if (s) continue;
      s = 1;
      todo.push_back({nr, nc});
    }
  }
  return seen;
}

// What a level start relies on: the straight start under the view, a road
// the car can follow from the start to the top, the edge tiles the finish
// line and the traffic look for, and nothing but known tiles.
testing::AssertionResult TownIsRaceable(int length) {
  auto fail = [] { return testing::AssertionFailure(); };
  if (MapRow != 1488 || MapCol != 318) return fail() << "view at " << MapRow << "," << MapCol;
  for (int r = 1480; r <= 1499; ++r)
    for (int i = 0; i < 4; ++i)
      if (Tile(r, 321 + i) != i + 1) return fail() << "start straight broken at row " << r;
  // Sidewalks line the straight start, opening where a side street leaves.
  for (int r = 1480; r <= 1498; ++r) {
    if (Tile(r, 320) != 23 && Tile(r, 320) != 58) return fail() << "no sidewalk left of the start, row " << r;
    if (Tile(r, 325) != 23 && Tile(r, 325) != 60) return fail() << "no sidewalk right of the start, row " << r;
  }
  for (int c = 1; c <= MapColumns; ++c)
    if (IsRoad(Tile(1500, c))) return fail() << "road below the start in column " << c;
  const int top = 1500 - length;
  for (int r = 1; r <= MapRows; ++r)
    for (int c = 1; c <= MapColumns; ++c) {
      const uint8_t t = Tile(r, c);
      if (t > 60) return fail() << "unknown tile " << int(t) << " at " << r << "," << c;
      if (r < top && t != 0) return fail() << "tile " << int(t) << " above the town at " << r << "," << c;
    }
  const std::vector<uint8_t> reached = RoadReachableFromStart();
  auto reachedAt = [&](int r, int c) { return reached[(r - 1) * MapColumns + (c - 1)] != 0; };
  bool topReached = false;
  for (int c = 1; c <= MapColumns; ++c) topReached = topReached || reachedAt(top, c);
  if (!topReached) return fail() << "the road from the start does not reach row " << top;
  const int finish = 1550 - length;
  int left = 0, right = 0;
  for (int c = 1; c <= MapColumns && !left; ++c)
    if (Tile(finish, c) == 1) left = c;
  for (int c = MapColumns; c >= 1 && !right; --c)
    if (Tile(finish, c) == 4) right = c;
  if (!left || !right || left >= right) return fail() << "finish row edges " << left << ".." << right;
  if (!reachedAt(finish, left) || !reachedAt(finish, right)) return fail() << "finish edges off the road";
  bool trafficEdge = false;
  for (int c = 1; c <= MapColumns; ++c) trafficEdge = trafficEdge || Tile(1536 - length, c) == 1;
  if (!trafficEdge) return fail() << "no left edge tile in row " << 1536 - length;
  return testing::AssertionSuccess();
}

TEST(TrackGenerator, EveryLevelLengthGivesARaceableTownForManySeeds) {
  std::array<bool, 61> seenCodes{};
  for (const int length : kLevelLengths) {
    for (uint32_t seed = 1; seed <= 50; ++seed) {
      Generate(seed * 2654435761u, length);
      ASSERT_TRUE(TownIsRaceable(length)) << "length " << length << ", seed " << seed;
      for (int i = 0; i < MapRows * MapColumns; ++i) seenCodes[TrackMap[i]] = true;
    }
  }
  // Every kind of road piece, roadside building, plaza and yard shows up.
  for (int code = 0; code <= 60; ++code) EXPECT_TRUE(seenCodes[code]) << "tile " << code << " never built";
}

TEST(TrackGenerator, SameSeedSameTown) {
  Generate(777, 1300);
  const std::vector<uint8_t> first(TrackMap, TrackMap + MapRows * MapColumns);
  Generate(12, 500);
  Generate(777, 1300);
  EXPECT_EQ(0, std::memcmp(first.data(), TrackMap, first.size()));
  Generate(778, 1300);
  EXPECT_NE(0, std::memcmp(first.data(), TrackMap, first.size()));
}

// ---- Road pieces, laid from a prepared road ---------------------------------

struct RowCodes {
  int Row, Column;
  std::vector<uint8_t> Codes;
};

struct PieceCase {
  const char* What;
  int Kind;
  std::vector<uint8_t> Start;  // the road in rows 1480..1499 from column 321
  std::vector<RowCodes> Expect;
};

void PrintTo(const PieceCase& c, std::ostream* os) { *os << c.What; }

class RoadPieceTest : public testing::TestWithParam<PieceCase> {};

// The pieces start on the first row after the start, before any piece is
// chosen at random; a transition lays several rows and the next row carries
// on from its top.
TEST_P(RoadPieceTest, LaysItsPattern) {
  const PieceCase& c = GetParam();
  std::memset(TrackMap, 255, sizeof TrackMap);
  for (int r = 1480; r <= 1499; ++r)
    for (size_t i = 0; i < c.Start.size(); ++i) Tile(r, 321 + static_cast<int>(i)) = c.Start[i];
  Randomize(5);
  SetSegment(c.Kind);
  GrowTown(TTownGrid{TrackMap, MapColumns}, 1300);
  for (const RowCodes& e : c.Expect)
    for (size_t i = 0; i < e.Codes.size(); ++i)
      EXPECT_EQ(Tile(e.Row, e.Column + static_cast<int>(i)), e.Codes[i])
          << "row " << e.Row << ", column " << e.Column + static_cast<int>(i);
}

const std::vector<uint8_t> kPlain{1, 2, 3, 4};

INSTANTIATE_TEST_SUITE_P(
    Pieces, RoadPieceTest,
    testing::Values(
        PieceCase{"drift left", 2, kPlain,
                  {{1479, 321, {16, 15, 14, 13}}, {1478, 320, {20, 19, 18, 17}}, {1477, 320, {16, 15, 14, 13}}}},
        PieceCase{"drift right", 3, kPlain,
                  {{1479, 321, {5, 6, 7, 8}}, {1478, 322, {9, 10, 11, 12}}, {1477, 322, {5, 6, 7, 8}}}},
        PieceCase{"split",
                  4,
                  kPlain,
                  {{1479, 321, {16, 15, 7, 8}},
                   {1478, 320, {20, 19, 18, 10, 11, 12}},
                   {1477, 320, {16, 15, 14, 6, 7, 8}},
                   {1476, 319, {20, 19, 18, 17, 9, 10, 11, 12}},
                   {1475, 319, {1, 2, 3, 4, 1, 2, 3, 4}},
                   {1474, 319, {1, 2, 3, 4, 1, 2, 3, 4}}}},
        // The join's straight is laid from the moved row, so two stray lane
        // tiles join the road on its left.
        PieceCase{"join",
                  5,
                  {1, 2, 3, 4, 1, 2, 3, 4},
                  {{1479, 321, {5, 6, 7, 8, 16, 15, 14, 13}},
                   {1478, 322, {9, 10, 11, 19, 18, 17}},
                   {1477, 322, {5, 6, 7, 15, 14, 13}},
                   {1476, 323, {9, 10, 18, 17}},
                   {1475, 321, {1, 2, 1, 2, 3, 4}},
                   {1474, 321, {1, 2, 1, 2, 3, 4}}}},
        PieceCase{"join on a single road", 5, kPlain, {{1479, 321, {1, 2, 3, 4}}, {1478, 321, {1, 2, 3, 4}}}},
        PieceCase{"median",
                  6,
                  kPlain,
                  {{1479, 321, {16, 15, 7, 8}},
                   {1478, 320, {20, 19, 18, 10, 11, 12}},
                   {1477, 320, {1, 2, 21, 22, 3, 4}},
                   {1476, 320, {1, 2, 21, 22, 3, 4}}}},
        PieceCase{"close the median",
                  7,
                  {1, 2, 21, 22, 3, 4},
                  {{1479, 321, {5, 6, 7, 15, 14, 13}},
                   {1478, 322, {9, 10, 18, 17}},
                   {1477, 322, {1, 2, 3, 4}},
                   {1476, 322, {1, 2, 3, 4}}}},
        PieceCase{"lane on the right",
                  8,
                  kPlain,
                  {{1479, 321, {1, 33, 7, 8}},
                   {1478, 321, {1, 33, 10, 11, 12}},
                   {1477, 321, {1, 34, 22, 3, 4}},
                   {1476, 321, {1, 34, 22, 3, 4}}}},
        PieceCase{"drop the right lane",
                  9,
                  {1, 34, 22, 3, 4},
                  {{1479, 321, {1, 33, 15, 14, 13}},
                   {1478, 321, {1, 33, 18, 17}},
                   {1477, 321, {1, 2, 3, 4}},
                   {1476, 321, {1, 2, 3, 4}}}},
        PieceCase{"lane on the left",
                  10,
                  kPlain,
                  {{1479, 321, {16, 15, 33, 4}},
                   {1478, 320, {20, 19, 18, 33, 4}},
                   {1477, 320, {1, 2, 21, 35, 4}},
                   {1476, 320, {1, 2, 21, 35, 4}}}},
        PieceCase{"drop the left lane",
                  11,
                  {1, 2, 21, 35, 4},
                  {{1479, 321, {5, 6, 7, 33, 4}},
                   {1478, 322, {9, 10, 33, 4}},
                   {1477, 322, {1, 2, 3, 4}},
                   {1476, 322, {1, 2, 3, 4}}}}));

// ---- The map's edges ---------------------------------------------------------

struct EdgeCase {
  const char* What;
  int StartColumn;
  int Kind;
  int Side;  // the map column the road or a side street runs into
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.What; }

class MapEdgeTest : public testing::TestWithParam<EdgeCase> {};

// A town grown from a road at the map's side, inside a bigger buffer: the
// buffer around the map stays untouched, and the town comes out the same
// whether the buffer holds road tiles or anything else, so nothing outside
// the map is read either.
TEST_P(MapEdgeTest, NothingOutsideTheMapIsReadOrWritten) {
  const EdgeCase& c = GetParam();
  constexpr int kMarginRows = 8, kMarginColumns = 32;
  constexpr int kStride = MapColumns + 2 * kMarginColumns;
  const size_t size = static_cast<size_t>(MapRows + 2 * kMarginRows) * kStride;
  auto grow = [&](uint32_t seed, uint8_t around, std::vector<uint8_t>& buffer) {
    buffer.assign(size, around);
    const TTownGrid grid{buffer.data() + kMarginRows * kStride + kMarginColumns, kStride};
    for (int r = 1; r <= MapRows; ++r) std::memset(grid.Cells + (r - 1) * kStride, 255, MapColumns);
    for (int r = 1480; r <= 1499; ++r)
      for (int i = 0; i < 4; ++i) grid.Cells[(r - 1) * kStride + c.StartColumn + i - 1] = static_cast<uint8_t>(i + 1);
    Randomize(seed);
    SetSegment(c.Kind);
    GrowTown(grid, 1300);
  };
  auto at = [&](const std::vector<uint8_t>& buffer, int r, int col) {
    return buffer[(r - 1 + kMarginRows) * kStride + (col - 1 + kMarginColumns)];
  };
  bool sideReached = false;
  std::vector<uint8_t> amidCanaries, amidRoad;
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    grow(seed, 0xA5, amidCanaries);
    grow(seed, 1, amidRoad);
    int strays = 0, unknown = 0, differ = 0;
    for (int r = 1 - kMarginRows; r <= MapRows + kMarginRows; ++r)
      for (int col = 1 - kMarginColumns; col <= MapColumns + kMarginColumns; ++col) {
        const uint8_t t = at(amidCanaries, r, col);
        if (!InsideMap(r, col)) {
          strays += t != 0xA5 || at(amidRoad, r, col) != 1;
          continue;
        }
        unknown += t > 60;
        differ += t != at(amidRoad, r, col);
        sideReached = sideReached || (col == c.Side && (IsRoad(t) || t == 24));
      }
    EXPECT_EQ(strays, 0) << "tiles written outside the map, seed " << seed;
    EXPECT_EQ(unknown, 0) << "unknown tiles, seed " << seed;
    EXPECT_EQ(differ, 0) << "the town depends on what lies outside the map, seed " << seed;
  }
  EXPECT_TRUE(sideReached) << "the town never reached column " << c.Side;
}

INSTANTIATE_TEST_SUITE_P(Sides, MapEdgeTest,
                         testing::Values(EdgeCase{"split at the left side", 1, 4, 1},
                                         EdgeCase{"drift off the left side", 2, 2, 1},
                                         EdgeCase{"median at the left side", 1, 6, 1},
                                         EdgeCase{"streets off the left side", 10, 1, 1},
                                         EdgeCase{"split at the right side", 645, 4, MapColumns},
                                         EdgeCase{"lane at the right side", 647, 8, MapColumns},
                                         EdgeCase{"drift off the right side", 647, 3, MapColumns},
                                         EdgeCase{"streets off the right side", 636, 1, MapColumns}));

// ---- Reading the map ----------------------------------------------------------

TEST(TrackMapReading, TileAtRoundsTheWorldPointAndIsGroundOffTheMap) {
  std::memset(TrackMap, 0, sizeof TrackMap);
  Tile(1, 2) = 11;
  Tile(2, 2) = 12;
  Tile(2, 3) = 13;
  Tile(1500, 650) = 14;
  struct Case {
    double Y, X;
    uint8_t Tile;
  };
  const Case cases[] = {
      {72, 144, 11},            // a tile's top-left corner belongs to it
      {143.4, 215.4, 11},       // still above and left of the next tile
      {143.5, 144, 12},         // rounds up into the next row
      {143.5, 215.5, 13},       // and into the next column
      {72 * 1500 + 71.4, 72 * 650 + 71.4, 14},
      {72 * 1500 + 71.5, 72 * 650, 0},  // rounds into row 1501
      {71.4, 144, 0},           // row 0
      {-30, 144, 0},
      {144, 71.4, 0},           // column 0
      {144, 72.0 * 651, 0},
      {1e12, -1e12, 0},
  };
  for (const Case& k : cases) EXPECT_EQ(TileAt(k.Y, k.X), k.Tile) << "y " << k.Y << ", x " << k.X;
}

TEST(TrackMapReading, AreaEmptyNeedsEveryTileUnbuiltAndInsideTheMap) {
  std::memset(TrackMap, 255, sizeof TrackMap);
  Tile(100, 200) = 0;
  struct Case {
    int Column, Row, Rows, Columns;
    bool Empty;
  };
  const Case cases[] = {
      {195, 95, 5, 5, true},    // ends just left of and above the built tile
      {196, 96, 5, 5, false},   // its last row and column reach it
      {200, 100, 1, 1, false},
      {201, 96, 5, 5, true},
      {200, 101, 4, 4, true},
      {195, 100, 1, 5, true},   // one row, ends beside it
      {196, 100, 1, 5, false},
      {1, 1, 5, 5, true},
      {646, 1496, 5, 5, true},  // the map's last corner
      {647, 1496, 5, 5, false}, // one column past the right side
      {646, 1497, 5, 5, false}, // one row past the bottom
      {0, 10, 4, 4, false},
      {10, 0, 4, 4, false},
  };
  for (const Case& k : cases)
    EXPECT_EQ(AreaEmpty(k.Column, k.Row, k.Rows, k.Columns), k.Empty)
        << "column " << k.Column << ", row " << k.Row << ", " << k.Rows << " x " << k.Columns;
}

}  // namespace
