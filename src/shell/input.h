#pragma once
// Keyboard state as the screens read it: edge flags that are 1 only on the
// tick a key went down, and the held modifier flags from key events.
#include <cstdint>

#include "platform/platform.h"

extern uint8_t PressedUp, PressedDown, PressedLeft, PressedRight, PressedP, PressedY, PressedN, PressedEsc;
extern uint8_t KeyShift, KeyCtrl;
// The held state of every polled key as of the latest PollKeys.
extern bool KeyHeld[GameKeyCount];

// Reads the keyboard once and refreshes the edge flags.
void PollKeys();
void ResetInput();
