// The pictures of the highscores screen, the help screen, the name entry and
// the pickups as the generator writes them: the sizes, patterns and places
// the game relies on, and the spots where the game prints white text over
// them staying dark. Runs in the build folder, where Data/ has been written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

int Brightness(uint32_t rgb) { return std::max({(rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF}); }

struct TExpected {
  int List;
  const char* Name;
  int Width, Height;  // 0: any
  int Patterns;
  bool Keyed;
};
const TExpected kPictures[] = {
    {1, "HSCaption", 0, 0, 1, false},    {1, "HSTable", 0, 0, 1, false},   {1, "HS_Clear", 0, 0, 2, false},
    {1, "HS_View", 0, 0, 2, false},      {1, "HS_Back", 0, 0, 2, false},   {1, "Help_Prev", 0, 0, 2, false},
    {1, "Help_Next", 0, 0, 2, false},    {1, "HelpLogo", 0, 0, 1, false},  {1, "SendTable", 442, 0, 1, true},
    {1, "SendOk", 54, 45, 2, false},     {2, "Bonus10", 35, 34, 1, true},  {2, "Bonus20", 35, 34, 1, true},
    {2, "Bonus50", 35, 34, 1, true},     {2, "Bonus100", 35, 34, 1, true}, {2, "BonusL", 35, 34, 1, true},
    {2, "BonusN", 35, 34, 1, true},      {2, "BonusMGnp", 35, 34, 1, true}, {2, "BonusRnp", 35, 34, 1, true},
    {2, "BonusNitro", 40, 40, 1, true},  {2, "BonusM", 40, 40, 1, true},   {2, "BonusR", 40, 40, 1, true},
};

TEST(GeneratedScreenArt, PicturesHaveTheirSizesAndPatterns) {
  for (const TExpected& e : kPictures) {
    const TPictureCollectionItem* item = BuiltPicture(e.List, e.Name);
    ASSERT_NE(item, nullptr) << e.Name;
    if (e.Width) {
      EXPECT_EQ(item->Width(), e.Width) << e.Name;
    }
    if (e.Height) {
      EXPECT_EQ(item->Height(), e.Height) << e.Name;
    }
    EXPECT_EQ(item->PatternCount(), e.Patterns) << e.Name;
    EXPECT_EQ(item->Transparent, e.Keyed) << e.Name;
  }
}

struct TPlaced {
  const char* Name;
  int X, Y;
};
struct TBox {
  int L, T, R, B;
  bool Overlaps(const TBox& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }
};
TBox BoxOf(const TPlaced& p) {
  const TPictureCollectionItem* item = BuiltPicture(1, p.Name);
  return {p.X, p.Y, p.X + item->Width(), p.Y + item->Height()};
}

// Each screen's pictures stay on the screen and its buttons apart, the
// highscores buttons left of the table.
TEST(GeneratedScreenArt, ScreenPicturesStayOnScreenAndApart) {
  const std::vector<std::vector<TPlaced>> screens = {
      {{"HSCaption", 364, 102}, {"HSTable", 274, 199}, {"HS_Clear", 0, 245}, {"HS_View", 0, 335}, {"HS_Back", 52, 457}},
      {{"Help_Prev", 537, 512}, {"Help_Next", 622, 435}, {"HelpLogo", 73, 338}},
  };
  for (const auto& screen : screens) {
    std::vector<TBox> boxes;
    for (const TPlaced& p : screen) {
      ASSERT_NE(BuiltPicture(1, p.Name), nullptr) << p.Name;
      const TBox box = BoxOf(p);
      EXPECT_LE(box.R, 792) << p.Name;
      EXPECT_LE(box.B, 592) << p.Name;
      for (const TBox& other : boxes) EXPECT_FALSE(box.Overlaps(other)) << p.Name << " overlaps another picture";
      boxes.push_back(box);
    }
  }
  // The about page prints its lines from x = 160, right of the logo.
  EXPECT_LE(BoxOf({"HelpLogo", 73, 338}).R, 160);
}

// The buttons are the background under them with a caption or key: their
// rim matches MMBG so they join it, and the hovered look differs.
TEST(GeneratedScreenArt, ButtonsAreDrawnOverTheBackground) {
  const TPictureCollectionItem* bg = BuiltPicture(1, "MMBG");
  ASSERT_NE(bg, nullptr);
  const TPlaced buttons[] = {{"HS_Clear", 0, 245},    {"HS_View", 0, 335},      {"HS_Back", 52, 457},
                             {"Help_Prev", 537, 512}, {"Help_Next", 622, 435}};
  for (const TPlaced& b : buttons) {
    const TPictureCollectionItem* item = BuiltPicture(1, b.Name);
    ASSERT_NE(item, nullptr) << b.Name;
    int rim = 0, changed = 0;
    for (int pattern = 0; pattern < 2; ++pattern)
      for (int y = 0; y < item->Height(); ++y)
        for (int x = 0; x < item->Width(); ++x) {
          const uint32_t p = PatternPixel(*item, pattern, x, y);
          if (x == 0 || y == 0 || x == item->Width() - 1 || y == item->Height() - 1)
            rim = std::max(rim, ChannelDistance(p, bg->Picture.Row(b.Y + y)[b.X + x]));
          if (pattern == 0 && p != PatternPixel(*item, 1, x, y)) ++changed;
        }
    EXPECT_LE(rim, 6) << b.Name;
    EXPECT_GT(changed, 100) << b.Name << ": hovering changes nothing";
  }
  // The help screen's back button ("Opt_Bk", to x = 547) is drawn over the
  // first columns of the previous-page key, which must show only background.
  const TPictureCollectionItem* prev = BuiltPicture(1, "Help_Prev");
  for (int pattern = 0; pattern < 2; ++pattern)
    for (int y = 0; y < prev->Height(); ++y)
      for (int x = 0; x < 547 - 537; ++x)
        ASSERT_LE(ChannelDistance(PatternPixel(*prev, pattern, x, y), bg->Picture.Row(512 + y)[537 + x]), 6)
            << "pattern " << pattern << " at " << x << ", " << y;
}

// The game prints names (x = 530) and scores (x = 720) in light colours on
// every row of the table, and the score and the typed name in white on the
// name entry: the pictures stay dark there.
TEST(GeneratedScreenArt, PrintedTextsLandOnDarkFields) {
  const TPictureCollectionItem* table = BuiltPicture(1, "HSTable");
  ASSERT_NE(table, nullptr);
  for (int row = 0; row < 10; ++row)
    for (int dx = -60; dx <= 60; dx += 10) {
      const int nameY = 256 + 36 * row - 199, scoreY = 252 + 36 * row - 199;
      EXPECT_LT(Brightness(PatternPixel(*table, 0, 530 + dx - 274, nameY)), 80) << "name row " << row + 1;
      if (std::abs(dx) <= 50) {
        EXPECT_LT(Brightness(PatternPixel(*table, 0, 720 + dx - 274, scoreY)), 80) << "score row " << row + 1;
      }
    }
  // Not one row of the tenth place's printing reaches the frame's bottom bar.
  const int tenthInkBottom = 256 + 36 * 9 + 7;
  for (int x = 530 - 60; x <= 720 + 50; x += 10)
    EXPECT_LT(Brightness(PatternPixel(*table, 0, x - 274, tenthInkBottom - 199)), 80) << "below row 10 at x " << x;
  const TPictureCollectionItem* window = BuiltPicture(1, "SendTable");
  ASSERT_NE(window, nullptr);
  // A name can grow to about 270 pixels before the entry stops it.
  for (int dx = -140; dx <= 140; dx += 10) {
    EXPECT_LT(Brightness(PatternPixel(*window, 0, 348 + dx - 127, 345 - 135)), 60) << dx;
    EXPECT_LT(Brightness(PatternPixel(*window, 0, 348 + dx / 2 - 127, 217 - 135)), 60) << dx;
  }
}

// The table's board is framed on all four sides within the screen: under
// every column between its side bars, the lowest rows of the screen are the
// lit steel of its bottom bar, below the tenth row's badge, name and score.
TEST(GeneratedScreenArt, TheTableBoardClosesAboveTheScreensBottomEdge) {
  const TPictureCollectionItem* table = BuiltPicture(1, "HSTable");
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->Height() + 199, 592);
  ASSERT_EQ(table->Width() + 274, 792);
  std::string open;
  for (int x = 352; x < 774; ++x) {
    int lit = 0;
    for (int y = 586; y < 592; ++y) lit = std::max(lit, Brightness(PatternPixel(*table, 0, x - 274, y - 199)));
    if (lit < 110 && open.size() < 200) open += " " + std::to_string(x);
  }
  EXPECT_EQ(open, "") << "columns with no steel bar along the screen's bottom edge";
}

// The check box covers the area a click toggles, its unticked look is the
// window's own pixels there, and the ticked one differs.
TEST(GeneratedScreenArt, CheckBoxJoinsTheNameEntryWindow) {
  const TPictureCollectionItem* window = BuiltPicture(1, "SendTable");
  const TPictureCollectionItem* box = BuiltPicture(1, "SendOk");
  ASSERT_NE(window, nullptr);
  ASSERT_NE(box, nullptr);
  EXPECT_LE(window->Height() + 135, 592);
  EXPECT_GE(window->Height() + 135, 414) << "the check box row lies outside the window";
  int ticked = 0;
  for (int y = 0; y < box->Height(); ++y)
    for (int x = 0; x < box->Width(); ++x) {
      ASSERT_EQ(PatternPixel(*box, 0, x, y), PatternPixel(*window, 0, 161 - 127 + x, 369 - 135 + y)) << x << ", " << y;
      if (PatternPixel(*box, 1, x, y) != PatternPixel(*box, 0, x, y)) ++ticked;
    }
  EXPECT_GT(ticked, 100);
}

// Keyed pictures: their corners are the key, their middle is drawn, and no
// drawn pixel comes near the key colour, so no fringe of it shows on the road.
TEST(GeneratedScreenArt, KeyedPicturesHaveNoKeyFringe) {
  for (const TExpected& e : kPictures) {
    if (!e.Keyed) continue;
    const TPictureCollectionItem* item = BuiltPicture(e.List, e.Name);
    ASSERT_NE(item, nullptr) << e.Name;
    const uint32_t key = KeyRgb(*item);
    const int w = item->Width(), h = item->Height();
    EXPECT_EQ(PatternPixel(*item, 0, 0, 0), key) << e.Name;
    EXPECT_EQ(PatternPixel(*item, 0, w - 1, h - 1), key) << e.Name;
    EXPECT_NE(PatternPixel(*item, 0, w / 2, h / 2), key) << e.Name;
    int fringe = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t p = PatternPixel(*item, 0, x, y);
        if (p != key && ChannelDistance(p, key) < 90) ++fringe;
      }
    EXPECT_EQ(fringe, 0) << e.Name;
  }
}

}  // namespace
