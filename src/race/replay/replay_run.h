#pragma once
// Playing a recording back through the race's own tick: the same start,
// then each recorded frame as the frame loop ran it, with the recorded keys,
// lag, frame time and scale in place of the live ones. Watching a replay
// (replay_watch.h) and checking one (ReplayToEnd) both go through here.
#include <cstdint>
#include <functional>
#include <string>

#include "race/replay/recording.h"

// A kept recording: which is "last" or "best-<start level>". False when
// there is none, or when the file is refused (one line on stderr says why).
bool KeptRecording(const char* which, TRecording& out);

struct TReplayOutcome {
  // Every frame played, the car kept to the recorded path after each race
  // tick, and the game ended with the recorded score and level.
  bool Finished = false;
  int32_t Score = 0;      // the race's score where the playback stopped
  int32_t Level = 0;
  uint32_t Ticks = 0;     // recorded frames played
  std::string Error;      // why it stopped short; empty when Finished
};

// Plays the whole recording headless and says how the game ended. Stops at
// tickCap frames, and at the first frame the recording and its race
// disagree on (a frame of the race while a window is up, or the other way
// round, frames after the game was over, the car off the recorded path): a
// recording that was tampered with ends there. Needs the game's archives
// loaded, Platform set (the headless one serves) and no screen open: it is
// refused while any sprite lives, since a screen's scrolling background
// would scroll the town twice. Nothing is drawn, since drawing changes
// nothing in the race. Never from two threads at once (the race is the
// game's one race). Leaves no race behind, and SelectedCar as it was.
TReplayOutcome ReplayToEnd(const TRecording& recording, uint32_t tickCap);

// The same with a look after every frame (draw: the sprites drawn first, as
// the frame loop does), for the tests that compare the race tick by tick.
TReplayOutcome PlayRecording(const TRecording& recording, uint32_t tickCap, bool draw,
                             const std::function<void(uint32_t tick)>& afterTick);

// The race screen as the recording's race began: its car, its generator
// state, its start level.
void StartRecordedRace(const TRecording& recording);

enum TReplayStep { rpPlayed, rpGameOver, rpDiverged };
// One recorded frame of the race screen. rpGameOver: the game-over message
// has run out, where the live game left for the name entry or the menu;
// nothing is left to play. rpDiverged: the frame does not fit the race.
TReplayStep PlayRecordedTick(const TRecordedTick& tick);

// True while a recording is watched: the race on the screen is a replay, so
// it is not recorded, and its windows are not the player's.
extern bool ReplayWatched;
