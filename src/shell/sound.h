#pragma once
// Sound effects by name and one tracker tune at a time.
#include <string>
#include <vector>

// Restarts the effect from its beginning (stops every sounding copy first).
void PlaySound(const std::string& name);
// Stops every copy of the effect; never starts it.
void StopSound(const std::string& name);
void PlayMusic(const std::string& path, bool fromResource);
void StopMusic();
// The race tune during the race, the menu tune everywhere else; always from
// the beginning.
void PlayScreenMusic();

// Hands the player's music and effects volumes to the speakers.
void ApplyVolumes();

extern int MusicHandle;
extern std::string MusicFile;  // the file of the loaded song, empty when none

// The script runner watches what the game asked of the speakers: when set,
// every call above is appended here as "PlaySound Name", "PlayMusic path"...
extern bool RecordSoundCalls;
extern std::vector<std::string> SoundCalls;

void ResetSound();
