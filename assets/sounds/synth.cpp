#include "assets/sounds/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace synth {

int SampleCount(double seconds) { return static_cast<int>(std::lround(seconds * SampleRate)); }

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

double Semitones(double baseHz, double semitones) { return baseHz * std::pow(2.0, semitones / 12.0); }

namespace {

// Smooths the jump of a saw or square at phase t (dt = phase step).
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

double TOscillator::Next(double hz) {
  const double dt = std::clamp(hz / SampleRate, 0.0, 0.5);
  double out = 0.0;
  switch (Wave) {
    case TWave::Sine:
      out = std::sin(2.0 * std::numbers::pi * Phase);
      break;
    case TWave::Saw:
      out = 2.0 * Phase - 1.0 - PolyBlep(Phase, dt);
      break;
    case TWave::Square:
    case TWave::Triangle: {
      double sq = Phase < 0.5 ? 1.0 : -1.0;
      sq += PolyBlep(Phase, dt);
      sq -= PolyBlep(std::fmod(Phase + 0.5, 1.0), dt);
      if (Wave == TWave::Square) {
        out = sq;
      } else {
        // A leaky integral of the band-limited square is a clean triangle.
        TriangleState = dt * sq * 4.0 + (1.0 - dt * 0.05) * TriangleState;
        out = TriangleState;
      }
      break;
    }
  }
  Phase += dt;
  if (Phase >= 1.0) Phase -= 1.0;
  return out;
}

double TNoise::Next() {
  State ^= State << 13;
  State ^= State >> 17;
  State ^= State << 5;
  return (State >> 8) * (2.0 / 16777216.0) - 1.0;
}

double TEnvelope::At(double t, double gate) const {
  if (t < 0) return 0.0;
  auto level = [&](double u) {
    if (u < Attack) {
      const double a = u / Attack;
      return 1.0 - (1.0 - a) * (1.0 - a);
    }
    return Sustain + (1.0 - Sustain) * std::exp(-(u - Attack) / std::max(1e-6, Decay / 3.0));
  };
  if (t < gate) return level(t);
  const double r = t - gate;
  if (r >= Release) return 0.0;
  // Exponential fall that still reaches exactly zero at the end.
  const double k = 5.0;
  return level(gate) * (std::exp(-k * r / Release) - std::exp(-k)) / (1.0 - std::exp(-k));
}

double Decaying(double t, double tau) { return t < 0 ? 0.0 : std::exp(-t / tau); }

void TFilter::Tune(double hz, double q) {
  hz = std::clamp(hz, 10.0, SampleRate * 0.45);
  const double w = 2.0 * std::numbers::pi * hz / SampleRate;
  const double cw = std::cos(w), alpha = std::sin(w) / (2.0 * q);
  const double a0 = 1.0 + alpha;
  double b0 = 0, b1 = 0, b2 = 0;
  switch (Kind) {
    case TKind::LowPass:
      b0 = (1.0 - cw) / 2.0;
      b1 = 1.0 - cw;
      b2 = b0;
      break;
    case TKind::HighPass:
      b0 = (1.0 + cw) / 2.0;
      b1 = -(1.0 + cw);
      b2 = b0;
      break;
    case TKind::BandPass:  // 0 dB peak gain
      b0 = alpha;
      b1 = 0.0;
      b2 = -alpha;
      break;
  }
  B0 = b0 / a0;
  B1 = b1 / a0;
  B2 = b2 / a0;
  A1 = -2.0 * cw / a0;
  A2 = (1.0 - alpha) / a0;
}

double TFilter::Process(double x) {
  const double y = B0 * x + B1 * X1 + B2 * X2 - A1 * Y1 - A2 * Y2;
  X2 = X1;
  X1 = x;
  Y2 = Y1;
  Y1 = y;
  return y;
}

void MixInto(TBuffer& dest, const TBuffer& source, double gain, int offset) {
  if (dest.size() < source.size() + offset) dest.resize(source.size() + offset, 0.0);
  for (size_t i = 0; i < source.size(); ++i) dest[i + offset] += source[i] * gain;
}

TBuffer Reverb(const TBuffer& dry, double roomSize, double damping, double tail) {
  // Mutually prime delays (in samples at 44.1 kHz) keep the echoes from
  // piling up into a metallic ring.
  static const int combDelays[] = {1557, 1617, 1491, 1422};
  static const int allpassDelays[] = {556, 441};
  const size_t length = dry.size() + static_cast<size_t>(SampleCount(tail));
  TBuffer wet(length, 0.0);
  const double feedback = 0.7 + 0.28 * std::clamp(roomSize, 0.0, 1.0);
  for (int delay : combDelays) {
    std::vector<double> line(static_cast<size_t>(delay), 0.0);
    size_t pos = 0;
    double low = 0.0;
    for (size_t i = 0; i < length; ++i) {
      const double in = i < dry.size() ? dry[i] : 0.0;
      const double out = line[pos];
      low = out * (1.0 - damping) + low * damping;
      line[pos] = in + low * feedback;
      pos = (pos + 1) % line.size();
      wet[i] += out * 0.25;
    }
  }
  for (int delay : allpassDelays) {
    std::vector<double> line(static_cast<size_t>(delay), 0.0);
    size_t pos = 0;
    for (size_t i = 0; i < length; ++i) {
      const double buffered = line[pos];
      const double in = wet[i];
      line[pos] = in + buffered * 0.5;
      wet[i] = buffered - in;
      pos = (pos + 1) % line.size();
    }
  }
  return wet;
}

void Master(TBuffer& samples, double peakDb, double fadeInMs, double fadeOutMs) {
  if (samples.empty()) return;
  TFilter dc(TFilter::TKind::HighPass, 20.0, 0.707);
  for (double& s : samples) s = dc.Process(s);
  const int in = std::min<int>(SampleCount(fadeInMs / 1000.0), static_cast<int>(samples.size()));
  const int out = std::min<int>(SampleCount(fadeOutMs / 1000.0), static_cast<int>(samples.size()));
  // Raised-cosine fades: no corner in the curve, so nothing audible.
  for (int i = 0; i < in; ++i) samples[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / in);
  for (int i = 0; i < out; ++i) samples[samples.size() - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / out);
  double peak = 0.0;
  for (double s : samples) peak = std::max(peak, std::abs(s));
  if (peak > 0.0) {
    const double gain = DbToGain(peakDb) / peak;
    for (double& s : samples) s *= gain;
  }
}

double HashNoise(uint32_t seed, uint32_t index) {
  // A 32-bit integer hash (lowbias32) of the position mixed with the seed.
  uint32_t x = index * 0x9E3779B9u ^ (seed * 0x85EBCA6Bu + 0x27D4EB2Fu);
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return (x >> 8) * (2.0 / 16777216.0) - 1.0;
}

TBuffer LoopNoise(int length, uint32_t seed) {
  TBuffer out(static_cast<size_t>(std::max(length, 0)));
  for (size_t i = 0; i < out.size(); ++i) out[i] = HashNoise(seed, static_cast<uint32_t>(i));
  return out;
}

TBuffer LoopWander(int length, int knots, uint32_t seed) {
  TBuffer out(static_cast<size_t>(std::max(length, 0)));
  knots = std::max(knots, 1);
  for (size_t i = 0; i < out.size(); ++i) {
    const double at = static_cast<double>(i) * knots / static_cast<double>(out.size());
    const int k = static_cast<int>(at);
    const double f = at - k;
    const double a = HashNoise(seed, static_cast<uint32_t>(k % knots));
    const double b = HashNoise(seed, static_cast<uint32_t>((k + 1) % knots));
    const double w = 0.5 - 0.5 * std::cos(std::numbers::pi * f);
    out[i] = a + (b - a) * w;
  }
  return out;
}

std::vector<double> RunningPhase(const TBuffer& hz) {
  std::vector<double> phase(hz.size());
  double acc = 0.0;
  for (size_t i = 0; i < hz.size(); ++i) {
    phase[i] = acc;
    acc += hz[i] / SampleRate;
  }
  return phase;
}

std::vector<double> LoopPhase(const TBuffer& hz, int multipleOf) {
  double total = 0.0;
  for (double f : hz) total += f / SampleRate;
  multipleOf = std::max(multipleOf, 1);
  const double cycles = std::max(1.0, std::round(total / multipleOf)) * multipleOf;
  const double stretch = total > 0.0 ? cycles / total : 0.0;
  std::vector<double> phase = RunningPhase(hz);
  for (double& p : phase) p *= stretch;
  return phase;
}

double SawAt(double phase, double dt) {
  const double t = phase - std::floor(phase);
  return 2.0 * t - 1.0 - PolyBlep(t, std::clamp(dt, 1e-9, 0.5));
}

double PulseAt(double phase, double dt, double duty) {
  const double t = phase - std::floor(phase);
  dt = std::clamp(dt, 1e-9, 0.5);
  double v = t < duty ? 1.0 : -1.0;
  v += PolyBlep(t, dt);
  double u = t - duty;
  if (u < 0) u += 1.0;
  v -= PolyBlep(u, dt);
  return v - (2.0 * duty - 1.0);  // centred: a narrow pulse carries no DC
}

TBuffer LastPeriod(const TBuffer& samples, int period) {
  TBuffer out(static_cast<size_t>(std::max(period, 0)), 0.0);
  if (out.empty() || samples.size() < out.size()) return out;
  std::copy(samples.end() - static_cast<std::ptrdiff_t>(out.size()), samples.end(), out.begin());
  return out;
}

void TResonator::Tune(double hz, double bandwidth) {
  const double t = 1.0 / SampleRate;
  C = -std::exp(-2.0 * std::numbers::pi * bandwidth * t);
  B = 2.0 * std::exp(-std::numbers::pi * bandwidth * t) * std::cos(2.0 * std::numbers::pi * hz * t);
  A = 1.0 - B - C;
}

double TResonator::Process(double x) {
  const double y = A * x + B * Y1 + C * Y2;
  Y2 = Y1;
  Y1 = y;
  return y;
}

void Strike(TBuffer& out, double at, const std::vector<TMode>& modes, double level, double detune) {
  const int start = SampleCount(at);
  double longest = 0.0;
  for (const TMode& m : modes) longest = std::max(longest, m.Decay);
  const int length = SampleCount(longest * 7.0);
  if (out.size() < static_cast<size_t>(start + length)) out.resize(static_cast<size_t>(start + length), 0.0);
  const double attack = 0.0004;
  for (const TMode& m : modes) {
    if (m.Hz * detune >= 0.45 * SampleRate) continue;  // would fold back as a false note
    const double w = 2.0 * std::numbers::pi * m.Hz * detune / SampleRate;
    const int ring = SampleCount(m.Decay * 7.0);
    // Rotating phasor with a decaying radius: one multiply per sample.
    const double c = std::cos(w), s = std::sin(w), fall = std::exp(-1.0 / (m.Decay * SampleRate));
    double re = 1.0, im = 0.0, radius = level * m.Gain;
    for (int i = 0; i < ring; ++i) {
      const double t = TimeOf(i);
      out[static_cast<size_t>(start + i)] += radius * im * std::min(t / attack, 1.0);
      const double nre = re * c - im * s;
      im = re * s + im * c;
      re = nre;
      radius *= fall;
    }
  }
}

void MasterLoop(TBuffer& samples, double peakDb) {
  if (samples.empty()) return;
  double mean = 0.0;
  for (double s : samples) mean += s;
  mean /= static_cast<double>(samples.size());
  for (double& s : samples) s -= mean;

  // The quietest, gentlest upward zero crossing, judged by the level over
  // the next two milliseconds and the step across it, becomes the first
  // sample.
  const size_t n = samples.size();
  const size_t window = std::min<size_t>(static_cast<size_t>(SampleCount(0.002)), n);
  double level = 0.0;
  for (size_t i = 0; i < window; ++i) level += samples[i] * samples[i];
  size_t best = 0;
  double bestLevel = -1.0;
  for (size_t i = 0; i < n; ++i) {
    const double before = samples[(i + n - 1) % n];
    if (before < 0.0 && samples[i] >= 0.0) {
      const double step = samples[i] - before;
      const double score = level + 8.0 * window * (samples[i] * samples[i] + step * step);
      if (bestLevel < 0.0 || score < bestLevel) {
        bestLevel = score;
        best = i;
      }
    }
    level += samples[(i + window) % n] * samples[(i + window) % n] - samples[i] * samples[i];
  }
  std::rotate(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(best), samples.end());

  double peak = 0.0;
  for (double s : samples) peak = std::max(peak, std::abs(s));
  if (peak > 0.0) {
    const double gain = DbToGain(peakDb) / peak;
    for (double& s : samples) s *= gain;
  }
}

}  // namespace synth
