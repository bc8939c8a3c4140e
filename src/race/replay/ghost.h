#pragma once
// The ghost: the player's best run, drawn as a half-transparent car where
// that run's car was, driving through the town beside you. It is drawn from
// the run's kept path alone: it moves nothing, draws no random number and
// touches nothing the race reads, so a race with it is the race without it.
//
// Keeping pace: the ghost stands where its car was after as much driving
// into its level as you have driven into yours, counted from the level's
// first race tick in the race's movement steps (each tick's SpeedFactor, so
// 85 to the second). At the refresh rate the run was kept at that is the
// same tick; a run kept at another rate keeps its real pace.
//
// It is shown only in a town built as the run's was (the level's town
// fingerprint): in another town its path would lead through walls, so it
// is not drawn at all. Nor is it drawn once its run has left the level
// (it was faster, or it ended there), nor while its car was wrecked.
#include <cstdint>

#include "race/replay/recording.h"

struct TSurface;

// The way to the best run a new race is raced against (the kept best game
// begun at level 1); false when none is kept. Tests hand in their own.
extern bool (*ReadBestRun)(TRecording& out);

// The start item of the car selection, before the race opens: with the
// ghost option on and a best run kept, that run becomes the ghost and the
// random generator is put back to the state that run started from, so
// that level 1 is built as the run's town was and the ghost has a road to
// drive on. Without it, there is no ghost and nothing changes.
void PrepareGhostForRace();

// Takes a run to follow; false (and no ghost) for a run whose path does not
// fit its ticks and levels.
bool TakeGhostRun(const TRecording& run);
// No ghost: the race has closed, or the next starts without one.
void DropGhostRun();
bool HaveGhostRun();

// SetLevel, once the level's town is built: the run's part in this town,
// if it has one, starts again from its first tick.
void GhostLevelStarted();
// Each race tick: the ghost drives on as far as you did this tick.
void GhostTick();
// The car's draw, after the traffic and before the car: the ghost at its
// place in the town, turned by its heading, half-transparent.
void DrawGhost(TSurface& surface);

// How opaque the ghost is drawn (0..255).
constexpr int GhostAlpha = 128;
