#include "shell/random.h"

namespace {
uint32_t RandSeed = 0;
}

void Randomize(uint32_t seed) { RandSeed = seed; }
uint32_t RandomSeed() { return RandSeed; }

// A 32-bit linear congruential step; the high bits scale to the range, which
// keeps small ranges as even as the low bits would not.
int Random(int n) {
  RandSeed = RandSeed * 134775813u + 1u;
  if (n <= 0) return 0;
  return static_cast<int>((static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(n)) >> 32);
}
