// The car on the road besides its engine: the handbrake skid, the horn, the
// nitro burn and the crunch of a crash.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/sounds/game_sounds.h"
#include "assets/sounds/mix_levels.h"
#include "assets/sounds/sound_effects.h"
#include "assets/sounds/synth.h"

using namespace synth;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Tyres skidding under the handbrake. The car starts this once and keeps it
// until it stands still (seconds from top speed), so it loops: two tyres
// squealing at wandering pitches, stuttering as the rubber grips and slips,
// over the hiss and rumble of the scrub.
TBuffer Brake() {
  const int n = SampleCount(1.5);
  struct TTyre {
    double Hz, Flutter;
    uint32_t Seed;
  };
  const TTyre tyres[] = {{1040, 31, 0x5E1D}, {1390, 23, 0x7A1E}};
  TBuffer out(n, 0.0);
  for (const TTyre& tyre : tyres) {
    const TBuffer pitch = LoopWander(n, 9, tyre.Seed);
    const TBuffer level = LoopWander(n, 6, tyre.Seed + 1);
    TBuffer hz(n), flutterHz(n, tyre.Flutter);
    for (int i = 0; i < n; ++i) hz[i] = tyre.Hz * (1.0 + 0.06 * pitch[i]);
    const std::vector<double> phase = LoopPhase(hz);
    const std::vector<double> flutter = LoopPhase(flutterHz);
    for (int i = 0; i < n; ++i) {
      const double p = kTwoPi * phase[i];
      const double tone = std::sin(p) + 0.35 * std::sin(2 * p + 0.4) + 0.15 * std::sin(3 * p + 1.1);
      // Grip and slip: the squeal pulses a few dozen times a second.
      const double stutter = 0.65 + 0.35 * std::sin(kTwoPi * flutter[i]);
      out[i] += tone * stutter * (0.6 + 0.4 * level[i]);
    }
  }
  TBuffer scrub = LoopNoise(n, 0x5C0B);
  TFilter hiss(TFilter::TKind::BandPass, 2300, 0.7), rumble(TFilter::TKind::LowPass, 300, 0.8);
  scrub = SettledLoop(scrub, 2, [&](double x) { return 0.8 * hiss.Process(x) + 1.5 * rumble.Process(x); });
  MixInto(out, scrub, 0.9);
  MasterLoop(out, mix::kEngineSlotDb);
  return out;
}

// Two horns a major third apart (G4 and B4), sounding together as car horns
// do: buzzy diaphragm pulses shaped by the trumpet's resonance. Looped: it
// sounds while the key is held.
TBuffer Horn() {
  const int n = SampleCount(1.0);
  TBuffer raw(n, 0.0);
  for (double note : {392.0, 493.9}) {
    const TBuffer hz(n, note);
    const std::vector<double> phase = LoopPhase(hz);
    for (int i = 0; i < n; ++i) raw[i] += PulseAt(phase[i], note / SampleRate, 0.3);
  }
  TFilter horn(TFilter::TKind::BandPass, 2400, 1.4), body(TFilter::TKind::LowPass, 3000, 0.7);
  TFilter grille(TFilter::TKind::LowPass, 5500, 0.7);
  TBuffer out = SettledLoop(
      raw, 2, [&](double x) { return grille.Process(Saturate(0.9 * horn.Process(x) + 0.5 * body.Process(x), 1.6)); });
  MasterLoop(out, mix::kHornDb);
  return out;
}

// Nitro: a roaring burn under a hiss, with a jet note that wanders as the
// flame flickers. Looped while the nitro key is held.
TBuffer Nitro() {
  const int n = SampleCount(2.0);
  const TBuffer flicker = LoopWander(n, 70, 0x41F0);
  const TBuffer sweep = LoopWander(n, 7, 0x5EE9);
  TBuffer roar = LoopNoise(n, 0x8A0A);
  {
    TFilter low(TFilter::TKind::LowPass, 260, 0.9), low2(TFilter::TKind::LowPass, 500, 0.7);
    roar = SettledLoop(roar, 2, [&](double x) { return Saturate(4.0 * low2.Process(low.Process(x)), 1.5); });
  }
  TBuffer hiss = LoopNoise(n, 0x4155);
  {
    TFilter high(TFilter::TKind::HighPass, 2500, 0.7), air(TFilter::TKind::BandPass, 6500, 0.6);
    hiss = SettledLoop(hiss, 2, [&](double x) { return 0.6 * high.Process(x) + air.Process(x); });
  }
  TBuffer jet = LoopNoise(n, 0x1E7);
  {
    TFilter band(TFilter::TKind::BandPass, 1100, 5.0);
    size_t i = 0;
    jet = SettledLoop(jet, 2, [&](double x) {
      band.Tune(1150 * (1.0 + 0.22 * sweep[i++ % sweep.size()]), 5.0);
      return band.Process(x);
    });
  }
  TBuffer out(n);
  for (int i = 0; i < n; ++i) out[i] = (1.0 + 0.25 * flicker[i]) * (1.0 * roar[i] + 0.35 * hiss[i] + 0.9 * jet[i]);
  MasterLoop(out, mix::kEngineSlotDb);
  return out;
}

// A crash into a car, wall or lamp: a heavy thump, the struck panel ringing
// at its inharmonic plate modes, then the body crumpling: smaller pieces of
// metal hit in quick succession, and a crackle of bending sheet.
TBuffer Collision() {
  const double length = 0.6;
  const int n = SampleCount(length);
  TBuffer out(n, 0.0);
  TNoise noise(0xC0111);
  {
    TOscillator thump(TWave::Sine);
    TFilter low(TFilter::TKind::LowPass, 220, 0.8);
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i);
      out[i] += 1.0 * thump.Next(45 + 45 * Decaying(t, 0.02)) * Decaying(t, 0.07) * std::min(t / 0.0015, 1.0);
      out[i] += 2.0 * low.Process(noise.Next()) * Decaying(t, 0.04);
    }
  }
  const std::vector<TMode> panel = {{387, 0.09, 1.0},  {912, 0.07, 0.8},  {1463, 0.05, 0.6},
                                    {2207, 0.04, 0.5}, {3181, 0.03, 0.4}, {4630, 0.02, 0.3}};
  const std::vector<TMode> pieces = {{1130, 0.03, 1.0}, {1870, 0.025, 0.7}, {2650, 0.02, 0.6}, {3900, 0.015, 0.4}};
  Strike(out, 0.002, panel, 0.5);
  for (uint32_t k = 0; k < 7; ++k) {
    const double at = 0.02 + 0.16 * (k + 0.5 * (0.5 + 0.5 * HashNoise(0xC2, k))) / 7.0;
    Strike(out, at, pieces, 0.32 * (1.0 - k / 9.0), 0.8 + 0.8 * (0.5 + 0.5 * HashNoise(0xC3, k)));
  }
  {
    // Bending sheet: short bright grains, dense at first and thinning out.
    TFilter band(TFilter::TKind::BandPass, 2600, 0.9);
    double grain = 0.0, grainLevel = 0.0;
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i);
      const double density = 700.0 * Decaying(t, 0.07);
      if ((noise.Next() * 0.5 + 0.5) < density / SampleRate) {
        grain = 1.0;
        grainLevel = 0.4 + 0.6 * (noise.Next() * 0.5 + 0.5);
      }
      grain *= std::exp(-1.0 / (0.0015 * SampleRate));
      out[i] += 0.6 * band.Process(noise.Next() * grain * grainLevel);
    }
  }
  out.resize(n);
  for (double& s : out) s = Saturate(s, 1.2);
  Master(out, mix::kBlastDb, 0.5, 60);
  return out;
}

// Skid, horn and nitro are started once and stopped by the car, so they are
// looped items with one buffer. The crash is restarted on every impact: one
// copy is all that ever sounds.
constexpr TSoundEffect kRaceEffects[] = {
    {"Brake", Brake, true, 1},
    {"Horn", Horn, true, 1},
    {"Nitro", Nitro, true, 1},
    {"Collision", Collision, false, 1},
};

}  // namespace

void AddRaceSounds(TWaveItems& sounds) { AddSoundEffects(sounds, kRaceEffects); }
