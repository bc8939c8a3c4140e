#pragma once
// The player's settings, kept in the options file between runs.
#include <cstdint>
#include <string>

extern uint8_t FullScreen;
extern uint8_t MusicOn;
extern uint8_t SoundOn;
extern std::string Country;  // at most 16 characters when typed
extern std::string HSChecksum;
// The display mode the command line asked for (-1: none, 0 window, 1 full
// screen). Start-up takes it over the options file's, and it is then kept
// at exit like a mode switched with Alt+Enter: a player who starts the game
// with --windowed once to leave a broken full screen stays in a window.
extern int DisplayModeChosen;

void SetDefaultOptions();
