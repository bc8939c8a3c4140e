#include "shell/input.h"

uint8_t PressedUp, PressedDown, PressedLeft, PressedRight, PressedP, PressedY, PressedN, PressedEsc;
uint8_t KeyShift, KeyCtrl;
bool KeyHeld[GameKeyCount];

namespace {
bool WasHeld[GameKeyCount];

uint8_t Edge(TGameKey key) {
  const uint8_t pressed = KeyHeld[key] && !WasHeld[key] ? 1 : 0;
  WasHeld[key] = KeyHeld[key];
  return pressed;
}
}  // namespace

void PollKeys() {
  Platform->ReadKeys(KeyHeld);
  PressedUp = Edge(gkUp);
  PressedDown = Edge(gkDown);
  PressedLeft = Edge(gkLeft);
  PressedRight = Edge(gkRight);
  PressedP = Edge(gkP);
  PressedY = Edge(gkY);
  PressedN = Edge(gkN);
  PressedEsc = Edge(gkEsc);
}

void ResetInput() {
  PressedUp = PressedDown = PressedLeft = PressedRight = PressedP = PressedY = PressedN = PressedEsc = 0;
  KeyShift = KeyCtrl = 0;
  for (int i = 0; i < GameKeyCount; ++i) KeyHeld[i] = WasHeld[i] = false;
}
