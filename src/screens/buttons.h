#pragma once
// The on-screen buttons of the current screen or question window and the
// highlighted one, shared by the mouse and the keyboard.
class TMenuButton;

// Indexed 1..12; 11 and 12 are the windows' Yes and No. The controls
// screen, which has more buttons than fit below the windows' pair, numbers
// its own from 13 on, so a window opened over it leaves them alone.
constexpr int ButtonSlots = 24;
extern TMenuButton* Buttons[ButtonSlots];
extern int FirstButton, LastButton;
extern int HoverButton;  // 0 = none

// Called by the mouse handler with KeepIfNone = true: the last highlighted
// button stays highlighted when the mouse leaves every button.
void UpdateHover(bool keepIfNone);
// Called by the menu and question ticks: every button of the range gets its
// normal look, the hovered one its hover look.
void UpdateButtonLooks();
// Called when UpdateButtonLooks gives a newly highlighted button its hover
// look. A screen that must hear of it (the options screen ends the country
// typing when the selection leaves the text box) sets it while it is open.
extern void (*SelectionMoved)();
// Kills the buttons of the range when a screen closes.
void KillButtons();
void ResetButtons();
