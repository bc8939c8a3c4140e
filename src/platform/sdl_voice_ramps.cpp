#include "platform/sdl_voice_ramps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

void TVoiceRamps::Open() {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  Enabled = Mix_QuerySpec(&rate, &format, &channels) != 0 && format == AUDIO_S16SYS && channels > 0;
  DeviceChannels = std::max(channels, 1);
  Step = 1.0f / static_cast<float>(std::max(rate * RampMs / 1000, 1));
}

// Runs on the mixer's thread with the mixer locked, on the channel's copy
// of its samples before they are mixed, for as long as the channel plays.
void TVoiceRamps::Ramp(int channel, void* stream, int bytes, void* self) {
  auto& ramps = *static_cast<TVoiceRamps*>(self);
  if (channel < 0 || channel >= MaxChannels) return;
  TChannel& c = ramps.Channels[static_cast<size_t>(channel)];
  const bool falling = c.ReleaseAsked.load(std::memory_order_acquire);
  if (!falling && c.Gain >= 1) return;
  auto* sample = static_cast<int16_t*>(stream);
  const int frames = bytes / static_cast<int>(sizeof(int16_t)) / ramps.DeviceChannels;
  float gain = c.Gain;
  for (int f = 0; f < frames; ++f) {
    gain = falling ? std::max(0.0f, gain - ramps.Step) : std::min(1.0f, gain + ramps.Step);
    for (int k = 0; k < ramps.DeviceChannels; ++k, ++sample)
      *sample = static_cast<int16_t>(std::lrint(static_cast<float>(*sample) * gain));
  }
  c.Gain = gain;
  if (falling && gain <= 0) c.Silent.store(true, std::memory_order_release);
}

int TVoiceRamps::FreeChannel() {
  const int allocated = Mix_AllocateChannels(-1);
  for (int channel = 0; channel < allocated; ++channel)
    if (!Mix_Playing(channel)) return channel;
  if (allocated + 16 > MaxChannels) return -1;
  // New channels start at full volume: they take the player's effects
  // volume the others have.
  const int volume = Mix_Volume(0, -1);
  Mix_AllocateChannels(allocated + 16);
  for (int channel = allocated; channel < allocated + 16; ++channel) Mix_Volume(channel, volume);
  return allocated;
}

int TVoiceRamps::Start(Mix_Chunk* chunk, bool looped) {
  Reap();
  const int channel = FreeChannel();
  if (channel < 0) return -1;
  // The channel is not playing, so the mixer's thread does not touch its
  // state; starting it below takes the mixer's lock.
  TChannel& c = Channels[static_cast<size_t>(channel)];
  c.ReleaseAsked.store(false, std::memory_order_relaxed);
  c.Silent.store(false, std::memory_order_relaxed);
  c.Releasing = false;
  c.Gain = 0;
  Mix_UnregisterAllEffects(channel);
  if (Enabled && Mix_RegisterEffect(channel, Ramp, nullptr, this) == 0) c.Gain = 1;
  return Mix_PlayChannel(channel, chunk, looped ? -1 : 0);
}

void TVoiceRamps::Release(int channel) {
  if (channel < 0 || channel >= MaxChannels || !Mix_Playing(channel)) return;
  if (!Enabled) {
    Mix_HaltChannel(channel);
    return;
  }
  TChannel& c = Channels[static_cast<size_t>(channel)];
  c.Releasing = true;
  c.ReleaseAsked.store(true, std::memory_order_release);
}

bool TVoiceRamps::Sounding(int channel) const {
  return channel >= 0 && channel < MaxChannels && Mix_Playing(channel) &&
         !Channels[static_cast<size_t>(channel)].Releasing;
}

void TVoiceRamps::Reap() {
  const int allocated = std::min(Mix_AllocateChannels(-1), MaxChannels);
  for (int channel = 0; channel < allocated; ++channel) {
    TChannel& c = Channels[static_cast<size_t>(channel)];
    if (!c.Releasing) continue;
    const bool ended = !Mix_Playing(channel);
    if (!ended && !c.Silent.load(std::memory_order_acquire)) continue;
    if (!ended) Mix_HaltChannel(channel);
    c.Releasing = false;
  }
}
