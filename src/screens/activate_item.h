#pragma once
// Folder screens/: the menu screens, their buttons, score reporting and
// links. Uses every lower folder and, as peers, race/ (the race it starts,
// the windows it opens).
//
// The one place where a click or Enter becomes an action: on the open
// question window if there is one, else on the current screen's
// highlighted item.
void ActivateItem();
// HoverButton := item, then ActivateItem (Enter, and Y/N in the questions).
void SelectItem(int item);
