// The start-up shows the menu before it has read everything: the first
// frame decodes only the pictures it shows, and the rest of the pictures,
// sounds and fonts follow one a frame. Runs the real game in-process on the
// headless machine, from the build folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/text.h"
#include "platform/headless_platform.h"
#include "shell/game_state.h"
#include "shell/main_window.h"
#include "sprites/image_list.h"
#include "sprites/wave_list.h"

namespace {

template <class List>
size_t Waiting(const List& list) {
  return static_cast<size_t>(
      std::count_if(list.Items.begin(), list.Items.end(), [](const auto& item) { return item.Source.File != nullptr; }));
}

size_t WaitingAnywhere() { return Waiting(MDXImageList1) + Waiting(MDXImageList2) + Waiting(MDXWaveList); }

TEST(StartUpReadiness, TheMenuShowsFirstAndEverythingElseFollowsOneAFrame) {
  THeadlessPlatform machine;
  Platform = &machine;
  ResetGame();
  ResetTextCache();
  FormCreate(5);
  const size_t all = MDXImageList1.Items.size() + MDXImageList2.Items.size() + MDXWaveList.Items.size();
  const size_t atStart = WaitingAnywhere();
  // The menu's background, its six buttons and its opening sound are all
  // the start read.
  EXPECT_GE(atStart + 8, all);
  EXPECT_FALSE(MDXImageList1.Find("MMBG").Source.File);

  size_t before = atStart;
  int frames = 0;
  for (; WaitingAnywhere() > 0 && frames < 1000; ++frames) {
    MDXTimerTimer(12);
    const size_t now = WaitingAnywhere();
    ASSERT_LE(before - now, 1u) << "at most one item a frame, frame " << frames;
    before = now;
  }
  EXPECT_EQ(WaitingAnywhere(), 0u);
  EXPECT_LT(frames, 300) << "ready within five seconds at 60 frames a second";
  EXPECT_FALSE(PrepareNextTextStyle()) << "the fonts came first";
  ResetGame();
  Platform = nullptr;
}

}  // namespace
