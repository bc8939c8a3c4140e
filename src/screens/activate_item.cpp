#include "screens/activate_item.h"

#include "race/overlay_windows.h"
#include "screens/links.h"
#include "screens/main_menu.h"
#include "shell/buttons.h"
#include "shell/game_state.h"
#include "shell/sound.h"

namespace {

void ActivateMainMenuItem() {
  if (MenuFadeIn != 0) return;
  switch (HoverButton) {
    case 3: OpenLink("moregames.url"); break;
    case 6: OpenOverlay(1); break;
    // Car selection, highscores, options and help open here once those
    // screens are part of the game.
    default: break;
  }
}

}  // namespace

void ActivateItem() {
  if (!(GameScreen == 6 && OverlayWindow == 0)) PlaySound("Button");
  if (OverlayWindow != 0) {
    OverlayActivate();
    return;
  }
  switch (GameScreen) {
    case 1: ActivateMainMenuItem(); break;
    default: break;
  }
}

void SelectItem(int item) {
  HoverButton = item;
  ActivateItem();
}
