#pragma once
// The options screen: full screen, music, sound and the player's country.
void OpenOptions();
void OptionsTick(int moveCount);
// The indicators and the country text; also drawn while a window is open
// over the screen.
void OptionsTexts();
void CloseOptions();
void ToggleCountryEdit();
void ResetOptionsScreen();
