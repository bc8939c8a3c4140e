#pragma once
// The player's settings, kept in the options file between runs.
#include <cstdint>
#include <string>

extern uint8_t FullScreen;
extern uint8_t MusicOn;
extern uint8_t SoundOn;
extern std::string Country;  // at most 16 characters when typed
extern std::string HSChecksum;

void SetDefaultOptions();
