#pragma once
// The race's keys as the player has bound them: each action answers to up
// to two keys (by scancode) and up to two pad buttons. The defaults are the
// game's own keys: the arrows drive, Space is the handbrake, Z or Ctrl
// fires, X or Shift burns nitro, H sounds the horn and P pauses; on a pad
// the D-pad (or stick) drives, A fires, X is nitro, Y the horn, either
// shoulder the handbrake and Start pauses. The menus keep their own keys.
#include <string>

#include "platform/platform.h"

enum TRaceAction {
  raAccelerate, raBrake, raLeft, raRight, raHandbrake, raFire, raNitro, raHorn, raPause,
  RaceActionCount
};

constexpr int NoKey = 0;         // an empty key slot
constexpr int NoPadButton = -1;  // an empty pad slot

struct TBinding {
  int Keys[2];
  int PadButtons[2];
};
extern TBinding Bindings[RaceActionCount];
extern const TBinding DefaultBindings[RaceActionCount];

void SetDefaultBindings();

// Either Ctrl, Shift, Alt or Windows key is one key to the game: the
// right-hand one is taken as the left-hand one.
int FoldScancode(int scancode);
// Keys and buttons the game needs for itself: Esc leaves the race, Enter
// confirms (and with Alt switches the display), F11 switches the display;
// on a pad B is Esc and Guide belongs to the desktop.
bool IsReservedKey(int scancode);
bool IsReservedPadButton(int button);

enum TBindResult { brBound, brTaken, brReserved };
// Makes the key (or pad button) the action's only one. Refused when another
// action has it (Holder tells which) or when the game keeps it for itself;
// the bindings are then unchanged.
TBindResult BindKey(int action, int scancode, int& holder);
TBindResult BindPadButton(int action, int button, int& holder);

// True when every slot holds a key or button the player could have bound,
// and none is bound twice: a table read from a file must be.
bool BindingsSound(const TBinding table[RaceActionCount]);
