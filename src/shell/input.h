#pragma once
// Keyboard state as the screens read it: edge flags that are 1 only on the
// tick a key went down, and the held modifier flags from key events.
#include <cstdint>

#include "platform/platform.h"

extern uint8_t PressedUp, PressedDown, PressedLeft, PressedRight, PressedP, PressedY, PressedN, PressedEsc;
extern uint8_t KeyShift, KeyCtrl;
// The held state of every polled key as of the latest PollKeys.
extern bool KeyHeld[GameKeyCount];

// Every key by scancode and every pad button as of the latest PollKeys (the
// controls screen waits on them for a key to bind).
extern bool ScancodeHeld[ScancodeCount];
extern bool PadButtonHeld[PadButtonCount];
// The race's actions as the player has bound them (key_bindings.h): held
// while any of the action's keys or pad buttons is. PressedP is the pause
// action's edge.
extern bool ActionHeld[];

// Reads the keyboard once and refreshes the edge flags.
void PollKeys();
void ResetInput();
