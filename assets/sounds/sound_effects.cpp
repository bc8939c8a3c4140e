#include "assets/sounds/sound_effects.h"

#include "assets/sounds/wav_writer.h"

void AddSoundEffects(TWaveItems& sounds, std::span<const TSoundEffect> effects) {
  for (const TSoundEffect& e : effects)
    sounds.push_back(WaveItem(e.Name, RiffWavMono16(e.Make(), synth::SampleRate), e.Looped, e.MaxPlayingCount));
}
