// The menu's two effects: "Button", the tick of every highlight change and
// click, and "MenuBegin", the sting under the main menu's fade-in.
#include <algorithm>
#include <cmath>

#include "assets/catalog.h"
#include "assets/sounds/mix_levels.h"
#include "assets/sounds/sound_effects.h"
#include "assets/sounds/synth.h"

using namespace synth;

namespace {

// A crisp plastic tick: a falling high partial, a short woody body and a
// breath of bright noise for the attack.
TBuffer ButtonTick() {
  TBuffer out(SampleCount(0.060));
  TOscillator high(TWave::Sine), body(TWave::Sine);
  TNoise noise(0x7123);
  TFilter air(TFilter::TKind::BandPass, 5200, 1.2);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = TimeOf(static_cast<int>(i));
    double v = 0.55 * high.Next(2600 * (1 + 0.6 * Decaying(t, 0.002))) * Decaying(t, 0.006);
    v += 0.45 * body.Next(820 - 300 * std::min(t / 0.03, 1.0)) * Decaying(t, 0.012);
    v += 0.5 * air.Process(noise.Next()) * Decaying(t, 0.0025);
    out[i] = v;
  }
  Master(out, mix::kMenuDb, 0.3, 8);
  return out;
}

// The opening sting: an A add9 chord of detuned saws swells up through an
// opening filter while a noise whoosh rises with it; at the top a sub drop
// and three bell notes land, and the chord rings out into a short room.
TBuffer MenuBeginSting() {
  const double length = 1.5, peak = 0.55, gate = 0.9;
  const int n = SampleCount(length);
  const double chord[] = {110.00, 164.81, 220.00, 277.18, 329.63, 493.88};
  const double detune[] = {-0.07, 0.0, 0.07};  // semitones

  TBuffer pad(n, 0.0);
  {
    std::vector<TOscillator> voices;
    for (size_t k = 0; k < std::size(chord) * std::size(detune); ++k)
      voices.emplace_back(TWave::Saw, (k * 0.37) - std::floor(k * 0.37));
    TOscillator sub(TWave::Square);
    TFilter filter(TFilter::TKind::LowPass, 250, 1.4);
    const TEnvelope env{0.45, 0.5, 0.6, length - gate};
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i);
      // The filter opens over the swell and settles back afterwards.
      const double open = std::min(t / peak, 1.0);
      double cutoff = 250 * std::pow(7000.0 / 250.0, open * open);
      if (t > peak) cutoff = 2200 + (7000 - 2200) * Decaying(t - peak, 0.25);
      filter.Tune(cutoff, 1.4);
      double v = 0;
      size_t k = 0;
      for (double hz : chord)
        for (double d : detune) v += voices[k++].Next(Semitones(hz, d)) / std::size(detune);
      v = v / std::size(chord) + 0.25 * sub.Next(55.0);
      const double swell = t < peak ? std::pow(t / peak, 1.8) : 1.0;
      pad[i] = filter.Process(v) * swell * env.At(t, gate);
    }
  }

  TBuffer whoosh(n, 0.0);
  {
    TNoise noise(0xB00F);
    TFilter band(TFilter::TKind::BandPass, 400, 2.0);
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i);
      band.Tune(400 * std::pow(6000.0 / 400.0, std::min(t / peak, 1.0)), 2.0);
      const double level = t < peak ? std::pow(t / peak, 2.2) : Decaying(t - peak, 0.12);
      whoosh[i] = band.Process(noise.Next()) * level;
    }
  }

  TBuffer hit(n, 0.0);
  {
    TOscillator drop(TWave::Sine);
    std::vector<TOscillator> bells(3, TOscillator(TWave::Sine));
    std::vector<TOscillator> shimmer(3, TOscillator(TWave::Sine));
    const double bellHz[] = {880.0, 1318.51, 1760.0};
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i) - peak;
      if (t < 0) continue;
      double v = 0.9 * drop.Next(55 + 55 * Decaying(t, 0.06)) * Decaying(t, 0.22) * std::min(t / 0.004, 1.0);
      for (int b = 0; b < 3; ++b) {
        const double tb = t - 0.045 * b;
        if (tb < 0) continue;
        // A little FM gives the bells their glassy edge.
        const double mod = 0.8 * shimmer[b].Next(bellHz[b] * 3.5) * Decaying(tb, 0.08);
        v += 0.18 * bells[b].Next(bellHz[b] * (1 + 0.01 * mod)) * Decaying(tb, 0.3) * std::min(tb / 0.002, 1.0);
      }
      hit[i] = v;
    }
  }

  TBuffer dry(n, 0.0);
  MixInto(dry, pad, 1.0);
  MixInto(dry, whoosh, 0.35);
  MixInto(dry, hit, 0.35);
  TBuffer room = Reverb(dry, 0.6, 0.35, 0.0);
  TBuffer out = dry;
  MixInto(out, room, 0.3);
  out.resize(n);
  Master(out, mix::kMenuDb, 2, 60);
  return out;
}

// PlaySound stops a sounding copy before it starts the effect again, so one
// copy is all either of these ever needs.
constexpr TSoundEffect kMenuEffects[] = {
    {"Button", ButtonTick, false, 1},
    {"MenuBegin", MenuBeginSting, false, 1},
};

}  // namespace

void AddMenuSounds(TWaveItems& sounds) { AddSoundEffects(sounds, kMenuEffects); }
