// The frame of the tick that leaves a screen with Esc: the screen's sprites
// were drawn at the start of that tick, so its title and texts must be
// printed over them too, and the frame looks like the ones before it. Runs
// the real game in-process on the headless machine, from the build folder.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/surface.h"
#include "platform/headless_platform.h"
#include "screens/activate_item.h"
#include "shell/game_state.h"
#include "shell/main_window.h"

namespace {

struct TScreenCase {
  const char* Name;
  int MenuItem;  // the main-menu item that opens the screen
  int Screen;    // its GameScreen
};

void PrintTo(const TScreenCase& c, std::ostream* os) { *os << c.Name; }

class LeaveFrameTest : public ::testing::TestWithParam<TScreenCase> {
 protected:
  void SetUp() override {
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    Tick(50);  // past the menu's fade-in
  }
  void TearDown() override {
    ResetGame();
    Platform = nullptr;
  }
  void Tick(int n) {
    for (int i = 0; i < n; ++i) MDXTimerTimer(11);
  }
  THeadlessPlatform Machine;
};

TEST_P(LeaveFrameTest, EscFrameStillShowsTheScreensTexts) {
  const TScreenCase c = GetParam();
  SelectItem(c.MenuItem);
  Tick(3);
  ASSERT_EQ(GameScreen, c.Screen);
  const std::vector<uint32_t> steady = BackSurface.Pixels;
  Machine.Keys[gkEsc] = true;
  Tick(1);
  ASSERT_EQ(GameScreen, 1) << "Esc goes back to the main menu";
  size_t differing = 0;
  for (size_t i = 0; i < steady.size(); ++i) differing += steady[i] != BackSurface.Pixels[i];
  EXPECT_EQ(differing, 0u) << "the leaving frame differs from the screen's frames in " << differing << " pixels";
}

INSTANTIATE_TEST_SUITE_P(Screens, LeaveFrameTest,
                         ::testing::Values(TScreenCase{"options", 4, 3}, TScreenCase{"highscores", 2, 4},
                                           TScreenCase{"help", 5, 5}),
                         [](const ::testing::TestParamInfo<TScreenCase>& info) { return std::string(info.param.Name); });

}  // namespace
