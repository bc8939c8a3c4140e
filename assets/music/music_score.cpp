#include "assets/music/music_score.h"

#include <charconv>
#include <stdexcept>
#include <string>

namespace music {

namespace {

void Fail(const std::string& what) { throw std::invalid_argument("score: " + what); }

uint8_t VolumeColumn(int volume) {
  if (volume < 0) return 0;
  if (volume > 64) Fail("volume above 64");
  return static_cast<uint8_t>(0x10 + volume);
}

std::vector<std::string_view> Split(std::string_view s) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ') ++j;
    if (j > i) parts.push_back(s.substr(i, j - i));
    i = j;
  }
  return parts;
}

int LevelOf(char c, TLevels levels) {
  switch (c) {
    case 'X':
      return levels.Accent;
    case 'x':
      return levels.Normal;
    case 'o':
      return levels.Soft;
  }
  Fail(std::string("unknown step '") + c + "'");
  return 0;
}

void CheckFits(const xm::TPattern& p, int row, size_t rows) {
  if (row < 0 || row + static_cast<int>(rows) > p.Rows) Fail("line runs past the pattern");
}

}  // namespace

int Midi(std::string_view name) {
  static const int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') Fail("bad note name " + std::string(name));
  int semitone = kSteps[name[0] - 'A'];
  size_t i = 1;
  if (name[i] == '#') {
    ++semitone;
    ++i;
  } else if (name[i] == 'b') {
    --semitone;
    ++i;
  }
  int octave = 0;
  const auto [end, ec] = std::from_chars(name.data() + i, name.data() + name.size(), octave);
  if (ec != std::errc() || end != name.data() + name.size()) Fail("bad note name " + std::string(name));
  return 12 * (octave + 1) + semitone;
}

std::vector<int> Notes(std::string_view names) {
  std::vector<int> notes;
  for (std::string_view n : Split(names)) notes.push_back(Midi(n));
  return notes;
}

void Strike(xm::TPattern& p, int row, int channel, int midi, int instrument, int volume, uint8_t effect,
            uint8_t param) {
  xm::TCell& c = p.At(row, channel);
  c.Note = xm::NoteFromMidi(midi);
  c.Instrument = static_cast<uint8_t>(instrument);
  c.Volume = VolumeColumn(volume);
  c.Effect = effect;
  c.Param = param;
}

void Release(xm::TPattern& p, int row, int channel) {
  xm::TCell& c = p.At(row, channel);
  c = xm::TCell{};
  c.Note = xm::kKeyOff;
}

int Phrase(xm::TPattern& p, int channel, int row, int instrument, std::string_view tokens, int volume) {
  for (std::string_view token : Split(tokens)) {
    if (token == "|") {
      if (row % kRowsPerBar != 0) Fail("bar line off the bar at row " + std::to_string(row));
      continue;
    }
    const size_t colon = token.find(':');
    if (colon == std::string_view::npos) Fail("phrase token without length: " + std::string(token));
    int rows = 0;
    const std::string_view length = token.substr(colon + 1);
    const auto [end, ec] = std::from_chars(length.data(), length.data() + length.size(), rows);
    if (ec != std::errc() || end != length.data() + length.size() || rows < 1)
      Fail("bad length in " + std::string(token));
    CheckFits(p, row, static_cast<size_t>(rows));
    const std::string_view what = token.substr(0, colon);
    if (what == "r")
      Release(p, row, channel);
    else if (what != "~")
      Strike(p, row, channel, Midi(what), instrument, volume);
    row += rows;
  }
  return row;
}

void Hits(xm::TPattern& p, int channel, int row, int instrument, std::string_view steps, TLevels levels, int midi) {
  CheckFits(p, row, steps.size());
  for (size_t i = 0; i < steps.size(); ++i)
    if (steps[i] != '.') Strike(p, row + static_cast<int>(i), channel, midi, instrument, LevelOf(steps[i], levels));
}

void BassLine(xm::TPattern& p, int channel, int row, int instrument, int root, std::string_view steps,
              TLevels levels) {
  CheckFits(p, row, steps.size());
  for (size_t i = 0; i < steps.size(); ++i) {
    const int at = row + static_cast<int>(i);
    const char c = steps[i];
    const bool soft = c >= 'a' && c <= 'z';
    const int volume = soft ? levels.Soft : levels.Normal;
    switch (c) {
      case '.':
        break;
      case '^':
        Release(p, at, channel);
        break;
      case 'R':
      case 'r':
        Strike(p, at, channel, root, instrument, volume);
        break;
      case 'O':
      case 'o':
        Strike(p, at, channel, root + 12, instrument, volume);
        break;
      case 'F':
        Strike(p, at, channel, root + 7, instrument, volume);
        break;
      case 'f':
        Strike(p, at, channel, root - 5, instrument, levels.Normal);
        break;
      default:
        Fail(std::string("unknown bass step '") + c + "'");
    }
  }
}

void Chord(xm::TPattern& p, int row, int firstChannel, int instrument, std::string_view notes, int volume,
           bool glide) {
  const std::vector<int> midi = Notes(notes);
  for (size_t i = 0; i < midi.size(); ++i) {
    const int channel = firstChannel + static_cast<int>(i);
    if (glide) {
      // A glide takes no instrument, so the envelope carries on.
      xm::TCell& c = p.At(row, channel);
      c = xm::TCell{};
      c.Note = xm::NoteFromMidi(midi[i]);
      c.Effect = kEffectPortamento;
      c.Param = 0x30;
    } else {
      Strike(p, row, channel, midi[i], instrument, volume);
    }
  }
}

void Arpeggio(xm::TPattern& p, int channel, int row, int rows, int step, int instrument, std::string_view notes,
              std::string_view order, TLevels levels) {
  const std::vector<int> midi = Notes(notes);
  CheckFits(p, row, static_cast<size_t>(rows));
  for (int i = 0, k = 0; i < rows; i += step, ++k) {
    const int index = order[k % order.size()] - '0';
    if (index < 0 || index >= static_cast<int>(midi.size())) Fail("arpeggio order names a missing note");
    // The first note of every beat leans a little harder.
    const int volume = (i % 4 == 0) ? levels.Accent : levels.Normal;
    Strike(p, row + i, channel, midi[index], instrument, volume);
  }
}

void Echo(xm::TPattern& p, int from, int to, int delay, int volume, uint8_t pan) {
  for (int row = p.Rows - 1 - delay; row >= 0; --row) {
    const xm::TCell& src = p.At(row, from);
    if (src.Note == xm::kKeyOff) {
      Release(p, row + delay, to);
    } else if (src.Note != 0) {
      xm::TCell& dst = p.At(row + delay, to);
      dst = src;
      dst.Volume = VolumeColumn(volume);
      dst.Effect = kEffectPanning;
      dst.Param = pan;
    }
  }
}

void Pan(xm::TPattern& p, int channel, uint8_t pan) {
  for (int row = 0; row < p.Rows; ++row) {
    xm::TCell& c = p.At(row, channel);
    if (c.Note != 0 && c.Note != xm::kKeyOff && c.Effect == 0) {
      c.Effect = kEffectPanning;
      c.Param = pan;
    }
  }
}

}  // namespace music
