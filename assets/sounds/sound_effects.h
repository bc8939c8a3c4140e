#pragma once
// A sound effect as the generator makes it: a synthesis function and how the
// sound list plays the result.
#include <span>

#include "assets/catalog.h"
#include "assets/sounds/synth.h"

struct TSoundEffect {
  const char* Name;
  synth::TBuffer (*Make)();  // mastered samples at synth::SampleRate
  bool Looped;               // plays until stopped (engines, gun, horn, nitro)
  int MaxPlayingCount;       // copies that may sound at once; 0 = no limit
};

void AddSoundEffects(TWaveItems& sounds, std::span<const TSoundEffect> effects);
