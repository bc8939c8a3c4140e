#pragma once
// The controls screen (GameScreen 7), reached from the options screen: the
// race's nine actions with their keys and pad buttons. Activating a row
// waits for the next key or pad button and binds it to that action; a key
// another action has is refused with a message, Esc stops the waiting. Its
// buttons are numbered from 13 (buttons.h): rows 13..21, then "По
// умолчанию" and "Назад".
#include <string>

constexpr int ControlsFirstRow = 13;
constexpr int ControlsDefaultsButton = ControlsFirstRow + 9;
constexpr int ControlsBackButton = ControlsDefaultsButton + 1;

// The action whose key is awaited, -1 while none is.
extern int ControlsListening;
// The last refusal or notice, as printed (Windows-1251); empty when none.
extern std::string ControlsMessage;

void OpenControls();
void ControlsTick(int moveCount);
// The table's texts; also drawn while a window is open over the screen.
void ControlsTexts();
void CloseControls();
void ResetControlsScreen();

// The actions of ActivateItem on this screen.
void ListenForBinding(int action);
void RestoreDefaultBindings();

// How the game names a key (by scancode) and a pad button, as printed.
std::string KeyLabel(int scancode);
std::string PadButtonLabel(int button);
