#pragma once
// Until the game's replay lands: the replay's outcome with the shape it
// will have, and a stand-in for it (to be replaced by race/replay/replay_run.h).
#include <cstdint>
#include <string>

#include "race/replay/recording.h"

struct TReplayOutcome {
  bool Finished;
  int32_t Score;
  int32_t Level;
  uint32_t Ticks;
  std::string Error;
};
TReplayOutcome ReplayToEnd(const TRecording& recording, uint32_t tickCap);
