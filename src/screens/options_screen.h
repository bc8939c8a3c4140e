#pragma once
// The options screen: full screen, music, sound and the player's country;
// beside them the music and effects volumes (items 6 and 7), the language
// (8), the way to the controls screen (9) and the ghost switch (10).
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
// Item 10: the ghost of the best run drives along in the next races, or not.
void ToggleGhost();
void ResetOptionsScreen();
