// Pickups and the clock: the point jingle, the bigger bonus fanfare, and the
// tick of the last ten seconds.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/sounds/game_sounds.h"
#include "assets/sounds/mix_levels.h"
#include "assets/sounds/sound_effects.h"
#include "assets/sounds/synth.h"

using namespace synth;

namespace {

// A bright bell note at `at` seconds: FM with a 2:1 modulator whose depth
// fades faster than the note, so the attack glints and the tail is pure,
// over a thin pulse layer for an arcade edge.
void AddBell(TBuffer& out, double at, double hz, double level, double decay) {
  TOscillator carrier(TWave::Sine), modulator(TWave::Sine), edge(TWave::Square);
  TFilter soften(TFilter::TKind::LowPass, 5000, 0.7);
  const int start = SampleCount(at);
  const int length = SampleCount(decay * 6.0);
  if (out.size() < static_cast<size_t>(start + length)) out.resize(static_cast<size_t>(start + length), 0.0);
  for (int i = 0; i < length; ++i) {
    const double t = TimeOf(i);
    const double attack = std::min(t / 0.0015, 1.0);
    const double mod = 2.5 * Decaying(t, decay * 0.3) * modulator.Next(hz * 2.0);
    double v = carrier.Next(hz * (1.0 + 0.08 * mod)) * Decaying(t, decay);
    v += 0.18 * soften.Process(edge.Next(hz)) * Decaying(t, decay * 0.5);
    out[static_cast<size_t>(start + i)] += level * attack * v;
  }
}

// Points: the classic two-note pickup, B5 then E6, quick and bright.
TBuffer Score() {
  TBuffer out(SampleCount(0.4), 0.0);
  AddBell(out, 0.0, 987.77, 0.7, 0.05);
  AddBell(out, 0.06, 1318.51, 0.9, 0.09);
  TBuffer room = Reverb(out, 0.3, 0.5, 0.0);
  MixInto(out, room, 0.12);
  out.resize(SampleCount(0.4));
  Master(out, mix::kPickupDb, 0.2, 60);
  return out;
}

// A bonus (life, nitro, a weapon): a fast rising C-major arpeggio into a
// ringing chord with a sparkle sweeping up over it; bigger than the points.
TBuffer Bonus() {
  const double length = 1.0;
  TBuffer out(SampleCount(length), 0.0);
  const double notes[] = {1046.50, 1318.51, 1567.98, 2093.00};
  for (int k = 0; k < 4; ++k) AddBell(out, 0.055 * k, notes[k], 0.6, 0.07);
  for (int k = 0; k < 4; ++k) AddBell(out, 0.24, notes[k] / 2.0, 0.35, 0.22);
  {
    TNoise noise(0xB0A5);
    TFilter band(TFilter::TKind::BandPass, 3000, 4.0);
    for (int i = 0; i < SampleCount(length); ++i) {
      const double t = TimeOf(i) - 0.2;
      if (t < 0) continue;
      band.Tune(3000 * std::pow(3.0, std::min(t / 0.5, 1.0)), 4.0);
      out[static_cast<size_t>(i)] += 0.5 * band.Process(noise.Next()) * std::min(t / 0.05, 1.0) * Decaying(t, 0.18);
    }
  }
  TBuffer room = Reverb(out, 0.5, 0.45, 0.0);
  MixInto(out, room, 0.18);
  out.resize(SampleCount(length));
  Master(out, mix::kPickupDb, 0.2, 120);
  return out;
}

// A clock's tick: the escapement's hard click ringing the case at a few
// high modes, and a faint second click as the pallet lets go.
TBuffer Tick() {
  const int n = SampleCount(0.07);
  TBuffer out(n, 0.0);
  TNoise noise(0x71C);
  TResonator case1(2250, 140), case2(3650, 220), case3(5300, 320), body(950, 90);
  for (int i = 0; i < n; ++i) {
    const double t = TimeOf(i);
    const double w = noise.Next();
    const double strike = w * (Decaying(t, 0.0003) + 0.35 * Decaying(t - 0.014, 0.0003));
    out[i] = case1.Process(strike) + 0.7 * case2.Process(strike) + 0.5 * case3.Process(strike) +
             0.8 * body.Process(strike) + 0.4 * w * Decaying(t, 0.0004);
  }
  Master(out, mix::kClockTickDb, 0.1, 15);
  return out;
}

// Each is restarted whenever it plays again, so one copy is enough.
constexpr TSoundEffect kPickupEffects[] = {
    {"Score", Score, false, 1},
    {"Bonus", Bonus, false, 1},
    {"Tick", Tick, false, 1},
};

}  // namespace

void AddPickupSounds(TWaveItems& sounds) { AddSoundEffects(sounds, kPickupEffects); }
