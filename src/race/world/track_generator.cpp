#include "race/world/track_generator.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "race/world/track_map.h"
#include "shell/random.h"

int TrackLength = 300;
int (*TownRandom)(int n) = Random;
int SegmentKind = 1;
int SegmentRowsLeft = 6;

void SetSegment(int kind) {
  SegmentKind = kind;
  SegmentRowsLeft = kind <= 3 ? 6 : 20;
}

namespace {

// A tile nothing has been built on yet; the last pass turns what is left
// into plain ground.
constexpr uint8_t kUnbuilt = 255;

// What the builder finds beyond the map's edges: plain ground. It is
// neither road, sidewalk nor unbuilt, so no road continues, no sidewalk is
// lined and no building finds room across an edge, and every write that
// would land outside is dropped. A road drifting into the edge simply loses
// its outer tiles; everything inside the map is built as anywhere else.
constexpr uint8_t kBeyondEdge = 0;

constexpr int kStartRow = 1480;
constexpr int kLastRoadsideColumn = 644;

class TTown {
 public:
  explicit TTown(TTownGrid grid) : cells_(grid.Cells), stride_(grid.Stride) {}

  uint8_t Get(int row, int column) const { return InsideMap(row, column) ? *At(row, column) : kBeyondEdge; }
  // For the roadside, plaza and yard tests, whose anchors keep every tile
  // they look at inside the map.
  uint8_t Peek(int row, int column) const { return *At(row, column); }
  void Put(int row, int column, uint8_t code) {
    if (InsideMap(row, column)) *At(row, column) = code;
  }
  // Codes into consecutive tiles of one row, from column on to the right.
  void PutRun(int row, int column, std::initializer_list<uint8_t> codes) {
    for (uint8_t code : codes) Put(row, column++, code);
  }
  // Codes into consecutive tiles of one column, from row on downwards.
  void PutColumn(int row, int column, std::initializer_list<uint8_t> codes) {
    for (uint8_t code : codes) Put(row++, column, code);
  }
  // Columns from .. to of one row become code.
  void Fill(int row, int from, int to, uint8_t code) {
    from = std::max(from, 1);
    to = std::min(to, MapColumns);
    if (from > to || static_cast<unsigned>(row - 1) >= static_cast<unsigned>(MapRows)) return;
    std::memset(At(row, from), code, static_cast<size_t>(to - from + 1));
  }
  // Rows row .. row + rows - 1 of one column, all inside the map, hold code.
  bool ColumnHolds(int column, int row, int rows, uint8_t code) const {
    for (int r = row; r < row + rows; ++r)
      if (Peek(r, column) != code) return false;
    return true;
  }
  bool Empty(int column, int row, int rows, int columns) const {
    if (rows <= 0 || columns <= 0) return true;
    if (!InsideMap(row, column) || !InsideMap(row + rows - 1, column + columns - 1)) return false;
    for (int r = row; r < row + rows; ++r) {
      const uint8_t* p = At(r, column);
      int n = columns;
      for (; n >= 4; n -= 4, p += 4) {
        uint32_t four;
        std::memcpy(&four, p, 4);
        if (four != 0xFFFFFFFFu) return false;
      }
      for (; n > 0; --n, ++p)
        if (*p != kUnbuilt) return false;
    }
    return true;
  }
  uint8_t* RowStart(int row) const { return cells_ + static_cast<ptrdiff_t>(row - 1) * stride_; }
  uint8_t* At(int row, int column) const { return RowStart(row) + (column - 1); }

 private:
  uint8_t* cells_;
  ptrdiff_t stride_;
};

// ---- The road -------------------------------------------------------------

void ChooseNextSegment() {
  static constexpr int kAfterStraight[7] = {1, 2, 3, 4, 6, 8, 10};
  switch (SegmentKind) {
    case 1: SetSegment(kAfterStraight[TownRandom(7)]); break;
    case 2: SetSegment(TownRandom(2) == 1 ? 1 : 2); break;
    case 3: SetSegment(TownRandom(2) == 1 ? 1 : 3); break;
    case 4: SetSegment(TownRandom(2) == 1 ? 5 : 4); break;
    case 6: SetSegment(TownRandom(2) == 1 ? 7 : 6); break;
    case 8: SetSegment(TownRandom(2) == 1 ? 9 : 8); break;
    case 10: SetSegment(TownRandom(2) == 1 ? 11 : 10); break;
    default: break;  // joins and closings end by their own rules
  }
}

// Near the finish every piece winds down so the road ends as one straight.
void ForceStraight() {
  switch (SegmentKind) {
    case 1:
    case 2:
    case 3: SetSegment(1); break;
    case 4: SetSegment(5); break;
    case 6: SetSegment(7); break;
    case 8: SetSegment(9); break;
    case 10: SetSegment(11); break;
    default: break;
  }
}

struct TStep {
  int Shift;     // column of the new tile relative to the old one
  uint8_t Code;  // 0: the tile is not continued
};

// The straights and drifts carry every road tile one row up. A step tile
// (5..8 to the right, 13..16 to the left) is finished one column over, except
// by a drift the other way.
TStep ContinueRoad(int kind, uint8_t t) {
  const bool stepRight = t >= 5 && t <= 8;
  const bool stepLeft = t >= 13 && t <= 16;
  switch (kind) {
    case 1:
      switch (t) {
        case 1: case 9: case 20: return {0, 1};
        case 2: case 10: case 19: return {0, 2};
        case 3: case 11: case 18: return {0, 3};
        case 4: case 12: case 17: return {0, 4};
        default: break;
      }
      if (stepRight) return {1, static_cast<uint8_t>(t + 4)};
      if (stepLeft) return {-1, static_cast<uint8_t>(t + 4)};
      break;
    case 2:
      switch (t) {
        case 1: case 20: return {0, 16};
        case 2: case 19: return {0, 15};
        case 3: case 18: return {0, 14};
        case 4: case 17: return {0, 13};
        default: break;
      }
      if (stepLeft) return {-1, static_cast<uint8_t>(t + 4)};
      break;
    case 3:
      switch (t) {
        case 1: case 9: return {0, 5};
        case 2: case 10: return {0, 6};
        case 3: case 11: return {0, 7};
        case 4: case 12: return {0, 8};
        default: break;
      }
      if (stepRight) return {1, static_cast<uint8_t>(t + 4)};
      break;
    default: break;
  }
  return {0, 0};
}

// The shaping kinds act at a road's left edge tile (column k of row p). Both
// tests of a kind look at row p as it was when the column's turn came, except
// that the second test of a split or a join looks at the row the first one
// moved to. A transition lays several rows at once and moves p up past them.
void ShapeRoad(TTown& town, int& p, int k) {
  const int p0 = p;
  switch (SegmentKind) {
    case 4:  // split
      if (town.Get(p0, k + 4) != 1 && town.Get(p0, k - 4) != 1) {
        town.PutRun(p - 1, k, {16, 15, 7, 8});
        town.PutRun(p - 2, k - 1, {20, 19, 18, 10, 11, 12});
        town.PutRun(p - 3, k - 1, {16, 15, 14, 6, 7, 8});
        town.PutRun(p - 4, k - 2, {20, 19, 18, 17, 9, 10, 11, 12});
        town.PutRun(p - 5, k - 2, {1, 2, 3, 4, 1, 2, 3, 4});
        p -= 4;
      }
      if (town.Get(p, k + 4) == 1) town.PutRun(p - 1, k, {1, 2, 3, 4, 1, 2, 3, 4});
      break;
    case 5:  // join
      if (town.Get(p0, k + 4) == 1) {
        town.PutRun(p - 1, k, {5, 6, 7, 8, 16, 15, 14, 13});
        town.PutRun(p - 2, k + 1, {9, 10, 11, 19, 18, 17});
        town.PutRun(p - 3, k + 1, {5, 6, 7, 15, 14, 13});
        town.PutRun(p - 4, k + 2, {9, 10, 18, 17});
        town.PutRun(p - 5, k + 2, {1, 2, 3, 4});
        p -= 4;
      }
      if (town.Get(p, k + 4) != 1 && town.Get(p, k - 4) != 1) {
        town.PutRun(p - 1, k, {1, 2, 3, 4});
        SetSegment(1);
      }
      break;
    case 6:  // median
      if (town.Get(p0, k + 2) == 21) town.PutRun(p - 1, k, {1, 2, 21, 22, 3, 4});
      if (town.Get(p0, k + 2) != 21) {
        town.PutRun(p - 1, k, {16, 15, 7, 8});
        town.PutRun(p - 2, k - 1, {20, 19, 18, 10, 11, 12});
        town.PutRun(p - 3, k - 1, {1, 2, 21, 22, 3, 4});
        p -= 2;
      }
      break;
    case 7:  // close the median
      if (town.Get(p0, k + 2) != 21) {
        town.PutRun(p - 1, k, {1, 2, 3, 4});
        SetSegment(1);
      }
      if (town.Get(p0, k + 2) == 21) {
        town.PutRun(p - 1, k, {5, 6, 7, 15, 14, 13});
        town.PutRun(p - 2, k + 1, {9, 10, 18, 17});
        town.PutRun(p - 3, k + 1, {1, 2, 3, 4});
        p -= 2;
      }
      break;
    case 8:  // lane on the right
      if (town.Get(p0, k + 2) == 22) town.PutRun(p - 1, k, {1, 34, 22, 3, 4});
      if (town.Get(p0, k + 2) == 3) {
        town.PutRun(p - 1, k, {1, 33, 7, 8});
        town.PutRun(p - 2, k, {1, 33, 10, 11, 12});
        town.PutRun(p - 3, k, {1, 34, 22, 3, 4});
        p -= 2;
      }
      break;
    case 9:  // drop the right lane
      if (town.Get(p0, k + 2) == 3) {
        town.PutRun(p - 1, k, {1, 2, 3, 4});
        SetSegment(1);
      }
      if (town.Get(p0, k + 2) == 22) {
        town.PutRun(p - 1, k, {1, 33, 15, 14, 13});
        town.PutRun(p - 2, k, {1, 33, 18, 17});
        town.PutRun(p - 3, k, {1, 2, 3, 4});
        p -= 2;
      }
      break;
    case 10:  // lane on the left
      if (town.Get(p0, k + 2) == 21) town.PutRun(p - 1, k, {1, 2, 21, 35, 4});
      if (town.Get(p0, k + 2) == 3) {
        town.PutRun(p - 1, k, {16, 15, 33, 4});
        town.PutRun(p - 2, k - 1, {20, 19, 18, 33, 4});
        town.PutRun(p - 3, k - 1, {1, 2, 21, 35, 4});
        p -= 2;
      }
      break;
    case 11:  // drop the left lane
      if (town.Get(p0, k + 2) == 3) {
        town.PutRun(p - 1, k, {1, 2, 3, 4});
        SetSegment(1);
      }
      if (town.Get(p0, k + 2) == 21) {
        town.PutRun(p - 1, k, {5, 6, 7, 33, 4});
        town.PutRun(p - 2, k + 1, {9, 10, 33, 4});
        town.PutRun(p - 3, k + 1, {1, 2, 3, 4});
        p -= 2;
      }
      break;
    default: break;
  }
}

// Row p holds road; each sweep lays the row above it, reading row p as the
// kind may have moved it during the sweep.
void LayRoad(TTown& town, int length) {
  int p = kStartRow;
  while (p >= 1501 - length) {
    if (SegmentRowsLeft == 0) ChooseNextSegment();
    if (p < 1600 - length) ForceStraight();
    for (int k = 1; k <= MapColumns && InsideMap(p, 1); ++k) {
      const uint8_t* row = town.RowStart(p);
      while (k <= MapColumns && row[k - 1] == kUnbuilt) ++k;
      if (k > MapColumns) break;
      const uint8_t t = row[k - 1];
      if (SegmentKind <= 3) {
        const TStep step = ContinueRoad(SegmentKind, t);
        if (step.Code != 0) town.Put(p - 1, k + step.Shift, step.Code);
      } else if (t == 1) {
        ShapeRoad(town, p, k);
      }
    }
    SegmentRowsLeft -= 1;
    p -= 1;
  }
}

// ---- The roadside ----------------------------------------------------------

// Sidewalks along the road and across its steps, on the unbuilt tile (r, c).
// Each test reads its neighbours as the tests before it left them.
void LineRoad(TTown& town, int r, int c) {
  if (town.Peek(r, c) != kUnbuilt) return;
  // Only these neighbours start a rule; the rules change a left neighbour
  // only into a sidewalk, which starts none.
  static constexpr auto kCue = [] {
    std::array<uint8_t, 256> cue{};
    for (int t : {1, 9, 20, 5, 16}) cue[t] |= 1;
    for (int t : {4, 12, 8, 17, 13}) cue[t] |= 2;
    return cue;
  }();
  if (!(kCue[town.Peek(r, c + 1)] & 1) && !(kCue[town.Peek(r, c - 1)] & 2)) return;
  const int farLeft = c < 25 ? 1 : c - 9;
  const int farRight = c < 624 ? c + 11 : MapColumns;
  if (town.Get(r, c + 1) == 1) town.Put(r, c, 23);
  if (town.Get(r, c + 1) == 9) {
    town.Put(r, c, 28);
    town.Put(r, c - 1, 26);
  }
  if (town.Get(r, c + 1) == 20) town.Put(r, c, 23);
  if (town.Get(r, c + 1) == 5) {
    town.Put(r, c, 25);
    town.Fill(r, farLeft, c - 1, 24);
  }
  if (town.Get(r, c + 1) == 16) {
    town.Put(r, c, 27);
    town.Put(r, c - 1, 25);
    town.Fill(r, farLeft, c - 2, 24);
  }
  if (town.Get(r, c - 1) == 4) town.Put(r, c, 23);
  if (town.Get(r, c - 1) == 12) town.Put(r, c, 25);
  if (town.Get(r, c - 1) == 8) {
    town.Put(r, c, 26);
    town.Put(r, c + 1, 28);
  }
  if (town.Get(r, c - 1) == 17) {
    town.Put(r, c, 29);
    town.Put(r, c + 1, 27);
  }
  if (town.Get(r, c - 1) == 13) {
    town.Put(r, c, 25);
    town.Fill(r, c + 1, farRight, 24);
  }
  if (town.Get(r, c - 1) == 12) town.Fill(r, c + 1, farRight, 24);
}

bool IsWalk(uint8_t code) { return code == 24 || code == 25; }

// Gaps between sidewalk strips and the loose ends of the strips, anchored at
// (s, d).
void CloseGaps(TTown& town, int s, int d) {
  if (IsWalk(town.Peek(s, d)) && town.Peek(s + 1, d) == kUnbuilt && IsWalk(town.Peek(s + 2, d)))
    town.Put(s + 1, d, static_cast<uint8_t>(30 + TownRandom(3)));
  if (town.Peek(s, d + 1) == 24 && town.Peek(s, d) == kUnbuilt && town.Peek(s + 1, d) == kUnbuilt &&
      town.Peek(s + 1, d + 1) == kUnbuilt) {
    town.Put(s, d, 36);
    town.Put(s + 1, d, 37);
    town.Put(s + 1, d + 1, 38);
  }
  if (town.Peek(s, d - 1) == 24 && town.Peek(s, d) == kUnbuilt && town.Peek(s + 1, d) == kUnbuilt &&
      town.Peek(s + 1, d + 1) == kUnbuilt) {
    town.Put(s - 1, d, 36);
    town.Put(s, d, 37);
    town.Put(s, d + 1, 38);
  }
}

// Buildings beside the sidewalks, anchored at (s, d); choice is this tile's
// draw of three.
void Build(TTown& town, int s, int d, int choice) {
  if (choice == 2) {
    // Posts on the tile beside a sidewalk, their solid half towards it.
    const bool postsRight = town.ColumnHolds(d + 1, s, 4, 23);
    const bool postsLeft = town.ColumnHolds(d - 1, s, 4, 23);
    if ((!postsRight && !postsLeft) || !town.Empty(d, s, 5, 1)) return;
    if (postsRight) town.PutColumn(s, d, {0, 39, 32, 39, 0});
    if (postsLeft) town.PutColumn(s, d, {0, 59, 32, 59, 0});
    return;
  }
  const bool walkRight = town.ColumnHolds(d + 4, s, 4, 23);
  const bool walkLeft = town.ColumnHolds(d - 1, s, 4, 23);
  if ((!walkRight && !walkLeft) || !town.Empty(d, s, 4, 4)) return;
  if (choice == 0) {
    town.PutRun(s, d, {0, 40, 40, 40});
    town.PutRun(s + 1, d, {41, 45, 46, 44});
    town.PutRun(s + 2, d, {41, 47, 48, 44});
    town.PutRun(s + 3, d, {41, 42, 42, 43});
    return;
  }
  town.PutRun(s + 1, d + 1, {49, 50, 51});
  town.PutRun(s + 2, d + 1, {52, 53, 54});
  town.PutRun(s + 3, d + 1, {55, 56, 57});
  if (walkRight && TownRandom(2) == 0) {
    town.Put(s, d + 4, 58);
    town.Fill(s, d - 17, d + 3, 24);
  }
  if (walkLeft && TownRandom(2) == 0) {
    town.Put(s, d - 1, 60);
    town.Fill(s, d, d + 20, 24);
  }
}

uint64_t Load8(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

void Store8(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }

// True when the tiles every roadside rule of tile (r, c) starts from are all
// unbuilt: the tile and its two neighbours, and columns c .. c + 5 of the row
// below (checked with one more tile to the right). Such a tile, far from any
// road or sidewalk, only draws its number.
bool QuietTile(const TTown& town, int r, int c) {
  uint32_t here, below;
  uint16_t belowRight;
  std::memcpy(&here, town.At(r, c - 1), 4);
  std::memcpy(&below, town.At(r + 1, c), 4);
  std::memcpy(&belowRight, town.At(r + 1, c + 4), 2);
  return (here & below) == 0xFFFFFFFFu && belowRight == 0xFFFF;
}

void RoadsideTile(TTown& town, int r, int c) {
  if (r <= 1494 && QuietTile(town, r, c)) {
    static_cast<void>(TownRandom(3));
    return;
  }
  LineRoad(town, r, c);
  if (r <= 1496) CloseGaps(town, r + 1, c + 1);
  if (r <= 1494) Build(town, r + 1, c + 1, TownRandom(3));
}

void LayRoadside(TTown& town, int length) {
  for (int r = 1498; r >= 1500 - length; --r)
    for (int c = 2; c <= kLastRoadsideColumn; ++c) RoadsideTile(town, r, c);
}

// ---- Plazas, yards, ground ---------------------------------------------------

// Scans rows top .. 1496 top to bottom and columns 1 .. 645 left to right for
// Size x Size areas of unbuilt tiles; where take() agrees, lay(s, d) builds a
// block Width columns wide whose top row is built across. A row's free areas
// are found all at once from its Size rows, then taken left to right.
template <int Size, int Width, class TTake, class TLay>
void FillFreeAreas(TTown& town, int top, TTake take, TLay lay) {
  static_assert(Width <= Size, "a block must cover the next anchors' areas");
  constexpr int kLastAnchor = 645;
  constexpr int kWords = MapColumns / 8;  // whole 8-column words in a row
  // Per column, the AND of the Size rows' tiles: 255 only where all are
  // unbuilt; the padding past the last column counts as built.
  std::array<uint8_t, kWords * 8 + 16> columnAll{};
  // Per anchor, the AND over the Size columns from it.
  std::array<uint8_t, kWords * 8> areaAll{};
  for (int s = std::max(top, 1); s <= 1496; ++s) {
    const uint8_t* rows[Size];
    for (int i = 0; i < Size; ++i) rows[i] = town.RowStart(s + i);
    for (int c = 0; c < MapColumns; c += 8) {
      if (c + 8 <= MapColumns) {
        uint64_t all = Load8(rows[0] + c);
        for (int i = 1; i < Size; ++i) all &= Load8(rows[i] + c);
        Store8(columnAll.data() + c, all);
      } else {
        for (int k = c; k < MapColumns; ++k) {
          uint8_t all = rows[0][k];
          for (int i = 1; i < Size; ++i) all &= rows[i][k];
          columnAll[k] = all;
        }
      }
    }
    for (int d = 0; d < kWords * 8; d += 8) {
      uint64_t all = Load8(columnAll.data() + d);
      for (int i = 1; i < Size; ++i) all &= Load8(columnAll.data() + d + i);
      Store8(areaAll.data() + d, all);
    }
    for (int d = 0; d < kLastAnchor; ++d) {
      const void* next = std::memchr(areaAll.data() + d, kUnbuilt, kLastAnchor - d);
      if (!next) break;
      d = static_cast<int>(static_cast<const uint8_t*>(next) - areaAll.data());
      if (!take()) continue;
      lay(s, d + 1);
      // The areas anchored on the block's other columns all hold its top row;
      // those further right are untouched by it.
      d += Width - 1;
    }
  }
}

void LayPlazas(TTown& town, int length) {
  FillFreeAreas<5, 5>(
      town, 1500 - length, [] { return TownRandom(4) == 0; },
      [&](int s, int d) {
        town.PutRun(s, d, {26, 24, 24, 24, 27});
        for (int r = s + 1; r <= s + 3; ++r) {
          town.Put(r, d, 23);
          for (int c = d + 1; c <= d + 3; ++c) town.Put(r, c, static_cast<uint8_t>(30 + TownRandom(3)));
          town.Put(r, d + 4, 23);
        }
        town.PutRun(s + 4, d, {29, 24, 24, 24, 28});
      });
}

// 2 x 2 yard objects over the ground still free, wherever a 4 x 4 area is.
void LayYards(TTown& town, int length) {
  FillFreeAreas<4, 2>(
      town, 1500 - length, [] { return true; },
      [&](int s, int d) {
        if (TownRandom(2) == 0) {
          town.PutRun(s, d, {45, 46});
          town.PutRun(s + 1, d, {47, 48});
        } else {
          town.Put(s, d, 36);
          town.Put(s, d + 1, static_cast<uint8_t>(31 + TownRandom(2)));
          town.PutRun(s + 1, d, {37, 38});
        }
      });
}

void GroundTheRest(TTown& town) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  for (int r = 1; r <= MapRows; ++r) {
    uint8_t* row = town.RowStart(r);
    int c = 0;
    for (; c + 8 <= MapColumns; c += 8) {
      const uint64_t tiles = Load8(row + c);
      // 0x80 in each byte that is 255 (exact: no carries between bytes).
      const uint64_t notTiles = ~tiles;
      const uint64_t unbuilt = ~(((notTiles & kLow7) + kLow7) | notTiles | kLow7);
      Store8(row + c, tiles & ~((unbuilt >> 7) * 0xFF));
    }
    for (; c < MapColumns; ++c) row[c] = row[c] == kUnbuilt ? 0 : row[c];
  }
}

}  // namespace

bool AreaEmpty(int column, int row, int rows, int columns) {
  return TTown(TTownGrid{TrackMap, MapColumns}).Empty(column, row, rows, columns);
}

void LayRoadsideTile(TTownGrid grid, int r, int c) {
  TTown town(grid);
  RoadsideTile(town, r, c);
}

void GrowTown(TTownGrid grid, int length) {
  // The town is never taller than the map; the roadside, plaza and yard
  // passes rely on that to read without bounds checks.
  length = std::clamp(length, 0, MapRows - 1);
  TTown town(grid);
  LayRoad(town, length);
  LayRoadside(town, length);
  LayPlazas(town, length);
  LayYards(town, length);
  GroundTheRest(town);
}

void BuildTown(TTownGrid grid, int length) {
  TTown town(grid);
  for (int r = 1; r <= MapRows; ++r) std::memset(town.RowStart(r), kUnbuilt, MapColumns);
  for (int r = kStartRow; r <= 1499; ++r) town.PutRun(r, 321, {1, 2, 3, 4});
  SetSegment(1);
  GrowTown(grid, length);
}

void GenerateTrack() {
  BuildTown(TTownGrid{TrackMap, MapColumns}, TrackLength);
  MapRow = 1488;
  MapCol = 318;
}
