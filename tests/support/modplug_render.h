#pragma once
// The tunes as the game's music player renders them: libmodplug, set up the
// way SDL_mixer sets it up (44.1 kHz 16-bit, FIR resampling, no reverb,
// bass boost or surround, no looping of its own), at full music volume,
// where SDL_mixer sets the master volume to 256.
#include <libmodplug/modplug.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr int kModplugRate = 44100;
constexpr unsigned kGameMasterVolume = 256;

std::vector<uint8_t> FileBytes(const std::string& path);
// nullptr when libmodplug cannot load the bytes.
ModPlugFile* LoadLikeTheGame(const std::vector<uint8_t>& bytes, int channels);
// Plays until the song ends or `limit` seconds have passed; interleaved
// samples when `channels` is 2.
std::vector<int16_t> Render(ModPlugFile* file, int channels, double limit);
