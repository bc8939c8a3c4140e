#include "assets/music/music_instruments.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>
#include <vector>

#include "assets/sounds/mix_levels.h"
#include "assets/sounds/synth.h"

using namespace synth;

namespace music {

namespace {

constexpr double kMiddleC = 261.6255653005986;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// The balance inside a tune lives in the note volumes of the scores; the
// level at which every sample is written sets the tunes' level against the
// effects.
constexpr double kSamplePeak = mix::kTuneSamplePeak;

std::vector<int16_t> ToPcm(const TBuffer& x) {
  double peak = 0.0;
  for (double v : x) peak = std::max(peak, std::abs(v));
  const double gain = peak > 0 ? kSamplePeak * 32767.0 / peak : 0.0;
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) out[i] = static_cast<int16_t>(std::lround(x[i] * gain));
  return out;
}

// Halves the rate of a 44.1 kHz buffer: low-pass well under the new
// Nyquist frequency, then keep every other sample. Kicks and snares lose
// nothing they need and take half the room.
TBuffer HalveRate(const TBuffer& x) {
  TFilter a(TFilter::TKind::LowPass, 9000, 0.54), b(TFilter::TKind::LowPass, 9000, 1.31);
  TBuffer out;
  out.reserve(x.size() / 2 + 1);
  for (size_t i = 0; i < x.size(); ++i) {
    const double y = b.Process(a.Process(x[i]));
    if (i % 2 == 0) out.push_back(y);
  }
  return out;
}

xm::TInstrument DrumInstrument(const char* name, const TBuffer& samples, double rate, bool eightBit = false) {
  xm::TSample s;
  s.Name = name;
  s.Data = ToPcm(samples);
  s.SixteenBit = !eightBit;
  xm::Tune(s, rate);
  xm::TInstrument ins;
  ins.Name = name;
  ins.Samples.push_back(std::move(s));
  return ins;
}

// ---- Tones ----------------------------------------------------------------

enum class TShape { Sine, Saw, Square, Triangle };

// One oscillator of a tone. `Cycles` counts its periods in one loop, so a
// voice a cycle off the others beats against them once per loop: that is
// the chorus, and the loop stays seamless.
struct TVoice {
  int Cycles;
  double Gain;
  TShape Shape;
  double Offset;  // start phase, as a fraction of the loop
};

struct TTone {
  const char* Name;
  int Period;        // samples per cycle of the written pitch
  int LoopCycles;    // cycles of the written pitch in the loop
  int LeadInCycles;  // unlooped start in which the brightness settles
  std::vector<TVoice> Voices;
  double MaxHarmonic;  // highest partial, in multiples of the written pitch
  double BrightStart;  // low-pass corner at the note's start, in harmonics
  double Bright;       // corner in the loop
  int Slope;           // steepness of that low-pass
};

double PartialGain(TShape shape, int h) {
  switch (shape) {
    case TShape::Sine:
      return h == 1 ? 1.0 : 0.0;
    case TShape::Saw:
      return 1.0 / h;
    case TShape::Square:
      return h % 2 ? 1.0 / h : 0.0;
    case TShape::Triangle:
      return h % 2 ? ((h / 2) % 2 ? -1.0 : 1.0) / (h * h) : 0.0;
  }
  return 0.0;
}

// Additive synthesis of whole partials over the loop length: every partial
// completes a whole number of cycles in the loop, so the last sample of the
// loop runs straight into its first.
xm::TSample LoopedTone(const TTone& tone) {
  const int loop = tone.Period * tone.LoopCycles;
  const int leadIn = tone.Period * tone.LeadInCycles;
  const int length = leadIn + loop;
  std::vector<double> sine(static_cast<size_t>(loop));
  for (int k = 0; k < loop; ++k) sine[k] = std::sin(kTwoPi * k / loop);

  // The corner glides from its start to its loop value and lands exactly
  // at the loop start, so the loop itself is stationary.
  std::vector<double> corner(static_cast<size_t>(length), tone.Bright);
  const double k = 4.0;
  for (int i = 0; i < leadIn; ++i) {
    const double w = (std::exp(-k * i / leadIn) - std::exp(-k)) / (1.0 - std::exp(-k));
    corner[i] = tone.Bright + (tone.BrightStart - tone.Bright) * w;
  }

  TBuffer out(static_cast<size_t>(length), 0.0);
  for (const TVoice& v : tone.Voices) {
    const long long offset = std::llround(v.Offset * loop);
    for (int h = 1;; ++h) {
      const double harmonic = static_cast<double>(h) * v.Cycles / tone.LoopCycles;
      if (harmonic > tone.MaxHarmonic || 2LL * h * v.Cycles >= loop) break;
      const double amp = v.Gain * PartialGain(v.Shape, h);
      if (amp == 0.0) continue;
      const long long step = static_cast<long long>(h) * v.Cycles;
      long long pos = (static_cast<long long>(h) * offset) % loop;
      auto lowPass = [&](double c) { return 1.0 / std::sqrt(1.0 + std::pow(harmonic / c, 2.0 * tone.Slope)); };
      const double steady = amp * lowPass(tone.Bright);
      for (int i = 0; i < length; ++i) {
        const double gain = i < leadIn ? amp * lowPass(corner[i]) : steady;
        out[i] += gain * sine[static_cast<size_t>(pos)];
        pos = (pos + step) % loop;
      }
    }
  }

  xm::TSample s;
  s.Name = tone.Name;
  s.Data = ToPcm(out);
  s.Loop = xm::TLoop::Forward;
  s.LoopStart = static_cast<uint32_t>(leadIn);
  s.LoopLength = static_cast<uint32_t>(loop);
  xm::Tune(s, MiddleCRate(tone.Period));
  return s;
}

double TickSeconds(int bpm) { return 2.5 / bpm; }

// Envelope from (seconds, level 0..1) points; `sustain` is the index of the
// point held while the key is down.
xm::TEnvelope Envelope(int bpm, std::initializer_list<std::pair<double, double>> points, int sustain = -1) {
  xm::TEnvelope env;
  for (const auto& [seconds, level] : points) {
    int tick = static_cast<int>(std::lround(seconds / TickSeconds(bpm)));
    if (!env.Points.empty()) tick = std::max(tick, env.Points.back().Tick + 1);
    const long value = std::lround(std::clamp(level, 0.0, 1.0) * 64);
    env.Points.push_back({static_cast<uint16_t>(tick), static_cast<uint8_t>(value)});
  }
  env.Sustain = sustain;
  return env;
}

// After key-off the note fades from full to silence in `seconds`.
uint16_t Fadeout(int bpm, double seconds) {
  const double perTick = 32768.0 * TickSeconds(bpm) / seconds;
  return static_cast<uint16_t>(std::clamp(std::lround(perTick), 1L, 0xFFFL));
}

xm::TInstrument ToneInstrument(const TTone& tone) {
  xm::TInstrument ins;
  ins.Name = tone.Name;
  ins.Samples.push_back(LoopedTone(tone));
  return ins;
}

// Vibrato that fades in over `delay` seconds, `hz` times a second.
void DelayedVibrato(xm::TInstrument& ins, int bpm, uint8_t depth, double hz, double delay) {
  ins.VibratoType = 0;
  ins.VibratoDepth = depth;
  ins.VibratoRate = static_cast<uint8_t>(std::clamp(std::lround(hz * 256.0 * TickSeconds(bpm)), 1L, 63L));
  const double ticks = std::max(1.0, delay / TickSeconds(bpm));
  ins.VibratoSweep = static_cast<uint8_t>(std::clamp(std::lround(depth * 256.0 / ticks), 1L, 255L));
}

// ---- Drum synthesis -------------------------------------------------------

TBuffer KickBody(double length, double baseHz, double sweepHz, double sweepTau, double decayTau, double drive,
                 double click) {
  TBuffer out(SampleCount(length));
  TNoise noise(0x51C3);
  TFilter clickTone(TFilter::TKind::LowPass, 3500, 0.7);
  double phase = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = TimeOf(static_cast<int>(i));
    phase += (baseHz + sweepHz * Decaying(t, sweepTau)) / SampleRate;
    double v = std::sin(kTwoPi * phase) * Decaying(t, decayTau) * (1.0 - Decaying(t, 0.0008));
    v += click * clickTone.Process(noise.Next()) * Decaying(t, 0.0025);
    out[i] = std::tanh(drive * v);
  }
  Master(out, -0.5, 0.0, 25);
  return out;
}

TBuffer SnareBody(double length, double toneHz, double toneTau, double noiseTau, double noiseGain) {
  TBuffer out(SampleCount(length));
  TNoise noise(0x2B7E);
  TFilter high(TFilter::TKind::HighPass, 1100, 0.7), low(TFilter::TKind::LowPass, 9500, 0.7);
  TOscillator body(TWave::Sine), ring(TWave::Sine);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = TimeOf(static_cast<int>(i));
    double v = 0.6 * body.Next(toneHz * (1.0 + 0.45 * Decaying(t, 0.008))) * Decaying(t, toneTau);
    v += 0.25 * ring.Next(toneHz * 1.83) * Decaying(t, toneTau * 0.6);
    v += noiseGain * low.Process(high.Process(noise.Next())) * Decaying(t, noiseTau);
    out[i] = v * (1.0 - Decaying(t, 0.0005));
  }
  return out;
}

// The six detuned square partials of an analogue cymbal, with noise,
// through a band-pass: a metallic shimmer rather than plain hiss.
TBuffer Metal(double length, double decayTau, double bandHz, double highHz, double noiseMix, uint32_t seed) {
  static const double partials[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
  TBuffer out(SampleCount(length));
  std::vector<TOscillator> osc;
  for (size_t k = 0; k < std::size(partials); ++k) osc.emplace_back(TWave::Square, 0.17 * k);
  TNoise noise(seed);
  TFilter band(TFilter::TKind::BandPass, bandHz, 0.9), high(TFilter::TKind::HighPass, highHz, 0.7),
      high2(TFilter::TKind::HighPass, highHz, 0.7);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = TimeOf(static_cast<int>(i));
    double metal = 0.0;
    for (size_t k = 0; k < osc.size(); ++k) metal += osc[k].Next(partials[k] * 1.65);
    const double raw = metal / 6.0 * (1.0 - noiseMix) + noise.Next() * noiseMix;
    out[i] = high2.Process(high.Process(band.Process(raw))) * Decaying(t, decayTau) * (1.0 - Decaying(t, 0.0004));
  }
  Master(out, -0.5, 0.0, std::min(60.0, length * 300));
  return out;
}

}  // namespace

double MiddleCRate(double period) { return kMiddleC * period; }

// ---- Drums --------------------------------------------------------------

xm::TInstrument DeepKick() {
  return DrumInstrument("Deep kick", HalveRate(KickBody(0.5, 43, 95, 0.05, 0.26, 1.6, 0.25)), SampleRate / 2.0);
}

xm::TInstrument PunchyKick() {
  return DrumInstrument("Punchy kick", HalveRate(KickBody(0.36, 50, 150, 0.026, 0.15, 2.6, 0.5)), SampleRate / 2.0);
}

xm::TInstrument RoomSnare() {
  TBuffer dry = SnareBody(0.3, 182, 0.06, 0.11, 0.75);
  // A big room cut off short: the reverb tail of an eighties ballad snare.
  TBuffer wet = Reverb(dry, 0.85, 0.3, 0.55);
  MixInto(dry, wet, 0.55);
  const int gate = SampleCount(0.62), fade = SampleCount(0.2);
  dry.resize(static_cast<size_t>(gate + fade), 0.0);
  for (int i = 0; i < fade; ++i) dry[gate + i] *= 0.5 + 0.5 * std::cos(std::numbers::pi * i / fade);
  Master(dry, -0.5, 0.0, 5);
  return DrumInstrument("Room snare", HalveRate(dry), SampleRate / 2.0);
}

xm::TInstrument TightSnare() {
  TBuffer dry = SnareBody(0.26, 205, 0.045, 0.075, 0.9);
  TBuffer wet = Reverb(dry, 0.4, 0.5, 0.12);
  MixInto(dry, wet, 0.25);
  dry.resize(SampleCount(0.32), 0.0);
  Master(dry, -0.5, 0.0, 40);
  return DrumInstrument("Tight snare", HalveRate(dry), SampleRate / 2.0);
}

xm::TInstrument Clap() {
  TBuffer out(SampleCount(0.34));
  TNoise noise(0x6A09);
  TFilter band(TFilter::TKind::BandPass, 1150, 0.8), high(TFilter::TKind::HighPass, 600, 0.7);
  // Several hands a few milliseconds apart, then the room.
  const double hits[] = {0.0, 0.009, 0.019, 0.031};
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = TimeOf(static_cast<int>(i));
    double env = 0.0;
    for (double h : hits) env = std::max(env, Decaying(t - h, 0.0045));
    env = std::max(env, 0.55 * Decaying(t - hits[3], 0.1));
    out[i] = high.Process(band.Process(noise.Next())) * env;
  }
  Master(out, -0.5, 0.0, 30);
  return DrumInstrument("Clap", HalveRate(out), SampleRate / 2.0);
}

// Cymbals keep their full bandwidth and are stored in 8 bits: their own
// noise hides the coarser steps.
xm::TInstrument ClosedHat() {
  return DrumInstrument("Closed hat", Metal(0.09, 0.022, 10000, 7000, 0.45, 0x3C6E), SampleRate, true);
}

xm::TInstrument OpenHat() {
  return DrumInstrument("Open hat", Metal(0.42, 0.16, 9500, 6500, 0.5, 0x3C6F), SampleRate, true);
}

xm::TInstrument Crash() {
  return DrumInstrument("Crash", Metal(1.2, 0.42, 7000, 3500, 0.62, 0xA54F), SampleRate, true);
}

// ---- Tones ----------------------------------------------------------------

xm::TInstrument SoftBass(int bpm) {
  xm::TInstrument ins = ToneInstrument({"Soft bass", 128, 1, 24,
                                        {{1, 0.75, TShape::Saw, 0.0}, {1, 0.55, TShape::Sine, 0.0}},
                                        40, 16, 5, 2});
  ins.Volume = Envelope(bpm, {{0, 1}, {0.09, 0.86}, {0.45, 0.7}}, 2);
  ins.Fadeout = Fadeout(bpm, 0.09);
  return ins;
}

xm::TInstrument DriveBass(int bpm) {
  xm::TInstrument ins = ToneInstrument({"Drive bass", 128, 1, 16,
                                        {{1, 0.7, TShape::Saw, 0.0}, {1, 0.3, TShape::Square, 0.0},
                                         {1, 0.35, TShape::Sine, 0.0}},
                                        40, 26, 9, 2});
  ins.Volume = Envelope(bpm, {{0, 1}, {0.06, 0.82}, {0.25, 0.62}}, 2);
  ins.Fadeout = Fadeout(bpm, 0.05);
  return ins;
}

xm::TInstrument WarmPad(int bpm) {
  xm::TInstrument ins = ToneInstrument({"Warm pad", 64, 256, 0,
                                        {{255, 0.5, TShape::Saw, 0.13},
                                         {256, 0.5, TShape::Saw, 0.57},
                                         {257, 0.5, TShape::Saw, 0.91},
                                         {256, 0.45, TShape::Triangle, 0.0}},
                                        22, 7, 7, 2});
  ins.Volume = Envelope(bpm, {{0, 0}, {0.18, 0.85}, {0.5, 1.0}, {1.2, 0.9}}, 3);
  ins.Fadeout = Fadeout(bpm, 0.9);
  return ins;
}

xm::TInstrument PluckArp(int bpm) {
  xm::TInstrument ins = ToneInstrument({"Pluck", 64, 2, 40,
                                        {{2, 0.6, TShape::Square, 0.0}, {2, 0.3, TShape::Saw, 0.25}},
                                        15, 15, 4, 2});
  ins.Volume = Envelope(bpm, {{0, 1}, {0.05, 0.7}, {0.18, 0.32}, {0.42, 0.08}, {0.7, 0}});
  ins.Fadeout = Fadeout(bpm, 0.12);
  return ins;
}

xm::TInstrument Lead(int bpm, bool bright) {
  xm::TInstrument ins = ToneInstrument({bright ? "Bright lead" : "Lead", 64, 128, 16,
                                        {{127, 0.42, TShape::Saw, 0.2},
                                         {129, 0.42, TShape::Saw, 0.7},
                                         {128, 0.35, TShape::Square, 0.0}},
                                        14, 14, bright ? 9.0 : 6.0, 2});
  ins.Volume = Envelope(bpm, {{0, 0}, {0.012, 1}, {0.3, 0.8}}, 2);
  ins.Fadeout = Fadeout(bpm, bright ? 0.22 : 0.35);
  DelayedVibrato(ins, bpm, 5, 5.5, 0.35);
  return ins;
}

xm::TInstrument Stab(int bpm) {
  xm::TInstrument ins = ToneInstrument({"Stab", 64, 128, 8,
                                        {{127, 0.4, TShape::Saw, 0.1},
                                         {128, 0.4, TShape::Saw, 0.45},
                                         {129, 0.4, TShape::Saw, 0.8}},
                                        16, 16, 10, 2});
  ins.Volume = Envelope(bpm, {{0, 1}, {0.05, 0.66}, {0.16, 0.25}, {0.32, 0}});
  ins.Fadeout = Fadeout(bpm, 0.08);
  return ins;
}

}  // namespace music
