#pragma once
// A small synthesiser for the game's sound effects: band-limited
// oscillators, deterministic noise, envelopes, resonant filters, a short
// room reverb, and the mastering every effect goes through before it is
// written (DC removal, edge fades, peak normalisation).
#include <cstdint>
#include <vector>

namespace synth {

constexpr int SampleRate = 44100;

using TBuffer = std::vector<double>;

int SampleCount(double seconds);
inline double TimeOf(int sample) { return sample / static_cast<double>(SampleRate); }

double DbToGain(double db);
double Semitones(double baseHz, double semitones);

enum class TWave { Sine, Triangle, Saw, Square };

// Phase-accumulating oscillator; the frequency may change every sample.
// Saw and square are band-limited (PolyBLEP), so high notes stay clean.
class TOscillator {
 public:
  explicit TOscillator(TWave wave, double phase = 0.0) : Wave(wave), Phase(phase) {}
  double Next(double hz);

 private:
  TWave Wave;
  double Phase;
  double TriangleState = 0.0;
};

// White noise in [-1, 1] from a fixed seed.
class TNoise {
 public:
  explicit TNoise(uint32_t seed) : State(seed | 1u) {}
  double Next();

 private:
  uint32_t State;
};

// Attack, decay to a sustain level, release after `gate` seconds; the
// segments are curved the way analogue envelopes sound (fast start,
// exponential tail).
struct TEnvelope {
  double Attack = 0.005;
  double Decay = 0.1;
  double Sustain = 0.7;
  double Release = 0.2;
  double At(double t, double gate) const;
  double Length(double gate) const { return gate + Release; }
};

// exp(-t / tau) for t >= 0, 0 before.
double Decaying(double t, double tau);

// Biquad filter (RBJ cookbook forms). Retune per sample when sweeping.
class TFilter {
 public:
  enum class TKind { LowPass, HighPass, BandPass };
  TFilter(TKind kind, double hz, double q) : Kind(kind) { Tune(hz, q); }
  void Tune(double hz, double q);
  double Process(double x);

 private:
  TKind Kind;
  double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
  double X1 = 0, X2 = 0, Y1 = 0, Y2 = 0;
};

// Adds `source` into `dest` from sample `offset` on, growing `dest` as needed.
void MixInto(TBuffer& dest, const TBuffer& source, double gain = 1.0, int offset = 0);

// A small Schroeder room: four combs and two all-passes. Returns the wet
// signal only, `tail` seconds longer than the input.
TBuffer Reverb(const TBuffer& dry, double roomSize, double damping, double tail);

// Mastering: removes DC with a 20 Hz high-pass, fades the first and last
// milliseconds to silence so the effect starts and ends without a click,
// and scales the peak to `peakDb` dBFS.
void Master(TBuffer& samples, double peakDb, double fadeInMs, double fadeOutMs);

}  // namespace synth
