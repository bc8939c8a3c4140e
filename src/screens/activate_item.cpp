#include "screens/activate_item.h"

#include "race/overlay_windows.h"
#include "screens/links.h"
#include "screens/main_menu.h"
#include "screens/options_screen.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/buttons.h"
#include "shell/game_state.h"
#include "shell/sound.h"

namespace {

void ActivateMainMenuItem() {
  if (MenuFadeIn != 0) return;
  switch (HoverButton) {
    case 3: OpenLink("moregames.url"); break;
    case 4:
      CloseMainMenu();
      OpenOptions();
      break;
    case 6: OpenOverlay(1); break;
    // Car selection, highscores and help open here once those screens are
    // part of the game.
    default: break;
  }
}

void ActivateOptionsItem() {
  switch (HoverButton) {
    case 1:
      FullScreen = FullScreen ? 0 : 1;
      ApplyDisplayMode();
      break;
    case 2:
      MusicOn = MusicOn ? 0 : 1;
      StopMusic();
      PlayScreenMusic();
      break;
    case 3: SoundOn = SoundOn ? 0 : 1; break;
    case 4: ToggleCountryEdit(); break;
    case 5:
      CloseOptions();
      OpenMainMenu(0, 4, false);
      break;
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
    case 3: ActivateOptionsItem(); break;
    default: break;
  }
}

void SelectItem(int item) {
  HoverButton = item;
  ActivateItem();
}
