#include "race/overlay_windows.h"

#include "platform/platform.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/main_menu.h"
#include "screens/menu_button.h"
#include "shell/buttons.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/input.h"
#include "shell/main_window.h"
#include "sprites/my_image_sprite.h"

int OverlayTimer = 0;

namespace {

int SavedHover = 0, SavedFirst = 0, SavedLast = 0;
TMyImageSprite* WindowSprite = nullptr;
TMyImageSprite* WindowCaptionSprite = nullptr;
TMenuButton* YesButton = nullptr;
TMenuButton* NoButton = nullptr;

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

void OpenOverlay(int kind) {
  if (OverlayWindow != 0) return;
  OverlayWindow = static_cast<uint8_t>(kind);
  SavedHover = HoverButton;
  SavedFirst = FirstButton;
  SavedLast = LastButton;
  if (IsQuestion(kind)) OpenQuestion(kind);
}

void CloseOverlay() {
  const int kind = OverlayWindow;
  HoverButton = SavedHover;
  FirstButton = SavedFirst;
  LastButton = SavedLast;
  if (IsQuestion(kind)) {
    if (WindowSprite) WindowSprite->Kill();
    if (GameScreen == 6) Platform->ShowCursor(false);
    if (YesButton) YesButton->Kill();
    if (NoButton) NoButton->Kill();
    if (WindowCaptionSprite) WindowCaptionSprite->Kill();
    Buttons[11] = Buttons[12] = nullptr;
    WindowSprite = WindowCaptionSprite = nullptr;
    YesButton = NoButton = nullptr;
  }
  OverlayWindow = 0;
}

void OverlayTick(int moveCount) {
  if (IsQuestion(OverlayWindow)) QuestionTick(moveCount);
}

void OverlayActivate() {
  switch (OverlayWindow) {
    case 1:
      if (HoverButton == 11) LeaveGame();
      else if (HoverButton == 12) CloseOverlay();
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
  OverlayTimer = 0;
  SavedHover = SavedFirst = SavedLast = 0;
  WindowSprite = WindowCaptionSprite = nullptr;
  YesButton = NoButton = nullptr;
}
