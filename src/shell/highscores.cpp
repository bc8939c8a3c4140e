#include "shell/highscores.h"

#include <string>
#include <utility>
#include <vector>

#include "shell/save_files.h"
#include "shell/save_pair.h"
#include "shell/settings.h"

THighScore HighScores[12];

namespace {
std::string HighScoreFile() { return SaveFolder + "/hs"; }
}

void ResetHighScores() {
  for (int i = 1; i <= 10; ++i) {
    HighScores[i].Name = "\xC2\xE0\xED\xFF";  // "Ваня"
    HighScores[i].Score = (11 - i) * 500;
  }
}

// A bubble sort: equal scores never swap, so an older entry stays above a
// new one with the same score.
void SortHighScores() {
  for (int p = 1; p <= 10; ++p)
    for (int j = 1; j <= 11 - p; ++j)
      if (HighScores[j].Score < HighScores[j + 1].Score) std::swap(HighScores[j], HighScores[j + 1]);
}

bool Qualifies(int32_t score) { return score > HighScores[10].Score; }

unsigned char Mix(unsigned char a, unsigned char b) { return static_cast<unsigned char>((a + b) % 224 + 32); }

std::string Checksum() {
  size_t length = 0;
  for (int i = 1; i <= 10; ++i) length = std::max(length, HighScores[i].Name.size());
  std::string c(length, ' ');
  for (int i = 1; i <= 10; ++i) {
    const std::string& name = HighScores[i].Name;
    for (size_t j = 0; j < name.size(); ++j)
      c[j] = static_cast<char>(Mix(static_cast<unsigned char>(c[j]), static_cast<unsigned char>(name[j])));
    const std::string score = std::to_string(HighScores[i].Score);
    for (size_t j = 0; j < score.size() && j < length; ++j)
      c[j] = static_cast<char>(Mix(static_cast<unsigned char>(c[j]), static_cast<unsigned char>(score[j])));
  }
  return c;
}

bool HighScoresValid() { return Checksum() == HSChecksum; }

void LoadHighScores() {
  std::vector<std::string> lines;
  if (ReadLines(SaveFileToRead(HighScoreFile()), lines) && lines.size() >= 20) {
    THighScore table[11];
    bool ok = true;
    for (int i = 1; i <= 10 && ok; ++i) {
      table[i].Name = lines[static_cast<size_t>(2 * i - 2)];
      ok = ParseSaveInteger(lines[static_cast<size_t>(2 * i - 1)], table[i].Score);
    }
    if (ok) {
      for (int i = 1; i <= 10; ++i) HighScores[i] = table[i];
      return;
    }
  }
  ResetHighScores();
}

std::string HighScoreFileText() {
  std::string text;
  for (int i = 1; i <= 10; ++i) text += HighScores[i].Name + "\r\n" + std::to_string(HighScores[i].Score) + "\r\n";
  return text;
}

bool SaveHighScores() { return WriteFileSafely(HighScoreFile(), HighScoreFileText()); }
