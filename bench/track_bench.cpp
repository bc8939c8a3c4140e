// Town generation at every level's road length: the level start waits for
// it, so the longest road must stay well under a couple of frames. The
// processor time is printed beside the wall time, since a busy machine
// stretches the latter.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "race/world/track_generator.h"
#include "shell/random.h"

void RunTrackBench() {
  using Clock = std::chrono::steady_clock;
  constexpr int kRuns = 15;
  auto median = [](std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  for (const int length : {300, 500, 700, 900, 1100, 1300}) {
    std::vector<double> wall, cpu;
    for (int run = 0; run < kRuns; ++run) {
      Randomize(static_cast<uint32_t>(run * 7919 + length));
      TrackLength = length;
      const auto t0 = Clock::now();
      const std::clock_t c0 = std::clock();
      GenerateTrack();
      cpu.push_back(1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC);
      wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    const double worst = *std::max_element(wall.begin(), wall.end());
    std::printf("town generation, road of %4d rows: median %.2f ms (processor %.2f ms), worst %.2f ms over %d runs\n",
                length, median(wall), median(cpu), worst, kRuns);
  }
}
