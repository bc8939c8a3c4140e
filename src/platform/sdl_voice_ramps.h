#pragma once
// Soft starts and stops for the mixer's channels. Every gear change, crash
// and pickup stops one engine loop and starts another; halted outright, the
// wave drops from wherever it stood to zero in one sample, which is heard
// as a click. Here every voice comes in over RampMs and goes out over
// RampMs, sample by sample, on the mixer's own thread. A voice that takes
// another's place in the same tick rises while the other falls, so the two
// together never sound louder than the louder of them alone, and the mix
// keeps the headroom its levels were set for.
#include <SDL_mixer.h>

#include <array>
#include <atomic>

class TVoiceRamps {
 public:
  static constexpr int RampMs = 5;
  // The most channels the platform ever allocates.
  static constexpr int MaxChannels = 1024;

  // After the mixer has opened: ramps only where the device mixes 16-bit
  // samples; otherwise voices start and stop as the mixer does by itself.
  void Open();
  // Plays the chunk on a free channel (allocating more while there are
  // fewer than MaxChannels), rising from silence; -1 when none is free.
  int Start(Mix_Chunk* chunk, bool looped);
  // Lets the channel fall silent over RampMs, then it is halted by Reap.
  void Release(int channel);
  // Started and neither ended nor released.
  bool Sounding(int channel) const;
  // Halts the channels that have fallen silent. The platform calls it on
  // every frame and before every start, so their channels come free again.
  void Reap();

 private:
  struct TChannel {
    // Set by the game's thread, read by the mixer's.
    std::atomic<bool> ReleaseAsked{false};
    // Set by the mixer's thread once the release has reached silence.
    std::atomic<bool> Silent{false};
    // The mixer's thread's own: the gain reached so far.
    float Gain = 0;
    // The game's thread's own: released and not yet halted.
    bool Releasing = false;
  };
  static void Ramp(int channel, void* stream, int bytes, void* self);
  int FreeChannel();

  bool Enabled = false;
  int DeviceChannels = 2;
  float Step = 1;  // gain change per sample frame
  std::array<TChannel, MaxChannels> Channels;
};
