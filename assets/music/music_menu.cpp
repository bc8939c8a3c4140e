// The menu theme: a night drive in A minor at 100 BPM. A warm pad and a
// pluck arpeggio over a pulsing octave bass, a deep kick and a big-room
// snare, and a lead with a dotted-eighth echo. The tune is written as one
// circle: its last phrase cadences on E major into the A minor of its first
// pattern, which is also where the game's player starts it again.
#include <array>

#include "assets/music/music_instruments.h"
#include "assets/music/music_score.h"
#include "assets/music/music_tunes.h"

using namespace music;

namespace {

enum TChannel { kKick, kSnare, kHat, kBass, kPad, kPadMid, kPadHigh, kArp, kLead, kEcho, kChannels };
enum TInstrumentNumber { iKick = 1, iSnare, iHat, iBass, iPad, iArp, iLead };

constexpr int kBpm = 100;
constexpr int kRows = 4 * kRowsPerBar;

struct TChordBar {
  const char* Pad;   // three voices, on kPad..kPadHigh
  int Root;          // bass note
  const char* Arp;   // four notes for the arpeggio
};

const TChordBar Am{"A3 C4 E4", Midi("A1"), "A4 C5 E5 A5"};
const TChordBar F{"A3 C4 F4", Midi("F1"), "F4 A4 C5 F5"};
const TChordBar C{"G3 C4 E4", Midi("C2"), "E4 G4 C5 E5"};
const TChordBar G{"G3 B3 D4", Midi("G1"), "D4 G4 B4 D5"};
const TChordBar Dm{"A3 D4 F4", Midi("D2"), "D4 F4 A4 D5"};
const TChordBar E{"G#3 B3 E4", Midi("E1"), "E4 G#4 B4 E5"};

using TBars = std::array<const char*, 4>;

struct TSection {
  std::array<TChordBar, 4> Chords;
  const char* Melody;  // four bars, or nullptr for none
  TBars Kick, Snare, Hat, Bass;
  int ArpStep;  // rows between arpeggio notes
  const char* ArpOrder;
};

// Drum and bass bars.
constexpr const char* kRest = "................";
constexpr const char* kKickGroove = "x.......x.x.....";
constexpr const char* kKickDrop = "x...............";
constexpr const char* kSnareBack = "....x.......x...";
constexpr const char* kHatEighths = "o.x.o.x.o.x.o.x.";
constexpr const char* kHatOffbeats = "..o...o...o...o.";
constexpr const char* kBassPulse = "R.o.R.o.R.o.R.o.";
constexpr const char* kBassHeld = "R.......R.......";
constexpr const char* kBassWhole = "R...............";

const TLevels kKickLevels{62, 54, 38};
const TLevels kSnareLevels{60, 52, 30};
const TLevels kHatLevels{44, 34, 22};
const TLevels kBassLevels{36, 36, 26};
const TLevels kArpLevels{24, 17, 17};
constexpr int kPadVolume = 30;
constexpr int kLeadVolume = 56;
constexpr int kEchoVolume = 20;

xm::TPattern Build(const TSection& s) {
  xm::TPattern p(kRows, kChannels);
  for (int bar = 0; bar < 4; ++bar) {
    const int row = bar * kRowsPerBar;
    const TChordBar& chord = s.Chords[bar];
    // Struck once per pattern, then held and glided from chord to chord.
    Chord(p, row, kPad, iPad, chord.Pad, kPadVolume, bar > 0);
    BassLine(p, kBass, row, iBass, chord.Root, s.Bass[bar], kBassLevels);
    Arpeggio(p, kArp, row, kRowsPerBar, s.ArpStep, iArp, chord.Arp, s.ArpOrder, kArpLevels);
    Hits(p, kKick, row, iKick, s.Kick[bar], kKickLevels);
    Hits(p, kSnare, row, iSnare, s.Snare[bar], kSnareLevels);
    Hits(p, kHat, row, iHat, s.Hat[bar], kHatLevels);
  }
  if (s.Melody) {
    Phrase(p, kLead, 0, iLead, s.Melody, kLeadVolume);
    Echo(p, kLead, kEcho, 3, kEchoVolume, 0xC0);
  }
  Pan(p, kPad, 0x60);
  Pan(p, kPadHigh, 0xA0);
  Pan(p, kArp, 0x50);
  Pan(p, kHat, 0x90);
  return p;
}

const TSection kIntro{
    {Am, F, C, G},
    nullptr,
    {kRest, kRest, kKickGroove, kKickGroove},
    {kRest, kRest, kRest, "............o.ox"},
    {kHatOffbeats, kHatOffbeats, kHatEighths, kHatEighths},
    {kBassWhole, kBassWhole, kBassPulse, kBassPulse},
    2,
    "0123"};

const TSection kVerse{
    {Am, F, C, G},
    "E5:6 D5:2 C5:4 B4:2 C5:2 | A4:12 r:4 | G4:2 A4:2 C5:4 E5:6 D5:2 | D5:8 B4:6 r:2",
    {kKickGroove, kKickGroove, kKickGroove, kKickGroove},
    {kSnareBack, kSnareBack, kSnareBack, kSnareBack},
    {kHatEighths, kHatEighths, kHatEighths, kHatEighths},
    {kBassPulse, kBassPulse, kBassPulse, kBassPulse},
    1,
    "0123"};

const TSection kVerseAnswer{
    {Am, F, C, G},
    "E5:6 D5:2 C5:4 E5:2 G5:2 | A5:8 G5:4 F5:4 | E5:6 D5:2 C5:4 D5:2 E5:2 | D5:12 r:4",
    {kKickGroove, kKickGroove, kKickGroove, kKickGroove},
    {kSnareBack, kSnareBack, kSnareBack, "....x.......x.o."},
    {kHatEighths, kHatEighths, kHatEighths, kHatEighths},
    {kBassPulse, kBassPulse, kBassPulse, kBassPulse},
    1,
    "0132"};

const TSection kChorus{
    {Dm, Am, F, E},
    "F5:4 E5:2 D5:2 A4:8 | C5:4 B4:2 A4:2 E5:8 | F5:4 E5:2 D5:2 C5:6 A4:2 | B4:8 G#4:4 B4:4",
    {kKickGroove, kKickGroove, kKickGroove, kKickGroove},
    {kSnareBack, kSnareBack, kSnareBack, kSnareBack},
    {kHatEighths, kHatEighths, kHatEighths, kHatEighths},
    {kBassPulse, kBassPulse, kBassPulse, kBassPulse},
    1,
    "0123"};

const TSection kChorusAnswer{
    {Dm, Am, F, E},
    "A5:6 G5:2 F5:4 E5:2 D5:2 | E5:6 C5:2 A4:8 | C5:4 D5:2 E5:2 F5:4 E5:2 D5:2 | E5:4 D5:2 C5:2 B4:8",
    {kKickGroove, kKickGroove, kKickGroove, kKickDrop},
    {kSnareBack, kSnareBack, kSnareBack, "....x..........."},
    {kHatEighths, kHatEighths, kHatEighths, kHatOffbeats},
    {kBassPulse, kBassPulse, kBassPulse, kBassHeld},
    1,
    "3210"};

// The drums drop out and the pad carries the lead over a deceptive turn.
const TSection kBreak{
    {F, G, Dm, E},
    "A5:12 G5:4 | D5:12 B4:4 | F5:8 E5:4 D5:4 | E5:12 r:4",
    {kRest, kRest, kRest, kRest},
    {kRest, kRest, kRest, "........o.o.x.xx"},
    {kHatOffbeats, kHatOffbeats, kHatOffbeats, kHatEighths},
    {kBassHeld, kBassHeld, kBassHeld, kBassPulse},
    2,
    "0123"};

// Winds down to the sparse bars the tune starts with.
const TSection kTurnaround{
    {Am, F, G, E},
    "E5:6 D5:2 C5:4 B4:2 A4:2 | C5:8 A4:8 | B4:6 C5:2 D5:8 | B4:8 r:8",
    {kKickGroove, kKickGroove, kKickGroove, kKickDrop},
    {kSnareBack, kSnareBack, kSnareBack, "....x..........."},
    {kHatEighths, kHatEighths, kHatEighths, kHatOffbeats},
    {kBassPulse, kBassPulse, kBassPulse, kBassHeld},
    2,
    "0123"};

}  // namespace

xm::TModule MenuTune() {
  xm::TModule m;
  m.Name = "Voltrace 2: Night Menu";
  m.Channels = kChannels;
  m.Speed = 6;
  m.Bpm = kBpm;
  m.Instruments = {DeepKick(), RoomSnare(), ClosedHat(), SoftBass(kBpm), WarmPad(kBpm), PluckArp(kBpm),
                   Lead(kBpm, false)};
  for (const TSection* s : {&kIntro, &kVerse, &kVerseAnswer, &kChorus, &kChorusAnswer, &kBreak, &kTurnaround})
    m.Patterns.push_back(Build(*s));
  // Intro, verse twice, chorus twice, break, the verse again and the
  // turnaround back to the intro.
  m.Orders = {0, 1, 2, 3, 4, 5, 1, 6};
  m.RestartPosition = 0;
  return m;
}
