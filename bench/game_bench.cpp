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

void LoadArchive(benchmark::State& state) {
  static const char* const Files[] = {"Data/Res/Res1.dxg", "Data/Res/Res2.dxg", "Data/Res/Sounds.dxw"};
  const char* file = Files[state.range(0)];
  for (auto _ : state) {
    if (state.range(0) < 2) {
      TPictureCollection pictures;
      pictures.LoadFromFile(file);
      benchmark::DoNotOptimize(pictures.Items.data());
    } else {
      TWaveCollection waves;
      waves.LoadFromFile(file);
      benchmark::DoNotOptimize(waves.Items.data());
    }
  }
  state.SetLabel(file);
}
BENCHMARK(LoadArchive)->DenseRange(0, 2)->Apply([](auto* b) { Standard(b, 15); });

// The same with every item looked up, so every picture decoded and every
// sound read: what the load cost before the items waited for first use.
void LoadArchiveWhole(benchmark::State& state) {
  static const char* const Files[] = {"Data/Res/Res1.dxg", "Data/Res/Res2.dxg", "Data/Res/Sounds.dxw"};
  const char* file = Files[state.range(0)];
  for (auto _ : state) {
    if (state.range(0) < 2) {
      TPictureCollection pictures;
      pictures.LoadFromFile(file);
      for (const TPictureCollectionItem& item : pictures.Items) benchmark::DoNotOptimize(pictures.Find(item.Name));
    } else {
      TWaveCollection waves;
      waves.LoadFromFile(file);
      for (const TWaveCollectionItem& item : waves.Items) benchmark::DoNotOptimize(waves.Find(item.Name));
    }
  }
  state.SetLabel(file);
}
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
