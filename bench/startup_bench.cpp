// Start-up and menu-tick timings on the headless machine:
//   voltrace2-bench [RUNS]     (run from the build folder, beside Data/)
// Start-up is FormCreate (archives, fonts, display) plus the first drawn
// menu frame; the tick figure is a main-menu tick after the fade-in.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gfx/text.h"
#include "platform/headless_platform.h"
#include "shell/frame_timer.h"
#include "shell/main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

void RunTrackBench();
void RunRaceBench(THeadlessPlatform& machine);

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  THeadlessPlatform machine;
  Platform = &machine;
  std::vector<double> startup, tick;
  for (int run = 0; run < runs; ++run) {
    ResetGame();
    ResetTextCache();
    const auto t0 = Clock::now();
    FormCreate(1);
    MDXTimerTimer(12);
    startup.push_back(Ms(Clock::now() - t0));
    for (int i = 0; i < 60; ++i) MDXTimerTimer(12);
    const auto t1 = Clock::now();
    for (int i = 0; i < 200; ++i) MDXTimerTimer(12);
    tick.push_back(Ms(Clock::now() - t1) / 200);
  }
  std::printf("start-up to first menu frame: median %.1f ms, worst %.1f ms over %d runs\n", Median(startup),
              *std::max_element(startup.begin(), startup.end()), runs);
  std::printf("main-menu tick: median %.3f ms\n", Median(tick));
  RunTrackBench();
  RunRaceBench(machine);
  return 0;
}
