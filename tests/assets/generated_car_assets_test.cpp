// The player cars as the generator writes them: the race sprites "Car1" ..
// "Car6" have the sizes the driving model's outline is measured on, a body
// as wide as the car's body width, front up, and a clean keyed edge; the
// car-selection pictures, frame and buttons fit the places the screen puts
// them at. Runs in the build folder, where the generator has written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

int R(uint32_t c) { return (c >> 16) & 0xFF; }
int G(uint32_t c) { return (c >> 8) & 0xFF; }
int B(uint32_t c) { return c & 0xFF; }

// ---- Race sprites --------------------------------------------------------------

struct TCarCase {
  const char* Name;
  int Width, Height;  // 2 * CarHalfWidth, 2 * CarHalfHeight
  int BodyWidth;      // CarBodyWidth
};
constexpr TCarCase kCars[] = {
    {"Car1", 64, 156, 65}, {"Car2", 62, 148, 62}, {"Car3", 82, 156, 70},
    {"Car4", 62, 134, 63}, {"Car5", 68, 154, 60}, {"Car6", 64, 144, 62},
};

void PrintTo(const TCarCase& c, std::ostream* os) { *os << c.Name; }

class GeneratedCarSprite : public testing::TestWithParam<TCarCase> {
 protected:
  void SetUp() override {
    Item = BuiltPicture(2, GetParam().Name);
    ASSERT_NE(Item, nullptr);
    ASSERT_TRUE(Item->Transparent);
    Key = KeyRgb(*Item);
  }
  bool IsKey(int x, int y) const { return PatternPixel(*Item, 0, x, y) == Key; }
  // First and one past the last pixel of the car on a row, and whether the
  // car's pixels there form one unbroken run.
  struct TSpan {
    int Left = -1, Right = -1;
    bool Solid = true;
  };
  TSpan RowSpan(int y) const {
    TSpan s;
    for (int x = 0; x < Item->Width(); ++x)
      if (!IsKey(x, y)) {
        if (s.Left < 0) s.Left = x;
        else if (s.Right < x) s.Solid = false;
        s.Right = x + 1;
      }
    return s;
  }

  const TPictureCollectionItem* Item = nullptr;
  uint32_t Key = 0;
};

TEST_P(GeneratedCarSprite, IsOnePatternOfTheCarsSize) {
  EXPECT_EQ(Item->Width(), GetParam().Width);
  EXPECT_EQ(Item->Height(), GetParam().Height);
  EXPECT_EQ(Item->PatternCount(), 1);
  const int w = Item->Width(), h = Item->Height();
  for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
    EXPECT_TRUE(IsKey(x, y)) << "corner " << x << "," << y << " is not transparent";
}

// Across the doors the body is CarBodyWidth wide (or as wide as the sprite
// where that is narrower) and centred, so the corner points the driving
// model computes lie on the painted body.
TEST_P(GeneratedCarSprite, BodyIsItsWidthAndCentredAcrossTheDoors) {
  const int w = Item->Width(), expected = std::min(GetParam().BodyWidth, w);
  for (int y = Item->Height() / 2 - 4; y <= Item->Height() / 2 + 4; ++y) {
    const TSpan s = RowSpan(y);
    EXPECT_TRUE(s.Solid) << "row " << y;
    EXPECT_EQ(s.Right - s.Left, expected) << "row " << y;
    EXPECT_EQ(s.Left, w - s.Right) << "row " << y << " is off centre";
  }
}

// No holes keyed into the car, nothing detached from it, and every pixel on
// its edge dark: a light or pink fringe would show round the car on the road.
TEST_P(GeneratedCarSprite, IsOneSolidShapeWithADarkRim) {
  const int w = Item->Width(), h = Item->Height();
  int rows = 0;
  for (int y = 0; y < h; ++y) {
    const TSpan s = RowSpan(y);
    if (s.Left < 0) continue;
    ++rows;
    EXPECT_TRUE(s.Solid) << "row " << y << " has a gap";
  }
  EXPECT_GE(rows, h - 4);
  int brightest = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (IsKey(x, y)) continue;
      const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1 || IsKey(x - 1, y) || IsKey(x + 1, y) ||
                        IsKey(x, y - 1) || IsKey(x, y + 1);
      const uint32_t c = PatternPixel(*Item, 0, x, y);
      if (edge) brightest = std::max(brightest, std::max({R(c), G(c), B(c)}));
    }
  EXPECT_LE(brightest, 90);
}

// The front is up: the cool white headlamps light the top quarter of the
// sprite, the red tail lamps the bottom quarter, never the other way round.
TEST_P(GeneratedCarSprite, HeadlampsAreAtTheTopAndTailLampsAtTheBottom) {
  auto headlamp = [](uint32_t c) { return B(c) >= 240 && G(c) >= 215 && B(c) - R(c) >= 28; };
  auto tailLamp = [](uint32_t c) { return R(c) >= 240 && G(c) <= 70 && B(c) <= 70; };
  const int w = Item->Width(), h = Item->Height(), quarter = h / 4;
  int headTop = 0, headBottom = 0, tailTop = 0, tailBottom = 0;
  for (int y = 0; y < quarter; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t top = PatternPixel(*Item, 0, x, y), bottom = PatternPixel(*Item, 0, x, h - 1 - y);
      headTop += headlamp(top) && top != Key;
      tailTop += tailLamp(top) && top != Key;
      headBottom += headlamp(bottom) && bottom != Key;
      tailBottom += tailLamp(bottom) && bottom != Key;
    }
  EXPECT_GE(headTop, 4);
  EXPECT_GE(tailBottom, 4);
  EXPECT_EQ(headBottom, 0);
  EXPECT_EQ(tailTop, 0);
}

INSTANTIATE_TEST_SUITE_P(PlayerCars, GeneratedCarSprite, testing::ValuesIn(kCars),
                         [](const testing::TestParamInfo<TCarCase>& info) { return std::string(info.param.Name); });

// ---- Car selection ---------------------------------------------------------------

constexpr int kFrameX = 198, kFrameY = 218, kPictureX = 231, kPictureY = 259;

struct TBox {
  int L, T, R, B;
  bool Overlaps(const TBox& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }
  bool Inside(const TBox& o) const { return L >= o.L && T >= o.T && R <= o.R && B <= o.B; }
};

TBox BoxAt(const TPictureCollectionItem& item, int x, int y) { return {x, y, x + item.Width(), y + item.Height()}; }

// The six pictures cross-fade into each other, so they must be opaque and
// of one size; they sit inside the frame, which is centred on the page.
TEST(GeneratedCarSelectArt, PicturesAreOpaqueAlikeInSizeAndInsideTheFrame) {
  const TPictureCollectionItem* frame = BuiltPicture(1, "SG_Bk");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(2 * kFrameX + frame->Width(), 792);
  const TBox frameBox = BoxAt(*frame, kFrameX, kFrameY);
  std::vector<const TPictureCollectionItem*> pictures;
  for (int car = 1; car <= 6; ++car) {
    const TPictureCollectionItem* p = BuiltPicture(1, "SG_Car" + std::to_string(car));
    ASSERT_NE(p, nullptr) << car;
    EXPECT_FALSE(p->Transparent) << car;
    EXPECT_EQ(p->PatternCount(), 1) << car;
    EXPECT_EQ(p->Width(), pictures.empty() ? p->Width() : pictures[0]->Width()) << car;
    EXPECT_EQ(p->Height(), pictures.empty() ? p->Height() : pictures[0]->Height()) << car;
    EXPECT_TRUE(BoxAt(*p, kPictureX, kPictureY).Inside(frameBox)) << car;
    pictures.push_back(p);
  }
  // Each shows its own car: neighbours differ over a good part of the picture.
  for (size_t i = 0; i < pictures.size(); ++i) {
    const TPictureCollectionItem& a = *pictures[i];
    const TPictureCollectionItem& b = *pictures[(i + 1) % pictures.size()];
    int differing = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) differing += ChannelDistance(PatternPixel(a, 0, x, y), PatternPixel(b, 0, x, y)) > 40;
    EXPECT_GT(differing, a.Width() * a.Height() / 20) << "cars " << i + 1 << " and " << (i + 1) % 6 + 1;
  }
}

// Each button: two looks (pattern 0 hovered, 1 normal) that differ, a place
// clear of the car picture, and a rim that equals what lies under it (the
// frame for the arrow keys, the background for the captions), so no seam
// shows in either look.
TEST(GeneratedCarSelectArt, ButtonsHaveTwoLooksAndJoinWhatIsUnderThem) {
  const TPictureCollectionItem* frame = BuiltPicture(1, "SG_Bk");
  const TPictureCollectionItem* background = BuiltPicture(1, "MMBG");
  const TPictureCollectionItem* picture = BuiltPicture(1, "SG_Car1");
  ASSERT_TRUE(frame && background && picture);
  const TBox frameBox = BoxAt(*frame, kFrameX, kFrameY), pictureBox = BoxAt(*picture, kPictureX, kPictureY);
  struct TButton {
    const char* Name;
    int X, Y;
    bool OnFrame;
  };
  constexpr TButton kButtons[] = {
      {"SG_Left", 198, 330, true}, {"SG_Right", 568, 328, true}, {"SG_Start", 222, 475, false}, {"SG_Back", 410, 475, false}};
  for (const TButton& b : kButtons) {
    const TPictureCollectionItem* item = BuiltPicture(1, b.Name);
    ASSERT_NE(item, nullptr) << b.Name;
    ASSERT_EQ(item->PatternCount(), 2) << b.Name;
    EXPECT_FALSE(item->Transparent) << b.Name;
    const TBox box = BoxAt(*item, b.X, b.Y);
    EXPECT_FALSE(box.Overlaps(pictureBox)) << b.Name;
    EXPECT_TRUE(box.Inside({0, 0, 792, 592})) << b.Name;
    EXPECT_EQ(box.Inside(frameBox), b.OnFrame) << b.Name;
    EXPECT_EQ(box.Overlaps(frameBox), b.OnFrame) << b.Name;
    int differing = 0;
    for (int pattern = 0; pattern < 2; ++pattern) {
      int rim = 0;
      for (int y = 0; y < item->Height(); ++y)
        for (int x = 0; x < item->Width(); ++x) {
          const uint32_t c = PatternPixel(*item, pattern, x, y);
          if (pattern == 0) differing += ChannelDistance(c, PatternPixel(*item, 1, x, y)) > 40;
          if (x != 0 && y != 0 && x != item->Width() - 1 && y != item->Height() - 1) continue;
          const uint32_t under = b.OnFrame ? PatternPixel(*frame, 0, b.X + x - kFrameX, b.Y + y - kFrameY)
                                           : PatternPixel(*background, 0, b.X + x, b.Y + y);
          rim = std::max(rim, ChannelDistance(c, under));
        }
      EXPECT_LE(rim, 6) << b.Name << " pattern " << pattern;
    }
    EXPECT_GT(differing, item->Width() * item->Height() / 20) << b.Name << " looks the same hovered";
  }
}

}  // namespace
