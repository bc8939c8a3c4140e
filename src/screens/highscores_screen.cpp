#include "screens/highscores_screen.h"

#include <cstdio>

#include "gfx/text.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/links.h"
#include "screens/menu_button.h"
#include "screens/buttons.h"
#include "shell/counters.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/input.h"
#include "sprites/sprite.h"

namespace {

TMyImageSprite* Caption = nullptr;
TMyImageSprite* TableFrame = nullptr;

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
}

void HighscoresTick(int moveCount) {
  UpdateButtonLooks();
  if (PressedUp) TryDecrease(HoverButton, FirstButton, 1);
  if (PressedDown) IncreaseCapped(HoverButton, LastButton, 1);
  if (PressedEsc) SelectItem(3);
  // Even on the tick that leaves the screen, its sprites are already drawn
  // for this frame: the table must go over them too.
  MDXSpriteEngine.Move(moveCount);
  DrawHighscoreTable();
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

void ResetHighscoresScreen() { Caption = TableFrame = nullptr; }
