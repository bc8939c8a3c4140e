// The player's engine. One model drives every engine sound: a four-cylinder
// four-stroke whose firings are exhaust pulses, each a little stronger or
// weaker than the last, the four cylinders slightly out of balance (the
// burble under the tone), valve rasp riding on every firing, the pipe's
// resonance and the silencer's low-pass, saturated for growl. Gear whine and
// wind come in at high revs.
//
// The idle, the gears, the coasting note and the top-speed whine are looped
// items: the car starts one of them when its state changes and stops it when
// the next starts, so they must sound as long as the car stays in that state
// and join end to start without a seam.
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

struct TEngineTone {
  double Roughness;  // firing-to-firing scatter of strength
  double Lumpiness;  // imbalance between the four cylinders
  double PulseMs;    // decay of one exhaust pulse
  double MufflerHz;  // the silencer's low-pass
  double PipeHz;     // the exhaust pipe's resonance
  double Rasp;       // valve and intake noise on each firing
  double Drive;      // saturation: growl under load
  double Whine;      // gearbox whine
  double Wind;       // road and wind noise
  double Crackle;    // afterfire pops per second (only off the throttle)
  uint32_t Seed;
};

// Relative strength of the four cylinders at full imbalance.
constexpr double kCylinderTrim[4] = {0.0, -0.55, -0.15, -0.8};

// The engine following a firing rate (`hz`, firings per second, per sample)
// and a throttle level (`level`, per sample). A looped render repeats
// exactly after its length: its firings come in a whole multiple of four,
// its noise is read by position and its filters settle over a first pass.
TBuffer RenderEngine(const TEngineTone& tone, const TBuffer& hz, const TBuffer& level, bool looped) {
  const size_t n = hz.size();
  const int passes = looped ? 2 : 1;
  const std::vector<double> phase = looped ? LoopPhase(hz, 4) : RunningPhase(hz);
  const uint32_t firings = looped ? static_cast<uint32_t>(std::lround(phase.back() + hz.back() / SampleRate)) : 0;
  auto wrap = [&](int64_t k) {
    if (firings == 0) return static_cast<uint32_t>(std::max<int64_t>(k, 0));
    return static_cast<uint32_t>(((k % firings) + firings) % firings);
  };
  auto strength = [&](int64_t k) {
    const uint32_t f = wrap(k);
    return 1.0 + tone.Lumpiness * kCylinderTrim[f % 4] + tone.Roughness * HashNoise(tone.Seed, f);
  };

  // Valve and intake rasp: noise in the upper mids, scaled to unit loudness
  // and gated by each firing below.
  TBuffer raspNoise = LoopNoise(static_cast<int>(n), tone.Seed + 1);
  {
    TFilter band(TFilter::TKind::BandPass, 1800, 0.8);
    raspNoise = SettledLoop(raspNoise, passes, [&](double x) { return band.Process(x); });
    double energy = 0.0;
    for (double s : raspNoise) energy += s * s;
    const double unit = energy > 0.0 ? std::sqrt(n / energy) : 0.0;
    for (double& s : raspNoise) s *= unit;
  }

  // Afterfire pops: a few firings per second that burn in the pipe.
  const double popChance = tone.Crackle > 0.0 ? tone.Crackle / std::max(1.0, hz[0]) : 0.0;

  const double tauAttack = 0.00025, tauDecay = tone.PulseMs / 1000.0;
  TBuffer excitation(n), intake(n), pops(n, 0.0);
  for (size_t i = 0; i < n; ++i) {
    const int64_t k = static_cast<int64_t>(std::floor(phase[i]));
    const double period = 1.0 / std::max(hz[i], 1.0);
    const double tau = (phase[i] - std::floor(phase[i])) * period;
    const double g = strength(k), previous = strength(k - 1);
    double v = g * (std::exp(-tau / tauDecay) - std::exp(-tau / tauAttack));
    v += previous * std::exp(-(tau + period) / tauDecay);
    const double rasp = g * raspNoise[i] * (std::exp(-tau / (0.6 * tauDecay)) - std::exp(-tau / 0.0004));
    excitation[i] = (v + 0.3 * tone.Rasp * rasp) * level[i];
    intake[i] = rasp * level[i];
    if (popChance > 0.0 && (HashNoise(tone.Seed + 2, wrap(k)) * 0.5 + 0.5) < popChance) {
      const double pop = HashNoise(tone.Seed + 3, static_cast<uint32_t>(i)) * std::exp(-tau / 0.0025);
      pops[i] = pop * (1.0 - std::exp(-tau / 0.0002)) * level[i];
    }
  }

  // The exhaust: a pipe whose open end reflects each pulse back inverted
  // (a damped delay line, resonant at odd multiples of about 180 Hz whatever
  // the revs), the silencer, and the low hump of the pipe's main resonance.
  // A high-pass keeps the subsonic thud of the idle from eating the level.
  std::vector<double> pipeLine(static_cast<size_t>(SampleCount(0.0028)), 0.0);
  size_t pipeAt = 0;
  double pipeDamp = 0.0;
  TFilter muffler1(TFilter::TKind::LowPass, tone.MufflerHz, 0.7);
  TFilter muffler2(TFilter::TKind::LowPass, tone.MufflerHz, 0.7);
  TFilter pipe(TFilter::TKind::BandPass, tone.PipeHz, 2.5);
  TFilter rumble(TFilter::TKind::HighPass, 40, 0.7);
  TBuffer body = SettledLoop(excitation, passes, [&](double x) {
    const double reflected = pipeLine[pipeAt];
    pipeDamp = 0.6 * reflected + 0.4 * pipeDamp;
    const double inPipe = x - 0.5 * pipeDamp;
    pipeLine[pipeAt] = inPipe;
    pipeAt = (pipeAt + 1) % pipeLine.size();
    return rumble.Process(muffler2.Process(muffler1.Process(inPipe)) + 0.8 * pipe.Process(x));
  });
  TFilter popBand(TFilter::TKind::BandPass, 900, 0.9);
  pops = SettledLoop(pops, passes, [&](double x) { return popBand.Process(x); });

  // Saturate from a fixed peak so the growl depends on Drive alone, not on
  // the tuning of the filters above; the strongest firings are squeezed,
  // the weaker ones keep their difference.
  double peak = 0.0;
  for (double s : body) peak = std::max(peak, std::abs(s));
  const double scale = peak > 0.0 ? 1.0 / peak : 0.0;

  TBuffer wind = LoopNoise(static_cast<int>(n), tone.Seed + 4);
  {
    TFilter low(TFilter::TKind::LowPass, 900, 0.6), band(TFilter::TKind::BandPass, 350, 0.7);
    wind = SettledLoop(wind, passes, [&](double x) { return 0.6 * low.Process(x) + band.Process(x); });
  }
  const TBuffer whineWander = LoopWander(static_cast<int>(n), 5, tone.Seed + 5);

  TBuffer out(n);
  for (size_t i = 0; i < n; ++i) {
    // The intake is heard beside the exhaust, not through the silencer.
    double v = Saturate(body[i] * scale + 0.25 * tone.Rasp * intake[i], tone.Drive);
    v += 0.7 * pops[i];
    // Gearbox whine follows the crank, at whole multiples of the firing
    // rate so that it stays in step with the revs, the engine's pitch and
    // the loop.
    const double whine = std::sin(kTwoPi * 4.0 * phase[i]) + 0.45 * std::sin(kTwoPi * 7.0 * phase[i] + 0.7);
    v += tone.Whine * whine * (0.85 + 0.15 * whineWander[i]) * level[i];
    v += tone.Wind * wind[i];
    out[i] = v;
  }
  return out;
}

// A steady engine note `seconds` long at `firingHz`, drifting by `drift`
// (a fraction of the rate) as a real engine never holds its revs exactly.
TBuffer EngineLoop(const TEngineTone& tone, double firingHz, double drift, double seconds) {
  const int n = SampleCount(seconds);
  const TBuffer wander = LoopWander(n, static_cast<int>(seconds * 4), tone.Seed + 10);
  TBuffer hz(n), level(n);
  for (int i = 0; i < n; ++i) {
    hz[i] = firingHz * (1.0 + drift * wander[i]);
    level[i] = 1.0 + 0.5 * drift * wander[(i + n / 3) % n];
  }
  TBuffer out = RenderEngine(tone, hz, level, true);
  MasterLoop(out, mix::kEngineDb);
  return out;
}

// Idle: about 850 rpm, slow and lumpy, the cylinder imbalance clearly heard.
TBuffer Neutral() {
  const TEngineTone tone{.Roughness = 0.3,
                         .Lumpiness = 0.5,
                         .PulseMs = 9.0,
                         .MufflerHz = 800,
                         .PipeHz = 140,
                         .Rasp = 0.25,
                         .Drive = 1.6,
                         .Whine = 0.0,
                         .Wind = 0.0,
                         .Crackle = 0.0,
                         .Seed = 0x1D1E};
  return EngineLoop(tone, 28.0, 0.03, 2.0);
}

// The four gears: the engine under load at the revs each gear is heard at,
// brighter and whinier as the revs climb.
TEngineTone GearTone(int gear) {
  const double g = gear - 1;
  return TEngineTone{.Roughness = 0.25,
                     .Lumpiness = 0.22 - 0.04 * g,
                     .PulseMs = 3.0 - 0.35 * g,
                     .MufflerHz = 1400 + 300 * g,
                     .PipeHz = 130 + 22 * g,
                     .Rasp = 0.8,
                     .Drive = 2.2,
                     .Whine = 0.02 + 0.025 * g,
                     .Wind = 0.02 + 0.02 * g,
                     .Crackle = 0.0,
                     .Seed = 0xA11 + static_cast<uint32_t>(gear)};
}
constexpr double kGearFiringHz[4] = {76.0, 98.0, 124.0, 150.0};

TBuffer Accel1() { return EngineLoop(GearTone(1), kGearFiringHz[0], 0.012, 1.6); }
TBuffer Accel2() { return EngineLoop(GearTone(2), kGearFiringHz[1], 0.012, 1.6); }
TBuffer Accel3() { return EngineLoop(GearTone(3), kGearFiringHz[2], 0.012, 1.6); }
TBuffer Accel4() { return EngineLoop(GearTone(4), kGearFiringHz[3], 0.012, 1.6); }

// Top speed: the limiter's revs, the gearbox singing over the exhaust and the
// wind loud.
TBuffer Maxed() {
  const TEngineTone tone{.Roughness = 0.15,
                         .Lumpiness = 0.1,
                         .PulseMs = 1.7,
                         .MufflerHz = 1800,
                         .PipeHz = 230,
                         .Rasp = 0.4,
                         .Drive = 3.0,
                         .Whine = 0.2,
                         .Wind = 0.14,
                         .Crackle = 0.0,
                         .Seed = 0x3A7ED};
  return EngineLoop(tone, 182.0, 0.008, 1.6);
}

// Off the throttle: the car rolls or brakes on for many seconds until it is
// slow enough to idle, so this is a looped overrun note rather than a single
// wind-down: softer, duller firings at middling revs with the odd afterfire
// pop, and the wind still there.
TBuffer Slowed() {
  const TEngineTone tone{.Roughness = 0.45,
                         .Lumpiness = 0.3,
                         .PulseMs = 2.4,
                         .MufflerHz = 560,
                         .PipeHz = 110,
                         .Rasp = 0.08,
                         .Drive = 1.2,
                         .Whine = 0.03,
                         .Wind = 0.06,
                         .Crackle = 3.0,
                         .Seed = 0x510ED};
  return EngineLoop(tone, 88.0, 0.02, 2.0);
}

// A gear change: the throttle lifts and the revs drop, the gearbox clunks,
// the blow-off valve hisses, and the engine pulls again in the new gear.
TBuffer Shift() {
  const double length = 0.34;
  const int n = SampleCount(length);
  TBuffer hz(n), level(n);
  for (int i = 0; i < n; ++i) {
    const double t = TimeOf(i);
    const double drop = std::min(t / 0.11, 1.0);
    hz[i] = 140.0 - 45.0 * (1.0 - (1.0 - drop) * (1.0 - drop));
    // Lift, then throttle back on from 0.17 s.
    const double lift = 0.3 + 0.7 * Decaying(t, 0.025);
    const double pull = t > 0.17 ? std::min((t - 0.17) / 0.12, 1.0) : 0.0;
    level[i] = std::max(lift, 0.3 + 0.65 * pull);
  }
  TBuffer out = RenderEngine(GearTone(3), hz, level, false);

  TBuffer clunk(n, 0.0);
  {
    // The dog teeth meeting: a low knock and a short metallic ring.
    const double at = 0.055;
    TOscillator thump(TWave::Sine);
    for (int i = SampleCount(at); i < n; ++i) {
      const double t = TimeOf(i) - at;
      clunk[i] = 0.9 * thump.Next(70 + 60 * Decaying(t, 0.01)) * Decaying(t, 0.028) * std::min(t / 0.001, 1.0);
    }
    Strike(clunk, at, {{1750, 0.02, 1.0}, {2870, 0.015, 0.7}, {4300, 0.01, 0.5}}, 0.35);
    clunk.resize(n);
  }
  TBuffer hiss(n, 0.0);
  {
    TNoise noise(0xB10F);
    TFilter band(TFilter::TKind::BandPass, 4200, 0.9);
    for (int i = 0; i < n; ++i) {
      const double t = TimeOf(i) - 0.03;
      if (t < 0) continue;
      band.Tune(4200 - 1500 * std::min(t / 0.15, 1.0), 0.9);
      hiss[i] = band.Process(noise.Next()) * std::min(t / 0.008, 1.0) * Decaying(t, 0.05);
    }
  }
  // Clunk and hiss are set against the engine's own loudness.
  double rms = 0.0;
  for (double s : out) rms += s * s;
  rms = std::sqrt(rms / n);
  MixInto(out, clunk, 4.5 * rms);
  MixInto(out, hiss, 3.5 * rms);
  Master(out, mix::kEngineDb, 2, 40);
  return out;
}

// The car holds one engine sound at a time and restarts it on a change of
// state, never layering a second copy.
constexpr TSoundEffect kEngineEffects[] = {
    {"Neutral", Neutral, true, 1}, {"Accel1", Accel1, true, 1}, {"Accel2", Accel2, true, 1},
    {"Accel3", Accel3, true, 1},   {"Accel4", Accel4, true, 1}, {"Maxed", Maxed, true, 1},
    {"Slowed", Slowed, true, 1},   {"Shift", Shift, false, 1},
};

}  // namespace

void AddEngineSounds(TWaveItems& sounds) { AddSoundEffects(sounds, kEngineEffects); }
