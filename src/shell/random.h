#pragma once
// The game's one random number generator. Gameplay draws come only from
// here, so a seed replays a race exactly.
#include <cstdint>

void Randomize(uint32_t seed);
// A uniform integer from 0 to n - 1 (0 when n <= 0).
int Random(int n);
uint32_t RandomSeed();
