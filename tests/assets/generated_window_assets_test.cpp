// The question windows' pictures as the generator writes them: the frame,
// the three questions and the Yes / No buttons have the sizes, patterns and
// places the windows rely on, and the pieces laid over the frame join it.
// Runs in the build folder, where the generator has written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

constexpr int kFrameX = 188, kFrameY = 237, kCentreX = 348;

// Every piece the question windows put over the frame, at its screen place.
struct TPiece {
  const char* Name;
  int X, Y;
  int Width;  // 0: any
  int Patterns;
};
constexpr TPiece kPieces[] = {
    {"Win_EG", 295, 248, 106, 1},     {"Win_ExitToMenu", 276, 248, 144, 1}, {"Win_ClearHS", 268, 237, 160, 1},
    {"Yes", 237, 296, 73, 2},         {"No", 386, 296, 73, 2},
};

struct TBox {
  int L, T, R, B;
  bool Overlaps(const TBox& o) const { return L < o.R && o.L < R && T < o.B && o.T < B; }
};

TEST(GeneratedWindowArt, FrameIsAKeyedPanelCentredOnTheWindowTexts) {
  const TPictureCollectionItem* frame = BuiltPicture(1, "Window");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->PatternCount(), 1);
  EXPECT_EQ(kFrameX + frame->Width() / 2, kCentreX);
  EXPECT_GE(frame->Height(), 110);
  EXPECT_LE(frame->Height(), 140);
  ASSERT_TRUE(frame->Transparent);
  const uint32_t key = KeyRgb(*frame);
  const int w = frame->Width(), h = frame->Height();
  // Cut corners let the screen under the window show; the border and the
  // panel are solid.
  for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
    EXPECT_EQ(PatternPixel(*frame, 0, x, y), key) << x << "," << y;
  int keyed = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) keyed += PatternPixel(*frame, 0, x, y) == key;
  EXPECT_LT(keyed, 100);
  for (const auto& [x, y] : {std::pair{w / 2, 0}, {0, h / 2}, {w / 2, h / 2}, {w - 1, h / 2}, {w / 2, h - 1}})
    EXPECT_NE(PatternPixel(*frame, 0, x, y), key) << x << "," << y;
}

// The pieces lie inside the frame, centred on x = 348; the buttons are
// apart and clear of every question, whose picture would otherwise cover
// them, and each is a single hit box in both looks.
TEST(GeneratedWindowArt, PiecesFitTheFrameAndKeepTheButtonsClear) {
  const TPictureCollectionItem* frame = BuiltPicture(1, "Window");
  ASSERT_NE(frame, nullptr);
  const TBox frameBox{kFrameX, kFrameY, kFrameX + frame->Width(), kFrameY + frame->Height()};
  std::vector<TBox> questions, buttons;
  for (const TPiece& p : kPieces) {
    const TPictureCollectionItem* item = BuiltPicture(1, p.Name);
    ASSERT_NE(item, nullptr) << p.Name;
    EXPECT_EQ(item->Width(), p.Width) << p.Name;
    EXPECT_EQ(item->PatternCount(), p.Patterns) << p.Name;
    const TBox box{p.X, p.Y, p.X + item->Width(), p.Y + item->Height()};
    EXPECT_TRUE(box.L >= frameBox.L && box.T >= frameBox.T && box.R <= frameBox.R && box.B <= frameBox.B) << p.Name;
    if (p.Patterns == 2) {
      buttons.push_back(box);
      EXPECT_GE(item->Height(), 36) << p.Name;
      EXPECT_LE(item->Height(), 40) << p.Name;
    } else {
      questions.push_back(box);
      EXPECT_EQ(box.L + box.R, 2 * kCentreX) << p.Name;
    }
  }
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_FALSE(buttons[0].Overlaps(buttons[1]));
  EXPECT_EQ(buttons[0].L + buttons[1].R, 2 * kCentreX);
  EXPECT_EQ(buttons[0].T, buttons[1].T);
  for (const TBox& b : buttons)
    for (const TBox& q : questions) EXPECT_FALSE(b.Overlaps(q));
}

// Questions and buttons are cut from the frame: their rims equal the frame
// under them, their middles show a caption, and a button's hovered look
// (pattern 0) differs from its normal one (pattern 1).
TEST(GeneratedWindowArt, PiecesJoinTheFrameUnderThem) {
  const TPictureCollectionItem* frame = BuiltPicture(1, "Window");
  ASSERT_NE(frame, nullptr);
  for (const TPiece& p : kPieces) {
    const TPictureCollectionItem* item = BuiltPicture(1, p.Name);
    ASSERT_NE(item, nullptr) << p.Name;
    EXPECT_FALSE(item->Transparent) << p.Name;
    for (int pattern = 0; pattern < item->PatternCount(); ++pattern) {
      int rim = 0, middle = 0;
      for (int y = 0; y < item->Height(); ++y)
        for (int x = 0; x < item->Width(); ++x) {
          const int d = ChannelDistance(PatternPixel(*item, pattern, x, y),
                                        PatternPixel(*frame, 0, p.X - kFrameX + x, p.Y - kFrameY + y));
          if (x == 0 || y == 0 || x == item->Width() - 1 || y == item->Height() - 1)
            rim = std::max(rim, d);
          else
            middle = std::max(middle, d);
        }
      EXPECT_LE(rim, 6) << p.Name << " pattern " << pattern;
      EXPECT_GE(middle, 100) << p.Name << " pattern " << pattern << " shows no caption";
    }
    if (p.Patterns == 2) {
      int differing = 0;
      for (int y = 0; y < item->Height(); ++y)
        for (int x = 0; x < item->Width(); ++x)
          differing += ChannelDistance(PatternPixel(*item, 0, x, y), PatternPixel(*item, 1, x, y)) > 40;
      EXPECT_GT(differing, item->Width() * item->Height() / 10) << p.Name << " looks the same hovered";
    }
  }
}

}  // namespace
