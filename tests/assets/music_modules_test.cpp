// The two tunes the generator writes play in the game's XM player as they
// were composed: libmodplug, set up the way SDL_mixer sets it up, loads them
// with the composed channels and patterns, plays each for more than a
// minute before the end, never clips and never falls silent; the
// instruments sound the notes written for them; and the writer's bytes say
// what the module says. Runs in the build folder, where the generator has
// written Data/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "assets/music/music_instruments.h"
#include "assets/music/music_tunes.h"
#include "assets/music/xm_writer.h"
#include "support/modplug_render.h"

namespace {

constexpr int kRate = kModplugRate;

double Dbfs(double amplitude) { return 20.0 * std::log10(std::max(amplitude, 1e-9) / 32768.0); }

double RmsOf(const int16_t* s, size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += static_cast<double>(s[i]) * s[i];
  return std::sqrt(sum / std::max<size_t>(n, 1));
}

struct TTune {
  const char* File;
  xm::TModule (*Compose)();
};

class MusicModules : public testing::TestWithParam<TTune> {
 protected:
  static const xm::TModule& Composed(const TTune& tune) {
    static xm::TModule menu = MenuTune(), race = RaceTune();
    return tune.Compose == &MenuTune ? menu : race;
  }
  std::vector<uint8_t> Written() const { return FileBytes(std::string("Data/Music/") + GetParam().File); }
};

TEST_P(MusicModules, FileHoldsTheCompositionAndLoadsWithItsShape) {
  const xm::TModule& song = Composed(GetParam());
  const std::vector<uint8_t> bytes = Written();
  ASSERT_FALSE(bytes.empty()) << GetParam().File << " was not generated";
  EXPECT_TRUE(bytes == xm::WriteModule(song)) << "the generated file is not what the composition writes";
  EXPECT_LT(bytes.size(), 400u * 1024) << "a tune should stay within a few hundred KB";

  ModPlugFile* file = LoadLikeTheGame(bytes, 2);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ModPlug_NumChannels(file), static_cast<unsigned>(song.Channels));
  // libmodplug's "patterns" are the entries of the order list.
  EXPECT_EQ(ModPlug_NumPatterns(file), song.Orders.size());
  EXPECT_EQ(ModPlug_NumInstruments(file), song.Instruments.size());
  size_t stored = 0;
  for (int i = 0; i < 256; ++i) {
    unsigned rows = 0;
    if (!ModPlug_GetPattern(file, i, &rows)) continue;
    ASSERT_LT(static_cast<size_t>(i), song.Patterns.size());
    EXPECT_EQ(rows, static_cast<unsigned>(song.Patterns[i].Rows)) << "pattern " << i;
    ++stored;
  }
  EXPECT_EQ(stored, song.Patterns.size());
  ModPlug_Unload(file);
}

TEST_P(MusicModules, PlaysOverAMinuteWithoutClippingOrSilence) {
  const xm::TModule& song = Composed(GetParam());
  ModPlugFile* file = LoadLikeTheGame(Written(), 2);
  ASSERT_NE(file, nullptr);
  const std::vector<int16_t> pcm = Render(file, 2, 600);
  ModPlug_Unload(file);

  const double seconds = pcm.size() / 2.0 / kRate;
  EXPECT_GE(seconds, 60.0);
  EXPECT_NEAR(seconds, xm::SongSeconds(song), 0.5) << "the song does not end where its order list does";

  int peak = 0;
  for (int16_t s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_LT(Dbfs(peak), -1.0) << "the mix reaches full scale";
  EXPECT_GT(Dbfs(RmsOf(pcm.data(), pcm.size())), -26.0) << "the mix is too quiet";
  // No stretch of the song drops out.
  const size_t window = 4 * kRate * 2;
  for (size_t at = 0; at + window <= pcm.size(); at += window)
    EXPECT_GT(Dbfs(RmsOf(pcm.data() + at, window)), -40.0) << "near-silence at " << at / 2.0 / kRate << " s";
}

INSTANTIATE_TEST_SUITE_P(Tunes, MusicModules,
                         testing::Values(TTune{"Menu.xm", &MenuTune}, TTune{"Race.xm", &RaceTune}),
                         [](const testing::TestParamInfo<TTune>& info) {
                           return std::string(info.param.File).substr(0, 4);
                         });

// A one-note module around `instrument`, the note struck on the first row.
xm::TModule OneNote(xm::TInstrument instrument, int midi) {
  xm::TModule m;
  m.Channels = 2;
  m.Bpm = 125;
  xm::TPattern p(32, 2);
  p.At(0, 0).Note = xm::NoteFromMidi(midi);
  p.At(0, 0).Instrument = 1;
  m.Patterns.push_back(p);
  m.Orders = {0};
  m.Instruments.push_back(std::move(instrument));
  return m;
}

// Period by autocorrelation: the shortest lag that repeats the wave almost
// as well as the best one, so a wave an octave off shows as one.
double MeasuredHz(const std::vector<int16_t>& pcm, double expectedHz) {
  const size_t from = kRate / 20, span = kRate / 5;
  const int minLag = static_cast<int>(kRate / expectedHz / 3), maxLag = static_cast<int>(kRate / expectedHz * 3);
  std::vector<double> r(static_cast<size_t>(maxLag + 2), 0.0);
  double best = 0;
  for (int lag = minLag; lag <= maxLag + 1; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = from; i < from + span; ++i) {
      const double x = pcm[i], y = pcm[i + lag];
      xy += x * y;
      xx += x * x;
      yy += y * y;
    }
    r[lag] = xy / std::sqrt(xx * yy + 1e-9);
    best = std::max(best, r[lag]);
  }
  for (int lag = minLag + 1; lag <= maxLag; ++lag) {
    if (r[lag] < 0.9 * best || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
    const double denom = r[lag - 1] - 2 * r[lag] + r[lag + 1];
    const double shift = denom != 0 ? 0.5 * (r[lag - 1] - r[lag + 1]) / denom : 0.0;
    return kRate / (lag + shift);
  }
  return 0.0;
}

TEST(MusicInstruments, TonesSoundTheirWrittenPitch) {
  struct TCase {
    const char* Name;
    xm::TInstrument Instrument;
    int Midi;
  };
  const TCase cases[] = {
      {"soft bass", music::SoftBass(100), 33},   {"drive bass", music::DriveBass(140), 40},
      {"pad", music::WarmPad(100), 57},          {"pluck", music::PluckArp(100), 76},
      {"lead", music::Lead(140, true), 81},      {"stab", music::Stab(140), 64},
  };
  for (const TCase& c : cases) {
    ModPlugFile* file = LoadLikeTheGame(xm::WriteModule(OneNote(c.Instrument, c.Midi)), 1);
    ASSERT_NE(file, nullptr) << c.Name;
    const std::vector<int16_t> pcm = Render(file, 1, 0.5);
    ModPlug_Unload(file);
    ASSERT_GE(pcm.size(), static_cast<size_t>(kRate * 0.45)) << c.Name;
    const double expected = 440.0 * std::pow(2.0, (c.Midi - 69) / 12.0);
    // A semitone is 6 %; 1 % is about a sixth of one.
    EXPECT_NEAR(MeasuredHz(pcm, expected) / expected, 1.0, 0.01) << c.Name;
  }
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}

xm::TModule TinyModule() {
  xm::TModule m;
  m.Name = "Tiny";
  m.Channels = 4;
  m.Speed = 5;
  m.Bpm = 150;
  m.Patterns = {xm::TPattern(32, 4), xm::TPattern(16, 4)};
  m.Orders = {1, 0, 1};
  m.RestartPosition = 2;
  xm::TCell& cell = m.Patterns[1].At(3, 2);
  cell.Note = xm::NoteFromMidi(69);
  cell.Instrument = 1;
  cell.Volume = 0x10 + 40;
  xm::TInstrument ins;
  ins.Name = "Ramp";
  xm::TSample s;
  s.Name = "Ramp";
  for (int i = 0; i < 64; ++i) s.Data.push_back(static_cast<int16_t>(i * 1000 - 32000));
  s.Loop = xm::TLoop::Forward;
  s.LoopStart = 16;
  s.LoopLength = 48;
  ins.Samples.push_back(s);
  m.Instruments.push_back(ins);
  return m;
}

TEST(XmWriter, HeaderAndSampleDataReadBack) {
  const xm::TModule m = TinyModule();
  const std::vector<uint8_t> b = xm::WriteModule(m);
  ASSERT_GT(b.size(), 336u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 17), "Extended Module: ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[17])), "Tiny");
  EXPECT_EQ(b[37], 0x1A);
  EXPECT_EQ(U16(b, 58), 0x0104);
  EXPECT_EQ(U32(b, 60), 276u);
  EXPECT_EQ(U16(b, 64), 3);  // song length
  EXPECT_EQ(U16(b, 66), 2);  // restart position
  EXPECT_EQ(U16(b, 68), 4);  // channels
  EXPECT_EQ(U16(b, 70), 2);  // patterns
  EXPECT_EQ(U16(b, 72), 1);  // instruments
  EXPECT_EQ(U16(b, 74), 1);  // linear frequency table
  EXPECT_EQ(U16(b, 76), 5);  // ticks per row
  EXPECT_EQ(U16(b, 78), 150);
  EXPECT_EQ(b[80], 1);
  EXPECT_EQ(b[81], 0);
  EXPECT_EQ(b[82], 1);
  EXPECT_EQ(b[83], 0);
  EXPECT_EQ(U32(b, 336), 9u);   // first pattern header
  EXPECT_EQ(U16(b, 341), 32);  // its rows

  // The sample data closes the file, stored as 16-bit differences.
  const std::vector<int16_t>& data = m.Instruments[0].Samples[0].Data;
  size_t at = b.size() - data.size() * 2;
  int16_t value = 0;
  for (int16_t expected : data) {
    value = static_cast<int16_t>(value + static_cast<int16_t>(U16(b, at)));
    at += 2;
    ASSERT_EQ(value, expected);
  }

  // And the player reads the note back from the packed pattern.
  ModPlugFile* file = LoadLikeTheGame(b, 2);
  ASSERT_NE(file, nullptr);
  unsigned rows = 0;
  const ModPlugNote* p = ModPlug_GetPattern(file, 1, &rows);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(rows, 16u);
  const ModPlugNote& n = p[3 * 4 + 2];
  EXPECT_EQ(n.Instrument, 1);
  EXPECT_EQ(n.Volume, 40);
  EXPECT_NE(n.Note, 0);
  EXPECT_EQ(p[3 * 4 + 1].Note, 0);
  ModPlug_Unload(file);
}

TEST(XmWriter, RejectsWhatTheFormatCannotHold) {
  struct TCase {
    const char* What;
    void (*Break)(xm::TModule&);
  };
  const TCase cases[] = {
      {"restart past the order list", [](xm::TModule& m) { m.RestartPosition = 3; }},
      {"order naming a missing pattern", [](xm::TModule& m) { m.Orders.push_back(2); }},
      {"loop past the sample's end", [](xm::TModule& m) { m.Instruments[0].Samples[0].LoopLength = 49; }},
      {"cell naming a missing instrument", [](xm::TModule& m) { m.Patterns[0].At(0, 0).Instrument = 2; }},
      {"thirteen envelope points",
       [](xm::TModule& m) {
         for (uint16_t t = 0; t < 13; ++t) m.Instruments[0].Volume.Points.push_back({t, 64});
       }},
  };
  for (const TCase& c : cases) {
    xm::TModule m = TinyModule();
    c.Break(m);
    EXPECT_THROW(xm::WriteModule(m), std::invalid_argument) << c.What;
  }
}

}  // namespace
