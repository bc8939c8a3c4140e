// The rival traffic and the pedestrians as the generator writes them.
// The rival cars collide by fixed outlines, one per kind and orientation;
// the pictures must show the vehicle on exactly that outline, or the player
// is hit by empty road or drives through a painted bonnet. The outlines
// below are the traffic's collision data, copied here by hand, not taken
// from the generator. Runs in the build folder, where the generator has
// written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

struct TPoint {
  double X, Y;
};

struct TKindCase {
  int Kind;
  int Width, Height;  // 2 * half width, 2 * half height of the kind
  std::array<std::array<TPoint, 4>, 6> Outlines;
  // Least share of the outline that must be painted; see PaintsItsOutline.
  double MinFill;
};

// clang-format off
const TKindCase kKinds[] = {
    {1, 98, 134, {{{{{0, 23}, {38, 0}, {55, 133}, {94, 113}}}, {{{58, 0}, {95, 18}, {1, 113}, {40, 132}}},
                   {{{28, 2}, {67, 2}, {27, 130}, {69, 130}}}, {{{30, 131}, {67, 131}, {70, 3}, {27, 3}}},
                   {{{1, 115}, {37, 133}, {95, 20}, {57, 1}}}, {{{95, 115}, {60, 133}, {41, 0}, {2, 19}}}}}, 0.96},
    {2, 120, 170, {{{{{0, 25}, {41, 0}, {67, 164}, {119, 137}}}, {{{78, 0}, {119, 24}, {1, 136}, {53, 165}}},
                    {{{33, 2}, {89, 2}, {29, 163}, {89, 163}}}, {{{89, 161}, {31, 161}, {89, 2}, {27, 2}}},
                    {{{40, 165}, {0, 140}, {118, 28}, {67, 1}}}, {{{119, 140}, {79, 165}, {53, 1}, {0, 28}}}}}, 0.96},
    {3, 34, 58, {{{{{1, 13}, {13, 6}, {24, 54}, {33, 48}}}, {{{20, 6}, {32, 13}, {1, 48}, {9, 53}}},
                  {{{9, 7}, {24, 7}, {10, 54}, {22, 54}}}, {{{9, 50}, {24, 50}, {23, 0}, {10, 0}}},
                  {{{14, 52}, {1, 45}, {33, 7}, {24, 4}}}, {{{33, 45}, {19, 52}, {9, 2}, {0, 12}}}}}, 0.82},
    {4, 92, 152, {{{{{0, 23}, {34, 0}, {58, 131}, {92, 109}}}, {{{60, 0}, {92, 23}, {0, 110}, {34, 131}}},
                   {{{26, 1}, {70, 1}, {23, 131}, {68, 131}}}, {{{69, 129}, {25, 129}, {70, 1}, {24, 1}}},
                   {{{33, 132}, {0, 108}, {92, 22}, {58, 1}}}, {{{92, 108}, {59, 132}, {34, 1}, {-1, 22}}}}}, 0.96},
    {5, 168, 240, {{{{{0, 28}, {60, 0}, {90, 231}, {167, 192}}}, {{{108, 0}, {167, 30}, {2, 192}, {78, 230}}},
                    {{{48, 4}, {120, 4}, {38, 227}, {126, 227}}}, {{{120, 228}, {47, 228}, {126, 6}, {40, 6}}},
                    {{{62, 232}, {0, 201}, {166, 40}, {87, 1}}}, {{{167, 201}, {104, 232}, {79, 1}, {1, 40}}}}}, 0.96},
};
// clang-format on

// The way each orientation drives on the screen: up-left, up-right, up,
// down, down-left, down-right.
constexpr TPoint kHeading[6] = {{-0.4496, -0.8932}, {0.4496, -0.8932}, {0, -1},
                                {0, 1},             {-0.4496, 0.8932}, {0.4496, 0.8932}};

void PrintTo(const TKindCase& c, std::ostream* os) { *os << "kind " << c.Kind; }

// The region an outline encloses: the convex hull of its four corners
// (most outlines list them as front pair then rear pair, which is not the
// order round the hull).
std::vector<TPoint> Hull(std::array<TPoint, 4> q) {
  std::sort(q.begin(), q.end(), [](TPoint a, TPoint b) { return a.X < b.X || (a.X == b.X && a.Y < b.Y); });
  auto cross = [](TPoint o, TPoint a, TPoint b) { return (a.X - o.X) * (b.Y - o.Y) - (a.Y - o.Y) * (b.X - o.X); };
  std::vector<TPoint> h;
  for (int pass = 0; pass < 2; ++pass) {
    const size_t start = h.size();
    for (int i = 0; i < 4; ++i) {
      const TPoint p = q[pass == 0 ? i : 3 - i];
      while (h.size() >= start + 2 && cross(h[h.size() - 2], h.back(), p) <= 0) h.pop_back();
      h.push_back(p);
    }
    h.pop_back();
  }
  return h;
}

// Signed distance of (x, y) to a convex polygon's edge: positive inside.
double Inside(const std::vector<TPoint>& hull, double x, double y) {
  double d = 1e9;
  for (size_t i = 0; i < hull.size(); ++i) {
    const TPoint a = hull[i], b = hull[(i + 1) % hull.size()];
    const double len = std::hypot(b.X - a.X, b.Y - a.Y);
    // The hull runs clockwise on the screen (y down), so inside is to the right.
    d = std::min(d, ((b.X - a.X) * (y - a.Y) - (b.Y - a.Y) * (x - a.X)) / len);
  }
  return d;
}

class GeneratedRivalCar : public testing::TestWithParam<TKindCase> {
 protected:
  void SetUp() override {
    Item = BuiltPicture(2, "Car" + std::to_string(6 + GetParam().Kind));
    ASSERT_NE(Item, nullptr);
    ASSERT_TRUE(Item->Transparent);
    Key = KeyRgb(*Item);
  }
  bool Painted(int pattern, int x, int y) const { return PatternPixel(*Item, pattern, x, y) != Key; }

  const TPictureCollectionItem* Item = nullptr;
  uint32_t Key = 0;
};

TEST_P(GeneratedRivalCar, HasSixPatternsOfTheKindsSize) {
  EXPECT_EQ(Item->Width(), GetParam().Width);
  EXPECT_EQ(Item->Height(), GetParam().Height);
  EXPECT_EQ(Item->PatternCount(), 6);
}

// Pixels whose centre lies more than a pixel inside the outline must be
// painted, and none whose centre lies more than a pixel and a half outside
// it; the band between is the antialiased edge and its dark rim. Inside,
// a car may leave a little unpainted: its rounded corners and the tyres
// tucked in at the four corners give up a few percent of the box (a corner
// rounded by r loses (4 - pi) r^2 / 4; four of 6 px on the saloon's 40 x 128
// are under 1 %, the tapered nose and tail a little more), so 96 % must be
// painted. The motorbike is a rider on two narrow wheels inside a box as
// wide as its handlebars: ahead of the bars and beside the wheels the road
// shows, so 82 % must be. Outside, at most half a percent of the outline's
// area may be painted, about one stray row of pixels along a short side.
TEST_P(GeneratedRivalCar, PaintsItsOutlineAndNothingBeyond) {
  ASSERT_GE(Item->PatternCount(), 6);
  for (int o = 1; o <= 6; ++o) {
    const std::vector<TPoint> hull = Hull(GetParam().Outlines[o - 1]);
    int inner = 0, innerPainted = 0, outerPainted = 0;
    double area = 0;
    for (int y = 0; y < Item->Height(); ++y)
      for (int x = 0; x < Item->Width(); ++x) {
        const double d = Inside(hull, x + 0.5, y + 0.5);
        const bool painted = Painted(o - 1, x, y);
        if (d >= 0) area += 1;
        if (d >= 1) {
          ++inner;
          innerPainted += painted;
        } else if (d <= -1.5) {
          outerPainted += painted;
        }
      }
    ASSERT_GT(inner, 0) << "orientation " << o;
    const double fill = static_cast<double>(innerPainted) / inner, spill = outerPainted / area;
    EXPECT_GE(fill, GetParam().MinFill) << "orientation " << o;
    EXPECT_LE(spill, 0.005) << "orientation " << o;
  }
}

// The front goes where the car drives: the cool white headlamps lie ahead
// of the red tail lamps along the orientation's heading, by at least half
// the car's length. A pattern laid out of order, or a car painted
// backwards, drives tail first.
TEST_P(GeneratedRivalCar, HeadlampsLeadInTheDirectionOfTravel) {
  auto headlamp = [](uint32_t c) {
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return b >= 230 && g >= 205 && b - r >= 20;
  };
  auto tailLamp = [](uint32_t c) {
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return r >= 230 && g <= 80 && b <= 80;
  };
  for (int o = 1; o <= 6; ++o) {
    const auto& q = GetParam().Outlines[o - 1];
    // The outline's length: its longest side pair, front to back.
    double length = 0;
    for (const TPoint& a : q)
      for (const TPoint& b : q)
        length = std::max(length, std::abs((b.X - a.X) * kHeading[o - 1].X + (b.Y - a.Y) * kHeading[o - 1].Y));
    double hx = 0, hy = 0, tx = 0, ty = 0;
    int heads = 0, tails = 0;
    for (int y = 0; y < Item->Height(); ++y)
      for (int x = 0; x < Item->Width(); ++x) {
        const uint32_t c = PatternPixel(*Item, o - 1, x, y);
        if (c == Key) continue;
        if (headlamp(c)) hx += x, hy += y, ++heads;
        if (tailLamp(c)) tx += x, ty += y, ++tails;
      }
    ASSERT_GE(heads, 2) << "orientation " << o;
    ASSERT_GE(tails, 2) << "orientation " << o;
    const double lead = (hx / heads - tx / tails) * kHeading[o - 1].X + (hy / heads - ty / tails) * kHeading[o - 1].Y;
    EXPECT_GE(lead, 0.5 * length) << "orientation " << o;
  }
}

INSTANTIATE_TEST_SUITE_P(RivalKinds, GeneratedRivalCar, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<TKindCase>& info) {
                           return "Car" + std::to_string(6 + info.param.Kind);
                         });

// The five kinds read as different vehicles: seen driving up, each differs
// from every other in the width and length of what is painted.
TEST(GeneratedRivalCars, KindsDifferInSize) {
  struct TSpan {
    int Width, Length;
  };
  std::vector<TSpan> spans;
  for (int kind = 1; kind <= 5; ++kind) {
    const TPictureCollectionItem& item = RequiredPicture(2, "Car" + std::to_string(6 + kind));
    const uint32_t key = KeyRgb(item);
    int left = item.Width(), right = -1, top = item.Height(), bottom = -1;
    for (int y = 0; y < item.Height(); ++y)
      for (int x = 0; x < item.Width(); ++x)
        if (PatternPixel(item, 2, x, y) != key) {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    spans.push_back({right - left + 1, bottom - top + 1});
  }
  for (size_t a = 0; a < spans.size(); ++a)
    for (size_t b = a + 1; b < spans.size(); ++b)
      EXPECT_TRUE(std::abs(spans[a].Width - spans[b].Width) >= 4 || std::abs(spans[a].Length - spans[b].Length) >= 4)
          << "kinds " << a + 1 << " and " << b + 1;
}

// ---- Pedestrians -----------------------------------------------------------------

struct TFigureStats {
  int Painted = 0;
  int OnBorder = 0;  // painted pixels in the outermost rows and columns
  int Left = 99, Right = -1, Top = 99, Bottom = -1;
  double R = 0, G = 0, B = 0;  // mean colour of the painted pixels
};

TFigureStats Measure(const TPictureCollectionItem& item, int pattern) {
  TFigureStats s;
  const uint32_t key = KeyRgb(item);
  for (int y = 0; y < item.Height(); ++y)
    for (int x = 0; x < item.Width(); ++x) {
      const uint32_t c = PatternPixel(item, pattern, x, y);
      if (c == key) continue;
      ++s.Painted;
      s.OnBorder += x == 0 || y == 0 || x == item.Width() - 1 || y == item.Height() - 1;
      s.Left = std::min(s.Left, x), s.Right = std::max(s.Right, x);
      s.Top = std::min(s.Top, y), s.Bottom = std::max(s.Bottom, y);
      s.R += (c >> 16) & 0xFF, s.G += (c >> 8) & 0xFF, s.B += c & 0xFF;
    }
  if (s.Painted > 0) s.R /= s.Painted, s.G /= s.Painted, s.B /= s.Painted;
  return s;
}

// Every walking image: five frames of 24 x 24 (the frame counter runs 0 to
// 4 inclusive), each a figure of a good size and whole (nothing of it cut
// off by the box's edge), each frame different from the one before it so
// the walk moves, and the figure over the frames reaching across most of
// the box the run-over test uses. The lying images: one whole frame of the
// same size.
TEST(GeneratedPedestrians, WalkingFramesAreFullDifferentAndFillTheBox) {
  for (const char* who : {"Man_", "Girl_"}) {
    for (const char* way : {"Left", "Right", "Up", "Down"}) {
      const std::string name = std::string(who) + way;
      const TPictureCollectionItem& item = RequiredPicture(2, name);
      EXPECT_TRUE(item.Transparent) << name;
      EXPECT_EQ(item.Width(), 24) << name;
      EXPECT_EQ(item.Height(), 24) << name;
      ASSERT_EQ(item.PatternCount(), 5) << name;
      int left = 99, right = -1, top = 99, bottom = -1;
      for (int p = 0; p < 5; ++p) {
        const TFigureStats s = Measure(item, p);
        EXPECT_GE(s.Painted, 24 * 24 / 5) << name << " frame " << p;
        EXPECT_EQ(s.OnBorder, 0) << name << " frame " << p << " is cut off at the box's edge";
        left = std::min(left, s.Left), right = std::max(right, s.Right);
        top = std::min(top, s.Top), bottom = std::max(bottom, s.Bottom);
        int differing = 0;
        const int before = (p + 4) % 5;
        for (int y = 0; y < 24; ++y)
          for (int x = 0; x < 24; ++x) differing += PatternPixel(item, p, x, y) != PatternPixel(item, before, x, y);
        EXPECT_GE(differing, 12) << name << " frames " << before << " and " << p;
      }
      EXPECT_GE(right - left + 1, 18) << name;
      EXPECT_GE(bottom - top + 1, 18) << name;
    }
    const std::string lying = std::string(who) + "Laying";
    const TPictureCollectionItem& item = RequiredPicture(2, lying);
    EXPECT_TRUE(item.Transparent) << lying;
    EXPECT_EQ(item.Width(), 24) << lying;
    EXPECT_EQ(item.Height(), 24) << lying;
    EXPECT_EQ(item.PatternCount(), 1) << lying;
    EXPECT_GE(Measure(item, 0).Painted, 24 * 24 / 5) << lying;
    EXPECT_EQ(Measure(item, 0).OnBorder, 0) << lying << " is cut off at the box's edge";
  }
}

// The stride runs the way they walk: over the five frames the figure's
// length along its walking direction changes (the legs swing out and back)
// much more than its width across it (the shoulders stay put). A picture
// turned the wrong way round shows it the other way.
TEST(GeneratedPedestrians, StrideRunsTheWayTheyWalk) {
  for (const char* who : {"Man_", "Girl_"})
    for (const char* way : {"Left", "Right", "Up", "Down"}) {
      const std::string name = std::string(who) + way;
      const TPictureCollectionItem& item = RequiredPicture(2, name);
      const bool across = way[0] == 'L' || way[0] == 'R';
      int alongMin = 99, alongMax = 0, acrossMin = 99, acrossMax = 0;
      for (int p = 0; p < item.PatternCount(); ++p) {
        const TFigureStats s = Measure(item, p);
        const int width = s.Right - s.Left + 1, height = s.Bottom - s.Top + 1;
        const int along = across ? width : height, side = across ? height : width;
        alongMin = std::min(alongMin, along), alongMax = std::max(alongMax, along);
        acrossMin = std::min(acrossMin, side), acrossMax = std::max(acrossMax, side);
      }
      EXPECT_GE(alongMax - alongMin, 4) << name;
      EXPECT_GT(alongMax - alongMin, 2 * (acrossMax - acrossMin)) << name;
    }
}

// At the game's scale a pedestrian is about 16 x 18 pixels, the size of the
// pickups' round chips: a dark rim a whole pixel wide all round the figure
// is what makes it read on pale paving as on dark asphalt. Every painted
// pixel that touches the unpainted (keyed) ground is that rim, or the
// dark dither of the shadow, in every frame of every picture.
TEST(GeneratedPedestrians, EveryFigureHasADarkRimAllRound) {
  for (const char* who : {"Man_", "Girl_"})
    for (const char* image : {"Left", "Right", "Up", "Down", "Laying"}) {
      const std::string name = std::string(who) + image;
      const TPictureCollectionItem& item = RequiredPicture(2, name);
      const uint32_t key = KeyRgb(item);
      for (int p = 0; p < item.PatternCount(); ++p) {
        int light = 0, edge = 0;
        for (int y = 0; y < item.Height(); ++y)
          for (int x = 0; x < item.Width(); ++x) {
            const uint32_t c = PatternPixel(item, p, x, y);
            if (c == key) continue;
            bool touchesGround = false;
            for (const auto& [dx, dy] : {std::pair{-1, 0}, std::pair{1, 0}, std::pair{0, -1}, std::pair{0, 1}}) {
              const int nx = x + dx, ny = y + dy;
              touchesGround |= nx < 0 || ny < 0 || nx >= item.Width() || ny >= item.Height() ||
                               PatternPixel(item, p, nx, ny) == key;
            }
            if (!touchesGround) continue;
            ++edge;
            if (std::max({(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF}) > 0x20) ++light;
          }
        EXPECT_GT(edge, 20) << name << " frame " << p;
        EXPECT_EQ(light, 0) << name << " frame " << p << ": edge pixels that are not the dark rim, of " << edge;
      }
    }
}

// A man and a woman are told apart at a glance: the figures' mean colours
// differ clearly in every direction and when lying.
TEST(GeneratedPedestrians, ManAndWomanLookDifferent) {
  for (const char* image : {"Left", "Right", "Up", "Down", "Laying"}) {
    const TFigureStats man = Measure(RequiredPicture(2, std::string("Man_") + image), 0);
    const TFigureStats girl = Measure(RequiredPicture(2, std::string("Girl_") + image), 0);
    const double d = std::max({std::abs(man.R - girl.R), std::abs(man.G - girl.G), std::abs(man.B - girl.B)});
    EXPECT_GE(d, 40) << image;
  }
}

}  // namespace
