#pragma once
// What every figure of voltrace2-bench shares: processor time, a median and
// a 95th percentile over repetitions, and the game driven through its real
// entry points on the headless machine.
#include <benchmark/benchmark.h>

#include <string>

// This thread's processor time in seconds; the machines are shared, so wall
// time would measure the neighbours.
double ThreadSeconds();

// Repetitions of one iteration each unless Iterations says otherwise; the
// median, the 95th percentile and nothing else is reported.
benchmark::internal::Benchmark* Standard(benchmark::internal::Benchmark* b, int repetitions, int iterations = 1);

// The game's scenes the figures run in. Each benchmark asks for its scene
// before it starts timing; asking again for the current one costs nothing.
void EnsureMainMenu();
// A race at Level through the car selection's start item and StartLevel,
// past the level message, driven flat out.
void EnsureRace(int level);
// One race tick with the benchmark's driving: throttle down, the wheel and
// the handbrake now and then, nitro and rockets kept topped up through the
// pickups and fired.
void DriveRaceTick(int tick);
// From the main menu of a new game through the car selection, the processor
// time of starting the race and drawing its first frame, in seconds.
double SecondsToFirstRaceFrame();
// True while the race set up by EnsureRace(Level) is still on that level.
bool RaceStillAt(int level);

// Child modes of the bench itself, for the figures that need a fresh
// process: returns true when argv asked for one (and it ran).
bool RunChildMode(int argc, char** argv);
