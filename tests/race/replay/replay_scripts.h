#pragma once
// Scripts for the script runner that play a whole game the way a restless
// player would, for the replay tests: steering, braking, the handbrake,
// firing, nitro, the horn, a pause and a leave question answered No, until
// the game is over or the time is up.
#include <cstdint>
#include <string>

// The car selection, then Enter on its start item (with the race's own
// generator at seed).
std::string ToRaceAt(int hz, uint32_t seed);
// From the main menu into a race.
std::string ToRace();
// Esc and Yes: back to the menu (a score of 0 asks for no name).
std::string LeaveTheRace();
// Driving for about seconds of the race's time, drawn from seed.
std::string RestlessDriving(int hz, uint32_t seed, int seconds);
// From the main menu to the top-ten screen.
std::string ToTheTable();
