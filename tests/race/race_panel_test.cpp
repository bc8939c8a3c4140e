// The race's panel under the windows: its texts are printed on every frame
// while the race is the screen, the frame on which a window closes
// included. Runs the real game in-process on the headless machine, from the
// build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "gfx/text.h"
#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "race/race.h"
#include "race/race_state.h"
#include "screens/activate_item.h"
#include "shell/game_state.h"
#include "shell/main_window.h"

namespace {

class RacePanel : public ::testing::Test {
 protected:
  void SetUp() override {
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    Tick(50);
    SelectItem(1);  // car selection
    Tick(2);
    SelectItem(3);  // start
    Tick(1);
  }
  void TearDown() override {
    ResetGame();
    Platform = nullptr;
  }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) MDXTimerTimer(11);
  }
  void Press(TGameKey key) {
    Machine.Keys[key] = true;
    Tick();
    Machine.Keys[key] = false;
  }
  // The panel as the last frame shows it, right of the playfield.
  static std::vector<uint32_t> Panel() {
    std::vector<uint32_t> panel;
    for (int y = 0; y < SurfaceHeight; ++y)
      panel.insert(panel.end(), BackSurface.Row(y) + 610, BackSurface.Row(y) + SurfaceWidth);
    return panel;
  }
  THeadlessPlatform Machine;
};

// Nothing moves under a window, so the frame on which it closes shows the
// same panel as the frames before it.
TEST_F(RacePanel, TheFrameAWindowClosesOnStillShowsThePanelTexts) {
  ASSERT_EQ(GameScreen, 6);
  ASSERT_EQ(OverlayWindow, 6);
  // The level message: 2000 ms at 11 ms a tick close it on its 182nd tick.
  Tick(180);
  ASSERT_EQ(OverlayWindow, 6);
  std::vector<uint32_t> before = Panel();
  Tick();
  ASSERT_EQ(OverlayWindow, 0) << "the level message closed";
  EXPECT_TRUE(Panel() == before) << "closing the level message";

  Press(gkP);
  ASSERT_EQ(OverlayWindow, 5);
  Tick();
  before = Panel();
  Press(gkP);
  ASSERT_EQ(OverlayWindow, 0);
  EXPECT_TRUE(Panel() == before) << "closing the pause";

  Press(gkEsc);
  ASSERT_EQ(OverlayWindow, 2);
  Tick();
  before = Panel();
  Press(gkN);
  ASSERT_EQ(OverlayWindow, 0);
  EXPECT_TRUE(Panel() == before) << "No to the leave question";
}

// The level's line, "УРОВЕНЬ " and the number, stays inside its display
// window (x 615 to 766 on the panel) at every level the race can reach:
// printed at the panel's own size while that fits, a size smaller when it
// would run out of the window (from two digits on with the game's fonts).
class RaceLevelLine : public RacePanel, public ::testing::WithParamInterface<int> {
 protected:
  struct TInk {
    int Left = SurfaceWidth, Top = SurfaceHeight, Right = -1, Bottom = -1;
    bool Empty() const { return Right < Left; }
    bool Inside() const { return Left >= 615 + 1 && Right <= 766 - 2 && Top >= 11 + 1 && Bottom <= 46 - 2; }
    bool operator==(const TInk&) const = default;
  };
  // The lit green of the panel's LCD text in the top band of the screen,
  // playfield included.
  static TInk LitGreen() {
    TInk ink;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < SurfaceWidth; ++x) {
        const uint32_t c = BackSurface.Row(y)[x];
        if (((c >> 8) & 0xFF) >= 160 && ((c >> 16) & 0xFF) <= 120 && (c & 0xFF) <= 90) {
          ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x);
          ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y);
        }
      }
    return ink;
  }
};

TEST_P(RaceLevelLine, StaysInsideItsDisplayWindow) {
  const int level = GetParam();
  Level = level - 1;
  StartLevel(true);
  Tick();
  ASSERT_EQ(Level, level);
  const TInk ink = LitGreen();
  ASSERT_FALSE(ink.Empty()) << "the level's line is printed";
  EXPECT_TRUE(ink.Inside()) << "ink from x " << ink.Left << " to " << ink.Right << ", y " << ink.Top << " to "
                            << ink.Bottom;
  EXPECT_GT(ink.Right - ink.Left, 100) << "the whole line, not a part of it";

  // The same line printed alone at the panel's own size: kept where it fits.
  FillSurface(BackSurface, 0);
  SetTextStyle(18);
  DrawText(Cp1251FromUtf8("УРОВЕНЬ ") + std::to_string(level), 690, 28, true, true);
  const TInk design = LitGreen();
  EXPECT_EQ(design.Inside(), design == ink) << "the panel's own size is " << (design.Inside() ? "kept" : "left")
                                            << ": " << design.Left << "-" << design.Right << ", " << design.Top
                                            << "-" << design.Bottom << " against " << ink.Left << "-" << ink.Right << ", "
                                            << ink.Top << "-" << ink.Bottom;
}

INSTANTIATE_TEST_SUITE_P(Levels, RaceLevelLine, ::testing::Values(1, 9, 10, 99, 100, 999),
                         [](const ::testing::TestParamInfo<int>& info) { return "Level" + std::to_string(info.param); });

}  // namespace
