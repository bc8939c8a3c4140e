#pragma once
#include <string>

class THeadlessPlatform;

// One line of JSON with the game's state under its own names, and the sound
// and music calls since the previous dump.
std::string DumpState(THeadlessPlatform& platform, long long tick);

// Only what the race is made of (its numbers, the car, the town's view, the
// generator, the traffic, pedestrians, pickups and rockets), reals exact:
// the same race gives the same text, however it was driven or played back.
std::string DumpRace();
