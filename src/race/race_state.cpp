#include "race/race_state.h"

int Level = 1;
int TimeLeft = 0;
int BonusCount = 0;
int CarCount = 0;
int Lives = 3;
int32_t Score = 0;
uint8_t RaceEvents = reNone;
uint32_t RaceStartRandomState = 0;
uint32_t RacesStarted = 0;
uint32_t TownsBuilt = 0;

void AddScore(int points) { Score += points; }

void ResetRaceState() {
  Level = 1;
  TimeLeft = BonusCount = CarCount = 0;
  Lives = 3;
  Score = 0;
  RaceEvents = reNone;
}
