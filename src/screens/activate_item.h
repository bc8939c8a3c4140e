#pragma once
// The one place where a click or Enter becomes an action: on the open
// question window if there is one, else on the current screen's
// highlighted item.
void ActivateItem();
// HoverButton := item, then ActivateItem (Enter, and Y/N in the questions).
void SelectItem(int item);
