// Text styles and printing on the back surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

#include "gfx/cp1251.h"
#include "gfx/font_raster.h"
#include "gfx/surface.h"
#include "gfx/text.h"

namespace {

constexpr uint32_t Ground = 0x102030;

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Saved = BackSurface;
    BackSurface.Resize(SurfaceWidth, SurfaceHeight);
    FillSurface(BackSurface, Ground);
  }
  void TearDown() override { BackSurface = Saved; }

  // The box of every pixel the last print changed, right and bottom exclusive.
  static TRect Ink() {
    TRect r{BackSurface.Width, BackSurface.Height, -1, -1};
    for (int y = 0; y < BackSurface.Height; ++y)
      for (int x = 0; x < BackSurface.Width; ++x)
        if (BackSurface.Row(y)[x] != Ground) {
          r.Left = std::min(r.Left, x), r.Right = std::max(r.Right, x + 1);
          r.Top = std::min(r.Top, y), r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }

  TSurface Saved;
};

const std::string Cyrillic = Cp1251FromUtf8("Счёт: 12 Жизни");

TEST_F(TextTest, StyleTableRows) {
  EXPECT_STREQ(TextStyleOf(1).Face, "DS Crystal");
  EXPECT_EQ(TextStyleOf(1).Size, 32);
  EXPECT_EQ(TextStyleOf(1).Colour, 0xF40909u);
  EXPECT_STREQ(TextStyleOf(4).Face, "Beast Impacted");
  EXPECT_TRUE(TextStyleOf(4).Bold);
  EXPECT_EQ(TextStyleOf(4).Colour, 0x000000u);
  EXPECT_STREQ(TextStyleOf(12).Face, "Courier");
  EXPECT_EQ(TextStyleOf(12).Size, 12);
  EXPECT_EQ(TextStyleOf(12).Colour, 0xFFD137u);
  EXPECT_EQ(TextStyleOf(14).Colour, 0xF4861Au);
  EXPECT_EQ(TextStyleOf(15).Size, 78);
  EXPECT_EQ(TextStyleOf(18).Colour, 0x2AFF00u);
  EXPECT_EQ(TextStyleOf(21).Size, 15);
  for (int style = 1; style <= TextStyleCount; ++style)
    EXPECT_EQ(TextStyleOf(style).Bold, style == 4) << "style " << style;
}

TEST_F(TextTest, StyleTwelveIsMonospace) {
  ASSERT_GT(TextWidth("iiii", 12), 0);
  EXPECT_EQ(TextWidth("iiii", 12), TextWidth("WWWW", 12));
  EXPECT_EQ(TextWidth(Cp1251FromUtf8("шшшш"), 12), TextWidth("....", 12));
  EXPECT_NE(TextWidth("iiii", 2), TextWidth("WWWW", 2)) << "the display face is proportional";
}

TEST_F(TextTest, SizesAreWindowsPointsAt96Dpi) {
  // A line is at least the em (points * 96 / 72) and not far beyond it; a
  // larger size of the same face is wider and taller.
  std::map<std::string, std::pair<int, int>> lastOfFace;  // face -> (size, width)
  std::vector<int> styles(TextStyleCount);
  for (int i = 0; i < TextStyleCount; ++i) styles[i] = i + 1;
  std::sort(styles.begin(), styles.end(), [](int a, int b) { return TextStyleOf(a).Size < TextStyleOf(b).Size; });
  for (int style : styles) {
    const TTextStyle& s = TextStyleOf(style);
    const int width = TextWidth(Cyrillic, style);
    const int em = s.Size * 96 / 72;
    EXPECT_GE(TextH(Cyrillic), em) << "style " << style;
    EXPECT_LE(TextH(Cyrillic), em * 17 / 10) << "style " << style;
    EXPECT_GT(width, 0) << "style " << style;
    auto it = lastOfFace.find(s.Face);
    if (it != lastOfFace.end() && it->second.first < s.Size) {
      EXPECT_GT(width, it->second.second) << "style " << style;
    }
    if (it == lastOfFace.end() || it->second.first < s.Size) lastOfFace[s.Face] = {s.Size, width};
  }
  // Styles that differ only in colour measure alike; different ones do not.
  EXPECT_EQ(TextWidth(Cyrillic, 9), TextWidth(Cyrillic, 19));
  EXPECT_NE(TextWidth(Cyrillic, 1), TextWidth(Cyrillic, 15));
  EXPECT_NE(TextWidth(Cyrillic, 7), TextWidth(Cyrillic, 13));
}

TEST_F(TextTest, TextWidthChoosesTheStyle) {
  const int w = TextWidth(Cyrillic, 5);
  EXPECT_EQ(CurrentTextStyle(), 5);
  EXPECT_EQ(TextW(Cyrillic), w);
  EXPECT_EQ(TextW(""), 0);
  EXPECT_NEAR(TextW(Cyrillic + Cyrillic), 2 * w, 3) << "widths add up, give or take one kerning pair";
  EXPECT_GT(TextW(Cyrillic + "W"), w);
  SetTextStyle(0);
  SetTextStyle(22);
  EXPECT_EQ(CurrentTextStyle(), 5) << "a style outside the table is ignored";
}

TEST_F(TextTest, CentredTextSitsOnItsBoxWithTheCornerTruncatedTowardZero) {
  SetTextStyle(6);
  const int w = TextW(Cyrillic), h = TextH(Cyrillic);
  ASSERT_GT(w, 0);
  // The corner is (Trunc(X - TextW / 2), Trunc(Y - TextH / 2)).
  struct {
    double X, Y;
    int Left, Top;
  } spots[] = {{w / 2.0 + 100.7, h / 2.0 + 50.3, 100, 50},
               {w / 2.0 + 7, h / 2.0 + 0.999, 7, 0},
               {w / 2.0 - 3.5, h / 2.0 - 2.25, -3, -2},
               {w / 2.0 - 0.6, h / 2.0 + 300.5, 0, 300}};
  for (const auto& spot : spots) {
    FillSurface(BackSurface, Ground);
    DrawText(Cyrillic, spot.X, spot.Y, true, true);
    const TSurface centred = BackSurface;
    FillSurface(BackSurface, Ground);
    DrawText(Cyrillic, spot.Left, spot.Top, false, false);
    EXPECT_EQ(centred.Pixels, BackSurface.Pixels) << "corner " << spot.Left << "," << spot.Top;
  }
  // The inked pixels lie in the text's box, centred on the point.
  FillSurface(BackSurface, Ground);
  DrawText(Cyrillic, 400, 300, true, true);
  const TRect ink = Ink();
  EXPECT_GE(ink.Top, 300 - h / 2 - 1);
  EXPECT_LE(ink.Bottom, 300 + h / 2 + 1);
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 400, 4);
  EXPECT_NEAR(ink.Right - ink.Left, w, 6);

  // Only the horizontal centring asked for.
  FillSurface(BackSurface, Ground);
  DrawText(Cyrillic, 400.9, 300.9, true, false);
  const TSurface onlyH = BackSurface;
  FillSurface(BackSurface, Ground);
  DrawText(Cyrillic, static_cast<int>(400.9 - w / 2.0), 300, false, false);
  EXPECT_EQ(onlyH.Pixels, BackSurface.Pixels);
}

TEST_F(TextTest, PrintsInTheStyleColourOverATransparentBackground) {
  // Every pixel lies between the ground and the text colour, channel by
  // channel, and the strokes reach the colour (the small monospace face has
  // few fully covered pixels, so nearly reaching it counts).
  for (int style : {12, 18, 14}) {
    FillSurface(BackSurface, Ground);
    SetTextStyle(style);
    DrawText(Cp1251FromUtf8("ЖЖЖ ###"), 50, 60, false, false);
    const uint32_t colour = TextStyleOf(style).Colour;
    int exact = 0, strong = 0, edge = 0;
    for (uint32_t p : BackSurface.Pixels) {
      exact += p == colour;
      double reach = 1;
      for (int shift : {0, 8, 16}) {
        const int c = (p >> shift) & 0xFF, g = (Ground >> shift) & 0xFF, t = (colour >> shift) & 0xFF;
        ASSERT_TRUE(c >= std::min(g, t) && c <= std::max(g, t)) << std::hex << p << " style " << std::dec << style;
        if (std::abs(t - g) > 64) reach = std::min(reach, double(c - g) / (t - g));
      }
      strong += reach >= 0.8;
      edge += reach > 0.55 && reach < 0.95;
    }
    EXPECT_GT(strong, 20) << "style " << style;
    EXPECT_GT(edge, 5) << "style " << style << ": antialiased edges keep their shades";
    if (style != 12) {
      EXPECT_GT(exact, 20) << "style " << style;
    }
  }
}

TEST_F(TextTest, PrintingAtTheEdgesClips) {
  // On a small surface, and 40 pixels further in on a larger one: the small
  // one shows exactly the middle of the large one.
  SetTextStyle(16);
  const int spots[][2] = {{-30, 5}, {50, -20}, {100, 10}, {20, 30}, {-500, -500}, {200, 200}};
  for (const auto& spot : spots) {
    BackSurface.Resize(120, 50);
    FillSurface(BackSurface, Ground);
    DrawText(Cyrillic, spot[0], spot[1], false, false);
    const TSurface small = BackSurface;
    BackSurface.Resize(200, 130);
    FillSurface(BackSurface, Ground);
    DrawText(Cyrillic, spot[0] + 40, spot[1] + 40, false, false);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 120; ++x)
        ASSERT_EQ(small.Row(y)[x], BackSurface.Row(y + 40)[x + 40]) << spot[0] << "," << spot[1];
  }
}

TEST_F(TextTest, ResetCacheReopensTheSameFonts) {
  const int before = TextWidth(Cyrillic, 3);
  FillSurface(BackSurface, Ground);
  DrawText(Cyrillic, 10, 10, false, false);
  const TSurface drawn = BackSurface;
  ResetTextCache();
  EXPECT_EQ(TextWidth(Cyrillic, 3), before);
  FillSurface(BackSurface, Ground);
  DrawText(Cyrillic, 10, 10, false, false);
  EXPECT_EQ(drawn.Pixels, BackSurface.Pixels);
  PrepareTextStyles();
  for (int style = 1; style <= TextStyleCount; ++style) EXPECT_FALSE(TextStyleFamily(style).empty()) << style;
}

TEST(FontFiles, TheShippedListComesFirstAndUnknownFacesFallBack) {
  const TFontFile fallback = ResolveFontFile("No Such Face Anywhere");
  ASSERT_FALSE(fallback.Path.empty());
  ASSERT_FALSE(fallback.Family.empty());

  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vt-fonts-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::copy_file(fallback.Path, dir / "Shipped.ttf", fs::copy_options::overwrite_existing);
  std::ofstream(dir / "fonts.txt") << "# written by the build\n  Beast Impacted = Shipped.ttf \nCourier=Missing.ttf\n";
  SetFontDirectory(dir.string());

  const TFontFile shipped = ResolveFontFile("beast impacted");
  EXPECT_EQ(shipped.Path, (dir / "Shipped.ttf").string());
  EXPECT_EQ(shipped.Family, fallback.Family);
  auto raster = OpenFontRaster("Beast Impacted", 20, false);
  ASSERT_TRUE(raster);
  EXPECT_EQ(raster->Family(), fallback.Family);
  // A listed file that is not there, and a face not listed, go to the system.
  EXPECT_NE(fs::path(ResolveFontFile("Courier").Path).parent_path(), dir);
  EXPECT_NE(fs::path(ResolveFontFile("DS Crystal").Path).parent_path(), dir);

  SetFontDirectory("");
  fs::remove_all(dir);
  EXPECT_NE(fs::path(ResolveFontFile("Beast Impacted").Path).parent_path(), dir);
}

TEST(FontFiles, BoldIsAddedOnlyToFacesThatAreNotBoldAlready) {
  auto ink = [](TFontRaster& font) {
    TGlyphImage g;
    EXPECT_TRUE(font.Glyph(U'Ж', g));
    long sum = 0;
    for (uint8_t c : g.Coverage) sum += c;
    return sum;
  };
  for (const char* face : {"Courier", "Beast Impacted", "DS Crystal"}) {
    auto regular = OpenFontRaster(face, 20, false), bold = OpenFontRaster(face, 20, true);
    ASSERT_TRUE(regular && bold) << face;
    if (regular->FaceIsBold()) {
      EXPECT_EQ(ink(*bold), ink(*regular)) << face;
    } else {
      EXPECT_GT(ink(*bold), ink(*regular) * 11 / 10) << face;
    }
  }
}

}  // namespace
