#include "screens/open_guard.h"

#include "screens/main_menu.h"
#include "sprites/lookup_error.h"

void OpenScreenOrMenu(void (*open)(), void (*close)(), int hover, bool playMusic) {
  try {
    open();
  } catch (const ELookupError&) {
    try {
      close();
    } catch (const ELookupError&) {
    }
    try {
      OpenMainMenu(0, hover, playMusic);
    } catch (const ELookupError&) {
      CloseMainMenu();
    }
    throw;
  }
}
