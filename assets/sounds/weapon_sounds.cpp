// The car's weapons: the machine gun's rattle, the rocket launch, the blast
// of a car or rocket, and the weapon unfolding from the roof.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/sounds/game_sounds.h"
#include "assets/sounds/mix_levels.h"
#include "assets/sounds/sound_effects.h"
#include "assets/sounds/synth.h"

using namespace synth;

namespace {

double Uniform(uint32_t seed, uint32_t index) { return 0.5 + 0.5 * HashNoise(seed, index); }

// One gunshot at sample `at`: a bright crack, a low punch and,
// 35 ms later, the bolt cycling the next round.
void AddShot(TBuffer& out, size_t at, double level, double pitch, uint32_t seed) {
  TNoise noise(seed);
  TFilter crackHigh(TFilter::TKind::HighPass, 1400 * pitch, 0.7);
  TFilter punchLow(TFilter::TKind::LowPass, 900 * pitch, 0.7);
  TOscillator thump(TWave::Sine);
  TResonator bolt1(2650 * pitch, 120), bolt2(3900 * pitch, 200);
  const int length = SampleCount(0.09);
  for (int i = 0; i < length && at + i < out.size(); ++i) {
    const double t = TimeOf(i);
    const double w = noise.Next();
    double v = 1.1 * crackHigh.Process(w) * Decaying(t, 0.004);
    v += 1.4 * punchLow.Process(w) * Decaying(t, 0.022);
    v += 0.9 * thump.Next(60 + 90 * pitch * Decaying(t, 0.008)) * Decaying(t, 0.03) * std::min(t / 0.0008, 1.0);
    const double tb = t - 0.035;
    const double strike = tb >= 0 ? w * Decaying(tb, 0.0008) : 0.0;
    v += 0.35 * (bolt1.Process(strike) + bolt2.Process(strike));
    out[at + i] += level * Saturate(v, 1.8);
  }
}

// The gun fires ten rounds a second for as long as the key is held, so the
// loop is twelve rounds, each a little different, and their room echo runs
// over the loop point as it would between repeats.
TBuffer MachineGun() {
  const int rounds = 12;
  const int spacing = SampleCount(0.1);
  const int period = rounds * spacing;
  const int repeats = 3;
  TBuffer dry(static_cast<size_t>(period) * repeats, 0.0);
  for (int r = 0; r < repeats; ++r)
    for (int k = 0; k < rounds; ++k) {
      const uint32_t id = static_cast<uint32_t>(k);
      // A few samples of jitter so the rounds do not tick like a clock.
      const int jitter = static_cast<int>(HashNoise(0x6A7, id) * 60);
      AddShot(dry, static_cast<size_t>(r * period + k * spacing + 60 + jitter), 0.85 + 0.15 * Uniform(0x1E7E1, id),
              0.95 + 0.1 * Uniform(0x9177C, id), 0x6000 + id);
    }
  TBuffer room = Reverb(dry, 0.35, 0.4, 0.0);
  TBuffer mixed = dry;
  MixInto(mixed, room, 0.25);
  TBuffer out = LastPeriod(mixed, period);
  MasterLoop(out, mix::kGunDb);
  return out;
}

// A rocket leaving the launcher: the ignition pop, then the exhaust's roar
// and hiss falling in pitch as it flies away.
TBuffer Rocket() {
  const double length = 1.1;
  const int n = SampleCount(length);
  TBuffer out(n, 0.0);
  TNoise noise(0x80C7);
  TFilter whoosh(TFilter::TKind::BandPass, 3500, 1.2);
  TFilter rumbleLow(TFilter::TKind::LowPass, 180, 0.8);
  TFilter crackle(TFilter::TKind::BandPass, 3000, 1.0);
  TOscillator pop(TWave::Sine);
  double grain = 0.0;
  for (int i = 0; i < n; ++i) {
    const double t = TimeOf(i);
    const double w = noise.Next();
    const double fly = std::min(t / 0.9, 1.0);
    whoosh.Tune(3500 * std::pow(700.0 / 3500.0, fly), 1.2);
    const double burn = std::min(t / 0.025, 1.0) * (t < 0.1 ? 1.0 : Decaying(t - 0.1, 0.33));
    double v = 1.3 * whoosh.Process(w) * burn;
    v += 2.2 * Saturate(3.0 * rumbleLow.Process(w), 1.0) * std::min(t / 0.01, 1.0) * Decaying(t, 0.28);
    v += 0.9 * pop.Next(60 + 100 * Decaying(t, 0.01)) * Decaying(t, 0.03) * std::min(t / 0.001, 1.0);
    v += 0.8 * w * Decaying(t, 0.003);
    // Sparks of burning fuel in the first half second.
    if (t < 0.5 && Uniform(0xC8AC, static_cast<uint32_t>(i)) < 160.0 / SampleRate) grain = 1.0;
    grain *= std::exp(-1.0 / (0.001 * SampleRate));
    v += 0.8 * crackle.Process(w * grain) * (1.0 - t / 0.5 * 0.8);
    out[i] = v;
  }
  TBuffer room = Reverb(out, 0.5, 0.4, 0.0);
  MixInto(out, room, 0.2);
  out.resize(n);
  Master(out, mix::kBlastDb, 0.5, 80);
  return out;
}

// A car or rocket blowing up: a sharp crack, a deep saturated boom and its
// rumble, then metal and grit landing around, all in the street's echo.
TBuffer Explosion() {
  const double length = 2.0;
  const int n = SampleCount(length);
  TBuffer out(n, 0.0);
  TNoise noise(0xB0B);
  {
    TOscillator boom(TWave::Sine);
    TFilter body(TFilter::TKind::LowPass, 1200, 0.7), rumble(TFilter::TKind::LowPass, 120, 0.8);
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i);
      const double w = noise.Next();
      body.Tune(150 + 1050 * Decaying(t, 0.08), 0.7);
      double v = 1.2 * boom.Next(32 + 32 * Decaying(t, 0.06)) * Decaying(t, 0.35) * std::min(t / 0.002, 1.0);
      v += 2.5 * body.Process(w) * Decaying(t, 0.45) * std::min(t / 0.003, 1.0);
      v += 3.0 * rumble.Process(w) * std::min(t / 0.02, 1.0) * Decaying(t, 0.8);
      v += 1.5 * w * Decaying(t, 0.003);
      out[i] = Saturate(v, 2.5);
    }
  }
  // Debris: pieces landing, denser early, a mix of metal clinks and gravel.
  const int pieces = 42;
  for (int k = 0; k < pieces; ++k) {
    const uint32_t id = static_cast<uint32_t>(k);
    const double when = 0.08 + 1.25 * std::pow(Uniform(0xDEB1, id), 1.8);
    const double level = 0.25 * (0.4 + 0.6 * Uniform(0xDEB2, id)) * (1.2 - when / 1.4);
    const int at = SampleCount(when);
    if (Uniform(0xDEB3, id) < 0.55) {
      // A small bar of metal: the free bar's modes, 1 : 2.76 : 5.40.
      const double hz = 1500 + 2500 * Uniform(0xDEB4, id), decay = 0.015 + 0.03 * Uniform(0xDEB5, id);
      Strike(out, when, {{hz, decay, 1.0}, {hz * 2.76, decay * 0.6, 0.5}, {hz * 5.40, decay * 0.4, 0.25}}, level * 0.6);
    } else {
      TFilter grit(TFilter::TKind::BandPass, 1500 + 1500 * Uniform(0xDEB6, id), 1.2);
      TNoise strike(0xE000 + id);
      for (int i = 0; i < SampleCount(0.03) && at + i < n; ++i)
        out[at + i] += level * 2.0 * grit.Process(strike.Next()) * Decaying(TimeOf(i), 0.006);
    }
  }
  out.resize(n);
  TBuffer room = Reverb(out, 0.75, 0.45, 0.0);
  MixInto(out, room, 0.3);
  out.resize(n);
  Master(out, mix::kBlastDb, 0.3, 200);
  return out;
}

// The weapon unfolding from the roof (or folding back): a servo whirring up
// through its gears, ratchet clicks, and the clunk of the lock. The car
// restarts this on every tick of the unfold's first frame, so it opens with
// a small click: the restarts are heard as a ratchet, not as a stutter.
TBuffer WeaponAppear() {
  const double length = 0.65, lockAt = 0.47, clickEvery = 0.04;
  const int n = SampleCount(length);
  TBuffer out(n, 0.0);
  {
    TFilter motorBand(TFilter::TKind::BandPass, 900, 1.0), motorLow(TFilter::TKind::LowPass, 2500, 0.7);
    TOscillator motor(TWave::Saw), teeth(TWave::Sine);
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i);
      const double run = std::clamp((t - 0.015) / 0.03, 0.0, 1.0) * std::clamp((lockAt + 0.01 - t) / 0.03, 0.0, 1.0);
      const double hz = 180 + 160 * std::min(t / lockAt, 1.0);
      const double whir = motor.Next(hz) * (0.7 + 0.3 * teeth.Next(45));
      out[i] = 0.5 * motorLow.Process(motorBand.Process(whir)) * run;
    }
  }
  const std::vector<TMode> pawl = {{3100, 0.004, 1.0}, {4700, 0.003, 0.6}};
  for (int k = 0; k * clickEvery < lockAt; ++k) Strike(out, k * clickEvery, pawl, 0.25);
  const std::vector<TMode> lock = {{1200, 0.06, 1.0}, {2650, 0.04, 0.7}, {3900, 0.03, 0.5}, {610, 0.05, 0.6}};
  Strike(out, lockAt, lock, 0.45);
  TOscillator lockThump(TWave::Sine);
  for (int i = SampleCount(lockAt); i < n; ++i) {
    const double t = TimeOf(i) - lockAt;
    out[i] += 0.8 * lockThump.Next(80 + 50 * Decaying(t, 0.01)) * Decaying(t, 0.04) * std::min(t / 0.001, 1.0);
  }
  out.resize(n);
  Master(out, mix::kPickupDb, 0.2, 40);
  return out;
}

// The gun loop is one buffer started and stopped by the car. The others are
// restarted each time they play, so one copy is all that ever sounds, even
// when several cars blow up in the same moment.
constexpr TSoundEffect kWeaponEffects[] = {
    {"MachineGun", MachineGun, true, 1},
    {"Rocket", Rocket, false, 1},
    {"Explosion", Explosion, false, 1},
    {"WeaponAppear", WeaponAppear, false, 1},
};

}  // namespace

void AddWeaponSounds(TWaveItems& sounds) { AddSoundEffects(sounds, kWeaponEffects); }
