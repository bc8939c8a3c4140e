#pragma once
// The top-ten table, kept in Data/Save/hs between runs.
#include <cstdint>
#include <string>

struct THighScore {
  std::string Name;  // Windows-1251
  int32_t Score = 0;
};

// Slots 1..10 are the table, best first; 11 is where a new result goes
// before sorting. Slot 0 is unused.
extern THighScore HighScores[12];

void ResetHighScores();
void SortHighScores();
bool Qualifies(int32_t score);
unsigned char Mix(unsigned char a, unsigned char b);
std::string Checksum();
bool HighScoresValid();
// A file that is missing or does not read as ten names and scores gives the
// default table.
void LoadHighScores();
bool SaveHighScores();
// The twenty lines SaveHighScores writes.
std::string HighScoreFileText();
