// The game's own ticks, each the whole tick the platform's timer runs (clear,
// sprite world, screen logic, panel texts), and the archive loads of the
// start-up. One tick per repetition, so the percentiles are over ticks.
#include "bench_support.h"
#include "sprites/image_list.h"
#include "sprites/wave_list.h"
#include "shell/main_window.h"

namespace {

void MainMenuTick(benchmark::State& state) {
  EnsureMainMenu();
  for (auto _ : state) MDXTimerTimer(12);
}
BENCHMARK(MainMenuTick)->Apply([](auto* b) { Standard(b, 2000); });

// A race tick with its drawn frame. Should the level end or the car be lost,
// the race is set up again at the same level, out of the timing.
void RaceTick(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  static int tick = 0;
  EnsureRace(level);
  for (auto _ : state) DriveRaceTick(tick++);
}
BENCHMARK(RaceTick)->Arg(1)->Arg(6)->Arg(21)->Apply([](auto* b) { Standard(b, 3000); });

// Loads archive Range(0) each iteration; with ReadAll every item is looked
// up too, so every picture decoded and every sound read.
void LoadEach(benchmark::State& state, bool readAll) {
  static const char* const Files[] = {"Data/Res/Res1.dxg", "Data/Res/Res2.dxg", "Data/Res/Sounds.dxw"};
  const char* file = Files[state.range(0)];
  const auto load = [&](auto& list) {
    list.LoadFromFile(file);
    if (readAll)
      for (const auto& item : list.Items) benchmark::DoNotOptimize(list.Find(item.Name));
    benchmark::DoNotOptimize(list.Items.data());
  };
  for (auto _ : state) {
    if (state.range(0) < 2) {
      TPictureCollection pictures;
      load(pictures);
    } else {
      TWaveCollection waves;
      load(waves);
    }
  }
  state.SetLabel(file);
}

void LoadArchive(benchmark::State& state) { LoadEach(state, false); }
BENCHMARK(LoadArchive)->DenseRange(0, 2)->Apply([](auto* b) { Standard(b, 15); });

// What the load cost before the items waited for first use.
void LoadArchiveWhole(benchmark::State& state) { LoadEach(state, true); }
BENCHMARK(LoadArchiveWhole)->DenseRange(0, 2)->Apply([](auto* b) { Standard(b, 15); });

}  // namespace

#include "race/world/track_generator.h"
#include "shell/random.h"

namespace {

// Town generation at every level's road length: the level start waits for it.
void GenerateTown(benchmark::State& state) {
  const int length = static_cast<int>(state.range(0));
  uint32_t run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Randomize(run++ * 7919 + static_cast<uint32_t>(length));
    TrackLength = length;
    state.ResumeTiming();
    GenerateTrack();
  }
}
BENCHMARK(GenerateTown)->Arg(300)->Arg(700)->Arg(1300)->Apply([](auto* b) { Standard(b, 15); });

}  // namespace
