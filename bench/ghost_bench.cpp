// What the ghost adds to a race frame: its car turned by its heading into a
// picture of its own and laid half-transparent over the town, beside your
// car; driving straight up (heading 0) and at a slant (heading 20, the
// dearer case). One draw per repetition.
#include "bench_support.h"
#include "gfx/surface.h"
#include "race/player/player.h"
#include "race/race_state.h"
#include "race/replay/ghost.h"
#include "race/replay/recording.h"
#include "shell/game_state.h"

namespace {

void GhostDraw(benchmark::State& state) {
  EnsureRace(1);
  TRecording run;
  run.SelectedCar = SelectedCar;
  run.Ticks.push_back({rtRace, 0, 0, 0, 1});
  double x, y;
  CarTownPosition(x, y);
  run.Path.push_back({static_cast<float>(x + 110), static_cast<float>(y - 40),
                      static_cast<int16_t>(state.range(0)), 1});
  run.Levels.push_back({Level, 0, 0, TownFingerprint()});
  if (!TakeGhostRun(run)) return state.SkipWithError("the ghost's run was refused");
  GhostLevelStarted();
  for (auto _ : state) {
    DrawGhost(BackSurface);
    benchmark::ClobberMemory();
  }
  DropGhostRun();
}
BENCHMARK(GhostDraw)->Arg(0)->Arg(20)->Apply([](auto* b) { Standard(b, 3000); });

}  // namespace
