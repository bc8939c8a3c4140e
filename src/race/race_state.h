#pragma once
// The running race's numbers, kept from level to level (TrackLength lives
// with the town builder).
#include <cstdint>

extern int Level;
extern int TimeLeft;  // milliseconds
extern int BonusCount;
extern int CarCount;
extern int Lives;
extern int32_t Score;

void AddScore(int points);
void ResetRaceState();
