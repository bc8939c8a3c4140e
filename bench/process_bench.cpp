// Figures that need a fresh process: the start-up to the first menu frame
// (fonts found, archives read, nothing cached yet) and the peak resident
// memory of a long race. The bench runs itself as a child for each and
// reads the child's processor time and peak from the kernel.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/start_up.h"
#include "bench_support.h"
#include "platform/headless_platform.h"

extern char** environ;

namespace {

constexpr const char* FirstFrameMode = "--child-first-menu-frame";
constexpr const char* LongRaceMode = "--child-long-race";
constexpr const char* FirstRaceMode = "--child-first-race-start";

// Runs this program with Mode; the child's resource use and what it
// printed, or false.
bool RunChild(const char* mode, rusage& use, std::string* printed = nullptr) {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return false;
  self[n] = 0;
  int out[2];
  if (pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char* args[] = {self, const_cast<char*>(mode), nullptr};
  pid_t pid = 0;
  const bool spawned = posix_spawn(&pid, self, &actions, nullptr, args, environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string text;
  char buf[256];
  for (ssize_t got; spawned && (got = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<size_t>(got));
  close(out[0]);
  if (!spawned) return false;
  int status = 0;
  if (wait4(pid, &status, 0, &use) != pid) return false;
  if (printed) *printed = text;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The peak resident size of this process's own memory, in KiB. The kernel's
// ru_maxrss of a spawned child also counts the parent's memory it was
// spawned from, so the child reads its own high-water mark instead.
long OwnPeakKiB() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kib = -1;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  std::fclose(f);
  return kib;
}

double CpuSeconds(const rusage& use) {
  return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec);
}

void StartupToFirstMenuFrame(benchmark::State& state) {
  for (auto _ : state) {
    rusage use{};
    if (!RunChild(FirstFrameMode, use)) {
      state.SkipWithError("the start-up child failed");
      break;
    }
    state.SetIterationTime(CpuSeconds(use));
  }
}
// Manual time: the child's processor time (user and system, from exec to
// exit), not the parent's wait.
BENCHMARK(StartupToFirstMenuFrame)->Apply([](auto* b) { Standard(b, 20)->UseManualTime()->Unit(benchmark::kMillisecond); });

void PeakMemoryOfLongRace(benchmark::State& state) {
  for (auto _ : state) {
    rusage use{};
    std::string printed;
    if (!RunChild(LongRaceMode, use, &printed) || std::atol(printed.c_str()) <= 0) {
      state.SkipWithError("the long-race child failed");
      break;
    }
    state.counters["peak_MiB"] = static_cast<double>(std::atol(printed.c_str())) / 1024.0;
    state.SetIterationTime(CpuSeconds(use));
  }
}
BENCHMARK(PeakMemoryOfLongRace)->Apply([](auto* b) { Standard(b, 3)->UseManualTime()->Unit(benchmark::kMillisecond); });

// The pictures are decoded when first looked up, or one a frame while the
// menus run; a race started at once decodes what is left of its own (the
// town's tiles, the cars, the panel) as it opens. This is that opening and
// its first frame in a fresh process, from the car selection's start item
// on, sixty frames after the start-up: timed by the child itself.
void FirstRaceStart(benchmark::State& state) {
  for (auto _ : state) {
    rusage use{};
    std::string printed;
    if (!RunChild(FirstRaceMode, use, &printed) || std::atof(printed.c_str()) <= 0) {
      state.SkipWithError("the first-race child failed");
      break;
    }
    state.SetIterationTime(std::atof(printed.c_str()));
  }
}
BENCHMARK(FirstRaceStart)->Apply([](auto* b) { Standard(b, 10)->UseManualTime()->Unit(benchmark::kMillisecond); });

}  // namespace

bool RunChildMode(int argc, char** argv) {
  if (argc < 2) return false;
  if (std::strcmp(argv[1], FirstFrameMode) == 0) {
    // The game's own start-up (folders, save choice, archives, fonts, the
    // menu) and its first frame.
    static THeadlessPlatform machine;
    if (!StartGame(machine, 1)) return false;
    RunFrame(0);
    return true;
  }
  if (std::strcmp(argv[1], LongRaceMode) == 0) {
    // 3000 ticks at the busiest level, through the real race.
    EnsureRace(21);
    for (int tick = 0; tick < 3000; ++tick) {
      if (!RaceStillAt(21)) EnsureRace(21);
      DriveRaceTick(tick);
    }
    std::printf("%ld\n", OwnPeakKiB());
    return true;
  }
  if (std::strcmp(argv[1], FirstRaceMode) == 0) {
    std::printf("%.9f\n", SecondsToFirstRaceFrame());
    return true;
  }
  return false;
}
