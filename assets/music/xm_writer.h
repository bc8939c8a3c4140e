#pragma once
// FastTracker 2 Extended Modules (XM, format version 0x0104): the two tunes
// the game plays are written in this format, which every XM player reads.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xm {

// A note value of the pattern data: 1 is C-0, 49 is C-4, 96 is B-7.
constexpr uint8_t kKeyOff = 97;
constexpr int kMaxChannels = 32;
constexpr int kMaxEnvelopePoints = 12;
// With relative note 0 and finetune 0, C-4 plays a sample at this rate.
constexpr double kC4Rate = 8363.0;

// The note value for a MIDI note number (60 = middle C, written C-4).
uint8_t NoteFromMidi(int midi);

// One slot of a pattern. Zero fields are "nothing": no note, no
// instrument, no volume (the volume column holds 0x10 + volume 0..64, or
// one of its slide / panning commands), no effect.
struct TCell {
  uint8_t Note = 0;
  uint8_t Instrument = 0;  // 1-based
  uint8_t Volume = 0;
  uint8_t Effect = 0;
  uint8_t Param = 0;
};

struct TPattern {
  TPattern(int rows, int channels);
  TCell& At(int row, int channel);
  const TCell& At(int row, int channel) const;
  int Rows;
  int Channels;
  std::vector<TCell> Cells;  // row by row

 private:
  size_t Index(int row, int channel) const;
};

struct TEnvelopePoint {
  uint16_t Tick;  // ticks from the note's start
  uint8_t Value;  // 0..64
};

// Empty Points = envelope off. Sustain holds the envelope at that point
// until the key is released; indices of -1 mean none.
struct TEnvelope {
  std::vector<TEnvelopePoint> Points;
  int Sustain = -1;
  int LoopStart = -1;
  int LoopEnd = -1;
};

enum class TLoop : uint8_t { None = 0, Forward = 1, PingPong = 2 };

struct TSample {
  std::string Name;
  std::vector<int16_t> Data;  // full scale; 8-bit samples keep the high byte
  bool SixteenBit = true;
  TLoop Loop = TLoop::None;
  uint32_t LoopStart = 0;   // in samples
  uint32_t LoopLength = 0;  // in samples
  uint8_t Volume = 64;      // 0..64
  int8_t Finetune = 0;      // 1/128 semitone
  int8_t RelativeNote = 0;  // semitones
  uint8_t Panning = 128;    // 0 left .. 255 right
};

struct TInstrument {
  std::string Name;
  std::vector<TSample> Samples;
  std::array<uint8_t, 96> NoteSample{};  // sample index per note C-0..B-7
  TEnvelope Volume;
  TEnvelope Panning;
  uint8_t VibratoType = 0;  // 0 sine, 1 square, 2 ramp down, 3 ramp up
  uint8_t VibratoSweep = 0;
  uint8_t VibratoDepth = 0;
  uint8_t VibratoRate = 0;
  uint16_t Fadeout = 0;  // taken off a 32768 volume every tick after key-off
};

struct TModule {
  std::string Name;
  int Channels = 4;
  int RestartPosition = 0;  // order index the song continues from after its end
  bool LinearFrequencies = true;
  int Speed = 6;   // ticks per row
  int Bpm = 125;   // a tick lasts 2.5 / Bpm seconds
  std::vector<uint8_t> Orders;  // pattern numbers in play order
  std::vector<TPattern> Patterns;
  std::vector<TInstrument> Instruments;
};

// The relative note and finetune that make C-4 play a sample at `rate`
// samples per second (a drum recorded at 22050 Hz, or a tone that sounds
// middle C at that rate).
struct TTuning {
  int8_t RelativeNote;
  int8_t Finetune;
};
TTuning TuningForC4Rate(double rate);
void Tune(TSample& sample, double c4Rate);

// Throws std::invalid_argument when the module breaks a limit of the format.
std::vector<uint8_t> WriteModule(const TModule& module);

// Playing time of one pass through the order list, for modules that change
// neither speed nor tempo in their patterns.
double SongSeconds(const TModule& module);

}  // namespace xm
