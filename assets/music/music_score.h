#pragma once
// Writing notes into patterns the way the tunes are composed: phrases of
// named notes with lengths in rows, one-character-per-row grids for drums
// and bass, chords spread over neighbouring channels, arpeggios and a
// delay line that echoes one channel on another. Every helper throws
// std::invalid_argument when a phrase runs past its pattern, so a slip in
// the score stops the generator instead of shifting the music.
#include <string_view>
#include <vector>

#include "assets/music/xm_writer.h"

namespace music {

// Both tunes are in 4/4 with a row per sixteenth note.
constexpr int kRowsPerBar = 16;

// XM effects used by the scores.
constexpr uint8_t kEffectPortamento = 0x3;  // glide to the note instead of striking it
constexpr uint8_t kEffectPanning = 0x8;     // 0 left .. 0xFF right

// "A4", "C#5", "Bb2" -> MIDI note number (A4 = 69).
int Midi(std::string_view name);
// Space-separated note names.
std::vector<int> Notes(std::string_view names);

// Strikes `midi` with `instrument` (1-based); volume 0..64, or -1 for the
// sample's own.
void Strike(xm::TPattern& p, int row, int channel, int midi, int instrument, int volume = -1, uint8_t effect = 0,
            uint8_t param = 0);
void Release(xm::TPattern& p, int row, int channel);

// A melody: tokens "E5:6" (note, rows), "r:4" (release, then rest), "~:2"
// (hold the previous note) and "|", a bar line, which must fall on a bar.
// Returns the row after the phrase.
int Phrase(xm::TPattern& p, int channel, int row, int instrument, std::string_view tokens, int volume);

// Levels of a one-character-per-row grid: 'X' accent, 'x' normal, 'o' soft.
struct TLevels {
  int Accent, Normal, Soft;
};
// Drum grid: one character per row, '.' for nothing.
void Hits(xm::TPattern& p, int channel, int row, int instrument, std::string_view steps, TLevels levels,
          int midi = 60);

// Bass grid over a root: 'R' root, 'O' octave above, 'F' fifth above,
// 'f' fourth below, '^' release, '.' let ring. Capitals play at the normal
// level, the same letters in lower case ('r', 'o') soft.
void BassLine(xm::TPattern& p, int channel, int row, int instrument, int root, std::string_view steps,
              TLevels levels);

// One chord note per channel from `firstChannel` on. With `glide`, voices
// slide to their new notes instead of restriking, so a held pad changes
// chord without a gap.
void Chord(xm::TPattern& p, int row, int firstChannel, int instrument, std::string_view notes, int volume,
           bool glide);

// Arpeggio over `notes` for `rows` rows, a note every `step` rows, taking
// the notes in the order of the digits of `order` (indices into notes).
void Arpeggio(xm::TPattern& p, int channel, int row, int rows, int step, int instrument, std::string_view notes,
              std::string_view order, TLevels levels);

// Copies the notes and releases of channel `from` onto channel `to`,
// `delay` rows later, at `volume` and panned to `pan`; what would fall past
// the pattern's end is dropped.
void Echo(xm::TPattern& p, int from, int to, int delay, int volume, uint8_t pan);

// Sets the panning of every struck note on a channel.
void Pan(xm::TPattern& p, int channel, uint8_t pan);

}  // namespace music
