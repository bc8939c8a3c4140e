#include "race/overlay_windows.h"

#include <cstdio>

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "race/player/player.h"
#include "race/race.h"
#include "race/race_state.h"
#include "race/world/my_cursor.h"
#include "screens/highscores_screen.h"
#include "screens/score_report.h"
#include "shell/frame_rate.h"
#include "shell/settings.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/main_menu.h"
#include "screens/open_guard.h"
#include "screens/menu_button.h"
#include "screens/buttons.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/input.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "sprites/my_image_sprite.h"
#include "sprites/sprite.h"

int OverlayTimer = 0;
uint8_t SendChosen = 0;
uint8_t SendingShown = 0;
uint32_t RaceResumes = 0;

namespace {

const TSaid TimeUpText = Said("Время вышло!", "Time is up!");
const TSaid TryAgainText = Said("Попробуйте ещё раз!", "Try again!");
const TSaid PauseText = Said("Пауза", "Paused");
const TSaid LevelText = Said("Уровень ", "Level ");
const TSaid GameOverText = Said("Конец игры", "Game over");
const TSaid SendingText = Said("Отправка...", "Sending...");

int SavedHover = 0, SavedFirst = 0, SavedLast = 0;
TMyImageSprite* WindowSprite = nullptr;
TMyImageSprite* WindowCaptionSprite = nullptr;
TMenuButton* YesButton = nullptr;
TMenuButton* NoButton = nullptr;
TMyImageSprite* SendOkSprite = nullptr;
TMyCursor* TextCursor = nullptr;
bool LeaveAskedWhileSending = false;

void StopCarSounds() {
  if (GameScreen == 6 && Player) Player->StopPlayerSounds(true);
}

// The timed messages close on the first tick with less than a frame left.
bool RunTimer() {
  if (!OverlayTimerRunsOut()) {
    OverlayTimer -= FrameMs;
    return false;
  }
  return true;
}

void Centred(const std::string& text, int x, int y) { DrawText(text, x, y, true, true); }
// The messages without a window stand straight on the town, the lamps and
// the cars; a dark rim keeps them readable over any of them.
void Message(const std::string& text, int x, int y) { DrawTextRimmed(text, x, y, true, true); }
void Message(const TSaid& text, int x, int y) { Message(Say(text), x, y); }

void BackToMenu() {
  CloseRace();
  OpenMainMenu(0, 1, true);
}

void ToTheTable() {
  BackToMenu();
  CloseMainMenu();
  OpenScreenOrMenu(OpenHighscores, CloseHighscores, 2, false);
}

// Leaving a race: a score good enough for the table asks for a name first.
void AfterRace() {
  if (Qualifies(Score)) OpenOverlay(8);
  else BackToMenu();
}

void ConfirmName() {
  LastKeyChar = 0;
  HighScores[11] = {PlayerName, Score};
  SortHighScores();
  SendChosen = static_cast<uint8_t>(SendOkSprite ? static_cast<int>(SendOkSprite->AnimPos) : 0);
  CloseOverlay();
  // Enter arrives between ticks, and a killed sprite still draws until the
  // sweep at the end of the next tick: without this the sending notice's
  // first frame would show inside the name entry's frame, with its prompt
  // and check box.
  MDXSpriteEngine.Dead();
  if (SendChosen == 0) ToTheTable();
  else OpenOverlay(9);
}

bool IsQuestion(int kind) { return kind == 1 || kind == 2 || kind == 4; }

void OpenQuestion(int kind) {
  static const char* const Caption[5] = {"", "Win_EG", "Win_ExitToMenu", "", "Win_ClearHS"};
  static const double CaptionX[5] = {0, 295, 276, 0, 268};
  static const double CaptionY[5] = {0, 248, 248, 0, 237};
  WindowSprite = TMyImageSprite::CreateAt(1, "Window", 188, 237, 14);
  WindowCaptionSprite = TMyImageSprite::CreateAt(1, Caption[kind], CaptionX[kind], CaptionY[kind], 16);
  Platform->ShowCursor(true);
  FirstButton = 11;
  LastButton = 12;
  HoverButton = 12;  // No is preselected
  YesButton = new TMenuButton(1, "Yes", "Yes", 0, 1, 237, 296);
  NoButton = new TMenuButton(1, "No", "No", 0, 1, 386, 296);
  YesButton->SetZ(15);
  NoButton->SetZ(15);
  Buttons[11] = YesButton;
  Buttons[12] = NoButton;
  if (kind == 1) {
    YesButton->RaiseOnHover = 1;
    NoButton->RaiseOnHover = 1;
  }
}

void QuestionTick(int moveCount) {
  // A question whose pictures failed to load has no buttons; its keys
  // still answer it.
  if (YesButton) YesButton->Move(moveCount);
  if (NoButton) NoButton->Move(moveCount);
  UpdateButtonLooks();
  if (PressedY) SelectItem(11);
  if (OverlayWindow == 0) return;
  if (PressedN) SelectItem(12);
  if (OverlayWindow == 0) return;
  if (PressedLeft) {
    if (HoverButton < 11 || HoverButton > 12) HoverButton = 11;
    if (HoverButton - 1 >= 11) HoverButton -= 1;
  }
  if (PressedRight) {
    if (HoverButton < 11 || HoverButton > 12) HoverButton = 12;
    if (HoverButton + 1 <= 12) HoverButton += 1;
  }
}

void LeaveGame() {
  CloseOverlay();
  if (Background) Background->Kill();
  CloseMainMenu();
  ShutDown();
}

}  // namespace

bool OverlayTimerRunsOut() { return OverlayTimer - FrameMs < 0; }

void OpenOverlay(int kind) {
  if (OverlayWindow == 9 && (kind == 1 || kind == 2)) {
    // The window's close button while the score is being sent: the entry is
    // already in the table, so the report is dropped, the table shows and
    // the leave question follows at once.
    LeaveAskedWhileSending = true;
    AbandonScoreReport();
    return;
  }
  if (OverlayWindow != 0) return;
  StopCarSounds();
  OverlayWindow = static_cast<uint8_t>(kind);
  SavedHover = HoverButton;
  SavedFirst = FirstButton;
  SavedLast = LastButton;
  if (kind == 8) {
    Platform->ShowCursor(true);
    SendOkSprite = TMyImageSprite::CreateAt(1, "SendOk", 161, 369, 15);
    SendOkSprite->AnimPos = 1;
    WindowSprite = TMyImageSprite::CreateAt(1, "SendTable", 127, 135, 14);
  }
  if (IsQuestion(kind)) OpenQuestion(kind);
  if (kind == 6) OverlayTimer = 2000;
  if (kind == 3 || kind == 7) OverlayTimer = 3000;
  if (kind == 8) {
    TextCursor = new TMyCursor(1, 1000, 15, 360, 163, "Cursor2");
    TextCursor->Blinking = 1;
  }
  if (kind == 2 || kind == 5) StopCarSounds();
  SendingShown = 0;
  LeaveAskedWhileSending = false;
}

void CloseOverlay() {
  const int kind = OverlayWindow;
  HoverButton = SavedHover;
  FirstButton = SavedFirst;
  LastButton = SavedLast;
  if ((IsQuestion(kind) || kind == 8) && WindowSprite) WindowSprite->Kill();
  if (kind == 8) {
    if (SendOkSprite) SendOkSprite->Kill();
    SendOkSprite = nullptr;
    Platform->ShowCursor(false);
  }
  if (IsQuestion(kind)) {
    if (GameScreen == 6) Platform->ShowCursor(false);
    if (YesButton) YesButton->Kill();
    if (NoButton) NoButton->Kill();
    if (WindowCaptionSprite) WindowCaptionSprite->Kill();
    Buttons[11] = Buttons[12] = nullptr;
    WindowSprite = WindowCaptionSprite = nullptr;
    YesButton = NoButton = nullptr;
  }
  if (kind == 8 && TextCursor) {
    TextCursor->Visible = false;
    TextCursor->Kill();
    TextCursor = nullptr;
  }
  WindowSprite = nullptr;
  if ((kind == 2 || kind == 5) && GameScreen == 6 && Player) {
    Player->ResumePlayerSounds(true);
    ++RaceResumes;
  }
  OverlayWindow = 0;
}

void OverlayTick(int moveCount) {
  const int kind = OverlayWindow;
  if (IsQuestion(kind)) QuestionTick(moveCount);
  switch (kind) {
    case 3:
      SetTextStyle(5);
      Message(TimeUpText, 348, 217);
      Message(TryAgainText, 348, 267);
      if (RunTimer()) {
        CloseOverlay();
        StartLevel(false);
      }
      break;
    case 5:
      SetTextStyle(5);
      Message(PauseText, 400, 300);
      if (PressedP) CloseOverlay();
      if (PressedEsc) CloseOverlay();
      break;
    case 6: {
      SetTextStyle(5);
      char text[32];
      std::snprintf(text, sizeof text, "%s%d", Say(LevelText).c_str(), Level);
      Message(text, 400, 300);
      if (RunTimer()) CloseOverlay();
      break;
    }
    case 7:
      SetTextStyle(5);
      Message(GameOverText, 348, 237);
      if (RunTimer()) {
        CloseOverlay();
        AfterRace();
      }
      break;
    case 8: {
      char text[16];
      std::snprintf(text, sizeof text, "%d", Score);
      SetTextStyle(9);
      Centred(text, 348, 217);
      SetTextStyle(10);
      Centred(PlayerName, 348, 345);
      // A name entry whose pictures failed to load still takes the name.
      if (TextCursor) {
        TextCursor->X = TextWidth(PlayerName, 10) / 2.0 + 348;
        TextCursor->DoMove(moveCount);
      }
      break;
    }
    case 9:
      SetTextStyle(11);
      Message(SendingText, 348, 219);
      SetTextStyle(10);
      Message(PlayerName, 348, 345);
      // The notice is on screen for a frame before the report starts; the
      // report runs beside the frame loop, so the notice keeps being drawn
      // and the window keeps answering until the service has answered or
      // the report's time-outs have passed.
      if (SendingShown == 1) {
        StartScoreReport(PlayerName, Score, Country);
        SendingShown = 2;
      } else if (SendingShown == 0) {
        SendingShown = 1;
      }
      if (SendingShown == 2 && ScoreReportEnded()) {
        CloseOverlay();
        ToTheTable();
        if (LeaveAskedWhileSending) OpenOverlay(1);
      }
      break;
    default: break;
  }
  // The panel is printed whenever the race is the screen, also on the tick
  // its window closes: the race's own tick prints it only from the next.
  if (GameScreen == 6) DrawHud();
}

void OverlayActivate() {
  switch (OverlayWindow) {
    case 1:
      if (HoverButton == 11) LeaveGame();
      else if (HoverButton == 12) CloseOverlay();
      break;
    case 2:
      if (HoverButton == 11) {
        CloseOverlay();
        AfterRace();
      } else if (HoverButton == 12) {
        CloseOverlay();
      }
      break;
    case 8:
      if (LastKeyChar == 13) {
        ConfirmName();
      } else if (MouseX >= 161 && MouseX <= 215 && MouseY >= 369 && MouseY <= 414 && SendOkSprite) {
        SendOkSprite->AnimPos = static_cast<int>(SendOkSprite->AnimPos) == 0 ? 1 : 0;
      }
      break;
    case 4:
      if (HoverButton == 11) {
        CloseOverlay();
        ResetHighScores();
      } else if (HoverButton == 12) {
        CloseOverlay();
      }
      break;
    default: break;
  }
}

void ResetOverlay() {
  AbandonScoreReport();
  LeaveAskedWhileSending = false;
  OverlayTimer = 0;
  SendChosen = SendingShown = 0;
  SendOkSprite = nullptr;
  TextCursor = nullptr;
  SavedHover = SavedFirst = SavedLast = 0;
  WindowSprite = WindowCaptionSprite = nullptr;
  YesButton = NoButton = nullptr;
}
