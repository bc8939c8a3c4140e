#include "bench_support.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "platform/headless_platform.h"
#include "race/player/player.h"
#include "race/player/player_weapons.h"
#include "race/race.h"
#include "race/race_state.h"
#include "screens/activate_item.h"
#include "screens/main_menu.h"
#include "shell/random.h"
#include "shell/game_state.h"
#include "shell/main_window.h"

namespace {

THeadlessPlatform Machine;
int Scene = 0;  // 0 none, 1 main menu, 100 + level a race
constexpr uint32_t Seed = 2024;

double Percentile95(const std::vector<double>& v) {
  if (v.empty()) return 0;
  std::vector<double> s(v);
  std::sort(s.begin(), s.end());
  // Nearest rank: the smallest value with at least 95% at or below it.
  const size_t rank = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(s.size())));
  return s[std::max<size_t>(rank, 1) - 1];
}

void Tick(int n) {
  for (int i = 0; i < n; ++i) MDXTimerTimer(12);
}

// The game's start-up once; afterwards a new game without reading the
// archives again, as a player's session never does either.
void FreshGame() {
  static bool started = false;
  for (bool& k : Machine.Keys) k = false;
  Platform = &Machine;
  ResetGame();
  if (!started) {
    FormCreate(Seed);
    started = true;
    return;
  }
  Randomize(Seed);
  OpenMainMenu(1, 1, true);
}

}  // namespace

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

benchmark::internal::Benchmark* Standard(benchmark::internal::Benchmark* b, int repetitions, int iterations) {
  return b->Iterations(iterations)
      ->Repetitions(repetitions)
      ->ComputeStatistics("p95", Percentile95)
      ->ReportAggregatesOnly(true)
      ->Unit(benchmark::kMicrosecond);
}

void EnsureMainMenu() {
  if (Scene == 1 && GameScreen == 1 && OverlayWindow == 0) return;
  FreshGame();
  Tick(60);  // past the fade-in
  Scene = 1;
}

void EnsureRace(int level) {
  if (Scene == 100 + level && RaceStillAt(level)) return;
  FreshGame();
  Tick(60);
  SelectItem(1);  // car selection
  Tick(2);
  SelectItem(3);  // start: StartRace
  for (int l = 1; l < level; ++l) StartLevel(true);
  Tick(200);  // past the level message
  Scene = 100 + level;
}

double SecondsToFirstRaceFrame() {
  FreshGame();
  Tick(60);
  SelectItem(1);  // car selection
  Tick(2);
  const double start = ThreadSeconds();
  SelectItem(3);
  Tick(1);
  return ThreadSeconds() - start;
}

bool RaceStillAt(int level) { return GameScreen == 6 && Level == level && Player != nullptr; }

void DriveRaceTick(int tick) {
  bool* keys = Machine.Keys;
  keys[gkUp] = true;
  keys[gkSpace] = tick % 200 > 170;
  keys[gkLeft] = tick % 300 < 40;
  keys[gkRight] = tick % 300 >= 150 && tick % 300 < 185;
  keys[gkX] = true;
  keys[gkZ] = true;
  if (Player) {
    if (Player->Nitro < 10) Player->GiveBonus(BonusNitro);
    if (Player->WeaponKind != WeaponRockets) Player->GiveBonus(WeaponRockets);
  }
  MDXTimerTimer(12);
}
