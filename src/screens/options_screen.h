#pragma once
// The options screen: full screen, music, sound and the player's country;
// beside them the music and effects volumes (items 6 and 7), the language
// (8) and the way to the controls screen (9).
void OpenOptions();
void OptionsTick(int moveCount);
// The indicators and the country text; also drawn while a window is open
// over the screen.
void OptionsTexts();
void CloseOptions();
void ToggleCountryEdit();
// Items 6 and 7, the music and effects volume sliders: a click sets the
// level under the mouse, Enter steps it up.
void SetVolumeFromClick(int button);
void ResetOptionsScreen();
