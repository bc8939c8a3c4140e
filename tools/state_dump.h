#pragma once
#include <string>

class THeadlessPlatform;

// One line of JSON with the game's state under its own names, and the sound
// and music calls since the previous dump.
std::string DumpState(THeadlessPlatform& platform, long long tick);
