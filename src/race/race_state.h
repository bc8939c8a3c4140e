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

// What the car has to tell the race: set in the car's move, acted on by the
// race right after every sprite has moved, then cleared. The car never opens
// a window or ends a level itself; the race alone does.
enum TRaceEvent : uint8_t {
  reNone = 0,
  reStartPlaced = 1,   // back on a start tile after a wreck: the lamps start afresh
  reCarStopped = 2,    // stopped after the finish or the time-up: the level's end runs on
  reLastLifeLost = 4,  // the last wreck's blast is over: the game is over
};
extern uint8_t RaceEvents;  // TRaceEvent bits
inline void ReportRaceEvent(TRaceEvent event) { RaceEvents |= event; }

// What the game's recorder reads to follow the race: the generator's state
// as the race started (everything random in it comes from there), and how
// many races and towns have been made since start-up (a new town is a new
// level, or the same level again).
extern uint32_t RaceStartRandomState;
extern uint32_t RacesStarted;
extern uint32_t TownsBuilt;

void AddScore(int points);
void ResetRaceState();
