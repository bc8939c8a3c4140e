#include "assets/music/xm_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace xm {

namespace {

constexpr uint32_t kHeaderSize = 276;          // from the size field to the end of the order table
constexpr uint32_t kPatternHeaderSize = 9;
constexpr uint32_t kInstrumentHeaderSize = 263;  // FT2 writes its reserved tail too
constexpr uint32_t kSampleHeaderSize = 40;

class TBytes {
 public:
  void U8(uint8_t v) { Out.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  // Fixed-width text, cut or padded with zeros.
  void Text(const std::string& s, size_t width) {
    for (size_t i = 0; i < width; ++i) U8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
  }
  void Zeros(size_t n) { Out.insert(Out.end(), n, 0); }
  void PatchU16(size_t at, uint16_t v) {
    Out[at] = static_cast<uint8_t>(v);
    Out[at + 1] = static_cast<uint8_t>(v >> 8);
  }
  size_t Size() const { return Out.size(); }
  std::vector<uint8_t> Out;
};

void Require(bool ok, const std::string& what) {
  if (!ok) throw std::invalid_argument("XM: " + what);
}

void CheckEnvelope(const TEnvelope& env, const std::string& owner) {
  const int n = static_cast<int>(env.Points.size());
  Require(n <= kMaxEnvelopePoints, owner + " has more than 12 envelope points");
  for (int i = 0; i < n; ++i) {
    Require(env.Points[i].Value <= 64, owner + " has an envelope value above 64");
    Require(i == 0 || env.Points[i].Tick > env.Points[i - 1].Tick, owner + " has envelope points out of order");
  }
  Require(env.Sustain < n, owner + " has its sustain point past the envelope");
  Require((env.LoopStart < 0) == (env.LoopEnd < 0) && env.LoopStart <= env.LoopEnd && env.LoopEnd < n,
          owner + " has a broken envelope loop");
}

void Check(const TModule& m) {
  Require(m.Channels >= 1 && m.Channels <= kMaxChannels, "channel count out of range");
  Require(!m.Orders.empty() && m.Orders.size() <= 256, "order list must hold 1 to 256 entries");
  Require(m.RestartPosition >= 0 && m.RestartPosition < static_cast<int>(m.Orders.size()),
          "restart position outside the order list");
  Require(!m.Patterns.empty() && m.Patterns.size() <= 256, "1 to 256 patterns");
  Require(m.Instruments.size() <= 128, "at most 128 instruments");
  Require(m.Speed >= 1 && m.Speed <= 31, "speed out of range");
  Require(m.Bpm >= 32 && m.Bpm <= 255, "BPM out of range");
  for (uint8_t order : m.Orders) Require(order < m.Patterns.size(), "order names a missing pattern");
  for (const TPattern& p : m.Patterns) {
    Require(p.Rows >= 1 && p.Rows <= 256, "pattern rows out of range");
    Require(p.Channels == m.Channels && p.Cells.size() == static_cast<size_t>(p.Rows) * p.Channels,
            "pattern width differs from the channel count");
    for (const TCell& c : p.Cells) {
      Require(c.Note <= kKeyOff, "note value out of range");
      Require(c.Instrument <= m.Instruments.size(), "cell names a missing instrument");
    }
  }
  for (const TInstrument& ins : m.Instruments) {
    Require(ins.Samples.size() <= 16, ins.Name + " has more than 16 samples");
    for (uint8_t s : ins.NoteSample)
      Require(ins.Samples.empty() || s < ins.Samples.size(), ins.Name + " maps a note to a missing sample");
    CheckEnvelope(ins.Volume, ins.Name);
    CheckEnvelope(ins.Panning, ins.Name);
    Require(ins.Fadeout <= 0xFFF, ins.Name + " fadeout above 0xFFF");
    for (const TSample& s : ins.Samples) {
      Require(s.Volume <= 64, s.Name + " volume above 64");
      if (s.Loop != TLoop::None)
        Require(s.LoopLength > 0 && s.LoopStart + static_cast<uint64_t>(s.LoopLength) <= s.Data.size(),
                s.Name + " loop outside the sample");
    }
  }
}

void WritePattern(TBytes& out, const TPattern& p) {
  out.U32(kPatternHeaderSize);
  out.U8(0);  // packing type
  out.U16(static_cast<uint16_t>(p.Rows));
  const size_t sizeAt = out.Size();
  out.U16(0);
  const size_t start = out.Size();
  for (const TCell& c : p.Cells) {
    const uint8_t fields[5] = {c.Note, c.Instrument, c.Volume, c.Effect, c.Param};
    uint8_t mask = 0;
    for (int i = 0; i < 5; ++i)
      if (fields[i] != 0) mask |= static_cast<uint8_t>(1 << i);
    if (mask == 0x1F) {
      // All five present: the unpacked form is one byte shorter.
      for (uint8_t f : fields) out.U8(f);
      continue;
    }
    out.U8(static_cast<uint8_t>(0x80 | mask));
    for (int i = 0; i < 5; ++i)
      if (mask & (1 << i)) out.U8(fields[i]);
  }
  const size_t packed = out.Size() - start;
  Require(packed <= 0xFFFF, "packed pattern larger than 64 KB");
  out.PatchU16(sizeAt, static_cast<uint16_t>(packed));
}

void WriteEnvelopePoints(TBytes& out, const TEnvelope& env) {
  for (int i = 0; i < kMaxEnvelopePoints; ++i) {
    if (i < static_cast<int>(env.Points.size())) {
      out.U16(env.Points[i].Tick);
      out.U16(env.Points[i].Value);
    } else {
      out.U32(0);
    }
  }
}

uint8_t EnvelopeType(const TEnvelope& env) {
  if (env.Points.empty()) return 0;
  uint8_t type = 1;
  if (env.Sustain >= 0) type |= 2;
  if (env.LoopStart >= 0) type |= 4;
  return type;
}

uint8_t IndexOrZero(int index) { return index < 0 ? 0 : static_cast<uint8_t>(index); }

void WriteInstrument(TBytes& out, const TInstrument& ins) {
  if (ins.Samples.empty()) {
    out.U32(29);
    out.Text(ins.Name, 22);
    out.U8(0);
    out.U16(0);
    return;
  }
  out.U32(kInstrumentHeaderSize);
  out.Text(ins.Name, 22);
  out.U8(0);
  out.U16(static_cast<uint16_t>(ins.Samples.size()));
  out.U32(kSampleHeaderSize);
  for (uint8_t s : ins.NoteSample) out.U8(s);
  WriteEnvelopePoints(out, ins.Volume);
  WriteEnvelopePoints(out, ins.Panning);
  out.U8(static_cast<uint8_t>(ins.Volume.Points.size()));
  out.U8(static_cast<uint8_t>(ins.Panning.Points.size()));
  out.U8(IndexOrZero(ins.Volume.Sustain));
  out.U8(IndexOrZero(ins.Volume.LoopStart));
  out.U8(IndexOrZero(ins.Volume.LoopEnd));
  out.U8(IndexOrZero(ins.Panning.Sustain));
  out.U8(IndexOrZero(ins.Panning.LoopStart));
  out.U8(IndexOrZero(ins.Panning.LoopEnd));
  out.U8(EnvelopeType(ins.Volume));
  out.U8(EnvelopeType(ins.Panning));
  out.U8(ins.VibratoType);
  out.U8(ins.VibratoSweep);
  out.U8(ins.VibratoDepth);
  out.U8(ins.VibratoRate);
  out.U16(ins.Fadeout);
  out.Zeros(22);

  for (const TSample& s : ins.Samples) {
    const uint32_t width = s.SixteenBit ? 2 : 1;
    out.U32(static_cast<uint32_t>(s.Data.size()) * width);
    out.U32(s.Loop == TLoop::None ? 0 : s.LoopStart * width);
    out.U32(s.Loop == TLoop::None ? 0 : s.LoopLength * width);
    out.U8(s.Volume);
    out.U8(static_cast<uint8_t>(s.Finetune));
    out.U8(static_cast<uint8_t>(static_cast<uint8_t>(s.Loop) | (s.SixteenBit ? 0x10 : 0)));
    out.U8(s.Panning);
    out.U8(static_cast<uint8_t>(s.RelativeNote));
    out.U8(0);
    out.Text(s.Name, 22);
  }
  // Sample data is stored as the difference from the previous sample,
  // which packs better than raw PCM.
  for (const TSample& s : ins.Samples) {
    if (s.SixteenBit) {
      int16_t previous = 0;
      for (int16_t v : s.Data) {
        out.U16(static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous)));
        previous = v;
      }
    } else {
      int8_t previous = 0;
      for (int16_t v : s.Data) {
        const auto byte = static_cast<int8_t>(v >> 8);
        out.U8(static_cast<uint8_t>(static_cast<uint8_t>(byte) - static_cast<uint8_t>(previous)));
        previous = byte;
      }
    }
  }
}

}  // namespace

uint8_t NoteFromMidi(int midi) {
  const int note = midi - 11;
  Require(note >= 1 && note <= 96, "MIDI note " + std::to_string(midi) + " outside C-0..B-7");
  return static_cast<uint8_t>(note);
}

TPattern::TPattern(int rows, int channels)
    : Rows(rows), Channels(channels), Cells(static_cast<size_t>(rows) * channels) {}

size_t TPattern::Index(int row, int channel) const {
  Require(row >= 0 && row < Rows && channel >= 0 && channel < Channels, "cell outside the pattern");
  return static_cast<size_t>(row) * Channels + channel;
}

TCell& TPattern::At(int row, int channel) { return Cells[Index(row, channel)]; }

const TCell& TPattern::At(int row, int channel) const { return Cells[Index(row, channel)]; }

TTuning TuningForC4Rate(double rate) {
  Require(rate > 0, "sample rate must be positive");
  const long steps = std::lround(12.0 * 128.0 * std::log2(rate / kC4Rate));
  const long relative = std::lround(steps / 128.0);
  const long fine = steps - relative * 128;
  Require(relative >= -96 && relative <= 95, "sample rate too far from 8363 Hz");
  return {static_cast<int8_t>(relative), static_cast<int8_t>(std::clamp(fine, -128L, 127L))};
}

void Tune(TSample& sample, double c4Rate) {
  const TTuning t = TuningForC4Rate(c4Rate);
  sample.RelativeNote = t.RelativeNote;
  sample.Finetune = t.Finetune;
}

std::vector<uint8_t> WriteModule(const TModule& m) {
  Check(m);
  TBytes out;
  out.Text("Extended Module: ", 17);
  out.Text(m.Name, 20);
  out.U8(0x1A);
  out.Text("Voltrace2 XM writer", 20);
  out.U16(0x0104);
  out.U32(kHeaderSize);
  out.U16(static_cast<uint16_t>(m.Orders.size()));
  out.U16(static_cast<uint16_t>(m.RestartPosition));
  out.U16(static_cast<uint16_t>(m.Channels));
  out.U16(static_cast<uint16_t>(m.Patterns.size()));
  out.U16(static_cast<uint16_t>(m.Instruments.size()));
  out.U16(m.LinearFrequencies ? 1 : 0);
  out.U16(static_cast<uint16_t>(m.Speed));
  out.U16(static_cast<uint16_t>(m.Bpm));
  for (int i = 0; i < 256; ++i) out.U8(i < static_cast<int>(m.Orders.size()) ? m.Orders[i] : 0);
  for (const TPattern& p : m.Patterns) WritePattern(out, p);
  for (const TInstrument& ins : m.Instruments) WriteInstrument(out, ins);
  return std::move(out.Out);
}

double SongSeconds(const TModule& m) {
  double rows = 0;
  for (uint8_t order : m.Orders) rows += m.Patterns.at(order).Rows;
  return rows * m.Speed * 2.5 / m.Bpm;
}

}  // namespace xm
