// What the help pages print, drawn on a black surface so only the texts
// show. Runs in the build folder, where the fonts are.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "screens/help_screen.h"
#include "screens/help_texts.h"

namespace {

// The about page's title reads as one name, " ВОЛЬТРЕЙС 2": between the
// name's last letter and the "2" there is no more room than a wide space.
TEST(HelpPage, AboutTitleNumberFollowsTheName) {
  BackSurface.Resize(SurfaceWidth, SurfaceHeight);
  FillSurface(BackSurface, 0);
  HelpPage = 5;
  DrawHelpPage();
  // The title's band, above the copyright line at y 360.
  std::vector<bool> ink(SurfaceWidth, false);
  for (int y = 300; y <= 336; ++y)
    for (int x = 150; x < SurfaceWidth; ++x) ink[x] = ink[x] || BackSurface.Row(y)[x] != 0;
  int first = -1, last = -1, widestGap = 0, previous = -1;
  for (int x = 0; x < SurfaceWidth; ++x) {
    if (!ink[x]) continue;
    if (first < 0) first = x;
    if (previous >= 0) widestGap = std::max(widestGap, x - previous - 1);
    previous = last = x;
  }
  ASSERT_GE(first, 160) << "the title is not printed";
  EXPECT_GT(last - first, 60) << "the title is too short to hold the name and the 2";
  EXPECT_LE(widestGap, 20) << "the title falls apart into two pieces";
  HelpPage = 1;
}

// Plain Russian in the control lines: "клавиши", and "стрелки" where two
// arrows are named.
TEST(HelpPage, ControlLinesAreSpelledRight) {
  std::vector<std::string> lines(std::begin(HelpMenuControls), std::end(HelpMenuControls));
  lines.insert(lines.end(), std::begin(HelpGameControls), std::end(HelpGameControls));
  const std::regex oneArrowForTwo("стрелку \"[^\"]+\" и \"");
  for (const std::string& line : lines) {
    const std::string text = Utf8FromCp1251(line);
    EXPECT_EQ(text.find("клавишы"), std::string::npos) << text;
    EXPECT_FALSE(std::regex_search(text, oneArrowForTwo)) << text;
  }
}

}  // namespace
