#include "screens/highscores_screen.h"

#include <cstdio>

#include <cstdlib>

#include "gfx/text.h"
#include "race/replay/replay_run.h"
#include "race/replay/replay_watch.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/links.h"
#include "screens/menu_button.h"
#include "screens/buttons.h"
#include "shell/counters.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/input.h"
#include "shell/language.h"
#include "sprites/sprite.h"

namespace {

TMyImageSprite* Caption = nullptr;
TMyImageSprite* TableFrame = nullptr;

// The kept games that the table's entries can be watched from: an entry
// has its recording when one of them carries its name and score.
const char* const KeptGames[] = {"best-1", "last"};
constexpr int KeptGameCount = sizeof KeptGames / sizeof *KeptGames;
TRecording KeptGame[KeptGameCount];
int ReplayOfRow[11];   // 1 + the index into KeptGame, 0: none
int ChosenRow = 0;     // the entry whose replay Enter or a click starts
int RowUnderMouse = 0;

const TSaid ReplayTag = Said("ПОВТОР", "REPLAY");
// The tags stand left of the table, one on each watchable row.
constexpr int TagX = 292, TagHalfWidth = 40, TagHalfHeight = 15;
int RowY(int row) { return 256 + 36 * (row - 1); }

void FindReplays() {
  bool read[KeptGameCount];
  for (int k = 0; k < KeptGameCount; ++k) read[k] = KeptRecording(KeptGames[k], KeptGame[k]);
  for (int i = 1; i <= 10; ++i) {
    ReplayOfRow[i] = 0;
    for (int k = 0; k < KeptGameCount && ReplayOfRow[i] == 0; ++k)
      if (read[k] && !KeptGame[k].Name.empty() && KeptGame[k].Name == HighScores[i].Name &&
          KeptGame[k].FinalScore == HighScores[i].Score)
        ReplayOfRow[i] = k + 1;
  }
}

int TagUnderMouse() {
  for (int i = 1; i <= 10; ++i)
    if (ReplayOfRow[i] && std::abs(MouseX - TagX) <= TagHalfWidth && std::abs(MouseY - RowY(i)) <= TagHalfHeight)
      return i;
  return 0;
}

// The arrows left and right go from one watchable entry to the next; the
// buttons' highlight goes while one is chosen.
void StepChosenRow(int step) {
  int row = ChosenRow;
  for (int tries = 0; tries < 11; ++tries) {
    row = (row + step + 11) % 11;
    if (row != 0 && ReplayOfRow[row]) {
      ChosenRow = row;
      HoverButton = 0;
      return;
    }
  }
}

void FollowReplayChoice() {
  const int row = TagUnderMouse();
  if (row != RowUnderMouse && row != 0) {
    ChosenRow = row;
    HoverButton = 0;
  }
  RowUnderMouse = row;
  if (PressedLeft) StepChosenRow(-1);
  if (PressedRight) StepChosenRow(1);
  if (PressedUp || PressedDown || HoverButton != 0) ChosenRow = 0;
}

void DrawReplayTags() {
  for (int i = 1; i <= 10; ++i) {
    if (!ReplayOfRow[i]) continue;
    SetTextStyle(i == ChosenRow ? 18 : 21);
    // Rimmed like the race messages: the tag stands on the lit street, not on the board.
    DrawTextRimmed(Say(ReplayTag), TagX, RowY(i), true, true);
  }
}

}  // namespace

void OpenHighscores() {
  GameScreen = 4;
  FirstButton = 1;
  LastButton = 3;
  HoverButton = 3;
  Background = new TScrollBackground(1, 1, 1, "MMBG");
  Caption = TMyImageSprite::CreateAt(1, "HSCaption", 364, 102, 3);
  TableFrame = TMyImageSprite::CreateAt(1, "HSTable", 274, 199, 3);
  Buttons[1] = new TMenuButton(1, "HS_Clear", "HS_Clear", 0, 1, 0, 245);
  Buttons[2] = new TMenuButton(1, "HS_View", "HS_View", 0, 1, 0, 335);
  Buttons[3] = new TMenuButton(1, "HS_Back", "HS_Back", 0, 1, 52, 457);
  ChosenRow = RowUnderMouse = 0;
  FindReplays();
}

bool WatchChosenReplay() {
  if (HoverButton != 0 || ChosenRow == 0 || !ReplayOfRow[ChosenRow]) return false;
  WatchFromTable(KeptGame[ReplayOfRow[ChosenRow] - 1]);
  return true;
}

void HighscoresTick(int moveCount) {
  UpdateButtonLooks();
  FollowReplayChoice();
  if (PressedUp) TryDecrease(HoverButton, FirstButton, 1);
  if (PressedDown) IncreaseCapped(HoverButton, LastButton, 1);
  if (PressedEsc) SelectItem(3);
  // Even on the tick that leaves the screen, its sprites are already drawn
  // for this frame: the table must go over them too.
  MDXSpriteEngine.Move(moveCount);
  DrawHighscoreTable();
  DrawReplayTags();
  DrawLinkNotice();
}

void DrawHighscoreTable() {
  for (int i = 1; i <= 10; ++i) {
    SetTextStyle(2);
    DrawText(HighScores[i].Name, 530, 256 + 36 * (i - 1), true, true);
    char score[16];
    std::snprintf(score, sizeof score, "%d", HighScores[i].Score);
    SetTextStyle(17);
    DrawText(score, 720, 252 + 36 * (i - 1), true, true);
  }
}

void CloseHighscores() {
  GameScreen = 0;
  if (Background) Background->Kill();
  Background = nullptr;
  KillButtons();
  if (Caption) Caption->Kill();
  if (TableFrame) TableFrame->Kill();
  ClearLinkNotice();
  ResetHighscoresScreen();
}

void ResetHighscoresScreen() {
  Caption = TableFrame = nullptr;
  for (int& r : ReplayOfRow) r = 0;
  for (TRecording& g : KeptGame) g = TRecording{};
  ChosenRow = RowUnderMouse = 0;
}
