#include "screens/activate_item.h"

#include "race/overlay_windows.h"
#include "race/race.h"
#include "race/replay/ghost.h"
#include "screens/car_selection.h"
#include "screens/controls_screen.h"
#include "screens/help_screen.h"
#include "screens/highscores_screen.h"
#include "screens/links.h"
#include "screens/main_menu.h"
#include "screens/open_guard.h"
#include "screens/options_screen.h"
#include "screens/score_report.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "screens/buttons.h"
#include "shell/game_state.h"
#include "shell/key_bindings.h"
#include "shell/language.h"
#include "shell/sound.h"

namespace {

void ActivateMainMenuItem() {
  if (MenuFadeIn != 0) return;
  switch (HoverButton) {
    case 1:
      CloseMainMenu();
      OpenScreenOrMenu(OpenCarSelection, CloseCarSelection, 1, false);
      break;
    case 2:
      CloseMainMenu();
      OpenScreenOrMenu(OpenHighscores, CloseHighscores, 2, false);
      break;
    case 3: OpenMoreGames(); break;
    case 4:
      CloseMainMenu();
      OpenScreenOrMenu(OpenOptions, CloseOptions, 4, false);
      break;
    case 5:
      CloseMainMenu();
      OpenScreenOrMenu(OpenHelp, CloseHelp, 5, false);
      break;
    case 6: OpenOverlay(1); break;
    default: break;
  }
}

void ActivateCarSelectionItem() {
  if (CarSwitchState != 0) return;
  switch (HoverButton) {
    case 1: PreviousCar(); break;
    case 2: NextCar(); break;
    case 3:
      CloseCarSelection();
      OpenMainMenu(0, 1, false);
      CloseMainMenu();
      PrepareGhostForRace();
      // The race has started its music by the time it can fail.
      OpenScreenOrMenu(StartRace, CloseRace, 1, true);
      break;
    case 4:
      CloseCarSelection();
      OpenMainMenu(0, 1, false);
      break;
    default: break;
  }
}

void ActivateHighscoresItem() {
  if (WatchChosenReplay()) return;
  switch (HoverButton) {
    case 1: OpenOverlay(4); break;
    case 2: OpenOnlineTable(); break;
    case 3:
      CloseHighscores();
      OpenMainMenu(0, 2, false);
      break;
    default: break;
  }
}

void ActivateHelpItem() {
  switch (HoverButton) {
    case 1: PreviousHelpPage(); break;
    case 2: NextHelpPage(); break;
    case 3:
      CloseHelp();
      OpenMainMenu(0, 5, false);
      break;
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
    case 6:
    case 7: SetVolumeFromClick(HoverButton); break;
    case 8: SwitchLanguage(Language == lgRussian ? lgEnglish : lgRussian); break;
    case 9:
      CloseOptions();
      OpenScreenOrMenu(OpenControls, CloseControls, 4, false);
      break;
    case 10: ToggleGhost(); break;
    default: break;
  }
}

void ActivateControlsItem() {
  if (HoverButton >= ControlsFirstRow && HoverButton < ControlsFirstRow + RaceActionCount) {
    ListenForBinding(HoverButton - ControlsFirstRow);
  } else if (HoverButton == ControlsDefaultsButton) {
    RestoreDefaultBindings();
  } else if (HoverButton == ControlsBackButton) {
    CloseControls();
    OpenOptions();
    HoverButton = 9;
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
    case 2: ActivateCarSelectionItem(); break;
    case 3: ActivateOptionsItem(); break;
    case 4: ActivateHighscoresItem(); break;
    case 5: ActivateHelpItem(); break;
    case 7: ActivateControlsItem(); break;
    default: break;
  }
}

void SwitchLanguage(uint8_t language) {
  SetLanguage(language);
  if (OverlayWindow != 0) return;
  // The screen is opened again, so its pictures with words come in the new
  // language; the selection stays where it was.
  const int hover = HoverButton;
  switch (GameScreen) {
    case 1:
      CloseMainMenu();
      OpenMainMenu(0, hover, false);
      break;
    case 2:
      CloseCarSelection();
      OpenCarSelection();
      break;
    case 3:
      CloseOptions();
      OpenOptions();
      break;
    case 4:
      CloseHighscores();
      OpenHighscores();
      break;
    case 5: {
      const int page = HelpPage;
      CloseHelp();
      OpenHelp();
      HelpPage = page;
      break;
    }
    case 6: RaceLanguageChanged(); break;
    case 7:
      CloseControls();
      OpenControls();
      break;
    default: return;
  }
  HoverButton = hover;
}

void SelectItem(int item) {
  HoverButton = item;
  ActivateItem();
}
