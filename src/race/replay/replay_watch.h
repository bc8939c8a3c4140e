#pragma once
// Watching a kept recording from the top-ten table: the race plays back on
// the race screen with "ПОВТОР" on the panel; P pauses, the arrows left and
// right play it slower or faster (a quarter of the speed up to eight times),
// Esc goes back to the table, and so does the recording's end. Watching
// writes no save, changes no table and sends nothing.
#include "race/replay/recording.h"

// Leaves the top-ten screen for the replay of the recording.
void WatchFromTable(const TRecording& recording);
// The frame loop's tick while ReplayWatched is set.
void WatchTick(int lagCount);
// Back to the table.
void EndWatching();

// The replay's speed in quarters of the recorded pace, and whether it stands.
int WatchQuarters();
bool WatchPaused();
// The recording being watched, and its frames played so far.
const TRecording& WatchedRecording();
uint32_t WatchedTicks();

void ResetWatching();
