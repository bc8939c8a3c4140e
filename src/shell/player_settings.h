#pragma once
// The player's own settings beside the game's options file, in the save
// folder's "settings" file: the language, the music and effects volumes and
// the race's keys and pad buttons, and whether the ghost of the best run
// drives along. The options file keeps exactly the five lines it always
// had; these live apart so it stays so.
//
//   voltrace2-settings 1
//   language ru
//   music 100
//   effects 100
//   ghost 0                    1: the best run drives along as a ghost
//   accelerate 82 0 11 -1      two keys (scancodes, 0 none), two pad buttons (-1 none)
//   ...                        one line for each race action, in key_bindings.h's order
#include <cstdint>
#include <string>

// 0..100 in steps of 10; 100 is full volume. The options' music and sound
// switches still silence them whatever their level.
extern uint8_t MusicVolume;
extern uint8_t EffectsVolume;
// 1: a race started from the car selection shows the best run as a ghost.
// Off until the player turns it on.
extern uint8_t GhostOn;

// Volumes at full, the game's own keys, the system's language, no ghost.
void SetDefaultPlayerSettings(const std::string& systemLocale);

// Start-up, after the options file. A missing file gives the defaults (so a
// first start speaks the system's language); a file that cannot be read as
// ours gives them too, with one line on stderr saying so.
void LoadPlayerSettings(const std::string& systemLocale);
// Exit, with the other saves: a new file, flushed to the disk, renamed over
// the old one. False (the reason on stderr) when it could not be written.
bool SavePlayerSettings();
// The file's text as SavePlayerSettings writes it.
std::string PlayerSettingsText();
