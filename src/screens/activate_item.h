#pragma once
// Folder screens/: the menu screens, their buttons, score reporting and
// links. Uses every lower folder and, as peers, race/ (the race it starts,
// the windows it opens).
//
// The one place where a click or Enter becomes an action: on the open
// question window if there is one, else on the current screen's
// highlighted item.
#include <cstdint>

void ActivateItem();
// HoverButton := item, then ActivateItem (Enter, and Y/N in the questions).
void SelectItem(int item);
// Speaks the language from now on: the current screen is opened again in
// it (the race changes its panel). The options screen's language item, and
// the script runner, call it.
void SwitchLanguage(uint8_t language);
