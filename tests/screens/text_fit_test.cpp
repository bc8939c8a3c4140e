// Every screen and window in both languages: every text the game prints
// must lie inside its place (a column of a table, a window, the panel's
// display glass, the page left of the screen's edge). An English word longer
// than its Russian one, or a font narrower than the one the texts were
// written for, shows here as a text running past its box.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "race/race.h"
#include "race/race_state.h"
#include "screens/activate_item.h"
#include "screens/buttons.h"
#include "screens/controls_screen.h"
#include "screens/help_screen.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/player_settings.h"
#include "shell/settings.h"

namespace {

struct TBox {
  int L, T, R, B;
};

// Places shared by the menu screens: the title in the sky right of the logo.
const TBox Title{280, 92, 792, 206};

struct TScene {
  const char* Name;
  std::function<void()> Reach;  // from the main menu after its fade-in
  std::vector<TBox> Places;
};

void Tick(int n) {
  for (int i = 0; i < n; ++i) MDXTimerTimer(12);
}

void ToRace() {
  SelectItem(1);
  Tick(2);
  SelectItem(3);
  Tick(2);
}

// The panel's display windows, where the race prints its level, time,
// score, lives, ammunition and nitro.
const std::vector<TBox> Panel = {{615, 11, 766, 46},  {650, 100, 760, 135}, {628, 185, 756, 220},
                                 {760, 311, 789, 344}, {731, 256, 789, 289}, {731, 368, 789, 401}};

std::vector<TBox> RaceAnd(std::vector<TBox> more) {
  more.insert(more.end(), Panel.begin(), Panel.end());
  return more;
}

std::function<void()> HelpPageScene(int page) {
  return [page] {
    SelectItem(5);
    Tick(2);
    HelpPage = page;
  };
}

const std::vector<TBox> HelpPlaces = {Title, {20, 225, 772, 265}, {20, 270, 772, 520}};

const TScene Scenes[] = {
    {"options", [] { SelectItem(4); Tick(2); }, {Title, {100, 440, 358, 500}, {361, 442, 775, 502}}},
    {"controls", [] { SelectItem(4); Tick(2); SelectItem(9); Tick(2); },
     {Title, {50, 198, 300, 232}, {310, 198, 530, 232}, {540, 198, 752, 232}, {50, 232, 300, 457},
      {310, 232, 530, 457}, {540, 232, 752, 457}}},
    {"controls_waiting_and_refused",
     [] {
       SelectItem(4);
       Tick(2);
       SelectItem(9);
       Tick(2);
       SelectItem(ControlsFirstRow + 4);  // the handbrake's row: the longest name
       Tick(2);
       auto& machine = *static_cast<THeadlessPlatform*>(Platform);
       machine.Keys[gkZ] = true;  // fire's key: refused
       Tick(1);
       machine.Keys[gkZ] = false;
     },
     {Title, {50, 198, 300, 232}, {310, 198, 530, 232}, {540, 198, 752, 232}, {50, 232, 300, 457},
      {310, 232, 752, 457}, {40, 460, 752, 490}}},
    {"help_page_1", HelpPageScene(1), HelpPlaces},
    {"help_page_2", HelpPageScene(2), {Title, {20, 225, 772, 265}, {74, 300, 270, 472}, {314, 300, 772, 472}}},
    {"help_page_3", HelpPageScene(3), HelpPlaces},
    {"help_page_4", HelpPageScene(4), HelpPlaces},
    {"help_page_5", HelpPageScene(5), {Title, {20, 225, 772, 265}, {154, 300, 772, 420}}},
    {"highscores", [] { SelectItem(2); Tick(2); }, {{412, 236, 662, 600}, {662, 232, 772, 600}}},
    {"race", [] { ToRace(); Tick(200); }, Panel},
    {"race_time_up", [] { ToRace(); CloseOverlay(); OpenOverlay(3); }, RaceAnd({{0, 180, 610, 300}})},
    {"race_pause", [] { ToRace(); CloseOverlay(); OpenOverlay(5); }, RaceAnd({{190, 270, 610, 330}})},
    // The panel's level window has room for one digit after "УРОВЕНЬ".
    {"race_level_message", [] { ToRace(); Level = 9; }, RaceAnd({{190, 270, 610, 330}})},
    {"race_game_over", [] { ToRace(); CloseOverlay(); OpenOverlay(7); }, RaceAnd({{0, 200, 610, 280}})},
    {"name_entry",
     [] {
       ToRace();
       CloseOverlay();
       Score = 1234567;
       PlayerName = std::string(12, static_cast<char>(0xC6));  // twelve Ж, wider than any name typed
       OpenOverlay(8);
     },
     RaceAnd({{127, 135, 569, 461}})},
    {"sending",
     [] {
       ToRace();
       CloseOverlay();
       OpenOverlay(9);
     },
     RaceAnd({{127, 135, 569, 461}})},
};

void PrintTo(const TScene& scene, std::ostream* out) { *out << scene.Name; }

bool Inside(const TDrawnText& t, const TBox& b) {
  return t.Left >= b.L && t.Top >= b.T && t.Right <= b.R && t.Bottom <= b.B;
}

class TextFit : public ::testing::TestWithParam<std::tuple<TScene, uint8_t>> {
 protected:
  void SetUp() override {
    Platform = &Machine;
    ResetGame();
    FormCreate(5);
    ResetHighScores();
    SetDefaultOptions();
    SwitchLanguage(std::get<1>(GetParam()));
    Tick(60);
  }
  void TearDown() override {
    for (bool& k : Machine.Keys) k = false;
    DrawnTexts = nullptr;
    ResetGame();
    SetDefaultPlayerSettings("");
    Platform = nullptr;
  }
  THeadlessPlatform Machine;
};

TEST_P(TextFit, EveryTextStaysInItsPlace) {
  const TScene& scene = std::get<0>(GetParam());
  scene.Reach();
  std::vector<TDrawnText> drawn;
  DrawnTexts = &drawn;
  Tick(1);
  DrawnTexts = nullptr;
  ASSERT_FALSE(drawn.empty()) << scene.Name << " printed nothing";
  for (const TDrawnText& t : drawn) {
    bool placed = false;
    for (const TBox& b : scene.Places) placed = placed || Inside(t, b);
    EXPECT_TRUE(placed) << scene.Name << ": \"" << Utf8FromCp1251(t.Text) << "\" (style " << t.Style << ") covers "
                        << t.Left << ".." << t.Right << " x " << t.Top << ".." << t.Bottom
                        << ", outside every place of the screen";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Screens, TextFit, ::testing::Combine(::testing::ValuesIn(Scenes), ::testing::Values(lgRussian, lgEnglish)),
    [](const ::testing::TestParamInfo<std::tuple<TScene, uint8_t>>& info) {
      return std::string(std::get<0>(info.param).Name) + (std::get<1>(info.param) == lgEnglish ? "_en" : "_ru");
    });

}  // namespace
