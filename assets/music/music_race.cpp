// The race theme: E minor at 140 BPM, four on the floor. A galloping
// octave bass, syncopated saw stabs, open hats on the off-beats, claps
// doubling the snare in the choruses and a bright lead with a dotted-eighth
// echo. Like the menu tune it is one circle: the turnaround lands on B
// major and falls back into the E minor groove of the first pattern.
#include <array>

#include "assets/music/music_instruments.h"
#include "assets/music/music_score.h"
#include "assets/music/music_tunes.h"

using namespace music;

namespace {

enum TChannel {
  kKick,
  kSnare,
  kClap,
  kHat,
  kCrash,
  kBass,
  kLead,
  kEcho,
  kStab,
  kStabMid,
  kStabHigh,
  kArp,
  kPad,
  kPadHigh,
  kChannels
};
enum TInstrumentNumber { iKick = 1, iSnare, iClap, iClosedHat, iOpenHat, iCrash, iBass, iLead, iStab, iArp, iPad };

constexpr int kBpm = 140;
constexpr int kRows = 4 * kRowsPerBar;

struct TChordBar {
  const char* Stab;  // three voices, on kStab..kStabHigh
  const char* Pad;   // two voices, on kPad and kPadHigh
  int Root;
  const char* Arp;
};

const TChordBar Em{"E4 G4 B4", "G3 B3", Midi("E1"), "B4 E5 G5 B5"};
const TChordBar C{"E4 G4 C5", "G3 C4", Midi("C2"), "C5 E5 G5 C6"};
const TChordBar G{"D4 G4 B4", "G3 D4", Midi("G1"), "B4 D5 G5 B5"};
const TChordBar D{"D4 F#4 A4", "F#3 D4", Midi("D2"), "A4 D5 F#5 A5"};
const TChordBar Am{"E4 A4 C5", "A3 C4", Midi("A1"), "A4 C5 E5 A5"};
const TChordBar B{"D#4 F#4 B4", "F#3 D#4", Midi("B1"), "B4 D#5 F#5 B5"};

using TBars = std::array<const char*, 4>;

struct TSection {
  std::array<TChordBar, 4> Chords;
  const char* Melody;  // four bars, or nullptr
  bool Crash;          // a crash on the downbeat
  TBars Kick, Snare, Clap, ClosedHat, OpenHat, Bass;
  TBars Stabs;  // rhythm of the chord stabs per bar, nullptr for none
  int ArpStep;  // 0 for no arpeggio
};

constexpr const char* kRest = "................";
constexpr const char* kFourFloor = "X...x...X...x...";
constexpr const char* kHalfTime = "X.........x.....";
constexpr const char* kSnareBack = "....X.......X...";
constexpr const char* kSnareHalf = "........X.......";
constexpr const char* kClapBack = "....x.......x...";
constexpr const char* kClosed = "xo..xo..xo..xo..";
constexpr const char* kClosedSixteenths = "xoxoxoxoxoxoxoxo";
constexpr const char* kOpen = "..x...x...x...x.";
constexpr const char* kBassGallop = "R.RoR.RoR.RoR.Ro";
constexpr const char* kBassEighths = "R.o.R.o.R.o.R.o.";
constexpr const char* kBassHeld = "R.......R.......";
constexpr const char* kStabSyncopated = "x..x..x...x..x..";
constexpr const char* kStabPush = "x..x..x...x.x.x.";
constexpr const char* kRoll = "o.o.o.o.x.x.xxXX";

const TLevels kKickLevels{64, 58, 40};
const TLevels kSnareLevels{60, 52, 30};
const TLevels kClapLevels{40, 34, 20};
const TLevels kClosedLevels{30, 24, 14};
const TLevels kOpenLevels{28, 22, 14};
const TLevels kBassLevels{36, 36, 28};
const TLevels kStabLevels{38, 34, 22};
const TLevels kArpLevels{20, 14, 14};
constexpr int kCrashVolume = 34;
constexpr int kPadVolume = 22;
constexpr int kLeadVolume = 56;
constexpr int kEchoVolume = 20;

xm::TPattern Build(const TSection& s) {
  xm::TPattern p(kRows, kChannels);
  if (s.Crash) Strike(p, 0, kCrash, 60, iCrash, kCrashVolume);
  for (int bar = 0; bar < 4; ++bar) {
    const int row = bar * kRowsPerBar;
    const TChordBar& chord = s.Chords[bar];
    Hits(p, kKick, row, iKick, s.Kick[bar], kKickLevels);
    Hits(p, kSnare, row, iSnare, s.Snare[bar], kSnareLevels);
    Hits(p, kClap, row, iClap, s.Clap[bar], kClapLevels);
    // Closed and open hats share a channel, so a closed hat chokes the
    // open one the way a drummer's foot does.
    Hits(p, kHat, row, iClosedHat, s.ClosedHat[bar], kClosedLevels);
    Hits(p, kHat, row, iOpenHat, s.OpenHat[bar], kOpenLevels);
    BassLine(p, kBass, row, iBass, chord.Root, s.Bass[bar], kBassLevels);
    Chord(p, row, kPad, iPad, chord.Pad, kPadVolume, bar > 0);
    if (s.Stabs[bar]) {
      for (int i = 0; i < kRowsPerBar; ++i)
        if (s.Stabs[bar][i] != '.')
          Chord(p, row + i, kStab, iStab, chord.Stab, i == 0 ? kStabLevels.Accent : kStabLevels.Normal, false);
    }
    if (s.ArpStep > 0) Arpeggio(p, kArp, row, kRowsPerBar, s.ArpStep, iArp, chord.Arp, "0123", kArpLevels);
  }
  if (s.Melody) {
    Phrase(p, kLead, 0, iLead, s.Melody, kLeadVolume);
    Echo(p, kLead, kEcho, 3, kEchoVolume, 0xC8);
  }
  Pan(p, kStab, 0x58);
  Pan(p, kStabHigh, 0xA8);
  Pan(p, kPad, 0x70);
  Pan(p, kPadHigh, 0x90);
  Pan(p, kArp, 0x48);
  Pan(p, kHat, 0x98);
  Pan(p, kCrash, 0x70);
  return p;
}

const TSection kIntro{
    {Em, C, G, D},
    nullptr,
    false,
    {kFourFloor, kFourFloor, kFourFloor, kFourFloor},
    {kRest, kRest, kRest, kRoll},
    {kRest, kRest, kRest, kRest},
    {kClosed, kClosed, kClosed, kClosedSixteenths},
    {kRest, kRest, kOpen, kRest},
    {kBassEighths, kBassEighths, kBassGallop, kBassGallop},
    {nullptr, nullptr, kStabSyncopated, kStabPush},
    0};

const TSection kVerse{
    {Em, C, G, D},
    "B4:2 E5:2 G5:2 B5:4 A5:2 G5:2 F#5:2 | G5:6 E5:6 C5:4 | D5:2 G5:2 B5:2 D6:4 C6:2 B5:2 A5:2 | A5:8 F#5:4 D5:4",
    true,
    {kFourFloor, kFourFloor, kFourFloor, kFourFloor},
    {kSnareBack, kSnareBack, kSnareBack, kSnareBack},
    {kRest, kRest, kRest, kRest},
    {kClosed, kClosed, kClosed, kClosed},
    {kOpen, kOpen, kOpen, kOpen},
    {kBassGallop, kBassGallop, kBassGallop, kBassGallop},
    {kStabSyncopated, kStabSyncopated, kStabSyncopated, kStabPush},
    0};

const TSection kVerseAnswer{
    {Em, C, G, D},
    "B5:4 G5:2 E5:2 B5:4 C6:2 B5:2 | G5:4 E5:2 C5:2 E5:4 G5:4 | B5:4 D6:2 B5:2 A5:4 G5:2 F#5:2 | F#5:6 E5:2 D5:4 "
    "F#5:4",
    false,
    {kFourFloor, kFourFloor, kFourFloor, kFourFloor},
    {kSnareBack, kSnareBack, kSnareBack, "....X.......X.xx"},
    {kRest, kRest, kRest, kRest},
    {kClosed, kClosed, kClosed, kClosed},
    {kOpen, kOpen, kOpen, kOpen},
    {kBassGallop, kBassGallop, kBassGallop, kBassGallop},
    {kStabSyncopated, kStabSyncopated, kStabSyncopated, kStabPush},
    0};

const TSection kChorus{
    {Am, C, D, B},
    "E5:4 A5:4 C6:6 B5:2 | G5:4 E5:2 G5:2 C6:8 | D6:4 C6:2 A5:2 F#5:4 A5:4 | B5:6 A5:2 F#5:4 D#5:4",
    true,
    {kFourFloor, kFourFloor, kFourFloor, kFourFloor},
    {kSnareBack, kSnareBack, kSnareBack, kSnareBack},
    {kClapBack, kClapBack, kClapBack, kClapBack},
    {kClosedSixteenths, kClosedSixteenths, kClosedSixteenths, kClosedSixteenths},
    {kRest, kRest, kRest, kRest},
    {kBassGallop, kBassGallop, kBassGallop, kBassGallop},
    {kStabSyncopated, kStabSyncopated, kStabSyncopated, kStabPush},
    1};

const TSection kChorusAnswer{
    {Am, C, D, B},
    "C6:4 B5:2 A5:2 E5:8 | G5:4 A5:2 G5:2 E5:8 | F#5:4 G5:2 A5:2 D6:8 | D#6:6 B5:2 F#5:8",
    false,
    {kFourFloor, kFourFloor, kFourFloor, kFourFloor},
    {kSnareBack, kSnareBack, kSnareBack, "....X...X.X.XXXX"},
    {kClapBack, kClapBack, kClapBack, kClapBack},
    {kClosedSixteenths, kClosedSixteenths, kClosedSixteenths, kClosedSixteenths},
    {kRest, kRest, kRest, kRest},
    {kBassGallop, kBassGallop, kBassGallop, kBassEighths},
    {kStabSyncopated, kStabSyncopated, kStabSyncopated, kStabPush},
    1};

// Half time: the bass holds, the arpeggio runs and the lead sings long notes.
const TSection kBreak{
    {Em, C, Am, B},
    "E5:16 | E5:8 G5:8 | C6:8 A5:8 | B5:12 r:4",
    true,
    {kHalfTime, kHalfTime, kHalfTime, kHalfTime},
    {kSnareHalf, kSnareHalf, kSnareHalf, "x.x.x.x.xxxxXXXX"},
    {kRest, kRest, kRest, kRest},
    {kClosed, kClosed, kClosed, kClosedSixteenths},
    {kRest, kRest, kRest, kRest},
    {kBassHeld, kBassHeld, kBassHeld, kBassEighths},
    {nullptr, nullptr, nullptr, nullptr},
    1};

// The lead runs in sixteenths over the verse chords.
const TSection kSolo{
    {Em, C, G, D},
    "E5:1 G5:1 B5:1 E6:1 B5:1 G5:1 E5:1 G5:1 B5:1 E6:1 B5:1 G5:1 E5:1 F#5:1 G5:1 A5:1 | "
    "G5:1 E5:1 C5:1 E5:1 G5:1 C6:1 E6:2 D6:2 C6:2 B5:2 G5:2 | "
    "D5:1 G5:1 B5:1 D6:1 B5:1 G5:1 D5:1 G5:1 B5:2 A5:2 G5:2 A5:2 | "
    "F#5:2 A5:2 D6:4 C6:2 A5:2 F#5:2 D5:2",
    true,
    {kFourFloor, kFourFloor, kFourFloor, kFourFloor},
    {kSnareBack, kSnareBack, kSnareBack, kSnareBack},
    {kClapBack, kClapBack, kClapBack, kClapBack},
    {kClosed, kClosed, kClosed, kClosed},
    {kOpen, kOpen, kOpen, kOpen},
    {kBassGallop, kBassGallop, kBassGallop, kBassGallop},
    {kStabSyncopated, kStabSyncopated, kStabSyncopated, kStabPush},
    0};

// Cadences on B major and fills into the intro's groove.
const TSection kTurnaround{
    {Em, C, D, B},
    "E5:4 G5:4 B5:8 | C6:4 B5:4 G5:8 | A5:4 F#5:4 D5:8 | D#5:8 F#5:4 B5:2 r:2",
    true,
    {kFourFloor, kFourFloor, kFourFloor, "X.......X......."},
    {kSnareBack, kSnareBack, kSnareBack, "....X...X.X.XXXX"},
    {kClapBack, kClapBack, kClapBack, kRest},
    {kClosed, kClosed, kClosed, kClosedSixteenths},
    {kOpen, kOpen, kOpen, kRest},
    {kBassGallop, kBassGallop, kBassGallop, kBassEighths},
    {kStabSyncopated, kStabSyncopated, kStabSyncopated, kStabPush},
    1};

}  // namespace

xm::TModule RaceTune() {
  xm::TModule m;
  m.Name = "Voltrace 2: Race";
  m.Channels = kChannels;
  m.Speed = 6;
  m.Bpm = kBpm;
  m.Instruments = {PunchyKick(),     TightSnare(),   Clap(),         ClosedHat(),  OpenHat(),  Crash(),
                   DriveBass(kBpm), Lead(kBpm, true), Stab(kBpm), PluckArp(kBpm), WarmPad(kBpm)};
  for (const TSection* s : {&kIntro, &kVerse, &kVerseAnswer, &kChorus, &kChorusAnswer, &kBreak, &kSolo, &kTurnaround})
    m.Patterns.push_back(Build(*s));
  // Intro, verse, chorus, break, solo, the chorus again, the verse and the
  // turnaround back to the intro.
  m.Orders = {0, 1, 2, 3, 4, 5, 6, 3, 4, 1, 7};
  m.RestartPosition = 0;
  return m;
}
