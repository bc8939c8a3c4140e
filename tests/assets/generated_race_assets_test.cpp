// The race's panel, effects, lamps and finish line as the generator writes
// them: the sizes and pattern counts the race draws with, display windows
// under the points the panel texts are centred on, the needle's pivot on the
// dial's centre, lamp posts at the points the crash test uses with the arm
// reaching over the road, and effects that read the right way round. Runs
// in the build folder, where the generator has written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "support/built_assets.h"
#include "sprites/archive_format.h"

namespace {

bool Drawn(const TPictureCollectionItem& item, int pattern, int x, int y) {
  return !item.Transparent || PatternPixel(item, pattern, x, y) != KeyRgb(item);
}

int R(uint32_t c) { return (c >> 16) & 0xFF; }
int G(uint32_t c) { return (c >> 8) & 0xFF; }
int B(uint32_t c) { return c & 0xFF; }
int Brightest(uint32_t c) { return std::max({R(c), G(c), B(c)}); }

// ---- Sizes ---------------------------------------------------------------------

struct TSizeCase {
  const char* Name;
  int MinWidth, MaxWidth, Height;  // Height 0: any
  int MinPatterns, MaxPatterns;
  bool Keyed;
};
constexpr TSizeCase kSizes[] = {
    {"Panel", 182, 182, 592, 1, 1, false},
    {"Pointer", 20, 120, 0, 1, 1, true},
    {"SmallCar", 12, 16, 24, 1, 1, true},
    // The race shows pattern 3 - Energy, Energy being 3 .. 0.
    {"Energy", 40, 80, 0, 4, 4, false},
    {"ExplosionBig", 64, 64, 64, 14, 32, true},
    // The flame's pivot fractions are worked out for a 16 x 51 picture.
    {"NitroAnim", 16, 16, 51, 2, 16, true},
    {"Handbrake", 10, 10, 14, 1, 1, true},
    {"Blood", 10, 10, 14, 1, 1, true},
    {"Lamp_L", 75, 90, 0, 1, 1, true},
    {"Lamp_R", 85, 90, 0, 1, 1, true},
    {"Lamp_RL", 75, 90, 0, 1, 1, true},
    {"Lamp_RR", 75, 90, 0, 1, 1, true},
    {"Lamp_LR", 75, 90, 0, 1, 1, true},
    {"Lamp_LL", 75, 90, 0, 1, 1, true},
    {"FinishLine", 72, 72, 0, 1, 1, false},
};

void PrintTo(const TSizeCase& c, std::ostream* os) { *os << c.Name; }

class GeneratedRacePicture : public testing::TestWithParam<TSizeCase> {};

// A keyed picture whose edge kept some of the key colour would show a pink
// fringe over the road or the panel.
TEST_P(GeneratedRacePicture, HasTheSizeAndPatternsTheRaceDrawsWithAndNoKeyFringe) {
  const TSizeCase& c = GetParam();
  const TPictureCollectionItem& item = RequiredPicture(2, c.Name);
  EXPECT_GE(item.Width(), c.MinWidth);
  EXPECT_LE(item.Width(), c.MaxWidth);
  if (c.Height) {
    EXPECT_EQ(item.Height(), c.Height);
  }
  EXPECT_GE(item.PatternCount(), c.MinPatterns);
  EXPECT_LE(item.PatternCount(), c.MaxPatterns);
  ASSERT_EQ(item.Transparent, c.Keyed);
  if (!item.Transparent) return;
  const uint32_t key = KeyRgb(item);
  int fringe = 0, drawn = 0;
  for (int p = 0; p < item.PatternCount(); ++p)
    for (int y = 0; y < item.Height(); ++y)
      for (int x = 0; x < item.Width(); ++x) {
        const uint32_t col = PatternPixel(item, p, x, y);
        if (col == key) continue;
        ++drawn;
        if (R(col) > 150 && B(col) > 150 && G(col) < R(col) - 80 && G(col) < B(col) - 80) ++fringe;
      }
  EXPECT_GT(drawn, 0);
  EXPECT_EQ(fringe, 0);
}

INSTANTIATE_TEST_SUITE_P(Race, GeneratedRacePicture, testing::ValuesIn(kSizes),
                         [](const testing::TestParamInfo<TSizeCase>& info) { return std::string(info.param.Name); });

// ---- Panel ---------------------------------------------------------------------

constexpr int kPanelLeft = 610;

uint32_t PanelAt(int screenX, int screenY) {
  return PatternPixel(RequiredPicture(2, "Panel"), 0, screenX - kPanelLeft, screenY);
}

// Every panel text, at its longest, is printed on dark green glass.
TEST(GeneratedPanel, EveryTextLiesOnItsDisplayWindow) {
  struct TText {
    const char* Utf8;
    int X, Y;
  };
  constexpr TText kTexts[] = {{"УРОВЕНЬ 9", 690, 28}, {"00 : 54", 705, 117}, {"03 : 58", 705, 117},
                              {"888888", 692, 202},    {"25", 763, 272},      {"9", 775, 327},
                              {"100", 760, 384}};
  const TSurface saved = BackSurface;
  BackSurface.Resize(SurfaceWidth, SurfaceHeight);
  for (const TText& t : kTexts) {
    FillSurface(BackSurface, 0);
    SetTextStyle(18);
    DrawText(Cp1251FromUtf8(t.Utf8), t.X, t.Y, true, true);
    TRect ink{SurfaceWidth, SurfaceHeight, -1, -1};
    for (int y = 0; y < SurfaceHeight; ++y)
      for (int x = 0; x < SurfaceWidth; ++x)
        if (BackSurface.Row(y)[x] != 0) {
          ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x + 1);
          ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y + 1);
        }
    ASSERT_LT(ink.Left, ink.Right) << t.Utf8 << " printed nothing";
    int off = 0;
    for (int y = ink.Top - 1; y < ink.Bottom + 1; ++y)
      for (int x = ink.Left - 1; x < ink.Right + 1; ++x) {
        const uint32_t c = PanelAt(x, y);
        if (!(Brightest(c) < 80 && G(c) >= R(c) && G(c) >= B(c))) ++off;
      }
    EXPECT_EQ(off, 0) << t.Utf8 << ": pixels round the text that are not display glass";
  }
  BackSurface = saved;
}

// The icon sockets and the progress marker's groove are dark recesses
// under the sprites the race puts there.
TEST(GeneratedPanel, IconsAndProgressMarkerSitInDarkRecesses) {
  struct TArea {
    const char* What;
    int X, Y, W, H;
  };
  constexpr TArea kAreas[] = {{"weapon icon", 627, 251, 40, 40},
                              {"nitro icon", 628, 363, 40, 40},
                              {"progress marker's track", 773, 15, 14, 201}};
  for (const TArea& a : kAreas) {
    int light = 0;
    for (int y = a.Y; y < a.Y + a.H; ++y)
      for (int x = a.X; x < a.X + a.W; ++x)
        if (Brightest(PanelAt(x, y)) >= 90) ++light;
    EXPECT_EQ(light, 0) << a.What;
  }
}

// The race puts the needle's pivot, 1.04 of its width and half its height
// into the picture, at (width + 641, height + 509). The dial's hub, a
// bright cap with a dark centre, must be centred there.
TEST(GeneratedPanel, NeedleTurnsAboutTheDialCentre) {
  const TPictureCollectionItem& needle = RequiredPicture(2, "Pointer");
  const int px = needle.Width() + 641, py = needle.Height() + 509;  // a pixel corner
  int centre = 0;
  for (int dy = -1; dy <= 0; ++dy)
    for (int dx = -1; dx <= 0; ++dx) centre = std::max(centre, Brightest(PanelAt(px + dx, py + dy)));
  EXPECT_LT(centre, 40) << "hub centre";
  // Pixels 3.5 from the pivot all round, on the cap.
  constexpr int kRing[8][2] = {{3, -1}, {-4, -1}, {-1, 3}, {-1, -4}, {2, 2}, {-3, 2}, {2, -3}, {-3, -3}};
  for (const auto& [dx, dy] : kRing)
    EXPECT_GE(Brightest(PanelAt(px + dx, py + dy)), centre + 25) << "hub cap at " << dx << "," << dy;

  // The needle is symmetric about its middle row, so it does not wobble as
  // it turns; its tip is at the left and its base ends near the pivot.
  const int h = needle.Height();
  int left = needle.Width(), right = -1;
  for (int x = 0; x < needle.Width(); ++x) {
    int top = 0, bottom = 0;
    for (int y = 0; y < h; ++y)
      if (Drawn(needle, 0, x, y)) {
        if (2 * y + 1 < h) ++top;
        if (2 * y + 1 > h) ++bottom;
        left = std::min(left, x), right = std::max(right, x);
      }
    EXPECT_EQ(top, bottom) << "column " << x;
  }
  EXPECT_LE(left, 6);
  EXPECT_GE(right, needle.Width() - 3);
}

// Pattern 0 shows a whole car, each further pattern less; the last warns.
TEST(GeneratedPanel, EnergyPatternsRunDownFromIntact) {
  const TPictureCollectionItem& energy = RequiredPicture(2, "Energy");
  ASSERT_EQ(energy.PatternCount(), 4);
  int lit[4] = {};
  for (int p = 0; p < 4; ++p)
    for (int y = 0; y < energy.Height(); ++y)
      for (int x = 0; x < energy.Width(); ++x) {
        const uint32_t c = PatternPixel(energy, p, x, y);
        if (Brightest(c) < 200) continue;
        ++lit[p];
        if (p == 3) {
          EXPECT_GT(R(c), G(c) + 60) << "the last pattern lights only red";
        }
      }
  EXPECT_GT(lit[0], lit[1]);
  EXPECT_GT(lit[1], lit[2]);
  EXPECT_GT(lit[2], 0);
  EXPECT_GT(lit[3], 0);
}

// ---- Lamps ---------------------------------------------------------------------

// The post point (the crash test's point) and which way the lit head lies
// from it: over the road, away from the road edge the lamp stands on.
struct TLampCase {
  const char* Name;
  int PostX, PostY;
  int HeadDX, HeadDY;  // -1, 0 or 1
};
constexpr TLampCase kLamps[] = {
    {"Lamp_L", 0, 9, 1, 0},    {"Lamp_R", 84, 9, -1, 0},  {"Lamp_RL", 1, 1, 1, 1},
    {"Lamp_RR", 73, 41, -1, -1}, {"Lamp_LR", 74, 1, -1, 1}, {"Lamp_LL", 0, 40, 1, -1},
};

void PrintTo(const TLampCase& c, std::ostream* os) { *os << c.Name; }

class GeneratedLamp : public testing::TestWithParam<TLampCase> {};

TEST_P(GeneratedLamp, PostStandsOnItsPointAndTheLightReachesOverTheRoad) {
  const TLampCase& c = GetParam();
  const TPictureCollectionItem& lamp = RequiredPicture(2, c.Name);
  ASSERT_LT(c.PostX, lamp.Width());
  ASSERT_LT(c.PostY, lamp.Height());
  // Solid post under the point, not a speck of the dithered glow.
  int solid = 0;
  for (int y = c.PostY - 1; y <= c.PostY + 1; ++y)
    for (int x = c.PostX - 1; x <= c.PostX + 1; ++x)
      if (x >= 0 && y >= 0 && x < lamp.Width() && y < lamp.Height() && Drawn(lamp, 0, x, y)) ++solid;
  EXPECT_TRUE(Drawn(lamp, 0, c.PostX, c.PostY));
  EXPECT_GE(solid, 4);

  // The warm light round the head.
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = 0; y < lamp.Height(); ++y)
    for (int x = 0; x < lamp.Width(); ++x) {
      const uint32_t col = PatternPixel(lamp, 0, x, y);
      if (Drawn(lamp, 0, x, y) && R(col) > 200 && G(col) > 150 && B(col) < R(col) - 40) sx += x, sy += y, ++n;
    }
  ASSERT_GT(n, 20);
  const double dx = sx / n - c.PostX, dy = sy / n - c.PostY;
  EXPECT_GT(dx * c.HeadDX, c.HeadDX ? 20 : -1e9) << "across: " << dx;
  EXPECT_GT(dy * c.HeadDY, c.HeadDY ? 8 : -1e9) << "along: " << dy;
  if (c.HeadDY == 0) {
    EXPECT_LT(std::abs(dy), 8);
  }
}

INSTANTIATE_TEST_SUITE_P(Race, GeneratedLamp, testing::ValuesIn(kLamps),
                         [](const testing::TestParamInfo<TLampCase>& info) { return std::string(info.param.Name); });

// Laid side by side across the road, the strips keep the chequer going.
TEST(GeneratedFinishLine, ChequerContinuesIntoTheNextTile) {
  const TPictureCollectionItem& line = RequiredPicture(2, "FinishLine");
  const int w = line.Width();
  for (int y = 0; y < line.Height(); y += 3) {
    const int first = Brightest(PatternPixel(line, 0, 0, y)), last = Brightest(PatternPixel(line, 0, w - 1, y));
    EXPECT_GT(std::abs(first - last), 80) << "row " << y;
  }
}

// ---- Effects -------------------------------------------------------------------

TEST(GeneratedRaceEffects, ExplosionStartsHotAtTheCentreAndEndsInThinSmoke) {
  const TPictureCollectionItem& blast = RequiredPicture(2, "ExplosionBig");
  const int frames = blast.PatternCount();
  std::vector<int> hot(frames), drawn(frames);
  for (int p = 0; p < frames; ++p) {
    double sx = 0, sy = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        if (!Drawn(blast, p, x, y)) continue;
        const uint32_t c = PatternPixel(blast, p, x, y);
        ++drawn[p];
        sx += x, sy += y;
        if (R(c) > 220 && G(c) > 150) ++hot[p];
      }
    if (p >= 1 && p <= 4) {
      ASSERT_GT(drawn[p], 0);
      EXPECT_NEAR(sx / drawn[p], 31.5, 4) << "frame " << p;
      EXPECT_NEAR(sy / drawn[p], 31.5, 4) << "frame " << p;
    }
  }
  EXPECT_GT(hot[1], 100);
  EXPECT_LT(hot[frames - 3], hot[1] / 10);
  EXPECT_LT(drawn[frames - 1], *std::max_element(drawn.begin(), drawn.end()) / 2);
}

TEST(GeneratedRaceEffects, NitroFlameIsCentredBlueAndBrightestAtTheNozzle) {
  const TPictureCollectionItem& flame = RequiredPicture(2, "NitroAnim");
  for (int p = 0; p < flame.PatternCount(); ++p) {
    double sx = 0, nozzle = 0, tail = 0, red = 0, blue = 0;
    int n = 0, nozzleN = 0, tailN = 0, lowest = -1;
    for (int y = 0; y < flame.Height(); ++y)
      for (int x = 0; x < flame.Width(); ++x) {
        if (!Drawn(flame, p, x, y)) continue;
        const uint32_t c = PatternPixel(flame, p, x, y);
        sx += x, ++n, lowest = y;
        red += R(c), blue += B(c);
        const int sum = R(c) + G(c) + B(c);
        if (y >= 8 && y < 16) nozzle += sum, ++nozzleN;
        if (y >= 28 && y < 40) tail += sum, ++tailN;
      }
    ASSERT_GT(n, 0) << "pattern " << p;
    EXPECT_NEAR(sx / n, 7.5, 1.2) << "pattern " << p;
    EXPECT_GE(lowest, 35) << "pattern " << p;
    ASSERT_GT(nozzleN, 0);
    ASSERT_GT(tailN, 0);
    EXPECT_GT(nozzle / nozzleN, tail / tailN) << "pattern " << p;
    EXPECT_GT(blue, red) << "pattern " << p;
  }
}

TEST(GeneratedRaceEffects, MarksAreDarkRubberAndDarkRedBlood) {
  const TPictureCollectionItem& tyre = RequiredPicture(2, "Handbrake");
  const TPictureCollectionItem& blood = RequiredPicture(2, "Blood");
  for (int y = 0; y < 14; ++y)
    for (int x = 0; x < 10; ++x) {
      if (Drawn(tyre, 0, x, y)) {
        const uint32_t c = PatternPixel(tyre, 0, x, y);
        EXPECT_LT(Brightest(c), 0x3b) << "tyre mark lighter than asphalt at " << x << "," << y;
      }
      if (Drawn(blood, 0, x, y)) {
        const uint32_t c = PatternPixel(blood, 0, x, y);
        EXPECT_GT(R(c), 2 * std::max(G(c), B(c))) << "blood at " << x << "," << y;
        EXPECT_LT(R(c), 200) << "blood at " << x << "," << y;
      }
    }
}

}  // namespace
