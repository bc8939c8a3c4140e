#pragma once
// A small synthesiser for the game's sound effects: band-limited
// oscillators, deterministic noise, envelopes, resonant filters, a short
// room reverb, and the mastering every effect goes through before it is
// written (DC removal, edge fades, peak normalisation).
#include <cmath>
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

// ---- Building blocks for loops, voices and bodies ------------------------
// A looped effect plays its whole wave over and over, so everything in it
// has to repeat with the wave's length: noise read by position, modulation
// curves that wrap around, oscillators with whole numbers of cycles, and
// filters that have settled before the kept period starts.

// White noise in [-1, 1] as a pure function of its position, so a stream
// read modulo the loop length repeats exactly.
double HashNoise(uint32_t seed, uint32_t index);

// `length` samples of white noise that repeat seamlessly.
TBuffer LoopNoise(int length, uint32_t seed);

// A smooth random curve in [-1, 1] through `knots` random values, joining
// its own start after `length` samples.
TBuffer LoopWander(int length, int knots, uint32_t seed);

// Running phase (in cycles, from 0, not wrapped) of an oscillator following
// the per-sample frequencies `hz`, stretched by the tiny amount that makes the
// whole buffer hold a whole multiple of `multipleOf` cycles, so the next
// repeat starts in phase.
std::vector<double> LoopPhase(const TBuffer& hz, int multipleOf = 1);

// Running phase of an oscillator that does not loop.
std::vector<double> RunningPhase(const TBuffer& hz);

// Band-limited saw and pulse read at `phase` (cycles) with phase step `dt`.
double SawAt(double phase, double dt);
double PulseAt(double phase, double dt, double duty);

// Feeds `periods` repeats of the periodic `source` through `process`
// (stateful: filters, delays) and keeps the last repeat; by then the state
// has settled, so the kept wave joins its own start seamlessly. With one
// period it is a plain pass, for sounds that do not loop.
template <typename TProcess>
TBuffer SettledLoop(const TBuffer& source, int periods, TProcess&& process) {
  TBuffer out(source.size(), 0.0);
  for (int p = 0; p < periods; ++p)
    for (size_t i = 0; i < source.size(); ++i) {
      const double y = process(source[i]);
      if (p == periods - 1) out[i] = y;
    }
  return out;
}

// Folds a signal built from a pattern repeated several times (each copy's
// tail ringing into the next) down to its last `period` samples.
TBuffer LastPeriod(const TBuffer& samples, int period);

// Klatt's two-pole resonator: unity gain at 0 Hz, a peak `bandwidth` Hz wide
// at `hz`. Cascaded, they shape a glottal pulse into a vowel.
class TResonator {
 public:
  TResonator(double hz, double bandwidth) { Tune(hz, bandwidth); }
  void Tune(double hz, double bandwidth);
  double Process(double x);

 private:
  double A = 1, B = 0, C = 0, Y1 = 0, Y2 = 0;
};

// One mode of a struck object: a sine of `Hz` dying away over `Decay`
// seconds (time constant), with `Gain` as its starting amplitude.
struct TMode {
  double Hz, Decay, Gain;
};

// Adds a strike at `at` seconds: every mode rings from there, with a short
// attack so the onset is hard but not a click. `detune` scales all the
// frequencies (a different panel, a smaller piece). Grows `out` as needed.
void Strike(TBuffer& out, double at, const std::vector<TMode>& modes, double level, double detune = 1.0);

// tanh saturation that keeps small signals at unit gain: warmth and growl
// without a hard edge.
inline double Saturate(double x, double drive) { return std::tanh(x * drive) / drive; }

// Mastering for looped effects: removes the mean (a high-pass would break the
// join), turns the loop so that playback starts on a quiet upward zero
// crossing (no click when the sound starts), and scales the peak to `peakDb`.
// No fades: the end must flow straight into the start.
void MasterLoop(TBuffer& samples, double peakDb);

}  // namespace synth
