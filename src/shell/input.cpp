#include "shell/input.h"

#include "shell/key_bindings.h"

uint8_t PressedUp, PressedDown, PressedLeft, PressedRight, PressedP, PressedY, PressedN, PressedEsc;
uint8_t KeyShift, KeyCtrl;
bool KeyHeld[GameKeyCount];
bool ScancodeHeld[ScancodeCount];
bool PadButtonHeld[PadButtonCount];
bool ActionHeld[RaceActionCount];

namespace {
bool WasHeld[GameKeyCount];
bool PauseWasHeld = false;

bool BoundHeld(const TBinding& b) {
  for (int key : b.Keys)
    if (key > NoKey && key < ScancodeCount && ScancodeHeld[key]) return true;
  for (int button : b.PadButtons)
    if (button >= 0 && button < PadButtonCount && PadButtonHeld[button]) return true;
  return false;
}

uint8_t Edge(TGameKey key) {
  const uint8_t pressed = KeyHeld[key] && !WasHeld[key] ? 1 : 0;
  WasHeld[key] = KeyHeld[key];
  return pressed;
}
}  // namespace

void PollKeys() {
  Platform->ReadKeys(KeyHeld);
  Platform->ReadScancodes(ScancodeHeld);
  Platform->ReadPadButtons(PadButtonHeld);
  for (int a = 0; a < RaceActionCount; ++a) ActionHeld[a] = BoundHeld(Bindings[a]);
  PressedUp = Edge(gkUp);
  PressedDown = Edge(gkDown);
  PressedLeft = Edge(gkLeft);
  PressedRight = Edge(gkRight);
  WasHeld[gkP] = KeyHeld[gkP];
  PressedP = ActionHeld[raPause] && !PauseWasHeld ? 1 : 0;
  PauseWasHeld = ActionHeld[raPause];
  PressedY = Edge(gkY);
  PressedN = Edge(gkN);
  PressedEsc = Edge(gkEsc);
}

void ResetInput() {
  PressedUp = PressedDown = PressedLeft = PressedRight = PressedP = PressedY = PressedN = PressedEsc = 0;
  KeyShift = KeyCtrl = 0;
  for (int i = 0; i < GameKeyCount; ++i) KeyHeld[i] = WasHeld[i] = false;
  for (bool& held : ScancodeHeld) held = false;
  for (bool& held : PadButtonHeld) held = false;
  for (bool& held : ActionHeld) held = false;
  PauseWasHeld = false;
}
