#include "screens/main_menu.h"

#include <string>

#include "platform/platform.h"
#include "race/world/scroll_background.h"
#include "screens/links.h"
#include "screens/menu_button.h"
#include "screens/buttons.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "race/overlay_windows.h"
#include "shell/sound.h"

uint8_t MenuFadeIn = 0;

namespace {

struct TMenuItem {
  const char* Normal;
  const char* Active;
  const char* AfterFade;
  int X, Y;
};

const TMenuItem MenuItems[7] = {
    {},
    {"MM_1_0", "MM_1_A", "MM_1_I", 284, 27},
    {"MM_2_0", "MM_2_A", "MM_2_I", 323, 133},
    {"MM_3_0", "MM_3_A", "MM_3_I", 229, 239},
    {"MM_4_0", "MM_4_A", "MM_4_I", 56, 342},
    {"MM_5_0", "MM_5_A", "MM_5_I", 512, 342},
    {"MM_6_0", "MM_6_A", "MM_6_I", 282, 498},
};

// A button whose fade has reached 150 shows its after-fade look from now on.
void FinishFade(int i) {
  Buttons[i]->AlphaOn = 0;
  Buttons[i]->NormalImage = MenuItems[i].AfterFade;
  Buttons[i]->Unhighlight();
}

void FadeInStep() {
  Buttons[1]->Alpha += 15;
  if (Buttons[1]->Alpha >= 150) {
    FinishFade(1);
    Buttons[2]->Alpha += 15;
  }
  if (Buttons[2]->Alpha >= 150) {
    FinishFade(2);
    Buttons[3]->Alpha += 15;
  }
  if (Buttons[3]->Alpha >= 150) {
    FinishFade(3);
    Buttons[4]->Alpha += 15;
    Buttons[5]->Alpha += 15;
  }
  if (Buttons[4]->Alpha >= 150) {
    FinishFade(4);
    FinishFade(5);
    Buttons[6]->Alpha += 15;
  }
  if (Buttons[6]->Alpha >= 150) {
    FinishFade(6);
    MenuFadeIn = 0;
  }
}

// Items 4 and 5 share the row between 3 and 6.
void NavigateMenu() {
  if (PressedUp) {
    if (HoverButton == 4 || HoverButton == 5) HoverButton = 3;
    else if (HoverButton == 6) HoverButton = 5;
    else HoverButton = HoverButton <= 1 ? 6 : HoverButton - 1;
  }
  if (PressedDown) {
    if (HoverButton == 4 || HoverButton == 5) HoverButton = 6;
    else if (HoverButton == 3) HoverButton = 5;
    else HoverButton = (HoverButton >= 6 || HoverButton <= 0) ? 1 : HoverButton + 1;
  }
  if (PressedEsc) OpenOverlay(1);
  if (PressedLeft && HoverButton == 5) HoverButton = 4;
  if (PressedRight && HoverButton == 4) HoverButton = 5;
}

}  // namespace

void OpenMainMenu(int fadeIn, int hover, bool playMusic) {
  GameScreen = 1;
  if (playMusic) PlayScreenMusic();
  Platform->ShowCursor(true);
  FirstButton = 1;
  LastButton = 6;
  HoverButton = hover;
  MenuFadeIn = static_cast<uint8_t>(fadeIn);
  Background = new TScrollBackground(1, 1, 1, "MMBG");
  for (int i = 1; i <= 6; ++i) {
    const TMenuItem& item = MenuItems[i];
    Buttons[i] = new TMenuButton(1, item.Active, item.Normal, 0, 0, item.X, item.Y);
  }
  for (int i = 1; i <= 6; ++i) {
    Buttons[i]->AlphaOn = fadeIn == 1 ? 1 : 0;
    Buttons[i]->Alpha = fadeIn == 1 ? 0 : 255;
  }
  if (fadeIn == 1) PlaySound("MenuBegin");
}

void MainMenuTick(int lagCount) {
  (void)lagCount;
  if (MenuFadeIn) {
    FadeInStep();
    return;
  }
  UpdateButtonLooks();
  NavigateMenu();
  DrawLinkNotice();
}

void CloseMainMenu() {
  GameScreen = 0;
  if (Background) Background->Kill();
  Background = nullptr;
  KillButtons();
  ClearLinkNotice();
}

void ResetMainMenu() {
  MenuFadeIn = 0;
}
