// The options screen's pictures as the generator writes them: indicators
// that swap in place, hover looks that never paint over what changes with a
// setting, a country box that holds the longest country the screen accepts
// with its cursor, and a back button in two looks. Runs in the build folder,
// where the generator has written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

int Luminance(uint32_t c) { return (((c >> 16) & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + (c & 0xFF) * 114) / 1000; }

struct TBox {
  int L, T, R, B;  // right and bottom exclusive
  bool Contains(int x, int y) const { return x >= L && x < R && y >= T && y < B; }
  bool Contains(const TBox& o) const { return o.L >= L && o.T >= T && o.R <= R && o.B <= B; }
};
TBox PlacedBox(const TPictureCollectionItem& item, int x, int y) { return {x, y, x + item.Width(), y + item.Height()}; }

// The switch rows as the screen lays them out: hover picture and hit box at
// the row's corner, the indicator of each state at its own place.
struct TSwitchRow {
  const char* Hover;
  TBox Hit;
  int IndicatorX, IndicatorY;
  const char* States[2];
};
const TSwitchRow kRows[] = {
    {"Opt_1", {118, 248, 118 + 545, 248 + 64}, 118, 255, {"OptFullScreen", "OptWindow"}},
    {"Opt_2", {118, 312, 118 + 282, 312 + 62}, 118, 320, {"OptMusicOn", "OptMusicOff"}},
    {"Opt_3", {118, 375, 118 + 282, 375 + 62}, 115, 383, {"OptSoundOn", "OptSoundOff"}},
};
constexpr TBox kCountryHit{118, 436, 118 + 681, 436 + 84};
constexpr int kBoxX = 361, kBoxY = 442, kBackX = 345, kBackY = 513;
constexpr int kCountryX = 380, kCountryY = 450, kCursorY = 491;

// Both states of a row swap in place: one size, inside the row, cut from
// the background (their top, right and bottom rims match it) and showing
// different things.
TEST(GeneratedOptionsArt, IndicatorPairsSwapInPlaceOverTheBackground) {
  const TPictureCollectionItem& bg = RequiredPicture(1, "MMBG");
  for (const TSwitchRow& row : kRows) {
    const TPictureCollectionItem& on = RequiredPicture(1, row.States[0]);
    const TPictureCollectionItem& off = RequiredPicture(1, row.States[1]);
    ASSERT_GT(on.Picture.Width, 0);
    ASSERT_GT(off.Picture.Width, 0);
    EXPECT_EQ(on.Width(), off.Width()) << row.Hover;
    EXPECT_EQ(on.Height(), off.Height()) << row.Hover;
    const TBox box = PlacedBox(on, row.IndicatorX, row.IndicatorY);
    EXPECT_TRUE(box.T >= row.Hit.T && box.B <= row.Hit.B && box.R <= row.Hit.R) << row.Hover;
    int differing = 0;
    for (const TPictureCollectionItem* item : {&on, &off}) {
      EXPECT_FALSE(item->Transparent) << item->Name;
      EXPECT_EQ(item->PatternCount(), 1) << item->Name;
      int rim = 0;
      for (int y = 0; y < item->Height(); ++y)
        for (int x = 0; x < item->Width(); ++x)
          if (y == 0 || y == item->Height() - 1 || x == item->Width() - 1)
            rim = std::max(rim, ChannelDistance(PatternPixel(*item, 0, x, y),
                                                bg.Picture.Row(box.T + y)[box.L + x]));
      EXPECT_LE(rim, 6) << item->Name;
    }
    for (int y = 0; y < on.Height(); ++y)
      for (int x = 0; x < on.Width(); ++x)
        differing += ChannelDistance(PatternPixel(on, 0, x, y), PatternPixel(off, 0, x, y)) > 60;
    EXPECT_GT(differing, 150) << row.States[0] << " and " << row.States[1] << " look alike";
  }
}

// A hover look lies over the indicator, whose picture depends on the
// setting: wherever it paints, both states of the indicator must agree, or
// hovering would show the wrong state. It stays in its row and lights up a
// good part of it.
TEST(GeneratedOptionsArt, RowHoverPaintsOnlyWhatBothStatesShare) {
  for (const TSwitchRow& row : kRows) {
    const TPictureCollectionItem& hover = RequiredPicture(1, row.Hover);
    const TPictureCollectionItem& on = RequiredPicture(1, row.States[0]);
    const TPictureCollectionItem& off = RequiredPicture(1, row.States[1]);
    ASSERT_GT(hover.Picture.Width, 0);
    ASSERT_TRUE(hover.Transparent) << row.Hover;
    EXPECT_EQ(hover.PatternCount(), 1);
    EXPECT_TRUE(row.Hit.Contains(PlacedBox(hover, row.Hit.L, row.Hit.T))) << row.Hover;
    const TBox indicator = PlacedBox(on, row.IndicatorX, row.IndicatorY);
    const uint32_t key = KeyRgb(hover);
    int lit = 0, clashes = 0;
    for (int y = 0; y < hover.Height(); ++y)
      for (int x = 0; x < hover.Width(); ++x) {
        const uint32_t p = PatternPixel(hover, 0, x, y);
        if (p == key) continue;
        const int sx = row.Hit.L + x, sy = row.Hit.T + y;
        if (!indicator.Contains(sx, sy)) continue;
        const uint32_t a = PatternPixel(on, 0, sx - indicator.L, sy - indicator.T);
        const uint32_t b = PatternPixel(off, 0, sx - indicator.L, sy - indicator.T);
        clashes += a != b;
        lit += ChannelDistance(p, a) > 40;
      }
    EXPECT_EQ(clashes, 0) << row.Hover << " paints over pixels that change with the setting";
    EXPECT_GT(lit, 400) << row.Hover << " hardly changes the row";
  }
}

// The country row's hover stays inside its hit box and on the screen, and
// leaves the back button below it alone: the button lies under it, since
// it was placed after the rows at the same Z.
TEST(GeneratedOptionsArt, CountryHoverKeepsOffTheBackButton) {
  const TPictureCollectionItem& hover = RequiredPicture(1, "Opt_4");
  const TPictureCollectionItem& back = RequiredPicture(1, "Opt_Bk");
  ASSERT_GT(hover.Picture.Width, 0);
  ASSERT_GT(back.Picture.Width, 0);
  ASSERT_TRUE(hover.Transparent);
  const TBox backBox = PlacedBox(back, kBackX, kBackY);
  const uint32_t key = KeyRgb(hover);
  int painted = 0, onButton = 0, outside = 0;
  for (int y = 0; y < hover.Height(); ++y)
    for (int x = 0; x < hover.Width(); ++x) {
      if (PatternPixel(hover, 0, x, y) == key) continue;
      const int sx = kCountryHit.L + x, sy = kCountryHit.T + y;
      ++painted;
      onButton += backBox.Contains(sx, sy);
      outside += !kCountryHit.Contains(sx, sy) || sx >= SurfaceWidth;
    }
  EXPECT_GT(painted, 1000);
  EXPECT_EQ(onButton, 0);
  EXPECT_EQ(outside, 0);
}

class OptionsTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Saved = BackSurface;
    BackSurface.Resize(SurfaceWidth, SurfaceHeight);
  }
  void TearDown() override { BackSurface = Saved; }

  // The box of the pixels a print changes on a plain ground.
  static TBox Ink(const std::string& text, int style, int x, int y) {
    constexpr uint32_t kGround = 0x4080C0;
    FillSurface(BackSurface, kGround);
    SetTextStyle(style);
    DrawText(text, x, y, false, false);
    TBox r{SurfaceWidth, SurfaceHeight, -1, -1};
    for (int py = 0; py < SurfaceHeight; ++py)
      for (int px = 0; px < SurfaceWidth; ++px)
        if (BackSurface.Row(py)[px] != kGround)
          r = {std::min(r.L, px), std::min(r.T, py), std::max(r.R, px + 1), std::max(r.B, py + 1)};
    return r;
  }

  TSurface Saved;
};

// The widest country the screen accepts: wide letters appended while the
// text is at most 345 pixels wide and shorter than 16 letters.
std::string WidestCountry() {
  std::string widest(1, 'A');
  for (int c = 0; c < 256; ++c) {
    const bool allowed = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ' ' ||
                         c >= 192;
    if (allowed && TextWidth(std::string(1, static_cast<char>(c)), 4) > TextWidth(widest, 4))
      widest = std::string(1, static_cast<char>(c));
  }
  std::string country;
  while (TextWidth(country, 4) <= 345 && country.size() < 16) country += widest;
  return country;
}

// The black typed text and the cursor after it must land on the light field
// of the box, from the first letter to the widest country, and the label
// before the box must end left of it.
TEST_F(OptionsTextTest, CountryBoxHoldsItsTextAndCursor) {
  const TPictureCollectionItem& boxItem = RequiredPicture(1, "CountryEditBg");
  const TPictureCollectionItem& cursor = RequiredPicture(1, "Cursor");
  ASSERT_GT(boxItem.Picture.Width, 0);
  ASSERT_GT(cursor.Picture.Width, 0);
  // The field: the bounding box of the box picture's light pixels.
  TBox field{SurfaceWidth, SurfaceHeight, -1, -1};
  for (int y = 0; y < boxItem.Height(); ++y)
    for (int x = 0; x < boxItem.Width(); ++x)
      if (Luminance(PatternPixel(boxItem, 0, x, y)) > 170)
        field = {std::min(field.L, kBoxX + x), std::min(field.T, kBoxY + y), std::max(field.R, kBoxX + x + 1),
                 std::max(field.B, kBoxY + y + 1)};
  for (const std::string& country : {Cp1251FromUtf8("Ю"), Cp1251FromUtf8("_______"), WidestCountry()}) {
    const TBox ink = Ink(country, 4, kCountryX, kCountryY);
    EXPECT_TRUE(field.Contains(ink)) << Utf8FromCp1251(country) << ": ink " << ink.L << "," << ink.T << " - "
                                     << ink.R << "," << ink.B << " field " << field.L << "," << field.T << " - "
                                     << field.R << "," << field.B;
    const TBox caret = PlacedBox(cursor, kCountryX + TextWidth(country, 4), kCursorY);
    EXPECT_TRUE(field.Contains(caret)) << Utf8FromCp1251(country);
  }
  // The cursor is a dark mark on that field.
  const uint32_t fieldColour = boxItem.Picture.Row(kCursorY - kBoxY)[kCountryX - kBoxX + 40];
  const int fieldLum = Luminance(fieldColour);
  for (int y = 0; y < cursor.Height(); ++y)
    for (int x = 0; x < cursor.Width(); ++x)
      if (PatternPixel(cursor, 0, x, y) != KeyRgb(cursor)) {
        EXPECT_GT(fieldLum - Luminance(PatternPixel(cursor, 0, x, y)), 100) << x << "," << y;
      }
  EXPECT_LT(Ink(Cp1251FromUtf8("Ваша страна:"), 13, 116, 447).R, field.L);
}

// The cursors are short bars under the next letter's place; the name
// entry's reads on its dark panel.
TEST(GeneratedOptionsArt, CursorsAreShortBars) {
  for (const char* name : {"Cursor", "Cursor2"}) {
    const TPictureCollectionItem& cursor = RequiredPicture(1, name);
    ASSERT_GT(cursor.Picture.Width, 0) << name;
    EXPECT_TRUE(cursor.Transparent) << name;
    EXPECT_EQ(cursor.PatternCount(), 1) << name;
    EXPECT_GE(cursor.Width(), 10) << name;
    EXPECT_LE(cursor.Width(), 24) << name;
    EXPECT_LE(cursor.Height(), 6) << name;
  }
  const TPictureCollectionItem& light = RequiredPicture(1, "Cursor2");
  for (int y = 0; y < light.Height(); ++y)
    for (int x = 0; x < light.Width(); ++x)
      if (PatternPixel(light, 0, x, y) != KeyRgb(light)) {
        EXPECT_GT(Luminance(PatternPixel(light, 0, x, y)), 150);
      }
}

// "Null" draws nothing; the back button is cut from the background in its
// normal look (pattern 1) and its hovered look (pattern 0).
TEST(GeneratedOptionsArt, NullIsInvisibleAndBackHasTwoLooks) {
  const TPictureCollectionItem& null = RequiredPicture(1, "Null");
  ASSERT_GT(null.Picture.Width, 0);
  ASSERT_TRUE(null.Transparent);
  for (uint32_t p : null.Picture.Pixels) EXPECT_EQ(p, KeyRgb(null));

  const TPictureCollectionItem& bg = RequiredPicture(1, "MMBG");
  const TPictureCollectionItem& back = RequiredPicture(1, "Opt_Bk");
  ASSERT_EQ(back.PatternCount(), 2);
  EXPECT_FALSE(back.Transparent);
  EXPECT_LE(kBackX + back.Width(), SurfaceWidth);
  EXPECT_LE(kBackY + back.Height(), SurfaceHeight);
  int differing = 0;
  for (int pattern = 0; pattern < 2; ++pattern) {
    int rim = 0;
    for (int y = 0; y < back.Height(); ++y)
      for (int x = 0; x < back.Width(); ++x) {
        if (x == 0 || y == 0 || x == back.Width() - 1 || y == back.Height() - 1)
          rim = std::max(rim, ChannelDistance(PatternPixel(back, pattern, x, y), bg.Picture.Row(kBackY + y)[kBackX + x]));
        if (pattern == 0) differing += ChannelDistance(PatternPixel(back, 0, x, y), PatternPixel(back, 1, x, y)) > 40;
      }
    EXPECT_LE(rim, 6) << "pattern " << pattern;
  }
  EXPECT_GT(differing, back.Width() * back.Height() / 20);
}

}  // namespace
