// Every item of every archive taken out in turn, and a tour of every screen
// and window with each one missing: the game must never crash. A missing
// name may only cost what asked for it; at start-up the main menu's own
// pictures and sounds stop the game with the lookup error.
//
// The archives are read once; an item is "taken out" by renaming it so that
// no lookup finds it, which is what the game sees of a missing item. The
// tour runs in-process on the headless machine, so one archive's items take
// seconds, not a process start each.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/headless_platform.h"
#include "race/race_state.h"
#include "shell/frame_timer.h"
#include "shell/game_state.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "sprites/image_list.h"
#include "sprites/lookup_error.h"
#include "sprites/wave_list.h"

namespace {

namespace fs = std::filesystem;

// The names the main menu needs before the player can do anything: without
// one of them the game stops at start-up.
const std::set<std::string> StartUpNames = {"MMBG", "MM_1_0", "MM_2_0", "MM_3_0", "MM_4_0", "MM_5_0", "MM_6_0"};

class TTour {
 public:
  THeadlessPlatform Machine;
  double ClockMs = 0;
  int Ticks = 0;
  unsigned Screens = 0, Windows = 0;  // bit n: GameScreen / OverlayWindow n was seen

  // The race's clocks at a slow display's rate, so its timed windows come
  // and go in a few ticks each.
  void WaitMs(int ms) { Wait(ms * Machine.Refresh / 1000 + 1); }
  void Wait(int ticks) {
    for (int i = 0; i < ticks && !Terminated; ++i) {
      ClockMs += 1000.0 / Machine.Refresh;
      Machine.NowMs = static_cast<int64_t>(ClockMs);
      MDXTimerTimer(MDXTimer.NextLagCount(Machine.NowMs));
      ++Ticks;
      Screens |= 1u << GameScreen;
      Windows |= 1u << OverlayWindow;
    }
  }
  void Click(int x, int y, int ticks = 2) {
    MDXDrawMouseMove(x, y);
    Wait(1);
    MDXDrawClick();
    Wait(ticks);
  }
  void Press(TGameKey key, int ticks = 2) {
    Machine.Keys[key] = true;
    Wait(1);
    Machine.Keys[key] = false;
    Wait(ticks);
  }
  void Type(const std::string& text) {
    for (char c : text) FormKeyPress(static_cast<unsigned char>(c));
    Wait(1);
  }

  // Main menu items: 1 car selection, 2 highscores, 4 options, 5 help, 6 exit.
  void Menu(int item) {
    static const int At[7][2] = {{}, {400, 60}, {400, 160}, {300, 270}, {100, 370}, {600, 370}, {400, 520}};
    Click(At[item][0], At[item][1], 3);
  }

  void Run() {
    Wait(50);  // the menu's fade-in
    // Car selection: both arrows, then the race.
    Menu(1);
    Click(580, 350, 14);
    Click(210, 350, 14);
    Click(250, 495, 3);
    if (GameScreen == 6) Race();
    // Highscores: the clear question (No, then Yes), the online table, back.
    Menu(2);
    Click(50, 260, 2);
    Press(gkN);
    Click(50, 260, 2);
    Press(gkY);
    Click(50, 350, 2);
    Click(80, 470, 3);
    // Options: every row twice, the country typed, back.
    Menu(4);
    for (int row = 0; row < 3; ++row) {
      Click(150, 270 + 62 * row, 1);
      Click(150, 270 + 62 * row, 1);
    }
    Click(150, 460, 1);
    Type("Ab\x08Z");
    Click(150, 460, 1);
    Click(380, 530, 3);
    // Help: every page, both ways, back.
    Menu(5);
    for (int i = 0; i < 5; ++i) Click(650, 460, 1);
    Click(560, 530, 1);
    Click(380, 530, 3);
    // The exit question from the menu and from the window's close button.
    Menu(6);
    Press(gkN);
    FormCloseQuery();
    Wait(2);
    Press(gkN);
  }

  void Race() {
    WaitMs(2100);  // the level message
    for (TGameKey k : {gkUp, gkZ, gkX, gkH, gkSpace, gkLeft}) Machine.Keys[k] = true;
    WaitMs(3000);
    for (TGameKey k : {gkUp, gkZ, gkX, gkH, gkSpace, gkLeft}) Machine.Keys[k] = false;
    Press(gkP);  // pause and on again
    Press(gkP);
    Press(gkEsc);  // the leave question: No
    Press(gkN);
    // Time up with lives left, then the game over on the last one.
    TimeLeft = 5;
    WaitMs(3100);
    WaitMs(2100);
    Lives = 1;
    TimeLeft = 5;
    Score = 99999;  // good enough for the table
    WaitMs(3100);
    WaitMs(3100);
    if (OverlayWindow == 8) {
      Type("Tour");
      Click(180, 390, 1);  // the send box off and on
      Click(180, 390, 1);
      FormKeyPress(13);
      Wait(5);
    }
    // Whatever is left of the race: leave it.
    for (int i = 0; i < 3 && GameScreen == 6; ++i) {
      // The close button, for a race whose ticks a missing sound cuts short
      // before they read Esc.
      if (OverlayWindow == 0) FormCloseQuery();
      Press(gkY, 5);
      WaitMs(3100);
    }
    if (GameScreen == 4) Click(80, 470, 3);
  }
};

struct TArchive {
  const char* File;
  int List;  // 1, 2: image lists; 3: the sound list
};

void PrintTo(const TArchive& a, std::ostream* os) { *os << a.File; }

std::string& NameAt(int list, size_t i) {
  if (list == 1) return MDXImageList1.Items[i].Name;
  if (list == 2) return MDXImageList2.Items[i].Name;
  return MDXWaveList.Items[i].Name;
}

void Reindex(int list) {
  if (list == 1) MDXImageList1.Reindex();
  else if (list == 2) MDXImageList2.Reindex();
  else MDXWaveList.Reindex();
}

class ItemRemovalTourBase : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MDXImageList1.LoadFromFile("Data/Res/Res1.dxg");
    MDXImageList2.LoadFromFile("Data/Res/Res2.dxg");
    MDXWaveList.LoadFromFile("Data/Res/Sounds.dxw");
  }
  void SetUp() override {
    Before = Platform;
    Home = fs::current_path();
    Folder = fs::temp_directory_path() / ("voltrace2-tour-" + std::to_string(getpid()));
    fs::create_directories(Folder);
  }
  void TearDown() override {
    // Each tour's machine is gone with it.
    Platform = Before;
    fs::current_path(Home);
    fs::remove_all(Folder);
  }
  TPlatform* Before = nullptr;
  fs::path Home, Folder;
};

class ItemRemovalTour : public ItemRemovalTourBase, public ::testing::WithParamInterface<TArchive> {};

// The tour itself, with every item there, reaches every screen and window.
TEST_F(ItemRemovalTourBase, VisitsEveryScreenAndWindow) {
  fs::current_path(Folder);
  TTour tour;
  tour.Machine.Refresh = 20;
  Platform = &tour.Machine;
  ResetGame();
  FormCreate(7, false);
  tour.Run();
  EXPECT_EQ(tour.Screens, 0x7Eu) << "screens 1 to 6";
  EXPECT_EQ(tour.Windows, 0x3FFu) << "no window and windows 1 to 9";
  EXPECT_EQ(GameScreen, 1);
  ResetGame();
}

TEST_P(ItemRemovalTour, NoMissingItemCrashesAnyScreen) {
  const TArchive a = GetParam();
  const size_t count = a.List == 1 ? MDXImageList1.Items.size()
                       : a.List == 2 ? MDXImageList2.Items.size()
                                     : MDXWaveList.Items.size();
  ASSERT_GT(count, 10u) << a.File;
  // No save files, so every run starts with sound and music on.
  fs::current_path(Folder);
  int stoppedAtStart = 0;
  for (size_t i = 0; i < count; ++i) {
    const std::string name = NameAt(a.List, i);
    NameAt(a.List, i) = "\x01gone:" + name;
    Reindex(a.List);
    TTour tour;
    tour.Machine.Refresh = 20;
    Platform = &tour.Machine;
    ResetGame();
    Terminated = false;
    bool started = true;
    try {
      FormCreate(7, false);
    } catch (const ELookupError& e) {
      started = false;
      ++stoppedAtStart;
      EXPECT_TRUE(StartUpNames.count(name)) << name << " stopped the start: " << e.what();
      EXPECT_NE(std::string(e.what()).find("'" + name + "'"), std::string::npos) << e.what();
    }
    if (started) {
      EXPECT_FALSE(StartUpNames.count(name)) << name << " is needed at start-up";
      SCOPED_TRACE("without " + name);
      tour.Run();
      EXPECT_FALSE(Terminated) << "without " << name;
      EXPECT_GE(GameScreen, 1) << "without " << name << ": no screen left open";
      EXPECT_LE(GameScreen, 6);
    }
    NameAt(a.List, i) = name;
    Reindex(a.List);
  }
  ResetGame();
  std::printf("%s: %zu items taken out in turn, %d of them stop the start\n", a.File, count, stoppedAtStart);
}

INSTANTIATE_TEST_SUITE_P(Archives, ItemRemovalTour,
                         ::testing::Values(TArchive{"Res1.dxg", 1}, TArchive{"Res2.dxg", 2},
                                           TArchive{"Sounds.dxw", 3}),
                         [](const auto& info) { return std::to_string(info.param.List); });

}  // namespace
