// The three pattern draws every sprite uses, and the screenshot writer.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>

#include "gfx/blit.h"
#include "gfx/png_write.h"

namespace {

constexpr uint32_t Ground = 0x101820;  // what the surface holds before a draw
constexpr uint32_t Key = 0xFF00FF;
constexpr uint32_t Body = 0x3070C0;
constexpr uint32_t Tip = 0xE0E040;

// A bitmap and a view of all of it as one pattern.
struct TPicture {
  TSurface Bits;
  TPixelView View(bool keyed = true) const {
    return TPixelView{Bits.Pixels.data(), Bits.Width, Bits.Width, Bits.Height, keyed, Key};
  }
};

TSurface Blank(int w, int h) {
  TSurface s;
  s.Resize(w, h);
  FillSurface(s, Ground);
  return s;
}

// Varied colours with every fourth pixel keyed out.
TPicture Noise(int w, int h, unsigned seed) {
  TPicture p;
  p.Bits.Resize(w, h);
  for (size_t i = 0; i < p.Bits.Pixels.size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    p.Bits.Pixels[i] = i % 4 == 3 ? Key : (seed >> 8) & 0xFFFFFF;
  }
  return p;
}

void FillRect(TSurface& s, int l, int t, int r, int b, uint32_t c) {
  for (int y = t; y <= b; ++y)
    for (int x = l; x <= r; ++x) s.Row(y)[x] = c;
}

// 4 x 2 arrow pointing right: body, then a tip column; pivot at the middle of
// its left edge.
TPicture Arrow() {
  TPicture p;
  p.Bits.Resize(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) p.Bits.Row(y)[x] = x == 3 ? Tip : Body;
  return p;
}

struct TArrowCase {
  int Angle;
  int BodyL, BodyT, BodyR, BodyB;  // inclusive pixel rectangles
  int TipL, TipT, TipR, TipB;
};

TEST(DrawPatternRotate, QuarterTurnsTurnClockwiseAboutThePivot) {
  const TPicture arrow = Arrow();
  // Pivot on (10, 10); the arrow is 4 long and 2 wide either way.
  const TArrowCase cases[] = {
      {0, 10, 9, 12, 10, 13, 9, 13, 10},    // right
      {64, 9, 10, 10, 12, 9, 13, 10, 13},   // down
      {128, 7, 9, 9, 10, 6, 9, 6, 10},      // left
      {192, 9, 7, 10, 9, 9, 6, 10, 6},      // up
      {256, 10, 9, 12, 10, 13, 9, 13, 10},  // a whole turn is no turn
      {-64, 9, 7, 10, 9, 9, 6, 10, 6},      // negative angles count back
      {320, 9, 10, 10, 12, 9, 13, 10, 13},
      {-256, 10, 9, 12, 10, 13, 9, 13, 10},
  };
  for (const TArrowCase& c : cases) {
    TSurface got = Blank(20, 20), want = Blank(20, 20);
    DrawPatternRotate(got, 10, 10, 4, 2, arrow.View(), 0.0, 0.5, c.Angle);
    FillRect(want, c.BodyL, c.BodyT, c.BodyR, c.BodyB, Body);
    FillRect(want, c.TipL, c.TipT, c.TipR, c.TipB, Tip);
    EXPECT_EQ(got.Pixels, want.Pixels) << "angle " << c.Angle;
  }
}

TEST(DrawPatternRotate, AnglesAModuloOf256DrawAlike) {
  const TPicture pic = Noise(13, 9, 7);
  const int pairs[][2] = {{0, 256}, {192, -64}, {37, 37 + 256}, {37, 37 - 512}, {200, -56}};
  for (const auto& p : pairs) {
    TSurface a = Blank(40, 40), b = Blank(40, 40);
    DrawPatternRotate(a, 20, 20, 26, 18, pic.View(), 0.3, 0.6, p[0]);
    DrawPatternRotate(b, 20, 20, 26, 18, pic.View(), 0.3, 0.6, p[1]);
    EXPECT_EQ(a.Pixels, b.Pixels) << p[0] << " vs " << p[1];
  }
}

TEST(DrawPatternRotate, UnturnedAtItsOwnSizeIsAPlainCopy) {
  const TPicture pic = Noise(12, 8, 3);
  TSurface rotated = Blank(30, 30), plain = Blank(30, 30);
  DrawPatternRotate(rotated, 5, 7, 12, 8, pic.View(), 0.0, 0.0, 0);
  DrawPattern(plain, 5, 7, pic.View());
  EXPECT_EQ(rotated.Pixels, plain.Pixels);

  rotated = Blank(30, 30);
  DrawPatternRotate(rotated, 11, 11, 12, 8, pic.View(), 0.5, 0.5, 0);
  EXPECT_EQ(rotated.Pixels, plain.Pixels) << "pivot in the middle lands on (11, 11)";
}

TEST(DrawPatternRotate, PivotLandsOnTheGivenPointAtAnyAngle) {
  // A marker pixel at (3, 7) of a 10 x 10 pattern; the pivot is its centre.
  // Drawn twice as large, the four pixels around (X, Y) fall on the marker.
  TPicture pic;
  pic.Bits.Resize(10, 10);
  FillSurface(pic.Bits, Body);
  pic.Bits.Row(7)[3] = Tip;
  for (int angle : {0, 17, 64, 100, 128, 200, -30}) {
    TSurface s = Blank(60, 60);
    DrawPatternRotate(s, 30, 25, 20, 20, pic.View(), 0.35, 0.75, angle);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) {
        const bool nearPivot = (x == 29 || x == 30) && (y == 24 || y == 25);
        const bool farFromPivot = std::hypot(x + 0.5 - 30, y + 0.5 - 25) > 3;
        if (nearPivot) {
          EXPECT_EQ(s.Row(y)[x], Tip) << "angle " << angle << " at " << x << "," << y;
        }
        if (farFromPivot) {
          EXPECT_NE(s.Row(y)[x], Tip) << "angle " << angle << " at " << x << "," << y;
        }
      }
  }
}

TEST(DrawPatternRotate, TurnedSolidRectangleHasNoHolesAndNoSpill) {
  // 10 x 6 stretched to 30 x 18 and turned through every angle: a pixel whose
  // centre lies a pixel deep inside the turned rectangle is drawn, one a
  // pixel clear of it is not.
  TPicture pic;
  pic.Bits.Resize(10, 6);
  FillSurface(pic.Bits, Body);
  const double cx = 0.4, cy = 0.7, w = 30, h = 18;
  for (int angle = 0; angle < 256; ++angle) {
    TSurface s = Blank(80, 80);
    DrawPatternRotate(s, 40, 40, 30, 18, pic.View(), cx, cy, angle);
    const double t = angle * 2 * std::numbers::pi / 256, sn = std::sin(t), cs = std::cos(t);
    int holes = 0, spills = 0;
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 80; ++x) {
        const double dx = x + 0.5 - 40, dy = y + 0.5 - 40;
        const double u = dx * cs + dy * sn + cx * w, v = -dx * sn + dy * cs + cy * h;
        const bool deep = u > 1 && u < w - 1 && v > 1 && v < h - 1;
        const bool clear = u < -1 || u > w + 1 || v < -1 || v > h + 1;
        holes += deep && s.Row(y)[x] != Body;
        spills += clear && s.Row(y)[x] != Ground;
      }
    EXPECT_EQ(holes, 0) << "angle " << angle;
    EXPECT_EQ(spills, 0) << "angle " << angle;
  }
}

TEST(DrawPatternAlpha, NoOpacityDrawsNothing) {
  const TPicture pic = Noise(9, 7, 11);
  for (int alpha : {0, -1, -300}) {
    TSurface s = Blank(30, 30);
    const TSurface before = s;
    DrawPatternAlpha(s, TRect{2, 3, 25, 20}, pic.View(), alpha);
    EXPECT_EQ(s.Pixels, before.Pixels) << "alpha " << alpha;
  }
}

TEST(DrawPatternAlpha, FullOpacityIsAStretchedKeyedCopy) {
  // The same stretch drawn by the unturned rotation. With an even pattern
  // many destination pixels sample exactly on a source pixel's edge.
  struct {
    int PatternW, PatternH;
    TRect Rect;
  } cases[] = {{7, 5, {3, 4, 10, 9}}, {7, 5, {3, 4, 17, 14}}, {7, 5, {1, 2, 14, 5}},  {7, 5, {0, 0, 5, 11}},
               {7, 5, {2, 2, 30, 27}}, {6, 4, {2, 3, 11, 9}},  {6, 4, {2, 3, 5, 5}},   {6, 4, {1, 1, 25, 30}},
               {6, 4, {4, 4, 8, 7}},   {2, 2, {1, 1, 6, 6}},   {10, 6, {0, 3, 25, 18}}};
  for (const auto& c : cases) {
    const TPicture pic = Noise(c.PatternW, c.PatternH, 5);
    const TRect& r = c.Rect;
    for (int alpha : {255, 256, 1000}) {
      TSurface alphaDrawn = Blank(32, 32), stretched = Blank(32, 32);
      DrawPatternAlpha(alphaDrawn, r, pic.View(), alpha);
      DrawPatternRotate(stretched, r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, pic.View(), 0, 0, 0);
      EXPECT_EQ(alphaDrawn.Pixels, stretched.Pixels)
          << c.PatternW << "x" << c.PatternH << " to " << r.Right - r.Left << "x" << r.Bottom - r.Top;
    }
  }
  const TPicture pic = Noise(7, 5, 5);
  TSurface alphaDrawn = Blank(32, 32), plain = Blank(32, 32);
  DrawPatternAlpha(alphaDrawn, TRect{3, 4, 10, 9}, pic.View(), 255);
  DrawPattern(plain, 3, 4, pic.View());
  EXPECT_EQ(alphaDrawn.Pixels, plain.Pixels);

  // Doubled, each source pixel becomes a 2 x 2 block.
  TSurface doubled = Blank(32, 32);
  DrawPatternAlpha(doubled, TRect{1, 1, 15, 11}, pic.View(), 255);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 14; ++x) {
      const uint32_t p = pic.Bits.Row(y / 2)[x / 2];
      EXPECT_EQ(doubled.Row(1 + y)[1 + x], p == Key ? Ground : p) << x << "," << y;
    }
}

TEST(DrawPatternAlpha, BlendsEachChannelByOpacity) {
  struct {
    uint32_t Src, Dst;
    int Alpha;
    uint32_t Want;
  } cases[] = {
      {0xFF0000, 0x0000FF, 128, 0x80007F},  // half way: 255 * 128 / 255 and 255 * 127 / 255
      {0xFFFFFF, 0x000000, 1, 0x010101},
      {0x000000, 0xFFFFFF, 254, 0x010101},
      {0x204060, 0xA0C0E0, 100, 0x6E8EAE},  // 160 - 128 * 100 / 255 = 109.8 -> 110
      {0x123456, 0x123456, 77, 0x123456},
  };
  // With and without the machine's widest path; 13 wide goes through the
  // eight-, four- and one-pixel steps.
  for (const bool wide : {true, false}) {
    for (const auto& c : cases) {
    AllowWideVectorPaths(wide);
    TPicture pic;
    pic.Bits.Resize(13, 2);
    FillSurface(pic.Bits, c.Src);
    TSurface s;
    s.Resize(15, 4);
    FillSurface(s, c.Dst);
    DrawPatternAlpha(s, TRect{1, 1, 14, 3}, pic.View(false), c.Alpha);
    AllowWideVectorPaths(true);
    for (int x = 1; x < 14; ++x) {
      EXPECT_EQ(s.Row(1)[x], c.Want) << std::hex << c.Src << " over " << c.Dst << " at " << std::dec << c.Alpha;
      EXPECT_EQ(s.Row(2)[x], c.Want);
    }
    EXPECT_EQ(s.Row(0)[1], c.Dst);
    EXPECT_EQ(s.Row(1)[0], c.Dst);
    EXPECT_EQ(s.Row(1)[14], c.Dst);
    }
  }
  // Stretched and unstretched rows take different roads to the same blend.
  const TPicture pic = Noise(13, 5, 17);
  TPicture doubled;
  doubled.Bits.Resize(26, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 26; ++x) doubled.Bits.Row(y)[x] = pic.Bits.Row(y / 2)[x / 2];
  TSurface a = Noise(40, 30, 5).Bits, b = a;
  DrawPatternAlpha(a, TRect{3, 4, 29, 14}, pic.View(), 77);
  DrawPatternAlpha(b, TRect{3, 4, 29, 14}, doubled.View(), 77);
  EXPECT_EQ(a.Pixels, b.Pixels);
}

// Every way of putting the pattern on the surface, for the tests that hold
// for all of them.
struct TDrawCase {
  const char* Name;
  std::function<void(TSurface&, int, int, const TPixelView&)> Draw;
};
const TDrawCase Draws[] = {
    {"Draw", [](TSurface& s, int x, int y, const TPixelView& v) { DrawPattern(s, x, y, v); }},
    {"DrawAlpha 255",
     [](TSurface& s, int x, int y, const TPixelView& v) {
       DrawPatternAlpha(s, TRect{x, y, x + 2 * v.Width - 3, y + v.Height + 2}, v, 255);
     }},
    {"DrawAlpha 90",
     [](TSurface& s, int x, int y, const TPixelView& v) {
       DrawPatternAlpha(s, TRect{x, y, x + v.Width + 4, y + 2 * v.Height}, v, 90);
     }},
    {"DrawRotate 0", [](TSurface& s, int x, int y, const TPixelView& v) {
       DrawPatternRotate(s, x, y, v.Width, v.Height, v, 0, 0, 0);
     }},
    {"DrawRotate 64", [](TSurface& s, int x, int y, const TPixelView& v) {
       DrawPatternRotate(s, x, y, v.Width, v.Height, v, 0.5, 0.5, 64);
     }},
    {"DrawRotate 45", [](TSurface& s, int x, int y, const TPixelView& v) {
       DrawPatternRotate(s, x, y, 2 * v.Width, v.Height, v, 0.2, 0.9, 32);
     }},
};

TEST(PatternDraws, SkipKeyColouredPixelsOnlyWhenKeyed) {
  TPicture pic;
  pic.Bits.Resize(6, 6);
  FillSurface(pic.Bits, Key);
  for (const TDrawCase& d : Draws) {
    TSurface s = Blank(40, 40);
    d.Draw(s, 12, 14, pic.View(true));
    EXPECT_EQ(s.Pixels, Blank(40, 40).Pixels) << d.Name;

    d.Draw(s, 12, 14, pic.View(false));
    EXPECT_NE(s.Pixels, Blank(40, 40).Pixels) << d.Name << " without a key draws the key colour";
  }
  // A key that differs only in the unused top byte still keys.
  TPicture tagged = pic;
  for (uint32_t& p : tagged.Bits.Pixels) p |= 0xFF000000u;
  for (const TDrawCase& d : Draws) {
    TSurface s = Blank(40, 40);
    d.Draw(s, 12, 14, tagged.View(true));
    EXPECT_EQ(s.Pixels, Blank(40, 40).Pixels) << d.Name;
  }
}

TEST(PatternDraws, ClipAtEveryEdgeExactlyAsAnUnclippedDrawWouldShowIt) {
  // Drawn on a 24 x 20 surface, or 30 pixels further in on an 84 x 80 one:
  // the small surface must show exactly the middle of the large one.
  const TPicture pic = Noise(9, 7, 21);
  const int spots[][2] = {{-4, 5},   {20, 6},   {8, -3},   {7, 16},   {-5, -4},   {19, 17},   {-9, 5},
                          {24, 6},   {8, -7},   {7, 20},   {-25, -25}, {22, -20}, {-20, 18},  {0, 0},
                          {15, 13}};
  for (const TDrawCase& d : Draws)
    for (const auto& spot : spots) {
      TSurface small = Blank(24, 20), large = Blank(84, 80);
      d.Draw(small, spot[0], spot[1], pic.View());
      d.Draw(large, spot[0] + 30, spot[1] + 30, pic.View());
      for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
          ASSERT_EQ(small.Row(y)[x], large.Row(y + 30)[x + 30])
              << d.Name << " at " << spot[0] << "," << spot[1] << " pixel " << x << "," << y;
    }
  // Far away and with degenerate sizes nothing happens at all.
  TSurface s = Blank(24, 20);
  DrawPattern(s, 1 << 30, -(1 << 30), pic.View());
  DrawPatternAlpha(s, TRect{5, 5, 5, 9}, pic.View(), 255);
  DrawPatternAlpha(s, TRect{9, 9, 3, 3}, pic.View(), 255);
  DrawPatternRotate(s, 5, 5, 0, 10, pic.View(), 0.5, 0.5, 10);
  DrawPatternRotate(s, 100000, 5, 10, 10, pic.View(), 0.5, 0.5, 10);
  DrawPatternRotate(s, 5, 5, 10, 10, pic.View(), 1e6, 0.5, 10);
  DrawPatternRotate(s, 5, 5, 10, 10, pic.View(), -1e300, 1e300, 10);
  DrawPattern(s, INT32_MAX - 3, 5, pic.View());
  DrawPatternRotate(s, 5, 5, 10, 10, TPixelView{}, 0.5, 0.5, 10);
  EXPECT_EQ(s.Pixels, Blank(24, 20).Pixels);
}

TEST(PatternDraws, EveryRowWidthCopiesExactlyItsPixelsOnEveryPath) {
  // Rows of 1 to 27 pixels end at every point of an eight- and a four-pixel
  // step; the surface is no wider than the draw, so a step reaching past the
  // row's end would show (or fault at the surface's last row).
  for (const bool wide : {true, false})
    for (const bool keyed : {true, false})
      for (int w = 1; w <= 27; ++w) {
        const TPicture pic = Noise(w, 3, static_cast<unsigned>(w));
        TSurface s = Blank(w + 2, 3);
        AllowWideVectorPaths(wide);
        DrawPattern(s, 1, 0, pic.View(keyed));
        AllowWideVectorPaths(true);
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < w + 2; ++x) {
            const uint32_t p = x >= 1 && x <= w ? pic.Bits.Row(y)[x - 1] : Ground;
            ASSERT_EQ(s.Row(y)[x], keyed && p == Key ? Ground : p)
                << (wide ? "wide" : "narrow") << (keyed ? " keyed" : "") << " width " << w << " at " << x << "," << y;
          }
      }
}

TEST(PngWrite, ReadsBackAsTheSamePixels) {
  const TPicture pic = Noise(37, 23, 99);
  const std::vector<uint8_t> png = EncodePng(pic.Bits);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
  EXPECT_EQ(image.width, 37u);
  EXPECT_EQ(image.height, 23u);
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
  for (size_t i = 0; i < pic.Bits.Pixels.size(); ++i) {
    const uint32_t p = pic.Bits.Pixels[i];
    ASSERT_EQ((rgb[3 * i] << 16) | (rgb[3 * i + 1] << 8) | rgb[3 * i + 2], p) << "pixel " << i;
  }
  EXPECT_FALSE(WritePng("/nonexistent-folder/shot.png", pic.Bits));
}

}  // namespace
