// "ДРУГИЕ ИГРЫ" on the main menu and "Онлайн-таблица" on the highscores
// screen: a link that leads nowhere (no shortcut file, the build's stand-in
// service address, a desktop that opens nothing) is told on the screen, under
// the button, for three seconds; a link that opens shows nothing more. Runs
// the real game in-process on the headless machine, in a copy of the game
// folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "platform/headless_platform.h"
#include "screens/activate_item.h"
#include "screens/buttons.h"
#include "screens/links.h"
#include "shell/game_state.h"
#include "shell/main_window.h"
#include "support/script_support.h"

namespace {

struct TLinkCase {
  const char* Name;
  bool Table;           // the highscores screen's item, else the main menu's
  bool ShortcutThere;   // moregames.url in the game's folder
  const char* Server;   // the score service's address
  bool DesktopOpens;
  size_t Handed;        // links handed to the desktop
  const char* Notice;   // UTF-8; empty when the link opens
};

void PrintTo(const TLinkCase& c, std::ostream* os) { *os << c.Name; }

class LinkNotice : public ::testing::TestWithParam<TLinkCase> {
 protected:
  void SetUp() override {
    Home = std::filesystem::current_path();
    std::filesystem::current_path(Game.Root);
    if (GetParam().ShortcutThere)
      std::ofstream("moregames.url") << "[InternetShortcut]\r\nURL=http://games.example.org/\r\n";
    setenv("VOLTRACE2_SCORE_SERVER", GetParam().Server, 1);
    Machine.LinksOpen = GetParam().DesktopOpens;
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    Tick(50);  // the menu's fade-in
  }
  void TearDown() override {
    ResetGame();
    Platform = nullptr;
    unsetenv("VOLTRACE2_SCORE_SERVER");
    std::filesystem::current_path(Home);
  }
  static void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) MDXTimerTimer(11);
  }
  static std::vector<uint32_t> Frame() {
    return std::vector<uint32_t>(BackSurface.Row(0), BackSurface.Row(0) + SurfaceWidth * SurfaceHeight);
  }
  TGameFolder Game;
  std::filesystem::path Home;
  THeadlessPlatform Machine;
};

TEST_P(LinkNotice, ALinkThatLeadsNowhereIsToldOnTheScreen) {
  const TLinkCase c = GetParam();
  if (c.Table) {
    SelectItem(2);  // highscores
    Tick(2);
    ASSERT_EQ(GameScreen, 4);
  }
  SelectItem(c.Table ? 2 : 3);
  Tick(2);  // the button's lit look shows from the second frame on
  const std::vector<uint32_t> shown = Frame();
  EXPECT_EQ(Utf8FromCp1251(::LinkNotice), c.Notice);
  EXPECT_EQ(Machine.OpenedLinks.size(), c.Handed);

  // The notice is on the frame: the same screen without it differs there.
  ClearLinkNotice();
  Tick();
  int changed = 0;
  const std::vector<uint32_t> plain = Frame();
  for (size_t i = 0; i < plain.size(); ++i) changed += plain[i] != shown[i];
  if (*c.Notice) {
    EXPECT_GT(changed, 300) << "pixels of the notice";
  } else {
    EXPECT_EQ(changed, 0) << "an opened link shows nothing";
  }

  // Three seconds of frames later it is gone by itself.
  if (*c.Notice) {
    SelectItem(c.Table ? 2 : 3);
    Tick(LinkNoticeMs / 11 - 2);
    EXPECT_FALSE(::LinkNotice.empty());
    Tick(3);
    EXPECT_TRUE(::LinkNotice.empty());
  }
}

constexpr const char* Real = "http://10.0.0.7:8080";
constexpr const char* StandIn = "http://www.voltrace2.example";

INSTANTIATE_TEST_SUITE_P(
    Links, LinkNotice,
    ::testing::Values(TLinkCase{"MoreGamesWithoutShortcut", false, false, Real, true, 0, "Ссылка на другие игры не задана"},
                      TLinkCase{"MoreGamesOpens", false, true, Real, true, 1, ""},
                      TLinkCase{"MoreGamesDesktopOpensNothing", false, true, Real, false, 1, "Ссылку не удалось открыть"},
                      TLinkCase{"TableOfTheStandInService", true, false, StandIn, true, 0, "Адрес онлайн-таблицы не задан"},
                      TLinkCase{"TableOfAnInvalidName", true, false, "http://scores.invalid:8080/", true, 0,
                                "Адрес онлайн-таблицы не задан"},
                      TLinkCase{"TableOpens", true, false, Real, true, 1, ""},
                      TLinkCase{"TableDesktopOpensNothing", true, false, Real, false, 1, "Таблицу не удалось открыть"}),
    [](const ::testing::TestParamInfo<TLinkCase>& info) { return info.param.Name; });

}  // namespace
