// The race's messages without a window ("Уровень N", "Пауза", "Время
// вышло!", "Конец игры", "Отправка..." with the name) are printed straight
// over the town: each letter keeps a dark rim between it and whatever lies
// under it. Shown here over the brightest thing the town has, a lamp's
// light, filling the whole playfield.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "screens/activate_item.h"
#include "shell/game_state.h"
#include "shell/main_window.h"

namespace {

constexpr uint32_t LampLight = 0xFFE060;
constexpr int Playfield = 610;

int Brightest(uint32_t c) { return std::max({(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF}); }
int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s : {0, 8, 16}) d = std::max(d, std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)));
  return d;
}

struct TMessageCase {
  int Kind;
  int Style;  // the style every text of the window is printed in, as far as colour goes
  const char* Name;
};

void PrintTo(const TMessageCase& c, std::ostream* os) { *os << c.Name; }

class RaceMessage : public ::testing::TestWithParam<TMessageCase> {
 protected:
  void SetUp() override {
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    for (int i = 0; i < 50; ++i) MDXTimerTimer(11);
    SelectItem(1);  // car selection
    MDXTimerTimer(11);
    MDXTimerTimer(11);
    SelectItem(3);  // start
    MDXTimerTimer(11);
  }
  void TearDown() override {
    ResetGame();
    Platform = nullptr;
  }
  THeadlessPlatform Machine;
};

TEST_P(RaceMessage, EveryLetterHasADarkRim) {
  const TMessageCase c = GetParam();
  ASSERT_EQ(GameScreen, 6);
  CloseOverlay();  // the first level's message
  PlayerName = Cp1251FromUtf8("Вольт");
  OpenOverlay(c.Kind);
  ASSERT_EQ(OverlayWindow, c.Kind);
  FillSurface(BackSurface, LampLight);
  OverlayTick(11);

  // Letters: pixels of the text's own colour, or nearly.
  const uint32_t colour = TextStyleOf(c.Style).Colour;
  std::vector<uint8_t> letter(static_cast<size_t>(Playfield) * SurfaceHeight);
  int letters = 0;
  for (int y = 0; y < SurfaceHeight; ++y)
    for (int x = 0; x < Playfield; ++x)
      if (Distance(BackSurface.Row(y)[x], colour) < 48) letter[static_cast<size_t>(y) * Playfield + x] = 1, ++letters;
  ASSERT_GT(letters, 200) << "the message is printed";

  // Within two pixels of a letter the lamp's light never shows, and two
  // pixels out, past the letters' own soft edges, the rim is dark.
  int lightNear = 0, ring = 0, darkRing = 0;
  for (int y = 3; y < SurfaceHeight - 3; ++y)
    for (int x = 3; x < Playfield - 3; ++x) {
      if (letter[static_cast<size_t>(y) * Playfield + x]) continue;
      int nearest = 99;  // squared distance to the nearest letter pixel
      for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
          if (letter[static_cast<size_t>(y + dy) * Playfield + x + dx]) nearest = std::min(nearest, dx * dx + dy * dy);
      const uint32_t p = BackSurface.Row(y)[x];
      if (nearest <= 4 && p == LampLight) ++lightNear;
      if (nearest == 4 || nearest == 5) {
        ++ring;
        if (Brightest(p) < 0x50) ++darkRing;
      }
    }
  EXPECT_EQ(lightNear, 0) << "pixels of the lamp's light touching a letter";
  EXPECT_GE(darkRing * 10, ring * 9) << darkRing << " of " << ring << " pixels two out from the letters are dark";
}

INSTANTIATE_TEST_SUITE_P(Windows, RaceMessage,
                         ::testing::Values(TMessageCase{3, 5, "TimeUp"}, TMessageCase{5, 5, "Pause"},
                                           TMessageCase{6, 5, "Level"}, TMessageCase{7, 5, "GameOver"},
                                           TMessageCase{9, 11, "Sending"}),
                         [](const ::testing::TestParamInfo<TMessageCase>& info) { return info.param.Name; });

}  // namespace
