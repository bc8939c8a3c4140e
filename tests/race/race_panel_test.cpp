// The race's panel under the windows: its texts are printed on every frame
// while the race is the screen, the frame on which a window closes
// included. Runs the real game in-process on the headless machine, from the
// build folder.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "race/race.h"
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

}  // namespace
