#include <gtest/gtest.h>

#include "sprites/quad.h"

namespace {

TQuad Square(double left, double top, double size) {
  return TQuad{{{left, top}, {left + size, top}, {left + size, top + size}, {left, top + size}}};
}

// A 20 by 20 square turned by 45 degrees about (50, 50): a diamond with its
// corners 14.14 away from the centre along the axes.
const TQuad kDiamond{{{50, 35.857864}, {64.142136, 50}, {50, 64.142136}, {35.857864, 50}}};

struct PointCase {
  const char* what;
  TQuad quad;
  double x, y;
  bool inside;
};

void PrintTo(const PointCase& c, std::ostream* os) { *os << c.what; }

class PointInQuadTest : public testing::TestWithParam<PointCase> {};

TEST_P(PointInQuadTest, Classifies) {
  const PointCase& c = GetParam();
  EXPECT_EQ(PointInQuad(c.x, c.y, c.quad), c.inside) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointInQuadTest,
    testing::Values(PointCase{"centre", Square(0, 0, 10), 5, 5, true},
                    PointCase{"near a corner inside", Square(0, 0, 10), 9.9, 0.1, true},
                    PointCase{"left of the square", Square(0, 0, 10), -1, 5, false},
                    PointCase{"far away", Square(0, 0, 10), 100, -40, false},
                    PointCase{"just outside the right edge", Square(0, 0, 10), 10.5, 5, false},
                    PointCase{"exactly on a corner", Square(0, 0, 10), 10, 10, true},
                    PointCase{"on an edge", Square(0, 0, 10), 5, 0, true},
                    // The 355-degree mark lets a point a hair outside an edge
                    // (sum about 355.4) still hit; a little further out
                    // (about 350.8) misses.
                    PointCase{"a hair outside an edge", Square(0, 0, 10), 5, -0.1, true},
                    PointCase{"just outside an edge", Square(0, 0, 10), 5, -0.2, false},
                    PointCase{"corners given counter-clockwise",
                              TQuad{{{0, 0}, {0, 10}, {10, 10}, {10, 0}}}, 3, 7, true},
                    PointCase{"rotated quad, centre", kDiamond, 50, 50, true},
                    PointCase{"rotated quad, inside near a tip", kDiamond, 62, 50, true},
                    // Inside the unrotated square's box but cut off by the turn.
                    PointCase{"rotated quad, corner of its box", kDiamond, 38, 38, false}),
    [](const testing::TestParamInfo<PointCase>& info) { return "Case" + std::to_string(info.index); });

TEST(QuadsOverlapTest, NeedsACornerOfOneInsideTheOther) {
  const TQuad big = Square(0, 0, 100);
  const TQuad small = Square(40, 40, 10);
  EXPECT_TRUE(QuadsOverlap(big, small));
  EXPECT_TRUE(QuadsOverlap(small, big));
  EXPECT_TRUE(QuadsOverlap(Square(0, 0, 10), Square(5, 5, 10)));
  EXPECT_FALSE(QuadsOverlap(Square(0, 0, 10), Square(20, 0, 10)));

  // A plus sign: two bars that cross with no corner of either inside the other.
  const TQuad wide{{{0, 40}, {100, 40}, {100, 60}, {0, 60}}};
  const TQuad tall{{{40, 0}, {60, 0}, {60, 100}, {40, 100}}};
  EXPECT_FALSE(QuadsOverlap(wide, tall));
}

}  // namespace
