// The cry of a pedestrian who is hit: a short, pained "oh!", a man's and a
// woman's. Formant synthesis: glottal pulses whose pitch jumps up and falls
// away, shaped by four vocal-tract resonances gliding from an open "a"
// into "o", with breath in the voice and a creak as it dies.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "assets/sounds/game_sounds.h"
#include "assets/sounds/mix_levels.h"
#include "assets/sounds/sound_effects.h"
#include "assets/sounds/synth.h"

using namespace synth;

namespace {

struct TCry {
  double Length;
  double StartHz, PeakHz, EndHz;  // the pitch jumps up to PeakHz at PeakAt, then falls
  double PeakAt;
  double OpenVowel[4];   // formants of the "a" the cry opens with
  double RoundVowel[4];  // formants of the "o" it closes into
  double Bandwidths[4];
  double Breath;  // aspiration noise in the voice
  uint32_t Seed;
};

// Rosenberg's glottal flow over one period: the folds open smoothly, close
// faster, and stay shut for the rest.
double GlottalFlow(double u) {
  // A cry is pressed and loud: the folds stay open for a short part of the
  // period and snap shut, which keeps the voice bright.
  constexpr double open = 0.32, close = 0.1;
  if (u < open) return 0.5 - 0.5 * std::cos(std::numbers::pi * u / open);
  if (u < open + close) return std::cos(0.5 * std::numbers::pi * (u - open) / close);
  return 0.0;
}

double Smooth(double x) {
  x = std::clamp(x, 0.0, 1.0);
  return x * x * (3.0 - 2.0 * x);
}

TBuffer Cry(const TCry& c) {
  const int n = SampleCount(c.Length);
  std::vector<TResonator> tract;
  for (int f = 0; f < 4; ++f) tract.emplace_back(c.OpenVowel[f], c.Bandwidths[f]);
  TNoise noise(c.Seed);
  TFilter breathBand(TFilter::TKind::HighPass, 900, 0.7), airBand(TFilter::TKind::BandPass, 3800, 0.8);
  TBuffer out(n, 0.0), air(n, 0.0);
  double phase = 0.0, previous = 0.0, previousRadiated = 0.0;
  for (int i = 0; i < n; ++i) {
    const double t = TimeOf(i);
    const double rise = Smooth(t / c.PeakAt);
    const double fall = Smooth((t - c.PeakAt) / (c.Length - c.PeakAt));
    double hz = t < c.PeakAt ? c.StartHz + (c.PeakHz - c.StartHz) * rise : c.PeakHz + (c.EndHz - c.PeakHz) * fall;
    // Irregular periods (jitter) and strengths (shimmer), growing into a
    // creak as the breath runs out.
    const uint32_t period = static_cast<uint32_t>(phase);
    const double creak = Smooth((t / c.Length - 0.6) / 0.4);
    hz *= 1.0 + (0.012 + 0.08 * creak) * HashNoise(c.Seed, period);
    const double shimmer = 1.0 + (0.06 + 0.25 * creak) * HashNoise(c.Seed + 1, period);
    phase += hz / SampleRate;

    const double flow = GlottalFlow(phase - std::floor(phase)) * shimmer;
    const double breath = c.Breath * breathBand.Process(noise.Next()) * (0.3 + flow);
    const double vowel = Smooth((t - 0.03) / 0.17);
    for (int f = 0; f < 4; ++f)
      tract[f].Tune(c.OpenVowel[f] + (c.RoundVowel[f] - c.OpenVowel[f]) * vowel, c.Bandwidths[f]);
    double v = flow + breath;
    for (TResonator& r : tract) v = r.Process(v);
    // Radiation from the lips lifts the highs: the difference of the flow.
    // (Taken a little more steeply than the lips alone would, for the
    // strained edge of a shout.)
    const double radiated = v - previous;
    previous = v;
    const double edged = radiated - 0.95 * previousRadiated;
    previousRadiated = radiated;
    // A hard glottal onset, full voice, then the cry dies away.
    const double level = std::min(t / 0.012, 1.0) * (1.0 - 0.85 * Smooth((t / c.Length - 0.35) / 0.65));
    out[i] = edged * level;
    air[i] = airBand.Process(noise.Next()) * (0.2 + flow) * level;
  }
  // Air past the folds, heard directly rather than through the tract, mixed
  // by loudness relative to the voice.
  double voiceEnergy = 0.0, airEnergy = 0.0;
  for (int i = 0; i < n; ++i) {
    voiceEnergy += out[i] * out[i];
    airEnergy += air[i] * air[i];
  }
  if (airEnergy > 0.0) MixInto(out, air, c.Breath * std::sqrt(voiceEnergy / airEnergy));
  Master(out, mix::kCryDb, 1, 40);
  return out;
}

TBuffer Kill() {
  return Cry(
      TCry{0.45, 145, 195, 98, 0.07, {720, 1150, 2450, 3400}, {480, 820, 2500, 3350}, {70, 90, 140, 220}, 0.06, 0x0A1});
}

// A woman's voice: an octave higher, and shorter vocal tract, so every
// formant sits some 15 % higher; a little more breath.
TBuffer KillW() {
  return Cry(TCry{
      0.42, 330, 450, 255, 0.06, {860, 1320, 2900, 4000}, {580, 980, 2850, 3950}, {90, 110, 170, 250}, 0.1, 0x0A2});
}

// A second pedestrian hit restarts the cry; one copy sounds at a time.
constexpr TSoundEffect kCryEffects[] = {
    {"Kill", Kill, false, 1},
    {"KillW", KillW, false, 1},
};

}  // namespace

void AddCrySounds(TWaveItems& sounds) { AddSoundEffects(sounds, kCryEffects); }
