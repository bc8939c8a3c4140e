// The town builder's roadside rules one at a time: a few tiles laid by
// hand around one tile of the roadside pass, the draws it takes scripted,
// and exactly the tiles each rule writes.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include "race/world/track_generator.h"
#include "race/world/track_map.h"
#include "shell/random.h"

namespace {

std::deque<int> Script;
std::vector<int> Draws;

// Hands out the scripted numbers and notes the range of every draw.
int Scripted(int n) {
  Draws.push_back(n);
  if (Script.empty()) return 0;
  const int v = Script.front();
  Script.pop_front();
  return v;
}

// Consecutive tiles of one row from a column on.
struct Run {
  int Row, Column;
  std::vector<uint8_t> Codes;
};

struct RuleCase {
  const char* Name;
  int R, C;               // the roadside pass's tile
  std::vector<Run> Laid;  // by hand, on unbuilt ground
  std::vector<int> Script;
  std::vector<Run> Writes;  // everything the rules change
  std::vector<int> Draws;   // the range of each draw, in order
};
void PrintTo(const RuleCase& c, std::ostream* os) { *os << c.Name; }

// Runs of the same code.
Run Fill(int row, int from, int to, uint8_t code) { return {row, from, std::vector<uint8_t>(to - from + 1, code)}; }
// One code down rows row .. row + n - 1 of a column, as single-tile runs.
std::vector<Run> Column(int row, int column, int n, uint8_t code) {
  std::vector<Run> runs;
  for (int r = row; r < row + n; ++r) runs.push_back({r, column, {code}});
  return runs;
}
std::vector<Run> operator+(std::vector<Run> a, const std::vector<Run>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

using TileMap = std::map<std::pair<int, int>, uint8_t>;

TileMap Tiles(const std::vector<Run>& runs) {
  TileMap m;
  for (const Run& run : runs)
    for (size_t i = 0; i < run.Codes.size(); ++i) m[{run.Row, run.Column + static_cast<int>(i)}] = run.Codes[i];
  return m;
}

class RoadsideRule : public testing::TestWithParam<RuleCase> {
 protected:
  void SetUp() override {
    TownRandom = Scripted;
    Draws.clear();
  }
  void TearDown() override { TownRandom = Random; }
};

TEST_P(RoadsideRule, WritesItsTilesAndTakesItsDraws) {
  const RuleCase& c = GetParam();
  std::memset(TrackMap, 255, sizeof TrackMap);
  for (const auto& [at, code] : Tiles(c.Laid)) Tile(at.first, at.second) = code;
  const std::vector<uint8_t> before(TrackMap, TrackMap + MapRows * MapColumns);
  Script.assign(c.Script.begin(), c.Script.end());
  LayRoadsideTile(TTownGrid{TrackMap, MapColumns}, c.R, c.C);

  TileMap written;
  for (int i = 0; i < MapRows * MapColumns; ++i)
    if (TrackMap[i] != before[i]) written[{i / MapColumns + 1, i % MapColumns + 1}] = TrackMap[i];
  const TileMap expected = Tiles(c.Writes);
  for (const auto& [at, code] : expected) {
    const auto w = written.find(at);
    EXPECT_TRUE(w != written.end() && w->second == code)
        << "row " << at.first << ", column " << at.second << " should be " << int(code) << ", is "
        << int(Tile(at.first, at.second));
  }
  for (const auto& [at, code] : written)
    EXPECT_TRUE(expected.count(at)) << "row " << at.first << ", column " << at.second << " became " << int(code);
  EXPECT_EQ(Draws, c.Draws);
  EXPECT_TRUE(Script.empty()) << "scripted draws left over";
}

// Rows 1497 and 1498 only get the edge rules, so they take no draws; rows
// 1495 and 1496 add the gap and street-end rules; from row 1494 up every
// tile draws for a structure, anchored one row below and one column right
// (S = R + 1, D = C + 1).
constexpr int kEdgeRow = 1497, kGapRow = 1495, kR = 1000, kC = 300, kS = kR + 1, kD = kC + 1;

INSTANTIATE_TEST_SUITE_P(
    TrackGenerator, RoadsideRule,
    testing::Values(
        // ---- edge rules: the unbuilt tile beside a road's edge
        RuleCase{"Edge1SidewalkLeftOfTheRoad", kEdgeRow, kC, {{kEdgeRow, kC + 1, {1}}}, {}, {{kEdgeRow, kC, {23}}}, {}},
        RuleCase{"Edge2CornerBelowAStepRight",
                 kEdgeRow, kC, {{kEdgeRow, kC + 1, {9}}}, {}, {{kEdgeRow, kC - 1, {26, 28}}}, {}},
        RuleCase{"Edge3SidewalkLeftOfAStepLeft", kEdgeRow, kC, {{kEdgeRow, kC + 1, {20}}}, {}, {{kEdgeRow, kC, {23}}}, {}},
        RuleCase{"Edge4StreetLeftOfAStepRight",
                 kEdgeRow, kC, {{kEdgeRow, kC + 1, {5}}}, {}, {Fill(kEdgeRow, kC - 9, kC - 1, 24), {kEdgeRow, kC, {25}}}, {}},
        // Near the map's left side the street runs to column 1.
        RuleCase{"Edge4StreetToTheLeftSide",
                 kEdgeRow, 24, {{kEdgeRow, 25, {5}}}, {}, {Fill(kEdgeRow, 1, 23, 24), {kEdgeRow, 24, {25}}}, {}},
        RuleCase{"Edge5StreetLeftOfAStepLeft",
                 kEdgeRow, kC, {{kEdgeRow, kC + 1, {16}}}, {},
                 {Fill(kEdgeRow, kC - 9, kC - 2, 24), {kEdgeRow, kC - 1, {25, 27}}}, {}},
        RuleCase{"Edge6SidewalkRightOfTheRoad", kEdgeRow, kC, {{kEdgeRow, kC - 1, {4}}}, {}, {{kEdgeRow, kC, {23}}}, {}},
        // Rules 7 and 11 both follow a right edge tile of a step right.
        RuleCase{"Edge7And11StreetRightOfAStepRight",
                 kEdgeRow, kC, {{kEdgeRow, kC - 1, {12}}}, {}, {{kEdgeRow, kC, {25}}, Fill(kEdgeRow, kC + 1, kC + 11, 24)}, {}},
        RuleCase{"Edge11StreetToTheRightSide",
                 kEdgeRow, 624, {{kEdgeRow, 623, {12}}}, {}, {{kEdgeRow, 624, {25}}, Fill(kEdgeRow, 625, 650, 24)}, {}},
        RuleCase{"Edge8CornerRightOfAStepRight",
                 kEdgeRow, kC, {{kEdgeRow, kC - 1, {8}}}, {}, {{kEdgeRow, kC, {26, 28}}}, {}},
        RuleCase{"Edge9CornerRightOfAStepLeft",
                 kEdgeRow, kC, {{kEdgeRow, kC - 1, {17}}}, {}, {{kEdgeRow, kC, {29, 27}}}, {}},
        RuleCase{"Edge10StreetRightOfAStepLeft",
                 kEdgeRow, kC, {{kEdgeRow, kC - 1, {13}}}, {}, {{kEdgeRow, kC, {25}}, Fill(kEdgeRow, kC + 1, kC + 11, 24)}, {}},
        RuleCase{"Edge10StreetToTheRightSide",
                 kEdgeRow, 625, {{kEdgeRow, 624, {13}}}, {}, {{kEdgeRow, 625, {25}}, Fill(kEdgeRow, 626, 650, 24)}, {}},
        // A built tile is left alone.
        RuleCase{"EdgeRulesOnlyOnUnbuiltTiles", kEdgeRow, kC, {{kEdgeRow, kC - 1, {4, 0, 1}}}, {}, {}, {}},

        // ---- gap and street-end rules, anchored at (S, D)
        RuleCase{"Gap1FillsTheGapBetweenTwoStreets",
                 kGapRow, kC, {{kGapRow + 1, kC + 1, {24}}, {kGapRow + 3, kC + 1, {25}}}, {2},
                 {{kGapRow + 2, kC + 1, {32}}}, {3}},
        RuleCase{"Gap2EndsAStreetFromTheRight",
                 kGapRow, kC, {{kGapRow + 1, kC + 2, {24}}}, {},
                 {{kGapRow + 1, kC + 1, {36}}, {kGapRow + 2, kC + 1, {37, 38}}}, {}},
        RuleCase{"Gap3EndsAStreetFromTheLeftOneRowHigher",
                 kGapRow, kC, {{kGapRow + 1, kC, {24}}}, {},
                 {{kGapRow, kC + 1, {36}}, {kGapRow + 1, kC + 1, {37, 38}}}, {}},

        // ---- structures: one draw of three per tile, after the gap rule's
        // own draw
        RuleCase{"GapDrawComesBeforeTheStructureDraw",
                 kR, kC, {{kS, kD, {24}}, {kS + 2, kD, {24}}}, {1, 0}, {{kS + 1, kD, {31}}}, {3, 3}},
        RuleCase{"QuietTileStillDraws", kR, kC, {}, {2}, {}, {3}},
        RuleCase{"WalledBlockLeftOfASidewalk",
                 kR, kC, Column(kS, kD + 4, 4, 23), {0},
                 {{kS, kD, {0, 40, 40, 40}}, {kS + 1, kD, {41, 45, 46, 44}}, {kS + 2, kD, {41, 47, 48, 44}},
                  {kS + 3, kD, {41, 42, 42, 43}}},
                 {3}},
        RuleCase{"WalledBlockRightOfASidewalk",
                 kR, kC, Column(kS, kD - 1, 4, 23), {0},
                 {{kS, kD, {0, 40, 40, 40}}, {kS + 1, kD, {41, 45, 46, 44}}, {kS + 2, kD, {41, 47, 48, 44}},
                  {kS + 3, kD, {41, 42, 42, 43}}},
                 {3}},
        RuleCase{"NoBlockWithoutASidewalk", kR, kC, Column(kS, kD + 5, 4, 23), {0}, {}, {3}},
        RuleCase{"HouseLeftOfASidewalkWithAStreetToTheLeft",
                 kR, kC, Column(kS, kD + 4, 4, 23), {1, 0},
                 {{kS + 1, kD + 1, {49, 50, 51}}, {kS + 2, kD + 1, {52, 53, 54}}, {kS + 3, kD + 1, {55, 56, 57}},
                  Fill(kS, kD - 17, kD + 3, 24), {kS, kD + 4, {58}}},
                 {3, 2}},
        RuleCase{"HouseRightOfASidewalkWithAStreetToTheRight",
                 kR, kC, Column(kS, kD - 1, 4, 23), {1, 0},
                 {{kS + 1, kD + 1, {49, 50, 51}}, {kS + 2, kD + 1, {52, 53, 54}}, {kS + 3, kD + 1, {55, 56, 57}},
                  {kS, kD - 1, {60}}, Fill(kS, kD, kD + 20, 24)},
                 {3, 2}},
        // Between two sidewalks: first the draw for a street to the left
        // (the sidewalk on the right), then for one to the right.
        RuleCase{"HouseBetweenSidewalksDrawsForEachStreet",
                 kR, kC, Column(kS, kD + 4, 4, 23) + Column(kS, kD - 1, 4, 23), {1, 1, 0},
                 {{kS + 1, kD + 1, {49, 50, 51}}, {kS + 2, kD + 1, {52, 53, 54}}, {kS + 3, kD + 1, {55, 56, 57}},
                  {kS, kD - 1, {60}}, Fill(kS, kD, kD + 20, 24)},
                 {3, 2, 2}},
        RuleCase{"HouseWithoutAStreet",
                 kR, kC, Column(kS, kD + 4, 4, 23), {1, 1},
                 {{kS + 1, kD + 1, {49, 50, 51}}, {kS + 2, kD + 1, {52, 53, 54}}, {kS + 3, kD + 1, {55, 56, 57}}},
                 {3, 2}},
        RuleCase{"PostsLeftOfASidewalk",
                 kR, kC, Column(kS, kD + 1, 4, 23), {2}, {{kS, kD, {0}}, {kS + 1, kD, {39}}, {kS + 2, kD, {32}},
                                                         {kS + 3, kD, {39}}, {kS + 4, kD, {0}}},
                 {3}},
        RuleCase{"PostsRightOfASidewalk",
                 kR, kC, Column(kS, kD - 1, 4, 23), {2}, {{kS, kD, {0}}, {kS + 1, kD, {59}}, {kS + 2, kD, {32}},
                                                         {kS + 3, kD, {59}}, {kS + 4, kD, {0}}},
                 {3}},
        // Posts need five unbuilt tiles down their column.
        RuleCase{"NoPostsOnBuiltGround", kR, kC, Column(kS, kD + 1, 4, 23) + Column(kS + 4, kD, 1, 0), {2}, {}, {3}}),
    [](const testing::TestParamInfo<RuleCase>& info) { return std::string(info.param.Name); });

}  // namespace
